// The main frame and the main screen driven through their controls on the
// offscreen platform, over a copy of the bundled data.
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "store/table.h"
#include "store/profile.h"
#include "ui/aboutbox.h"
#include "ui/application.h"
#include "ui/griddelegate.h"
#include "ui/readablecolumns.h"
#include "windows_fixture.h"

namespace tessaro::test {
namespace {

using app::Command;

QColor textColour(const QWidget* w) { return w->palette().color(QPalette::ButtonText); }

TEST_F(WindowsTest, ToolBarHoldsSixteenControlsInOrderWithSeparators) {
  start();
  auto* bar = find<QToolBar>(QStringLiteral("ToolBar1"));
  QStringList order;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) order << "|";
    else if (QWidget* w = bar->widgetForAction(a); w && !qobject_cast<QToolButton*>(w)) {
      order << (w->findChild<QLineEdit*>() ? w->findChild<QLineEdit*>()->objectName() : w->objectName());
    } else order << a->objectName();
  }
  EXPECT_EQ(order.join(' '), QStringLiteral("TB1 TB2 TB3 | TB4 TB5 | TB8 TB9 | WTB1 WTB2 WTB3 | TB7 | TB6 | "
                                            "CheckBox1 | LabeledEdit1 | ToolButton6 | TBExit"));
  EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

  const std::map<QString, std::pair<QString, bool>> expected = {
      {"TB1", {"主界面", true}},       {"TB2", {"原料库", true}},       {"TB3", {"目标库", true}},
      {"TB4", {"配方计算", true}},     {"TB5", {"验算组成", false}},    {"TB8", {"坯性能", false}},
      {"TB9", {"釉性能", false}},      {"WTB1", {"层叠", true}},        {"WTB2", {"水平", true}},
      {"WTB3", {"垂直", true}},        {"TB7", {"打印/预览", false}},   {"TB6", {"清空主界面数据", true}},
      {"ToolButton6", {"计算器", true}}, {"TBExit", {"退出", true}}};
  for (const auto& [name, v] : expected) {
    QAction* a = find(name);
    EXPECT_EQ(a->text(), v.first) << name.toStdString();
    EXPECT_EQ(a->isEnabled(), v.second) << name.toStdString();
    EXPECT_FALSE(a->icon().isNull()) << name.toStdString();
  }
  EXPECT_EQ(find("TB4")->toolTip(), QStringLiteral("以目标配方的化学组成为标准，从原料库中自动选择原料并配比，近可能满足标准要求"));
  EXPECT_EQ(find("WTB2")->toolTip(), QStringLiteral("水平排列按钮，打开［原料库］和［目标库］界面后效果才明显。"));
  EXPECT_TRUE(find("TB1")->isChecked());
  EXPECT_FALSE(find("TB2")->isChecked());

  auto* check = find<QCheckBox>(QStringLiteral("CheckBox1"));
  EXPECT_EQ(check->text(), QStringLiteral("显示祥细误差"));
  EXPECT_EQ(check->toolTip(), QStringLiteral("显示详细误差"));
  EXPECT_FALSE(check->isChecked());
  auto* edit = find<QLineEdit>(QStringLiteral("LabeledEdit1"));
  EXPECT_EQ(edit->text(), QStringLiteral("1"));
  EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::red));
  EXPECT_EQ(find<QLabel>(QStringLiteral("LabeledEdit1Label"))->text(), QStringLiteral("允许误差%"));

  // The inputs reach the calculation.
  edit->setText(QStringLiteral("2.5"));
  check->setChecked(true);
  EXPECT_EQ(form1().screen().allowedErrorText(), QStringLiteral("2.5"));
  EXPECT_TRUE(form1().screen().showDetails());
}

TEST_F(WindowsTest, StatusStripAndStartUpWindows) {
  start();
  EXPECT_EQ(find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("鼠标所指处的说明 →"));
  const QDate today = QDate::currentDate();
  EXPECT_EQ(frame->datePanel()->text(), QStringLiteral("%1年%2月%3日")
                                            .arg(today.year())
                                            .arg(today.month(), 2, 10, QLatin1Char('0'))
                                            .arg(today.day(), 2, 10, QLatin1Char('0')));
  EXPECT_EQ(frame->clientArea()->subWindowList().size(), 1);
  EXPECT_TRUE(frame->clientArea()->subWindowList().front()->isMaximized());
  EXPECT_EQ(form1().windowTitle(), QStringLiteral("主界面"));
  EXPECT_FALSE(frame->materialLibrary()->isVisible());
  EXPECT_FALSE(frame->targetLibrary()->isVisible());
  EXPECT_FALSE(frame->aboutBox()->isVisible());
  EXPECT_FALSE(frame->printPreview()->isVisible());
  EXPECT_FALSE(grid(3)->isVisible());
  EXPECT_FALSE(find<QWidget>(QStringLiteral("Panel5"))->isVisible());

  // The about box from the menu shows an empty status line and hides with "确定".
  find("MainAbout")->trigger();
  EXPECT_TRUE(frame->aboutBox()->isVisible());
  EXPECT_TRUE(frame->aboutBox()->status().isEmpty());
  frame->aboutBox()->findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
  EXPECT_FALSE(frame->aboutBox()->isVisible());

  // Hovering a control shows its hint in the hint panel.
  QWidget* tb4 = frame->findChild<QToolButton*>(QStringLiteral("TB4Button"));
  ASSERT_NE(tb4, nullptr);
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(tb4, &enter);
  EXPECT_EQ(frame->hintPanel()->text(), find("TB4")->toolTip());

  // The strip is painted sky blue, the fixed label's text red.
  const QColor skyBlue(166, 202, 240);
  auto* label = find<QLabel>(QStringLiteral("Label1"));
  const QImage labelImage = label->grab().toImage();
  EXPECT_EQ(labelImage.pixelColor(1, 1), skyBlue);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));
  const QImage barImage = find<QWidget>(QStringLiteral("StatusBar1"))->grab().toImage();
  EXPECT_EQ(barImage.pixelColor(barImage.width() - 2, barImage.height() / 2), skyBlue);

  // The disabled frame item "打印/预览(&S)" still shows its hint under the pointer.
  find("TB2")->trigger();
  auto* menu = find<QMenu>(QStringLiteral("FrameMenuWindows"));
  QAction* print = find("FramePrint");
  ASSERT_FALSE(print->isEnabled());
  menu->popup(QPoint(0, 0));
  QMouseEvent move(QEvent::MouseMove, QPointF(menu->actionGeometry(print).center()), QPointF(), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(menu, &move);
  menu->hide();
  EXPECT_EQ(frame->hintPanel()->text(), QStringLiteral("打印、预览"));
}

TEST_F(WindowsTest, ScreenWidthMessageAndLabelPlace) {
  start();
  frame->frameCreationStep(1024);
  EXPECT_TRUE(prompter.messages.empty());
  frame->frameCreationStep(1023);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, QStringLiteral("您的屏幕分辨率太小，不能全面显示。\r建议改为1024*768以上！"));
  EXPECT_EQ(prompter.messages[0].icon, app::Icon::Information);
  frame->frameCreationStep(400);
  EXPECT_TRUE(frame->labelAbove());
  frame->frameCreationStep(4000);
  EXPECT_FALSE(frame->labelAbove());
  // At the left of its box, however wide the frame.
  frame->resize(1920, 800);
  QApplication::processEvents();
  const auto* label = find<QLabel>(QStringLiteral("LabeledEdit1Label"));
  const auto* edit = find<QLineEdit>(QStringLiteral("LabeledEdit1"));
  EXPECT_LE(edit->x() - (label->x() + label->width()), 8);
  EXPECT_GE(edit->x(), label->x() + label->width());
  EXPECT_TRUE(find("TB1")->isChecked());
}

TEST_F(WindowsTest, MenusHoldEveryItemAndSwapWithTheActiveChild) {
  start();
  // The glaze-fit menu follows the main screen's menus and the frame's.
  EXPECT_EQ(menuBarTitles(), QStringList({"界面", "计算", "窗口", "帮助", "配料与适应性(&B)"}));
  QStringList items;
  for (QAction* a : frame->menuBar()->actions().front()->menu()->actions()) items << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(items, QStringList({"主界面", "原料库", "目标库", "-", "清空主界面数据", "整理数据库", "-", "打印/预览", "-", "退出"}));
  EXPECT_FALSE(find("N9")->isEnabled());
  EXPECT_FALSE(find("N6")->isEnabled());

  find("TB2")->trigger();
  EXPECT_EQ(menuBarTitles(),
            QStringList({"界面(&P)", "计算(&Q)", "窗口(&W)", "帮助(&H)", "配料与适应性(&B)", "导入导出(&X)"}));
  items.clear();
  for (QAction* a : frame->menuBar()->actions().front()->menu()->actions()) items << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(items, QStringList({"主界面(&Z)", "原料库(&Y)", "目标库(&M)", "-", "清空主界面数据(&D)", "-", "打印/预览(&S)",
                                "-", "退出"}));
  EXPECT_FALSE(find("FramePrint")->isEnabled());
  EXPECT_EQ(find("FramePrint")->statusTip(), QStringLiteral("打印、预览"));

  int opened = 0;
  frame->setFitWindowHandler([&opened] { ++opened; });
  find("FitWindowItem")->trigger();
  EXPECT_EQ(opened, 1);

  find("FrameMainScreen")->trigger();
  EXPECT_EQ(menuBarTitles(), QStringList({"界面", "计算", "窗口", "帮助", "配料与适应性(&B)"}));
  find("MainTargets")->trigger();
  EXPECT_EQ(menuBarTitles().front(), QStringLiteral("界面(&P)"));
  EXPECT_TRUE(frame->targetLibrary()->isVisible());

  // The glaze-fit window follows the tables: the frame tells after each command.
  QSignalSpy changed(frame.get(), &ui::TMainForm::tablesChanged);
  find("FrameMainScreen")->trigger();
  find("TB4")->trigger();
  EXPECT_EQ(changed.count(), 1);
}

// The controls reach the frame's command state (its rules are the app's)
// and show it: one event of each kind.
TEST_F(WindowsTest, CommandStateReachesTheControls) {
  start();
  find("TB2")->trigger();
  EXPECT_TRUE(find("TB2")->isChecked());
  EXPECT_FALSE(find("TB4")->isEnabled());
  EXPECT_FALSE(find("FrameClear")->isEnabled());
  EXPECT_TRUE(frame->materialLibrary()->isVisible());
  find("TB1")->trigger();
  EXPECT_TRUE(find("TB1")->isChecked());
  EXPECT_TRUE(find("TB4")->isEnabled());
  find("TB3")->trigger();
  EXPECT_TRUE(find("TB3")->isChecked());
  find("TB1")->trigger();

  find("TB4")->trigger();
  EXPECT_TRUE(find("TB5")->isEnabled());
  EXPECT_TRUE(find("N6")->isEnabled());
  find("TB2")->trigger();
  find("TB1")->trigger();
  EXPECT_FALSE(find("TB7")->isEnabled());
  prompter.answers.push_back(QStringLiteral("1"));
  find("N6")->trigger();
  EXPECT_TRUE(find("TB7")->isEnabled());
  EXPECT_TRUE(find("N9")->isEnabled());
  EXPECT_TRUE(grid(3)->isVisible());
  find("TB7")->trigger();
  EXPECT_FALSE(find("TB7")->isEnabled());
  EXPECT_FALSE(find("FramePrint")->isEnabled());
}

TEST_F(WindowsTest, CalculationFromTB4FillsGrid3AndShowsTheCompactDisplay) {
  start();
  find("TB4")->trigger();
  ASSERT_EQ(form1().screen().lastVerdict(), app::MainScreen::Verdict::Passed) << prompter.texts().join('\n').toStdString();
  EXPECT_TRUE(grid(3)->isVisible());
  EXPECT_FALSE(find<QWidget>(QStringLiteral("Panel5"))->isVisible());
  store::Table& result = form1().screen().table(app::WorkTable::Result);
  EXPECT_EQ(grid(3)->model()->rowCount(), result.recordCount());
  result.first();
  EXPECT_EQ(grid(3)->model()->index(0, 0).data().toString(), result.text(QStringLiteral("BH")));

  // The compact display: the grid shows the rows of the cursor's range, the button red.
  EXPECT_EQ(speed(1)->text(), QStringLiteral("全部显示"));
  EXPECT_EQ(textColour(speed(1)), QColor(255, 0, 0));
  auto* m = form1().model(app::WorkTable::Formula);
  ASSERT_GT(m->rowCount(), 0);
  for (int r = 0; r < m->rowCount(); ++r) EXPECT_EQ(m->text(r, "BH"), QStringLiteral("1"));
  // The grid follows the cursor.
  store::Table& t = form1().screen().table(app::WorkTable::Formula);
  EXPECT_EQ(m->rowCount(), t.recordCount());
  EXPECT_EQ(grid(1)->currentIndex().row(), t.row());

  // Off again from the button: every row, the button navy.
  speed(1)->click();
  EXPECT_EQ(speed(1)->text(), QStringLiteral("精简显示"));
  EXPECT_EQ(textColour(speed(1)), QColor(0, 0, 128));
  EXPECT_EQ(m->rowCount(), 8);
  speed(1)->click();
  EXPECT_EQ(speed(1)->text(), QStringLiteral("全部显示"));
  EXPECT_LT(m->rowCount(), 8);
}

TEST_F(WindowsTest, BoxesOfACommandStandOverTheScreenAsItsStepLeftIt) {
  start();
  form1().setShowDetails(true);
  std::vector<std::pair<bool, int>> grid3;  // visible, rows, as each box came up
  prompter.onPrompt = [&] { grid3.push_back({grid(3)->isVisible(), grid(3)->model()->rowCount()}); };
  find("TB4")->trigger();
  ASSERT_FALSE(grid3.empty());
  EXPECT_EQ(grid3[0], std::pair(true, 2));  // the first error report
  grid3.clear();
  find("TB5")->trigger();  // the input box is cancelled
  ASSERT_EQ(grid3.size(), 1u);
  EXPECT_FALSE(grid3[0].first);
}

TEST_F(WindowsTest, SpeedButtonsKNaAndPrecision) {
  start();
  EXPECT_EQ(speed(6)->text(), QStringLiteral("整理数据库"));
  EXPECT_EQ(speed(6)->toolTip(), QStringLiteral("整理数据库可以使数据库体积最小。"));
  EXPECT_EQ(speed(2)->text(), QStringLiteral("K/Na合并"));
  EXPECT_EQ(textColour(speed(2)), QColor(0, 0, 128));
  speed(2)->click();
  EXPECT_EQ(speed(2)->text(), QStringLiteral("K/Na拆分"));
  EXPECT_EQ(textColour(speed(2)), QColor(255, 0, 0));
  EXPECT_EQ(grid(1)->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("K/NaO"));
  speed(2)->click();
  EXPECT_EQ(speed(2)->text(), QStringLiteral("K/Na合并"));
  EXPECT_EQ(textColour(speed(2)), QColor(0, 0, 128));

  const auto transparent = [this] {
    QString t;
    for (int n = 3; n <= 5; ++n)
      if (speed(n)->property("transparent").toBool()) t += speed(n)->text();
    return t;
  };
  EXPECT_EQ(transparent(), "0.00");
  speed(3)->click();
  EXPECT_EQ(transparent(), "0");
  EXPECT_EQ(form1().screen().precision(), 0);
  speed(4)->click();
  EXPECT_EQ(transparent(), "0.0");
  EXPECT_EQ(form1().screen().precision(), 1);

  // However narrow the main screen, the navigator gives way and the six
  // buttons stand side by side, each as wide as its caption.
  QMdiSubWindow* sub = frame->clientArea()->subWindowList().front();
  sub->showNormal();
  sub->resize(sub->minimumSizeHint().width(), 400);
  QApplication::processEvents();
  const QToolButton* order[] = {speed(6), speed(1), speed(3), speed(4), speed(5), speed(2)};
  for (std::size_t i = 0; i < std::size(order); ++i) {
    EXPECT_GE(order[i]->width(), order[i]->sizeHint().width()) << i;
    if (i > 0) {
      EXPECT_LE(order[i - 1]->geometry().right(), order[i]->x()) << i;
    }
  }
  EXPECT_LE(order[5]->mapTo(&form1(), QPoint(order[5]->width(), 0)).x(), form1().width());
  EXPECT_LE(form1().width(), sub->width());
}

TEST_F(WindowsTest, PointerHintsByZone) {
  start();
  QTableView* g1 = grid(1);
  const QString table1 = QStringLiteral("配方配比和原料化学组成表（表1）");
  form1().DBGrid1MouseMove(12);
  EXPECT_EQ(g1->toolTip(), table1);
  EXPECT_EQ(frame->hintPanel()->text(), table1);
  form1().DBGrid1MouseMove(13);
  EXPECT_EQ(g1->toolTip(), QStringLiteral("原料名称"));
  EXPECT_EQ(g1->viewport()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(frame->hintPanel()->text(), QStringLiteral("原料名称"));
  // The zones follow the columns' widths.
  const int w0 = g1->columnWidth(0);
  form1().DBGrid1MouseMove(w0 + 13);
  EXPECT_EQ(g1->toolTip(), QStringLiteral("含灼减的配方配比(%),是所求的配方结果!!!"));
  EXPECT_EQ(g1->viewport()->cursor().shape(), Qt::ArrowCursor);
  form1().DBGrid1MouseMove(w0 + 2 * g1->columnWidth(1) + 13);
  EXPECT_EQ(g1->viewport()->cursor().shape(), Qt::DragMoveCursor);

  // A real pointer move: the grid's X counts the row indicator.
  const int vx = g1->viewport()->x();
  EXPECT_EQ(vx, 12);
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 5), g1->viewport()->mapToGlobal(QPointF(20, 5)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(g1->viewport(), &move);
  EXPECT_EQ(frame->hintPanel()->text(), QStringLiteral("原料名称"));

  QTableView* g2 = grid(2);
  form1().DBGrid2MouseMove(13);
  EXPECT_EQ(g2->toolTip(), QStringLiteral("目标配方名称"));
  form1().DBGrid2MouseMove(185 + 13);
  EXPECT_EQ(g2->viewport()->cursor().shape(), Qt::DragMoveCursor);

  // Over the row indicator and the titles the pointer's X decides too.
  const auto moveOver = [](QWidget* area, int x) {
    QMouseEvent over(QEvent::MouseMove, QPointF(x, 5), area->mapToGlobal(QPointF(x, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(area, &over);
  };
  moveOver(g1->verticalHeader()->viewport(), 5);
  EXPECT_EQ(g1->toolTip(), table1);
  EXPECT_EQ(frame->hintPanel()->text(), table1);
  moveOver(g1->horizontalHeader()->viewport(), 5);
  EXPECT_EQ(frame->hintPanel()->text(), QStringLiteral("原料名称"));
  moveOver(g2->horizontalHeader()->viewport(), g2->horizontalHeader()->sectionViewportPosition(6) + 5);
  EXPECT_EQ(g2->toolTip(), QStringLiteral("目标配方化学组成表（表2）"));
  EXPECT_EQ(frame->hintPanel()->text(), QStringLiteral("目标配方化学组成表（表2）"));
}

TEST_F(WindowsTest, OtherOxidePopupOnTheOtherOxideTitlesOnly) {
  start();
  auto* popup = find<QMenu>(QStringLiteral("PopupMenu1"));
  QStringList entries;
  for (QAction* a : popup->actions()) entries << a->objectName();
  EXPECT_EQ(entries, QStringList({"B2O3N", "BaO", "BeO", "Li2O", "MnO", "P205", "PbO", "SnO2", "SrO", "ZnO2", "ZrO2",
                                  "MenuItem12"}));
  emit grid(1)->horizontalHeader()->sectionClicked(6);  // SIO2
  EXPECT_FALSE(popup->isVisible());
  emit grid(1)->horizontalHeader()->sectionClicked(14);  // QTCF1
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(form1().screen().selectedOtherColumn(), 14);
  find("ZnO2")->trigger();
  popup->hide();
  EXPECT_EQ(grid(1)->model()->headerData(14, Qt::Horizontal).toString(), QStringLiteral("ZnO"));
  EXPECT_EQ(grid(2)->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("ZnO"));
  EXPECT_EQ(grid(3)->model()->headerData(10, Qt::Horizontal).toString(), QStringLiteral("ZnO"));
  // SIO2 keeps the earlier selection.
  emit grid(1)->horizontalHeader()->sectionClicked(6);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(form1().screen().selectedOtherColumn(), 14);
}

TEST_F(WindowsTest, GridColumnsAndDoubleClicks) {
  start();
  QTableView* g1 = grid(1);
  // The design widths, where the titles and values need no more.
  EXPECT_EQ(g1->columnWidth(0), std::max(94, ui::readableWidth(*g1, 0)));
  EXPECT_EQ(g1->columnWidth(1), std::max(44, ui::readableWidth(*g1, 1)));
  EXPECT_TRUE(g1->isColumnHidden(17));
  EXPECT_TRUE(g1->isColumnHidden(22));
  EXPECT_FALSE(g1->isColumnHidden(21));
  EXPECT_EQ(g1->model()->headerData(1, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 255));
  EXPECT_EQ(g1->model()->index(0, 8).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(128, 128, 128));
  EXPECT_EQ(grid(2)->columnWidth(0), 185);
  EXPECT_EQ(grid(3)->columnWidth(1), 134);
  EXPECT_EQ(grid(4)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("氧化物名"));

  // The mark by double click highlights the row and selects the amount column of table 2.
  g1->setCurrentIndex(g1->model()->index(2, 4));
  form1().DBGrid1DblClick(4);
  auto* m = form1().model(app::WorkTable::Formula);
  EXPECT_EQ(m->text(2, "BXL2"), QStringLiteral("选"));
  EXPECT_EQ(grid(2)->currentIndex().column(), 2);
  // The name column opens the material library.
  form1().DBGrid1DblClick(0);
  EXPECT_TRUE(find("TB2")->isChecked());
  EXPECT_TRUE(frame->materialLibrary()->isVisible());
  find("TB1")->trigger();
  form1().DBGrid2DblClick(0);
  EXPECT_TRUE(find("TB3")->isChecked());
}

TEST_F(WindowsTest, EditInPlacePostsOnLeavingTheRow) {
  start();
  auto* m = form1().model(app::WorkTable::Formula);
  store::Table& t = form1().screen().table(app::WorkTable::Formula);
  QTableView* g1 = grid(1);
  g1->setCurrentIndex(m->index(1, 0));
  EXPECT_EQ(t.row(), 1);
  ASSERT_TRUE(m->setData(m->index(1, 20), QStringLiteral("新备注")));
  EXPECT_EQ(t.state(), store::Table::State::Edit);
  g1->setCurrentIndex(m->index(3, 20));
  EXPECT_EQ(t.state(), store::Table::State::Browse);
  EXPECT_EQ(t.row(), 3);

  // Another cursor on the file sees the posted record.
  store::Table other;
  ASSERT_TRUE(other.open(tmp.path(), app::kFormulaTableName));
  other.moveTo(1);
  EXPECT_EQ(other.text("BZ"), QStringLiteral("新备注"));

  // The navigator deletes without asking.
  const int rows = m->rowCount();
  find<QToolButton>(QStringLiteral("DBNavigator1Delete"))->click();
  EXPECT_EQ(m->rowCount(), rows - 1);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(WindowsTest, TypedNameLongerThanItsFieldIsRefusedAndItsCellStaysOpen) {
  start();
  auto* m = form1().model(app::WorkTable::Formula);
  store::Table& t = form1().screen().table(app::WorkTable::Formula);
  QTableView* g1 = grid(1);
  g1->setCurrentIndex(m->index(1, 0));
  const QString was = m->name(1);
  g1->edit(g1->currentIndex());
  QPointer<QLineEdit> editor = g1->findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  const QString tooLong = QStringLiteral("a") + QString(15, QChar(u'石'));  // 31 GBK bytes into C(30)
  editor->setText(tooLong);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("NAME"))) << prompter.messages[0].text.toStdString();
  ASSERT_TRUE(editor);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->text(), tooLong);
  EXPECT_FALSE(t.isModified());
  EXPECT_EQ(m->name(1), was);

  // Going to another row instead: the same message, and the cell opens again with the text as typed.
  g1->setCurrentIndex(m->index(2, 0));
  QCoreApplication::processEvents();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(g1->currentIndex(), m->index(1, 0));
  auto* again = qobject_cast<QLineEdit*>(g1->indexWidget(m->index(1, 0)));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->text(), tooLong);
  EXPECT_EQ(m->name(1), was);
}

TEST_F(WindowsTest, ClearingAsksFromTheToolButtonOnly) {
  start();
  prompter.buttons.push_back(app::Button::Cancel);
  find("TB6")->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(grid(1)->model()->rowCount(), 8);
  EXPECT_EQ(grid(2)->model()->rowCount(), 1);
  find("MainClear")->trigger();
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(grid(1)->model()->rowCount(), 0);
  EXPECT_EQ(grid(2)->model()->rowCount(), 0);
}

TEST_F(WindowsTest, TableThatDoesNotOpenShowsAnEmptyGrid) {
  ASSERT_TRUE(QFile::remove(tmp.path() + QStringLiteral("/数据库/目标配方.DBF")));
  frame = std::make_unique<ui::TMainForm>(&prompter);
  frame->createWindows(tmp.path());
  EXPECT_FALSE(prompter.messages.empty());
  EXPECT_EQ(grid(2)->model()->rowCount(), 0);
  EXPECT_EQ(grid(1)->model()->rowCount(), 8);
  // Its navigator does nothing.
  find<QToolButton>(QStringLiteral("DBNavigator2Delete"))->click();
  EXPECT_EQ(grid(2)->model()->rowCount(), 0);
}

TEST_F(WindowsTest, HelpWithoutItsFileAndTheExitCommands) {
  start();
  const QString here = QDir::currentPath();
  QDir::setCurrent(tmp.path());
  find("MainHelp")->trigger();
  QDir::setCurrent(here);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, app::MessageKind::Plain);
  EXPECT_EQ(prompter.messages[0].icon, app::Icon::None);
  EXPECT_EQ(prompter.messages[0].text, QStringLiteral(" help.chm 帮助文件损坏！"));

  for (const char* exit : {"TBExit", "MainExit", "FrameExit"}) {
    frame->show();
    find(QString::fromLatin1(exit))->trigger();
    EXPECT_FALSE(frame->isVisible()) << exit;
  }
}

}  // namespace
}  // namespace tessaro::test

namespace tessaro::test {
namespace {

TEST_F(WindowsTest, GlazePropertiesShowTheColouredPropertyGrid) {
  start();
  find("TB4")->trigger();
  find("TB9")->trigger();
  auto* panel = find<QWidget>(QStringLiteral("Panel5"));
  EXPECT_TRUE(panel->isVisible());
  QTableView* g4 = grid(4);
  auto* m = form1().model(app::WorkTable::Property);
  ASSERT_GT(m->rowCount(), 3);
  // Either property command disables both until the next calculation or verification.
  for (const char* n : {"TB8", "TB9", "FrameBody", "FrameGlaze", "N20", "N21"}) EXPECT_FALSE(find(QString::fromLatin1(n))->isEnabled()) << n;
  // Every row fits in the panel.
  EXPECT_GE(panel->height(), g4->horizontalHeader()->height() + m->rowCount() * g4->rowHeight(0));

  const QImage image = g4->viewport()->grab().toImage();
  const auto background = [&](int row) {
    const QRect r = g4->visualRect(m->index(row, 0));
    return image.pixelColor(r.left() + 4, r.center().y());
  };
  int seen = 0;
  for (int row = 0; row < m->rowCount(); ++row) {
    const QString label = m->text(row, "RONAME0");
    if (label == QStringLiteral("一价系数") || label == QStringLiteral("耐火度")) {
      EXPECT_EQ(background(row), QColor(255, 255, 0)) << row;
      ++seen;
    } else if (label == QStringLiteral("酸性系数")) {
      EXPECT_EQ(background(row), QColor(255, 255, 255)) << row;
      ++seen;
    } else if (row > 0) {
      EXPECT_EQ(background(row), QColor(223, 255, 223)) << row;  // the name column's own colour
    }
  }
  EXPECT_EQ(seen, 3);
}

}  // namespace
}  // namespace tessaro::test

namespace tessaro::test {
namespace {

TEST_F(WindowsTest, ArrangementAndTheTargetNavigatorInTheTitleRow) {
  start();
  find("TB2")->trigger();
  find("TB3")->trigger();
  QList<QMdiSubWindow*> subs = frame->clientArea()->subWindowList();
  ASSERT_EQ(subs.size(), 3);
  find("WTB3")->trigger();  // side by side
  for (QMdiSubWindow* s : subs) {
    EXPECT_FALSE(s->isMaximized());
    EXPECT_EQ(s->height(), frame->clientArea()->viewport()->height());
  }
  find("WTB2")->trigger();  // one above the other
  for (QMdiSubWindow* s : subs) EXPECT_EQ(s->width(), frame->clientArea()->viewport()->width());
  find("WTB1")->trigger();
  EXPECT_NE(subs[0]->pos(), subs[1]->pos());
  // A closed material library stays minimised when the windows are arranged.
  QMdiSubWindow* library = frame->materialLibrary()->subWindow();
  ASSERT_NE(library, nullptr);
  library->close();
  QApplication::processEvents();
  ASSERT_TRUE(library->isMinimized());
  find("WTB2")->trigger();
  EXPECT_TRUE(library->isMinimized());
  EXPECT_EQ(subs[0]->width(), frame->clientArea()->viewport()->width());
  EXPECT_LT(subs[0]->height(), frame->clientArea()->viewport()->height());
  // "主界面" undoes the arrangement.
  find("TB1")->trigger();
  EXPECT_TRUE(subs[0]->isMaximized());

  // The target navigator ends 16 pixels past the name column's right edge, in the title row.
  find("TB1")->trigger();
  QTableView* g2 = grid(2);
  auto* nav = find<QWidget>(QStringLiteral("DBNavigator2"));
  EXPECT_EQ(nav->x() + nav->width(), g2->columnWidth(0) + 16);
  EXPECT_LE(nav->y() + nav->height(), g2->horizontalHeader()->height() + g2->frameWidth());
}

}  // namespace
}  // namespace tessaro::test

namespace tessaro::test {
namespace {

// The library windows live in the frame and transfer into the main screen.
TEST_F(WindowsTest, MaterialTransferFromTheFrameReachesTableOneAndTheMainScreen) {
  start();
  find("TB2")->trigger();
  ui::TLibraryForm* materials = frame->materialLibrary();
  ASSERT_TRUE(materials->isVisible());
  EXPECT_EQ(frame->clientArea()->activeSubWindow()->widget(), materials);
  store::Table* lib = materials->library().table();
  ASSERT_NE(lib, nullptr);
  int row = 0;
  for (lib->first(); !lib->eof() && lib->text(QStringLiteral("NAME")).contains('*'); lib->next()) ++row;
  const QString name = lib->text(QStringLiteral("NAME"));
  store::Table& formula = form1().screen().table(app::WorkTable::Formula);
  const int before = formula.recordCount();

  materials->DBGrid1DblClick(row, 1);

  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(formula.recordCount(), before + 1);
  EXPECT_TRUE(find("TB1")->isChecked());
  EXPECT_EQ(frame->clientArea()->activeSubWindow()->widget(), frame->mainScreen());
  EXPECT_EQ(form1().model(app::WorkTable::Formula)->rowCount(), before + 1);
  formula.last();
  EXPECT_EQ(formula.text(QStringLiteral("NAME")), name);
}

TEST_F(WindowsTest, HeaderMismatchMarksTheMainScreenTitleRed) {
  ASSERT_TRUE(store::Profile::write(tmp.path() + QStringLiteral("/数据库/KuTitle.ini"), QStringLiteral("原料库"),
                                    QStringLiteral("11"), QStringLiteral("ZnO")));
  start();
  find("TB2")->trigger();
  ui::TLibraryForm* materials = frame->materialLibrary();
  store::Table* lib = materials->library().table();
  ASSERT_NE(lib, nullptr);
  int row = 0;
  for (lib->first(); !lib->eof() && lib->text(QStringLiteral("NAME")).contains('*'); lib->next()) ++row;
  const int before = form1().screen().table(app::WorkTable::Formula).recordCount();

  materials->DBGrid1DblClick(row, 1);

  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(form1().screen().table(app::WorkTable::Formula).recordCount(), before);
  ui::GridModel* model = form1().model(app::WorkTable::Formula);
  const auto titleColour = [model](const char* field) {
    return model->headerData(model->columnOf(QString::fromLatin1(field)), Qt::Horizontal, Qt::ForegroundRole)
        .value<QBrush>()
        .color();
  };
  EXPECT_EQ(titleColour("QTCF2"), QColor(Qt::red));
  EXPECT_NE(titleColour("QTCF1"), QColor(Qt::red));

  // Titles made equal again: the next transfer goes through and clears the mark.
  ASSERT_TRUE(store::Profile::write(tmp.path() + QStringLiteral("/数据库/KuTitle.ini"), QStringLiteral("原料库"),
                                    QStringLiteral("11"), QStringLiteral("其它2")));
  materials->library().refresh();  // the window's refresh routine reads its titles again
  materials->refresh();
  find("TB2")->trigger();
  for (lib->first(), row = 0; !lib->eof() && lib->text(QStringLiteral("NAME")).contains('*'); lib->next()) ++row;
  prompter.clear();
  materials->DBGrid1DblClick(row, 1);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(form1().screen().table(app::WorkTable::Formula).recordCount(), before + 1);
  EXPECT_NE(titleColour("QTCF2"), QColor(Qt::red));
}

}  // namespace
}  // namespace tessaro::test

namespace tessaro::test {
namespace {

// The cells the delegate paints itself look exactly as the style paints
// them: every grid after a calculation and the glaze properties (coloured
// backgrounds and texts, numbers right-aligned, Chinese text), with a
// selected cell that has the focus. So do they under the program's style,
// which fills the panel behind each cell itself, against Fusion's.
TEST_F(WindowsTest, CellsPaintedByTheDelegateMatchTheStylePixelForPixel) {
  start();
  find("TB4")->trigger();
  find("TB9")->trigger();
  const auto differing = [](const QImage& a, const QImage& b, const QString& name) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    }
    if (count) {
      a.save(QStringLiteral("/tmp/%1-a.png").arg(name));
      b.save(QStringLiteral("/tmp/%1-b.png").arg(name));
    }
    return count;
  };
  for (int n = 1; n <= 4; ++n) {
    QTableView* g = grid(n);
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 1));
    QApplication::processEvents();
    ui::GridDelegate::setFastPainting(false);
    const QImage byStyle = g->viewport()->grab().toImage();
    ui::GridDelegate::setFastPainting(true);
    const QImage byDelegate = g->viewport()->grab().toImage();
    EXPECT_EQ(differing(byStyle, byDelegate, QStringLiteral("grid%1-style-delegate").arg(n)), 0) << "grid " << n;

    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::unique_ptr<QStyle> program(ui::makeProgramStyle());
    const auto paintedWith = [g](QStyle* style) {
      g->setStyle(style);
      QApplication::processEvents();
      return g->viewport()->grab().toImage();
    };
    const QImage byFusion = paintedWith(fusion.get());
    const QImage byProgram = paintedWith(program.get());
    g->setStyle(nullptr);
    EXPECT_EQ(differing(byFusion, byProgram, QStringLiteral("grid%1-fusion-program").arg(n)), 0) << "grid " << n;
  }
}


// A number field whose bytes are no number shows them as they are, so that
// the user sees what to correct; the numbers around it show their values.
TEST_F(WindowsTest, ANumberFieldHoldingNoNumberShowsItsBytes) {
  const QString file = tmp.path() + QStringLiteral("/数据库/配方.DBF");
  {
    store::Table t;
    ASSERT_TRUE(t.open(file));
    const store::dbf::Field field = t.fieldAt(t.fieldIndex(QStringLiteral("SIO2")));
    ASSERT_TRUE(t.close());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray header = f.read(12);
    const int headerLength = quint8(header[8]) | quint8(header[9]) << 8;
    ASSERT_TRUE(f.seek(headerLength + field.offset));
    ASSERT_EQ(f.write(QByteArray("12,5").rightJustified(field.length)), field.length);
  }
  start();
  ui::GridModel* m = form1().model(app::WorkTable::Formula);
  EXPECT_EQ(m->text(0, QStringLiteral("SIO2")), "12,5");
  EXPECT_EQ(m->text(0, QStringLiteral("AL2O3")), "17.09");
}

}  // namespace
}  // namespace tessaro::test
