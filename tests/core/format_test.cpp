#include "core/format.h"
#include "core/solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/format_cases.h"
#include "core/format_reference.h"

using namespace tessaro::core;

TEST(FormatFixed, RoundsHalfAwayFromZeroInDecimal) {
  // Values whose binary form lies just below the half: printf alone would
  // round them down.
  EXPECT_EQ(formatFixed(1.005, 2), "    1.01");
  EXPECT_EQ(formatFixed(2.675, 2), "    2.68");
  EXPECT_EQ(formatFixed(1.015, 2), "    1.02");
  EXPECT_EQ(formatFixed(-0.125, 2), "   -0.13");
  EXPECT_EQ(formatFixed(0.5, 0), "       1");
  EXPECT_EQ(formatFixed(-0.5, 0), "      -1");
  EXPECT_EQ(formatFixed(2.5, 0), "       3");
  EXPECT_EQ(formatFixed(0.05, 1), "     0.1");
  EXPECT_EQ(formatFixed(0.45, 1), "     0.5");
  EXPECT_EQ(formatFixed(1.0049999, 2), "    1.00");
}

TEST(FormatFixed, CarriesThroughNines) {
  EXPECT_EQ(formatFixed(9.995, 2), "   10.00");
  EXPECT_EQ(formatFixed(99.95, 1), "   100.0");
  EXPECT_EQ(formatFixed(999.5, 0), "    1000");
  EXPECT_EQ(formatFixed(-9.995, 2), "  -10.00");
}

TEST(FormatFixed, FifteenSignificantDigitsDecideTheHalf) {
  // 0.1 + 0.2 is 0.30000000000000004: at 15 significant digits it is 0.3.
  EXPECT_EQ(formatFixed(0.1 + 0.2, 2), "    0.30");
  // A sum that should be 33.335 but lands a little below it in binary.
  EXPECT_EQ(formatFixed(33.335, 2), "   33.34");
  EXPECT_EQ(formatFixed(100.0 / 3.0, 2), "   33.33");
  EXPECT_EQ(formatFixed(200.0 / 3.0, 2), "   66.67");
}

TEST(FormatFixed, WidthAndZero) {
  EXPECT_EQ(formatFixed(0, 2), "    0.00");
  EXPECT_EQ(formatFixed(0, 0), "       0");
  EXPECT_EQ(formatFixed(-0.001, 2), "    0.00");  // no "-0.00"
  EXPECT_EQ(formatFixed(-0.0, 1), "     0.0");
  EXPECT_EQ(formatFixed(0.004, 2), "    0.00");
  EXPECT_EQ(formatFixed(123456.789, 2), "123456.79");  // wider than 8: not cut
  EXPECT_EQ(formatFixed(1e20, 0), "100000000000000000000");
  EXPECT_EQ(formatFixed(0.000123, 2), "    0.00");
  EXPECT_EQ(formatFixed(0.0051, 2), "    0.01");
  EXPECT_EQ(formatFixed(12.3, 1, 0), "12.3");
  EXPECT_EQ(format2(100), "  100.00");
}

TEST(FormatFixed, RoundFixedReadsBackTheText) {
  EXPECT_DOUBLE_EQ(roundFixed(1.005, 2), 1.01);
  EXPECT_DOUBLE_EQ(roundFixed(-0.125, 2), -0.13);
  EXPECT_DOUBLE_EQ(roundFixed(66.6666, 2), 66.67);
  EXPECT_DOUBLE_EQ(roundFixed(12.25, 1), 12.3);
  EXPECT_DOUBLE_EQ(roundFixed(12.5, 0), 13);
  EXPECT_EQ(roundFixed(-0.001, 2), 0);
}

// The fast format against the former one (the text, the number it shows and
// roundFixed) on random doubles of every magnitude and the values where
// rounding decides; and a stored value, which keeps only the number shown,
// gives back the same text.
TEST(FormatFixed, MatchesTheReferenceOnAMillionValues) {
  reference::FixedCases cases(20260101);
  int mismatches = 0;
  for (int i = 0; i < 1000000; ++i) {
    const reference::FixedCase c = cases.next();
    std::string text;
    const double shown = formatFixedInto(text, c.value, c.decimals, c.width);
    const std::string expected = reference::formatFixed(c.value, c.decimals, c.width);
    const double expectedShown = std::isfinite(c.value) ? std::strtod(expected.c_str(), nullptr) : c.value;
    auto same = [&](double v) {
      return std::memcmp(&v, &expectedShown, sizeof v) == 0 || (std::isnan(v) && std::isnan(expectedShown));
    };
    if (text == expected && same(shown) && same(roundFixed(c.value, c.decimals)) &&
        storedValue(c.value, c.decimals).text(c.width) == text)
      continue;
    if (++mismatches <= 10) {
      ADD_FAILURE() << "case " << i << ": formatFixed(" << std::hexfloat << c.value << std::defaultfloat << ", "
                    << c.decimals << ", " << c.width << ") gives \"" << text << "\" showing " << shown
                    << ", the reference \"" << expected << "\" showing " << expectedShown;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(FormatGeneral, ShortestUpToFifteenDigits) {
  EXPECT_EQ(formatGeneral(0), "0");
  EXPECT_EQ(formatGeneral(-0.0), "0");
  EXPECT_EQ(formatGeneral(12.5), "12.5");
  EXPECT_EQ(formatGeneral(66.67), "66.67");
  EXPECT_EQ(formatGeneral(100), "100");
  EXPECT_EQ(formatGeneral(-3.25), "-3.25");
  EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(formatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(formatGeneral(1e-6), "1E-6");
}

// The same values as the fixed format's comparison: every kind of double,
// halves and ties at every decimal, the largest and smallest.
TEST(FormatGeneral, MatchesTheReferenceOnAMillionValues) {
  reference::FixedCases cases(20261209);
  int mismatches = 0;
  for (int i = 0; i < 1000000; ++i) {
    const double value = cases.next().value;
    const std::string text = formatGeneral(value);
    const std::string expected = reference::formatGeneral(value);
    if (text != expected && ++mismatches <= 10) {
      ADD_FAILURE() << "formatGeneral(" << std::hexfloat << value << ") gives \"" << text << "\", the reference \""
                    << expected << "\"";
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(ParseNumber, AcceptsWhatTheFormatsWrite) {
  EXPECT_EQ(parseNumber("   66.67"), 66.67);
  EXPECT_EQ(parseNumber("  -0.13"), -0.13);
  EXPECT_EQ(parseNumber("20"), 20.0);
  EXPECT_EQ(parseNumber(" 20 "), 20.0);
  EXPECT_EQ(parseNumber("+1.5"), 1.5);
  EXPECT_EQ(parseNumber(".5"), 0.5);
  EXPECT_EQ(parseNumber("5."), 5.0);
  EXPECT_EQ(parseNumber("1E3"), 1000.0);
}

TEST(ParseNumber, RefusesWhatIsNotANumber) {
  EXPECT_FALSE(parseNumber(""));
  EXPECT_FALSE(parseNumber("   "));
  EXPECT_FALSE(parseNumber("abc"));
  EXPECT_FALSE(parseNumber("12abc"));
  EXPECT_FALSE(parseNumber("1.2.3"));
  EXPECT_FALSE(parseNumber("-"));
  EXPECT_FALSE(parseNumber("."));
  EXPECT_FALSE(parseNumber("1e"));
  EXPECT_FALSE(parseNumber("***"));
  EXPECT_FALSE(parseNumber("1 2"));
  EXPECT_FALSE(parseNumber("1e999"));
  EXPECT_FALSE(parseNumber("nan"));
}

TEST(FormatDate, YearMonthDayWithChineseMarks) {
  EXPECT_EQ(formatDate({2026, 12, 9}), "2026年12月09日");
  EXPECT_EQ(formatDate({1999, 1, 1}), "1999年01月01日");
}
