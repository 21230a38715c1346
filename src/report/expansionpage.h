// The thermal-expansion page of the window "配料单与坯釉适应性": the factor
// set chosen, the body's measured coefficient typed, each oxide's share of
// the calculated coefficient of each formula, and the fit verdicts.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "app/expansionsets.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tessaro::report {

class FitTable;

class ExpansionPage : public QWidget {
  Q_OBJECT

 public:
  ExpansionPage(const QString& baseFolder, QWidget* parent = nullptr);

  // Shows the figures of `inputs` (none: the tables could not be read).
  void showFigures(const app::FitInputs* inputs);

  QComboBox* setBox() const { return set_; }
  QLineEdit* bodyEdit() const { return body_; }
  FitTable* table() const { return table_; }
  QLabel* verdicts() const { return verdicts_; }
  const std::vector<app::FormulaExpansion>& expansions() const { return expansions_; }

 private:
  void recompute();
  void listSets();
  void fill();

  QString base_;
  const app::FitInputs* inputs_ = nullptr;
  std::vector<app::FormulaExpansion> expansions_;
  QComboBox* set_ = nullptr;
  QLineEdit* body_ = nullptr;
  FitTable* table_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* verdicts_ = nullptr;
  QLabel* margins_ = nullptr;
};

}  // namespace tessaro::report
