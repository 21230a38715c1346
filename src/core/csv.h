// Comma-separated values (RFC 4180) as spreadsheets write and read them:
// a reader of UTF-8 text into rows of cells, and a writer of one row.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro::core {

// The byte-order mark that tells spreadsheets a CSV file is UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The rows of a CSV text, each a list of cells; or why the text is no CSV.
struct CsvReading {
  std::vector<std::vector<std::string>> rows;
  // Empty when the text was read; otherwise one sentence in Chinese that
  // names the row (counted as a spreadsheet counts them, from 1).
  std::string error;
  bool ok() const { return error.empty(); }
};

// Reads CSV text: cells separated by commas, rows ended by CRLF, LF or CR;
// a cell in double quotes may hold commas, line breaks and doubled quotes.
// A leading byte-order mark is skipped; a line end after the last row adds
// no row; an empty line is a row of one empty cell. Refused: a quote inside
// a cell that does not start with one, anything but a comma or a line end
// after a closing quote, and a quote that is never closed.
CsvReading readCsv(std::string_view text);

// Where `text` stops being UTF-8: the offset of the first byte that does not
// belong to a well-formed character (overlong forms, surrogates and code
// points past U+10FFFF included); no value when it is all UTF-8.
std::optional<std::size_t> firstNonUtf8(std::string_view text);

// Appends one row to `out`: the cells separated by commas, a cell that holds
// a comma, a quote or a line break, or starts with the byte-order mark,
// quoted with its quotes doubled, and CRLF.
void appendCsvRow(std::string& out, const std::vector<std::string>& cells);

}  // namespace tessaro::core
