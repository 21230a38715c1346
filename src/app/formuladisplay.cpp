#include "app/formuladisplay.h"

#include "app/gridcolumns.h"

namespace tessaro::app {

using store::Table;

RowHighlight rowHighlight(const QString& bxl1, const QString& bxl2, const QString& bxl3) {
  if (bxl1 == kMandatoryMark) return {true, 1};
  if (bxl2 == kMandatoryMark) return {true, 2};
  if (bxl3 == kMandatoryMark) return {true, 3};
  return {};
}

bool FormulaDisplay::showUsedMaterialsOnly() {
  if (!tables_.require({WorkTable::Formula})) return false;
  Table& formula = tables_.table(WorkTable::Formula);
  {
    store::SuspendedDisplay quiet(formula);
    const bool ok = tables_.forEach(formula, [&] {
      const auto a = tables_.orZero(formula, kFormulaTableName, QStringLiteral("NUM1"));
      if (!a) return false;
      const auto b = tables_.orZero(formula, kFormulaTableName, QStringLiteral("NUM2"));
      if (!b) return false;
      if (*a + *b == 0) return true;
      return tables_.update(formula, [&] { return tables_.setText(formula, QStringLiteral("BH"), QStringLiteral("1")); });
    });
    if (!ok) return false;
  }
  if (!formula.setOrder(QStringLiteral("BH"))) return tables_.engine(formula);
  formula.setRange(QStringLiteral("1"), QStringLiteral("1"));  // an error here leaves every row shown
  state_.setCompactDisplay(true);
  if (!formula.first()) return tables_.engine(formula);
  return true;
}

bool FormulaDisplay::showAllMaterials() {
  if (!tables_.require({WorkTable::Formula})) return false;
  Table& formula = tables_.table(WorkTable::Formula);
  if (!formula.cancelRange() || !formula.setNaturalOrder()) return tables_.engine(formula);
  store::SuspendedDisplay quiet(formula);
  if (!tables_.clearInUse()) return false;
  state_.setCompactDisplay(false);
  if (!formula.first()) return tables_.engine(formula);
  return true;
}

bool FormulaDisplay::toggleCompactDisplay() {
  return state_.compactDisplay() ? showAllMaterials() : showUsedMaterialsOnly();
}

DoubleClick FormulaDisplay::formulaGridDoubleClicked(int column) {
  const QString field = fieldAt(Grid::Formula, column);
  if (field == QLatin1String("NAME")) {
    frame_.showMaterialLibrary();
    materialLibraryShown();
    return DoubleClick::ShowMaterialLibrary;
  }
  const int mark = mandatoryMark(field);
  if (mark == 0) return DoubleClick::Nothing;
  return markMandatory(mark) ? DoubleClick::Marked : DoubleClick::Nothing;
}

bool FormulaDisplay::markMandatory(int mark) {
  if (!tables_.require({WorkTable::Formula})) return false;
  Table& formula = tables_.table(WorkTable::Formula);
  if (formula.isEmpty()) return false;
  const QString col = QStringLiteral("BXL%1").arg(mark);
  store::SuspendedDisplay quiet(formula);
  // A hidden row (compact display) loses its mark as well: one mark per column.
  const bool cleared = tables_.forEachKeepingPlace(
      formula,
      [&] {
        if (formula.text(col).isEmpty()) return true;
        return tables_.update(formula, [&] { return tables_.setText(formula, col, QString()); });
      },
      {.reported = true, .wholeTable = true});
  return cleared && tables_.update(formula, [&] { return tables_.setText(formula, col, kMandatoryMark); });
}

DoubleClick FormulaDisplay::targetGridDoubleClicked(int column) {
  if (fieldAt(Grid::Target, column) != QLatin1String("NAME")) return DoubleClick::Nothing;
  frame_.showTargetLibrary();
  return DoubleClick::ShowTargetLibrary;
}

void FormulaDisplay::materialLibraryShown() {
  state_.setResultVisible(false);
  state_.setPropertyVisible(false);
}

}  // namespace tessaro::app
