// The dBASE field codec below the table engine: numbers and dates read from
// a field's bytes.
#include <gtest/gtest.h>

#include <QDate>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/format.h"
#include "store/dbf.h"
#include "store/parallel.h"

using namespace tessaro;
using namespace tessaro::store;

namespace {

// Whether a numeric field holding `text` reads as core::parseNumber reads
// the field's text with blanks trimmed, to the last bit and the sign of zero.
testing::AssertionResult readsAsParseNumber(const std::string& text) {
  const auto read = dbf::parseNumberField(text);
  const std::string_view t = dbf::trimmed(text);
  std::optional<std::optional<double>> expected;
  if (t.empty()) {
    expected = std::optional<double>();
  } else if (const auto v = core::parseNumber(t)) {
    expected = std::optional<double>(*v);
  }
  const bool same = read.has_value() == expected.has_value() &&
                    (!read || (read->has_value() == expected->has_value() &&
                               (!*read || std::memcmp(&**read, &**expected, sizeof(double)) == 0)));
  if (same) return testing::AssertionSuccess();
  auto shown = [](const std::optional<std::optional<double>>& v) {
    return !v ? std::string("not a number") : !*v ? std::string("empty") : core::formatGeneral(**v);
  };
  return testing::AssertionFailure() << "\"" << text << "\" reads " << shown(read) << ", core::parseNumber "
                                     << shown(expected);
}

}  // namespace

TEST(DbfNumbers, ReadAsTheTrimmedTextParsesInEveryForm) {
  const char* forms[] = {"", "    ", "5", "  12.34", "    68.460", "+5", "-5", ".5", "5.", "+.5", "-.5", "-0",
                         "-0.0", "+0", "007", "1e5", "1E-3", "1.5e+2", "5.e3", ".5e1", "1e", "1e+", "e5", ".",
                         "+", "-", "+-5", "-+5", "--5", "1.2.3", "12a.5", "**********", "*", "1e400", "-1e400",
                         "1e-400", "1e-310", "2.2250738585072011e-308", "inf", "-inf", "nan", "0x10", "1,5",
                         "\t5", "5\t", "\t", "\r\n7\n", "1 2", "- 5", "99999999999999999999",
                         "123456789012345.678", "0.1", "0.30000000000000004", "9007199254740993",
                         "179769313486231570000000000000000000000000000000000000000000000000000000000000000000"
                         "00000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                         "00000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                         "000000000000000000000000000000000000000000000000000000000000000000000000000"};
  for (const char* form : forms) {
    EXPECT_TRUE(readsAsParseNumber(form));
    // Blanks and zero bytes around it, as fields hold them.
    EXPECT_TRUE(readsAsParseNumber(std::string("   ") + form + "  "));
    EXPECT_TRUE(readsAsParseNumber(std::string("\0 ", 2) + form + std::string(" \0", 2)));
  }
  // Random decimal texts of the characters a number is written with.
  std::mt19937 random(2024);
  const std::string alphabet = "0123456789012345678901234567890123456789..+-eE ";
  for (int round = 0; round < 200000; ++round) {
    std::string text;
    const int length = 1 + int(random() % 14);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    ASSERT_TRUE(readsAsParseNumber(text));
  }
}

// The numbers a scan keeps are those a field reads; a number with tabs or
// line breaks around it reads, but is no number as a field holds it.
TEST(DbfNumbers, ScanKeepsEveryNumberAndReportsWhatIsNoNumber) {
  dbf::Scan scan;
  scan.layout.fields = {dbf::Field{QStringLiteral("A"), 'N', 10, 2, 1}, dbf::Field{QStringLiteral("T"), 'C', 4, 0, 11},
                        dbf::Field{QStringLiteral("B"), 'N', 6, 0, 15}};
  scan.layout.recordLength = 21;
  const std::string records = std::string(" ") + "     12.50" + "abcd" + "    -3" +  //
                              std::string(" ") + "          " + "    " + "  1e-2" +  //
                              std::string(" ") + "\t      7.5" + "    " + "  **  ";
  scan.records = 3;
  ASSERT_EQ(dbf::numericFieldCount(scan.layout), 2);
  double numbers[6] = {};
  dbf::scanContents(scan, records.data(), numbers);
  EXPECT_EQ(numbers[0], 12.5);
  EXPECT_EQ(numbers[1], -3.0);
  EXPECT_TRUE(std::isnan(numbers[2]));  // empty
  EXPECT_EQ(numbers[3], 0.01);
  EXPECT_EQ(numbers[4], 7.5);
  EXPECT_TRUE(std::isnan(numbers[5]));  // no number
  ASSERT_EQ(scan.problems.size(), 1);
  EXPECT_TRUE(scan.problems[0].startsWith(QStringLiteral("2 个数值字段里不是数字（第一处：第 3 条记录的 A 为"))) << scan.problems[0].toStdString();
  double one[2] = {};
  dbf::readNumbers(scan.layout, records.data() + 21, one);
  EXPECT_TRUE(std::isnan(one[0]));
  EXPECT_EQ(one[1], 0.01);
}

// A table of megabytes is read in parts at once: what it holds is told as
// if it were read in one, the first of each kind in record order.
TEST(DbfNumbers, ScanOfALargeTableTellsWhatItHoldsInRecordOrder) {
  dbf::Scan scan;
  scan.layout.fields = {dbf::Field{QStringLiteral("A"), 'N', 10, 2, 1}, dbf::Field{QStringLiteral("T"), 'C', 4, 0, 11},
                        dbf::Field{QStringLiteral("D"), 'D', 8, 0, 15}};
  scan.layout.recordLength = 23;
  scan.records = 200000;  // 4.6 MB
  std::string records;
  for (std::uint32_t r = 0; r < scan.records; ++r) {
    char number[16];
    std::snprintf(number, sizeof number, "%10.2f", r / 100.0);
    records += std::string(r % 1000 == 7 ? "*" : " ") + number + "abcd" + "20240229";
  }
  auto put = [&](std::uint32_t record, int offset, const std::string& bytes) {
    records.replace(std::size_t(record) * 23 + std::size_t(offset), bytes.size(), bytes);
  };
  put(40000, 1, "      1e 2");
  put(150000, 1, "      x.50");
  put(199999, 1, "        ??");
  put(30, 15, "20230229");
  put(160000, 15, "2024-1-1");
  put(170000, 11, "\x81\x20  ");
  std::vector<double> numbers(scan.records);
  dbf::scanContents(scan, records.data(), numbers.data());
  EXPECT_EQ(scan.deleted, 200u);
  EXPECT_EQ(numbers[0], 0.0);
  EXPECT_TRUE(std::isnan(numbers[40000]));
  EXPECT_EQ(numbers[149999], 1499.99);
  EXPECT_TRUE(std::isnan(numbers[150000]));
  EXPECT_EQ(numbers[150001], 1500.01);
  EXPECT_EQ(numbers[199998], 1999.98);
  ASSERT_EQ(scan.problems.size(), 3);
  EXPECT_EQ(scan.problems[0], QStringLiteral("3 个数值字段里不是数字（第一处：第 40001 条记录的 A 为“1e 2”）"));
  EXPECT_EQ(scan.problems[1], QStringLiteral("2 个日期字段里不是日期（第一处：第 31 条记录的 D 为“20230229”）"));
  EXPECT_EQ(scan.problems[2], QStringLiteral("1 个文字字段里有不是 GBK 的字节（第一处：第 170001 条记录的 T）"));
}

// Every part runs, also when one throws; what it threw comes back to the caller.
TEST(Parallel, EveryPartRunsAndAnExceptionReachesTheCaller) {
  std::atomic<int> ran{0};
  EXPECT_THROW(store::inParallel(4,
                                 [&](unsigned k) {
                                   ++ran;
                                   if (k >= 2) throw std::runtime_error(std::to_string(k));
                                 }),
               std::runtime_error);
  EXPECT_EQ(ran, 4);
  try {
    store::inParallel(3, [](unsigned k) {
      if (k > 0) throw std::runtime_error(std::to_string(k));
    });
    ADD_FAILURE() << "nothing thrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "1");
  }
}

TEST(DbfDates, ValidAsTheGregorianCalendarHasThem) {
  for (const int year : {0, 1, 4, 100, 400, 1600, 1700, 1900, 2000, 2023, 2024, 9999, 10000}) {
    for (int month = 0; month <= 13; ++month) {
      for (int day = -1; day <= 32; ++day) {
        const bool expected = year >= 1 && year <= 9999 && QDate(year, month, day).isValid();
        EXPECT_EQ(dbf::isValidDate(core::Date{year, month, day}), expected) << year << "-" << month << "-" << day;
      }
    }
  }
}

// A D field's eight bytes read as the year, month and day they spell, for
// every year (each month and day from 00 to 39 in some years, the ends of
// months and of the year in all); a field that spells no
// date, or holds anything but eight digits, is no date; blanks and zeros are
// an empty date.
TEST(DbfDates, ReadFromTheDigitsOfTheField) {
  char field[9];
  auto isDay = [](int year, int month, int day) {
    return year % 250 == 0 || year % 1000 == 24 || ((month <= 2 || month >= 12) && (day <= 1 || day >= 28));
  };
  for (int year = 0; year <= 9999; ++year) {
    for (int month = 0; month <= 13; ++month) {
      for (int day = 0; day <= 39; ++day) {
        if (!isDay(year, month, day)) continue;
        std::snprintf(field, sizeof field, "%04d%02d%02d", year, month, day);
        const auto read = dbf::parseDate(std::string_view(field, 8));
        if (year == 0 && month == 0 && day == 0) {
          ASSERT_TRUE(read && !*read);
        } else if (year >= 1 && QDate(year, month, day).isValid()) {
          ASSERT_TRUE(read && *read) << field;
          ASSERT_EQ((**read).year * 10000 + (**read).month * 100 + (**read).day, year * 10000 + month * 100 + day);
        } else {
          ASSERT_FALSE(read) << field;
        }
      }
    }
  }
  // Each byte of a sound date replaced by one that is not a digit: the
  // neighbours of '0' and '9', the letters whose low half is a digit's, and
  // bytes with the high bit set.
  for (int at = 0; at < 8; ++at) {
    for (const int byte : {0x2F, 0x3A, 0x3F, 0x20, 0x00, 0x2D, 0x40, 0x50, 0x70, 0xB0, 0xB5, 0xF9, 0xFF}) {
      std::string text = "20240229";
      text[std::size_t(at)] = char(byte);
      const auto read = dbf::parseDate(text);
      if (byte == 0x20 || byte == 0x00) {
        if (at == 0 || at == 7) continue;  // a blank at either end is trimmed; seven bytes are no date
      }
      EXPECT_FALSE(read) << at << " " << byte;
    }
  }
  for (const std::string& empty : {std::string("        "), std::string("00000000"), std::string(), std::string(8, '\0')}) {
    const auto read = dbf::parseDate(empty);
    EXPECT_TRUE(read && !*read) << empty;
  }
  const auto blanked = dbf::parseDate(" 20240229 ");
  ASSERT_TRUE(blanked && *blanked);
  EXPECT_EQ((**blanked).day, 29);
}
