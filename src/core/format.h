// Number and date formats shared by every layer.
//
// Computed values are stored by writing them with a fixed format ("%8.2f" and
// friends) and reading the text back, so the rounding done here is the
// rounding of every stored figure.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro::core {

// Fixed-decimal text of `value` with `decimals` decimals (0, 1 or 2) padded
// with leading blanks to `width`, as "%8.2f" would print it, except that the
// value is first taken to 15 significant digits and then rounded half away
// from zero in decimal: 1.005 -> "    1.01", 2.675 -> "    2.68",
// -0.125 -> "   -0.13". A result that rounds to zero carries no minus sign.
std::string formatFixed(double value, int decimals, int width = 8);

// formatFixed and roundFixed of one value from a single conversion: the text
// replaces what `text` held, and the number it shows is returned.
double formatFixedInto(std::string& text, double value, int decimals, int width = 8);

// The number that formatFixed(value, decimals) shows.
double roundFixed(double value, int decimals);

// "%8.2f" as used for compositions, totals, prices and error rates.
inline std::string format2(double value) { return formatFixed(value, 2); }

// The general format of the reports: up to 15 significant digits, no
// trailing zeros, no exponent unless the value needs one; 0 prints as "0".
std::string formatGeneral(double value);

// Reads a decimal number as the table engine and the calculation commands
// accept it: blanks around it are ignored, a sign, digits with at most one
// decimal point and an optional exponent. Anything else has no value.
std::optional<double> parseNumber(std::string_view text);

// A calendar date.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  bool operator==(const Date&) const = default;
};

// The program-wide date format: four-digit year, "年", two-digit month, "月",
// two-digit day, "日" (UTF-8).
std::string formatDate(const Date& date);

// A date as year-month-day, "2026-12-09": what spreadsheets and JSON read as a date.
std::string formatIsoDate(const Date& date);

}  // namespace tessaro::core
