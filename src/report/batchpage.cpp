#include "report/batchpage.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/batchprint.h"
#include "report/fitpage.h"
#include "report/workbook.h"

namespace tessaro::report {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

BatchPage::BatchPage(app::Prompter& prompter, const QString& baseFolder, QWidget* parent)
    : QWidget(parent), prompter_(prompter), base_(baseFolder) {
  setObjectName(QStringLiteral("BatchPage"));
  auto* inputs = new QHBoxLayout;
  const auto edit = [&](const QString& caption, const QString& name, const QString& initial) {
    auto* label = new QLabel(caption, this);
    auto* e = new QLineEdit(initial, this);
    e->setObjectName(name);
    e->setMaximumWidth(120);
    label->setBuddy(e);
    inputs->addWidget(label);
    inputs->addWidget(e);
    inputs->addSpacing(16);
    connect(e, &QLineEdit::textChanged, this, &BatchPage::recompute);
    return e;
  };
  const app::BatchRequest first;
  weight_ = edit(QStringLiteral("批量（干料，kg）："), QStringLiteral("BatchWeight"), QString::number(first.weightKg));
  water_ = edit(QStringLiteral("含水率（%，占浆料总重）："), QStringLiteral("WaterContent"), QString::number(first.waterPercent));
  inputs->addStretch(1);
  const auto button = [&](const QString& caption, const QString& name, auto slot) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    inputs->addWidget(b);
    connect(b, &QPushButton::clicked, this, slot);
  };
  button(QStringLiteral("打印/预览"), QStringLiteral("BatchPrint"), [this] { preview(); });
  button(QStringLiteral("导出PDF..."), QStringLiteral("BatchPdf"), [this] {
    if (!haveSheet()) return;
    const QString path = askPath(QStringLiteral("导出配料单PDF"), QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral(".pdf"));
    if (!path.isEmpty()) exportPdf(path);
  });
  button(QStringLiteral("导出CSV..."), QStringLiteral("BatchCsv"), [this] {
    if (!haveSheet()) return;
    const QString path = askPath(QStringLiteral("导出配料单CSV"), QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral(".csv"));
    if (!path.isEmpty()) exportCsv(path);
  });
  button(QStringLiteral("导出Excel..."), QStringLiteral("BatchXlsx"), [this] {
    if (!haveSheet()) return;
    const QString path =
        askPath(QStringLiteral("导出Excel工作簿"), QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral(".xlsx"));
    if (!path.isEmpty()) exportXlsx(path);
  });

  message_ = sentenceLabel(QStringLiteral("BatchMessage"), this);
  const app::BatchRow header = batchHeaderRow();
  table_ = new FitTable(QStringLiteral("BatchTable"), QStringList(header.cells.begin(), header.cells.end()), this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(inputs);
  layout->addWidget(message_);
  layout->addWidget(table_, 1);
  showSentence(message_, QString(), false);
}

void BatchPage::showFigures(const app::FitInputs* inputs) {
  inputs_ = inputs;
  recompute();
}

void BatchPage::recompute() {
  sheet_.reset();
  refusal_.clear();
  if (inputs_) {
    const auto request = app::parseBatchRequest(weight_->text(), water_->text(), &refusal_);
    if (request) sheet_ = app::makeBatchSheet(*inputs_, *request, &refusal_);
  }
  showSentence(message_, refusal_, true);
  fill();
}

void BatchPage::fill() {
  table_->clearRows();
  if (sheet_) {
    for (const core::BatchFormula& f : sheet_->formulas) {
      table_->addHeading(text(f.label));
      for (const app::BatchRow& r : app::batchRows(f)) {
        table_->addRow(QStringList(r.cells.begin(), r.cells.end()), 1, r.total);
      }
    }
  }
  table_->fitColumns();
}

bool BatchPage::haveSheet() {
  if (sheet_) return true;
  prompter_.information(refusal_.isEmpty() ? QStringLiteral("没有可以输出的配料单。") : refusal_);
  return false;
}

QString BatchPage::askPath(const QString& caption, const QString& filter, const QString& suffix) {
  QString path = QFileDialog::getSaveFileName(this, caption, QDir::home().filePath(QStringLiteral("配料单") + suffix), filter);
  if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
  return path;
}

bool BatchPage::exportCsv(const QString& path) {
  if (!haveSheet()) return false;
  QString error;
  if (app::writeBatchCsv(path, *sheet_, &error)) return true;
  prompter_.error(error);
  return false;
}

bool BatchPage::exportPdf(const QString& path) {
  if (!haveSheet()) return false;
  QString error;
  if (writeBatchPdf(path, batchSheetContent(*sheet_), &error)) return true;
  prompter_.error(error);
  return false;
}

bool BatchPage::exportXlsx(const QString& path) {
  if (!haveSheet()) return false;
  WorkbookContent content;
  QString error;
  if (!readReports(base_, content.formula, content.property, &error)) {
    prompter_.error(error);
    return false;
  }
  const QStringList problems = content.formula.problems + content.property.problems;
  if (!problems.isEmpty()) prompter_.warning(problems.join(app::kCR));
  content.batch = batchSheetContent(*sheet_);
  if (writeWorkbook(path, content, &error)) return true;
  prompter_.error(error);
  return false;
}

void BatchPage::preview() {
  if (!haveSheet()) return;
  auto* printer = new QPrinter(QPrinter::HighResolution);
  setUpBatchPrinter(*printer);
  auto* dialog = new QPrintPreviewDialog(printer, this, Qt::Window);
  dialog->setObjectName(QStringLiteral("BatchPreview"));
  dialog->setWindowTitle(QStringLiteral("配料单 - 打印预览"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
  const BatchSheetContent content = batchSheetContent(*sheet_);
  connect(dialog, &QPrintPreviewDialog::paintRequested, this, [content](QPrinter* p) { paintBatchSheet(p, content); });
  dialog->setWindowModality(Qt::NonModal);
  dialog->show();
}

}  // namespace tessaro::report
