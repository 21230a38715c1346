#include "store/recordview.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "store/gbk.h"
#include "store/tablefile.h"

namespace tessaro::store {

Result<RecordKey> keyFor(const dbf::Field& f, const QVariant& v, const QString& tableName) {
  RecordKey k;
  if (f.isNumeric()) {
    std::optional<double> n;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
      n = core::parseNumber(v.toString().toStdString());
    } else {
      bool ok = false;
      const double d = v.toDouble(&ok);
      if (ok) n = d;
    }
    if (!n) return failure(QStringLiteral("表文件 %1 的字段 %2 是数值，“%3”不是数字").arg(tableName, f.name, v.toString()));
    k.null = false;
    k.number = *n;
    return k;
  }
  const auto bytes = gbk::encode(v.toString().trimmed());
  if (!bytes) {
    return failure(
        QStringLiteral("表文件 %1 的字段 %2 不能查找字符“%3”：GBK 里没有这个字").arg(tableName, f.name, bytes.error()));
  }
  k.text = bytes->toStdString();
  k.null = k.text.empty();
  return k;
}

void RecordView::attach(const TableFile* file) {
  file_ = file;
  setNaturalOrder();
}

void RecordView::detach() {
  file_ = nullptr;
  orderField_ = -1;
  range_.reset();
  keys_.clear();
  view_.clear();
}

void RecordView::setNaturalOrder() {
  orderField_ = -1;
  range_.reset();
  rebuild();
}

void RecordView::setOrder(int index) {
  orderField_ = index;
  range_.reset();
  rebuild();
}

void RecordView::setRange(const RecordKey& low, const RecordKey& high, const QVariant& lowGiven,
                          const QVariant& highGiven) {
  range_ = Range{low, high, lowGiven, highGiven};
  refilter();
}

void RecordView::cancelRange() {
  range_.reset();
  refilter();
}

RecordKey RecordView::keyOf(std::int64_t record) const {
  RecordKey k;
  const dbf::Field& f = file_->layout().fields.at(std::size_t(orderField_));
  if (f.isNumeric()) {
    const double v = file_->number(record, orderField_);
    k.null = std::isnan(v);
    if (!k.null) k.number = v;
  } else {
    const std::string_view t = dbf::trimmed(std::string_view(file_->record(record) + f.offset, f.length));
    k.null = t.empty();
    k.text.assign(t);
  }
  return k;
}

int RecordView::compare(const RecordKey& a, const RecordKey& b) const {
  if (file_->layout().fields.at(std::size_t(orderField_)).isNumeric()) {
    if (a.null || b.null) return int(b.null) - int(a.null);
    return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  }
  const int c = a.text.compare(b.text);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool RecordView::less(std::int64_t a, std::int64_t b) const {
  const int c = compare(keys_[std::size_t(a)], keys_[std::size_t(b)]);
  return c != 0 ? c < 0 : a < b;
}

bool RecordView::inRange(const RecordKey& k) const {
  return !range_ || (compare(range_->low, k) <= 0 && compare(k, range_->high) <= 0);
}

void RecordView::rebuild() {
  keys_.clear();
  const std::int64_t n = file_->count();
  if (orderField_ >= 0) {
    keys_.reserve(std::size_t(n));
    for (std::int64_t i = 0; i < n; ++i) keys_.push_back(keyOf(i));
  }
  refilter();
}

void RecordView::refilter() {
  view_.clear();
  const std::int64_t n = file_->count();
  if (orderField_ < 0 && file_->deletedCount() == 0) {
    view_.resize(std::size_t(n));
    std::iota(view_.begin(), view_.end(), std::int64_t(0));
    return;
  }
  view_.reserve(std::size_t(n));
  for (std::int64_t i = 0; i < n; ++i) {
    if (file_->isLive(i) && (orderField_ < 0 || inRange(keys_[std::size_t(i)]))) view_.push_back(i);
  }
  if (orderField_ >= 0) std::sort(view_.begin(), view_.end(), [this](std::int64_t a, std::int64_t b) { return less(a, b); });
}

std::size_t RecordView::lowerBound(std::int64_t record) const {
  if (orderField_ < 0) return std::size_t(std::lower_bound(view_.begin(), view_.end(), record) - view_.begin());
  return std::size_t(std::lower_bound(view_.begin(), view_.end(), record,
                                      [this](std::int64_t a, std::int64_t b) { return less(a, b); }) -
                     view_.begin());
}

std::optional<std::size_t> RecordView::indexOf(std::int64_t record) const {
  // A cursor mostly asks for the record it was on or the one next to it.
  for (const std::size_t near : {hint_, hint_ + 1, hint_ - 1}) {
    if (near < view_.size() && view_[near] == record) return hint_ = near;
  }
  const std::size_t p = lowerBound(record);
  if (p >= view_.size() || view_[p] != record) return std::nullopt;
  return hint_ = p;
}

std::optional<std::int64_t> RecordView::find(const RecordKey& key) const {
  const auto it = std::lower_bound(view_.begin(), view_.end(), key, [this](std::int64_t r, const RecordKey& k) {
    return compare(keys_[std::size_t(r)], k) < 0;
  });
  if (it == view_.end() || compare(keys_[std::size_t(*it)], key) != 0) return std::nullopt;
  return *it;
}

void RecordView::appended(std::int64_t record) {
  if (orderField_ >= 0) {
    keys_.resize(std::size_t(file_->count()));
    keys_[std::size_t(record)] = keyOf(record);
  }
  if (file_->isLive(record) && (orderField_ < 0 || inRange(keys_[std::size_t(record)]))) {
    view_.insert(view_.begin() + std::ptrdiff_t(lowerBound(record)), record);
  }
}

void RecordView::updated(std::int64_t record) {
  if (orderField_ < 0) return;
  erase(record);
  keys_[std::size_t(record)] = keyOf(record);
  if (inRange(keys_[std::size_t(record)])) view_.insert(view_.begin() + std::ptrdiff_t(lowerBound(record)), record);
}

std::optional<std::size_t> RecordView::erase(std::int64_t record) {
  const auto p = indexOf(record);
  if (p) view_.erase(view_.begin() + std::ptrdiff_t(*p));
  return p;
}

}  // namespace tessaro::store
