#include "ui/mainscreenform.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "ui/griddelegate.h"
#include "ui/gridmodel.h"
#include "ui/menus.h"
#include "ui/navigator.h"
#include "ui/otheroxidemenu.h"
#include "ui/readablecolumns.h"

namespace tessaro::ui {

namespace {

void setTextColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::ButtonText, c);
  p.setColor(QPalette::WindowText, c);
  w->setPalette(p);
}

Qt::CursorShape cursorShape(app::PointerCursor c) {
  switch (c) {
    case app::PointerCursor::Hand: return Qt::PointingHandCursor;
    case app::PointerCursor::Drag: return Qt::DragMoveCursor;
    case app::PointerCursor::Default: break;
  }
  return Qt::ArrowCursor;
}

// A button at least `floor` pixels wide and as wide as each caption it shows.
void fitCaptions(QToolButton* b, int floor, const QString& otherCaption) {
  b->ensurePolished();
  int width = floor;
  for (const QString& caption : {otherCaption, b->text()}) {
    b->setText(caption);
    width = std::max(width, b->sizeHint().width());
  }
  b->setFixedWidth(width);
}

QWidget* panel(QWidget* parent, const char* name) {
  auto* p = new QWidget(parent);
  p->setObjectName(QString::fromLatin1(name));
  return p;
}

}  // namespace

TForm1::TForm1(app::Prompter& prompter, app::FrameState& frame, const QString& baseFolder, QWidget* parent)
    : QWidget(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kMainScreenCaption);
  screen_ = std::make_unique<app::MainScreen>(prompter, frame, baseFolder);
  screen_->setQuitHandler([this] { emit exitRequested(); });

  const auto model = [this](app::WorkTable t, app::Grid g) {
    auto* m = new GridModel(&screen_->table(t), g, this);
    m->setErrorHandler([this](const QString& text) { prompter_.error(text); });
    return m;
  };
  formulaModel_ = model(app::WorkTable::Formula, app::Grid::Formula);
  targetModel_ = model(app::WorkTable::Target, app::Grid::Target);
  resultModel_ = model(app::WorkTable::Result, app::Grid::Result);
  propertyModel_ = model(app::WorkTable::Property, app::Grid::Property);
  formulaModel_->setCaptionSource([this] { return screen_->formulaCaptions(); });
  targetModel_->setCaptionSource([this] { return screen_->targetCaptions(); });
  resultModel_->setCaptionSource([this] { return screen_->resultCaptions(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildGrids(layout);
  buildTargetNavigator();
  styleCells();
  connectGrids();
  otherOxideMenu_ = buildOtherOxideMenu(
      this,
      [this](int entry) {
        screen_->chooseOtherOxide(entry);
        finish();
      },
      [this] {
        screen_->enterOtherOxide();
        finish();
      });
  buildMenu();
  refresh();
  // The screen follows each command step by step, not only when it returns.
  screen_->setObserver([this] { tablesChanged(); });
}

TForm1::~TForm1() {
  screen_->setObserver({});
  // The models watch the tables, which the main screen owns.
  for (GridModel** m : {&formulaModel_, &targetModel_, &resultModel_, &propertyModel_}) delete std::exchange(*m, nullptr);
}

void TForm1::buildGrids(QBoxLayout* layout) {
  // 1. Command row.
  QWidget* row = panel(this, "Panel1");
  row->setFixedHeight(25);
  buildCommandRow(row);
  layout->addWidget(row);

  // 2. Table 1 area with grid 3 along its bottom edge.
  QWidget* area = panel(this, "Panel2");
  auto* areaLayout = new QVBoxLayout(area);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  areaLayout->setSpacing(0);
  formulaGrid_ = makeGrid(QStringLiteral("DBGrid1"), formulaModel_, QStringLiteral("配方配比和原料化学组成表（表1）"));
  resultGrid_ = makeGrid(QStringLiteral("DBGrid3"), resultModel_, QStringLiteral("各配方化学组成表（3）"));
  resultGrid_->setFixedHeight(78);
  areaLayout->addWidget(formulaGrid_, 1);
  areaLayout->addWidget(resultGrid_);
  layout->addWidget(area, 1);

  // 3. Table 4 panel.
  propertyPanel_ = panel(this, "Panel5");
  auto* p5 = new QVBoxLayout(propertyPanel_);
  p5->setContentsMargins(0, 0, 0, 0);
  propertyGrid_ = makeGrid(QStringLiteral("DBGrid4"), propertyModel_, QStringLiteral("各配方的坯釉式和性能(表4)。"));
  p5->addWidget(propertyGrid_);
  propertyPanel_->setFixedHeight(216);
  layout->addWidget(propertyPanel_);

  // 4. Table 2 panel.
  QWidget* targetPanel = panel(this, "Panel3");
  targetPanel->setFixedHeight(61);
  auto* p2 = new QVBoxLayout(targetPanel);
  p2->setContentsMargins(0, 0, 0, 0);
  targetGrid_ = makeGrid(QStringLiteral("DBGrid2"), targetModel_, QStringLiteral("目标配方化学组成表（表2）"));
  p2->addWidget(targetGrid_);
  layout->addWidget(targetPanel);
}

void TForm1::buildTargetNavigator() {
  // In grid 2's title row.
  const QList<NavigatorButton> buttons = {
      {QStringLiteral("DBNavigator2Delete"), QStringLiteral("－"), QStringLiteral("删除目标配方记录"),
       [this] {
         targetModel_->remove();
         finish();
       }},
      {QStringLiteral("DBNavigator2Post"), QStringLiteral("√"),
       QStringLiteral("表２中数据的输入或修改后必须加以确认，否则不保存数据的改变；将会直接影响计算准确性。"),
       [this] {
         targetGrid_->setCurrentIndex(targetGrid_->currentIndex());  // commits an open editor
         targetGrid_->closePersistentEditor(targetGrid_->currentIndex());
         targetModel_->post();
         finish();
       }},
  };
  targetNavigator_ = buildNavigator(targetGrid_, QStringLiteral("DBNavigator2"), buttons);
}

void TForm1::styleCells() {
  formulaModel_->setCellStyler([this](int row, int column, CellStyle& style) {
    const int formula = app::proportionFormula(formulaModel_->column(column).field);
    if (formula != 0) style.background = toQColor(screen_->proportionColour(formula));
    if (!markOf(row).highlighted) return;
    style.background = toQColor(app::palette::kLavender);
    style.text = toQColor(app::palette::kRed);
    style.textWhenSelected = true;
  });
  propertyModel_->setCellStyler([this](int row, int, CellStyle& style) {
    const app::CellLook look = app::propertyRowLook(propertyModel_->text(row, QStringLiteral("RONAME0")),
                                                    propertyModel_->text(row, QStringLiteral("RONAME1")));
    if (look.background) style.background = toQColor(*look.background);
    if (look.text) style.text = toQColor(*look.text);
    style.textWhenSelected = true;
    style.focusRectangle = look.focusRectangle;
  });
  auto* marks = new GridDelegate(formulaGrid_);
  marks->setPickList({markColumns_[0], markColumns_[1], markColumns_[2]}, {QString(), app::kMandatoryMark});
  formulaGrid_->setItemDelegate(marks);
  for (QTableView* g : {targetGrid_, resultGrid_, propertyGrid_}) g->setItemDelegate(new GridDelegate(g));
}

void TForm1::connectGrids() {
  connect(formulaGrid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm1::DBGrid1TitleClick);
  connect(formulaGrid_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { DBGrid1DblClick(i.column()); });
  connect(targetGrid_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { DBGrid2DblClick(i.column()); });
  connect(formulaModel_, &GridModel::currentRowChanged, this, &TForm1::followMarks);
  connect(targetGrid_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeTargetNavigator(); });
}

GridModel* TForm1::model(app::WorkTable t) const {
  switch (t) {
    case app::WorkTable::Formula: return formulaModel_;
    case app::WorkTable::Target: return targetModel_;
    case app::WorkTable::Result: return resultModel_;
    case app::WorkTable::Property: break;
  }
  return propertyModel_;
}

QTableView* TForm1::grid(app::WorkTable t) const {
  switch (t) {
    case app::WorkTable::Formula: return formulaGrid_;
    case app::WorkTable::Target: return targetGrid_;
    case app::WorkTable::Result: return resultGrid_;
    case app::WorkTable::Property: break;
  }
  return propertyGrid_;
}

QTableView* TForm1::makeGrid(const QString& name, GridModel* model, const QString& hint) {
  auto* g = new QTableView(this);
  g->setObjectName(name);
  g->setModel(model);
  g->setToolTip(hint);
  g->setStatusTip(hint);
  g->setSelectionBehavior(QAbstractItemView::SelectItems);
  g->setSelectionMode(QAbstractItemView::SingleSelection);
  // A double click is a command of its own (marks, library windows), not an edit.
  g->setEditTriggers(QAbstractItemView::EditKeyPressed |
                     QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  // The grids' design font: 11 pixels, so that a 44-pixel column holds "100.00".
  QFont font = g->font();
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::PreferNoShaping);  // as the library grids: no shaping
  g->setFont(font);
  g->horizontalHeader()->setFont(font);
  g->setFrameShape(QFrame::Box);
  g->setFrameShadow(QFrame::Plain);
  g->setLineWidth(1);
  g->verticalHeader()->setFixedWidth(app::kRowIndicatorWidth - 1);
  g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 4);
  g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  g->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  g->horizontalHeader()->setHighlightSections(false);
  g->horizontalHeader()->setSectionsClickable(true);
  for (int c = 0; c < model->columnCount(); ++c) {
    const app::GridColumn& gc = model->column(c);
    if (gc.width == 0) g->setColumnHidden(c, true);
    else if (gc.width > 0) g->setColumnWidth(c, gc.width);
  }
  keepColumnsReadable(g);
  // The pointer anywhere over the grid, titles and row indicator included.
  for (QWidget* area : {g->viewport(), g->horizontalHeader()->viewport(), g->verticalHeader()->viewport()}) {
    area->setMouseTracking(true);
    area->installEventFilter(this);
  }
  // The grid's current row is the cursor's current record.
  connect(g->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [model](const QModelIndex& current) {
            if (current.isValid() && current.row() != model->currentRow()) model->moveTo(current.row());
          });
  connect(model, &GridModel::currentRowChanged, g, [g, model](int row) {
    if (row < 0) return;
    const QModelIndex cur = g->currentIndex();
    if (cur.isValid() && cur.row() == row) return;
    int column = cur.isValid() ? cur.column() : 0;
    while (column < model->columnCount() && g->isColumnHidden(column)) ++column;
    g->selectionModel()->setCurrentIndex(model->index(row, std::min(column, model->columnCount() - 1)),
                                         QItemSelectionModel::ClearAndSelect);
  });
  return g;
}

void TForm1::buildCommandRow(QWidget* row) {
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(0);
  // The speed buttons keep their width; the navigator gets what is left.
  QWidget* navigator = buildFormulaNavigator(row);
  navigator->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  h->addWidget(navigator, 1);
  h->addWidget(buildSpeedButtons(row));
}

QWidget* TForm1::buildFormulaNavigator(QWidget* row) {
  TForm1* self = this;
  const auto button = [self](const char* name, const char* glyph, const char* hint, bool (GridModel::*action)()) {
    std::function<void()> pressed = [self, action] {
      std::invoke(action, self->formulaModel_);
      self->finish();
    };
    return NavigatorButton{QStringLiteral("DBNavigator1") + QString::fromLatin1(name), QString::fromUtf8(glyph),
                           QString::fromUtf8(hint), std::move(pressed)};
  };
  QList<NavigatorButton> buttons = {
      button("First", "|◀", "第一条原料记录", &GridModel::first),
      button("Prior", "◀", "前一条原料记录", &GridModel::prior),
      button("Next", "▶", "下一条原料记录", &GridModel::next),
      button("Last", "▶|", "最后一条原料记录", &GridModel::last),
      button("Insert", "＋", "插入新原料记录", &GridModel::insert),
      button("Delete", "－", "删除此条原料记录", &GridModel::remove),
      button("Post", "√", "确定本次原料修改", &GridModel::post),
  };
  buttons << NavigatorButton{QStringLiteral("DBNavigator1Cancel"), QStringLiteral("✕"), QStringLiteral("取消原料编辑"),
                             [this] {
                               formulaModel_->cancel();
                               finish();
                             }};
  NavigatorLook look;
  look.expanding = true;
  return buildNavigator(row, QStringLiteral("DBNavigator1"), buttons, look);
}

QWidget* TForm1::buildSpeedButtons(QWidget* row) {
  QWidget* speeds = panel(row, "Panel4");
  speeds->setAutoFillBackground(true);
  QPalette pp = speeds->palette();
  pp.setColor(QPalette::Window, toQColor(app::palette::kLightGreen));
  speeds->setPalette(pp);
  auto* pl = new QHBoxLayout(speeds);
  pl->setContentsMargins(2, 0, 2, 0);
  pl->setSpacing(2);
  struct SpeedButton {
    int number;
    const char* caption;
    const char* hint;
    app::Colour text;
    void (TForm1::*slot)();
    QToolButton** button;
    QString otherCaption = {};  // the caption of its other state
  };
  const SpeedButton buttons[] = {
      {6, "整理数据库", "整理数据库可以使数据库体积最小。", app::palette::kNavy, &TForm1::SpeedButton6Click, &packButton_},
      {1, "精简显示", "只显示配方所用原料或全部显示", app::palette::kNavy, &TForm1::SpeedButton1Click, &compactButton_,
       app::kCompactOnCaption},
      {3, "0", "配比精确位数扭。配方配比为整数", app::palette::kBlack, &TForm1::SpeedButton3Click, &precisionButtons_[0]},
      {4, "0.0", "配比精确位数扭。配方配比保留 一位小数", app::palette::kBlack, &TForm1::SpeedButton4Click,
       &precisionButtons_[1]},
      {5, "0.00", "配比精确位数扭。配方配比保留 二位小数", app::palette::kBlack, &TForm1::SpeedButton5Click,
       &precisionButtons_[2]},
      {2, "K/Na合并", "K2O、Na2O合并或分列，以提高程序计算结果的成功率。", app::palette::kNavy, &TForm1::SpeedButton2Click,
       &kNaButton_, app::kSplitCaption},
  };
  for (const SpeedButton& s : buttons) {
    QToolButton* b = toolButton(speeds, QStringLiteral("SpeedButton") + QString::number(s.number),
                                QString::fromUtf8(s.caption), QString::fromUtf8(s.hint));
    fitCaptions(b, s.number >= 3 && s.number <= 5 ? 36 : 72, s.otherCaption);
    setTextColour(b, toQColor(s.text));
    connect(b, &QToolButton::clicked, this, s.slot);
    *s.button = b;
    pl->addWidget(b);
  }
  return speeds;
}

void TForm1::buildMenu() {
  const auto menu = [this](const QString& title, const QString& name, std::initializer_list<MenuItem> items) {
    menus_ << ui::buildMenu(this, title, name, items, items_);
  };
  using C = app::Command;
  menu(QStringLiteral("界面"), QStringLiteral("MainMenuWindows"),
       {{"主界面", C::MainScreenItem, "MainScreenItem"},
        {"原料库", C::MainMaterials, "MainMaterials"},
        {"目标库", C::MainTargets, "MainTargets"},
        {nullptr, C::Count, ""},
        {"清空主界面数据", C::MainClear, "MainClear"},
        {"整理数据库", C::MainPack, "MainPack"},
        {nullptr, C::Count, ""},
        {"打印/预览", C::MainPrint, "N9"},
        {nullptr, C::Count, ""},
        {"退出", C::MainExit, "MainExit"}});
  menu(QStringLiteral("计算"), QStringLiteral("MainMenuCalculate"),
       {{"配方计算", C::MainCalculate, "N5"},
        {"验算组成", C::MainVerify, "N6"},
        {nullptr, C::Count, ""},
        {"坯性能", C::MainBody, "N20"},
        {"釉性能", C::MainGlaze, "N21"},
        {nullptr, C::Count, ""}});
  menu(QStringLiteral("窗口"), QStringLiteral("MainMenuArrange"),
       {{"水平", C::MainTileHorizontal, "MainTileHorizontal"},
        {"垂直", C::MainTileVertical, "MainTileVertical"},
        {"层叠", C::MainCascade, "MainCascade"}});
  menu(QStringLiteral("帮助"), QStringLiteral("MainMenuHelp"),
       {{"帮助", C::MainHelp, "MainHelp"}, {nullptr, C::Count, ""}, {"关于", C::MainAbout, "MainAbout"}});

  connect(items_[C::MainMaterials], &QAction::triggered, this, &TForm1::showMaterialLibraryRequested);
  connect(items_[C::MainTargets], &QAction::triggered, this, &TForm1::showTargetLibraryRequested);
  connect(items_[C::MainClear], &QAction::triggered, this, &TForm1::clearMainData);
  connect(items_[C::MainPack], &QAction::triggered, this, &TForm1::SpeedButton6Click);
  connect(items_[C::MainPrint], &QAction::triggered, this, &TForm1::printRequested);
  connect(items_[C::MainExit], &QAction::triggered, this, &TForm1::exitRequested);
  connect(items_[C::MainCalculate], &QAction::triggered, this, &TForm1::N5Click);
  connect(items_[C::MainVerify], &QAction::triggered, this, &TForm1::N6Click);
  connect(items_[C::MainBody], &QAction::triggered, this, &TForm1::N20Click);
  connect(items_[C::MainGlaze], &QAction::triggered, this, &TForm1::N21Click);
  connect(items_[C::MainHelp], &QAction::triggered, this, &TForm1::helpRequested);
  connect(items_[C::MainAbout], &QAction::triggered, this, &TForm1::aboutRequested);
}

void TForm1::refresh() {
  for (GridModel* m : {formulaModel_, targetModel_, resultModel_, propertyModel_}) m->refreshHeaders();
  formulaGrid_->viewport()->update();

  compactButton_->setText(screen_->compactCaption());
  setTextColour(compactButton_, toQColor(screen_->compactColour()));
  kNaButton_->setText(screen_->kNaCaption());
  setTextColour(kNaButton_, toQColor(screen_->kNaColour()));
  // The chosen precision button shows the panel through it; the others are opaque.
  for (int precision = 0; precision < 3; ++precision) {
    QToolButton* b = precisionButtons_[precision];
    const bool chosen = screen_->precision() == precision;
    b->setProperty("transparent", chosen);
    b->setAutoFillBackground(!chosen);
    QPalette p = b->palette();
    p.setColor(QPalette::Button, toQColor(app::palette::kButtonFace));
    p.setColor(QPalette::Window, toQColor(app::palette::kButtonFace));
    b->setPalette(p);
  }

  resultGrid_->setVisible(screen_->resultGridVisible());
  propertyPanel_->setVisible(screen_->propertyPanelVisible());
  // The panel shows every row of the property table.
  const int rows = propertyModel_->rowCount();
  const QTableView* g4 = propertyGrid_;
  const int needed = g4->horizontalHeader()->height() + rows * g4->verticalHeader()->defaultSectionSize() +
                     2 * g4->frameWidth() + 2;
  propertyPanel_->setFixedHeight(std::max({216, app::propertyPanelHeight(rows), needed}));
  placeTargetNavigator();
}

void TForm1::setOtherTitleMarks(std::function<bool(bool targetGrid, int k)> marked) {
  for (GridModel* m : {formulaModel_, targetModel_}) {
    const bool targetGrid = m == targetModel_;
    m->setTitleColourSource([m, marked, targetGrid](int column) {
      const int k = app::otherOxideAt(targetGrid ? app::Grid::Target : app::Grid::Formula, column);
      return k != 0 && marked(targetGrid, k) ? QColor(Qt::red) : QColor();
    });
  }
}

void TForm1::tablesChanged() {
  for (GridModel* m : {formulaModel_, targetModel_, resultModel_, propertyModel_}) m->sync();
  refresh();
}

void TForm1::finish() {
  tablesChanged();
  emit commandFinished();
}

void TForm1::placeTargetNavigator() {
  QTableView* g = targetGrid_;
  const int w0 = g->columnWidth(0);
  const int height = std::max(g->horizontalHeader()->fontMetrics().height(), 11);
  targetNavigator_->setFixedHeight(height);
  targetNavigator_->adjustSize();
  const int width = targetNavigator_->sizeHint().width();
  // Grid coordinates: the first column starts after the row indicator.
  const int left = w0 + 16 - width;
  targetNavigator_->move(g->viewport()->x() - app::kRowIndicatorWidth + left, g->frameWidth());
  targetNavigator_->raise();
}

app::RowHighlight TForm1::markOf(int row) const {
  return app::rowHighlight(formulaModel_->text(row, markColumns_[0]), formulaModel_->text(row, markColumns_[1]),
                           formulaModel_->text(row, markColumns_[2]));
}

void TForm1::followMarks(int row) {
  if (row < 0) return;
  const app::RowHighlight h = markOf(row);
  if (!h.highlighted || targetModel_->rowCount() == 0) return;
  QTableView* g = targetGrid_;
  const int targetRow = std::max(0, targetModel_->currentRow());
  g->selectionModel()->setCurrentIndex(targetModel_->index(targetRow, h.amountColumn),
                                       QItemSelectionModel::ClearAndSelect);
}

void TForm1::applyPointerHint(QTableView* grid, const app::PointerHint& hint) {
  grid->setToolTip(hint.hint);
  grid->setStatusTip(hint.hint);
  grid->viewport()->setCursor(cursorShape(hint.cursor));
  emit hintChanged(hint.hint);
}

void TForm1::DBGrid1MouseMove(int x) {
  const QTableView* g = formulaGrid_;
  applyPointerHint(formulaGrid_, app::formulaGridHint(x, g->columnWidth(0), g->columnWidth(1), g->columnWidth(3)));
}

void TForm1::DBGrid2MouseMove(int x) {
  const QTableView* g = targetGrid_;
  applyPointerHint(targetGrid_, app::targetGridHint(x, g->columnWidth(0), g->columnWidth(1)));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::MouseMove || type == QEvent::Enter) && watched->isWidgetType()) {
    // Grid coordinates: X counts the row indicator.
    auto* area = static_cast<QWidget*>(watched);
    const QPointF at = type == QEvent::Enter ? static_cast<QEnterEvent*>(event)->position()
                                             : static_cast<QMouseEvent*>(event)->position();
    if (formulaGrid_->isAncestorOf(area)) DBGrid1MouseMove(area->mapTo(formulaGrid_, at.toPoint()).x());
    else if (targetGrid_->isAncestorOf(area)) DBGrid2MouseMove(area->mapTo(targetGrid_, at.toPoint()).x());
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::N5Click() {
  screen_->calculate();
  finish();
}

void TForm1::N6Click() {
  screen_->verify();
  finish();
}

void TForm1::N20Click() {
  screen_->bodyProperties();
  finish();
}

void TForm1::N21Click() {
  screen_->glazeProperties();
  finish();
}

void TForm1::SpeedButton1Click() {
  screen_->toggleCompactDisplay();
  finish();
}
void TForm1::SpeedButton2Click() {
  screen_->toggleKNa();
  finish();
}
void TForm1::SpeedButton3Click() {
  screen_->setPrecision(0);
  finish();
}
void TForm1::SpeedButton4Click() {
  screen_->setPrecision(1);
  finish();
}
void TForm1::SpeedButton5Click() {
  screen_->setPrecision(2);
  finish();
}
void TForm1::SpeedButton6Click() {
  screen_->pack();
  if (!screen_->quitRequested()) finish();
}
void TForm1::clearMainData() {
  screen_->clearMainData();
  finish();
}
void TForm1::TB6Click() {
  screen_->confirmAndClearMainData();
  finish();
}

void TForm1::DBGrid1TitleClick(int column) {
  if (!screen_->selectOtherColumn(column)) return;
  // The menu opens under the clicked title.
  QHeaderView* h = formulaGrid_->horizontalHeader();
  const QPoint at = h->mapToGlobal(QPoint(h->sectionViewportPosition(column), h->height()));
  otherOxideMenu_->popup(at);
}

void TForm1::DBGrid1DblClick(int column) {
  switch (screen_->formulaGridDoubleClicked(column)) {
    case app::MainScreen::DoubleClick::ShowMaterialLibrary: emit showMaterialLibraryRequested(); return;
    case app::MainScreen::DoubleClick::ShowTargetLibrary: emit showTargetLibraryRequested(); return;
    case app::MainScreen::DoubleClick::Marked: followMarks(formulaModel_->currentRow()); break;
    case app::MainScreen::DoubleClick::Nothing: break;
  }
  finish();
}

void TForm1::DBGrid2DblClick(int column) {
  switch (screen_->targetGridDoubleClicked(column)) {
    case app::MainScreen::DoubleClick::ShowMaterialLibrary: emit showMaterialLibraryRequested(); return;
    case app::MainScreen::DoubleClick::ShowTargetLibrary: emit showTargetLibraryRequested(); return;
    default: break;
  }
  finish();
}

void TForm1::materialLibraryShown() {
  screen_->materialLibraryShown();
  finish();
}

}  // namespace tessaro::ui
