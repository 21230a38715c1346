// Keeping the data folder: clearing the main screen's tables ("清空主界面
// 数据") and packing the six tables ("整理数据库"), after which the program ends.
#pragma once

#include <functional>

#include "app/formuladisplay.h"
#include "app/worktables.h"

namespace tessaro::app {

class Maintenance {
 public:
  Maintenance(WorkingTables& tables, FormulaDisplay& display) : tables_(tables), display_(display) {}

  // Empties the four working tables at once (the menu item).
  bool clearMainData();
  // Asks first, then empties them (the tool button).
  bool confirmAndClearMainData();
  // Packs the six tables after asking; ends the program unless cancelled.
  void pack();

  // The pack command ends the program: set when it has run, and the quit
  // handler is called.
  bool quitRequested() const { return quitRequested_; }
  // Whether the last pack command packed all six tables.
  bool packSucceeded() const { return packSucceeded_; }
  void setQuitHandler(std::function<void()> handler) { onQuit_ = std::move(handler); }

 private:
  bool packOne(store::Table& t, const QString& relativeName);
  bool packAll();

  WorkingTables& tables_;
  FormulaDisplay& display_;
  bool quitRequested_ = false;
  bool packSucceeded_ = false;
  std::function<void()> onQuit_;
};

}  // namespace tessaro::app
