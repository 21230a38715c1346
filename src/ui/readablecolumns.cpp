#include "ui/readablecolumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace tessaro::ui {

namespace {

// The rows measured for a column: those shown and the next ones up to this
// many, so that a large table costs no more than a small one; rows further
// away are measured as they come into view.
constexpr int kMeasuredRows = 200;

// Fits the columns of its view once the events of the moment have been
// handled, so that a command's many changes cost one measurement.
class ColumnFitter : public QObject {
 public:
  explicit ColumnFitter(QTableView* view) : QObject(view), view_(view) {}

  void fit() {
    posted_ = false;
    QHeaderView* titles = view_->horizontalHeader();
    for (int c = 0; c < titles->count(); ++c) {
      if (view_->isColumnHidden(c)) continue;
      const int needed = readableWidth(*view_, c);
      if (view_->columnWidth(c) < needed) view_->setColumnWidth(c, needed);
    }
  }

  void schedule() {
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(this, [this] { fit(); }, Qt::QueuedConnection);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Fonts and style are final once the view is shown.
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::FontChange:
      case QEvent::StyleChange: schedule(); break;
      default: break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableView* view_;
  bool posted_ = false;
};

}  // namespace

int readableWidth(const QTableView& view, int column) {
  if (view.isColumnHidden(column)) return 0;
  // The table view's own measure of the cells, public through its base.
  const QAbstractItemView& cells = view;
  return std::max(view.horizontalHeader()->sectionSizeHint(column), cells.sizeHintForColumn(column));
}

void keepColumnsReadable(QTableView* view) {
  view->setTextElideMode(Qt::ElideNone);
  view->setWordWrap(false);
  view->horizontalHeader()->setTextElideMode(Qt::ElideNone);
  view->horizontalHeader()->setResizeContentsPrecision(kMeasuredRows);
  auto* fitter = new ColumnFitter(view);
  const auto later = [fitter] { fitter->schedule(); };
  const QAbstractItemModel* model = view->model();
  QObject::connect(model, &QAbstractItemModel::modelReset, fitter, later);
  QObject::connect(model, &QAbstractItemModel::layoutChanged, fitter, later);
  QObject::connect(model, &QAbstractItemModel::rowsInserted, fitter, later);
  QObject::connect(model, &QAbstractItemModel::dataChanged, fitter, later);
  QObject::connect(model, &QAbstractItemModel::headerDataChanged, fitter, [fitter](Qt::Orientation o) {
    if (o == Qt::Horizontal) fitter->schedule();
  });
  QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, fitter, later);
  view->installEventFilter(fitter);
  fitter->fit();
}

}  // namespace tessaro::ui
