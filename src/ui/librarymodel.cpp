#include "ui/librarymodel.h"

#include <QColor>
#include <QFont>

#include "app/prompter.h"
#include "core/format.h"

namespace tessaro::ui {

namespace {

QColor qcolour(const app::Colour& c) { return QColor(c.r, c.g, c.b); }

}  // namespace

LibraryModel::LibraryModel(app::Library& library, app::Prompter& prompter, QObject* parent)
    : QAbstractTableModel(parent), library_(library), prompter_(prompter) {
  if (store::Table* t = table()) {
    if (reader_.open(t->filePath())) {
      // The reading cursor announces nothing: nobody listens to it.
      reader_.disableControls();
      followFilter();
      connect(t, &store::Table::changed, this, [this] { forget(); });
      rows_ = reader_.recordCount() + (inserting() ? 1 : 0);
    } else {
      prompter_.warning(reader_.errorString());
    }
  }
}

bool LibraryModel::inserting() const {
  const store::Table* t = table();
  return t && t->state() == store::Table::State::Insert;
}

void LibraryModel::followFilter() {
  store::Table* t = table();
  if (!t || !reader_.isOpen()) return;
  const QString order = t->orderField();
  if (order != order_ || reader_.orderField() != order) {
    order.isEmpty() ? reader_.setNaturalOrder() : reader_.setOrder(order);
    order_ = order;
    range_.reset();
    reader_.cancelRange();
  }
  const auto range = library_.filterRange();
  if (range != range_) {
    if (range) {
      reader_.setRange(range->first, range->second);
    } else {
      reader_.cancelRange();
    }
    range_ = range;
  }
}

void LibraryModel::sync() {
  forget();
  const auto oldRange = range_;
  const QString oldOrder = order_;
  followFilter();
  const int rows = reader_.isOpen() ? reader_.recordCount() + (inserting() ? 1 : 0) : 0;
  if (rows != rows_ || range_ != oldRange || order_ != oldOrder) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
  } else if (rows_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
  }
  emit cursorMoved(currentRow());
}

void LibraryModel::titlesChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }

int LibraryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int LibraryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : library_.traits().columnCount();
}

int LibraryModel::currentRow() const {
  const store::Table* t = table();
  return t ? t->row() : -1;
}

bool LibraryModel::readerOn(int row) const {
  if (!reader_.isOpen() || row < 0 || row >= reader_.recordCount()) return false;
  return reader_.row() == row || reader_.moveTo(row);
}

const store::Table* LibraryModel::source(int row) const {
  const store::Table* t = table();
  if (!t || row < 0) return nullptr;
  int r = row;
  if (t->state() == store::Table::State::Insert) {
    const int at = t->row();
    if (row == at) return t;
    if (row > at) --r;
  } else if (t->state() == store::Table::State::Edit && row == t->row()) {
    return t;
  }
  return readerOn(r) ? &reader_ : nullptr;
}

QString LibraryModel::readText(const store::Table& from, int column) const {
  const QString& field = library_.traits().columns[column].field;
  const int f = from.fieldIndex(field);
  if (f < 0 || !from.fieldAt(f).isNumeric()) return from.text(field);
  // Numbers as the grid shows them: without the field's trailing zeros.
  bool ok = true;
  const std::optional<double> v = from.value(field, &ok);
  if (!ok) return from.text(field);
  return v ? QString::fromStdString(core::formatGeneral(*v)) : QString();
}

QString LibraryModel::text(int row, int column) const {
  if (column < 0 || column >= columnCount()) return QString();
  const store::Table* s = source(row);
  if (!s) return QString();
  if (s != &reader_) return readText(*s, column);
  if (row == cachedRow_ && reader_.recordNumber() == cachedRecord_) return cached_[column];
  cached_.clear();
  for (int c = 0; c < columnCount(); ++c) cached_ << readText(*s, c);
  cachedName_ = s->text(QStringLiteral("NAME"));
  cachedRow_ = row;
  cachedRecord_ = reader_.recordNumber();
  return cached_[column];
}

QString LibraryModel::name(int row) const {
  const store::Table* s = source(row);
  if (s == &reader_ && row == cachedRow_ && reader_.recordNumber() == cachedRecord_) return cachedName_;
  return s ? s->text(QStringLiteral("NAME")) : QString();
}

QVariant LibraryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= columnCount()) return {};
  const app::LibraryColumn& column = library_.traits().columns[index.column()];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return text(index.row(), index.column());
    case Qt::BackgroundRole: {
      const app::RowStyle style = app::rowStyle(name(index.row()));
      if (style.category) return qcolour(style.background);
      if (column.cellColour) return qcolour(*column.cellColour);
      return {};
    }
    case Qt::ForegroundRole: {
      const app::RowStyle style = app::rowStyle(name(index.row()));
      if (style.category) return qcolour(style.text);
      if (column.textColour) return qcolour(*column.textColour);
      return {};
    }
    case Qt::FontRole: {
      if (!app::rowStyle(name(index.row())).bold) return {};
      QFont f;
      f.setBold(true);
      return f;
    }
    case Qt::TextAlignmentRole: {
      if (column.cellsCentred) return int(Qt::AlignCenter);
      const store::Table* t = table();
      const int f = t ? t->fieldIndex(column.field) : -1;
      if (f >= 0 && t->fieldAt(f).isNumeric()) return int(Qt::AlignRight | Qt::AlignVCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
      return {};
  }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    // The row indicator: the current record, and a new one being typed.
    if (role != Qt::DisplayRole || section != currentRow()) return {};
    return inserting() ? QStringLiteral("*") : QStringLiteral("▸");
  }
  if (section < 0 || section >= columnCount()) return {};
  const app::LibraryColumn& column = library_.traits().columns[section];
  switch (role) {
    case Qt::DisplayRole:
      return section < library_.captions().size() ? library_.captions()[section] : QString();
    case Qt::BackgroundRole:
      if (column.titleColour) return qcolour(*column.titleColour);
      return {};
    case Qt::ForegroundRole:
      if (library_.titleRed(section)) return QColor(Qt::red);
      return {};
    case Qt::TextAlignmentRole:
      return int((column.titleCentred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
      return {};
  }
}

Qt::ItemFlags LibraryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  const store::Table* t = table();
  if (t && !t->isReadOnly()) f |= Qt::ItemIsEditable;
  return f;
}

bool LibraryModel::moveToRow(int row) {
  store::Table* t = table();
  if (!t || row < 0 || row >= rows_) return false;
  if (row == t->row()) return true;
  // Find the record of the row before the cursor leaves its own: posting a
  // new record moves the rows after it.
  int r = row;
  if (t->state() == store::Table::State::Insert && row > t->row()) --r;
  if (!readerOn(r)) return false;
  const store::Table::Bookmark mark = reader_.bookmark();
  if (t->state() != store::Table::State::Browse) {
    if (t->isModified()) {
      if (!t->post()) {
        prompter_.warning(t->errorString());
        return false;
      }
    } else {
      t->cancel();
    }
  }
  if (!t->gotoBookmark(mark)) {
    prompter_.warning(t->errorString());
    return false;
  }
  return true;
}

bool LibraryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() >= columnCount()) return false;
  editFailed_ = true;
  forget();
  store::Table* t = table();
  if (!t || !moveToRow(index.row())) return false;
  const QString field = library_.traits().columns[index.column()].field;
  const QString typed = value.toString();
  if (typed.trimmed() == text(index.row(), index.column()) || typed.trimmed() == t->text(field)) {
    editFailed_ = false;
    return true;
  }
  if (t->state() == store::Table::State::Browse && !t->edit()) {
    prompter_.warning(t->errorString());
    return false;
  }
  if (!t->setText(field, typed)) {
    prompter_.warning(t->errorString());
    return false;
  }
  editFailed_ = false;
  const int row = t->row();
  if (row >= 0 && row < rows_) emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
  return true;
}

}  // namespace tessaro::ui
