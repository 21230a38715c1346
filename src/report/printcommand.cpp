#include "report/printcommand.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include "report/reportpainter.h"
#include "report/workbook.h"

namespace tessaro::report {

namespace {

PrintCommand* g_running = nullptr;

const QString kPreviewCaption = QStringLiteral("打印预览");

}  // namespace

PrintCommand* PrintCommand::running() { return g_running; }

PrintCommand* PrintCommand::run(app::MainScreen& screen, app::FrameState& frame, app::Prompter& prompter,
                                QWidget* parent) {
  if (g_running) {
    if (QPrintPreviewDialog* shown = g_running->preview()) {
      shown->raise();
      shown->activateWindow();
    }
    return g_running;
  }
  auto* command = new PrintCommand(screen, frame, prompter, parent);
  QString error;
  if (!command->tables_->open(screen.baseFolder(), &error)) {
    delete command;
    prompter.error(error);
    return nullptr;
  }
  g_running = command;
  command->showPreview(Stage::FormulaReport);
  return command;
}

PrintCommand::PrintCommand(app::MainScreen& screen, app::FrameState& frame, app::Prompter& prompter, QWidget* parent)
    : screen_(screen), frame_(frame), prompter_(prompter), parent_(parent), tables_(std::make_unique<ReportTables>()) {}

PrintCommand::~PrintCommand() {
  if (g_running == this) g_running = nullptr;
  delete preview_.data();
  tables_->closeAll();
}

void PrintCommand::showPreview(Stage stage) {
  stage_ = stage;
  // The report is read once, here: the preview, the printer and the PDF all
  // show these pages, whatever the tables hold later. A damaged cell is told
  // once, before the preview shows it as it is.
  QStringList problems;
  if (stage == Stage::FormulaReport) {
    formulaContent_ = readFormulaReport(*tables_, screen_.formulaCaptions());
    problems = formulaContent_.problems;
    batchMissing_.clear();
    batch_ = readBatchSheet(screen_.baseFolder(), app::BatchRequest{}, &batchMissing_);
  } else {
    propertyContent_ = readPropertyReport(tables_->property);
    problems = propertyContent_.problems;
    stullChart_.reset();
    if (holdsGlazeFormulas(propertyContent_)) {
      QString error;
      stullChart_ = readStullChart(screen_.baseFolder(), stullTitle(formulaContent_.target.name), &error);
      if (!stullChart_) problems << error;
    }
  }
  if (!problems.isEmpty()) prompter_.warning(problems.join(app::kCR));

  auto& printer = printers_[stage == Stage::FormulaReport ? 0 : 1];
  printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  setUpReportPrinter(*printer);
  printer->setDocName(stage == Stage::FormulaReport ? QStringLiteral("配方计算结果") : QStringLiteral("配方性能"));
  auto* dialog = new QPrintPreviewDialog(printer.get(), parent_.data());
  dialog->setWindowTitle(kPreviewCaption);
  dialog->setModal(false);
  dialog->setWindowModality(Qt::NonModal);
  connect(dialog, &QPrintPreviewDialog::paintRequested, this, &PrintCommand::paint);
  connect(dialog, &QDialog::finished, this, &PrintCommand::previewClosed);
  addExportActions(dialog);
  preview_ = dialog;
  dialog->show();
}

void PrintCommand::addExportActions(QPrintPreviewDialog* dialog) {
  QToolBar* bar = dialog->findChild<QToolBar*>();
  if (bar) bar->addSeparator();
  const auto add = [&](const QString& text, const QString& name, const QString& tip) {
    QAction* action = new QAction(text, dialog);
    if (bar) {
      bar->addAction(action);
    } else {
      dialog->addAction(action);
    }
    action->setObjectName(name);
    action->setToolTip(tip);
    return action;
  };
  export_ = add(QStringLiteral("导出PDF"), QStringLiteral("exportPdf"), QStringLiteral("把报表存为 PDF 文件"));
  connect(export_, &QAction::triggered, this, &PrintCommand::askAndExport);
  exportXlsx_ = add(QStringLiteral("导出Excel…"), QStringLiteral("exportXlsx"),
                    QStringLiteral("把配方计算结果、配方性能和配料单（100 kg 干料，不加水）存为一个 Excel 工作簿"));
  connect(exportXlsx_, &QAction::triggered, this, &PrintCommand::askAndExportXlsx);
}

void PrintCommand::paint(QPrinter* printer) {
  QPainter painter;
  if (!painter.begin(printer)) return;  // the print system reports its own failure
  if (stage_ == Stage::FormulaReport) {
    paintFormulaReport(painter, *printer, formulaContent_);
  } else {
    paintPropertyReport(painter, *printer, propertyContent_);
    if (stullChart_) {
      printer->newPage();
      paintStullPage(painter, *printer, *stullChart_);
    }
  }
}

bool PrintCommand::exportPdf(const QString& path) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setCreator(QStringLiteral("Tessaro"));
  setUpReportPrinter(printer);
  QPainter probe;
  if (!probe.begin(&printer)) {
    prompter_.error(QStringLiteral("不能写入 PDF 文件 %1").arg(QFileInfo(path).absoluteFilePath()));
    return false;
  }
  probe.end();
  paint(&printer);
  if (QFileInfo(path).size() == 0) {
    prompter_.error(QStringLiteral("写入 PDF 文件 %1 失败").arg(QFileInfo(path).absoluteFilePath()));
    return false;
  }
  return true;
}

void PrintCommand::askAndExport() {
  const QString suggested = stage_ == Stage::FormulaReport ? QStringLiteral("配方计算结果.pdf") : QStringLiteral("配方性能.pdf");
  const QString path = QFileDialog::getSaveFileName(preview_.data(), QStringLiteral("导出PDF"), suggested,
                                                    QStringLiteral("PDF 文件 (*.pdf)"));
  if (path.isEmpty()) return;
  exportPdf(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf"));
}

bool PrintCommand::exportXlsx(const QString& path) {
  WorkbookContent content;
  content.formula = formulaContent_;
  if (stage_ == Stage::PropertyReport) {
    content.property = propertyContent_;
  } else {
    // The property report is read when its preview is shown; the workbook needs it now.
    content.property = readPropertyReport(tables_->property);
    if (!content.property.problems.isEmpty()) prompter_.warning(content.property.problems.join(app::kCR));
  }
  content.batch = batch_;
  content.batchMissing = batchMissing_;
  QString error;
  if (writeWorkbook(path, content, &error)) return true;
  prompter_.error(error);
  return false;
}

void PrintCommand::askAndExportXlsx() {
  const QString path = QFileDialog::getSaveFileName(preview_.data(), QStringLiteral("导出Excel"),
                                                    QStringLiteral("配方计算结果.xlsx"),
                                                    QStringLiteral("Excel 工作簿 (*.xlsx)"));
  if (path.isEmpty()) return;
  exportXlsx(path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".xlsx"));
}

void PrintCommand::previewClosed() {
  if (preview_) preview_->deleteLater();
  preview_ = nullptr;
  export_ = nullptr;
  exportXlsx_ = nullptr;
  if (stage_ == Stage::FormulaReport) {
    tables_->closeFormulaTables();
    // Both property commands stay enabled until a property calculation
    // disables them: only then is there a property report to show.
    const bool propertiesComputed =
        !(frame_.enabled(app::Command::ToolBody) && frame_.enabled(app::Command::ToolGlaze));
    if (propertiesComputed) {
      showPreview(Stage::PropertyReport);
      return;
    }
  }
  finish();
}

void PrintCommand::finish() {
  stage_ = Stage::Finished;
  tables_->closeAll();
  frame_.printPreviewFinished();
  if (g_running == this) g_running = nullptr;
  emit finished();
  deleteLater();
}

}  // namespace tessaro::report
