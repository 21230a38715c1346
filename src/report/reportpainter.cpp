#include "report/reportpainter.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

#include <array>

#include "report/reportcanvas.h"
#include "report/reportpage.h"

namespace tessaro::report {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kBlack(0, 0, 0);

// One column of the formula report: left and width in mm.
struct Column {
  double left;
  double width;
};

// Name, formula 1, formula 2, the eleven oxides, total, unit price, remark.
constexpr Column kName{4.2, 29.4};
constexpr double kNameDetailWidth = 29.9;
constexpr Column kNum1{33.6, 12.4};
constexpr Column kNum2{46.0, 12.4};
constexpr std::array<Column, kReportOxideCount> kOxideColumns = {{{58.2, 12.4},
                                                                  {70.6, 12.4},
                                                                  {83.1, 12.4},
                                                                  {95.5, 12.4},
                                                                  {108.0, 12.4},
                                                                  {120.4, 12.4},
                                                                  {132.8, 12.4},
                                                                  {145.3, 12.4},
                                                                  {157.7, 14.3},
                                                                  {172.0, 14.3},
                                                                  {186.3, 14.3}}};
constexpr Column kTotal{200.6, 12.4};
constexpr Column kPrice{213.0, 12.4};
constexpr Column kRemark{225.4, 37.3};

// --- Formula report ---------------------------------------------------------------------

void titleBand(Canvas& c, const FormulaReportContent& content) {
  // Centred on 138.5 mm, the middle of the printable width.
  reportTitle(c, content.title);
  c.cell(33.3, 10.1, 25.4, 4.5, kProportionHeading, boldCentred());
  Style underlinedLeft = leftAligned(kNoLines, true);
  underlinedLeft.underline = true;
  c.cell(33.3 - kPadding, 14.8, 26.0, 4.5, QStringLiteral("  %1  ").arg(kIgnitionNote), underlinedLeft);
  Style underlinedCentred = boldCentred();
  underlinedCentred.underline = true;
  c.cell(59.8, 14.3, 152.7, 4.5, kCompositionHeading, underlinedCentred);
  c.cell(234.9 - kPadding, 14.3, 42.1, 4.5, content.date, underlinedLeft);
}

// The header cells, `height` high (5.3 mm as designed), under a gap of 0.5 mm.
void columnHeaderBand(Canvas& c, const FormulaReportContent& content, double height) {
  constexpr double top = kColumnHeaderHeight - kDetailHeight;
  const Style s = boldCentred(kBox);
  const auto titles = formulaColumnTitles(content);
  c.cell(kName.left, top, kName.width, height, titles[0], s);
  c.cell(kNum1.left, top, kNum1.width, height, titles[1], s);
  c.cell(kNum2.left, top, kNum2.width, height, titles[2], s);
  for (std::size_t i = 0; i < kOxideColumns.size(); ++i) {
    const Column& col = kOxideColumns[i];
    c.cell(col.left, top, col.width, height, titles[3 + i], s);
  }
  c.cell(kTotal.left, top, kTotal.width, height, titles[14], s);
  c.cell(kPrice.left, top, kPrice.width, height, titles[15], s);
  c.cell(kRemark.left, top, kRemark.width, height, titles[16], s);
}

void oxideCells(Canvas& c, double top, double height, const std::array<QString, kReportOxideCount>& values,
                const QString& total, int lines) {
  const Style s = centred(lines);
  for (int i = 0; i < kReportOxideCount; ++i) {
    const Column& col = kOxideColumns[std::size_t(i)];
    c.cell(col.left, top, col.width, height, values[std::size_t(i)], s);
  }
  c.cell(kTotal.left, top, kTotal.width, height, total, s);
}

void detailBand(Canvas& c, const FormulaRow& row, double height) {
  constexpr int lines = kLeft | kRight | kBottom;
  c.cell(kName.left, 0, kNameDetailWidth, height, row.name, boldCentred(lines));
  c.cell(kNum1.left, 0, kNum1.width, height, row.num1, boldCentred(lines));
  c.cell(kNum2.left, 0, kNum2.width, height, row.num2, boldCentred(lines));
  oxideCells(c, 0, height, row.oxides, row.total, lines);
  c.cell(kPrice.left, 0, kPrice.width, height, row.price, boldCentred(lines));
  c.cell(kRemark.left, 0, kRemark.width, height, row.remark, leftAligned(lines));
}

// The summary's rows as designed: the target's at 5.3 mm, the two formulas'
// from 16.9 mm, each 5.3 mm high; a row that needs more grows and moves the
// rows under it down.
constexpr double kTargetRowTop = 5.3;
constexpr double kFormulaRowsTop = 16.9;

void targetRow(Canvas& c, double top, double height, const TargetSummary& target) {
  c.cell(4.2, top, 20.1, height, QStringLiteral("  %1 ").arg(kTargetRowCaption), leftAligned(kBox, true));
  c.cell(24.3, top, 34.1, height, target.name, boldCentred(kBox));
  oxideCells(c, top, height, target.oxides, target.total, kBox);
  c.cell(212.7, top, 50.0, height, target.remark, leftAligned(kBox));
}

void formulaRow(Canvas& c, double top, double height, int f, const FormulaSummary& s) {
  c.cell(4.2, top, 54.2, height, formulaRowCaption(f), boldCentred(kBox));
  oxideCells(c, top, height, s.oxides, s.total, kBox);
  c.cell(kPrice.left, top, 13.0, height, s.cost, centred(kBox));
  c.cell(kRemark.left, top, kRemark.width, height, s.remark, leftAligned(kBox));
}

// Heights of the summary's three rows.
std::array<double, 3> summaryRowHeights(Canvas& c, const FormulaReportContent& content) {
  return {c.rowHeight(kDetailHeight, [&](double h) { targetRow(c, 0, h, content.target); }),
          c.rowHeight(kDetailHeight, [&](double h) { formulaRow(c, 0, h, 0, content.formulas[0]); }),
          c.rowHeight(kDetailHeight, [&](double h) { formulaRow(c, 0, h, 1, content.formulas[1]); })};
}

double summaryHeight(const std::array<double, 3>& rows) {
  return kSummaryHeight + rows[0] + rows[1] + rows[2] - 3 * kDetailHeight;
}

void summaryBand(Canvas& c, const FormulaReportContent& content, const std::array<double, 3>& rows) {
  targetRow(c, kTargetRowTop, rows[0], content.target);
  const double top = kFormulaRowsTop + rows[0] - kDetailHeight;
  formulaRow(c, top, rows[1], 0, content.formulas[0]);
  formulaRow(c, top + rows[1], rows[2], 1, content.formulas[1]);
}

void pageFooterBand(Canvas& c, int page) {
  const Style s = leftAligned(kNoLines);
  c.cell(131.2 - kPadding, 1.1, 5.0, 4.5, QStringLiteral("第"), s);
  c.cell(134.5, 1.1, 8.0, 4.5, QString::number(page), centred(kNoLines));
  c.cell(142.6 - kPadding, 1.1, 5.0, 4.5, QStringLiteral("页"), s);
}

// --- Property report --------------------------------------------------------------------

struct PropertyCell {
  double left, width;
  Qt::Alignment align;
  bool bold;
};
constexpr std::array<PropertyCell, 14> kPropertyCells = {{{2.1, 21.2, Qt::AlignRight, true},
                                                          {23.3, 21.2, Qt::AlignHCenter, true},
                                                          {44.5, 13.2, Qt::AlignHCenter, false},
                                                          {57.1, 21.2, Qt::AlignHCenter, true},
                                                          {78.3, 13.2, Qt::AlignHCenter, false},
                                                          {91.0, 21.2, Qt::AlignHCenter, true},
                                                          {112.2, 13.2, Qt::AlignHCenter, false},
                                                          {127.0, 21.2, Qt::AlignRight, true},
                                                          {148.2, 21.2, Qt::AlignHCenter, true},
                                                          {169.3, 13.2, Qt::AlignHCenter, false},
                                                          {182.0, 21.2, Qt::AlignHCenter, true},
                                                          {202.7, 13.2, Qt::AlignHCenter, false},
                                                          {215.4, 21.2, Qt::AlignHCenter, true},
                                                          {236.0, 13.2, Qt::AlignHCenter, false}}};
// The boxed cells are 4.5 mm high, 0.3 mm more than the rows' pitch.
constexpr double kPropertyCellHeight = 4.5;

void propertyHeader(Canvas& c) {
  Style s = boldCentred();
  s.points = 11;
  // Centred on 124.9 mm.
  c.cell(124.9 - 60.0, 12.7, 120.0, 5.5, kPropertyReportTitle, s);
}

void propertyRow(Canvas& c, const PropertyRow& row, double height) {
  for (std::size_t i = 0; i < kPropertyCells.size(); ++i) {
    Style s;
    s.align = kPropertyCells[i].align;
    s.bold = kPropertyCells[i].bold;
    s.lines = kBox;
    c.cell(kPropertyCells[i].left, 0, kPropertyCells[i].width, height, row.cells[i], s);
  }
}

}  // namespace

QStringList reportFontFamilies() {
  QStringList installed = QFontDatabase::families();
  for (QString& f : installed) f = f.section(QStringLiteral(" ["), 0, 0);  // "Nimbus Roman [urw]"
  auto have = [&installed](const char16_t* family) {
    return installed.contains(QString::fromUtf16(family), Qt::CaseInsensitive);
  };
  for (const char16_t* simsun : {u"SimSun", u"宋体", u"NSimSun"}) {
    if (have(simsun)) return {QString::fromUtf16(simsun)};
  }
  // Latin letters and digits from a serif face; then a Song face for
  // GB2312, a Ming face for the rest of GBK (the traditional forms), and
  // Noto Serif CJK for what neither has. A PDF gives each of their glyphs
  // back as the character drawn; Noto CJK alone gives some as the radical
  // of the same shape (⽅ for 方).
  QStringList families;
  for (const char16_t* face : {u"AR PL SungtiL GB", u"AR PL UMing CN", u"Noto Serif CJK SC", u"Source Han Serif SC"}) {
    if (have(face)) families << QString::fromUtf16(face);
  }
  for (const char16_t* face : {u"Noto Sans CJK SC", u"Source Han Sans SC", u"WenQuanYi Zen Hei"}) {
    if (families.isEmpty() && have(face)) families << QString::fromUtf16(face);
  }
  for (const char16_t* latin : {u"Times New Roman", u"Liberation Serif", u"Nimbus Roman", u"DejaVu Serif"}) {
    if (have(latin)) {
      families.prepend(QString::fromUtf16(latin));
      break;
    }
  }
  return families.isEmpty() ? QStringList{QFont().family()} : families;
}

void setUpReportPrinter(QPrinter& printer) {
  printer.setFullPage(false);
  printer.setPageLayout(reportPageLayout());
}

int paintFormulaReport(QPainter& painter, QPrinter& printer, const FormulaReportContent& content) {
  Canvas c(painter, printer, kNavy);
  const double footerTop = c.pageHeight() - kPageFooterHeight;
  const double headerCells = c.rowHeight(kDetailHeight, [&](double h) { columnHeaderBand(c, content, h); });
  int page = 1;
  double y = 0;
  auto band = [&](double height) {
    c.setBandTop(y);
    y += height;
  };
  auto columnHeader = [&] {
    band(kColumnHeaderHeight - kDetailHeight + headerCells);
    columnHeaderBand(c, content, headerCells);
  };
  auto newPage = [&] {
    c.setBandTop(footerTop);
    pageFooterBand(c, page);
    printer.newPage();
    ++page;
    y = 0;
    columnHeader();
  };

  band(kTitleBandHeight);
  titleBand(c, content);
  columnHeader();
  for (const FormulaRow& row : content.rows) {
    const double height = c.rowHeight(kDetailHeight, [&](double h) { detailBand(c, row, h); });
    if (y + height > footerTop) newPage();
    band(height);
    detailBand(c, row, height);
  }
  const auto summaryRows = summaryRowHeights(c, content);
  if (y + summaryHeight(summaryRows) > footerTop) newPage();
  band(summaryHeight(summaryRows));
  summaryBand(c, content, summaryRows);
  c.setBandTop(footerTop);
  pageFooterBand(c, page);
  return page;
}

int paintPropertyReport(QPainter& painter, QPrinter& printer, const PropertyReportContent& content) {
  Canvas c(painter, printer, kBlack);
  int page = 1;
  double y = 0;
  auto header = [&] {
    c.setBandTop(y);
    propertyHeader(c);
    y += kPropertyHeaderHeight;
  };
  header();
  for (const PropertyRow& row : content.rows) {
    const double height = c.rowHeight(kPropertyCellHeight, [&](double h) { propertyRow(c, row, h); });
    if (y + height > c.pageHeight()) {
      printer.newPage();
      ++page;
      y = 0;
      header();
    }
    c.setBandTop(y);
    propertyRow(c, row, height);
    y += kPropertyDetailHeight + height - kPropertyCellHeight;
  }
  return page;
}

bool writeReportsPdf(const QString& path, const FormulaReportContent& formula, const PropertyReportContent* property,
                     QString* error, std::pair<int, int>* pages, const StullChartData* stull) {
  std::pair<int, int> painted{0, 0};
  const bool written = writePdf(path, formula.title, setUpReportPrinter, [&](QPainter& painter, QPrinter& printer) {
    painted.first = paintFormulaReport(painter, printer, formula);
    if (property) {
      printer.newPage();
      painted.second = paintPropertyReport(painter, printer, *property);
    }
    if (stull) {
      printer.newPage();
      paintStullPage(painter, printer, *stull);
    }
  }, error);
  if (pages) *pages = painted;
  return written;
}

}  // namespace tessaro::report
