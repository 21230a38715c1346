// The grid model of a library window. It reads the cells it is asked for
// through a reading cursor of its own that follows the window cursor's order
// and range, so that a repaint reads the visible rows only, whatever the size
// of the library. The record being edited or inserted is read from the
// window's cursor, which holds the typed values before they are posted.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>

#include "app/library.h"
#include "store/table.h"

namespace tessaro::app {
class Prompter;
}

namespace tessaro::ui {

class LibraryModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Failures of edits are reported through `prompter`.
  LibraryModel(app::Library& library, app::Prompter& prompter, QObject* parent = nullptr);

  app::Library& library() const { return library_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The text of grid position `column` in row `row`, as the grid shows it.
  QString text(int row, int column) const;
  // The NAME of row `row`.
  QString name(int row) const;
  // Row of the window cursor's record; -1 when there is none.
  int currentRow() const;
  // Moves the window cursor to the record of row `row`, posting a changed
  // record first. False, after reporting, when that record cannot be posted.
  bool moveToRow(int row);
  // Whether the last text typed into a cell was refused.
  bool lastEditFailed() const { return editFailed_; }

  // Follows the window cursor after a command: a new row count or filter
  // resets the grid, anything else repaints it.
  void sync();
  // The titles changed (captions, red marks).
  void titlesChanged();

 signals:
  // The window cursor moved or the rows were read again.
  void cursorMoved(int row);

 private:
  store::Table* table() const { return library_.table(); }
  bool inserting() const;
  // Moves the reading cursor to the record shown in `row`; false for the
  // row of a new record (read from the window cursor) or a row out of range.
  bool readerOn(int row) const;
  // The cursor that holds row `row`'s values; nullptr when there is none.
  const store::Table* source(int row) const;
  void followFilter();
  QString readText(const store::Table& from, int column) const;
  // The texts of the row the reading cursor read last, so that the cells of
  // a row and their colours decode the record once per repaint.
  void forget() const { cachedRow_ = -1; }


  app::Library& library_;
  app::Prompter& prompter_;
  mutable store::Table reader_;
  int rows_ = 0;
  QString order_;
  std::optional<std::pair<int, int>> range_;
  bool editFailed_ = false;
  mutable int cachedRow_ = -1;
  mutable std::int64_t cachedRecord_ = -1;
  mutable QStringList cached_;
  mutable QString cachedName_;
};

}  // namespace tessaro::ui
