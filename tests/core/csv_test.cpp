#include "core/csv.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows rows(std::string_view text) {
  const CsvReading r = readCsv(text);
  EXPECT_TRUE(r.ok()) << r.error;
  return r.rows;
}

std::string error(std::string_view text) {
  const CsvReading r = readCsv(text);
  EXPECT_TRUE(r.rows.empty());
  return r.error;
}

}  // namespace

TEST(CsvReader, ReadsWhatSpreadsheetsWrite) {
  EXPECT_EQ(rows(""), Rows{});
  EXPECT_EQ(rows("\xEF\xBB\xBF" "a,b\r\n1,2\r\n"), (Rows{{"a", "b"}, {"1", "2"}}));  // the mark is no part of a cell
  EXPECT_EQ(rows("a,b\n1,2"), (Rows{{"a", "b"}, {"1", "2"}}));                      // LF, no line end at the end
  EXPECT_EQ(rows("a\rb\r\n"), (Rows{{"a"}, {"b"}}));                                  // a lone CR ends a row too
  EXPECT_EQ(rows("\"x,y\",\"say \"\"hi\"\"\",\"\"\r\n"), (Rows{{"x,y", "say \"hi\"", ""}}));
  EXPECT_EQ(rows("\"two\r\nlines\",\"a\nb\"\r\nnext"), (Rows{{"two\r\nlines", "a\nb"}, {"next"}}));
  EXPECT_EQ(rows("a,\r\n\r\n,b,"), (Rows{{"a", ""}, {""}, {"", "b", ""}}));  // empty cells and an empty row
  EXPECT_EQ(rows(" 1 ,中文"), (Rows{{" 1 ", "中文"}}));                         // blanks are kept
}

TEST(CsvReader, RefusesBrokenQuotingNamingTheRow) {
  EXPECT_EQ(error("a\n\"open\nstill open"), "第 2 行：引号没有结束：以引号开始的单元格须以引号结束");
  EXPECT_EQ(error("a\nb\n\"x\"y"), "第 3 行：结束引号后面只能是逗号或换行");
  EXPECT_EQ(error("5\" pipe,b"), "第 1 行：单元格中间有引号：含引号的单元格须整个放在引号里，其中的引号写两遍");
  // Rows are counted as a spreadsheet shows them: a line break in a cell starts no row.
  EXPECT_EQ(error("\"a\nb\nc\",x\n\"z"), "第 2 行：引号没有结束：以引号开始的单元格须以引号结束");
}

TEST(CsvWriter, QuotesOnlyWhatNeedsItAndReadsBack) {
  std::string out;
  const std::vector<std::string> cells{"plain", "a,b", "say \"hi\"", "two\nlines", "", "中文"};
  appendCsvRow(out, cells);
  EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",,中文\r\n");
  EXPECT_EQ(rows(out), Rows{cells});
  // A first cell that starts with the byte-order mark is no mark: quoted, it reads back whole.
  out.clear();
  appendCsvRow(out, {"\xEF\xBB\xBF" "x", "y"});
  EXPECT_EQ(out, "\"\xEF\xBB\xBF" "x\",y\r\n");
  EXPECT_EQ(rows(out), (Rows{{"\xEF\xBB\xBF" "x", "y"}}));
}

TEST(Utf8, FindsTheFirstByteThatIsNoCharacter) {
  EXPECT_EQ(firstNonUtf8("abc 中文 \xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(firstNonUtf8("ab\xD6\xD0"), 2u);       // GBK "中"
  EXPECT_EQ(firstNonUtf8("\xC0\xAF"), 0u);         // overlong "/"
  EXPECT_EQ(firstNonUtf8("x\xED\xA0\x80"), 1u);    // a surrogate
  EXPECT_EQ(firstNonUtf8("\xF4\x90\x80\x80"), 0u); // past U+10FFFF
  EXPECT_EQ(firstNonUtf8("ok\xE4\xB8"), 2u);       // cut short
}
