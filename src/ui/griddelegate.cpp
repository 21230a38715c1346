#include "ui/griddelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

#include "ui/gridmodel.h"

namespace tessaro::ui {

void GridDelegate::setPickList(QList<int> columns, QStringList items) {
  pickColumns_ = std::move(columns);
  pickItems_ = std::move(items);
}

void GridDelegate::setEnterHandler(std::function<void()> onEnter) { onEnter_ = std::move(onEnter); }

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem o(option);
  initStyleOption(&o, index);
  QModelRoleData extra[] = {QModelRoleData(SelectedTextRole), QModelRoleData(FocusRectangleRole)};
  index.multiData(extra);
  const QVariant& selectedText = extra[0].data();
  if (selectedText.isValid()) o.palette.setColor(QPalette::HighlightedText, selectedText.value<QColor>());
  if (extra[1].data().toBool()) {
    p->save();
    p->fillRect(o.rect, o.backgroundBrush);
    p->setPen(QPen(Qt::black, 1, Qt::DotLine));
    p->drawRect(o.rect.adjusted(0, 0, -1, -1));
    p->restore();
  }
  const QWidget* w = o.widget;
  QStyle* style = w ? w->style() : QApplication::style();
  if (!plainCell(o) || !paintPlainCell(p, o, style)) style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
}

bool GridDelegate::fastPainting_ = true;

bool GridDelegate::plainCell(const QStyleOptionViewItem& o) {
  // Text alone on one line, or nothing, not being edited: what the grids show.
  return fastPainting_ && !(o.features & ~QStyleOptionViewItem::ViewItemFeatures(QStyleOptionViewItem::HasDisplay)) &&
         !(o.state & QStyle::State_Editing) && !o.text.contains(QLatin1Char('\n')) && o.textElideMode == Qt::ElideNone;
}

namespace {

// The focus rectangle of a cell, as the style draws it.
void paintFocus(QPainter* p, const QStyleOptionViewItem& o, QStyle* style) {
  const bool enabled = o.state & QStyle::State_Enabled;
  const bool selected = o.state & QStyle::State_Selected;
  QStyleOptionFocusRect focus;
  focus.QStyleOption::operator=(o);
  focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &o, o.widget);
  focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
  focus.backgroundColor =
      o.palette.color(enabled ? QPalette::Normal : QPalette::Disabled, selected ? QPalette::Highlight : QPalette::Window);
  style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, o.widget);
}

}  // namespace

// A cell of text alone painted as the style paints it (background, text,
// focus rectangle, each from the style), the text laid out once instead of
// once to measure, once to place and once more to draw it. False, having
// painted nothing, when the text is wider than its cell.
bool GridDelegate::paintPlainCell(QPainter* p, const QStyleOptionViewItem& o, QStyle* style) {
  const QWidget* w = o.widget;
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
  const QRect textRect = o.rect.adjusted(margin, 0, -margin, 0);
  QTextOption textOption;
  textOption.setWrapMode(QTextOption::ManualWrap);
  textOption.setTextDirection(o.direction);
  textOption.setAlignment(QStyle::visualAlignment(o.direction, o.displayAlignment));
  QTextLayout layout(o.text, o.font);
  int top = 0;
  // Text that lies inside its cell needs no clip to keep it there.
  bool clip = false;
  if (!o.text.isEmpty()) {
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
      layout.endLayout();
      return false;
    }
    line.setLineWidth(textRect.width());
    line.setPosition(QPointF(0, 0));
    const bool single = !layout.createLine().isValid();
    layout.endLayout();
    if (!single || line.naturalTextWidth() > textRect.width()) return false;
    const QSize size = QSizeF(line.naturalTextWidth(), line.height()).toSize();
    top = QStyle::alignedRect(Qt::LayoutDirectionAuto, o.displayAlignment & Qt::AlignVertical_Mask, size, textRect).top();
    clip = top < o.rect.top() || top + size.height() > o.rect.bottom() + 1;
  }

  if (clip) {
    p->save();
    p->setClipRect(o.rect);
  }
  // The panel: the style's for a selected cell; a background of the cell's
  // own filled as the style fills it; of any other cell, nothing.
  if (o.state & QStyle::State_Selected) {
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, p, w);
  } else if (o.backgroundBrush.style() != Qt::NoBrush) {
    const QPoint origin = p->brushOrigin();
    p->setBrushOrigin(o.rect.topLeft());
    p->fillRect(o.rect, o.backgroundBrush);
    p->setBrushOrigin(origin);
  }
  const bool enabled = o.state & QStyle::State_Enabled;
  const QPalette::ColorGroup group = !enabled ? QPalette::Disabled
                                     : (o.state & QStyle::State_Active) ? QPalette::Normal
                                                                        : QPalette::Inactive;
  const bool selected = o.state & QStyle::State_Selected;
  if (!o.text.isEmpty()) {
    const QPen pen = p->pen();
    p->setPen(o.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    layout.draw(p, QPointF(textRect.x(), top));
    p->setPen(pen);
  }
  if (o.state & QStyle::State_HasFocus) paintFocus(p, o, style);
  if (clip) p->restore();
  return true;
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  if (!pickColumns_.contains(index.column())) return QStyledItemDelegate::createEditor(parent, option, index);
  auto* box = new QComboBox(parent);
  box->addItems(pickItems_);
  return box;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (editor == heldEditor_) return;
  if (index.row() == reopenRow_ && index.column() == reopenColumn_) {
    reopenRow_ = -1;
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(reopenText_);
      heldEditor_ = editor;
      return;
    }
  }
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    const int i = box->findText(index.data(Qt::EditRole).toString());
    box->setCurrentIndex(std::max(i, 0));
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  // The rows read again while a refusal is reported leave the typed text alone.
  const bool nested = committing_;
  const QPointer<QWidget> held = heldEditor_;
  committing_ = true;
  heldEditor_ = editor;
  const auto* line = qobject_cast<QLineEdit*>(editor);
  const QString typed = line ? line->text() : QString();
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, box->currentText());
  } else {
    QStyledItemDelegate::setModelData(editor, model, index);
  }
  committing_ = nested;
  heldEditor_ = held;
  const auto* grid = qobject_cast<const GridModel*>(model);
  refused_ = grid && grid->lastEditFailed();
  // Committed because the user clicked elsewhere: the view closes the editor
  // next, so the cell opens again for correction.
  if (refused_ && line && !keyCommit_) reopen(editor, index, typed);
}

void GridDelegate::reopen(QWidget* editor, const QModelIndex& index, const QString& typed) const {
  QWidget* viewport = editor->parentWidget();
  auto* view = viewport ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
  if (!view) return;
  reopenRow_ = index.row();
  reopenColumn_ = index.column();
  reopenText_ = typed;
  QTimer::singleShot(0, view, [this, view] {
    const QModelIndex cell = view->model() ? view->model()->index(reopenRow_, reopenColumn_) : QModelIndex();
    if (!cell.isValid()) return;
    view->setCurrentIndex(cell);
    view->edit(cell);
  });
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  // The box that reports a refused text takes the focus: that neither
  // commits the text again nor closes the editor.
  if (committing_ && event->type() == QEvent::FocusOut) return false;
  if (!editor || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(object, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!enter && key != Qt::Key_Tab && key != Qt::Key_Backtab) return QStyledItemDelegate::eventFilter(object, event);
  refused_ = false;
  keyCommit_ = true;
  heldEditor_ = editor;
  emit commitData(editor);
  keyCommit_ = false;
  // A refused text stays in its cell for correction.
  if (refused_) return true;
  heldEditor_ = nullptr;
  const auto hint = key == Qt::Key_Tab      ? QAbstractItemDelegate::EditNextItem
                    : key == Qt::Key_Backtab ? QAbstractItemDelegate::EditPreviousItem
                                             : QAbstractItemDelegate::NoHint;
  emit closeEditor(editor, hint);
  if (enter && onEnter_) onEnter_();
  return true;
}

}  // namespace tessaro::ui
