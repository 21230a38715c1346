#include "ui/readablecolumns.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <algorithm>
#include <optional>
#include <vector>

namespace tessaro::ui {

namespace {

// The rows measured for a column: those shown and the next ones up to this
// many, so that a large table costs no more than a small one; rows further
// away are measured as they come into view.
constexpr int kMeasuredRows = 200;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The characters of a figure as the grids show it.
bool isFigureCharacter(QChar c) {
  return isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+') ||
         c == QLatin1Char(',') || c == QLatin1Char(' ');
}

QChar alikeFigure(QChar c) { return isDigit(c) ? QLatin1Char('0') : c; }

// Whether every digit of `font` takes the same room beside any character of
// a figure: then two figures alike but for their digits are as wide.
bool digitsAlike(const QFont& font) {
  const QFontMetricsF metrics(font);
  static const QString kFigure = QStringLiteral("0123456789.-+, ");
  for (const QChar a : kFigure) {
    for (const QChar b : kFigure) {
      const QChar pair[] = {a, b};
      const QChar alike[] = {alikeFigure(a), alikeFigure(b)};
      if (metrics.horizontalAdvance(QString(pair, 2)) != metrics.horizontalAdvance(QString(alike, 2))) return false;
    }
  }
  return true;
}

// The text under which the width of `text` is kept: a figure with its digits
// made zeros where the digits are alike, since most texts of a grid are figures.
QString widthKey(const QString& text, bool digitsAlike) {
  if (!digitsAlike || !std::all_of(text.begin(), text.end(), isFigureCharacter)) return text;
  QString key = text;
  for (QChar& c : key) c = alikeFigure(c);
  return key;
}

// The view's own options for its cells, as its size hints take them.
struct CellOptions : QTableView {
  static QStyleOptionViewItem of(const QTableView& view) {
    QStyleOptionViewItem option;
    (view.*&CellOptions::initViewItemOption)(&option);
    return option;
  }
};

// The rows the view's size hint of a column measures, in its order: those
// shown (all rows while the view is hidden), then alternately one above and
// one below, kMeasuredRows in all.
std::vector<int> measuredRows(const QTableView& view) {
  const QHeaderView& rows = *view.verticalHeader();
  const int count = view.model()->rowCount(view.rootIndex());
  const int top = std::max(0, rows.visualIndexAt(0));
  int bottom = rows.visualIndexAt(view.viewport()->height());
  if (!view.isVisible() || bottom == -1) bottom = count - 1;
  std::vector<int> measured;
  int row = top;
  for (; row <= bottom && int(measured.size()) < kMeasuredRows; ++row) {
    if (!rows.isSectionHidden(rows.logicalIndex(row))) measured.push_back(rows.logicalIndex(row));
  }
  int above = top;
  int below = row - 1;
  while (int(measured.size()) < kMeasuredRows && (above > 0 || below < count - 1)) {
    const bool up = (measured.size() % 2 && above > 0) || below == count - 1;
    const int visual = up ? --above : ++below;
    if (!rows.isSectionHidden(rows.logicalIndex(visual))) measured.push_back(rows.logicalIndex(visual));
  }
  return measured;
}

// Fits the columns of its view once the events of the moment have been
// handled, so that a command's many changes cost one measurement. It keeps
// what it measured until the rows or titles change: scrolling measures only
// the rows that come into view for the first time.
class ColumnFitter : public QObject {
 public:
  explicit ColumnFitter(QTableView* view) : QObject(view), view_(view) {}

  void fit() {
    posted_ = false;
    const int columns = view_->horizontalHeader()->count();
    const int rows = view_->model()->rowCount(view_->rootIndex());
    if (int(cells_.size()) != columns || int(measured_.size()) != rows) forgetRows();
    if (int(titles_.size()) != columns) forgetTitles();
    measureNewRows();
    for (int c = 0; c < columns; ++c) {
      if (view_->isColumnHidden(c)) continue;
      if (titles_[std::size_t(c)] < 0) titles_[std::size_t(c)] = view_->horizontalHeader()->sectionSizeHint(c);
      const int needed = std::max(titles_[std::size_t(c)], cells_[std::size_t(c)]);
      if (view_->columnWidth(c) < needed) view_->setColumnWidth(c, needed);
    }
  }

  void schedule() {
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(this, [this] { fit(); }, Qt::QueuedConnection);
  }

  // What was measured no longer holds: the rows (and their cells' fonts) or the titles changed.
  void forgetRows() {
    measured_.assign(std::size_t(view_->model()->rowCount(view_->rootIndex())), false);
    cells_.assign(std::size_t(view_->horizontalHeader()->count()), 0);
  }
  void forgetTitles() { titles_.assign(std::size_t(view_->horizontalHeader()->count()), -1); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Fonts and style are final once the view is shown; a taller view shows more rows.
    switch (event->type()) {
      case QEvent::FontChange:
      case QEvent::StyleChange:
        widths_.clear();
        forgetRows();
        forgetTitles();
        schedule();
        break;
      case QEvent::Show:
      case QEvent::Resize: schedule(); break;
      default: break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // The widest cell of each column over the rows not measured before, as the
  // view's size hint measures it.
  void measureNewRows() {
    std::vector<int> rows;
    for (int row : measuredRows(*view_)) {
      if (!measured_[std::size_t(row)]) rows.push_back(row);
    }
    if (rows.empty()) return;
    view_->ensurePolished();
    const QStyleOptionViewItem option = CellOptions::of(*view_);
    const QAbstractItemModel& model = *view_->model();
    const int grid = view_->showGrid() ? 1 : 0;
    for (int c = 0; c < int(cells_.size()); ++c) {
      if (view_->isColumnHidden(c)) continue;
      int& widest = cells_[std::size_t(c)];
      for (int row : rows) widest = std::max(widest, cellWidth(option, model.index(row, c, view_->rootIndex())) + grid);
    }
    for (int row : rows) measured_[std::size_t(row)] = true;
  }

  // The delegate's width of a cell. The cells hold text only (no icon, no
  // check box), so two cells with the same text in the same font and
  // delegate are as wide: each text is measured once.
  int cellWidth(const QStyleOptionViewItem& option, const QModelIndex& index) {
    QModelRoleData roles[] = {QModelRoleData(Qt::DisplayRole), QModelRoleData(Qt::FontRole)};
    index.multiData(roles);
    QAbstractItemDelegate* delegate = view_->itemDelegateForIndex(index);
    const bool hasFont = roles[1].data().isValid();
    std::optional<QFont> font;  // none: the view's (a default font costs a lock to make)
    if (hasFont) font = roles[1].data().value<QFont>();
    auto widths = std::find_if(widths_.begin(), widths_.end(), [&](const Widths& w) {
      return w.delegate == delegate && w.hasFont == hasFont && (!hasFont || w.font == *font);
    });
    if (widths == widths_.end()) {
      const bool alike = digitsAlike(hasFont ? *font : option.font);
      widths = widths_.insert(widths_.end(), Widths{delegate, hasFont, font.value_or(QFont()), alike, {}});
    }
    const QString text = widthKey(roles[0].data().toString(), widths->digitsAlike);
    const auto known = widths->byText.constFind(text);
    if (known != widths->byText.constEnd()) return known.value();
    const int width = delegate->sizeHint(option, index).width();
    // The texts that repeat are kept; a table of many different figures
    // would fill memory with them, and a large table is slow to search.
    if (widths->byText.size() >= kKeptWidths) widths->byText.clear();
    widths->byText.insert(text, width);
    return width;
  }

  static constexpr qsizetype kKeptWidths = 4096;

  // The widths of the texts measured, by delegate and font.
  struct Widths {
    const QAbstractItemDelegate* delegate;
    bool hasFont;
    QFont font;
    bool digitsAlike;  // figures are kept with their digits made zeros
    QHash<QString, int> byText;
  };

  QTableView* view_;
  bool posted_ = false;
  std::vector<bool> measured_;  // by row: its cells are in cells_
  std::vector<int> cells_;      // by column: the widest cell measured
  std::vector<int> titles_;     // by column: the title's width; -1 not measured
  std::vector<Widths> widths_;  // until the view's font or style changes
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
  const auto rowsChanged = [fitter] {
    fitter->forgetRows();
    fitter->schedule();
  };
  const QAbstractItemModel* model = view->model();
  QObject::connect(model, &QAbstractItemModel::modelReset, fitter, [fitter, rowsChanged] {
    fitter->forgetTitles();
    rowsChanged();
  });
  QObject::connect(model, &QAbstractItemModel::layoutChanged, fitter, rowsChanged);
  QObject::connect(model, &QAbstractItemModel::rowsInserted, fitter, rowsChanged);
  QObject::connect(model, &QAbstractItemModel::rowsRemoved, fitter, rowsChanged);
  QObject::connect(model, &QAbstractItemModel::dataChanged, fitter, rowsChanged);
  QObject::connect(model, &QAbstractItemModel::headerDataChanged, fitter, [fitter](Qt::Orientation o) {
    if (o != Qt::Horizontal) return;
    fitter->forgetTitles();
    fitter->schedule();
  });
  QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, fitter, [fitter] { fitter->schedule(); });
  view->installEventFilter(fitter);
  fitter->fit();
}

}  // namespace tessaro::ui
