#include "report/sheetwriter.h"

#include <QByteArray>
#include <QList>

#include <algorithm>

#include "core/format.h"

namespace tessaro::report {

namespace {

// A column as wide as the default of a spreadsheet; Excel's largest width.
constexpr double kDefaultColumnWidth = 8.43;
constexpr double kMaxColumnWidth = 255;
// Room at the sides of a cell's text, in width units.
constexpr double kCellPadding = 2;
constexpr double kTitlePoints = 14;

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

}  // namespace

std::optional<PrintedNumber> printedNumber(const QString& text) {
  const QString t = text.trimmed();
  const auto value = core::parseNumber(t.toStdString());
  if (!value) return std::nullopt;
  const qsizetype exponent = t.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive);
  const QString mantissa = exponent < 0 ? t : t.left(exponent);
  const qsizetype point = mantissa.indexOf(QLatin1Char('.'));
  const qsizetype decimals = point < 0 ? 0 : mantissa.size() - point - 1;
  QString format = QStringLiteral("0");
  if (decimals > 0) format += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
  if (exponent >= 0) format += QStringLiteral("E+00");
  return PrintedNumber{*value, format};
}

double textWidth(const QString& text) {
  double width = 0;
  for (const uint c : text.toUcs4()) width += isWide(char32_t(c)) ? 2 : 1;
  return width;
}

lxw_format* WorkbookFormats::get(unsigned look, const QString& numberFormat) {
  lxw_format*& f = formats_[{look, numberFormat}];
  if (f) return f;
  f = workbook_add_format(book_);
  if (!f) return nullptr;
  if (look & (kBold | kTitle)) format_set_bold(f);
  if (look & kTitle) format_set_font_size(f, kTitlePoints);
  if (look & kBoxed) format_set_border(f, LXW_BORDER_THIN);
  if (look & kCentred) format_set_align(f, LXW_ALIGN_CENTER);
  if (look & kRight) format_set_align(f, LXW_ALIGN_RIGHT);
  format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
  if (!numberFormat.isEmpty()) format_set_num_format(f, utf8(numberFormat).constData());
  return f;
}

void SheetWriter::note(lxw_error e) {
  if (error_ == LXW_NO_ERROR) error_ = e;
}

double SheetWriter::cellWidth(const QString& shown, unsigned look) {
  const double factor = (look & kTitle) ? kTitlePoints / 11 * 1.1 : (look & kBold) ? 1.1 : 1.0;
  return textWidth(shown) * factor + kCellPadding;
}

void SheetWriter::widen(int col, double width) {
  double& w = widths_.try_emplace(col, 0.0).first->second;
  w = std::max(w, width);
}

void SheetWriter::text(int row, int col, const QString& text, unsigned look) {
  if (text.isEmpty()) {
    if (look & kBoxed) note(worksheet_write_blank(sheet_, lxw_row_t(row), lxw_col_t(col), formats_.get(look)));
    return;
  }
  note(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(col), utf8(text).constData(), formats_.get(look)));
  widen(col, cellWidth(text, look));
}

void SheetWriter::figure(int row, int col, const QString& printed, unsigned look) {
  const auto number = printedNumber(printed);
  if (!number) {
    text(row, col, printed.trimmed(), look);
    return;
  }
  note(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(col), number->value, formats_.get(look, number->format)));
  widen(col, cellWidth(printed.trimmed(), look));
}

void SheetWriter::merged(int row, int first, int last, const QString& text, unsigned look) {
  if (first == last) {
    this->text(row, first, text, look);
    return;
  }
  note(worksheet_merge_range(sheet_, lxw_row_t(row), lxw_col_t(first), lxw_row_t(row), lxw_col_t(last),
                             utf8(text).constData(), formats_.get(look)));
  merges_.push_back({first, last, cellWidth(text, look)});
}

void SheetWriter::spill(int row, int col, const QString& text, unsigned look) {
  note(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(col), utf8(text).constData(), formats_.get(look)));
  if (look & kTitle) note(worksheet_set_row(sheet_, lxw_row_t(row), kTitlePoints * 1.6, nullptr));
}

void SheetWriter::fitColumns() {
  const auto widthOf = [this](int col) {
    const auto it = widths_.find(col);
    return it == widths_.end() ? kDefaultColumnWidth : it->second;
  };
  for (const Merge& m : merges_) {
    double together = 0;
    for (int c = m.first; c <= m.last; ++c) together += widthOf(c);
    if (together < m.width) widths_[m.last] = widthOf(m.last) + m.width - together;
  }
  for (const auto& [col, width] : widths_) {
    note(worksheet_set_column(sheet_, lxw_col_t(col), lxw_col_t(col), std::min(width, kMaxColumnWidth), nullptr));
  }
}

}  // namespace tessaro::report
