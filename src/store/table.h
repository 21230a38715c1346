// The table engine: one cursor over a dBASE table file (.DBF).
//
// Records are read into memory when the file is opened and shared by every
// Table object of this program that has the same file open, so a record
// posted through one cursor is seen by the others at once. Each post writes
// that record and the header's record count to the file immediately; appends
// and header updates are made under a lock on the file, so two programs
// appending at once lose no record. A record this program holds in memory is
// not read again before it is updated: that no other program changes the
// tables meanwhile is the data folder's lock (store/folderlock.h).
//
// Failures never throw: an operation that fails returns false (or a value with
// `ok` cleared) and errorString() tells what is wrong in one sentence that
// names the file, and for a field the field and the record's NAME.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/format.h"
#include "store/dbf.h"
#include "store/fieldtext.h"
#include "store/paths.h"
#include "store/recordview.h"
#include "store/result.h"
#include "store/schemas.h"
#include "store/tablefile.h"

namespace tessaro::store {

class Table : public QObject, private TableFile::Cursor {
  Q_OBJECT

 public:
  enum class Mode { Shared, Exclusive };
  enum class State { Closed, Browse, Edit, Insert };

  // A remembered record (see bookmark()).
  struct Bookmark {
    std::int64_t record = -1;
    std::uint64_t generation = 0;
    bool isValid() const { return record >= 0; }
  };

  explicit Table(QObject* parent = nullptr);
  ~Table() override;  // closes the table as close() does

  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Creates the empty table `path` with `fields` (an existing file is never
  // replaced): a dBASE III file (version byte 0x03) with the GBK language
  // driver unless told otherwise. The reason names the file.
  static Result<void> create(const QString& path, const std::vector<FieldSpec>& fields, std::uint8_t version = 0x03,
                             std::uint8_t languageDriver = dbf::kGbkLanguageDriver);

  // --- Opening ---------------------------------------------------------------

  // Opens `relativeName` (e.g. "数据库\配方.DBF") under `folder`. All cursors
  // of this program on a file share one OS lock on it. Exclusive use makes
  // every open of the file by another program fail until the last cursor of
  // this program on it is closed; it is refused while another program has
  // the file open, never because of this program's own shared cursors.
  // Further cursors of this program may open the file in shared use while it
  // is held exclusively (they share its records anyway), but only one cursor
  // at a time may claim exclusive use. Shared use fails only while another
  // program has the file exclusively. Opening a table that is already
  // open does nothing and succeeds. A damaged file is opened as far as it
  // can be read: damageReport() then says what is wrong, and when its header
  // or length is wrong the table is read-only until it is packed.
  bool open(const QString& folder, const QString& relativeName, Mode mode = Mode::Shared);
  // Opens the file at `path` (found whatever the case of its name).
  bool open(const QString& path, Mode mode = Mode::Shared);
  // Leaves the current record (a changed one is posted, an unchanged new one
  // dropped) and closes. False when a change could not be posted; the table
  // is closed all the same and errorString() names what was lost.
  bool close();

  bool isOpen() const { return file_ != nullptr; }
  bool isExclusive() const;
  bool isReadOnly() const;
  // "DBASE" for an open table.
  QString tableType() const;
  QString filePath() const;
  // The name used in messages, e.g. "数据库/配方.DBF".
  QString displayName() const;
  // One sentence naming the file and what is wrong with it; empty for a sound file.
  QString damageReport() const;
  // Whether the file does not agree with its header (it is then read-only
  // until packed): its records may be misread, so nothing is computed from it.
  bool isDamaged() const;
  // Why the table is read-only (one sentence without its full stop); empty when it is not.
  QString whyReadOnly() const;
  // What went wrong with the last operation that failed, reads included.
  QString errorString() const { return error_; }

  // Re-reads the whole file, with what another program changed since this
  // program read it.
  bool refresh();

  // --- Fields ------------------------------------------------------------------

  int fieldCount() const;
  // The fields of an open table, with the length of its records.
  const dbf::Layout& layout() const { return file_->layout(); }
  const dbf::Field& fieldAt(int index) const { return file_->layout().fields.at(std::size_t(index)); }
  // Index of a field, letter case ignored; -1 when the table has none.
  int fieldIndex(const QString& name) const { return isOpen() ? file_->fieldIndex(name) : -1; }

  // --- Position ----------------------------------------------------------------

  // Records within the current range (a new record not yet posted is not counted).
  int recordCount() const;
  bool isEmpty() const { return recordCount() == 0; }
  // Moving away from the current record posts it when it was changed and drops
  // it when it is a new record that was not changed. False when posting fails.
  bool first();
  bool next();   // past the last record: eof() and the cursor stays on the last
  bool prior();  // before the first: bof()
  bool last();
  bool eof() const;
  bool bof() const;
  // Row of the current record in the current order and range (0-based; the
  // row of a new record not yet posted is where it is shown); -1 when none.
  int row() const;
  bool moveTo(int row);
  // Record number in the file, 0-based; -1 for a new record or none.
  std::int64_t recordNumber() const;

  Bookmark bookmark() const;
  // False when the record is gone or lies outside the current range.
  bool gotoBookmark(const Bookmark& bookmark);

  // --- Reading the current record --------------------------------------------------
  // `ok` (when given) is cleared for an unknown field, no current record, or a
  // field whose bytes are not of its type; errorString() says which.

  // The field as text with blanks trimmed; a date as the program shows it.
  QString text(const QString& field, bool* ok = nullptr) const;
  // A numeric field's number; an empty field reads 0.
  double number(const QString& field, bool* ok = nullptr) const;
  // The number rounded to an integer (half away from zero).
  int integer(const QString& field, bool* ok = nullptr) const;
  // The number, or no value for an empty field.
  std::optional<double> value(const QString& field, bool* ok = nullptr) const;
  std::optional<core::Date> date(const QString& field, bool* ok = nullptr) const;
  bool isNull(const QString& field, bool* ok = nullptr) const;
  // The field's bytes as they are in the record.
  QByteArray rawBytes(const QString& field, bool* ok = nullptr) const;
  // The same readings by the field's position (fieldIndex()), for a reader
  // that reads many records and looks each name up once.
  QString text(int field, bool* ok = nullptr) const;
  std::optional<double> value(int field, bool* ok = nullptr) const {
    // The common case at once: a number of a record of the file, read with it.
    if (state_ == State::Browse && isOpen() && current_ >= 0 && current_ < file_->count() &&
        unsigned(field) < unsigned(file_->layout().fields.size())) {
      const double v = file_->number(current_, field);
      if (!std::isnan(v)) {
        if (ok) *ok = true;
        return v;
      }
    }
    return resolveIndex(field, ok) ? valueAt(field, ok) : std::nullopt;
  }
  double number(int field, bool* ok = nullptr) const { return value(field, ok).value_or(0.0); }
  std::optional<core::Date> date(int field, bool* ok = nullptr) const;

  // --- Changing records ------------------------------------------------------------

  State state() const { return state_; }
  // Whether a field of the record being edited was written.
  bool isModified() const { return modified_; }
  // Puts the current record into editing; on an empty table starts a new record.
  bool edit();
  // Starts a new record shown at the current row; it goes to the end of the
  // file when posted.
  bool insert();
  // Starts a new record after the last one.
  bool append();
  // Writes the record being edited or inserted to the file.
  bool post();
  // Drops the changes of the record being edited or inserted.
  void cancel();
  // Marks the current record deleted (a new record is just dropped). The
  // cursor moves to the next record, or to the previous at the end.
  bool deleteRecord();

  // Writes (in editing or inserting) the field from text: a number in a
  // numeric field (blanks around it allowed; empty text empties the field);
  // in a text field, cut to its width at a character boundary; a date as
  // "YYYYMMDD", "YYYY-MM-DD" or "YYYY年MM月DD日".
  bool setText(const QString& field, const QString& text);
  // Writes text the user typed into a cell: as setText, except that a text
  // longer than its field, or a fraction for a numeric field without
  // decimals, is refused (errorString() names the field, the record and
  // what the field holds) instead of being cut or rounded. A whole number
  // written with decimals ("14.0") is taken.
  bool setTypedText(const QString& field, const QString& text);
  // A number into a numeric field with the field's decimals, rounded half
  // away from zero; a number wider than the field is refused.
  bool setNumber(const QString& field, double value);
  bool setInteger(const QString& field, int value);
  bool setDate(const QString& field, const core::Date& date);
  // Empties the field (blank text, null number, no date).
  bool clear(const QString& field);

  // --- Order, search, range ----------------------------------------------------------

  // The records in file order.
  bool setNaturalOrder();
  // The records ordered by `field` (numbers by value, texts by their GBK
  // bytes with blanks trimmed, empty first); records with equal keys keep
  // their file order. The cursor stays on its record.
  bool setOrder(const QString& field);
  // The index tag `tag` (the libraries' tag "BH" orders by the field BH).
  bool setIndexTag(const QString& tag);
  // The field of the current order; empty in natural order.
  QString orderField() const;

  // Moves to the first record whose key in the current order equals `key`
  // exactly (texts compared with blanks trimmed). False when there is none
  // (errorString() empty) or in natural order (an error).
  bool findKey(const QVariant& key);

  // Restricts the records to keys from `low` to `high` (inclusive) in the
  // current order and moves to the first of them.
  bool setRange(const QVariant& low, const QVariant& high);
  bool cancelRange();
  bool hasRange() const { return view_.hasRange(); }
  // The bounds of the current range as they were given; none without a range.
  std::optional<std::pair<QVariant, QVariant>> range() const { return view_.rangeBounds(); }

  // --- Display -------------------------------------------------------------------------

  // While suspended (calls nest), changes are not announced; resuming
  // announces them once. No effect on the data.
  void disableControls();
  void enableControls();

  // --- Maintenance -------------------------------------------------------------------

  // Removes the deleted records: writes the live records to a new file and
  // renames it over the old one, so that a crash at any moment leaves one of
  // the two whole. The table must be open exclusively; the other cursors of
  // this program on the file first post what they edit, then see the packed
  // records from their first. A file whose header lies is packed with the
  // layout its own structure shows beyond doubt (mendReport() says what was
  // mended), and otherwise refused and left byte for byte. It stays open.
  bool pack();
  // Writes the table anew: its live records (none when `keepRecords` is
  // false) followed by `records`, each a whole record of layout() (see
  // store/fieldtext.h), go to a new file that is renamed over the old one,
  // so that a failure at any moment leaves the table as it was. Deleted
  // records are left out as a pack leaves them. The other cursors of this
  // program first post what they edit, then see the new records from their first.
  bool rewrite(const std::vector<QByteArray>& records, bool keepRecords);
  // After a pack that mended the header: one sentence naming the file and what
  // was mended; empty otherwise.
  QString mendReport() const { return mendReport_; }

 signals:
  // The records, the order, the range or the position changed (not sent while
  // display updates are suspended; sent once when they are resumed).
  void changed();

 private:
  // What the shared file asks of its cursors.
  bool claimsExclusiveUse() const override { return mode_ == Mode::Exclusive; }
  bool settle() override;
  QString settleError() const override { return error_; }
  void recordChanged(std::int64_t record, TableFile::Change change) override;
  void recordDeleted(std::int64_t record);
  void recordsReplaced(TableFile::Change change);

  // A read is const but tells why it failed as an operation does: the reason
  // is no part of the table's state (nothing the table does depends on it),
  // so a const read may set it.
  bool fail(const QString& message) const;
  bool requireOpen() const;
  bool requireEditing(const QString& field) const;
  int resolveField(const QString& field, bool* ok) const;
  // Checks a field position as resolveField checks a name.
  bool resolveIndex(int field, bool* ok) const;
  // The readings of a field that exists, on the current record.
  QString textAt(int index, bool* ok) const;
  std::optional<double> valueAt(int index, bool* ok) const;
  std::optional<core::Date> dateAt(int index, bool* ok) const;
  // The bytes of the current record: the one being edited or inserted, else
  // the file's; null when there is none.
  const char* currentRecord() const {
    if (!isOpen()) return nullptr;
    if (state_ == State::Edit || state_ == State::Insert) return buffer_.data();
    if (current_ < 0 || current_ >= file_->count()) return nullptr;
    return file_->record(current_);
  }
  QString recordLabel() const;
  bool fieldFailure(const QString& field, const QString& what, bool* ok) const;
  bool leaveRecord();
  // Starts a new record shown at the current row, or after the last one.
  bool startNewRecord(bool atEnd);
  bool writeField(int index, const QByteArray& bytes);
  bool writeText(const QString& field, const QString& text, TextRule rule);
  std::optional<RecordKey> keyFor(const QVariant& value);

  // Goes to the first record, before which nothing lies (bof).
  void toFirst();
  // Goes to the row of `record`, or the nearest row after it (the last at the end).
  void placeOn(std::int64_t record);
  // Stays on `record` when it is still live (the view must hold every live
  // record), else goes to the first record.
  void stayOn(std::int64_t record);
  void announce();

  std::shared_ptr<TableFile> file_;
  Mode mode_ = Mode::Shared;
  QString displayName_;
  mutable QString error_;  // see fail()
  QString mendReport_;

  State state_ = State::Closed;
  std::vector<char> buffer_;     // the record being edited or inserted
  bool modified_ = false;
  std::int64_t editRecord_ = -1;  // record being edited
  int insertRow_ = -1;           // where a new record is shown

  RecordView view_;
  std::int64_t current_ = -1;       // current record, -1 when none
  bool eof_ = true;
  bool bof_ = true;

  int disabled_ = 0;
  bool pending_ = false;
};

// Keeps a table's display suspended for a scope (a null table: nothing).
class SuspendedDisplay {
 public:
  explicit SuspendedDisplay(Table& table) : SuspendedDisplay(&table) {}
  explicit SuspendedDisplay(Table* table) : table_(table) {
    if (table_) table_->disableControls();
  }
  ~SuspendedDisplay() {
    if (table_) table_->enableControls();
  }
  SuspendedDisplay(const SuspendedDisplay&) = delete;
  SuspendedDisplay& operator=(const SuspendedDisplay&) = delete;

 private:
  Table* table_;
};

}  // namespace tessaro::store
