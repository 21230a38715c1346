// The limit of raw materials in a formula (table 1, the command line's
// solve) and the messages that refuse going past it.
#pragma once

#include <QString>

#include "core/solver.h"

namespace tessaro::app {

// At most this many raw materials take part in a formula.
using core::kMaxMaterials;

// One more raw material chosen in the material library, with `inTable` in table 1.
QString singleLimitText(int inTable);
// `selected` raw materials chosen at once, with `inTable` in table 1.
QString batchLimitText(int inTable, int selected);
// The calculation over a table 1 that holds `inTable` raw materials.
QString calculationLimitText(int inTable);

}  // namespace tessaro::app
