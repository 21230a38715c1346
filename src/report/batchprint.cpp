#include "report/batchprint.h"

#include <QDate>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include <array>

#include "core/format.h"
#include "report/reportcanvas.h"
#include "report/reportpage.h"

namespace tessaro::report {

namespace {

constexpr double kPoints = 10.5;
constexpr double kRowHeight = 7.0;         // mm, a table row as designed
constexpr double kTitleHeight = 26.0;      // mm, the title band
constexpr double kHeadingHeight = 9.0;     // mm, a formula's heading with the gap above it
constexpr double kFooterHeight = 8.0;      // mm, the page number at the foot
constexpr double kTableGap = 4.0;          // mm, after a formula's table

// The five columns as shares of the page width: name, proportion, weight,
// unit price, amount.
constexpr std::array<double, 5> kShares = {0.34, 0.14, 0.18, 0.16, 0.18};

struct Row {
  std::array<QString, 5> cells;
  bool bold = false;
};

Style sized(Style s) {
  s.points = kPoints;
  return s;
}

class SheetPainter {
 public:
  SheetPainter(QPainter& painter, QPrinter& printer, const BatchSheetContent& content)
      : printer_(printer), content_(content), c_(painter, printer, Qt::black) {
    footerTop_ = c_.pageHeight() - kFooterHeight;
    double left = 0;
    for (std::size_t i = 0; i < kShares.size(); ++i) {
      lefts_[i] = left;
      widths_[i] = kShares[i] * c_.pageWidth();
      left += widths_[i];
    }
  }

  int paint() {
    title();
    for (const core::BatchFormula& f : content_.sheet.formulas) formula(f);
    footer();
    return page_;
  }

 private:
  void band(double height) {
    c_.setBandTop(y_);
    y_ += height;
  }

  void title() {
    band(kTitleHeight);
    const double w = c_.pageWidth();
    Style big = boldCentred();
    big.points = 18;
    c_.cell(0, 0, w, 10, QStringLiteral("配料单"), big);
    const app::BatchRequest& r = content_.sheet.request;
    const QString target = content_.sheet.target.isEmpty() ? QStringLiteral("（无）") : content_.sheet.target;
    c_.cell(0, 12, w * 0.65, 6, QStringLiteral("目标配方：%1").arg(target), sized(leftAligned(kNoLines)));
    c_.cell(w * 0.65, 12, w * 0.35, 6, QStringLiteral("日期：%1").arg(content_.date), sized(rightAligned(kNoLines)));
    c_.cell(0, 18.5, w * 0.5, 6, QStringLiteral("批料重量（干料）：%1 kg").arg(app::batchKgText(r.weightKg)),
            sized(leftAligned(kNoLines, true)));
    c_.cell(w * 0.5, 18.5, w * 0.5, 6,
            QStringLiteral("含水率：%1 %（占浆料总重）").arg(app::batchPercentText(r.waterPercent)),
            sized(rightAligned(kNoLines, true)));
  }

  void heading(const QString& label) {
    band(kHeadingHeight);
    Style s = leftAligned(kNoLines, true);
    s.points = 12;
    c_.cell(0, 2, c_.pageWidth(), kHeadingHeight - 2, label, s);
  }

  void cells(const Row& r, bool header, double height) {
    for (std::size_t i = 0; i < r.cells.size(); ++i) {
      const Style s = header ? boldCentred(kBox) : i == 0 ? leftAligned(kBox, r.bold) : rightAligned(kBox, r.bold);
      c_.cell(lefts_[i], 0, widths_[i], height, r.cells[i], sized(s));
    }
  }

  // The height a row needs so that every text of it fits.
  double measure(const Row& r, bool header) {
    return c_.rowHeight(kRowHeight, [&](double h) { cells(r, header, h); });
  }

  void drawRow(const Row& r, bool header, double height) {
    band(height);
    cells(r, header, height);
  }

  Row headerRow() const {
    return {{QStringLiteral("原料名称"), QStringLiteral("配比(%)"), QStringLiteral("重量(kg)"),
             QStringLiteral("单价(元/吨)"), QStringLiteral("金额(元)")},
            true};
  }

  // Starts a formula's table on this page, or on the next when its heading,
  // header and first row do not fit.
  void tableStart(const QString& label, double firstRow) {
    const double header = measure(headerRow(), true);
    if (y_ + kHeadingHeight + header + firstRow > footerTop_) newPage();
    heading(label);
    drawRow(headerRow(), true, header);
  }

  void tableRow(const Row& r, const QString& label) {
    const double height = measure(r, false);
    if (y_ + height > footerTop_) {
      newPage();
      tableStart(label + QStringLiteral("（续）"), height);
    }
    drawRow(r, false, height);
  }

  void formula(const core::BatchFormula& f) {
    const QString label = QString::fromStdString(f.label);
    std::vector<Row> rows;
    double percent = 0;
    for (const core::BatchLine& l : f.lines) {
      rows.push_back({{QString::fromStdString(l.name), app::batchPercentText(l.proportion), app::batchKgText(l.kg),
                       app::batchPriceText(l.price), app::batchCostText(l.cost)}});
      percent += l.proportion;
    }
    if (f.lines.empty()) rows.push_back({{QStringLiteral("（此配方没有配比）")}});
    rows.push_back({{QStringLiteral("干料合计"), app::batchPercentText(percent), app::batchKgText(f.dryKg)}, true});
    rows.push_back({{QStringLiteral("加水"), QString(), app::batchKgText(f.waterKg)}, true});
    rows.push_back({{QStringLiteral("浆料合计"), QString(), app::batchKgText(f.wetKg())}, true});
    rows.push_back({{QStringLiteral("成本"), QString(), QString(), QString(), app::batchCostText(f.cost)}, true});
    tableStart(label, measure(rows.front(), false));
    for (const Row& r : rows) tableRow(r, label);
    y_ += kTableGap;
  }

  void footer() {
    c_.setBandTop(footerTop_);
    c_.cell(0, 2, c_.pageWidth(), 5, QStringLiteral("第 %1 页").arg(page_), sized(centred(kNoLines)));
  }

  void newPage() {
    footer();
    printer_.newPage();
    ++page_;
    y_ = 0;
  }

  QPrinter& printer_;
  const BatchSheetContent& content_;
  Canvas c_;
  std::array<double, 5> lefts_{};
  std::array<double, 5> widths_{};
  double footerTop_ = 0;
  double y_ = 0;
  int page_ = 1;
};

}  // namespace

BatchSheetContent batchSheetContent(const app::BatchSheet& sheet) {
  const QDate today = QDate::currentDate();
  return {sheet, QString::fromStdString(core::formatDate({today.year(), today.month(), today.day()}))};
}

void setUpBatchPrinter(QPrinter& printer) {
  printer.setFullPage(false);
  printer.setPageLayout(batchPageLayout());
}

int paintBatchSheet(QPainter& painter, QPrinter& printer, const BatchSheetContent& content) {
  return SheetPainter(painter, printer, content).paint();
}

void paintBatchSheet(QPrinter* printer, const BatchSheetContent& content) {
  QPainter painter;
  if (!printer || !painter.begin(printer)) return;
  paintBatchSheet(painter, *printer, content);
  painter.end();
}

bool writeBatchPdf(const QString& path, const BatchSheetContent& content, QString* error) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setCreator(QStringLiteral("Tessaro"));
  printer.setDocName(QStringLiteral("配料单"));
  setUpBatchPrinter(printer);
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = QStringLiteral("不能写入 PDF 文件 %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  paintBatchSheet(painter, printer, content);
  if (!painter.end() || QFileInfo(path).size() == 0) {
    if (error) *error = QStringLiteral("写入 PDF 文件 %1 失败").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  return true;
}

}  // namespace tessaro::report
