#include "ui/gridmodel.h"

#include <QBrush>
#include <QFont>

#include "core/format.h"

namespace tessaro::ui {

using store::Table;

namespace {

QBrush brush(const std::optional<app::Colour>& c) { return QBrush(toQColor(*c)); }

Qt::Alignment alignment(app::Align a, bool numeric) {
  switch (a) {
    case app::Align::Centre: return Qt::AlignCenter;
    case app::Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case app::Align::ByType: return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    case app::Align::Left: break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

GridModel::GridModel(store::Table* cursor, app::Grid grid, QObject* parent)
    : QAbstractTableModel(parent), cursor_(cursor), grid_(grid), columns_(app::gridColumns(grid)) {
  if (!cursor_) return;
  // The rows are read again once a command has finished, never in the
  // middle of its walk; what was read before is forgotten at once.
  connect(cursor_, &Table::changed, this, [this] {
    cache_.clear();
    if (syncPosted_) return;
    syncPosted_ = true;
    QMetaObject::invokeMethod(this, &GridModel::sync, Qt::QueuedConnection);
  });
  followCursor();
  rows_ = reader_.isOpen() ? reader_.recordCount() + (inserting() ? 1 : 0) : 0;
  // Only the weight: everything else comes from the view's font.
  bold_.setBold(true);
}

int GridModel::columnOf(const QString& field) const { return app::columnOf(grid_, field); }

bool GridModel::inserting() const { return open() && cursor_->state() == Table::State::Insert; }

bool GridModel::report(bool ok, const Table& t) const {
  if (!ok && onError_) onError_(t.errorString());
  return ok;
}

void GridModel::followCursor() {
  if (!open()) {
    if (reader_.isOpen()) reader_.close();
    numeric_.clear();
    return;
  }
  if (!reader_.isOpen() || reader_.filePath() != cursor_->filePath()) {
    reader_.close();
    numeric_.clear();
    if (!report(reader_.open(cursor_->filePath()), reader_)) return;
    // The reading cursor announces nothing: nobody listens to it.
    reader_.disableControls();
    for (const app::GridColumn& c : columns_) {
      const int f = reader_.fieldIndex(c.field);
      numeric_.push_back(f >= 0 && reader_.fieldAt(f).isNumeric());
    }
    order_.clear();
    range_.reset();
  }
  const QString order = cursor_->orderField();
  if (order != order_ || reader_.orderField() != order) {
    order.isEmpty() ? reader_.setNaturalOrder() : reader_.setOrder(order);
    order_ = order;
    range_.reset();
    reader_.cancelRange();
  }
  const Range range = cursor_->range();
  if (range != range_) {
    range ? reader_.setRange(range->first, range->second) : reader_.cancelRange();
    range_ = range;
  }
}

void GridModel::sync() {
  syncPosted_ = false;
  cache_.clear();
  const Range oldRange = range_;
  const QString oldOrder = order_;
  followCursor();
  const int rows = reader_.isOpen() ? reader_.recordCount() + (inserting() ? 1 : 0) : 0;
  if (rows != rows_ || range_ != oldRange || order_ != oldOrder) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
  }
  emit currentRowChanged(currentRow());
}

void GridModel::refreshHeaders() {
  if (!columns_.empty()) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

int GridModel::currentRow() const { return open() ? cursor_->row() : -1; }

bool GridModel::readerOn(int row) const {
  if (!reader_.isOpen() || row < 0 || row >= reader_.recordCount()) return false;
  return reader_.moveTo(row);
}

const Table* GridModel::source(int row, int* readerRow) const {
  if (!open() || row < 0) return nullptr;
  int r = row;
  if (cursor_->state() == Table::State::Insert) {
    const int at = cursor_->row();
    if (row == at) return cursor_;
    if (row > at) --r;
  } else if (cursor_->state() == Table::State::Edit && row == cursor_->row()) {
    return cursor_;
  }
  if (!reader_.isOpen() || r >= reader_.recordCount()) return nullptr;
  *readerRow = r;
  return &reader_;
}

QString GridModel::readText(const Table& from, int column) const {
  const QString& field = columns_[std::size_t(column)].field;
  const int f = from.fieldIndex(field);
  if (f < 0) return QString();
  bool ok = true;
  if (from.fieldAt(f).isNumeric()) {
    // Numbers show as the value they hold, without the field's trailing zeros.
    const std::optional<double> v = from.value(f, &ok);
    if (ok) return v ? QString::fromStdString(core::formatGeneral(*v)) : QString();
  } else {
    const QString t = from.text(f, &ok);
    if (ok) return t;
  }
  // A field whose bytes are not of its type shows them as they are, so the
  // user can see and correct the damaged value.
  return QString::fromLatin1(from.rawBytes(field)).trimmed();
}

const QStringList* GridModel::cachedRow(int readerRow) const {
  const auto found = cache_.constFind(readerRow);
  if (found != cache_.constEnd()) return &found.value();
  if (!readerOn(readerRow)) return nullptr;
  QStringList texts;
  texts.reserve(columnCount());
  for (int c = 0; c < columnCount(); ++c) texts << readText(reader_, c);
  // Rows shown lately are kept, not every row ever shown of a large table.
  if (cache_.size() >= kCachedRows) cache_.clear();
  return &cache_.insert(readerRow, texts).value();
}

QString GridModel::text(int row, int column) const {
  if (column < 0 || column >= columnCount()) return QString();
  int r = -1;
  const Table* s = source(row, &r);
  if (!s) return QString();
  if (s != &reader_) return readText(*s, column);
  const QStringList* texts = cachedRow(r);
  return texts ? texts->at(column) : QString();
}

QString GridModel::text(int row, const QString& field) const { return text(row, columnOf(field)); }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  QModelRoleData one(role);
  multiData(index, one);
  return one.data();
}

void GridModel::multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const {
  const bool valid = index.isValid() && index.row() < rowCount() && index.column() < columnCount();
  std::optional<CellStyle> style;
  for (QModelRoleData& d : roleDataSpan) {
    d.clearData();
    if (!valid) continue;
    const int role = d.role();
    const std::size_t column = std::size_t(index.column());
    const app::GridColumn& c = columns_[column];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
      d.setData(text(index.row(), index.column()));
    } else if (role == Qt::TextAlignmentRole) {
      d.setData(int(alignment(c.align, column < numeric_.size() && numeric_[column])));
    } else if (role == Qt::BackgroundRole || role == Qt::ForegroundRole || role == Qt::FontRole ||
               role == SelectedTextRole || role == FocusRectangleRole) {
      if (!style) {
        style.emplace();
        if (styler_) styler_(index.row(), index.column(), *style);
      }
      d.setData(cellRole(c, *style, role));
    }
  }
}

QVariant GridModel::cellRole(const app::GridColumn& c, const CellStyle& style, int role) const {
  switch (role) {
    case Qt::BackgroundRole:
      if (style.background.isValid()) return QBrush(style.background);
      return c.cell ? QVariant(brush(c.cell)) : QVariant();
    case Qt::ForegroundRole:
      if (style.text.isValid()) return QBrush(style.text);
      return c.text ? QVariant(brush(c.text)) : QVariant();
    case Qt::FontRole:
      return c.bold || style.bold ? QVariant(bold_) : QVariant();
    case SelectedTextRole:
      return style.textWhenSelected && style.text.isValid() ? QVariant(style.text) : QVariant();
    default:
      return style.focusRectangle;
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    // The row indicator: the current record, and a new one being typed.
    if (role != Qt::DisplayRole) return {};
    if (section != currentRow()) return QString();
    return newRecordMark_ && inserting() ? QStringLiteral("*") : QStringLiteral("▸");
  }
  if (section < 0 || section >= columnCount()) return {};
  return titleRole(section, role);
}

QVariant GridModel::titleRole(int section, int role) const {
  const app::GridColumn& c = columns_[std::size_t(section)];
  switch (role) {
    case Qt::DisplayRole: {
      if (captions_) {
        const QStringList captions = captions_();
        return section < captions.size() ? captions[section] : QString();
      }
      return c.caption.fixed.isEmpty() ? c.field : c.caption.fixed;
    }
    case Qt::BackgroundRole:
      return c.title ? QVariant(brush(c.title)) : QVariant();
    case Qt::ForegroundRole: {
      const QColor marked = titleColours_ ? titleColours_(section) : QColor();
      if (marked.isValid()) return QBrush(marked);
      return c.titleText ? QVariant(brush(c.titleText)) : QVariant();
    }
    case Qt::TextAlignmentRole:
      return int(c.titleCentred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
    default:
      return {};
  }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (open() && !cursor_->isReadOnly()) f |= Qt::ItemIsEditable;
  return f;
}

bool GridModel::moveTo(int row) {
  if (!open() || row < 0 || row >= rows_) return false;
  if (row == cursor_->row()) return true;
  // Find the record of the row before the cursor leaves its own: posting a
  // new record moves the rows after it.
  int r = row;
  if (cursor_->state() == Table::State::Insert && row > cursor_->row()) --r;
  if (!readerOn(r)) return false;
  const Table::Bookmark mark = reader_.bookmark();
  if (cursor_->state() != Table::State::Browse) {
    if (cursor_->isModified()) {
      if (!report(cursor_->post(), *cursor_)) return false;
    } else {
      cursor_->cancel();
    }
  }
  return report(cursor_->gotoBookmark(mark), *cursor_);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() >= columnCount()) return false;
  editFailed_ = true;
  cache_.clear();
  if (!open() || !moveTo(index.row())) return false;
  const QString field = columns_[std::size_t(index.column())].field;
  const QString typed = value.toString();
  if (typed.trimmed() == text(index.row(), index.column()) || typed.trimmed() == cursor_->text(field)) {
    editFailed_ = false;
    return true;
  }
  if (cursor_->state() == Table::State::Browse && !report(cursor_->edit(), *cursor_)) return false;
  if (!report(cursor_->setTypedText(field, typed), *cursor_)) return false;
  editFailed_ = false;
  const int row = cursor_->row();
  if (row >= 0 && row < rows_) emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
  return true;
}

bool GridModel::first() { return open() && report(cursor_->first(), *cursor_); }
bool GridModel::prior() { return open() && report(cursor_->prior(), *cursor_); }
bool GridModel::next() { return open() && report(cursor_->next(), *cursor_); }
bool GridModel::last() { return open() && report(cursor_->last(), *cursor_); }

bool GridModel::insert() {
  if (!open() || !report(cursor_->insert(), *cursor_)) return false;
  sync();
  return true;
}

bool GridModel::remove() {
  if (!open() || (cursor_->recordCount() == 0 && cursor_->state() == Table::State::Browse)) return false;
  return report(cursor_->deleteRecord(), *cursor_);
}

bool GridModel::post() {
  if (!open() || cursor_->state() == Table::State::Browse) return false;
  const bool ok = report(cursor_->post(), *cursor_);
  sync();
  return ok;
}

void GridModel::cancel() {
  if (!open()) return;
  cursor_->cancel();
  sync();
}

}  // namespace tessaro::ui
