// The hints of grids 1 and 2 that follow the pointer: text and cursor from
// the pointer's horizontal position in the grid. The row indicator with its
// grid line is 12 pixels wide; the zones follow the design order of the
// columns and ignore horizontal scrolling. A position exactly on a zone
// boundary gets the grid's own hint.
#pragma once

#include <QString>

namespace tessaro::app {

enum class PointerCursor { Default, Hand, Drag };

struct PointerHint {
  QString hint;
  PointerCursor cursor = PointerCursor::Default;
  bool operator==(const PointerHint&) const = default;
};

// Grid 1 (formula table) with the widths of its columns 0 (name), 1 (NUM1) and 3 (BXL1).
PointerHint formulaGridHint(int x, int nameWidth, int proportionWidth, int markWidth);

// Grid 2 (target table) with the widths of its columns 0 (name) and 1 (BXL1).
PointerHint targetGridHint(int x, int nameWidth, int amountWidth);

}  // namespace tessaro::app
