// K2O and Na2O held as one column: the arithmetic of merging and splitting.
#pragma once

#include <optional>

#include "core/solver.h"

namespace tessaro::core {

// The merged K2O content: K2O + Na2O by weight (Na2O becomes 0).
inline double mergedK2O(double k2o, double na2o) { return k2o + na2o; }

// K2O and Na2O restored from a library analysis, on the ignition-free basis
// and stored with two decimals.
struct SplitKNa {
  StoredValue k2o;
  StoredValue na2o;
};

// The split values of an analysis with total `hj` and loss on ignition `il`;
// no value when the analysis has no ignition-free part (HJ = IL).
std::optional<SplitKNa> splitKNa(double libraryK2O, double libraryNa2O, double hj, double il);

}  // namespace tessaro::core
