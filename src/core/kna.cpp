#include "core/kna.h"

namespace tessaro::core {

std::optional<SplitKNa> splitKNa(double libraryK2O, double libraryNa2O, double hj, double il) {
  const double w = hj - il;
  if (w == 0) return std::nullopt;
  return SplitKNa{storedValue(libraryK2O / w * 100, 2), storedValue(libraryNa2O / w * 100, 2)};
}

}  // namespace tessaro::core
