#include "form1.h"

#include "menus.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/propertytable.h"
#include "tablemodel.h"

namespace tessaro::ui {

namespace {

const QColor kPink(255, 210, 255);
const QColor kLightGreen(223, 255, 223);
const QColor kLightBlue(210, 233, 255);
const QColor kLightYellow(255, 255, 187);
const QColor kYellow(255, 255, 166);
const QColor kMoneyGreen(192, 220, 192);
const QColor kSkyBlue(166, 202, 240);
const QColor kFuchsia(255, 0, 255);
const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);
const QColor kGrey(128, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kButtonFace(240, 240, 240);

// Width of the row indicator with its grid line.
constexpr int kIndicatorWidth = 12;

const char* const kOxides[] = {"SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O", "QTCF1", "QTCF2", "QTCF3"};

QColor colour(app::Rgb c) { return QColor(c.r, c.g, c.b); }

GridColumn col(const QString& field, int width, QColor cell = {}, QColor title = {}, bool centred = false) {
  GridColumn c;
  c.field = field;
  c.width = width;
  c.cell = cell;
  c.title = title;
  c.titleCentred = centred;
  return c;
}

GridColumn hidden(const QString& field) { return col(field, 0); }

void addOxides(std::vector<GridColumn>& cols, QColor cell, QColor title) {
  for (const char* o : kOxides) {
    GridColumn c = col(QString::fromLatin1(o), 44, cell, title, true);
    if (c.field == QLatin1String("FE2O3") || c.field == QLatin1String("TIO2")) c.text = c.titleText = kGrey;
    cols.push_back(c);
  }
}

std::vector<GridColumn> formulaColumns() {
  std::vector<GridColumn> c;
  GridColumn name = col("NAME", 94, {}, kBlue);
  name.titleText = kWhite;
  c.push_back(name);
  for (const char* f : {"NUM1", "NUM2"}) {
    GridColumn n = col(f, 44, kPink, kFuchsia, true);
    n.text = kNavy;
    n.bold = true;
    c.push_back(n);
  }
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) {
    GridColumn m = col(f, 44, kLightGreen, kMoneyGreen, true);
    m.align = Qt::AlignCenter;
    c.push_back(m);
  }
  addOxides(c, kLightBlue, kSkyBlue);
  c.push_back(hidden("IL"));
  c.push_back(hidden("HJ"));
  c.push_back(col("DJ", 44, kLightYellow, kYellow, true));
  c.push_back(col("BZ", -1, {}, {}, true));
  c.push_back(col("DATE", 86));
  c.push_back(hidden("BH"));
  return c;
}

std::vector<GridColumn> targetColumns() {
  std::vector<GridColumn> c;
  GridColumn name = col("NAME", 185, {}, kNavy);
  name.titleText = kWhite;
  c.push_back(name);
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) {
    GridColumn m = col(f, 44, kLightGreen, kMoneyGreen);
    m.align = Qt::AlignCenter;
    c.push_back(m);
  }
  addOxides(c, kLightBlue, kSkyBlue);
  c.push_back(hidden("IL"));
  c.push_back(col("HJ", 44));
  c.push_back(col("BZ", -1));
  c.push_back(col("DATE", 86));
  c.push_back(hidden("BH"));
  return c;
}

std::vector<GridColumn> resultColumns() {
  std::vector<GridColumn> c;
  GridColumn bh = col("BH", 185, {}, kFuchsia);
  bh.align = Qt::AlignCenter;
  c.push_back(bh);
  GridColumn dj = col("DJ", 134, kLightYellow, kYellow);
  dj.align = Qt::AlignCenter;
  c.push_back(dj);
  for (const char* o : kOxides) c.push_back(col(QString::fromLatin1(o), 44, kPink, kFuchsia));
  c.push_back(col("HJ", 44, {}, kFuchsia));
  c.push_back(col("BZ", -1));
  c.push_back(col("DATE", 86));
  for (const char* f : {"IL", "BXL1", "BXL2", "BXL3", "NAME"}) c.push_back(hidden(f));
  return c;
}

std::vector<GridColumn> propertyColumns() {
  std::vector<GridColumn> c;
  for (int side = 0; side < 2; ++side) {
    const QString s = QString::number(side);
    GridColumn name = col("NAME" + s, 120, kLightGreen);
    name.align = Qt::AlignCenter;
    name.caption = QStringLiteral("名称");
    c.push_back(name);
    for (const char* g : {"RO", "R2O3", "RO2"}) {
      GridColumn label = col(QString::fromLatin1(g) + "NAME" + s, QLatin1String(g) == QLatin1String("R2O3") ? 80 : -1);
      label.align = Qt::AlignRight | Qt::AlignVCenter;
      label.text = kBlue;
      label.bold = true;
      label.caption = QStringLiteral("氧化物名");
      c.push_back(label);
      GridColumn value = col(QString::fromLatin1(g) + s, -1);
      value.caption = QStringLiteral("系数");
      c.push_back(value);
    }
  }
  return c;
}

// Draws the cells of a grid: the column colours of the model, adjusted per
// cell by `adjust`, with a pick list editor on the columns that have one.
class GridDelegate : public QStyledItemDelegate {
 public:
  struct Look {
    QColor background, text;
    bool focusRectangle = false;
  };
  using Adjust = std::function<void(const QModelIndex&, Look&)>;

  GridDelegate(Adjust adjust, QList<int> pickColumns, QObject* parent)
      : QStyledItemDelegate(parent), adjust_(std::move(adjust)), pickColumns_(std::move(pickColumns)) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    Look look;
    if (adjust_) adjust_(index, look);
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    if (look.background.isValid()) o.backgroundBrush = look.background;
    if (look.text.isValid()) {
      o.palette.setColor(QPalette::Text, look.text);
      o.palette.setColor(QPalette::HighlightedText, look.text);
    }
    if (look.focusRectangle) {
      p->save();
      p->fillRect(o.rect, o.backgroundBrush);
      QPen pen(kBlack, 1, Qt::DotLine);
      p->setPen(pen);
      p->drawRect(o.rect.adjusted(0, 0, -1, -1));
      p->restore();
    }
    const QWidget* w = o.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!pickColumns_.contains(index.column())) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    box->addItems({QString(), app::kMandatoryMark});
    return box;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      const int i = box->findText(index.data(Qt::EditRole).toString());
      box->setCurrentIndex(std::max(i, 0));
      return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
      model->setData(index, box->currentText());
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  Adjust adjust_;
  QList<int> pickColumns_;
};

// A flat button with a symbol and a hint, for the navigators.
QToolButton* navButton(QWidget* parent, const QString& name, const QString& symbol, const QString& hint) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(symbol);
  b->setToolTip(hint);
  b->setStatusTip(hint);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

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

}  // namespace

TForm1::TForm1(app::Prompter& prompter, app::FrameState& frame, const QString& baseFolder, QWidget* parent)
    : QWidget(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kMainScreenCaption);
  screen_ = std::make_unique<app::MainScreen>(prompter, frame, baseFolder);
  screen_->setQuitHandler([this] { emit exitRequested(); });

  const auto onError = [this](const QString& text) { prompter_.error(text); };
  const std::vector<GridColumn> layouts[4] = {formulaColumns(), targetColumns(), resultColumns(), propertyColumns()};
  for (int i = 0; i < 4; ++i) {
    models_[i] = new TableModel(screen_->table(app::WorkTable(i)), layouts[i], this);
    models_[i]->setErrorHandler(onError);
  }
  models_[0]->setCaptionSource([this] { return screen_->formulaCaptions(); });
  models_[1]->setCaptionSource([this] { return screen_->targetCaptions(); });
  models_[2]->setCaptionSource([this] { return screen_->resultCaptions(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  // 1. Command row.
  auto* row = new QWidget(this);
  row->setObjectName(QStringLiteral("Panel1"));
  row->setFixedHeight(25);
  buildCommandRow(row);
  layout->addWidget(row);

  // 2. Table 1 area with grid 3 along its bottom edge.
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("Panel2"));
  auto* areaLayout = new QVBoxLayout(area);
  areaLayout->setContentsMargins(0, 0, 0, 0);
  areaLayout->setSpacing(0);
  grids_[0] = makeGrid(QStringLiteral("DBGrid1"), models_[0], QStringLiteral("配方配比和原料化学组成表（表1）"));
  grids_[2] = makeGrid(QStringLiteral("DBGrid3"), models_[2], QStringLiteral("各配方化学组成表（3）"));
  grids_[2]->setFixedHeight(78);
  areaLayout->addWidget(grids_[0], 1);
  areaLayout->addWidget(grids_[2]);
  layout->addWidget(area, 1);

  // 3. Table 4 panel.
  panel5_ = new QWidget(this);
  panel5_->setObjectName(QStringLiteral("Panel5"));
  auto* p5 = new QVBoxLayout(panel5_);
  p5->setContentsMargins(0, 0, 0, 0);
  grids_[3] = makeGrid(QStringLiteral("DBGrid4"), models_[3], QStringLiteral("各配方的坯釉式和性能(表4)。"));
  p5->addWidget(grids_[3]);
  panel5_->setFixedHeight(216);
  layout->addWidget(panel5_);

  // 4. Table 2 panel.
  auto* panel2 = new QWidget(this);
  panel2->setObjectName(QStringLiteral("Panel3"));
  panel2->setFixedHeight(61);
  auto* p2 = new QVBoxLayout(panel2);
  p2->setContentsMargins(0, 0, 0, 0);
  grids_[1] = makeGrid(QStringLiteral("DBGrid2"), models_[1], QStringLiteral("目标配方化学组成表（表2）"));
  p2->addWidget(grids_[1]);
  layout->addWidget(panel2);

  // The target navigator in grid 2's title row.
  navigator2_ = new QWidget(grids_[1]);
  navigator2_->setObjectName(QStringLiteral("DBNavigator2"));
  auto* n2 = new QHBoxLayout(navigator2_);
  n2->setContentsMargins(0, 0, 0, 0);
  n2->setSpacing(0);
  auto* del2 = navButton(navigator2_, QStringLiteral("DBNavigator2Delete"), QStringLiteral("－"), QStringLiteral("删除目标配方记录"));
  auto* post2 = navButton(navigator2_, QStringLiteral("DBNavigator2Post"), QStringLiteral("√"),
                          QStringLiteral("表２中数据的输入或修改后必须加以确认，否则不保存数据的改变；将会直接影响计算准确性。"));
  n2->addWidget(del2);
  n2->addWidget(post2);
  connect(del2, &QToolButton::clicked, this, [this] { models_[1]->remove(); finish(); });
  connect(post2, &QToolButton::clicked, this, [this] {
    grids_[1]->setCurrentIndex(grids_[1]->currentIndex());  // commits an open editor
    grids_[1]->closePersistentEditor(grids_[1]->currentIndex());
    models_[1]->post();
    finish();
  });

  // Cell drawing.
  grids_[0]->setItemDelegate(new GridDelegate(
      [this](const QModelIndex& i, GridDelegate::Look& look) {
        const int column = i.column();
        if (column == 1 || column == 2) look.background = colour(screen_->proportionColour(column));
        const auto h = app::rowHighlight(models_[0]->text(i.row(), "BXL1"), models_[0]->text(i.row(), "BXL2"),
                                         models_[0]->text(i.row(), "BXL3"));
        if (h.highlighted) {
          look.background = colour(app::kMandatoryRowColour);
          look.text = colour(app::kRed);
        }
      },
      {3, 4, 5}, grids_[0]));
  grids_[3]->setItemDelegate(new GridDelegate(
      [this](const QModelIndex& i, GridDelegate::Look& look) {
        const auto style = core::propertyRowStyle(models_[3]->text(i.row(), "RONAME0").toStdString(),
                                                  models_[3]->text(i.row(), "RONAME1").toStdString());
        const auto c = core::propertyRowColours(style);
        const auto qc = [](core::GridColour g) -> QColor {
          switch (g) {
            case core::GridColour::Yellow: return QColor(255, 255, 0);
            case core::GridColour::Black: return kBlack;
            case core::GridColour::Fuchsia: return kFuchsia;
            case core::GridColour::Window: return kWhite;
            case core::GridColour::Blue: return kBlue;
            case core::GridColour::ColumnDefault: break;
          }
          return {};
        };
        if (QColor b = qc(c.background); b.isValid()) look.background = b;
        if (QColor t = qc(c.text); t.isValid()) look.text = t;
        look.focusRectangle = c.focusRectangle;
      },
      {}, grids_[3]));

  // Grid events.
  connect(grids_[0]->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm1::DBGrid1TitleClick);
  connect(grids_[0], &QTableView::doubleClicked, this, [this](const QModelIndex& i) { DBGrid1DblClick(i.column()); });
  connect(grids_[1], &QTableView::doubleClicked, this, [this](const QModelIndex& i) { DBGrid2DblClick(i.column()); });
  connect(models_[0], &TableModel::currentRowChanged, this, &TForm1::followMarks);
  connect(grids_[1]->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeTargetNavigator(); });

  // PopupMenu1: the other oxides of grid 1's last three composition columns.
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  const char* const popupNames[] = {"B2O3N", "BaO", "BeO", "Li2O", "MnO", "P205", "PbO", "SnO2", "SrO", "ZnO2", "ZrO2"};
  for (int i = 0; i < int(app::kOtherOxideEntries.size()); ++i) {
    QAction* a = popup_->addAction(QString::fromUtf16(app::kOtherOxideEntries[std::size_t(i)].name));
    a->setObjectName(QString::fromLatin1(popupNames[i]));
    connect(a, &QAction::triggered, this, [this, i] { screen_->chooseOtherOxide(i); finish(); });
  }
  QAction* other = popup_->addAction(QStringLiteral("其它"));
  other->setObjectName(QStringLiteral("MenuItem12"));
  connect(other, &QAction::triggered, this, [this] { screen_->enterOtherOxide(); finish(); });

  buildMenu();
  refresh();
}

TForm1::~TForm1() {
  // The models watch the tables, which the main screen owns.
  for (TableModel*& m : models_) {
    delete m;
    m = nullptr;
  }
}

TableModel* TForm1::model(app::WorkTable t) const { return models_[int(t)]; }
QTableView* TForm1::grid(app::WorkTable t) const { return grids_[int(t)]; }

QTableView* TForm1::makeGrid(const QString& name, TableModel* model, const QString& hint) {
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
  g->setFont(font);
  g->horizontalHeader()->setFont(font);
  g->setFrameShape(QFrame::Box);
  g->setFrameShadow(QFrame::Plain);
  g->setLineWidth(1);
  g->verticalHeader()->setFixedWidth(kIndicatorWidth - 1);
  g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 4);
  g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  g->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  g->horizontalHeader()->setHighlightSections(false);
  g->horizontalHeader()->setSectionsClickable(true);
  for (int c = 0; c < model->columnCount(); ++c) {
    const GridColumn& gc = model->column(c);
    if (gc.width == 0) g->setColumnHidden(c, true);
    else if (gc.width > 0) g->setColumnWidth(c, gc.width);
  }
  g->viewport()->setMouseTracking(true);
  g->viewport()->installEventFilter(this);
  // The grid's current row is the cursor's current record.
  connect(g->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [model](const QModelIndex& current) {
            if (current.isValid() && current.row() != model->currentRow()) model->moveTo(current.row());
          });
  connect(model, &TableModel::currentRowChanged, g, [g, model](int row) {
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

  auto* nav = new QWidget(row);
  nav->setObjectName(QStringLiteral("DBNavigator1"));
  auto* nl = new QHBoxLayout(nav);
  nl->setContentsMargins(0, 0, 0, 0);
  nl->setSpacing(0);
  struct NavButtonInfo {
    const char* name;
    const char* symbol;
    const char* hint;
  };
  const NavButtonInfo navButtons[] = {
      {"First", "|◀", "第一条原料记录"},  {"Prior", "◀", "前一条原料记录"},  {"Next", "▶", "下一条原料记录"},
      {"Last", "▶|", "最后一条原料记录"}, {"Insert", "＋", "插入新原料记录"}, {"Delete", "－", "删除此条原料记录"},
      {"Post", "√", "确定本次原料修改"},
  };
  int index = 0;
  for (const NavButtonInfo& s : navButtons) {
    auto* b = navButton(nav, QStringLiteral("DBNavigator1") + QString::fromLatin1(s.name), QString::fromUtf8(s.symbol),
                        QString::fromUtf8(s.hint));
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    nl->addWidget(b);
    const int which = index++;
    connect(b, &QToolButton::clicked, this, [this, which] {
      TableModel* m = models_[0];
      switch (which) {
        case 0: m->first(); break;
        case 1: m->prior(); break;
        case 2: m->next(); break;
        case 3: m->last(); break;
        case 4: m->insert(); break;
        case 5: m->remove(); break;
        default: m->post(); break;
      }
      finish();
    });
  }
  auto* cancel = navButton(nav, QStringLiteral("DBNavigator1Cancel"), QStringLiteral("✕"), QStringLiteral("取消原料编辑"));
  cancel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  nl->addWidget(cancel);
  connect(cancel, &QToolButton::clicked, this, [this] { models_[0]->cancel(); finish(); });
  h->addWidget(nav, 1);

  auto* panel = new QWidget(row);
  panel->setObjectName(QStringLiteral("Panel4"));
  panel->setAutoFillBackground(true);
  QPalette pp = panel->palette();
  pp.setColor(QPalette::Window, kLightGreen);
  panel->setPalette(pp);
  auto* pl = new QHBoxLayout(panel);
  pl->setContentsMargins(2, 0, 2, 0);
  pl->setSpacing(2);
  struct SpeedSpec {
    int number;
    const char* caption;
    const char* hint;
    QColor text;
    void (TForm1::*slot)();
  };
  const SpeedSpec speeds[] = {
      {6, "整理数据库", "整理数据库可以使数据库体积最小。", kNavy, &TForm1::SpeedButton6Click},
      {1, "精简显示", "只显示配方所用原料或全部显示", kNavy, &TForm1::SpeedButton1Click},
      {3, "0", "配比精确位数扭。配方配比为整数", kBlack, &TForm1::SpeedButton3Click},
      {4, "0.0", "配比精确位数扭。配方配比保留 一位小数", kBlack, &TForm1::SpeedButton4Click},
      {5, "0.00", "配比精确位数扭。配方配比保留 二位小数", kBlack, &TForm1::SpeedButton5Click},
      {2, "K/Na合并", "K2O、Na2O合并或分列，以提高程序计算结果的成功率。", kNavy, &TForm1::SpeedButton2Click},
  };
  for (const SpeedSpec& s : speeds) {
    auto* b = new QToolButton(panel);
    b->setObjectName(QStringLiteral("SpeedButton") + QString::number(s.number));
    b->setText(QString::fromUtf8(s.caption));
    b->setToolTip(QString::fromUtf8(s.hint));
    b->setStatusTip(b->toolTip());
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(s.number >= 3 && s.number <= 5 ? 36 : 72);
    setTextColour(b, s.text);
    connect(b, &QToolButton::clicked, this, s.slot);
    speed_[s.number] = b;
    pl->addWidget(b);
  }
  h->addWidget(panel);
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
        {"打印/预览", C::N9, "N9"},
        {nullptr, C::Count, ""},
        {"退出", C::MainExit, "MainExit"}});
  menu(QStringLiteral("计算"), QStringLiteral("MainMenuCalculate"),
       {{"配方计算", C::N5, "N5"},
        {"验算组成", C::N6, "N6"},
        {nullptr, C::Count, ""},
        {"坯性能", C::N20, "N20"},
        {"釉性能", C::N21, "N21"},
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
  connect(items_[C::N9], &QAction::triggered, this, &TForm1::printRequested);
  connect(items_[C::MainExit], &QAction::triggered, this, &TForm1::exitRequested);
  connect(items_[C::N5], &QAction::triggered, this, &TForm1::N5Click);
  connect(items_[C::N6], &QAction::triggered, this, &TForm1::N6Click);
  connect(items_[C::N20], &QAction::triggered, this, &TForm1::N20Click);
  connect(items_[C::N21], &QAction::triggered, this, &TForm1::N21Click);
  connect(items_[C::MainHelp], &QAction::triggered, this, &TForm1::helpRequested);
  connect(items_[C::MainAbout], &QAction::triggered, this, &TForm1::aboutRequested);
}

void TForm1::refresh() {
  for (TableModel* m : models_) m->refreshHeaders();
  grids_[0]->viewport()->update();

  speed_[1]->setText(screen_->compactCaption());
  setTextColour(speed_[1], colour(screen_->compactColour()));
  speed_[2]->setText(screen_->kNaCaption());
  setTextColour(speed_[2], colour(screen_->kNaColour()));
  // The chosen precision button shows the panel through it; the others are opaque.
  for (int n = 3; n <= 5; ++n) {
    QToolButton* b = speed_[n];
    const bool chosen = screen_->precision() == n - 3;
    b->setProperty("transparent", chosen);
    b->setAutoFillBackground(!chosen);
    QPalette p = b->palette();
    p.setColor(QPalette::Button, kButtonFace);
    p.setColor(QPalette::Window, kButtonFace);
    b->setPalette(p);
  }

  grids_[2]->setVisible(screen_->resultGridVisible());
  panel5_->setVisible(screen_->propertyPanelVisible());
  // The panel shows every row of the property table.
  const int rows = models_[3]->rowCount();
  const QTableView* g4 = grids_[3];
  const int needed = g4->horizontalHeader()->height() + rows * g4->verticalHeader()->defaultSectionSize() +
                     2 * g4->frameWidth() + 2;
  panel5_->setFixedHeight(std::max({216, core::propertyPanelHeight(rows), needed}));
  placeTargetNavigator();
}

void TForm1::setOtherTitleMarks(std::function<bool(bool targetGrid, int k)> marked) {
  for (int grid = 0; grid < 2; ++grid) {
    models_[grid]->setTitleColourSource([marked, grid](const QString& field) {
      if (!field.startsWith(QLatin1String("QTCF"))) return QColor();
      const int k = field.right(1).toInt();
      return marked(grid == 1, k) ? QColor(Qt::red) : QColor();
    });
  }
}

void TForm1::tablesChanged() {
  for (TableModel* m : models_) m->reload();
  refresh();
}

void TForm1::finish() {
  tablesChanged();
  emit commandFinished();
}

void TForm1::placeTargetNavigator() {
  QTableView* g = grids_[1];
  const int w0 = g->columnWidth(0);
  const int height = std::max(g->horizontalHeader()->fontMetrics().height(), 11);
  navigator2_->setFixedHeight(height);
  navigator2_->adjustSize();
  const int width = navigator2_->sizeHint().width();
  // Grid coordinates: the first column starts after the row indicator.
  const int left = w0 + 16 - width;
  navigator2_->move(g->viewport()->x() - kIndicatorWidth + left, g->frameWidth());
  navigator2_->raise();
}

void TForm1::followMarks(int row) {
  if (row < 0) return;
  const auto h = app::rowHighlight(models_[0]->text(row, "BXL1"), models_[0]->text(row, "BXL2"),
                                   models_[0]->text(row, "BXL3"));
  if (!h.highlighted || models_[1]->rowCount() == 0) return;
  QTableView* g = grids_[1];
  const int targetRow = std::max(0, models_[1]->currentRow());
  g->selectionModel()->setCurrentIndex(models_[1]->index(targetRow, h.amountColumn),
                                       QItemSelectionModel::ClearAndSelect);
}

void TForm1::applyPointerHint(QTableView* grid, const app::PointerHint& hint) {
  grid->setToolTip(hint.hint);
  grid->setStatusTip(hint.hint);
  grid->viewport()->setCursor(cursorShape(hint.cursor));
  emit hintChanged(hint.hint);
}

void TForm1::DBGrid1MouseMove(int x) {
  const QTableView* g = grids_[0];
  applyPointerHint(grids_[0], app::formulaGridHint(x, g->columnWidth(0), g->columnWidth(1), g->columnWidth(3)));
}

void TForm1::DBGrid2MouseMove(int x) {
  const QTableView* g = grids_[1];
  applyPointerHint(grids_[1], app::targetGridHint(x, g->columnWidth(0), g->columnWidth(1)));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    const auto* me = static_cast<QMouseEvent*>(event);
    const int x = int(me->position().x());
    if (watched == grids_[0]->viewport()) DBGrid1MouseMove(x + grids_[0]->viewport()->x());
    else if (watched == grids_[1]->viewport()) DBGrid2MouseMove(x + grids_[1]->viewport()->x());
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
  QHeaderView* h = grids_[0]->horizontalHeader();
  const QPoint at = h->mapToGlobal(QPoint(h->sectionViewportPosition(column), h->height()));
  popup_->popup(at);
}

void TForm1::DBGrid1DblClick(int column) {
  switch (screen_->formulaGridDoubleClicked(column)) {
    case app::MainScreen::DoubleClick::ShowMaterialLibrary: emit showMaterialLibraryRequested(); return;
    case app::MainScreen::DoubleClick::ShowTargetLibrary: emit showTargetLibraryRequested(); return;
    case app::MainScreen::DoubleClick::Marked: followMarks(models_[0]->currentRow()); break;
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
