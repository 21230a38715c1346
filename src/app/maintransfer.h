// The main screen as the receiver of the library windows' transfers.
#pragma once

#include <array>
#include <functional>

#include "app/transfersink.h"

namespace tessaro::app {

class FrameState;
class MainScreen;

class MainScreenTransfer : public TransferSink {
 public:
  // `bringForward` shows the main screen's window and brings it to the
  // front; the windows supply it (nothing happens without windows).
  MainScreenTransfer(MainScreen& main, FrameState& frame, std::function<void()> bringForward = {});

  store::Table* formulaTable() override;
  store::Table* targetTable() override;
  QString formulaOtherCaption(int k) const override;
  void setOtherTitleRed(Grid grid, int k, bool red) override;
  void recordTransferred() override;
  void bringMainScreenForward() override;
  void showMainScreen() override;
  void compactDisplayOff() override;
  void hideResultGrid() override;

  // Whether the title of other-oxide column k (1..3) of `grid` is drawn red.
  bool otherTitleRed(Grid grid, int k) const;

 private:
  MainScreen& main_;
  FrameState& frame_;
  std::function<void()> bringForward_;
  std::array<std::array<bool, 3>, 2> red_{};
};

}  // namespace tessaro::app
