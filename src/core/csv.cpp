#include "core/csv.h"

namespace tessaro::core {

namespace {

std::string rowError(std::size_t row, std::string_view what) {
  return "第 " + std::to_string(row) + " 行：" + std::string(what);
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Steps over the line end at `i` (CRLF counts as one).
std::size_t skipLineEnd(std::string_view text, std::size_t i) {
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') return i + 2;
  return i + 1;
}

// Reads the quoted cell that starts at `i` (on its opening quote) into
// `cell`; the position after the closing quote, or no value when it is
// never closed.
std::optional<std::size_t> quotedCell(std::string_view text, std::size_t i, std::string& cell) {
  ++i;
  while (i < text.size()) {
    const std::size_t quote = text.find('"', i);
    if (quote == std::string_view::npos) return std::nullopt;
    cell.append(text.substr(i, quote - i));
    if (quote + 1 < text.size() && text[quote + 1] == '"') {
      cell.push_back('"');
      i = quote + 2;
      continue;
    }
    return quote + 1;
  }
  return std::nullopt;
}

}  // namespace

CsvReading readCsv(std::string_view text) {
  CsvReading r;
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  std::vector<std::string> row;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t rowNumber = r.rows.size() + 1;
    std::string cell;
    if (text[i] == '"') {
      const auto after = quotedCell(text, i, cell);
      if (!after) {
        r.error = rowError(rowNumber, "引号没有结束：以引号开始的单元格须以引号结束");
        r.rows.clear();
        return r;
      }
      i = *after;
      if (i < text.size() && text[i] != ',' && !isLineEnd(text[i])) {
        r.error = rowError(rowNumber, "结束引号后面只能是逗号或换行");
        r.rows.clear();
        return r;
      }
    } else {
      std::size_t end = i;
      while (end < text.size() && text[end] != ',' && !isLineEnd(text[end])) ++end;
      cell.assign(text.substr(i, end - i));
      if (cell.find('"') != std::string::npos) {
        r.error = rowError(rowNumber, "单元格中间有引号：含引号的单元格须整个放在引号里，其中的引号写两遍");
        r.rows.clear();
        return r;
      }
      i = end;
    }
    row.push_back(std::move(cell));
    if (i < text.size() && text[i] == ',') {
      ++i;
      // A comma at the very end still ends an (empty) cell.
      if (i == text.size()) row.emplace_back();
      continue;
    }
    if (i < text.size()) i = skipLineEnd(text, i);
    r.rows.push_back(std::move(row));
    row.clear();
  }
  if (!row.empty()) r.rows.push_back(std::move(row));
  return r;
}

std::optional<std::size_t> firstNonUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;  // no overlong form
      if (c == 0xED) high = 0x9F;  // no surrogate
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
      return i;
    }
    if (i + length > n || s[i + 1] < low || s[i + 1] > high) return i;
    for (std::size_t k = 2; k < length; ++k) {
      if (s[i + k] < 0x80 || s[i + k] > 0xBF) return i;
    }
    i += length;
  }
  return std::nullopt;
}

void appendCsvRow(std::string& out, const std::vector<std::string>& cells) {
  bool first = true;
  for (const std::string& cell : cells) {
    if (!first) out.push_back(',');
    first = false;
    // A cell that starts with the byte-order mark is quoted, so that at the
    // start of a file it is not taken for the mark.
    if (cell.find_first_of(",\"\r\n") == std::string::npos && cell.compare(0, kUtf8Bom.size(), kUtf8Bom) != 0) {
      out.append(cell);
      continue;
    }
    out.push_back('"');
    for (const char c : cell) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  out.append("\r\n");
}

}  // namespace tessaro::core
