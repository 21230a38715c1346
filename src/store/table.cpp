#include "store/table.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>

namespace tessaro::store {

namespace {

// The layout of a new table with `fields`; no value when a field breaks the
// rules, with the reason (naming no file).
Result<dbf::Layout> newLayout(const std::vector<FieldSpec>& fields, std::uint8_t version, std::uint8_t languageDriver) {
  if (fields.empty() || fields.size() > 255) return failure(QStringLiteral("字段个数须在 1 到 255 之间"));
  dbf::Layout layout;
  layout.version = version;
  layout.languageDriver = languageDriver;
  int offset = 1;
  static const QRegularExpression nameRule(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,9}$"));
  for (const FieldSpec& s : fields) {
    if (!nameRule.match(s.name).hasMatch()) return failure(QStringLiteral("字段名“%1”不合规则").arg(s.name));
    if (layout.fieldIndex(s.name) >= 0) return failure(QStringLiteral("字段名 %1 重复").arg(s.name));
    const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(s.type)));
    bool valid = false;
    switch (type) {
      case 'C': valid = s.length >= 1 && s.length <= 254 && s.decimals == 0; break;
      case 'N':
      case 'F': valid = s.length >= 1 && s.length <= 20 && s.decimals >= 0 && (s.decimals == 0 || s.decimals <= s.length - 2); break;
      case 'D': valid = s.length == 8 && s.decimals == 0; break;
      case 'L': valid = s.length == 1 && s.decimals == 0; break;
      default: break;
    }
    if (!valid) return failure(QStringLiteral("字段 %1 的类型、宽度或小数位不合规则").arg(s.name));
    layout.fields.push_back(dbf::Field{s.name.toUpper(), type, s.length, s.decimals, offset});
    offset += s.length;
  }
  layout.recordLength = offset;
  return layout;
}

}  // namespace

Table::Table(QObject* parent) : QObject(parent) {}

Table::~Table() { close(); }

Result<void> Table::create(const QString& path, const std::vector<FieldSpec>& fields, std::uint8_t version,
                           std::uint8_t languageDriver) {
  auto refused = [&](const QString& why) {
    return failure(QStringLiteral("不能建立表文件 %1：%2").arg(QDir::toNativeSeparators(path), why));
  };
  const auto layout = newLayout(fields, version, languageDriver);
  if (!layout) return refused(layout.error());
  QByteArray data = dbf::buildHeader(*layout, 0, today());
  data.append(dbf::kEofMark);
  const auto created = TableFile::create(path, data);
  if (!created) return refused(created.error());
  return {};
}

// --- Opening --------------------------------------------------------------------

bool Table::open(const QString& folder, const QString& relativeName, Mode mode) {
  if (isOpen()) return true;
  const QString path = findFile(folder, relativeName);
  QString shown = relativeName;
  shown.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.isEmpty()) return fail(QStringLiteral("找不到表文件 %1").arg(shown));
  displayName_ = QDir(folder).relativeFilePath(path);
  if (displayName_.startsWith(QStringLiteral(".."))) displayName_ = path;
  error_.clear();
  mendReport_.clear();
  // Every cursor of this program on a file shares its records and its lock;
  // only one of them at a time may claim exclusive use.
  auto file = TableFile::find(path);
  if (file) {
    if (mode == Mode::Exclusive && file->claimedExclusively()) {
      return fail(QStringLiteral("表文件 %1 正在被使用，不能独占打开").arg(displayName_));
    }
    if (mode == Mode::Exclusive && !file->lockExclusively()) return fail(file->errorString());
  } else {
    auto opened = TableFile::open(path, displayName_, mode == Mode::Exclusive);
    if (!opened) return fail(opened.error());
    file = std::move(opened).value();
  }
  file_ = std::move(file);
  mode_ = mode;
  file_->attach(this);
  state_ = State::Browse;
  modified_ = false;
  view_.attach(file_.get());
  toFirst();
  announce();
  return true;
}

bool Table::open(const QString& path, Mode mode) {
  if (isOpen()) return true;
  const QFileInfo info(path);
  return open(info.absolutePath(), info.fileName(), mode);
}

bool Table::close() {
  if (!isOpen()) return true;
  bool ok = true;
  QString lost;
  if (state_ != State::Browse && !leaveRecord()) {
    ok = false;
    lost = error_;
    cancel();
  }
  file_->detach(this);
  file_.reset();
  state_ = State::Closed;
  view_.detach();
  current_ = -1;
  eof_ = bof_ = true;
  announce();
  if (!ok) return fail(QStringLiteral("%1；表已关闭，这条记录的修改没有保存").arg(lost));
  return true;
}

bool Table::isExclusive() const { return isOpen() && mode_ == Mode::Exclusive; }
bool Table::isReadOnly() const { return isOpen() && file_->readOnly(); }
bool Table::isDamaged() const { return isOpen() && file_->damaged(); }
QString Table::whyReadOnly() const { return isReadOnly() ? file_->whyReadOnly() : QString(); }
QString Table::tableType() const { return isOpen() ? QStringLiteral("DBASE") : QString(); }
QString Table::filePath() const { return isOpen() ? file_->path() : QString(); }
QString Table::displayName() const { return displayName_; }
QString Table::damageReport() const { return isOpen() ? file_->damage() : QString(); }

bool Table::refresh() {
  if (!requireOpen() || !leaveRecord()) return false;
  return file_->reload() || fail(file_->errorString());
}

// --- Fields -------------------------------------------------------------------------

int Table::fieldCount() const { return isOpen() ? int(file_->layout().fields.size()) : 0; }


// --- Position -----------------------------------------------------------------------

int Table::recordCount() const { return int(view_.size()); }

bool Table::first() {
  if (!requireOpen() || !leaveRecord()) return false;
  toFirst();
  announce();
  return true;
}

bool Table::last() {
  if (!requireOpen() || !leaveRecord()) return false;
  current_ = view_.empty() ? -1 : view_.back();
  bof_ = view_.empty();
  eof_ = view_.empty();
  announce();
  return true;
}

bool Table::next() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return true;
  }
  std::size_t p = 0;
  if (current_ >= 0) {
    const auto at = view_.indexOf(current_);
    p = at ? *at + 1 : view_.lowerBound(current_);
  }
  if (p >= view_.size()) {
    current_ = view_.back();
    eof_ = true;
  } else {
    current_ = view_[p];
    eof_ = false;
  }
  bof_ = false;
  announce();
  return true;
}

bool Table::prior() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return true;
  }
  const std::size_t p = current_ < 0 ? 0 : view_.lowerBound(current_);
  if (p == 0) {
    current_ = view_.front();
    bof_ = true;
  } else {
    current_ = view_[p - 1];
    bof_ = false;
  }
  eof_ = false;
  announce();
  return true;
}

bool Table::eof() const { return !isOpen() || eof_ || view_.empty(); }
bool Table::bof() const { return !isOpen() || bof_ || view_.empty(); }

int Table::row() const {
  if (state_ == State::Insert) return insertRow_;
  if (current_ < 0 || view_.empty()) return -1;
  const auto p = view_.indexOf(current_);
  return p ? int(*p) : -1;
}

bool Table::moveTo(int row) {
  if (!requireOpen()) return false;
  if (row < 0 || row >= int(view_.size())) return fail(QStringLiteral("表文件 %1 没有第 %2 行").arg(displayName_).arg(row + 1));
  if (!leaveRecord()) return false;
  if (row >= int(view_.size())) return fail(QStringLiteral("表文件 %1 没有第 %2 行").arg(displayName_).arg(row + 1));
  current_ = view_[std::size_t(row)];
  eof_ = bof_ = false;
  announce();
  return true;
}

std::int64_t Table::recordNumber() const {
  if (!isOpen() || state_ == State::Insert) return -1;
  return current_;
}

Table::Bookmark Table::bookmark() const {
  if (!isOpen() || state_ == State::Insert || current_ < 0) return Bookmark{};
  return Bookmark{current_, file_->generation()};
}

bool Table::gotoBookmark(const Bookmark& b) {
  if (!requireOpen()) return false;
  if (!b.isValid() || b.generation != file_->generation() || !file_->holdsLive(b.record)) {
    return fail(QStringLiteral("表文件 %1 里记住的记录已不存在").arg(displayName_));
  }
  if (!leaveRecord()) return false;
  if (!view_.indexOf(b.record)) {
    return fail(QStringLiteral("表文件 %1 里记住的记录不在当前范围内").arg(displayName_));
  }
  current_ = b.record;
  eof_ = bof_ = false;
  announce();
  return true;
}

// --- Changing records -------------------------------------------------------------

bool Table::edit() {
  if (!requireOpen()) return false;
  if (state_ == State::Edit || state_ == State::Insert) return true;
  if (view_.empty()) return append();
  if (file_->readOnly()) return fail(file_->whyReadOnly());
  if (current_ < 0 || row() < 0) current_ = view_.front();
  const char* rec = file_->record(current_);
  buffer_.assign(rec, rec + file_->layout().recordLength);
  editRecord_ = current_;
  modified_ = false;
  state_ = State::Edit;
  announce();
  return true;
}

bool Table::insert() { return startNewRecord(false); }

bool Table::append() { return startNewRecord(true); }

bool Table::startNewRecord(bool atEnd) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (file_->readOnly()) return fail(file_->whyReadOnly());
  insertRow_ = atEnd ? int(view_.size()) : std::max(row(), 0);
  buffer_.assign(std::size_t(file_->layout().recordLength), ' ');
  modified_ = false;
  state_ = State::Insert;
  eof_ = bof_ = false;
  announce();
  return true;
}

bool Table::post() {
  if (!requireOpen()) return false;
  if (state_ == State::Browse) return true;
  if (state_ == State::Edit) {
    if (modified_ && !file_->update(editRecord_, buffer_.data())) return fail(file_->errorString());
    current_ = editRecord_;
  } else {
    const auto added = file_->append(buffer_.data());
    if (!added) return fail(file_->errorString());
    current_ = *added;
  }
  state_ = State::Browse;
  buffer_.clear();
  modified_ = false;
  editRecord_ = -1;
  eof_ = bof_ = false;
  announce();
  return true;
}

void Table::cancel() {
  if (state_ != State::Edit && state_ != State::Insert) return;
  state_ = State::Browse;
  buffer_.clear();
  modified_ = false;
  editRecord_ = -1;
  if (current_ >= 0 && !file_->holdsLive(current_)) current_ = -1;
  if (current_ < 0 && !view_.empty()) current_ = view_.front();
  eof_ = bof_ = view_.empty();
  announce();
}

bool Table::leaveRecord() {
  switch (state_) {
    case State::Closed:
    case State::Browse:
      return true;
    case State::Edit:
    case State::Insert:
      if (modified_) return post();
      cancel();
      return true;
  }
  return true;
}

bool Table::deleteRecord() {
  if (!requireOpen()) return false;
  if (state_ == State::Insert) {
    cancel();
    return true;
  }
  if (state_ == State::Edit) cancel();
  if (current_ < 0 || row() < 0) return fail(QStringLiteral("表文件 %1 没有可删除的当前记录").arg(displayName_));
  return file_->markDeleted(current_) || fail(file_->errorString());
}

void Table::toFirst() {
  current_ = view_.empty() ? -1 : view_.front();
  bof_ = true;
  eof_ = view_.empty();
}

void Table::placeOn(std::int64_t record) {
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return;
  }
  std::size_t p = record < 0 ? 0 : view_.lowerBound(record);
  if (p >= view_.size()) p = view_.size() - 1;
  current_ = view_[p];
  eof_ = bof_ = false;
}

void Table::stayOn(std::int64_t record) {
  if (file_->holdsLive(record)) {
    current_ = record;
    eof_ = bof_ = false;
  } else {
    placeOn(-1);
  }
}

bool Table::setNaturalOrder() {
  if (!requireOpen() || !leaveRecord()) return false;
  const std::int64_t was = current_;
  view_.setNaturalOrder();
  placeOn(was);
  announce();
  return true;
}

bool Table::setOrder(const QString& field) {
  if (!requireOpen() || !leaveRecord()) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2，不能按它排序").arg(displayName_, field));
  const std::int64_t was = current_;
  view_.setOrder(index);
  stayOn(was);
  announce();
  return true;
}

bool Table::setIndexTag(const QString& tag) {
  if (!requireOpen()) return false;
  // Every tag of the tables is named after the field it orders by.
  if (fieldIndex(tag) < 0) return fail(QStringLiteral("表文件 %1 没有索引标记 %2").arg(displayName_, tag));
  return setOrder(tag);
}

QString Table::orderField() const { return (isOpen() && view_.orderField() >= 0) ? fieldAt(view_.orderField()).name : QString(); }

std::optional<RecordKey> Table::keyFor(const QVariant& value) {
  auto key = store::keyFor(fieldAt(view_.orderField()), value, displayName_);
  if (!key) {
    fail(key.error());
    return std::nullopt;
  }
  return std::move(key).value();
}

bool Table::findKey(const QVariant& key) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.orderField() < 0) return fail(QStringLiteral("表文件 %1 没有选用索引，不能按关键字查找").arg(displayName_));
  const auto k = keyFor(key);
  if (!k) return false;
  const auto found = view_.find(*k);
  error_.clear();
  if (!found) return false;
  current_ = *found;
  eof_ = bof_ = false;
  announce();
  return true;
}

bool Table::setRange(const QVariant& low, const QVariant& high) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.orderField() < 0) return fail(QStringLiteral("表文件 %1 没有选用索引，不能设定范围").arg(displayName_));
  const auto lo = keyFor(low);
  if (!lo) return false;
  const auto hi = keyFor(high);
  if (!hi) return false;
  view_.setRange(*lo, *hi, low, high);
  toFirst();
  announce();
  return true;
}

bool Table::cancelRange() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (!view_.hasRange()) return true;
  const std::int64_t was = current_;
  view_.cancelRange();
  stayOn(was);
  announce();
  return true;
}

// --- Changes made through any cursor ----------------------------------------------------

void Table::recordChanged(std::int64_t record, TableFile::Change change) {
  switch (change) {
    case TableFile::Change::Appended:
      view_.appended(record);
      break;
    case TableFile::Change::Updated:
      view_.updated(record);
      break;
    case TableFile::Change::Deleted:
      recordDeleted(record);
      break;
    case TableFile::Change::Reloaded:
    case TableFile::Change::Repacked:
      recordsReplaced(change);
      break;
  }
  announce();
}

void Table::recordDeleted(std::int64_t record) {
  const auto p = view_.erase(record);
  if (current_ != record) return;
  if (!p) {
    current_ = -1;
  } else if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
  } else {
    // On to the next record, or the previous one at the end.
    current_ = view_[std::min(*p, view_.size() - 1)];
    eof_ = bof_ = false;
  }
}

void Table::recordsReplaced(TableFile::Change change) {
  if (state_ == State::Edit || state_ == State::Insert) {
    state_ = State::Browse;
    buffer_.clear();
    modified_ = false;
  }
  const std::int64_t was = change == TableFile::Change::Reloaded ? current_ : -1;
  view_.rebuild();
  if (file_->holdsLive(was) && row() >= 0) {
    current_ = was;
  } else {
    toFirst();
  }
}

// --- Display ------------------------------------------------------------------------

void Table::announce() {
  if (disabled_ > 0) {
    pending_ = true;
    return;
  }
  emit changed();
}

void Table::disableControls() { ++disabled_; }

void Table::enableControls() {
  if (disabled_ == 0) return;
  if (--disabled_ == 0 && pending_) {
    pending_ = false;
    emit changed();
  }
}

// --- Maintenance --------------------------------------------------------------------

bool Table::pack() {
  mendReport_.clear();
  if (!requireOpen() || !leaveRecord()) return false;
  if (!isExclusive()) return fail(QStringLiteral("表文件 %1 没有独占打开，不能整理").arg(displayName_));
  // The other cursors of this program step aside: their changes are posted
  // first, and they find the packed records afterwards.
  if (!file_->settleCursors(this) || !file_->pack()) return fail(file_->errorString());
  if (!file_->mended().isEmpty()) {
    mendReport_ = QStringLiteral("表文件 %1 的表头与文件内容不符，已按文件本身的结构修复：%2。")
                      .arg(displayName_, file_->mended().join(QStringLiteral("；")));
  }
  return true;
}

bool Table::rewrite(const std::vector<QByteArray>& records, bool keepRecords) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (!file_->settleCursors(this) || !file_->rewrite(records, keepRecords)) return fail(file_->errorString());
  return true;
}

bool Table::settle() { return leaveRecord(); }

}  // namespace tessaro::store
