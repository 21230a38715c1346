// K/Na merge and split ("K/Na合并", "K/Na拆分"): K2O and Na2O of table 1 and
// table 2 summed into the K2O column, or worked out again from the libraries'
// analyses of the records of the same name.
#pragma once

#include <QStringList>

#include <utility>
#include <vector>

#include "app/formuladisplay.h"
#include "app/gridcaptions.h"
#include "app/screenstate.h"
#include "app/worktables.h"
#include "core/kna.h"

namespace tessaro::app {

class KNaToggle {
 public:
  KNaToggle(WorkingTables& tables, GridCaptions& captions, FormulaDisplay& display, ScreenState& state)
      : tables_(tables), captions_(captions), display_(display), state_(state) {}

  // Merges when split, splits when merged.
  bool toggleKNa();

 private:
  // A record's split values, planned before anything is written.
  struct Planned {
    store::Table::Bookmark where;
    core::SplitKNa values;
  };
  struct SplitPlan {
    std::vector<Planned> formula, target;
    QStringList keptMerged;  // records that keep their merged values, and why
  };
  // Where a record of `t` is looked up, and how messages name it.
  struct Lookup {
    store::Table& library;
    const QString& libraryName;
    QString what, libraryWhat;
  };

  bool merge();
  bool split();
  // K2O and Na2O of the current record of `t`, empty values as 0.
  std::optional<std::pair<double, double>> readPair(store::Table& t, const QString& relativeName);
  // Looks the current record of `t` up by NAME; false stops the command.
  bool plan(store::Table& t, const Lookup& lookup, std::vector<Planned>& out, QStringList& keptMerged);
  bool planSplit(SplitPlan& plan);
  bool applySplit(store::Table& t, const Planned& p);

  WorkingTables& tables_;
  GridCaptions& captions_;
  FormulaDisplay& display_;
  ScreenState& state_;
};

}  // namespace tessaro::app
