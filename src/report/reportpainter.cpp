#include "report/reportpainter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include "report/reportpage.h"

namespace tessaro::report {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kBlack(0, 0, 0);
constexpr double kPointSize = 9.0;
constexpr double kRuleWidth = 0.12;    // mm
constexpr double kPadding = 0.6;       // mm inside a left- or right-aligned cell
constexpr double kSmallestPoint = 4.0;  // a number shrinks down to this before it is cut

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
constexpr std::array<const char16_t*, 6> kFixedOxideTitles = {u"SiO2", u"AL2O3", u"Fe2O3", u"TiO2", u"CaO", u"MgO"};

enum Lines { kNoLines = 0, kLeft = 1, kRight = 2, kTop = 4, kBottom = 8, kBox = 15 };

struct Style {
  Qt::Alignment align = Qt::AlignHCenter;
  bool bold = false;
  bool underline = false;
  double points = kPointSize;
  int lines = kNoLines;
  bool shrink = true;  // a text wider than its cell is drawn smaller
};

// Draws in millimetres from the left margin and from the top of the current band.
class Canvas {
 public:
  Canvas(QPainter& painter, QPrinter& printer, const QColor& colour)
      : p_(painter), k_(printer.resolution() / 25.4), colour_(colour), families_(reportFontFamilies()) {
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    pageHeight_ = area.height();
  }

  double pageHeight() const { return pageHeight_; }
  void setBandTop(double top) { top_ = top; }

  void cell(double left, double top, double width, double height, const QString& text, const Style& style) {
    const QRectF r = rect(left, top, width, height);
    if (style.lines != kNoLines) {
      p_.setPen(QPen(colour_, kRuleWidth * k_, Qt::SolidLine, Qt::FlatCap));
      if (style.lines & kLeft) p_.drawLine(r.topLeft(), r.bottomLeft());
      if (style.lines & kRight) p_.drawLine(r.topRight(), r.bottomRight());
      if (style.lines & kTop) p_.drawLine(r.topLeft(), r.topRight());
      if (style.lines & kBottom) p_.drawLine(r.bottomLeft(), r.bottomRight());
    }
    if (text.isEmpty()) return;
    const QRectF inner = r.adjusted(kPadding * k_, 0, -kPadding * k_, 0);
    QFont f;
    f.setFamilies(families_);
    f.setBold(style.bold);
    f.setUnderline(style.underline);
    double points = style.points;
    f.setPointSizeF(points);
    // A value is never cut: it is drawn smaller until it fits its cell.
    while (style.shrink && points > kSmallestPoint &&
           QFontMetricsF(f, p_.device()).horizontalAdvance(text) > inner.width()) {
      points -= 0.5;
      f.setPointSizeF(points);
    }
    p_.setFont(f);
    p_.setPen(colour_);
    const QRectF textRect = (style.align & Qt::AlignHCenter) ? r : inner;
    p_.drawText(textRect, int(style.align | Qt::AlignVCenter) | Qt::TextSingleLine, text);
  }

 private:
  QRectF rect(double left, double top, double width, double height) const {
    return QRectF(left * k_, (top_ + top) * k_, width * k_, height * k_);
  }

  QPainter& p_;
  double k_;
  QColor colour_;
  QStringList families_;
  double pageHeight_ = 190.0;
  double top_ = 0;
};

Style boldCentred(int lines = kNoLines) {
  Style s;
  s.bold = true;
  s.lines = lines;
  return s;
}

Style centred(int lines) {
  Style s;
  s.lines = lines;
  return s;
}

Style leftAligned(int lines, bool bold = false) {
  Style s;
  s.align = Qt::AlignLeft;
  s.lines = lines;
  s.bold = bold;
  return s;
}

// --- Formula report ---------------------------------------------------------------------

void titleBand(Canvas& c, const FormulaReportContent& content) {
  Style title = boldCentred();
  title.points = 12;
  title.underline = true;
  // Centred on 138.5 mm, the middle of the printable width.
  c.cell(0, 2.1, 277.0, 6.5, content.title, title);
  c.cell(33.3, 10.1, 25.4, 4.5, QStringLiteral("配方百分配比"), boldCentred());
  Style underlinedLeft = leftAligned(kNoLines, true);
  underlinedLeft.underline = true;
  underlinedLeft.shrink = false;
  c.cell(33.3 - kPadding, 14.8, 26.0, 4.5, QStringLiteral("  （含灼减）  "), underlinedLeft);
  Style underlinedCentred = boldCentred();
  underlinedCentred.underline = true;
  c.cell(59.8, 14.3, 152.7, 4.5, QStringLiteral("化学组成(不含灼减)"), underlinedCentred);
  c.cell(234.9 - kPadding, 14.3, 42.1, 4.5, content.date, underlinedLeft);
}

void columnHeaderBand(Canvas& c, const FormulaReportContent& content) {
  constexpr double top = kColumnHeaderHeight - kDetailHeight;
  const Style s = boldCentred(kBox);
  c.cell(kName.left, top, kName.width, kDetailHeight, QStringLiteral("名称"), s);
  c.cell(kNum1.left, top, kNum1.width, kDetailHeight, QStringLiteral("配方1"), s);
  c.cell(kNum2.left, top, kNum2.width, kDetailHeight, QStringLiteral("配方2"), s);
  for (int i = 0; i < kReportOxideCount; ++i) {
    const Column& col = kOxideColumns[std::size_t(i)];
    const QString title = i < 6 ? QString::fromUtf16(kFixedOxideTitles[std::size_t(i)])
                                : content.oxideTitles[std::size_t(i - 6)];
    c.cell(col.left, top, col.width, kDetailHeight, title, s);
  }
  c.cell(kTotal.left, top, kTotal.width, kDetailHeight, QStringLiteral("合计"), s);
  c.cell(kPrice.left, top, kPrice.width, kDetailHeight, QStringLiteral("单价"), s);
  c.cell(kRemark.left, top, kRemark.width, kDetailHeight, QStringLiteral("备注"), s);
}

void oxideCells(Canvas& c, double top, const std::array<QString, kReportOxideCount>& values, const QString& total,
                int lines) {
  const Style s = centred(lines);
  for (int i = 0; i < kReportOxideCount; ++i) {
    const Column& col = kOxideColumns[std::size_t(i)];
    c.cell(col.left, top, col.width, kDetailHeight, values[std::size_t(i)], s);
  }
  c.cell(kTotal.left, top, kTotal.width, kDetailHeight, total, s);
}

void detailBand(Canvas& c, const FormulaRow& row) {
  constexpr int lines = kLeft | kRight | kBottom;
  c.cell(kName.left, 0, kNameDetailWidth, kDetailHeight, row.name, boldCentred(lines));
  c.cell(kNum1.left, 0, kNum1.width, kDetailHeight, row.num1, boldCentred(lines));
  c.cell(kNum2.left, 0, kNum2.width, kDetailHeight, row.num2, boldCentred(lines));
  oxideCells(c, 0, row.oxides, row.total, lines);
  c.cell(kPrice.left, 0, kPrice.width, kDetailHeight, row.price, boldCentred(lines));
  c.cell(kRemark.left, 0, kRemark.width, kDetailHeight, row.remark, leftAligned(lines));
}

void summaryBand(Canvas& c, const FormulaReportContent& content) {
  const Style remark = leftAligned(kBox);
  // The target.
  double top = 5.3;
  c.cell(4.2, top, 20.1, kDetailHeight, QStringLiteral("  目标配方 "), leftAligned(kBox, true));
  c.cell(24.3, top, 34.1, kDetailHeight, content.target.name, boldCentred(kBox));
  oxideCells(c, top, content.target.oxides, content.target.total, kBox);
  c.cell(212.7, top, 50.0, kDetailHeight, content.target.remark, remark);
  // The two formulas.
  for (int f = 0; f < 2; ++f) {
    top = f == 0 ? 16.9 : 22.2;
    const FormulaSummary& s = content.formulas[std::size_t(f)];
    c.cell(4.2, top, 54.2, kDetailHeight, f == 0 ? QStringLiteral("配方1 化学组成") : QStringLiteral("配方2 化学组成"),
           boldCentred(kBox));
    oxideCells(c, top, s.oxides, s.total, kBox);
    c.cell(kPrice.left, top, 13.0, kDetailHeight, s.cost, centred(kBox));
    c.cell(kRemark.left, top, kRemark.width, kDetailHeight, s.remark, remark);
  }
}

void pageFooterBand(Canvas& c, int page) {
  Style s = leftAligned(kNoLines);
  s.shrink = false;
  c.cell(131.2 - kPadding, 1.1, 5.0, 4.5, QStringLiteral("第"), s);
  c.cell(134.5, 1.1, 8.0, 4.5, QString::number(page), centred(kNoLines));
  c.cell(142.6 - kPadding, 1.1, 5.0, 4.5, QStringLiteral("页"), s);
}

}  // namespace

QString reportFontFamily() {
  const QStringList families = QFontDatabase::families();
  for (const char16_t* wanted : {u"SimSun", u"宋体", u"NSimSun", u"Noto Serif CJK SC", u"Source Han Serif SC",
                                 u"AR PL UMing CN", u"Noto Sans CJK SC", u"Source Han Sans SC",
                                 u"WenQuanYi Zen Hei"}) {
    const QString name = QString::fromUtf16(wanted);
    if (families.contains(name, Qt::CaseInsensitive)) return name;
  }
  return QFont().family();
}

QStringList reportFontFamilies() {
  const QString cjk = reportFontFamily();
  if (cjk.contains(QStringLiteral("SimSun"), Qt::CaseInsensitive) || cjk == QStringLiteral("宋体")) return {cjk};
  // Latin letters and digits from a serif face that the PDF maps back to
  // text; the CJK face for the rest.
  QStringList families = QFontDatabase::families();
  for (QString& f : families) f = f.section(QStringLiteral(" ["), 0, 0);  // "Nimbus Roman [urw]"
  for (const char* latin : {"Times New Roman", "Liberation Serif", "Nimbus Roman", "DejaVu Serif"}) {
    if (families.contains(QLatin1String(latin), Qt::CaseInsensitive)) return {QLatin1String(latin), cjk};
  }
  return {cjk};
}

void setUpReportPrinter(QPrinter& printer) {
  printer.setFullPage(false);
  printer.setPageLayout(reportPageLayout());
}

int paintFormulaReport(QPainter& painter, QPrinter& printer, const FormulaReportContent& content) {
  Canvas c(painter, printer, kNavy);
  const double footerTop = c.pageHeight() - kPageFooterHeight;
  int page = 1;
  double y = 0;
  auto band = [&](double height) {
    c.setBandTop(y);
    y += height;
  };
  auto newPage = [&] {
    c.setBandTop(footerTop);
    pageFooterBand(c, page);
    printer.newPage();
    ++page;
    y = 0;
    band(kColumnHeaderHeight);
    columnHeaderBand(c, content);
  };

  band(kTitleBandHeight);
  titleBand(c, content);
  band(kColumnHeaderHeight);
  columnHeaderBand(c, content);
  for (const FormulaRow& row : content.rows) {
    if (y + kDetailHeight > footerTop) newPage();
    band(kDetailHeight);
    detailBand(c, row);
  }
  if (y + kSummaryHeight > footerTop) newPage();
  band(kSummaryHeight);
  summaryBand(c, content);
  c.setBandTop(footerTop);
  pageFooterBand(c, page);
  return page;
}

int paintPropertyReport(QPainter& painter, QPrinter& printer, const PropertyReportContent& content) {
  struct Cell {
    double left, width;
    Qt::Alignment align;
    bool bold;
  };
  static const std::array<Cell, 14> cells = {{{2.1, 21.2, Qt::AlignRight, true},
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
  constexpr double cellHeight = 4.5;
  Canvas c(painter, printer, kBlack);
  int page = 1;
  double y = 0;
  auto header = [&] {
    c.setBandTop(y);
    Style s = boldCentred();
    s.points = 11;
    // Centred on 124.9 mm.
    c.cell(124.9 - 60.0, 12.7, 120.0, 5.5, QStringLiteral("配方性能"), s);
    y += kPropertyHeaderHeight;
  };
  header();
  for (const PropertyRow& row : content.rows) {
    if (y + cellHeight > c.pageHeight()) {
      printer.newPage();
      ++page;
      y = 0;
      header();
    }
    c.setBandTop(y);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      Style s;
      s.align = cells[i].align;
      s.bold = cells[i].bold;
      s.lines = kBox;
      c.cell(cells[i].left, 0, cells[i].width, cellHeight, row.cells[i], s);
    }
    y += kPropertyDetailHeight;
  }
  return page;
}

bool writeReportsPdf(const QString& path, const FormulaReportContent& formula, const PropertyReportContent* property,
                     QString* error, std::pair<int, int>* pages) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setCreator(QStringLiteral("Tessaro"));
  printer.setDocName(formula.title);
  setUpReportPrinter(printer);
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = QStringLiteral("不能写入 PDF 文件 %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  std::pair<int, int> painted{paintFormulaReport(painter, printer, formula), 0};
  if (property) {
    printer.newPage();
    painted.second = paintPropertyReport(painter, printer, *property);
  }
  if (pages) *pages = painted;
  if (!painter.end() || QFileInfo(path).size() == 0) {
    if (error) *error = QStringLiteral("写入 PDF 文件 %1 失败").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  return true;
}

}  // namespace tessaro::report
