#include "format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tessaro::core {
namespace {

// ---------------------------------------------------------------------------
// The common case in integers: decimals 0 to 4 and |value| below 1e15. The
// 15 significant digits come from the exact binary value, rounded half to
// even as printf rounds them; the figure is then held as a whole number of
// units of its last decimal.

constexpr int kFastDecimals = 4;
constexpr double kFastLimit = 1e15;

constexpr std::uint64_t kPow10[20] = {1ULL,
                                      10ULL,
                                      100ULL,
                                      1000ULL,
                                      10000ULL,
                                      100000ULL,
                                      1000000ULL,
                                      10000000ULL,
                                      100000000ULL,
                                      1000000000ULL,
                                      10000000000ULL,
                                      100000000000ULL,
                                      1000000000000ULL,
                                      10000000000000ULL,
                                      100000000000000ULL,
                                      1000000000000000ULL,
                                      10000000000000000ULL,
                                      100000000000000000ULL,
                                      1000000000000000000ULL,
                                      10000000000000000000ULL};
constexpr double kPow10Double[kFastDecimals + 1] = {1, 10, 100, 1000, 10000};

// Below 4 units of the first dropped decimal a value shows as zero whatever
// its 15 digits are: they cannot reach the half.
constexpr double kShowsZeroBelow[kFastDecimals + 1] = {0.4, 0.04, 0.004, 0.0004, 0.00004};

// 10^-5 .. 10^15, index i for 10^(i-5).
constexpr double kPowersOfTen[21] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4, 1e5,
                                     1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// digits / 10^K rounded half up, the divisor a constant.
template <int K>
std::uint64_t dropDigits(std::uint64_t digits) {
  constexpr std::uint64_t unit = kPow10[K];
  return digits / unit + (digits % unit >= unit / 2 ? 1 : 0);
}

// digits / 10^dropped rounded half up, 1 <= dropped <= 15.
std::uint64_t dropDigits(std::uint64_t digits, int dropped) {
  using Drop = std::uint64_t (*)(std::uint64_t);
  static constexpr Drop kDrop[16] = {nullptr,          dropDigits<1>,  dropDigits<2>,  dropDigits<3>,
                                     dropDigits<4>,    dropDigits<5>,  dropDigits<6>,  dropDigits<7>,
                                     dropDigits<8>,    dropDigits<9>,  dropDigits<10>, dropDigits<11>,
                                     dropDigits<12>,   dropDigits<13>, dropDigits<14>, dropDigits<15>};
  return kDrop[dropped](digits);
}

// A figure at `decimals` decimals: |figure| = units / 10^decimals.
struct Units {
  bool negative = false;
  std::uint64_t units = 0;
};

// The 15 significant digits of v, 1e-5 <= v < 1e15: v is digits x 10^(exponent-14)
// with digits in [1e14, 1e15). False when v lies outside that range.
bool significantDigits(double v, std::uint64_t& digits, int& exponent) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = int(bits >> 52);
  const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  const int shift = 1075 - biased;  // v = mantissa / 2^shift
  // floor(log10 v): floor(log2 v) x log10(2) is it or one less; the powers
  // below 1 are inexact as doubles, so the integers below have the last word.
  int e = ((biased - 1023) * 1233) >> 12;  // -5..14 for 4e-5 <= v < 1e15
  if (e < -5 || e > 14) return false;
  e += v >= kPowersOfTen[e + 6] ? 1 : 0;
  for (int tries = 0; tries < 3; ++tries) {
    const int scale = 14 - e;
    if (scale < 0 || scale > 19 || shift < 1 || shift > 120) return false;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPow10[scale];
    const unsigned __int128 whole = scaled >> shift;
    if (whole < kPow10[14]) {
      --e;
      continue;
    }
    if (whole >= kPow10[15]) {
      ++e;
      continue;
    }
    const unsigned __int128 rest = scaled - (whole << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    digits = std::uint64_t(whole);
    if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
    exponent = e;
    if (digits == kPow10[15]) {  // 9.99...95 rounds up to the next power of ten
      digits = kPow10[14];
      ++exponent;
    }
    return true;
  }
  return false;
}

// The figure straight from v x 10^decimals when that product lies clearly
// between two halves. Taking v to 15 significant digits moves the exact
// product by at most 5e-15 of itself, and the one rounding of the
// multiplication by 1.2e-16, so a product farther than 1e-14 of itself from
// the nearest half rounds to the same whole number either way. False when it
// is that close, or too large for a whole number of the double.
bool unitsClearOfHalf(double v, int decimals, std::uint64_t& units) {
  const double scaled = v * kPow10Double[decimals];
  if (!(scaled < 0x1p52)) return false;
  const auto whole = std::int64_t(scaled);
  const double fraction = scaled - double(whole);  // exact
  if (std::fabs(fraction - 0.5) <= scaled * 1e-14) return false;
  units = std::uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
  return true;
}

// The figure of a finite value at 0..kFastDecimals decimals; false when the
// value is too large for the integer path.
bool fastUnits(double value, int decimals, Units& out) {
  out.negative = std::signbit(value);
  const double v = std::fabs(value);
  if (v < kShowsZeroBelow[decimals]) {
    out.units = 0;
    return true;
  }
  if (v >= kFastLimit) return false;
  if (unitsClearOfHalf(v, decimals, out.units)) return true;
  std::uint64_t digits = 0;
  int exponent = 0;
  if (!significantDigits(v, digits, exponent)) return false;
  const int dropped = 14 - exponent - decimals;  // digits below the last decimal, at most 15
  out.units = dropped <= 0 ? digits * kPow10[-dropped] : dropDigits(digits, dropped);
  return true;
}

// Writes the figure ("-12.34", "0.05", "3") so that it ends just before
// `end`; returns its first character. The digits are written two at a time,
// then the decimals move one place right to make room for the point.
char* writeUnits(const Units& u, int decimals, char* end) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char* const last = decimals > 0 ? end - 1 : end;  // end of the digits
  char* p = last;
  std::uint64_t n = u.units;
  while (n >= 10) {
    p -= 2;
    std::memcpy(p, kPairs + 2 * (n % 100), 2);
    n /= 100;
  }
  if (n > 0 || p == last) *--p = char('0' + n);
  while (last - p < decimals + 1) *--p = '0';
  if (decimals > 0) {
    for (char* d = end - 1; d >= end - decimals; --d) *d = d[-1];
    end[-decimals - 1] = '.';
  }
  if (u.negative && u.units != 0) *--p = '-';
  return p;
}

// `text` becomes the figure from `first` to `end` with leading blanks up to
// `width`, written into the room before `first` when there is enough.
void setPadded(std::string& text, char* first, char* end, char* room, int width) {
  const std::size_t length = std::size_t(end - first);
  const std::size_t pad = width > int(length) ? std::size_t(width) - length : 0;
  if (pad <= std::size_t(first - room)) {
    std::memset(first - pad, ' ', pad);
    text.assign(first - pad, end);
  } else {
    text.assign(pad, ' ');
    text.append(first, end);
  }
}

// ---------------------------------------------------------------------------
// Every other finite value, through the digits printf gives.

void generalFixed(std::string& out, double value, int decimals, int width) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", value);  // [-]d.ddddddddddddddde[+-]x
  const bool negative = buf[0] == '-';
  const char* p = buf + (negative ? 1 : 0);
  char digits[15];
  digits[0] = p[0];
  std::memcpy(digits + 1, p + 2, 14);
  const int exponent = std::atoi(p + 17);
  // The digit at the power of ten `pos`: one of the 15, or a zero around them.
  auto digitAt = [&](int pos) {
    const int i = exponent - pos;
    return i >= 0 && i < 15 ? digits[i] : '0';
  };

  const int top = std::max(exponent, 0);
  std::string all(1, '0');  // room for a carry
  for (int pos = top; pos >= -decimals; --pos) all.push_back(digitAt(pos));
  if (digitAt(-decimals - 1) >= '5') {
    std::size_t i = all.size() - 1;
    while (all[i] == '9') all[i--] = '0';
    ++all[i];
  }
  const bool zero = all.find_first_not_of('0') == std::string::npos;
  std::size_t lead = 0;  // leading zeros of the integer part, one kept
  while (lead + 1 < all.size() - decimals && all[lead] == '0') ++lead;
  std::string text = negative && !zero ? "-" : "";
  text.append(all, lead, all.size() - decimals - lead);
  if (decimals > 0) {
    text.push_back('.');
    text.append(all, all.size() - decimals, std::string::npos);
  }
  setPadded(out, text.data(), text.data() + text.size(), text.data(), width);
}

void nonFinite(std::string& out, double value, int width) {
  std::string text = std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF";
  setPadded(out, text.data(), text.data() + text.size(), text.data(), width);
}

// The number a fast figure shows, as strtod reads its text back.
double shownNumber(const Units& u, int decimals, const char* text) {
  if (u.units > (1ULL << 53)) return std::strtod(text, nullptr);
  // Both operands are exact in a double, so the one rounding of the division
  // is the rounding of the decimal text.
  const double shown = double(u.units) / kPow10Double[decimals];
  return u.negative && u.units != 0 ? -shown : shown;
}

}  // namespace

double formatFixedInto(std::string& text, double value, int decimals, int width) {
  if (!std::isfinite(value)) {
    nonFinite(text, value, width);
    return value;
  }
  if (decimals < 0) decimals = 0;
  Units u;
  if (decimals <= kFastDecimals && fastUnits(value, decimals, u)) {
    char buf[64];
    char* const end = buf + sizeof buf - 1;
    *end = '\0';
    char* const first = writeUnits(u, decimals, end);
    const double shown = shownNumber(u, decimals, first);
    setPadded(text, first, end, buf, width);
    return shown;
  }
  generalFixed(text, value, decimals, width);
  return std::strtod(text.c_str(), nullptr);
}

std::string formatFixed(double value, int decimals, int width) {
  std::string text;
  formatFixedInto(text, value, decimals, width);
  return text;
}

double roundFixed(double value, int decimals) {
  // The common case first, without the text: a figure clear of a half.
  if (decimals >= 0 && decimals <= kFastDecimals) {
    const double v = std::fabs(value);
    std::uint64_t units = 0;
    if (v < kShowsZeroBelow[decimals]) return 0;
    if (v < kFastLimit && unitsClearOfHalf(v, decimals, units)) {
      const double shown = double(units) / kPow10Double[decimals];
      return std::signbit(value) && units != 0 ? -shown : shown;
    }
  }
  if (!std::isfinite(value)) return value;
  if (decimals < 0) decimals = 0;
  Units u;
  if (decimals <= kFastDecimals && fastUnits(value, decimals, u)) {
    char buf[32];
    char* const end = buf + sizeof buf - 1;
    *end = '\0';
    // The text is only needed when the figure is too long for a double.
    return shownNumber(u, decimals, u.units > (1ULL << 53) ? writeUnits(u, decimals, end) : end);
  }
  std::string text;
  generalFixed(text, value, decimals, 0);
  return std::strtod(text.c_str(), nullptr);
}

std::string formatGeneral(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // As "%.15g" writes it in the C locale, whatever the program's locale.
  char buf[64];
  const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string s(buf, written.ptr);
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

std::optional<double> parseNumber(std::string_view text) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;

  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      ++i;
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const std::string copy(text);
  const double v = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatDate(const Date& date) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d年%02d月%02d日", date.year, date.month, date.day);
  return buf;
}

std::string formatIsoDate(const Date& date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buf;
}

}  // namespace tessaro::core
