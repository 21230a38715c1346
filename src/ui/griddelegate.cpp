#include "ui/griddelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "ui/gridmodel.h"

namespace tessaro::ui {

void GridDelegate::setPickList(QList<int> columns, QStringList items) {
  pickColumns_ = std::move(columns);
  pickItems_ = std::move(items);
}

void GridDelegate::setEnterHandler(GridModel* model, std::function<void()> onEnter) {
  enterModel_ = model;
  onEnter_ = std::move(onEnter);
}

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem o(option);
  initStyleOption(&o, index);
  const QVariant selectedText = index.data(SelectedTextRole);
  if (selectedText.isValid()) o.palette.setColor(QPalette::HighlightedText, selectedText.value<QColor>());
  if (index.data(FocusRectangleRole).toBool()) {
    p->save();
    p->fillRect(o.rect, o.backgroundBrush);
    p->setPen(QPen(Qt::black, 1, Qt::DotLine));
    p->drawRect(o.rect.adjusted(0, 0, -1, -1));
    p->restore();
  }
  const QWidget* w = o.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  if (!pickColumns_.contains(index.column())) return QStyledItemDelegate::createEditor(parent, option, index);
  auto* box = new QComboBox(parent);
  box->addItems(pickItems_);
  return box;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    const int i = box->findText(index.data(Qt::EditRole).toString());
    box->setCurrentIndex(std::max(i, 0));
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, box->currentText());
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
  if (onEnter_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      auto* editor = qobject_cast<QWidget*>(object);
      emit commitData(editor);
      if (enterModel_->lastEditFailed()) return true;
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      onEnter_();
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace tessaro::ui
