#include "tablemodel.h"

#include "core/format.h"

#include <QBrush>
#include <QFont>

namespace tessaro::ui {

TableModel::TableModel(store::Table& table, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
  // A command may walk the table record by record: the rows are read again
  // once it has finished, never in the middle of its walk.
  connect(&table_, &store::Table::changed, this, [this] {
    if (reloadPosted_ || reading_) return;
    reloadPosted_ = true;
    QMetaObject::invokeMethod(this, &TableModel::reload, Qt::QueuedConnection);
  });
  readRows();
}

int TableModel::columnOf(const QString& field) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0) return int(i);
  }
  return -1;
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int TableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QString TableModel::cellText(const QString& field) const {
  if (table_.fieldIndex(field) < 0) return QString();
  bool ok = true;
  const QString t = table_.text(field, &ok);
  // A field whose bytes are not of its type shows them as they are, so the
  // user can see and correct the damaged value.
  if (!ok) return QString::fromLatin1(table_.rawBytes(field)).trimmed();
  // Numbers show as the value they hold, without the field's trailing zeros.
  if (table_.fieldAt(table_.fieldIndex(field)).isNumeric()) {
    const auto v = table_.value(field);
    return v ? QString::fromStdString(core::formatGeneral(*v)) : QString();
  }
  return t;
}

void TableModel::readRows() {
  std::vector<QStringList> rows;
  int current = -1;
  if (table_.isOpen()) {
    if (table_.state() == store::Table::State::Browse) {
      reading_ = true;
      const int here = table_.row();
      const bool atEnd = table_.eof() && table_.recordCount() > 0, atStart = table_.bof() && !atEnd;
      table_.disableControls();
      if (table_.recordCount() > 0 && table_.first()) {
        while (!table_.eof()) {
          QStringList r;
          for (const GridColumn& c : columns_) r << cellText(c.field);
          rows.push_back(r);
          if (!table_.next()) break;
        }
      }
      if (here >= 0) table_.moveTo(here);
      // The cursor keeps its end-of-table and start-of-table state.
      if (atEnd) table_.next();
      else if (atStart && here >= 0) table_.prior();
      current = table_.row();
      table_.enableControls();
      reading_ = false;
    } else {
      // A record is being edited: only its row can be read without posting it.
      rows = rows_;
      current = table_.row();
      const bool inserting = table_.state() == store::Table::State::Insert;
      if (inserting && int(rows.size()) == table_.recordCount() && current >= 0 && current <= int(rows.size())) {
        rows.insert(rows.begin() + current, QStringList());
      }
      if (current >= 0 && current < int(rows.size())) {
        QStringList r;
        for (const GridColumn& c : columns_) r << cellText(c.field);
        rows[std::size_t(current)] = r;
      }
    }
  }
  if (rows.size() == rows_.size()) {
    rows_ = std::move(rows);
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  } else {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
  }
  const int old = currentRow_;
  currentRow_ = current;
  if (old != current) emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
  emit currentRowChanged(current);
}

void TableModel::reload() {
  reloadPosted_ = false;
  if (reading_) return;
  readRows();
}

void TableModel::refreshHeaders() {
  if (!columns_.empty()) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString TableModel::text(int row, const QString& field) const {
  const int c = columnOf(field);
  if (row < 0 || row >= rowCount() || c < 0) return QString();
  const QStringList& r = rows_[std::size_t(row)];
  return c < r.size() ? r[c] : QString();
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const GridColumn& c = columns_[std::size_t(index.column())];
  const QStringList& r = rows_[std::size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return index.column() < r.size() ? r[index.column()] : QString();
    case Qt::BackgroundRole:
      if (c.cell.isValid()) return QBrush(c.cell);
      return {};
    case Qt::ForegroundRole:
      if (c.text.isValid()) return QBrush(c.text);
      return {};
    case Qt::FontRole:
      if (c.bold) {
        QFont f;
        f.setBold(true);
        return f;
      }
      return {};
    case Qt::TextAlignmentRole:
      return int(c.align);
    default:
      return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    // The row indicator marks the current record.
    if (role == Qt::DisplayRole) return section == currentRow_ ? QStringLiteral("▸") : QString();
    return {};
  }
  if (section < 0 || section >= columnCount()) return {};
  const GridColumn& c = columns_[std::size_t(section)];
  switch (role) {
    case Qt::DisplayRole: {
      if (captions_) {
        const QStringList captions = captions_();
        if (section < captions.size()) return captions[section];
      }
      return c.caption.isEmpty() ? c.field : c.caption;
    }
    case Qt::BackgroundRole:
      if (c.title.isValid()) return QBrush(c.title);
      return {};
    case Qt::ForegroundRole:
      if (titleColours_) {
        const QColor override = titleColours_(c.field);
        if (override.isValid()) return QBrush(override);
      }
      if (c.titleText.isValid()) return QBrush(c.titleText);
      return {};
    case Qt::TextAlignmentRole:
      return int(c.titleCentred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
    default:
      return {};
  }
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (table_.isOpen() && !table_.isReadOnly()) f |= Qt::ItemIsEditable;
  return f;
}

bool TableModel::check(bool ok) {
  if (!ok && onError_) onError_(table_.errorString());
  return ok;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !table_.isOpen()) return false;
  const QString field = columns_[std::size_t(index.column())].field;
  if (value.toString() == text(index.row(), field) && table_.state() == store::Table::State::Browse) return true;
  if (!moveTo(index.row())) return false;
  if (table_.state() == store::Table::State::Browse && !check(table_.edit())) return false;
  if (!check(table_.setText(field, value.toString()))) return false;
  readRows();
  return true;
}

bool TableModel::moveTo(int row) {
  if (!table_.isOpen() || row < 0) return false;
  if (row == table_.row()) return true;
  return check(table_.moveTo(row));
}

bool TableModel::first() { return table_.isOpen() && check(table_.first()); }
bool TableModel::prior() { return table_.isOpen() && check(table_.prior()); }
bool TableModel::next() { return table_.isOpen() && check(table_.next()); }
bool TableModel::last() { return table_.isOpen() && check(table_.last()); }
bool TableModel::insert() { return table_.isOpen() && check(table_.insert()) && (readRows(), true); }
bool TableModel::remove() {
  if (!table_.isOpen() || (table_.recordCount() == 0 && table_.state() == store::Table::State::Browse)) return false;
  return check(table_.deleteRecord());
}
bool TableModel::post() {
  if (!table_.isOpen() || table_.state() == store::Table::State::Browse) return false;
  const bool ok = check(table_.post());
  readRows();
  return ok;
}
void TableModel::cancel() {
  if (!table_.isOpen()) return;
  table_.cancel();
  readRows();
}

}  // namespace tessaro::ui
