// What a library window needs of the main screen to transfer records into it.
#pragma once

#include <QString>

namespace tessaro::store {
class Table;
}

namespace tessaro::app {

class TransferSink {
 public:
  // The two grids of the main screen whose other-oxide titles a transfer marks.
  enum class Grid { Formula, Target };

  virtual ~TransferSink() = default;

  // The cursors of table 1 (formula table) and table 2 (target table);
  // nullptr while the table is not open.
  virtual store::Table* formulaTable() = 0;
  virtual store::Table* targetTable() = 0;

  // Caption of other-oxide column k (1..3) of the grid of table 1.
  virtual QString formulaOtherCaption(int k) const = 0;
  // Draws the title of other-oxide column k (1..3) of `grid` in red, or back
  // in the ordinary window-text colour.
  virtual void setOtherTitleRed(Grid grid, int k, bool red) = 0;

  // A record reached table 1 or 2: "主界面" pressed, "原料库" and "目标库"
  // released, "配方计算", "验算组成" and "清空主界面数据" enabled.
  virtual void recordTransferred() = 0;
  // Brings the main screen to the front.
  virtual void bringMainScreenForward() = 0;
  // Shows the main screen as the frame's "主界面" command does: the main
  // screen's commands enabled, its window button pressed, its window in front.
  virtual void showMainScreen() = 0;
  // Switches the compact display off, so that table 1 shows all its records.
  virtual void compactDisplayOff() = 0;
  // Hides the grid of table 3.
  virtual void hideResultGrid() = 0;
};

}  // namespace tessaro::app
