// The verification ("验算组成"): the composition, price and error rate of
// formula 1 or 2 as its proportions stand in table 1, written as the only
// result record.
#pragma once

#include <optional>
#include <vector>

#include "app/calculation.h"
#include "app/framestate.h"
#include "app/screenstate.h"
#include "app/worktables.h"
#include "core/verification.h"

namespace tessaro::app {

class FormulaVerification {
 public:
  FormulaVerification(WorkingTables& tables, Calculation& calculation, ScreenState& state, FrameState& frame)
      : tables_(tables), calculation_(calculation), state_(state), frame_(frame) {}

  bool verify();

 private:
  // The formula number asked for until it is 1 or 2; no value when cancelled.
  std::optional<int> askFormulaNumber();
  bool readMaterials(const QString& numField, std::vector<core::VerifiedMaterial>& materials);
  bool emptyProportionsToZero();
  bool writeResult(int k, const core::VerifiedFormula& v);

  WorkingTables& tables_;
  Calculation& calculation_;
  ScreenState& state_;
  FrameState& frame_;
};

}  // namespace tessaro::app
