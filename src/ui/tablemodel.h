// A grid's model over one table cursor: the rows of the table in its current
// order and range, the fields of the grid's columns in design order. The
// cursor's current record is the grid's current row; edits go into the
// current record and are posted when the row is left.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <vector>

#include "store/table.h"

namespace tessaro::ui {

// One grid column as designed.
struct GridColumn {
  QString field;
  int width = 64;          // pixels; 0: hidden; -1: the toolkit's default
  QColor cell;             // invalid: the grid's own colour
  QColor text;
  bool bold = false;
  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
  QColor title;            // title background
  QColor titleText;
  bool titleCentred = false;
  QString caption;         // fixed caption; the model's caption source overrides it
};

class TableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `reportError` receives the message of a failed edit or post.
  TableModel(store::Table& table, std::vector<GridColumn> columns, QObject* parent = nullptr);

  store::Table& table() const { return table_; }
  const GridColumn& column(int c) const { return columns_[std::size_t(c)]; }
  int columnOf(const QString& field) const;
  void setCaptionSource(std::function<QStringList()> source) { captions_ = std::move(source); }
  // The title text colour of a column by its field, when it differs from the
  // column's own (an invalid colour keeps the column's).
  void setTitleColourSource(std::function<QColor(const QString& field)> source) { titleColours_ = std::move(source); }
  void setErrorHandler(std::function<void(const QString&)> handler) { onError_ = std::move(handler); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The text of `field` in row `row` as the grid shows it.
  QString text(int row, const QString& field) const;
  // Row of the cursor's current record; -1 when there is none.
  int currentRow() const { return currentRow_; }
  // Moves the cursor to `row` (posting a changed record). False, after
  // reporting, when the record could not be posted.
  bool moveTo(int row);

  // Navigator actions on the cursor; each reports its own failure.
  bool first();
  bool prior();
  bool next();
  bool last();
  bool insert();
  bool remove();
  bool post();
  void cancel();

  // Reads the table again (the cursor stays where it is).
  void reload();
  void refreshHeaders();

 signals:
  // The cursor moved to another row (or the rows were read again).
  void currentRowChanged(int row);

 private:
  bool check(bool ok);
  void readRows();
  QString cellText(const QString& field) const;

  store::Table& table_;
  std::vector<GridColumn> columns_;
  std::vector<QStringList> rows_;  // texts by row, then column
  int currentRow_ = -1;
  bool reading_ = false;
  bool reloadPosted_ = false;
  std::function<QStringList()> captions_;
  std::function<QColor(const QString&)> titleColours_;
  std::function<void(const QString&)> onError_;
};

}  // namespace tessaro::ui
