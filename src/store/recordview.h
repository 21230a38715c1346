// The records of a table file as one cursor shows them: the live records in
// file order, or ordered by a field (the key), within a range of keys.
// Index order is kept in memory; nothing of it is written to disk.
#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/dbf.h"
#include "store/result.h"

namespace tessaro::store {

class TableFile;

// The key of a record in an order by a field: a number for a numeric field,
// else the field's GBK bytes with blanks trimmed.
struct RecordKey {
  bool null = true;
  double number = 0;
  std::string text;
};

// The key that `value` names in an order by `field` of the table called
// `tableName` (a number for a numeric field, else text).
Result<RecordKey> keyFor(const dbf::Field& field, const QVariant& value, const QString& tableName);

class RecordView {
 public:
  // Shows the records of `file` in file order, without a range.
  void attach(const TableFile* file);
  // Shows nothing.
  void detach();

  // --- Order and range ----------------------------------------------------------
  // The field of the order; -1 in file order.
  int orderField() const { return orderField_; }
  bool hasRange() const { return range_.has_value(); }
  // The bounds of the range as they were given; none without a range.
  std::optional<std::pair<QVariant, QVariant>> rangeBounds() const {
    if (!range_) return std::nullopt;
    return std::pair(range_->lowGiven, range_->highGiven);
  }
  void setNaturalOrder();
  // Ordered by the field `index`: numbers by value, texts by their bytes,
  // empty first; records with equal keys keep their file order.
  void setOrder(int index);
  // Keys from `low` to `high`, both included, in the current order; the
  // bounds as given are kept for rangeBounds().
  void setRange(const RecordKey& low, const RecordKey& high, const QVariant& lowGiven, const QVariant& highGiven);
  void cancelRange();
  // Builds the view again from the file's records.
  void rebuild();

  // --- The records shown --------------------------------------------------------
  bool empty() const { return view_.empty(); }
  std::size_t size() const { return view_.size(); }
  std::int64_t operator[](std::size_t i) const { return view_[i]; }
  std::int64_t front() const { return view_.front(); }
  std::int64_t back() const { return view_.back(); }
  // Where `record` is, or would be, in the view.
  std::size_t lowerBound(std::int64_t record) const;
  // Where `record` is in the view; no value when it is not shown.
  std::optional<std::size_t> indexOf(std::int64_t record) const;
  // The first record shown whose key equals `key` (an ordered view only).
  std::optional<std::int64_t> find(const RecordKey& key) const;

  // --- Changes of the file's records ---------------------------------------------
  void appended(std::int64_t record);
  void updated(std::int64_t record);
  // Takes `record` out of the view; where it was, or no value when it was not shown.
  std::optional<std::size_t> erase(std::int64_t record);

 private:
  RecordKey keyOf(std::int64_t record) const;
  int compare(const RecordKey& a, const RecordKey& b) const;
  bool less(std::int64_t a, std::int64_t b) const;
  bool inRange(const RecordKey& k) const;
  // The view again from the keys held, which follow every change of the
  // file's records.
  void refilter();

  struct Range {
    RecordKey low;
    RecordKey high;
    QVariant lowGiven;
    QVariant highGiven;
  };

  const TableFile* file_ = nullptr;
  int orderField_ = -1;              // -1: natural order
  std::vector<RecordKey> keys_;      // keys of every record (ordered only)
  std::optional<Range> range_;
  std::vector<std::int64_t> view_;  // live records in order within the range
  mutable std::size_t hint_ = 0;    // where indexOf() last found a record
};

}  // namespace tessaro::store
