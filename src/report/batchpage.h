// The batch-sheet page of the window "配料单与坯釉适应性": the batch weight
// and water content typed, the weights and costs of each formula's raw
// materials, and the sheet printed, written as PDF or as CSV, or into an
// Excel workbook with the formula report's table and the property table.
#pragma once

#include <QWidget>

#include <optional>

#include "app/batchsheet.h"
#include "app/prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaro::report {

class FitTable;

class BatchPage : public QWidget {
  Q_OBJECT

 public:
  // `baseFolder` holds 数据库: the workbook's reports are read from it.
  BatchPage(app::Prompter& prompter, const QString& baseFolder, QWidget* parent = nullptr);

  // Shows the sheet of `inputs` (none: the tables could not be read).
  void showFigures(const app::FitInputs* inputs);

  // The sheet as now shown; none while an input is refused or there is no result.
  const std::optional<app::BatchSheet>& sheet() const { return sheet_; }
  QLineEdit* weightEdit() const { return weight_; }
  QLineEdit* waterEdit() const { return water_; }
  FitTable* table() const { return table_; }
  QLabel* message() const { return message_; }

  // The buttons' work after their file dialog: false after a message when
  // there is no sheet or the file cannot be written.
  bool exportCsv(const QString& path);
  bool exportPdf(const QString& path);
  bool exportXlsx(const QString& path);
  // Opens the print preview of the sheet (it does not block the other windows).
  void preview();

 private:
  void recompute();
  bool haveSheet();
  void fill();
  QString askPath(const QString& caption, const QString& filter, const QString& suffix);

  app::Prompter& prompter_;
  QString base_;
  const app::FitInputs* inputs_ = nullptr;
  std::optional<app::BatchSheet> sheet_;
  QString refusal_;
  QLineEdit* weight_ = nullptr;
  QLineEdit* water_ = nullptr;
  FitTable* table_ = nullptr;
  QLabel* message_ = nullptr;
};

}  // namespace tessaro::report
