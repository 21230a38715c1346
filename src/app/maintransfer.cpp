#include "app/maintransfer.h"

#include "app/framestate.h"
#include "app/mainscreen.h"

namespace tessaro::app {

MainScreenTransfer::MainScreenTransfer(MainScreen& main, FrameState& frame, std::function<void()> bringForward)
    : main_(main), frame_(frame), bringForward_(std::move(bringForward)) {}

store::Table* MainScreenTransfer::formulaTable() {
  return main_.isOpen(WorkTable::Formula) ? &main_.table(WorkTable::Formula) : nullptr;
}

store::Table* MainScreenTransfer::targetTable() {
  return main_.isOpen(WorkTable::Target) ? &main_.table(WorkTable::Target) : nullptr;
}

QString MainScreenTransfer::formulaOtherCaption(int k) const { return main_.formulaOtherCaption(k); }

void MainScreenTransfer::setOtherTitleRed(Grid grid, int k, bool red) {
  if (k >= 1 && k <= 3) red_[grid == Grid::Formula ? 0 : 1][std::size_t(k - 1)] = red;
}

bool MainScreenTransfer::otherTitleRed(Grid grid, int k) const {
  return k >= 1 && k <= 3 && red_[grid == Grid::Formula ? 0 : 1][std::size_t(k - 1)];
}

void MainScreenTransfer::recordTransferred() { frame_.recordTransferred(); }

void MainScreenTransfer::bringMainScreenForward() {
  if (bringForward_) bringForward_();
}

void MainScreenTransfer::showMainScreen() {
  frame_.showMainScreen();
  if (bringForward_) bringForward_();
}

void MainScreenTransfer::compactDisplayOff() { main_.showAllMaterials(); }

void MainScreenTransfer::hideResultGrid() { main_.hideResultGrid(); }

}  // namespace tessaro::app
