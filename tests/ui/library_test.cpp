// The library windows on the offscreen platform, over a copy of the bundled
// data folder and a real main screen behind the transfers.
#include "bundled_data.h"
#include "ui/libraryform.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/framestate.h"
#include "app/mainscreen.h"
#include "app/maintransfer.h"
#include "app/scripted_prompter.h"
#include "controls.h"
#include "store/table.h"
#include "ui/gridmodel.h"
#include "ui/readablecolumns.h"

using namespace tessaro;
using app::Button;
using app::WorkTable;
using ui::TLibraryForm;

namespace {

// Grid positions.
constexpr int kNameColumn = 1;
constexpr int kFe2o3Column = 4;
constexpr int kHJColumn = 14;

class LibraryFormTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  test::ScriptedPrompter prompter;
  app::FrameState frame;
  std::unique_ptr<app::MainScreen> screen;
  std::unique_ptr<app::MainScreenTransfer> sink;
  int shown = 0;  // times the main screen was brought forward

  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(tessaro::test::copyBundledData(tmp.path()));
    screen = std::make_unique<app::MainScreen>(prompter, frame, tmp.path());
    sink = std::make_unique<app::MainScreenTransfer>(*screen, frame, [this] { ++shown; });
  }

  QString data(const QString& file = QString()) const { return tmp.path() + QStringLiteral("/数据库/") + file; }

  std::unique_ptr<TLibraryForm> open(app::LibraryKind kind) {
    std::unique_ptr<TLibraryForm> form;
    if (kind == app::LibraryKind::Materials) {
      form = std::make_unique<ui::TForm2>(prompter, *sink, tmp.path());
    } else {
      form = std::make_unique<ui::TForm3>(prompter, *sink, tmp.path());
    }
    form->resize(1000, 600);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
  }

  // A control of the window; a missing one stops the test.
  template <class W>
  static W* child(QWidget* form, const char* name) {
    return test::control<W>(form, QString::fromLatin1(name));
  }

  static void click(QWidget* form, const char* button) {
    QTest::mouseClick(child<QToolButton>(form, button), Qt::LeftButton);
  }

  // A double click as the window system delivers it: click, press, double click, release.
  static void doubleClick(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    const QPointF p(at);
    const QPointF g(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, p, g, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent twice(QEvent::MouseButtonDblClick, p, g, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, p, g, Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &twice);
    QApplication::sendEvent(w, &release);
    QCoreApplication::processEvents();
  }

  static void doubleClickCell(TLibraryForm& form, int row, int column) {
    QTableView* grid = form.grid();
    doubleClick(grid->viewport(), grid->visualRect(grid->model()->index(row, column)).center());
  }

  static void doubleClickNode(TLibraryForm& form, QTreeWidgetItem* item) {
    doubleClick(form.tree()->viewport(), form.tree()->visualItemRect(item).center());
  }

  // The tree's node with this text; a missing one stops the test.
  static QTreeWidgetItem* node(TLibraryForm& form, const QString& text) {
    const auto items = form.tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (items.isEmpty()) {
      ADD_FAILURE() << "no node " << text.toStdString();
      throw test::MissingControl(text);
    }
    return items.first();
  }

  static void goTo(TLibraryForm& form, int row, int column) {
    form.grid()->setCurrentIndex(form.grid()->model()->index(row, column));
    QCoreApplication::processEvents();
  }

  static void pressEnter(TLibraryForm& form) {
    QTest::keyClick(form.grid(), Qt::Key_Return);
    QCoreApplication::processEvents();
  }

  static QString cell(TLibraryForm& form, int row, int column) { return form.model()->text(row, column); }
  static int rows(TLibraryForm& form) { return form.grid()->model()->rowCount(); }
  static int rowOf(TLibraryForm& form, const QString& name) {
    for (int r = 0; r < rows(form); ++r) {
      if (form.model()->name(r) == name) return r;
    }
    return -1;
  }
};

// --- Layout ------------------------------------------------------------------------------------

TEST_F(LibraryFormTest, MaterialWindowHasItsControlsCaptionsAndHints) {
  auto form = open(app::LibraryKind::Materials);
  EXPECT_EQ(form->objectName(), QStringLiteral("Form2"));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("原料库"));
  QToolButton* showAll = child<QToolButton>(form.get(), "SpeedButton2");
  QToolButton* batch = child<QToolButton>(form.get(), "SpeedButton1");
  QToolButton* deleteAll = child<QToolButton>(form.get(), "SpeedButton3");
  ASSERT_TRUE(showAll && batch && deleteAll);
  EXPECT_EQ(showAll->text(), QStringLiteral("全部显示　"));
  EXPECT_EQ(showAll->toolTip(), QStringLiteral("全部显示"));
  EXPECT_FALSE(showAll->isVisible());
  EXPECT_EQ(batch->text(), QStringLiteral("批量输入　"));
  EXPECT_EQ(batch->toolTip(), QStringLiteral("将原料库所显示的原料批量输入到主界面的表 1 中"));
  EXPECT_EQ(deleteAll->text(), QStringLiteral("删除原料库"));
  EXPECT_EQ(deleteAll->x() + deleteAll->width(), deleteAll->parentWidget()->width());

  // The navigator: exactly these buttons, in this order, with these hints.
  QWidget* navigator = child<QWidget>(form.get(), "DBNavigator");
  ASSERT_NE(navigator, nullptr);
  QStringList hints;
  for (auto* b : navigator->findChildren<QToolButton*>()) hints << b->toolTip();
  EXPECT_EQ(hints, (QStringList{"第一条记录", "前一条记录", "下一条记录", "最后一条记录", "插入记录", "删除此条记录",
                                "确定本次修改"}));

  EXPECT_EQ(child<QWidget>(form.get(), "Panel2")->width(), form->library().panelWidth());
  EXPECT_EQ(child<QLabel>(form.get(), "Label1")->text(), QStringLiteral("分类标签"));
  EXPECT_EQ(form->grid()->toolTip(), QStringLiteral("原料库表"));

  // The batch input button keeps its place whether the show-all button is shown or not.
  const int batchX = batch->x();
  EXPECT_GT(batchX, 0);
  click(form.get(), "SpeedButton4");
  EXPECT_TRUE(showAll->isVisible());
  EXPECT_EQ(batch->x(), batchX);
}

TEST_F(LibraryFormTest, GridColumnsTitlesAndRowColours) {
  auto materials = open(app::LibraryKind::Materials);
  QTableView* grid = materials->grid();
  QAbstractItemModel* m = grid->model();
  ASSERT_EQ(m->columnCount(), 18);
  // The design widths, where the titles and values need no more.
  EXPECT_EQ(grid->columnWidth(0), std::max(26, ui::readableWidth(*grid, 0)));
  EXPECT_EQ(grid->columnWidth(1), std::max(118, ui::readableWidth(*grid, 1)));
  EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("原料名称"));
  EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), QColor(166, 202, 240));
  EXPECT_EQ(m->headerData(14, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 255));
  EXPECT_EQ(m->headerData(15, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 185));
  EXPECT_EQ(m->headerData(15, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter, int(Qt::AlignHCenter));
  EXPECT_EQ(m->headerData(16, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter, 0);

  // Row 0 is the category row "*粘土类*"; row 1 a raw material.
  ASSERT_EQ(materials->model()->name(0), QStringLiteral("*粘土类*"));
  for (int c : {0, 1, 5, 17}) {
    EXPECT_EQ(m->index(0, c).data(Qt::BackgroundRole).value<QColor>(), QColor(200, 200, 255)) << c;
    EXPECT_EQ(m->index(0, c).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0)) << c;
    EXPECT_TRUE(m->index(0, c).data(Qt::FontRole).value<QFont>().bold()) << c;
  }
  EXPECT_EQ(m->index(1, kNameColumn).data(Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 255));
  EXPECT_FALSE(m->index(1, 2).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(m->index(1, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));

  auto targets = open(app::LibraryKind::Targets);
  QAbstractItemModel* t = targets->grid()->model();
  ASSERT_EQ(t->columnCount(), 17);
  EXPECT_EQ(targets->grid()->columnWidth(15), 310);
  EXPECT_EQ(targets->grid()->columnWidth(16), std::max(86, ui::readableWidth(*targets->grid(), 16)));
  EXPECT_EQ(t->index(1, kNameColumn).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 128));
}

TEST_F(LibraryFormTest, TargetWindowDiffersWhereItsLayoutSays) {
  auto form = open(app::LibraryKind::Targets);
  EXPECT_EQ(form->objectName(), QStringLiteral("Form3"));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("目标库"));
  EXPECT_EQ(form->findChild<QToolButton*>(QStringLiteral("SpeedButton1")), nullptr);
  EXPECT_EQ(child<QToolButton>(form.get(), "SpeedButton2")->text(), QStringLiteral("全部显示"));
  EXPECT_EQ(child<QToolButton>(form.get(), "SpeedButton3")->text(), QStringLiteral("删除目标库"));
  EXPECT_EQ(child<QWidget>(form.get(), "Panel2")->width(), form->library().panelWidth());
  EXPECT_EQ(form->grid()->toolTip(), QStringLiteral("目标配方库表"));
  QStringList hints;
  for (auto* b : child<QWidget>(form.get(), "DBNavigator")->findChildren<QToolButton*>()) hints << b->toolTip();
  EXPECT_EQ(hints.size(), 8);
  EXPECT_EQ(hints.last(), QStringLiteral("取消编辑"));

  QTreeWidget* tree = form->tree();
  EXPECT_EQ(tree->viewport()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(tree->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("目标配方"));

  // The right button selects a node too.
  QTreeWidgetItem* glazes = node(*form, QStringLiteral("*釉料*"));
  ASSERT_NE(glazes, nullptr);
  QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(glazes).center());
  EXPECT_EQ(tree->currentItem(), glazes);
}

// --- Pointer and panel -----------------------------------------------------------------------

TEST_F(LibraryFormTest, HandOverNumberAndNameColumnsAndPanelTakesTheReleaseWidth) {
  auto form = open(app::LibraryKind::Materials);
  QWidget* viewport = form->grid()->viewport();
  QTest::mouseMove(viewport, QPoint(5, 30));
  EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);
  // 12 + the widths of the number and name columns, in grid coordinates, is
  // the first position past the name column.
  const int past = form->grid()->columnWidth(0) + form->grid()->columnWidth(1);
  QTest::mouseMove(viewport, QPoint(past, 30));
  EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
  QTest::mouseMove(viewport, QPoint(past - 1, 30));
  EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);

  QWidget* panel = child<QWidget>(form.get(), "Panel2");
  EXPECT_EQ(panel->cursor().shape(), Qt::SplitHCursor);
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(180, 100));
  EXPECT_EQ(panel->width(), 180);
}

// --- Category filter, close box, show all, delete all -------------------------------------------

TEST_F(LibraryFormTest, TreeDoubleClickFiltersAndRootShowsAllAgain) {
  auto form = open(app::LibraryKind::Materials);
  ASSERT_EQ(rows(*form), 26);
  doubleClickNode(*form, node(*form, QStringLiteral("*长石类*")));
  ASSERT_EQ(rows(*form), 5);
  EXPECT_EQ(form->model()->name(0), QStringLiteral("*长石类*"));
  EXPECT_EQ(form->model()->name(4), QStringLiteral("瓷石(景德镇)"));
  EXPECT_TRUE(child<QToolButton>(form.get(), "SpeedButton2")->isVisible());
  EXPECT_EQ(form->grid()->currentIndex().row(), 0);

  doubleClickNode(*form, form->tree()->topLevelItem(0));
  EXPECT_EQ(rows(*form), 26);
  EXPECT_TRUE(child<QToolButton>(form.get(), "SpeedButton2")->isVisible());
}

TEST_F(LibraryFormTest, CloseBoxHidesThePanelAndShowAllLiftsTheFilter) {
  auto form = open(app::LibraryKind::Targets);
  QWidget* panel = child<QWidget>(form.get(), "Panel2");
  QToolButton* showAll = child<QToolButton>(form.get(), "SpeedButton2");
  doubleClickNode(*form, node(*form, QStringLiteral("*釉料*")));
  ASSERT_EQ(rows(*form), 6);
  click(form.get(), "SpeedButton4");
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(showAll->isVisible());
  EXPECT_EQ(rows(*form), 6);

  click(form.get(), "SpeedButton2");
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(showAll->isVisible());
  EXPECT_EQ(rows(*form), 10);
}

// The rule (the records shown, the tree) is the app's; the window shows the outcome.
// The grid keeps the texts of the rows shown lately, not of every row of a
// long library: each row shows its own record however far the grid has gone.
TEST_F(LibraryFormTest, ALongLibraryShowsEachRowsOwnRecord) {
  {
    store::Table t;
    ASSERT_TRUE(t.open(data(QStringLiteral("YLK.DBF")), store::Table::Mode::Exclusive));
    for (int i = 0; i < 5000; ++i) {
      ASSERT_TRUE(t.append() && t.setText("NAME", QStringLiteral("长石 %1").arg(i)) && t.post()) << i;
    }
    ASSERT_TRUE(t.close());
  }
  auto materials = open(app::LibraryKind::Materials);
  const QAbstractItemModel* m = materials->grid()->model();
  ASSERT_EQ(m->rowCount(), 5026);
  // Records without a number come first, in the order they were added.
  const QString last = m->index(5025, kNameColumn).data().toString();
  for (int pass = 0; pass < 2; ++pass) {
    for (int row = 0; row < 5000; ++row) {
      ASSERT_EQ(m->index(row, kNameColumn).data().toString(), QStringLiteral("长石 %1").arg(row)) << row;
    }
  }
  EXPECT_EQ(m->index(5025, kNameColumn).data().toString(), last);
  EXPECT_EQ(m->index(1, kNameColumn).data().toString(), QStringLiteral("长石 1"));
}

TEST_F(LibraryFormTest, DeleteAllEmptiesTheGridAndTheTree) {
  auto form = open(app::LibraryKind::Materials);
  doubleClickNode(*form, node(*form, QStringLiteral("*硅质原料*")));
  ASSERT_EQ(rows(*form), 3);
  prompter.buttons = {Button::Yes};
  click(form.get(), "SpeedButton3");
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(rows(*form), 0);
  EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
}

// --- Enter key ---------------------------------------------------------------------------------

TEST_F(LibraryFormTest, EnterMovesRightSumsOnHJAndAppendsOnDate) {
  auto form = open(app::LibraryKind::Materials);
  const int row = rowOf(*form, QStringLiteral("滑石"));
  ASSERT_GE(row, 0);
  goTo(*form, row, 2);
  pressEnter(*form);
  EXPECT_EQ(form->grid()->currentIndex(), form->grid()->model()->index(row, 3));

  // Empty FE2O3 by typing into the cell; Enter commits the text first.
  goTo(*form, row, kFe2o3Column);
  form->grid()->edit(form->grid()->currentIndex());
  auto* editor = form->grid()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->clear();
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(*form, row, kFe2o3Column), QString());
  EXPECT_EQ(form->grid()->currentIndex().column(), kFe2o3Column + 1);

  // Enter on HJ runs the window's command (what it stores is the app's rule);
  // the grid shows what it stored.
  goTo(*form, row, kHJColumn);
  pressEnter(*form);
  store::Table* t = form->library().table();
  EXPECT_FALSE(cell(*form, row, kFe2o3Column).isEmpty());
  EXPECT_EQ(form->grid()->currentIndex().column(), kHJColumn + 1);

  // DATE: a new empty record, the cursor in its BH cell.
  const int before = rows(*form);
  goTo(*form, 3, 17);
  pressEnter(*form);
  EXPECT_EQ(rows(*form), before + 1);
  EXPECT_EQ(form->grid()->currentIndex(), form->grid()->model()->index(before, 0));
  EXPECT_EQ(t->state(), store::Table::State::Insert);
  EXPECT_TRUE(prompter.messages.empty());

  // Leaving the new record unchanged drops it again.
  goTo(*form, 2, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(rows(*form), before);
}

TEST_F(LibraryFormTest, TextThatIsNoNumberIsRefusedAndTheCellStaysOpen) {
  auto form = open(app::LibraryKind::Materials);
  const int row = rowOf(*form, QStringLiteral("滑石"));
  const QString was = cell(*form, row, 2);
  goTo(*form, row, 2);
  form->grid()->edit(form->grid()->currentIndex());
  auto* editor = form->grid()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("六十"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("SIO2"))) << prompter.messages[0].text.toStdString();
  EXPECT_EQ(form->grid()->currentIndex().column(), 2);
  EXPECT_EQ(cell(*form, row, 2), was);
}

TEST_F(LibraryFormTest, EnterOnACategoryRowRemindsAndGoesToTheFirstRecord) {
  auto form = open(app::LibraryKind::Targets);
  const int row = rowOf(*form, QStringLiteral("炻器坯"));
  goTo(*form, row, kNameColumn);
  form->grid()->edit(form->grid()->currentIndex());
  auto* editor = form->grid()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("*炻器*"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(form->grid()->currentIndex().row(), 0);
  // The tree, rebuilt from the table, lists the categories above and below the new one.
  QTreeWidgetItem* root = form->tree()->topLevelItem(0);
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(1)->text(0), QStringLiteral("*炻器*"));
}

// --- Navigator ---------------------------------------------------------------------------------

TEST_F(LibraryFormTest, TargetNavigatorDeleteNamesTheRecord) {
  auto form = open(app::LibraryKind::Targets);
  const int row = rowOf(*form, QStringLiteral("炻器坯"));
  goTo(*form, row, 2);
  prompter.buttons = {Button::No};
  click(form.get(), "nbDelete");
  EXPECT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(rowOf(*form, QStringLiteral("炻器坯")), row);

  prompter.buttons = {Button::Yes};
  click(form.get(), "nbDelete");
  EXPECT_EQ(rowOf(*form, QStringLiteral("炻器坯")), -1);
  EXPECT_EQ(form->grid()->currentIndex().row(), 0);

  // Insert asks nothing and starts a new record in the BH cell.
  prompter.clear();
  click(form.get(), "nbInsert");
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(form->library().table()->state(), store::Table::State::Insert);
  EXPECT_EQ(form->grid()->currentIndex().column(), 0);
}

// --- Other-oxide titles ------------------------------------------------------------------------

TEST_F(LibraryFormTest, OtherOxideTitlesOpenThePopupOthersDoNot) {
  auto form = open(app::LibraryKind::Materials);
  QHeaderView* titles = form->grid()->horizontalHeader();
  auto clickTitle = [&](int column) {
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(column) + 5, titles->height() / 2));
  };
  clickTitle(kHJColumn);
  EXPECT_FALSE(form->popupMenu()->isVisible());
  EXPECT_EQ(form->library().selectedOtherColumn(), 0);

  clickTitle(11);
  EXPECT_TRUE(form->popupMenu()->isVisible());
  EXPECT_EQ(form->library().selectedOtherColumn(), 11);
  QAction* zno = form->popupMenu()->findChild<QAction*>(QStringLiteral("ZnO2"));
  ASSERT_NE(zno, nullptr);
  zno->trigger();
  form->popupMenu()->hide();
  EXPECT_EQ(form->grid()->model()->headerData(11, Qt::Horizontal).toString(), QStringLiteral("ZnO"));
}

// --- Transfers ---------------------------------------------------------------------------------

TEST_F(LibraryFormTest, DoubleClickOnANameAddsItToTableOneAndBringsTheMainScreenForward) {
  auto form = open(app::LibraryKind::Materials);
  frame.showMaterialLibrary();
  store::Table& formula = screen->table(WorkTable::Formula);
  const int before = formula.recordCount();
  const int row = rowOf(*form, QStringLiteral("氧化锌"));

  doubleClickCell(*form, row, 2);  // not the name: only forward
  EXPECT_EQ(formula.recordCount(), before);
  EXPECT_EQ(shown, 1);

  doubleClickCell(*form, row, kNameColumn);
  EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
  ASSERT_EQ(formula.recordCount(), before + 1);
  formula.last();
  EXPECT_EQ(formula.text(QStringLiteral("NAME")), QStringLiteral("氧化锌"));
  EXPECT_GE(shown, 2);
  EXPECT_EQ(form->model()->currentRow(), row);
}

TEST_F(LibraryFormTest, BatchInputUnderACategoryFilterTransfersThatCategory) {
  auto form = open(app::LibraryKind::Materials);
  store::Table& formula = screen->table(WorkTable::Formula);
  const int before = formula.recordCount();
  doubleClickNode(*form, node(*form, QStringLiteral("*长石类*")));
  goTo(*form, 3, 2);
  click(form.get(), "SpeedButton1");
  EXPECT_EQ(prompter.messages.size(), 1u);
  ASSERT_EQ(formula.recordCount(), before + 4);
  formula.last();
  EXPECT_EQ(formula.text(QStringLiteral("NAME")), QStringLiteral("瓷石(景德镇)"));
  EXPECT_EQ(form->grid()->currentIndex().row(), 0);
  EXPECT_EQ(rows(*form), 5);
  EXPECT_GE(shown, 1);
}

TEST_F(LibraryFormTest, MismatchedOtherOxideTitlesAreMarkedRedUntilTheyAgree) {
  auto form = open(app::LibraryKind::Materials);
  store::Table& formula = screen->table(WorkTable::Formula);
  const int before = formula.recordCount();
  form->DBGrid1TitleClick(11);
  form->popupMenu()->findChild<QAction*>(QStringLiteral("BaO"))->trigger();
  form->popupMenu()->hide();

  doubleClickCell(*form, rowOf(*form, QStringLiteral("滑石")), kNameColumn);
  EXPECT_EQ(prompter.messages.size(), 1u);
  QAbstractItemModel* m = form->grid()->model();
  EXPECT_EQ(m->headerData(11, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_FALSE(m->headerData(10, Qt::Horizontal, Qt::ForegroundRole).isValid());
  EXPECT_EQ(formula.recordCount(), before);
  EXPECT_EQ(shown, 0);

  // "其它" cancelled resets the title to 其它2; the next transfer clears the marks.
  form->DBGrid1TitleClick(11);
  form->popupMenu()->findChild<QAction*>(QStringLiteral("MenuItem12"))->trigger();
  form->popupMenu()->hide();
  EXPECT_EQ(m->headerData(11, Qt::Horizontal).toString(), QStringLiteral("其它2"));
  prompter.clear();
  doubleClickCell(*form, rowOf(*form, QStringLiteral("滑石")), kNameColumn);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_FALSE(m->headerData(11, Qt::Horizontal, Qt::ForegroundRole).isValid());
  EXPECT_EQ(formula.recordCount(), before + 1);
}

TEST_F(LibraryFormTest, TargetDoubleClickSwitchesTheCompactDisplayOff) {
  ASSERT_TRUE(screen->showUsedMaterialsOnly());
  ASSERT_TRUE(screen->compactDisplay());
  auto form = open(app::LibraryKind::Targets);
  frame.showTargetLibrary();

  // Not on the name: no transfer, but the window's follow-up reaches the main screen.
  doubleClickCell(*form, rowOf(*form, QStringLiteral("青瓷釉")), 2);
  EXPECT_FALSE(screen->compactDisplay());
  store::Table& target = screen->table(WorkTable::Target);
  target.first();
  EXPECT_EQ(target.text(QStringLiteral("NAME")), QStringLiteral("透明釉(石灰釉)"));

  doubleClickCell(*form, rowOf(*form, QStringLiteral("青瓷釉")), kNameColumn);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(target.recordCount(), 1);
  target.first();
  EXPECT_EQ(target.text(QStringLiteral("NAME")), QStringLiteral("青瓷釉"));
}

// --- The frame's show-window commands --------------------------------------------------------

TEST_F(LibraryFormTest, ClosingLeavesTheMaterialWindowMinimisedInTheFrameAndDetachesTheTargetWindow) {
  QWidget frameWindow;
  auto* area = new QMdiArea(&frameWindow);
  frameWindow.resize(1000, 700);
  frameWindow.show();
  ui::TForm2 materials(prompter, *sink, tmp.path());
  ui::TForm3 targets(prompter, *sink, tmp.path());
  QMdiSubWindow* m = materials.showInFrame(area);
  QMdiSubWindow* t = targets.showInFrame(area);
  ASSERT_TRUE(m && t);
  EXPECT_TRUE(t->isMaximized());
  EXPECT_EQ(area->activeSubWindow(), t);

  area->setActiveSubWindow(m);
  m->close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(m->isMinimized());
  EXPECT_TRUE(materials.library().isChildWindow());

  t->close();
  QCoreApplication::processEvents();
  EXPECT_EQ(area->subWindowList(), QList<QMdiSubWindow*>{m});
  EXPECT_TRUE(targets.isWindow());
  EXPECT_TRUE(targets.isMinimized());
  EXPECT_EQ(targets.windowTitle(), QStringLiteral("目标库"));
  EXPECT_FALSE(targets.library().isChildWindow());

  EXPECT_EQ(materials.showInFrame(area), m);
  EXPECT_TRUE(m->isMaximized());
  QMdiSubWindow* again = targets.showInFrame(area);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(targets.isWindow());
  EXPECT_EQ(area->subWindowList().size(), 2);
  EXPECT_TRUE(again->isMaximized());
  EXPECT_TRUE(targets.library().isChildWindow());
}

}  // namespace
