// What table 1 shows and marks: the compact display (only the raw materials
// a formula uses) and the mandatory marks set by a double click, with the
// rows the view highlights for them; the double clicks on the name columns
// that bring the library windows forward.
#pragma once

#include <QString>

#include "app/framestate.h"
#include "app/screenstate.h"
#include "app/worktables.h"

namespace tessaro::app {

// How a row of table 1 is drawn: highlighted when one of its mark cells reads
// exactly "选"; the target grid then goes to the amount column of the first.
struct RowHighlight {
  bool highlighted = false;
  int amountColumn = 0;  // 1..3: BXL1..BXL3 of the target; 0: none
};
RowHighlight rowHighlight(const QString& bxl1, const QString& bxl2, const QString& bxl3);

// What a double click in grid 1 or grid 2 did.
enum class DoubleClick { Nothing, Marked, ShowMaterialLibrary, ShowTargetLibrary };

class FormulaDisplay {
 public:
  FormulaDisplay(WorkingTables& tables, ScreenState& state, FrameState& frame)
      : tables_(tables), state_(state), frame_(frame) {}

  // Compact display on: only the raw materials with a proportion, in-use flag "1".
  bool showUsedMaterialsOnly();
  // Compact display off: every raw material in file order, in-use flags back to "0".
  bool showAllMaterials();
  bool toggleCompactDisplay();

  // Double click in grid 1 / grid 2 on a column (grid position).
  DoubleClick formulaGridDoubleClicked(int column);
  DoubleClick targetGridDoubleClicked(int column);
  // The frame showed the material library window: tables 3 and 4 hide.
  void materialLibraryShown();

 private:
  // Marks the current raw material as mandatory in BXL1..BXL3 (`mark` 1..3),
  // clearing the mark of every other one in that column.
  bool markMandatory(int mark);

  WorkingTables& tables_;
  ScreenState& state_;
  FrameState& frame_;
};

}  // namespace tessaro::app
