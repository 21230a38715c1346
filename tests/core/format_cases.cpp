#include "core/format_cases.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tessaro::core::reference {

FixedCase FixedCases::next() {
  FixedCase c;
  switch (count_++ % 8) {
    case 0: c.value = anyBits(); break;
    case 1:
    case 2: c.value = anyMagnitude(); break;
    case 3:
    case 4: c.value = decimalHalf(); break;
    case 5: c.value = fifteenDigitHalf(); break;
    case 6: c.value = binaryTie(); break;
    default: c.value = rng_() % 4 == 0 ? extreme() : known(); break;
  }
  if (rng_() & 1) c.value = -c.value;
  // Mostly the decimals the program uses, now and then others.
  static constexpr int kOtherDecimals[] = {-1, 5, 6, 8, 12, 17, 20};
  const std::uint64_t d = rng_() % 40;
  c.decimals = d < 35 ? int(d % 5) : kOtherDecimals[rng_() % 7];
  static constexpr int kWidths[] = {0, 8, 8, 0, 3, 12};
  c.width = kWidths[rng_() % 6];
  return c;
}

// Any 64-bit pattern: NaNs, infinities, denormals and every exponent.
double FixedCases::anyBits() {
  const std::uint64_t bits = rng_();
  double v = 0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// A random mantissa at a power of ten from 1e-9 to 1e22.
double FixedCases::anyMagnitude() {
  const double mantissa = 1 + 9 * double(rng_() >> 11) / double(1ULL << 53);
  return mantissa * std::pow(10.0, int(rng_() % 32) - 9);
}

// The double nearest to k + 1/2 units of a decimal place (0 to 6), where k
// has 0 to 15 digits, moved by a few units in the last place.
double FixedCases::decimalHalf() {
  const int digits = int(rng_() % 16);
  std::uint64_t k = 0;
  for (int i = 0; i < digits; ++i) k = 10 * k + rng_() % 10;
  const int place = int(rng_() % 7);
  char text[48];
  std::snprintf(text, sizeof text, "%llu5e-%d", static_cast<unsigned long long>(k), place + 1);
  return nearby(std::strtod(text, nullptr));
}

// The double nearest to the half between two neighbours at 15 significant
// digits, at a power of ten from 1e-7 to 1e20.
double FixedCases::fifteenDigitHalf() {
  const std::uint64_t m = 100000000000000ULL + rng_() % 900000000000000ULL;
  char text[48];
  std::snprintf(text, sizeof text, "%llu5e%d", static_cast<unsigned long long>(m), int(rng_() % 28) - 22);
  return nearby(std::strtod(text, nullptr));
}

// A double whose exact value lies half-way between two 15-digit figures:
// an odd number of halves, quarters, eighths ... with 15 + s digits.
double FixedCases::binaryTie() {
  const int s = int(rng_() % 13);
  const double low = std::pow(10.0, 14 - s);
  const std::uint64_t odd = (rng_() % std::uint64_t(9 * low * std::ldexp(1.0, s + 1))) | 1;
  return low + std::ldexp(double(odd), -(s + 1));
}

// Values named by the rules of the format and the sums that meet them.
double FixedCases::known() {
  static constexpr double kKnown[] = {
      0.1 + 0.2, 1.005, 2.675, 0.125, 1.015, 33.335, 9.995, 99.95, 999.5, 999999.995, 0.5, 1.5, 2.5,
      0.05, 0.45, 0.005, 0.0005, 0.00005, 0.004, 0.0049999999999999, 0.00999999999999999, 0.995,
      100.0 / 3.0, 200.0 / 3.0, 1.0049999, 12.25, 66.6666, 123456.789, 0.000123, 0.0051, 100, 1, 0};
  constexpr std::size_t kCount = sizeof kKnown / sizeof kKnown[0];
  return nearby(kKnown[rng_() % kCount]);
}

// Huge, tiny, denormal and special values and the edges between them.
double FixedCases::extreme() {
  constexpr double inf = std::numeric_limits<double>::infinity();
  static const double kExtreme[] = {
      1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22, 999999999999999.5, 9007199254740993.0,
      1e-300, 1e-5, 4e-5, 1e-4, DBL_MIN, DBL_TRUE_MIN, DBL_MAX, inf, std::numeric_limits<double>::quiet_NaN(), 0,
      1e308, 1e-320, 123456789012345678.0, 0.4, 0.04, 0.004, 0.0004, 0.00004};
  constexpr std::size_t kCount = sizeof kExtreme / sizeof kExtreme[0];
  const std::size_t i = rng_() % (kCount + 1);
  if (i == kCount) return std::ldexp(double(rng_() >> 12), -1074);  // a random denormal
  return std::isfinite(kExtreme[i]) ? nearby(kExtreme[i]) : kExtreme[i];
}

double FixedCases::nearby(double v) {
  const int steps = int(rng_() % 7) - 3;
  for (int i = 0; i < steps; ++i) v = std::nextafter(v, std::numeric_limits<double>::infinity());
  for (int i = 0; i > steps; --i) v = std::nextafter(v, -std::numeric_limits<double>::infinity());
  return v;
}

}  // namespace tessaro::core::reference
