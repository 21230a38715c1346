// The cell delegate of every grid: draws a cell with the colours its model
// gives (a text colour that holds while selected, a dotted focus rectangle),
// opens a pick list on the columns that have one, keeps a cell open whose
// typed text the model refused (Enter or Tab; a click elsewhere opens it
// again with the text as typed), and runs a command on the Enter key after
// committing the typed text.
#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>

namespace tessaro::ui {

class GridModel;

class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

  // The editors of `columns` are pick lists of `items`.
  void setPickList(QList<int> columns, QStringList items);
  // The Enter key in a cell editor commits the text; a text the model
  // refuses keeps the cell open, otherwise the editor closes and `onEnter` runs.
  void setEnterHandler(std::function<void()> onEnter);

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Whether cells of text alone are painted by the delegate itself (the
  // default) rather than by the style; tests compare the two.
  static void setFastPainting(bool on) { fastPainting_ = on; }
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  static bool plainCell(const QStyleOptionViewItem& o);
  static bool paintPlainCell(QPainter* p, const QStyleOptionViewItem& o, QStyle* style);
  static bool fastPainting_;

  QList<int> pickColumns_;
  QStringList pickItems_;
  std::function<void()> onEnter_;
  // Opens the cell of `editor` again, once the view has closed it, with the
  // text `typed` into it.
  void reopen(QWidget* editor, const QModelIndex& index, const QString& typed) const;

  // Set while the typed text is committed: the box that reports a refusal
  // takes the focus, which must not commit the text again nor close the
  // editor. Whether it was refused.
  mutable bool committing_ = false;
  bool keyCommit_ = false;
  mutable bool refused_ = false;
  // The refused cell the view closed (by position: the rows may be read
  // again meanwhile), and its text, until it is open again.
  mutable int reopenRow_ = -1;
  mutable int reopenColumn_ = -1;
  mutable QString reopenText_;
  // The editor whose text is being committed or was refused: the rows read
  // again meanwhile (the box lets them) do not overwrite it.
  mutable QPointer<QWidget> heldEditor_;
};

}  // namespace tessaro::ui
