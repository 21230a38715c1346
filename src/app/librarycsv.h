// The two library tables as CSV files for spreadsheets (LibreOffice, Excel):
// export, and an import in which every cell is checked before anything is
// written, and then all records are written at once or none.
//
// The file: UTF-8 with a byte-order mark, CRLF line ends. Row 1 names the
// columns, each "caption [FIELD]" ("SiO2 [SIO2]", "[BZ]" without a
// caption); the captions are the library grid's, the field names the
// table's. Then one row per record in BH order, category rows among them
// where their BH puts them. Numbers are written as the table stores them
// ("45.730"), dates as year-month-day ("2026-12-09"), empty fields as
// empty cells.
//
// An import finds the columns by their field names (a cell that holds only
// a field name counts too), in any order; every field of the table must
// have its column. Dates may also be written 2026/12/9, 2026.12.9,
// 20261209 or 2026年12月09日. The records are written in BH order.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "app/library.h"
#include "app/prompter.h"
#include "store/table.h"

namespace tessaro::app {

// Whether the records of a file are added to the library or replace it.
enum class ImportMode { Add, Replace };

// A column of a library's CSV file.
struct CsvColumn {
  QString field;
  QString caption;
};

// The columns of the CSV file of `table`, the library of `kind` with the
// grid captions `captions`: the grid's fields in grid order, then any other
// field of the table in file order (without caption).
std::vector<CsvColumn> libraryCsvColumns(const store::Table& table, LibraryKind kind, const QStringList& captions);

// How messages name a field: "caption（FIELD）", or the field name alone
// when its column has no caption.
QString csvFieldLabel(const QString& field, const std::vector<CsvColumn>& columns);

// Row 1's cell of a column: "caption [FIELD]", or "[FIELD]" without a caption.
QString csvHeaderCell(const CsvColumn& column);

// The records of a file, checked and made into records of the table.
struct CsvRecords {
  std::vector<QByteArray> records;  // whole records of the table, in BH order
  std::vector<int> numbers;         // the BH of each
  std::vector<int> rows;            // the file's row of each (row 1 is the header)
  int categories = 0;               // how many are category rows
  int numberColumn = -1;            // the file's column of BH (0: A)
};

// A column as a spreadsheet names it: "A" for 0 ... "Z", "AA", "AB" ...
QString columnLetters(int column);

// At most this many problems of a file are listed.
inline constexpr int kListedProblems = 20;

// What the check of a file found: its records when every cell passed, else
// the problems, each "第 N 行 C 列 caption（FIELD）：reason" (N and C as a
// spreadsheet shows the row and the column), the first kListedProblems of
// them, and how many there are in all.
struct CsvCheck {
  std::optional<CsvRecords> records;
  QStringList problems;
  int problemCount = 0;
};

// Reads the bytes of a CSV file and checks every cell against the fields of
// `layout`, the library called `library` whose file has `columns`: the
// header, the number of cells of each row, each cell by the table's rule for
// its field (store::TextRule::Exact: a number that fits its field's width
// and decimals, a GBK text that fits its field, no line break or other
// control character in a text, a valid date), and BH given, whole and
// unique. Rows whose cells are all empty are skipped; a file without records
// is refused.
CsvCheck checkLibraryCsv(const QByteArray& bytes, const store::dbf::Layout& layout,
                         const std::vector<CsvColumn>& columns, const QString& library);

// The commands of one library table.
class LibraryCsv {
 public:
  // `table` is an open library table of `kind` whose grid shows `captions`;
  // every message goes through `prompter`.
  LibraryCsv(Prompter& prompter, store::Table& table, LibraryKind kind, const QStringList& captions);

  // Writes the library to the file `path`; false, after a message that says
  // why, when the table cannot be read or the file written.
  bool exportTo(const QString& path);

  // Imports the file `path`: reads and checks it, asks whether to add or to
  // replace (unless `mode` says which; a library without records is simply
  // filled), checks that the records added come after the library's
  // (their BH greater than its greatest), then writes the table anew at
  // once. False, after a message listing the problems, when the file is
  // refused; nothing is written then, nor when the person cancels.
  bool importFrom(const QString& path, std::optional<ImportMode> mode = std::nullopt);

 private:
  std::optional<QByteArray> fileBytes(const QString& path);
  bool refuse(const QString& path, const QStringList& problems, int count, const QString& advice = QString());
  std::optional<ImportMode> askMode(const QString& path, const CsvRecords& records, int existing);
  // Whether the records come after those of the library `all` (BH order).
  bool checkAdded(store::Table& all, const QString& path, const CsvRecords& records, const std::vector<CsvColumn>& columns);
  bool writeRecords(store::Table& all, const QString& path, const CsvRecords& records, ImportMode mode, int existing);

  Prompter& prompter_;
  store::Table& table_;
  const LibraryTraits& traits_;
  QStringList captions_;
};

}  // namespace tessaro::app
