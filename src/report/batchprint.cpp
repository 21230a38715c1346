#include "report/batchprint.h"

#include <QPainter>
#include <QPrinter>

#include <array>

#include "app/framestate.h"
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
    const QString target = batchTargetText(content_);
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

  void cells(const app::BatchRow& r, bool header, double height) {
    for (std::size_t i = 0; i < r.cells.size(); ++i) {
      const Style s = header ? boldCentred(kBox) : i == 0 ? leftAligned(kBox, r.total) : rightAligned(kBox, r.total);
      c_.cell(lefts_[i], 0, widths_[i], height, r.cells[i], sized(s));
    }
  }

  // The height a row needs so that every text of it fits.
  double measure(const app::BatchRow& r, bool header) {
    return c_.rowHeight(kRowHeight, [&](double h) { cells(r, header, h); });
  }

  void drawRow(const app::BatchRow& r, bool header, double height) {
    band(height);
    cells(r, header, height);
  }

  // Starts a formula's table on this page, or on the next when its heading,
  // header and first row do not fit.
  void tableStart(const QString& label, double firstRow) {
    const double header = measure(batchHeaderRow(), true);
    if (y_ + kHeadingHeight + header + firstRow > footerTop_) newPage();
    heading(label);
    drawRow(batchHeaderRow(), true, header);
  }

  void tableRow(const app::BatchRow& r, const QString& label) {
    const double height = measure(r, false);
    if (y_ + height > footerTop_) {
      newPage();
      tableStart(label + QStringLiteral("（续）"), height);
    }
    drawRow(r, false, height);
  }

  void formula(const core::BatchFormula& f) {
    const QString label = QString::fromStdString(f.label);
    const std::vector<app::BatchRow> rows = app::batchRows(f);
    tableStart(label, measure(rows.front(), false));
    for (const app::BatchRow& r : rows) tableRow(r, label);
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

app::BatchRow batchHeaderRow() {
  return {{QStringLiteral("原料名称"), QStringLiteral("配比(%)"), QStringLiteral("重量(kg)"),
           QStringLiteral("单价(元/吨)"), QStringLiteral("金额(元)")},
          true};
}

QString batchTargetText(const BatchSheetContent& content) {
  return content.sheet.target.isEmpty() ? QStringLiteral("（无）") : content.sheet.target;
}

BatchSheetContent batchSheetContent(const app::BatchSheet& sheet) { return {sheet, app::statusDateText()}; }

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
  return writePdf(path, QStringLiteral("配料单"), setUpBatchPrinter,
                  [&](QPainter& painter, QPrinter& printer) { paintBatchSheet(painter, printer, content); }, error);
}

}  // namespace tessaro::report
