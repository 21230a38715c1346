// The former implementation of the fixed-decimal format, kept word for word
// as the reference that the fast one must match for every double.
#pragma once

#include <string>

namespace tessaro::core::reference {

// formatFixed as it was first written: the 15 significant digits of "%.14e"
// laid out as strings, then rounded half away from zero at `decimals`.
std::string formatFixed(double value, int decimals, int width = 8);

// roundFixed as it was first written: the number the text above shows.
double roundFixed(double value, int decimals);

}  // namespace tessaro::core::reference
