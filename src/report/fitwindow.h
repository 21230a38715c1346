// The window "配料单与坯釉适应性": for the formulas of the result table, the
// calculated thermal expansion of the glaze against the body's, the Stull
// chart, and the batch sheet with its print, PDF, CSV and Excel workbook. It
// reads the data folder with cursors of its own and follows the result
// table: the frame calls refresh() after each command that may have changed
// the tables.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>

#include "app/fitinputs.h"
#include "app/prompter.h"

class QLabel;
class QTabWidget;

namespace tessaro::report {

class BatchPage;
class ExpansionPage;
class StullPage;

inline const QString kFitWindowTitle = QStringLiteral("配料单与坯釉适应性");

class FitWindow : public QWidget {
  Q_OBJECT

 public:
  // `baseFolder` holds 数据库; messages of the buttons go through `prompter`.
  FitWindow(app::Prompter& prompter, const QString& baseFolder, QWidget* parent = nullptr);

  // Shows the window in front, with the figures read anew.
  void open();
  // Reads the tables again and shows the figures; only while the window is
  // shown (showing it reads them).
  void refresh();

  QTabWidget* tabs() const { return tabs_; }
  ExpansionPage* expansionPage() const { return expansion_; }
  StullPage* stullPage() const { return stull_; }
  BatchPage* batchPage() const { return batch_; }
  // The sentence shown above the pages: why the tables cannot be read, or
  // that the result table is empty; empty when there are figures.
  QString readError() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString base_;
  QLabel* error_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  ExpansionPage* expansion_ = nullptr;
  StullPage* stull_ = nullptr;
  BatchPage* batch_ = nullptr;
  std::optional<app::FitInputs> inputs_;
  QString readError_;
};

}  // namespace tessaro::report
