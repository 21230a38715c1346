// Cells written into one worksheet of an .xlsx workbook (libxlsxwriter):
// texts as UTF-8 strings, printed figures as the numbers they show with a
// number format of as many decimals, and the columns' widths so that no
// text is cut.
#pragma once

#include <xlsxwriter.h>

#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace tessaro::report {

// How a cell looks; the flags combine.
enum CellLook : unsigned {
  kPlain = 0,
  kBold = 1,
  kBoxed = 2,     // thin lines all round
  kCentred = 4,
  kTitle = 8,     // 14 pt bold
  kRight = 16,    // right-aligned
};

// The number a printed figure shows and the number format that shows it
// with the same decimals ("0", "0.00", "0.0E+00"); none when the text is
// not a number (a cell printed as the file holds it).
struct PrintedNumber {
  double value = 0;
  QString format;
};
std::optional<PrintedNumber> printedNumber(const QString& text);

// The width of `text` in the units of a column's width: a wide (CJK)
// character counts 2, any other 1.
double textWidth(const QString& text);

// The formats of one workbook, made once for each look and number format.
class WorkbookFormats {
 public:
  explicit WorkbookFormats(lxw_workbook* book) : book_(book) {}
  lxw_format* get(unsigned look, const QString& numberFormat = QString());

 private:
  lxw_workbook* book_;
  std::map<std::pair<unsigned, QString>, lxw_format*> formats_;
};

class SheetWriter {
 public:
  SheetWriter(lxw_worksheet* sheet, WorkbookFormats& formats) : sheet_(sheet), formats_(formats) {}

  // A text; an empty one leaves a blank cell (boxed when the look says so).
  void text(int row, int col, const QString& text, unsigned look = kPlain);
  // A printed figure: the number it shows, or the text as it is when it is
  // not a number; an empty one leaves a blank cell.
  void figure(int row, int col, const QString& printed, unsigned look = kPlain);
  // A text over the cells first ... last of a row, merged into one.
  void merged(int row, int first, int last, const QString& text, unsigned look);
  // A text that runs on over the empty cells to its right: it does not
  // widen its column.
  void spill(int row, int col, const QString& text, unsigned look);

  // Sets every column as wide as its widest cell, and widens the last
  // column of a merged range whose text does not fit the columns together.
  void fitColumns();

  // The first error of a write; LXW_NO_ERROR when every write succeeded.
  lxw_error error() const { return error_; }

 private:
  void note(lxw_error e);
  void widen(int col, double width);
  static double cellWidth(const QString& shown, unsigned look);

  lxw_worksheet* sheet_;
  WorkbookFormats& formats_;
  std::map<int, double> widths_;
  struct Merge {
    int first, last;
    double width;
  };
  std::vector<Merge> merges_;
  lxw_error error_ = LXW_NO_ERROR;
};

}  // namespace tessaro::report
