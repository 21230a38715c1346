// A table file as this program holds it: its records in memory, shared by
// every cursor of this program that has the file open, the OS locks that
// guard it, the process-wide registry of open files, and pack. Every call of
// the operating system the table engine makes is in tablefile.cpp, so that
// another platform is one file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>
#include <optional>
#include <vector>

#include "store/dbf.h"
#include "store/result.h"

namespace tessaro::store {

class TableFile : public std::enable_shared_from_this<TableFile> {
 public:
  // A file's bytes, which are read into memory without being set to zero first.
  template <class T>
  struct UninitializedAllocator : std::allocator<T> {
    UninitializedAllocator() = default;
    template <class U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
      ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  };
  using Bytes = std::vector<char, UninitializedAllocator<char>>;

  enum class Change { Appended, Updated, Deleted, Reloaded, Repacked };

  // A cursor on the file, told of every change to its records.
  class Cursor {
   public:
    virtual bool claimsExclusiveUse() const = 0;
    // Leaves the record it edits, posting a change; false when that fails,
    // with the reason in settleError().
    virtual bool settle() = 0;
    virtual QString settleError() const = 0;
    // `record` is -1 for a change of every record (Reloaded, Repacked).
    virtual void recordChanged(std::int64_t record, Change change) = 0;

   protected:
    ~Cursor() = default;
  };

  ~TableFile();
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  // The records of the file at `path` when this program has it open.
  static std::shared_ptr<TableFile> find(const QString& path);
  // Opens the file at `path` for this program: one descriptor that holds
  // the program's lock on it, shared or exclusive. `name` is the name used in messages.
  static Result<std::shared_ptr<TableFile>> open(const QString& path, const QString& name, bool exclusive);
  // Writes a new file at `path` with `bytes`; never replaces an existing
  // file. The reason names no file.
  static Result<void> create(const QString& path, const QByteArray& bytes);

  // What went wrong with the last operation of this file that failed.
  QString errorString() const { return error_; }

  // Turns this program's shared lock into an exclusive one; false when
  // another program has the file open.
  bool lockExclusively();
  // Whether an open cursor claims exclusive use.
  bool claimedExclusively() const;
  // Every cursor but `keeper` leaves the record it edits (posting a change),
  // so that nothing is lost when the records are replaced.
  bool settleCursors(const Cursor* keeper);

  void attach(Cursor* cursor) { cursors_.push_back(cursor); }
  void detach(Cursor* cursor);

  const dbf::Layout& layout() const { return layout_; }
  std::int64_t count() const { return count_; }
  // How many records are marked deleted.
  std::int64_t deletedCount() const { return deleted_; }
  const char* record(std::int64_t i) const { return bytes_.data() + start_ + i * layout_.recordLength; }
  bool isLive(std::int64_t i) const { return record(i)[0] != dbf::kDeletedFlag; }
  // Whether `i` is a record of the file and not deleted.
  bool holdsLive(std::int64_t i) const { return i >= 0 && i < count_ && isLive(i); }
  // The number in numeric field `field` of record `i`, read once with the
  // record: NaN for an empty field, one that holds no number, and a field
  // that is not numeric.
  double number(std::int64_t i, int field) const {
    const int column = numberColumn_[std::size_t(field)];
    if (column < 0) return std::numeric_limits<double>::quiet_NaN();
    return numbers_[std::size_t(i) * std::size_t(numberColumns_) + std::size_t(column)];
  }
  // Index of a field, letter case ignored; -1 when there is none.
  int fieldIndex(QStringView name) const { return lookup_.find(layout_, name); }
  bool readOnly() const { return noWrite_ || structural_; }
  bool damaged() const { return structural_; }
  QString damage() const { return damage_; }
  // Grows whenever the records move (a pack), so that old bookmarks are void.
  std::uint64_t generation() const { return generation_; }
  const QString& path() const { return path_; }
  // Why the file is read-only (one sentence without its full stop).
  QString whyReadOnly() const;

  // Writes record `i` with the bytes `rec`.
  bool update(std::int64_t i, const char* rec);
  // Appends the record `rec` after the last record in the file; its number,
  // or no value when it failed.
  std::optional<std::int64_t> append(const char* rec);
  bool markDeleted(std::int64_t i);
  // Re-reads the file.
  bool reload();
  // Replaces the file with one that holds the live records only, so that a
  // crash at any moment leaves the old file or the new one whole. A file
  // whose header lies is written with the layout its own structure shows, and
  // mended() lists what that changed; when the layout cannot be told beyond
  // doubt, the file is left byte for byte.
  bool pack();
  // Replaces the file with one that holds its live records (none when
  // `keepRecords` is false) followed by `records`, as pack replaces it.
  bool rewrite(const std::vector<QByteArray>& records, bool keepRecords);
  // What the last pack mended, each a clause in Chinese.
  const QStringList& mended() const { return mended_; }

 private:
  struct Handle;  // the descriptor and the registry's key, in the platform's terms

  TableFile();

  bool fail(const QString& message);
  std::nullopt_t refuse(const QString& message);
  QString lockError() const;
  QString writeError() const;
  // Last-update date and record count; the first write also clears the flag
  // of a production index, which no longer matches the records.
  bool touchHeader(std::int64_t count);
  // The whole file as it is on disk.
  bool readWhole(Bytes* all);
  // Reads the file; `changed` tells whether its bytes differ from those held.
  bool load(bool* changed = nullptr);
  void notify(std::int64_t i, Change change);
  // Takes in the records from `from` on, which were added to bytes_: their
  // numbers and deletion flags.
  void takeInFrom(std::int64_t from);
  // Puts `data` in place of the file; the new descriptor holds the lock, as
  // exclusive as the old one's. A failure's reason starts with `failed`.
  bool replaceWith(const QByteArray& data, const QString& failed);

  QString path_;
  QString name_;
  std::unique_ptr<Handle> handle_;
  bool exclusive_ = false;  // the lock is exclusive
  bool noWrite_ = false;
  bool structural_ = false;
  QString damage_;
  QString error_;
  QStringList mended_;
  dbf::Layout layout_;
  Bytes bytes_;  // header and records as read, without what follows the records
  std::int64_t start_ = 0;   // where the records start in bytes_
  std::int64_t count_ = 0;
  std::int64_t deleted_ = 0;
  std::vector<double, UninitializedAllocator<double>> numbers_;  // per record, its numeric fields' numbers (see number())
  std::vector<int> numberColumn_;  // per field, its column in numbers_ (-1: not numeric)
  int numberColumns_ = 0;
  dbf::FieldLookup lookup_;
  std::uint64_t generation_ = 1;
  std::vector<Cursor*> cursors_;
};

}  // namespace tessaro::store
