// The model of every grid: the rows of a window's table cursor in the
// cursor's order and range, the fields of the grid's columns as app
// describes them. It reads the rows it is asked for through a reading cursor
// of its own that follows the window cursor's order and range, and keeps the
// texts of the rows it read until the table changes, so that a repaint reads
// the visible rows only, whatever the size of the table. The record being
// edited or inserted is read from the window cursor, which holds the typed
// values before they are posted. The window cursor's current record is the
// grid's current row; edits go into it and are posted when the row is left.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/gridcolumns.h"
#include "store/table.h"

namespace tessaro::ui {

inline QColor toQColor(const app::Colour& c) { return QColor(c.r, c.g, c.b); }

// Roles beyond Qt's that the grid delegate reads.
enum GridRole {
  // The cell's text colour also while the cell is selected (a QColor).
  SelectedTextRole = Qt::UserRole + 1,
  // A dotted rectangle on the cell before its text (a bool).
  FocusRectangleRole,
};

// How a cell is drawn where it differs from its column; unset colours keep the column's.
struct CellStyle {
  QColor background;
  QColor text;
  bool bold = false;
  bool focusRectangle = false;
  bool textWhenSelected = false;  // the text colour holds for a selected cell too
};

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using Range = std::optional<std::pair<QVariant, QVariant>>;

  // `cursor` may be null (a table that did not open: the grid stays empty).
  GridModel(store::Table* cursor, app::Grid grid, QObject* parent = nullptr);

  store::Table* cursor() const { return cursor_; }
  const app::GridColumn& column(int c) const { return columns_[std::size_t(c)]; }
  int columnOf(const QString& field) const;

  // The titles by position; without a source the columns' fixed titles.
  void setCaptionSource(std::function<QStringList()> source) { captions_ = std::move(source); }
  // The title text colour of a column where it differs from the column's own
  // (an invalid colour keeps the column's).
  void setTitleColourSource(std::function<QColor(int column)> source) { titleColours_ = std::move(source); }
  // The look of the cells of a row where it differs from their columns.
  void setCellStyler(std::function<void(int row, int column, CellStyle&)> styler) { styler_ = std::move(styler); }
  // Receives the message of a failed read, edit, move or post.
  void setErrorHandler(std::function<void(const QString&)> handler) { onError_ = std::move(handler); }
  // Whether the row indicator marks a new record with "*" rather than "▸".
  void setNewRecordMark(bool on) { newRecordMark_ = on; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // All the roles a cell is drawn with at once: its row's look is asked once.
  void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The text of grid position `column` (or of `field`) in row `row`, as the grid shows it.
  QString text(int row, int column) const;
  QString text(int row, const QString& field) const;
  QString name(int row) const { return text(row, QStringLiteral("NAME")); }
  // Row of the window cursor's record; -1 when there is none.
  int currentRow() const;
  // Moves the window cursor to the record of row `row`, posting a changed
  // record first. False, after reporting, when that record cannot be posted.
  bool moveTo(int row);
  // Whether the last text typed into a cell was refused.
  bool lastEditFailed() const { return editFailed_; }

  // Navigator actions on the window cursor; each reports its own failure.
  bool first();
  bool prior();
  bool next();
  bool last();
  bool insert();
  bool remove();
  bool post();
  void cancel();

  // Follows the window cursor: a new row count, order or range resets the
  // grid, anything else repaints it.
  void sync();
  // The titles changed (captions, colours).
  void refreshHeaders();

 signals:
  // The window cursor moved or the rows were read again.
  void currentRowChanged(int row);

 private:
  bool open() const { return cursor_ && cursor_->isOpen(); }
  bool inserting() const;
  bool report(bool ok, const store::Table& t) const;
  void followCursor();
  // Moves the reading cursor to its row `row`; false for a row out of range.
  bool readerOn(int row) const;
  // The cursor that holds grid row `row`'s values: the window cursor for the
  // record being edited or inserted, else the reading cursor, whose row for
  // it goes to `readerRow`; nullptr when there is none.
  const store::Table* source(int row, int* readerRow) const;
  QString readText(const store::Table& from, int column) const;
  // The texts of the reading cursor's row `row`, read once until the table changes.
  const QStringList* cachedRow(int readerRow) const;
  QVariant cellRole(const app::GridColumn& c, const CellStyle& style, int role) const;
  QVariant titleRole(int section, int role) const;

  store::Table* cursor_;
  app::Grid grid_;
  const std::vector<app::GridColumn>& columns_;
  std::vector<bool> numeric_;  // by column: its field holds numbers in the open file
  mutable store::Table reader_;
  int rows_ = 0;
  QString order_;
  Range range_;
  bool editFailed_ = false;
  bool syncPosted_ = false;
  bool newRecordMark_ = false;
  mutable QHash<int, QStringList> cache_;  // by the reading cursor's row
  static constexpr qsizetype kCachedRows = 2048;
  QFont bold_;
  std::function<QStringList()> captions_;
  std::function<QColor(int)> titleColours_;
  std::function<void(int, int, CellStyle&)> styler_;
  std::function<void(const QString&)> onError_;
};

}  // namespace tessaro::ui
