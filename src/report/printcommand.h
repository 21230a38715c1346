// The print command ("打印/预览", tool button TB7 and the main-screen item):
// the formula report's preview, then the property report's preview when a
// property calculation has run since the last calculation or verification,
// followed by the Stull chart's page when it holds glaze formulas.
#pragma once

#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QString>

#include <array>
#include <memory>
#include <optional>

#include "app/framestate.h"
#include "app/mainscreen.h"
#include "app/prompter.h"
#include "report/batchprint.h"
#include "report/reportcontent.h"
#include "report/stullchart.h"

class QAction;
class QPrinter;
class QWidget;

namespace tessaro::report {

class PrintCommand : public QObject {
  Q_OBJECT

 public:
  enum class Stage { FormulaReport, PropertyReport, Finished };

  // Starts the print command: opens the report's own cursors on the four
  // working tables and shows the formula report's preview, which does not
  // block the other windows. The command goes on by itself as the previews
  // are closed and deletes itself at its end, after finished(). Returns the
  // running command; nullptr when it stopped at once (a table that does not
  // open is reported through `prompter`, and nothing is left open). While a
  // print command runs, a second one brings its preview to the front.
  static PrintCommand* run(app::MainScreen& screen, app::FrameState& frame, app::Prompter& prompter,
                           QWidget* parent = nullptr);
  // The running command, if any.
  static PrintCommand* running();

  ~PrintCommand() override;

  Stage stage() const { return stage_; }
  // The preview window now shown.
  QPrintPreviewDialog* preview() const { return preview_; }
  // The actions added to the preview's tool bar: export to PDF, to Excel.
  QAction* exportAction() const { return export_; }
  QAction* exportXlsxAction() const { return exportXlsx_; }
  const ReportTables& tables() const { return *tables_; }

  // Writes the report now previewed into the PDF file `path`; false with a
  // message through the prompter when it cannot be written.
  bool exportPdf(const QString& path);
  // Writes the Excel workbook into `path`: the formula report's table as
  // previewed, the property table and the batch sheet for 100 kg of dry
  // material without water, read with the formula report; false with a
  // message through the prompter when it cannot be written.
  bool exportXlsx(const QString& path);

 signals:
  // The command has ended: the previews are closed, the tables closed and
  // TB7 / "打印/预览" disabled.
  void finished();

 private:
  PrintCommand(app::MainScreen& screen, app::FrameState& frame, app::Prompter& prompter, QWidget* parent);
  void showPreview(Stage stage);
  void previewClosed();
  void finish();
  void paint(QPrinter* printer);
  void askAndExport();
  void askAndExportXlsx();
  void addExportActions(QPrintPreviewDialog* dialog);

  app::MainScreen& screen_;
  app::FrameState& frame_;
  app::Prompter& prompter_;
  QPointer<QWidget> parent_;
  std::unique_ptr<ReportTables> tables_;
  // One printer per preview; a closed preview is deleted later and keeps its printer till then.
  std::array<std::unique_ptr<QPrinter>, 2> printers_;
  QPointer<QPrintPreviewDialog> preview_;
  QAction* export_ = nullptr;
  QAction* exportXlsx_ = nullptr;
  Stage stage_ = Stage::FormulaReport;
  // What the preview now shown was laid out from.
  FormulaReportContent formulaContent_;
  PropertyReportContent propertyContent_;
  std::optional<StullChartData> stullChart_;
  // The batch sheet of the workbook, or why there is none.
  std::optional<BatchSheetContent> batch_;
  QString batchMissing_;
};

}  // namespace tessaro::report
