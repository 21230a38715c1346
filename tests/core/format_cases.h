// Values to hold the fixed-decimal format against its reference: random
// doubles over every magnitude and the places where rounding decides, each
// with the decimals and width to format it at. The same starting number gives
// the same cases, so that a mismatch can be found again.
#pragma once

#include <cstdint>
#include <random>

namespace tessaro::core::reference {

struct FixedCase {
  double value = 0;
  int decimals = 2;
  int width = 8;
};

class FixedCases {
 public:
  explicit FixedCases(std::uint64_t start) : rng_(start) {}
  FixedCase next();

 private:
  double anyBits();
  double anyMagnitude();
  double decimalHalf();
  double fifteenDigitHalf();
  double binaryTie();
  double known();
  double extreme();
  double nearby(double v);  // v moved by a few units in the last place

  std::mt19937_64 rng_;
  std::uint64_t count_ = 0;
};

}  // namespace tessaro::core::reference
