#include "ui/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <functional>

#include "aboutbox.h"
#include "ui/gridmodel.h"
#include "ui/mainscreenform.h"
#include "icons.h"
#include "libraryform.h"
#include "menus.h"
#include "messageboxprompter.h"

namespace tessaro::ui {

namespace {

using C = app::Command;


// A window that another part of the program fills in; until then it shows
// its caption only.
QWidget* placeholder(const QString& name, const QString& caption, QWidget* parent) {
  auto* w = new QWidget(parent);
  w->setObjectName(name);
  w->setWindowTitle(caption);
  auto* l = new QVBoxLayout(w);
  auto* label = new QLabel(caption, w);
  label->setAlignment(Qt::AlignCenter);
  l->addWidget(label);
  w->hide();
  return w;
}

}  // namespace

TMainForm::TMainForm(app::Prompter* prompter, QWidget* parent) : QMainWindow(parent) {
  if (!prompter) {
    ownPrompter_ = std::make_unique<MessageBoxPrompter>(this);
    prompter = ownPrompter_.get();
  }
  prompter_ = prompter;
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(app::kFrameCaption);
  // No system menu and no window buttons: the program is left through its exit commands.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  resize(994, 450);

  mdiArea_ = new QMdiArea(this);
  mdiArea_->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (sub) updateMenuBar();
  });

  buildToolBar();
  buildStatusStrip();
  buildMenu();
  qApp->installEventFilter(this);

  const QScreen* screen = QGuiApplication::primaryScreen();
  frameCreationStep(screen ? screen->geometry().width() : 1024);
  applyCommandState();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  // The main screen's menus live in the main screen; leave the menu bar first.
  menuBar()->clear();
}

void TMainForm::buildToolBar() {
  auto* bar = addToolBar(QStringLiteral("ToolBar1"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(24, 24));

  struct ToolEntry {
    const char* name;
    const char* caption;
    const char* hint;
    C command;
    void (TMainForm::*slot)();
    bool separatorAfter;
  };
  const ToolEntry before[] = {
      {"TB1", "主界面", "主界面", C::ToolMainScreen, &TMainForm::TB1Click, false},
      {"TB2", "原料库", "原料库", C::ToolMaterials, &TMainForm::TB2Click, false},
      {"TB3", "目标库", "目标库", C::ToolTargets, &TMainForm::TB3Click, true},
      {"TB4", "配方计算", "以目标配方的化学组成为标准，从原料库中自动选择原料并配比，近可能满足标准要求",
       C::ToolCalculate, &TMainForm::TB4Click, false},
      {"TB5", "验算组成", "将配方计算结果，据所用原料的化学组成验算配方的化学组成", C::ToolVerify, &TMainForm::TB5Click,
       true},
      {"TB8", "坯性能", "坯性能计算", C::ToolBody, &TMainForm::TB8Click, false},
      {"TB9", "釉性能", "釉性能计算", C::ToolGlaze, &TMainForm::TB9Click, true},
      {"WTB1", "层叠", "层叠排列按钮，打开［原料库］和［目标库］界面后效果才明显。", C::ToolCascade,
       &TMainForm::WTB1Click, false},
      {"WTB2", "水平", "水平排列按钮，打开［原料库］和［目标库］界面后效果才明显。", C::ToolTileHorizontal,
       &TMainForm::WTB2Click, false},
      {"WTB3", "垂直", "垂直排列按钮，打开［原料库］和［目标库］界面后效果才明显。", C::ToolTileVertical,
       &TMainForm::WTB3Click, true},
      {"TB7", "打印/预览", "打印/预览", C::ToolPrint, &TMainForm::TB7Click, true},
      {"TB6", "清空主界面数据", "清空主界面各表的数据", C::ToolClear, &TMainForm::TB6Click, true},
  };
  const auto add = [&](const ToolEntry& s) {
    auto* a = new QAction(toolIcon(QString::fromLatin1(s.name)), QString::fromUtf8(s.caption), this);
    a->setObjectName(QString::fromLatin1(s.name));
    a->setToolTip(QString::fromUtf8(s.hint));
    a->setStatusTip(a->toolTip());
    if (s.command == C::ToolMainScreen || s.command == C::ToolMaterials || s.command == C::ToolTargets)
      a->setCheckable(true);
    connect(a, &QAction::triggered, this, s.slot);
    actions_.insert(s.command, a);
    bar->addAction(a);
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a))) b->setObjectName(a->objectName() + "Button");
    if (s.separatorAfter) bar->addSeparator();
  };
  for (const ToolEntry& s : before) add(s);

  buildErrorInputs(bar);

  add({"ToolButton6", "计算器", "计算器", C::ToolCalculator, &TMainForm::ToolButton6Click, true});
  add({"TBExit", "退出", "退出", C::ToolExit, &TMainForm::TBExitClick, false});
}

// The inputs of the calculation on the tool bar: details and the allowed error.
void TMainForm::buildErrorInputs(QToolBar* bar) {
  details_ = new QCheckBox(QStringLiteral("显示祥细误差"), bar);
  details_->setObjectName(QStringLiteral("CheckBox1"));
  details_->setToolTip(QStringLiteral("显示详细误差"));
  details_->setStatusTip(details_->toolTip());
  connect(details_, &QCheckBox::toggled, this, [this](bool on) {
    if (mainScreen_) mainScreen_->setShowDetails(on);
  });
  bar->addWidget(details_);
  bar->addSeparator();

  auto* box = new QWidget(bar);
  box->setObjectName(QStringLiteral("LabeledEdit1Box"));
  // As wide as label and box need: the tool bar must not widen it, which
  // would part the label from its box.
  box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  allowedLayout_ = new QBoxLayout(QBoxLayout::LeftToRight, box);
  allowedLayout_->setContentsMargins(2, 0, 2, 0);
  allowedLayout_->setSpacing(3);
  auto* label = new QLabel(QStringLiteral("允许误差%"), box);
  label->setObjectName(QStringLiteral("LabeledEdit1Label"));
  allowed_ = new QLineEdit(QStringLiteral("1"), box);
  allowed_->setObjectName(QStringLiteral("LabeledEdit1"));
  allowed_->setFixedWidth(48);
  const QString hint = QStringLiteral("相对目标配方化学组成允许计算结果的平均误差率%");
  allowed_->setToolTip(hint);
  allowed_->setStatusTip(hint);
  label->setToolTip(hint);
  QPalette red = allowed_->palette();
  red.setColor(QPalette::Text, Qt::red);
  allowed_->setPalette(red);
  label->setBuddy(allowed_);
  allowedLayout_->addWidget(label);
  allowedLayout_->addWidget(allowed_);
  connect(allowed_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (mainScreen_) mainScreen_->setAllowedErrorText(text);
  });
  bar->addWidget(box);
  bar->addSeparator();
}

void TMainForm::buildStatusStrip() {
  addToolBarBreak();
  auto* strip = new QToolBar(QStringLiteral("StatusStrip"), this);
  strip->setObjectName(QStringLiteral("StatusStrip"));
  strip->setMovable(false);
  strip->setFloatable(false);
  addToolBar(strip);

  auto* row = new QWidget(strip);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(0);
  // Style sheets rather than palettes: the style paints over a palette's
  // background colour, never over a style sheet's.
  const QString skyBlue = toQColor(app::palette::kSkyBlue).name();
  auto* fixed = new QLabel(QStringLiteral("鼠标所指处的说明 →"), row);
  fixed->setObjectName(QStringLiteral("Label1"));
  fixed->setFixedWidth(130);
  fixed->setStyleSheet(QStringLiteral("QLabel { color: red; background-color: %1; }").arg(skyBlue));
  h->addWidget(fixed);

  auto* bar = new QFrame(row);
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setStyleSheet(QStringLiteral("QFrame#StatusBar1 { background-color: %1; }").arg(skyBlue));
  auto* bl = new QHBoxLayout(bar);
  bl->setContentsMargins(0, 0, 0, 0);
  bl->setSpacing(2);
  hintPanel_ = new QLabel(bar);
  hintPanel_->setObjectName(QStringLiteral("HintPanel"));
  hintPanel_->setAlignment(Qt::AlignCenter);
  hintPanel_->setFrameShape(QFrame::Panel);
  hintPanel_->setFrameShadow(QFrame::Sunken);
  datePanel_ = new QLabel(bar);
  datePanel_->setObjectName(QStringLiteral("DatePanel"));
  datePanel_->setAlignment(Qt::AlignCenter);
  datePanel_->setFixedWidth(100);
  datePanel_->setFrameShape(QFrame::Panel);
  datePanel_->setFrameShadow(QFrame::Sunken);
  bl->addWidget(hintPanel_);
  bl->addWidget(datePanel_);
  bl->addStretch();
  h->addWidget(bar, 1);
  strip->addWidget(row);
}

void TMainForm::buildMenu() {
  const auto menu = [this](const QString& title, const QString& name, std::initializer_list<MenuItem> items) {
    QMenu* m = ui::buildMenu(this, title, name, items, actions_);
    connect(m, &QMenu::hovered, this, [this](QAction* a) { showHint(a->statusTip()); });
    frameMenus_ << m;
  };
  menu(QStringLiteral("界面(&P)"), QStringLiteral("FrameMenuWindows"),
       {{"主界面(&Z)", C::FrameMainScreen, "FrameMainScreen", nullptr},
        {"原料库(&Y)", C::FrameMaterials, "FrameMaterials", nullptr},
        {"目标库(&M)", C::FrameTargets, "FrameTargets", nullptr},
        {nullptr, C::Count, "", nullptr},
        {"清空主界面数据(&D)", C::FrameClear, "FrameClear", nullptr},
        {nullptr, C::Count, "", nullptr},
        {"打印/预览(&S)", C::FramePrint, "FramePrint", "打印、预览"},
        {nullptr, C::Count, "", nullptr},
        {"退出", C::FrameExit, "FrameExit", nullptr}});
  menu(QStringLiteral("计算(&Q)"), QStringLiteral("FrameMenuCalculate"),
       {{"配方计算(&P)", C::FrameCalculate, "FrameCalculate", nullptr},
        {"验算组成(&S)", C::FrameVerify, "FrameVerify", nullptr},
        {nullptr, C::Count, "", nullptr},
        {"坯性能计算(&B)", C::FrameBody, "FrameBody", nullptr},
        {"釉性能计算(&G)", C::FrameGlaze, "FrameGlaze", nullptr}});
  menu(QStringLiteral("窗口(&W)"), QStringLiteral("FrameMenuArrange"),
       {{"层叠(&N)", C::FrameCascade, "FrameCascade", nullptr},
        {"水平(&V)", C::FrameTileHorizontal, "FrameTileHorizontal", nullptr},
        {"垂直(&R)", C::FrameTileVertical, "FrameTileVertical", nullptr}});
  menu(QStringLiteral("帮助(&H)"), QStringLiteral("FrameMenuHelp"),
       {{"帮助(&A)", C::FrameHelp, "FrameHelp", nullptr},
        {nullptr, C::Count, "", nullptr},
        {"关于(&O)", C::FrameAbout, "FrameAbout", nullptr}});

  const auto wire = [this](C item, void (TMainForm::*slot)()) {
    connect(actions_[item], &QAction::triggered, this, slot);
  };
  wire(C::FrameMainScreen, &TMainForm::TB1Click);
  wire(C::FrameMaterials, &TMainForm::TB2Click);
  wire(C::FrameTargets, &TMainForm::TB3Click);
  wire(C::FrameClear, &TMainForm::TB6Click);
  wire(C::FrameExit, &TMainForm::TBExitClick);
  wire(C::FrameCascade, &TMainForm::WTB1Click);
  wire(C::FrameTileHorizontal, &TMainForm::WTB2Click);
  wire(C::FrameTileVertical, &TMainForm::WTB3Click);
  wire(C::FrameHelp, &TMainForm::helpClick);
  wire(C::FrameAbout, &TMainForm::aboutClick);
  // The calculation items run their tool button's command while that button is enabled.
  const auto follow = [this](C item, C button, std::function<void()> run) {
    connect(actions_[item], &QAction::triggered, this, [this, button, run] {
      if (state_.enabled(button)) run();
    });
  };
  follow(C::FrameCalculate, C::ToolCalculate, [this] { TB4Click(); });
  follow(C::FrameVerify, C::ToolVerify, [this] { TB5Click(); });
  follow(C::FrameBody, C::ToolBody, [this] { TB8Click(); });
  follow(C::FrameGlaze, C::ToolGlaze, [this] { TB9Click(); });
  buildFitMenu();
  buildLibraryCsvMenu();
  updateMenuBar();
}

QMenu* TMainForm::hintedMenu(const QString& title, const QString& name, std::initializer_list<PlainMenuItem> items) {
  QMenu* menu = buildPlainMenu(this, title, name, items);
  connect(menu, &QMenu::hovered, this, [this](QAction* a) { showHint(a->statusTip()); });
  return menu;
}

void TMainForm::buildLibraryCsvMenu() {
  libraryCsvMenu_ = hintedMenu(
      QStringLiteral("导入导出(&X)"), QStringLiteral("LibraryCsvMenu"),
      {{"导出CSV(&E)…", "LibraryExportCsv", "把当前库窗口的全部记录导出为 CSV 文件，LibreOffice 和 Excel 都能打开",
        [this] { libraryCsvClick(false); }},
       {"导入CSV(&I)…", "LibraryImportCsv", "从 CSV 文件导入记录到当前库窗口的库：每个单元格检查无误才写入，可添加或替换",
        [this] { libraryCsvClick(true); }}});
}

void TMainForm::buildFitMenu() {
  fitMenu_ = hintedMenu(QStringLiteral("配料与适应性(&B)"), QStringLiteral("FitMenu"),
                        {{"配料单与坯釉适应性(&B)...", "FitWindowItem", "配料单、釉的热膨胀系数与坯釉适应性、Stull 图",
                          [this] { fitWindowClick(); }}});
  fitWindowAction_ = fitMenu_->actions().first();
}

void TMainForm::fitWindowClick() {
  if (fitWindowHandler_) fitWindowHandler_();
}

TLibraryForm* TMainForm::activeLibrary() const {
  const QMdiSubWindow* active = mdiArea_->activeSubWindow();
  for (TLibraryForm* library : {materialLibrary_, targetLibrary_}) {
    if (active && library && library->subWindow() == active) return library;
  }
  return nullptr;
}

void TMainForm::libraryCsvClick(bool import) {
  TLibraryForm* library = activeLibrary();
  if (!library) return;
  if (import) {
    library->importCsvClick();
  } else {
    library->exportCsvClick();
  }
}

void TMainForm::frameCreationStep(int screenWidth) {
  if (screenWidth < 1024) {
    prompter_->message({app::MessageKind::Typed, app::kInformationCaption, app::Icon::Information,
                        QStringLiteral("您的屏幕分辨率太小，不能全面显示。") + app::kCR +
                            QStringLiteral("建议改为1024*768以上！"),
                        {app::Button::Ok}, app::Button::Ok});
  }
  // The right edge of the exit button with the label at the left of its edit box.
  allowedLayout_->setDirection(QBoxLayout::LeftToRight);
  int right = 0;
  if (auto* bar = findChild<QToolBar*>(QStringLiteral("ToolBar1"))) right = bar->sizeHint().width();
  labelAbove_ = screenWidth < right;
  allowedLayout_->setDirection(labelAbove_ ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
  hintPanel_->setFixedWidth(std::max(100, width() - 130 - datePanel_->width() - 8));
  state_.frameCreated();
  applyCommandState();
}

void TMainForm::createWindows(const QString& baseFolder) {
  mainScreen_ = new TForm1(*prompter_, state_, baseFolder, this);
  mainScreen_->setAllowedErrorText(allowed_->text());
  mainScreen_->setShowDetails(details_->isChecked());
  // The main screen never closes; after an arrangement it can be maximised again.
  mainScreenWindow_ = mdiArea_->addSubWindow(
      mainScreen_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint);
  mainScreenWindow_->setObjectName(QStringLiteral("Form1Window"));
  mainScreenWindow_->showMaximized();
  datePanel_->setText(app::statusDateText());
  for (auto it = mainScreen_->menuItems().cbegin(); it != mainScreen_->menuItems().cend(); ++it) actions_.insert(it.key(), it.value());
  const auto& items = mainScreen_->menuItems();
  connect(items[C::MainScreenItem], &QAction::triggered, this, &TMainForm::TB1Click);
  connect(items[C::MainTileHorizontal], &QAction::triggered, this, &TMainForm::WTB2Click);
  connect(items[C::MainTileVertical], &QAction::triggered, this, &TMainForm::WTB3Click);
  connect(items[C::MainCascade], &QAction::triggered, this, &TMainForm::WTB1Click);
  for (QMenu* m : mainScreen_->menus()) {
    connect(m, &QMenu::hovered, this, [this](QAction* a) { showHint(a->statusTip()); });
  }
  connect(mainScreen_, &TForm1::commandFinished, this, &TMainForm::applyCommandState);
  connect(mainScreen_, &TForm1::commandFinished, this, &TMainForm::tablesChanged);
  connect(mainScreen_, &TForm1::hintChanged, this, &TMainForm::showHint);
  connect(mainScreen_, &TForm1::showMaterialLibraryRequested, this, &TMainForm::TB2Click);
  connect(mainScreen_, &TForm1::showTargetLibraryRequested, this, &TMainForm::TB3Click);
  connect(mainScreen_, &TForm1::printRequested, this, &TMainForm::TB7Click);
  connect(mainScreen_, &TForm1::exitRequested, this, &QWidget::close);
  connect(mainScreen_, &TForm1::helpRequested, this, &TMainForm::helpClick);
  connect(mainScreen_, &TForm1::aboutRequested, this, &TMainForm::aboutClick);

  // The library windows transfer into the main screen's tables; they start hidden.
  transfer_ = std::make_unique<app::MainScreenTransfer>(mainScreen_->screen(), state_, [this] { bringMainScreenForward(); });
  mainScreen_->setOtherTitleMarks([this](bool targetGrid, int k) {
    return transfer_->otherTitleRed(targetGrid ? app::TransferSink::Grid::Target : app::TransferSink::Grid::Formula, k);
  });
  materialLibrary_ = new TForm2(*prompter_, *transfer_, baseFolder, this);
  targetLibrary_ = new TForm3(*prompter_, *transfer_, baseFolder, this);
  for (TLibraryForm* library : {materialLibrary_, targetLibrary_}) {
    library->hide();
    connect(library, &TLibraryForm::commandFinished, this, [this] {
      mainScreen_->tablesChanged();
      applyCommandState();
      emit tablesChanged();
    });
  }
  about_ = new TAboutBox(this);
  about_->hide();
  printPreview_ = placeholder(QStringLiteral("Form5"), QStringLiteral("打印预览"), nullptr);
  printPreview_->setParent(this, Qt::Window);
  printPreview_->hide();

  mdiArea_->setActiveSubWindow(mainScreenWindow_);
  updateMenuBar();
  applyCommandState();
}

void TMainForm::updateMenuBar() {
  const QMdiSubWindow* active = mdiArea_->activeSubWindow();
  const bool mainScreen = mainScreen_ && (!active ? mdiArea_->currentSubWindow() == mainScreenWindow_ : active == mainScreenWindow_);
  // The menu of the glaze-fit window follows the main screen's or the frame's own menus.
  QList<QMenu*> menus = mainScreen ? mainScreen_->menus() : frameMenus_;
  if (fitMenu_) menus << fitMenu_;
  if (libraryCsvMenu_ && activeLibrary()) menus << libraryCsvMenu_;
  QMenuBar* bar = menuBar();
  const QList<QAction*> now = bar->actions();
  bool same = now.size() == menus.size();
  for (int i = 0; same && i < menus.size(); ++i) same = now[i] == menus[i]->menuAction();
  if (same) return;
  bar->clear();
  for (QMenu* m : menus) bar->addMenu(m);
}

void TMainForm::applyCommandState() {
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) it.value()->setEnabled(state_.enabled(it.key()));
  actions_[C::ToolMainScreen]->setChecked(state_.pressed(app::WindowButton::MainScreen));
  actions_[C::ToolMaterials]->setChecked(state_.pressed(app::WindowButton::Materials));
  actions_[C::ToolTargets]->setChecked(state_.pressed(app::WindowButton::Targets));
}

void TMainForm::showHint(const QString& hint) {
  if (hintPanel_) hintPanel_->setText(hint);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    // A menu announces only the items that can be chosen; the hint of a
    // disabled item is shown all the same.
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
      const QAction* a = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (a && !a->isEnabled() && !a->statusTip().isEmpty()) showHint(a->statusTip());
    }
  }
  if (event->type() == QEvent::Enter && watched->isWidgetType()) {
    // The hint of the control under the pointer, or of the nearest control around it that has one.
    for (auto* w = static_cast<QWidget*>(watched); w; w = w->parentWidget()) {
      if (w->window() != this) break;
      if (!w->toolTip().isEmpty()) {
        showHint(w->toolTip());
        break;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::TB1Click() {
  state_.showMainScreen();
  bringMainScreenForward();
  // "主界面" also undoes an arrangement: the main screen fills the frame again.
  if (mainScreenWindow_ && !mainScreenWindow_->isMaximized()) mainScreenWindow_->showMaximized();
  applyCommandState();
}

void TMainForm::showLibrary(TLibraryForm* window) {
  if (!window) return;
  window->showInFrame(mdiArea_);
  updateMenuBar();
}

void TMainForm::bringMainScreenForward() {
  if (!mainScreenWindow_) return;
  mainScreenWindow_->show();
  mdiArea_->setActiveSubWindow(mainScreenWindow_);
  mainScreenWindow_->raise();
  updateMenuBar();
}

void TMainForm::TB2Click() {
  state_.showMaterialLibrary();
  showLibrary(materialLibrary_);
  if (mainScreen_) mainScreen_->materialLibraryShown();
  applyCommandState();
}

void TMainForm::TB3Click() {
  state_.showTargetLibrary();
  showLibrary(targetLibrary_);
  applyCommandState();
}

void TMainForm::TB4Click() {
  if (mainScreen_) mainScreen_->N5Click();
  applyCommandState();
}
void TMainForm::TB5Click() {
  if (mainScreen_) mainScreen_->N6Click();
  applyCommandState();
}
void TMainForm::TB8Click() {
  if (mainScreen_) mainScreen_->N20Click();
  applyCommandState();
}
void TMainForm::TB9Click() {
  if (mainScreen_) mainScreen_->N21Click();
  applyCommandState();
}
void TMainForm::TB6Click() {
  if (mainScreen_) mainScreen_->TB6Click();
  applyCommandState();
}

void TMainForm::TB7Click() {
  // The preview window shows the reports without blocking; printing is
  // offered once per calculation or verification.
  if (printHandler_) {
    printHandler_();
    applyCommandState();
    return;
  }
  if (printPreview_) {
    printPreview_->show();
    printPreview_->raise();
  }
  state_.printPreviewFinished();
  applyCommandState();
}

void TMainForm::WTB1Click() { mdiArea_->cascadeSubWindows(); }
void TMainForm::WTB2Click() { tile(true); }
void TMainForm::WTB3Click() { tile(false); }

void TMainForm::tile(bool horizontal) {
  QList<QMdiSubWindow*> open;
  for (QMdiSubWindow* s : mdiArea_->subWindowList()) {
    // A closed library window stays minimised; the arrangement leaves it so.
    if (s->isVisible() && !s->isMinimized()) open << s;
  }
  if (open.isEmpty()) return;
  const QRect area = mdiArea_->viewport()->rect();
  const int n = int(open.size());
  for (int i = 0; i < n; ++i) {
    QMdiSubWindow* s = open[i];
    s->showNormal();
    if (horizontal) {  // one above the other, each across the whole width
      const int h = area.height() / n;
      s->setGeometry(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
    } else {  // side by side, each the whole height
      const int w = area.width() / n;
      s->setGeometry(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
    }
  }
}

void TMainForm::ToolButton6Click() {
  // The first of the usual desktop calculators that starts; nothing is reported otherwise.
  for (const char* program : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}) {
    if (QProcess::startDetached(QString::fromLatin1(program), {})) return;
  }
}

void TMainForm::helpClick() {
  const QString path = QDir::current().filePath(kHelpFile);
  const bool opened = QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  if (!opened) prompter_->plain(kHelpDamaged);
}

void TMainForm::aboutClick() {
  if (!about_) return;
  about_->setStatus(QString());
  about_->show();
  about_->raise();
}

void TMainForm::TBExitClick() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  if (about_) about_->hide();
  if (printPreview_) printPreview_->hide();
  QMainWindow::closeEvent(event);
  QCoreApplication::quit();
}

}  // namespace tessaro::ui
