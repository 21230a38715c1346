#include "ui/libraryform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

#include "app/prompter.h"
#include "ui/griddelegate.h"
#include "ui/gridmodel.h"
#include "ui/navigator.h"
#include "ui/otheroxidemenu.h"
#include "ui/readablecolumns.h"

namespace tessaro::ui {

namespace {

using app::LibraryKind;
using app::NavButton;

constexpr int kRowHeight = 18;
constexpr int kBarHeight = 25;
// The strip at the panel's right edge by which it is dragged.
constexpr int kPanelGrip = 4;

// The library windows' buttons take the focus when clicked, which ends the
// typing in a grid cell and commits the text first.
const ButtonLook kButtonLook{true, Qt::ClickFocus, false};

QString navigatorName(NavButton b) {
  switch (b) {
    case NavButton::First: return QStringLiteral("nbFirst");
    case NavButton::Prior: return QStringLiteral("nbPrior");
    case NavButton::Next: return QStringLiteral("nbNext");
    case NavButton::Last: return QStringLiteral("nbLast");
    case NavButton::Insert: return QStringLiteral("nbInsert");
    case NavButton::Delete: return QStringLiteral("nbDelete");
    case NavButton::Edit: return QStringLiteral("nbEdit");
    case NavButton::Post: return QStringLiteral("nbPost");
    case NavButton::Cancel: return QStringLiteral("nbCancel");
    case NavButton::Refresh: return QStringLiteral("nbRefresh");
  }
  return QString();
}

QString navigatorGlyph(NavButton b) {
  switch (b) {
    case NavButton::First: return QStringLiteral("|◀");
    case NavButton::Prior: return QStringLiteral("◀");
    case NavButton::Next: return QStringLiteral("▶");
    case NavButton::Last: return QStringLiteral("▶|");
    case NavButton::Insert: return QStringLiteral("+");
    case NavButton::Delete: return QStringLiteral("−");
    case NavButton::Edit: return QStringLiteral("▲");
    case NavButton::Post: return QStringLiteral("✔");
    case NavButton::Cancel: return QStringLiteral("✘");
    case NavButton::Refresh: return QStringLiteral("↻");
  }
  return QString();
}

}  // namespace

TLibraryForm::TLibraryForm(LibraryKind kind, app::Prompter& prompter, app::TransferSink& sink,
                           const QString& baseFolder, QWidget* parent)
    : QWidget(parent), prompter_(prompter) {
  library_ = std::make_unique<app::Library>(kind, prompter, sink, baseFolder);
  const app::LibraryTraits& traits = library_->traits();
  setObjectName(kind == LibraryKind::Materials ? QStringLiteral("Form2") : QStringLiteral("Form3"));
  setWindowTitle(traits.caption);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setFixedHeight(kBarHeight);
  buildTopBar(bar);
  layout->addWidget(bar);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("Panel2"));
  buildPanel(panel_);
  body->addWidget(panel_);

  buildModel();
  grid_ = new QTableView(this);
  buildGrid();
  body->addWidget(grid_, 1);
  layout->addLayout(body, 1);

  otherOxideMenu_ = buildOtherOxideMenu(
      this,
      [this](int entry) {
        library_->chooseOtherOxide(entry);
        model_->refreshHeaders();
      },
      [this] {
        library_->nameOtherOxide();
        model_->refreshHeaders();
      });

  // Changes made outside the window's commands (editing in a cell, moving
  // the cursor by mouse) reach the grid once the event has been handled.
  connect(model_, &GridModel::currentRowChanged, this, [this] { placeCursor(); });
  refresh();
  // Created hidden, also as a child of the frame, until the frame shows it.
  hide();
}

TLibraryForm::~TLibraryForm() {
  // The grid and its model go first: an open cell editor commits its text
  // into the library while the window is taken down.
  QTableView* grid = std::exchange(grid_, nullptr);
  delete grid;
  delete std::exchange(model_, nullptr);
}

// --- Layout --------------------------------------------------------------------------------

void TLibraryForm::buildTopBar(QWidget* bar) {
  const app::LibraryTraits& traits = library_->traits();
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  showAll_ = toolButton(bar, QStringLiteral("SpeedButton2"), traits.showAllCaption, traits.showAllHint, kButtonLook);
  // The button keeps its place while hidden, so that nothing moves when it appears.
  QSizePolicy keep = showAll_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  showAll_->setSizePolicy(keep);
  showAll_->hide();
  connect(showAll_, &QToolButton::clicked, this, &TLibraryForm::showAllClick);
  row->addWidget(showAll_);

  if (traits.hasBatchInput()) {
    batch_ = toolButton(bar, QStringLiteral("SpeedButton1"), traits.batchCaption, traits.batchHint, kButtonLook);
    connect(batch_, &QToolButton::clicked, this, &TLibraryForm::SpeedButton1Click);
    row->addWidget(batch_);
  }

  QList<NavigatorButton> buttons;
  for (NavButton b : traits.navigatorButtons) {
    buttons << NavigatorButton{navigatorName(b), navigatorGlyph(b), app::navigatorHint(b), [this, b] { DBNavigatorClick(b); }};
  }
  NavigatorLook look;
  look.button = kButtonLook;
  look.button.autoRaise = false;
  look.fixedSize = QSize(kBarHeight, kBarHeight - 2);
  row->addWidget(buildNavigator(bar, QStringLiteral("DBNavigator"), buttons, look));
  row->addStretch(1);

  deleteAll_ = toolButton(bar, QStringLiteral("SpeedButton3"), traits.deleteAllCaption, traits.deleteAllHint, kButtonLook);
  connect(deleteAll_, &QToolButton::clicked, this, &TLibraryForm::deleteAllClick);
  row->addWidget(deleteAll_);
}

void TLibraryForm::buildPanel(QWidget* panel) {
  const bool targets = library_->kind() == LibraryKind::Targets;
  panel->setFixedWidth(library_->panelWidth());
  panel->setCursor(Qt::SplitHCursor);
  panel->installEventFilter(this);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, kPanelGrip, 0);
  column->setSpacing(0);

  auto* header = new QWidget(panel);
  header->setObjectName(QStringLiteral("Panel3"));
  header->setFixedHeight(20);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(4, 0, 0, 0);
  row->setSpacing(0);
  auto* label = new QLabel(app::kPanelHeader, header);
  label->setObjectName(QStringLiteral("Label1"));
  row->addWidget(label, 1);
  auto* close = toolButton(header, QStringLiteral("SpeedButton4"), app::kPanelCloseBox, app::kPanelCloseHint, kButtonLook);
  close->setFixedSize(18, 18);
  close->setCursor(Qt::ArrowCursor);
  connect(close, &QToolButton::clicked, this, &TLibraryForm::closePanelClick);
  row->addWidget(close);
  column->addWidget(header);

  tree_ = new QTreeWidget(panel);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setToolTip(app::kTreeHint);
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setExpandsOnDoubleClick(false);
  tree_->setIndentation(12);
  QPalette red = tree_->palette();
  red.setColor(QPalette::Text, Qt::red);
  tree_->setPalette(red);
  if (targets) {
    tree_->viewport()->setCursor(Qt::PointingHandCursor);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setAllColumnsShowFocus(true);
    tree_->viewport()->installEventFilter(this);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [](QTreeWidgetItem* now) {
      if (now) now->setExpanded(true);
    });
  } else {
    tree_->viewport()->setCursor(Qt::ArrowCursor);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  }
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { TreeView1DblClick(item); });
  column->addWidget(tree_, 1);
}

void TLibraryForm::buildModel() {
  model_ = new GridModel(library_->table(), library_->traits().grid, this);
  model_->setErrorHandler([this](const QString& text) { prompter_.error(text); });
  model_->setNewRecordMark(true);
  model_->setCaptionSource([this] { return library_->captions(); });
  model_->setTitleColourSource([this](int column) { return library_->titleRed(column) ? QColor(Qt::red) : QColor(); });
  // A category row in red bold on its own background. Asked for every cell
  // painted: the name's column is looked up once.
  const int nameColumn = model_->columnOf(QStringLiteral("NAME"));
  model_->setCellStyler([this, nameColumn](int row, int, CellStyle& style) {
    const app::RowStyle category = app::rowStyle(model_->text(row, nameColumn));
    if (!category.category) return;
    style.background = toQColor(category.background);
    style.text = toQColor(category.text);
    style.bold = category.bold;
  });
}

void TLibraryForm::buildGrid() {
  const app::LibraryTraits& traits = library_->traits();
  grid_->setObjectName(QStringLiteral("DBGrid1"));
  grid_->setToolTip(traits.gridHint);
  grid_->setModel(model_);
  auto* delegate = new GridDelegate(grid_);
  delegate->setEnterHandler([this] { DBGrid1KeyPress(); });
  grid_->setItemDelegate(delegate);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  QFont small = grid_->font();
  small.setPixelSize(12);
  // Figures and Chinese need no shaping: laid out glyph by glyph, a page of
  // cells paints in a fraction of the time.
  small.setStyleStrategy(QFont::PreferNoShaping);
  grid_->setFont(small);
  QHeaderView* rows = grid_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kRowHeight);
  rows->setMinimumSectionSize(kRowHeight);
  rows->setFixedWidth(app::kRowIndicatorWidth);
  QHeaderView* titles = grid_->horizontalHeader();
  titles->setSectionsClickable(true);
  titles->setHighlightSections(false);
  titles->setFixedHeight(kRowHeight + 2);
  titles->setMinimumSectionSize(8);
  for (int c = 0; c < traits.columnCount(); ++c) grid_->setColumnWidth(c, library_->columnWidth(c));
  connect(titles, &QHeaderView::sectionClicked, this, &TLibraryForm::DBGrid1TitleClick);
  connect(titles, &QHeaderView::sectionResized, this,
          [this](int c, int, int width) { library_->setColumnWidth(c, width); });
  keepColumnsReadable(grid_);
  connect(grid_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& i) { DBGrid1DblClick(i.row(), i.column()); });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& now) { currentCellChanged(now); });
  grid_->installEventFilter(this);
  grid_->viewport()->setMouseTracking(true);
  grid_->viewport()->installEventFilter(this);
}

// --- Presentation --------------------------------------------------------------------------

void TLibraryForm::refresh() {
  rebuildTree();
  panel_->setVisible(library_->categoryPanelVisible());
  panel_->setFixedWidth(library_->panelWidth());
  showAll_->setVisible(library_->showAllVisible());
  model_->refreshHeaders();
  model_->sync();
}

void TLibraryForm::rebuildTree() {
  const app::CategoryTree& now = library_->tree();
  if (treeShown_ && now.hasRoot == shownTree_.hasRoot && now.root == shownTree_.root && now.nodes == shownTree_.nodes) {
    return;
  }
  shownTree_ = now;
  treeShown_ = true;
  tree_->clear();
  if (!now.hasRoot) return;
  auto* root = new QTreeWidgetItem(tree_, QStringList(now.root));
  root->setForeground(0, Qt::red);
  for (const QString& node : now.nodes) {
    auto* item = new QTreeWidgetItem(root, QStringList(node));
    item->setForeground(0, Qt::red);
  }
  tree_->expandAll();
}

void TLibraryForm::placeCursor() {
  const int row = model_->currentRow();
  placing_ = true;
  if (row >= 0 && row < model_->rowCount()) {
    const int column = std::clamp(library_->currentColumn(), 0, model_->columnCount() - 1);
    const QModelIndex i = model_->index(row, column);
    grid_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(i);
  } else {
    grid_->selectionModel()->clear();
  }
  placing_ = false;
}

void TLibraryForm::currentCellChanged(const QModelIndex& now) {
  if (placing_ || !now.isValid()) return;
  library_->setCurrentColumn(now.column());
  if (now.row() == model_->currentRow()) return;
  if (!model_->moveTo(now.row())) {
    QMetaObject::invokeMethod(this, [this] { placeCursor(); }, Qt::QueuedConnection);
  }
}

void TLibraryForm::finish() {
  refresh();
  emit commandFinished();
}

// --- Window --------------------------------------------------------------------------------

QMdiSubWindow* TLibraryForm::showInFrame(QMdiArea* area) {
  if (!area) return nullptr;
  if (!sub_ || area_ != area) {
    // First shown, or detached from the frame when it was closed.
    setWindowState(Qt::WindowNoState);
    sub_ = area->addSubWindow(this);
    sub_->setObjectName(objectName() + QStringLiteral("Window"));
    sub_->setAttribute(Qt::WA_DeleteOnClose, false);
    sub_->setWindowTitle(windowTitle());
    area_ = area;
  }
  library_->show();
  show();
  sub_->showMaximized();
  area->setActiveSubWindow(sub_);
  return sub_;
}

void TLibraryForm::closeEvent(QCloseEvent* event) {
  // The window is never destroyed while the program runs; what closing does
  // depends on the window and happens once this event has been handled.
  event->ignore();
  QMetaObject::invokeMethod(this, [this] { FormClose(); }, Qt::QueuedConnection);
}

void TLibraryForm::FormClose() {
  library_->close();
  if (library_->kind() == LibraryKind::Materials || !sub_) {
    if (sub_) {
      sub_->showMinimized();
    } else {
      showMinimized();
    }
    return;
  }
  // The target library leaves the frame: a window of its own, minimised.
  QWidget* frame = area_ ? area_->window() : nullptr;
  QMdiSubWindow* old = sub_;
  old->setWidget(nullptr);
  if (area_) area_->removeSubWindow(old);
  old->deleteLater();
  sub_ = nullptr;
  area_ = nullptr;
  setParent(frame, Qt::Window);
  setWindowTitle(library_->traits().caption);
  showMinimized();
}

// --- Commands ------------------------------------------------------------------------------

void TLibraryForm::FormCreate() {
  library_->refresh();
  finish();
}

void TLibraryForm::TreeView1DblClick(QTreeWidgetItem* item) {
  if (!item) return;
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  const int node = item == root ? -1 : (root ? root->indexOfChild(item) : -1);
  if (item != root && node < 0) return;
  QList<int> selected;
  if (root) {
    for (QTreeWidgetItem* s : tree_->selectedItems()) {
      const int i = root->indexOfChild(s);
      if (i >= 0) selected << i;
    }
  }
  library_->filterByCategory(node, selected);
  finish();
}

void TLibraryForm::DBGrid1KeyPress() {
  const QModelIndex at = grid_->currentIndex();
  int column = at.isValid() ? at.column() : library_->currentColumn();
  if (at.isValid() && at.row() != model_->currentRow() && !model_->moveTo(at.row())) return;
  library_->pressEnter(column);
  finish();
  grid_->setFocus();
}

void TLibraryForm::DBNavigatorClick(NavButton button) {
  if (library_->navigate(button) && button == NavButton::Insert) library_->setCurrentColumn(0);
  finish();
  grid_->setFocus();
}

void TLibraryForm::deleteAllClick() {
  library_->deleteAll();
  finish();
}

void TLibraryForm::closePanelClick() {
  library_->closeCategoryPanel();
  finish();
}

void TLibraryForm::showAllClick() {
  library_->showAll();
  finish();
}

void TLibraryForm::DBGrid1TitleClick(int column) {
  if (!library_->selectOtherColumn(column)) return;
  // The menu opens under the clicked title.
  QHeaderView* titles = grid_->horizontalHeader();
  otherOxideMenu_->popup(titles->mapToGlobal(QPoint(titles->sectionViewportPosition(column), titles->height())));
}

void TLibraryForm::DBGrid1DblClick(int row, int column) {
  if (row >= 0 && row != model_->currentRow() && !model_->moveTo(row)) return;
  library_->transferCurrent(column);
  finish();
}

void TLibraryForm::SpeedButton1Click() {
  library_->transferShown();
  finish();
}

void TLibraryForm::exportCsvClick() {
  const QString caption = library_->traits().caption;
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出%1CSV").arg(caption),
                                              QDir::home().filePath(caption + QStringLiteral(".csv")),
                                              QStringLiteral("CSV 文件 (*.csv)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
  library_->exportCsv(path);
}

void TLibraryForm::importCsvClick() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("导入%1CSV").arg(library_->traits().caption), QDir::homePath(),
                                   QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
  if (path.isEmpty()) return;
  library_->importCsv(path);
  finish();
}

void TLibraryForm::Panel2MouseUp(int x) {
  library_->resizePanel(x);
  panel_->setFixedWidth(library_->panelWidth());
}

// --- Events --------------------------------------------------------------------------------

bool TLibraryForm::eventFilter(QObject* watched, QEvent* event) {
  if (!grid_) return QWidget::eventFilter(watched, event);
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      DBGrid1KeyPress();
      return true;
    }
  } else if (watched == grid_->viewport() && event->type() == QEvent::MouseMove) {
    const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x() + grid_->verticalHeader()->width();
    const bool hand = library_->gridPointer(x) == app::Pointer::PointingHand;
    grid_->viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
  } else if (watched == panel_ && event->type() == QEvent::MouseButtonRelease) {
    Panel2MouseUp(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    return true;
  } else if (tree_ && watched == tree_->viewport() && event->type() == QEvent::MouseButtonPress) {
    // The target tree selects a node with the right button as well.
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() == Qt::RightButton) {
      if (QTreeWidgetItem* item = tree_->itemAt(e->position().toPoint())) tree_->setCurrentItem(item);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tessaro::ui
