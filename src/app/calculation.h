// The calculation run ("配方计算"): the proportion solver on tables 1 and 2
// for both formulas, the error evaluation of the result records, and the
// verdict with its retries (K/Na toggled and the run repeated, four runs at
// the most).
#pragma once

#include <optional>

#include "app/formuladisplay.h"
#include "app/framestate.h"
#include "app/gridcaptions.h"
#include "app/knatoggle.h"
#include "app/screenstate.h"
#include "app/worktables.h"

namespace tessaro::app {

// What the last calculation command decided: passed, failed after the
// retries, or no verdict (refused or stopped).
enum class Verdict { None, Passed, Failed };

class Calculation {
 public:
  Calculation(WorkingTables& tables, GridCaptions& captions, FormulaDisplay& display, KNaToggle& kna,
              ScreenState& state, FrameState& frame)
      : tables_(tables), captions_(captions), display_(display), kna_(kna), state_(state), frame_(frame) {}

  // The calculation command. False when it stopped on a failure.
  bool calculate();
  // B: the proportion solver for formula 1 (-1) or 2 (0) on the tables,
  // writing NUM1 or NUM2 and the result record the cursor is on.
  bool B(int argument);
  // MinWuCha: the error evaluation of the result records; the smaller
  // average error rate, or no value when it stopped on a failure.
  std::optional<double> MinWuCha();
  // PanDuan: the verdict on the smaller average error rate, with its retries.
  bool PanDuan();
  // Whether the allowed error rate as typed is a number; a warning when not.
  bool checkAllowed();

  Verdict lastVerdict() const { return verdict_; }
  int retryCounter() const { return retries_; }
  // Deepest nesting of calculation runs reached by the last calculation command.
  int deepestRun() const { return deepestRun_; }

 private:
  bool run();
  bool prepareRun();
  // The inputs of the solver, read from tables 1 and 2 and checked.
  struct SolverInputs;
  bool readMaterials(SolverInputs& in);
  bool readTarget(SolverInputs& in);
  bool refused(const core::SolverRefusal& r);
  bool storeEmptyOthersAsZero(const SolverInputs& in);
  bool writeProportions(const QString& numField, const core::FormulaResult& f);
  bool evaluate(int number, const core::Contents& goal, double allowed, std::optional<double>& smallest);
  void verdictMessage(bool passed, double rate);

  WorkingTables& tables_;
  GridCaptions& captions_;
  FormulaDisplay& display_;
  KNaToggle& kna_;
  ScreenState& state_;
  FrameState& frame_;
  int retries_ = 0;
  int runDepth_ = 0;
  int deepestRun_ = 0;
  Verdict verdict_ = Verdict::None;
};

}  // namespace tessaro::app
