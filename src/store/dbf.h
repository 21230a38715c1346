// The dBASE table file format (.DBF) below the table engine: the header, the
// field descriptors, the records, and what can be wrong with a damaged file.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "core/format.h"
#include "store/result.h"

namespace tessaro::store::dbf {

inline constexpr char kEofMark = 0x1A;
inline constexpr char kHeaderEnd = 0x0D;
inline constexpr char kLiveFlag = ' ';
inline constexpr char kDeletedFlag = '*';
// Language driver of code page 936 (GBK).
inline constexpr std::uint8_t kGbkLanguageDriver = 0x7A;
// Offsets in the 32-byte table header.
inline constexpr int kDateOffset = 1;  // the last-update date, followed by the record count
inline constexpr int kCountOffset = 4;
inline constexpr int kProductionIndexOffset = 28;
inline constexpr int kLanguageDriverOffset = 29;

struct Field {
  QString name;      // as in the file (ASCII)
  char type = 'C';   // C, N, F, D, L; any other type is read as raw text
  int length = 0;    // bytes in the record
  int decimals = 0;
  int offset = 0;    // from the start of the record (the deletion flag is byte 0)

  bool isNumeric() const { return type == 'N' || type == 'F'; }
};

struct Layout {
  std::uint8_t version = 0x03;
  std::uint8_t languageDriver = kGbkLanguageDriver;
  std::uint8_t productionIndex = 0;  // header byte 28: a production .MDX belongs to the table
  int headerLength = 0;              // where the records start
  int recordLength = 0;              // 1 + the field lengths
  std::vector<Field> fields;

  // Index of the field called `name`, letter case ignored; -1 when none.
  int fieldIndex(QStringView name) const;
};

// Finds fields by name for cursors that ask for the same few names again
// and again, each mostly with the same string (a column's field name, a
// literal): the string, known by where its letters are, is remembered with
// its field, and taken as that name again while it holds the same letters.
class FieldLookup {
 public:
  // Index of the field called `name` in `layout`, letter case ignored; -1 when none.
  int find(const Layout& layout, QStringView name) const;
  // Forgets every name (the layout changed).
  void clear() { forget(); }

 private:
  static constexpr qsizetype kLongest = 12;  // longer names are not remembered
  struct Slot {
    const QChar* data = nullptr;
    qsizetype size = -1;  // -1: a free slot
    std::array<char16_t, kLongest> text{};
    int index = -1;
  };
  void forget() const {
    slots_ = {};
    used_ = 0;
  }

  mutable std::array<Slot, 128> slots_{};
  mutable std::size_t used_ = 0;
};

// What reading a whole table file found.
struct Scan {
  bool usable = false;          // false: the file cannot be read at all (see problems)
  Layout layout;
  std::uint32_t headerCount = 0;  // record count claimed by the header
  std::uint32_t records = 0;      // whole records present and read
  std::uint32_t deleted = 0;      // of them marked deleted (counted by scanContents)
  bool structural = false;        // the header lies or the file is cut short
  bool terminated = false;        // the field descriptors end with their mark
  int claimedHeaderLength = 0;    // as the header says
  int claimedRecordLength = 0;
  QStringList problems;           // each a clause in Chinese, without the file name
};

// How a table whose header lies can be written out again with its true
// layout, as the file's own structure shows it beyond doubt.
struct Mend {
  Layout layout;               // the layout the records are read with
  std::uint32_t records = 0;   // whole records at layout.headerLength
  QStringList changes;         // what differs from the header, each a clause in Chinese
};

// Reads the header and works out how many whole records `file` holds.
Scan scanStructure(QByteArrayView file);

// Adds to `scan` the problems of the records' contents: numeric fields that
// hold no number, dates that are no dates, texts that are not GBK.
// `records` holds scan.records records of scan.layout.recordLength bytes.
// With `numbers`, the numeric fields' numbers are kept there as they are
// read, record after record (see readNumbers()).
void scanContents(Scan& scan, const char* records, double* numbers = nullptr);

// How many numbers readNumbers() gives for each record of `layout`: one
// for each numeric field.
int numericFieldCount(const Layout& layout);

// The numbers of the numeric fields of `record`, in field order, into
// `numbers`: NaN for an empty field and for one that holds no number.
void readNumbers(const Layout& layout, const char* record, double* numbers);

// The true layout of a damaged file, when its structure shows it beyond
// doubt: the field descriptors end with their mark, the record length in the
// header equals the fields' sum, every record starts with a deletion flag,
// and the bytes after the header are whole records followed by the end mark
// (or exactly as many whole records as the header counts). Otherwise the
// reason says what cannot be told (a clause, naming no file).
Result<Mend> planMend(QByteArrayView file);

// One whole sentence about `problems` for the file called `fileName`.
QString damageSentence(const QString& fileName, const QStringList& problems);

// A little-endian 32-bit number at `p`.
std::uint32_t u32(const char* p);

// The header's bytes from kDateOffset: the last-update `date` (year since
// 1900, month, day) and the record `count`.
std::array<char, 7> dateAndCount(const core::Date& date, std::uint32_t count);

// The header (with the field descriptors and the end mark) of a table with
// `layout` and `count` records, last updated on `date`.
QByteArray buildHeader(const Layout& layout, std::uint32_t count, const core::Date& date);

// The record numbered `index` from 0 ("第 N 条记录"), or a new record not yet in
// the file (no index), followed by its NAME when the table has that field and
// the name is readable; without `record`, the name is left out. For messages.
QString recordLabel(const Layout& layout, const char* record, std::optional<std::int64_t> index);

// A field's bytes with blanks at both ends removed.
inline std::string_view trimmed(std::string_view bytes) {
  // Blanks pad a text to its width: eight at a time first.
  while (bytes.size() >= 8 && std::memcmp(bytes.data() + bytes.size() - 8, "        ", 8) == 0) bytes.remove_suffix(8);
  while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.remove_suffix(1);
  while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\0')) bytes.remove_prefix(1);
  return bytes;
}

// A date in a D field (YYYYMMDD); empty for a blank (or all-zero) field,
// no value when the bytes are not a date.
std::optional<std::optional<core::Date>> parseDate(std::string_view bytes);

bool isValidDate(const core::Date& d);

// The number in a numeric field's bytes, read as core::parseNumber reads the
// field's text with blanks trimmed (here with std::from_chars, whatever the
// locale): no number for an empty field, no value when the bytes are not a
// number.
std::optional<std::optional<double>> parseNumberField(std::string_view bytes);

}  // namespace tessaro::store::dbf

namespace tessaro::store {

// Today's date, as this computer's clock tells it: the last-update date of a
// table's header and the date of a record written today.
core::Date today();

}  // namespace tessaro::store
