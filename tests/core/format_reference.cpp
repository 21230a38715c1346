#include "core/format_reference.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessaro::core::reference {
namespace {

// Decimal digits of |value| with 15 significant digits: digits "d1d2...d15"
// and the decimal exponent e such that value = 0.d1d2... x 10^(e+1).
struct Decimal {
  bool negative = false;
  std::string digits;  // 15 digits, first non-zero unless the value is 0
  int exponent = 0;    // exponent of the first digit
};

Decimal toDecimal(double value) {
  Decimal d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  const char* p = buf;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  }
  if (*p == 'e') d.exponent = std::atoi(p + 1);
  return d;
}

}  // namespace

std::string formatFixed(double value, int decimals, int width) {
  if (std::isnan(value)) return std::string(width > 3 ? width - 3 : 0, ' ') + "NAN";
  if (std::isinf(value)) {
    std::string s = value < 0 ? "-INF" : "INF";
    return std::string(width > int(s.size()) ? width - s.size() : 0, ' ') + s;
  }
  if (decimals < 0) decimals = 0;
  const Decimal d = toDecimal(value);

  // Digits of the integer and fraction parts, exactly as the 15 significant
  // digits give them, then rounded at `decimals` half away from zero.
  std::string intPart;
  std::string fracPart;
  for (int i = 0; i < int(d.digits.size()); ++i) {
    const int pos = d.exponent - i;  // power of ten of this digit
    if (pos >= 0) {
      intPart.push_back(d.digits[i]);
    } else {
      // Leading zeros between the point and this digit.
      while (int(fracPart.size()) < -pos - 1) fracPart.push_back('0');
      fracPart.push_back(d.digits[i]);
    }
  }
  while (d.exponent >= int(d.digits.size()) && int(intPart.size()) < d.exponent + 1) intPart.push_back('0');
  if (intPart.empty()) intPart.push_back('0');

  const bool roundUp = int(fracPart.size()) > decimals && fracPart[decimals] >= '5';
  fracPart.resize(decimals, '0');
  std::string all = intPart + fracPart;
  if (roundUp) {
    int i = int(all.size()) - 1;
    while (i >= 0 && all[i] == '9') all[i--] = '0';
    if (i >= 0) {
      ++all[i];
    } else {
      all.insert(all.begin(), '1');
    }
  }
  std::string text = all.substr(0, all.size() - decimals);
  if (decimals > 0) {
    text.push_back('.');
    text.append(all, all.size() - decimals, std::string::npos);
  }
  // Drop leading zeros of the integer part but keep one.
  std::size_t nz = 0;
  while (nz + 1 < text.size() && text[nz] == '0' && text[nz + 1] != '.') ++nz;
  text.erase(0, nz);

  const bool zero = text.find_first_not_of("0.") == std::string::npos;
  if (d.negative && !zero) text.insert(text.begin(), '-');
  if (int(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

double roundFixed(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  return std::strtod(formatFixed(value, decimals, 0).c_str(), nullptr);
}

std::string formatGeneral(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string s = buf;
  // Exponent written as "E-6" / "E+20" without leading zeros.
  const auto e = s.find('e');
  if (e != std::string::npos) {
    std::string mantissa = s.substr(0, e);
    char sign = s[e + 1];
    std::string exp = s.substr(e + 2);
    exp.erase(0, exp.find_first_not_of('0'));
    if (exp.empty()) exp.push_back('0');
    s = mantissa;
    s.push_back('E');
    s.push_back(sign == '-' ? '-' : '+');
    s.append(exp);
  }
  return s;
}

}  // namespace tessaro::core::reference
