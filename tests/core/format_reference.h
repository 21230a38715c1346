// The former implementations of the fixed-decimal and the general format,
// kept word for word as the references that the fast ones must match for
// every double.
#pragma once

#include <string>

namespace tessaro::core::reference {

// formatFixed as it was first written: the 15 significant digits of "%.14e"
// laid out as strings, then rounded half away from zero at `decimals`.
std::string formatFixed(double value, int decimals, int width = 8);

// roundFixed as it was first written: the number the text above shows.
double roundFixed(double value, int decimals);

// formatGeneral as it was first written: "%.15g", its exponent as "E-6".
std::string formatGeneral(double value);

}  // namespace tessaro::core::reference
