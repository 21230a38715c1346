// The body and glaze property commands ("坯性能", "釉性能"): the result
// records read in BH order with the other oxides' names and weights, every
// value checked before the property table is touched, then the table
// rewritten row by row from the layout the arithmetic gives.
#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "app/framestate.h"
#include "app/gridcaptions.h"
#include "app/screenstate.h"
#include "app/worktables.h"
#include "core/properties.h"

namespace tessaro::app {

class PropertyCommands {
 public:
  PropertyCommands(WorkingTables& tables, GridCaptions& captions, ScreenState& state, FrameState& frame)
      : tables_(tables), captions_(captions), state_(state), frame_(frame) {}

  // The body or glaze properties of the result records, written to the
  // property table. A refusal leaves tables, panel and flags as they were.
  // True when the table was written.
  bool computeProperties(core::FormulaKind kind);
  // XN / YXN: one result record worked out as a body / glaze without
  // writing anything: `side` "0" for the first record in BH order, "1" for
  // the second.
  std::optional<core::SideProperties> workOutSide(core::FormulaKind kind, const QString& side);
  // ERO: the group sums of side "0" or "1" as the property table holds them
  // (RO, R2O3, RO2); no values when the table has no group-sum row.
  std::array<std::optional<double>, 3> ERO(const QString& side);
  // PanDuanQT: every other oxide present in the result record the cursor is
  // on, and named like an oxide, has a weight in the settings file.
  bool PanDuanQT();

 private:
  // What a property calculation works on: the result records in BH order (one
  // or two) and the three other oxides.
  struct Inputs {
    std::vector<core::ResultFormula> formulas;
    core::OtherOxides others;
  };
  std::optional<Inputs> readInputs();
  bool readResultRecord(Inputs& in);
  bool readOtherOxides(Inputs& in);
  // Every field must exist and take its value, so that writing cannot stop halfway.
  bool checkFields(const core::PropertyOutcome& outcome);
  bool checkField(const core::PropertyField& f, const QString& propertyName);
  bool writeRows(const core::PropertyOutcome& outcome);

  WorkingTables& tables_;
  GridCaptions& captions_;
  ScreenState& state_;
  FrameState& frame_;
};

}  // namespace tessaro::app
