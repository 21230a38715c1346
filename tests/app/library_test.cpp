// The library windows' own commands: creation and refresh, category filter,
// Enter key, navigator, delete all and other-oxide names.
#include "library_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Icon;
using app::Message;
using app::MessageKind;
using app::NavButton;

const QString kCR = QString(QChar(u'\r'));

TEST_F(LibraryTest, CreationReadsTitlesAndBuildsTheTreeFromTheTable) {
  ASSERT_TRUE(fill(targetsFile, {targetItem(1, "a"), category(2, "长石*类"), targetItem(3, "b"), category(4, "其它*")}));
  app::Library& t = targets();
  EXPECT_TRUE(prompter.messages.empty());
  ASSERT_EQ(t.captions().size(), 17);
  EXPECT_EQ(t.captions()[16], "日期");
  EXPECT_EQ(t.tree().root, "目标配方");
  EXPECT_EQ(t.tree().nodes, QStringList({"长石*类", "其它*"}));  // "*" anywhere
  EXPECT_TRUE(app::rowStyle("长石*类").bold);
  EXPECT_FALSE(app::rowStyle("b").category);

  ASSERT_TRUE(QFile::remove(ini()));
  app::Library& m = materials();
  ASSERT_EQ(m.captions().size(), 18);
  for (const QString& c : m.captions()) EXPECT_TRUE(c.isEmpty());
  EXPECT_EQ(m.tree().root, "原料");
  EXPECT_EQ(m.tree().nodes.size(), 5);
  EXPECT_EQ(m.table()->text("BH"), "1");
}

TEST_F(LibraryTest, ALibraryThatDoesNotOpenIsReportedOnceAndItsCommandsDoNothing) {
  ASSERT_TRUE(QFile::remove(data(materialsFile)));
  app::Library& m = materials();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("数据库/YLK.DBF"));
  prompter.clear();
  m.filterByCategory(0);
  m.transferCurrent(1);
  m.transferShown();
  m.deleteAll();
  EXPECT_FALSE(m.navigate(NavButton::Insert));
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, PointerPanelAndWindowState) {
  app::Library& m = materials();
  // The hand covers the BH and NAME columns: 12 < x < 12 + 26 + 118.
  EXPECT_EQ(m.gridPointer(12), app::Pointer::Arrow);
  EXPECT_EQ(m.gridPointer(13), app::Pointer::PointingHand);
  EXPECT_EQ(m.gridPointer(155), app::Pointer::PointingHand);
  EXPECT_EQ(m.gridPointer(156), app::Pointer::Arrow);
  EXPECT_EQ(m.panelWidth(), 113);
  m.resizePanel(240);
  EXPECT_EQ(m.panelWidth(), 240);
  m.resizePanel(-40);  // a release at the left edge keeps a panel that can still be dragged
  EXPECT_EQ(m.panelWidth(), app::Library::kMinPanelWidth);
  m.show();
  m.close();  // stays inside the frame, minimised
  EXPECT_TRUE(m.isChildWindow() && m.minimised());

  app::Library& t = targets();
  EXPECT_EQ(t.gridPointer(173), app::Pointer::PointingHand);  // BH is 44 wide here
  EXPECT_EQ(t.gridPointer(174), app::Pointer::Arrow);
  EXPECT_EQ(t.panelWidth(), 110);
  t.show();
  t.close();  // leaves the frame
  EXPECT_TRUE(!t.isChildWindow() && t.minimised());
  t.show();
  EXPECT_TRUE(t.isChildWindow() && !t.minimised());
}

// --- Category filter -------------------------------------------------------------------------

TEST_F(LibraryTest, FilterStopsBeforeTheNextCategoryAndTheLastReachesLastBH) {
  app::Library& m = materials();  // categories at BH 1, 7, 12, 15, 20; last BH 26
  m.filterByCategory(0);
  EXPECT_TRUE(m.showAllVisible());
  EXPECT_EQ(*m.filterRange(), std::make_pair(1, 6));
  EXPECT_EQ(m.table()->text("NAME"), "*粘土类*");
  m.filterByCategory(4);
  EXPECT_EQ(*m.filterRange(), std::make_pair(20, 26));
  EXPECT_EQ(m.table()->recordCount(), 7);
  m.filterByCategory(-1);  // the root shows everything; the button stays
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.table()->recordCount(), 26);
  EXPECT_TRUE(m.showAllVisible());
  m.filterByCategory(2);
  m.closeCategoryPanel();
  m.showAll();
  EXPECT_EQ(m.table()->recordCount(), 26);
  EXPECT_TRUE(m.categoryPanelVisible());
  EXPECT_FALSE(m.showAllVisible());

  // Gaps in BH, and a single category: up to the greatest BH.
  ASSERT_TRUE(fill(materialsFile, {item(1, "a"), category(5, "*甲*"), item(12, "c"), item(40, "b")}));
  app::Library& n = materials();
  n.filterByCategory(0);
  EXPECT_EQ(*n.filterRange(), std::make_pair(5, 40));
  EXPECT_EQ(column(*n.table(), "NAME"), QStringList({"*甲*", "c", "b"}));
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, TargetFilterPassesOverSelectedSiblings) {
  const std::vector<Row> rows{category(1, "*甲*"), targetItem(2, "a"), category(3, "*乙*"), targetItem(4, "b"),
                              category(5, "*丙*"), targetItem(6, "c"), category(7, "*丁*"), targetItem(8, "d")};
  ASSERT_TRUE(fill(targetsFile, rows));
  app::Library& t = targets();
  t.filterByCategory(0, {0, 1});
  EXPECT_EQ(*t.filterRange(), std::make_pair(1, 4));
  t.filterByCategory(3, {2, 3});  // the neighbour stands before it: up to lastBH
  EXPECT_EQ(*t.filterRange(), std::make_pair(7, 8));
  t.filterByCategory(1, {0, 1, 2, 3});  // only the root is left
  EXPECT_EQ(*t.filterRange(), std::make_pair(3, 8));

  ASSERT_TRUE(fill(materialsFile, rows));
  app::Library& m = materials();  // single selection: the next sibling whatever is passed
  m.filterByCategory(0, {0, 1});
  EXPECT_EQ(*m.filterRange(), std::make_pair(1, 2));
}

TEST_F(LibraryTest, ACategoryRenamedSinceTheTreeWasBuiltIsReportedAndTheTreeRebuilt) {
  app::Library& m = materials();
  ASSERT_TRUE(m.table()->edit() && m.table()->setText("NAME", "*粘土*") && m.table()->post());
  m.filterByCategory(0);
  EXPECT_EQ(prompter.texts(), QStringList({"分类标签“*粘土类*”在原料库中已找不到，分类标签已按原料库重新列出。"}));
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.tree().nodes.first(), "*粘土*");
}

// --- Enter key -------------------------------------------------------------------------------

TEST_F(LibraryTest, EnterOnACategoryRowRemindsOfTheStarAndRebuildsTheTree) {
  app::Library& t = targets();
  t.table()->moveTo(2);  // between *坯料* and *釉料*
  ASSERT_TRUE(t.table()->edit() && t.table()->setText("NAME", "*炻器*"));
  EXPECT_EQ(t.pressEnter(1), 1);
  EXPECT_EQ(prompter.messages, std::vector<Message>({{MessageKind::Captioned, "提示", Icon::Information,
                                                      "分类标签前必须加“*”，否则不能加“*”", {Button::Ok}, Button::Ok}}));
  EXPECT_EQ(t.tree().nodes, QStringList({"*坯料*", "*炻器*", "*釉料*"}));
  EXPECT_EQ(t.table()->row(), 0);
  t.table()->moveTo(1);
  EXPECT_EQ(t.pressEnter(1), 2);  // an ordinary record: on to the next column
}

TEST_F(LibraryTest, EnterOnHJStoresZeroInEmptyPartsAndTheRoundedSum) {
  Row r = item(1, "a", 60.1, 20.2, 10.3, 0);
  for (auto& [f, v] : r) {
    if (f == "FE2O3" || f == "TIO2" || f == "HJ") v.clear();
    if (f == "CAO") v = "0.1";
    if (f == "MGO") v = "0.2";
  }
  Row thirds = item(2, "c", 33.335, 33.335, 33.335, 0);
  thirds.erase(thirds.begin() + 14);  // HJ empty
  ASSERT_TRUE(fill(materialsFile, {r, thirds, item(3, "b", 999999, 999999, 0, 5)}));
  app::Library& m = materials();
  store::Table& t = *m.table();
  EXPECT_EQ(m.pressEnter(14), 15);
  EXPECT_EQ(t.text("FE2O3"), "0.000");
  EXPECT_EQ(t.text("TIO2"), "0.000");
  EXPECT_EQ(t.text("HJ"), "90.900");
  EXPECT_TRUE(prompter.messages.empty());

  // 3 x 33.335 is 100.00499... in binary: HJ shows what "%8.2f" rounds half
  // away from zero in decimal, not the raw sum in HJ's three decimals.
  t.next();
  EXPECT_EQ(m.pressEnter(14), 15);
  EXPECT_EQ(t.text("HJ"), "100.010");

  t.next();  // a sum too wide for HJ: said, nothing changed
  EXPECT_EQ(m.pressEnter(14), 14);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("HJ"));
  EXPECT_EQ(t.number("HJ"), 5);
}

TEST_F(LibraryTest, EnterOnDateAppendsExceptAtTheEndOfTable) {
  app::Library& m = materials();
  store::Table& t = *m.table();
  EXPECT_EQ(m.pressEnter(16), 17);
  EXPECT_EQ(m.pressEnter(17), 0);
  EXPECT_EQ(t.state(), store::Table::State::Insert);
  t.last();
  t.next();
  ASSERT_TRUE(t.eof());
  EXPECT_EQ(t.recordCount(), 26);  // the untouched new record went away
  EXPECT_EQ(m.pressEnter(17), 17);
  EXPECT_EQ(t.state(), store::Table::State::Browse);

  app::Library& tl = targets();
  EXPECT_EQ(tl.pressEnter(16), 0);
  EXPECT_EQ(tl.table()->state(), store::Table::State::Insert);
}

// --- Navigator -------------------------------------------------------------------------------

TEST_F(LibraryTest, MaterialNavigatorAsksBeforeChangesAndInsertLiftsTheFilter) {
  app::Library& m = materials();
  EXPECT_TRUE(m.navigate(NavButton::Next) && m.navigate(NavButton::Last) && m.navigate(NavButton::Post));
  EXPECT_TRUE(prompter.messages.empty());
  prompter.buttons = {Button::No, Button::No, Button::No, Button::Yes};
  EXPECT_FALSE(m.navigate(NavButton::Insert));
  EXPECT_FALSE(m.navigate(NavButton::Delete));
  EXPECT_FALSE(m.navigate(NavButton::Edit));
  const Message question{MessageKind::Typed, app::kConfirmCaption, Icon::Question, " 确定修改原料库吗？",
                         {Button::Yes, Button::No}, Button::Yes};
  EXPECT_EQ(prompter.messages, std::vector<Message>(3, question));
  EXPECT_EQ(m.table()->recordCount(), 26);

  m.filterByCategory(1);
  EXPECT_TRUE(m.navigate(NavButton::Insert));
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.table()->state(), store::Table::State::Insert);
  EXPECT_EQ(m.currentColumn(), 0);
}

TEST_F(LibraryTest, NavigatorDeleteUnderAFilterRebuildsTheTreeFromTheShownRecords) {
  app::Library& m = materials();
  m.filterByCategory(1);  // BH 7 to 11
  m.table()->moveTo(2);
  prompter.buttons = {Button::Yes};
  EXPECT_TRUE(m.navigate(NavButton::Delete));
  EXPECT_EQ(column(*m.table(), "BH"), QStringList({"7", "8", "10", "11"}));
  EXPECT_EQ(m.tree().nodes, QStringList({"*长石类*"}));
  EXPECT_EQ(m.table()->row(), 0);
}

TEST_F(LibraryTest, TargetNavigatorAsksOnlyBeforeDeleteNamingTheTarget) {
  app::Library& t = targets();
  EXPECT_TRUE(t.navigate(NavButton::Insert));
  EXPECT_TRUE(prompter.messages.empty());
  t.table()->moveTo(1);
  prompter.buttons = {Button::No};
  EXPECT_FALSE(t.navigate(NavButton::Delete));
  EXPECT_EQ(prompter.messages, std::vector<Message>({{MessageKind::Captioned, "删除 记录", Icon::Warning,
                                                      " 确定要删除“硬质瓷坯”记录吗？", {Button::Yes, Button::No},
                                                      Button::No}}));
  EXPECT_EQ(t.table()->recordCount(), 10);
  prompter.buttons = {Button::Yes};
  EXPECT_TRUE(t.navigate(NavButton::Delete));
  EXPECT_EQ(t.table()->recordCount(), 9);
  EXPECT_EQ(t.table()->row(), 0);
}

// --- Delete all ------------------------------------------------------------------------------

TEST_F(LibraryTest, DeleteAllUnderAFilterDeletesTheShownRecordsAndEmptiesTheTree) {
  app::Library& m = materials();
  prompter.buttons = {Button::No, Button::Yes};
  m.deleteAll();
  EXPECT_EQ(m.table()->recordCount(), 26);
  m.filterByCategory(2);  // BH 12 to 14
  m.deleteAll();
  EXPECT_EQ(prompter.messages, std::vector<Message>(2, {MessageKind::Typed, app::kWarningCaption, Icon::Warning,
                                                        "将要删除原料库中的所有记录，不能恢复！",
                                                        {Button::Yes, Button::No}, Button::No}));
  EXPECT_EQ(m.table()->recordCount(), 0);
  EXPECT_FALSE(m.tree().hasRoot);
  m.showAll();
  EXPECT_EQ(m.table()->recordCount(), 23);
}

TEST_F(LibraryTest, DeleteAllStopsAtARecordWithoutName) {
  // The current record has no name: nothing goes and the tree stays.
  ASSERT_TRUE(fill(materialsFile, {targetItem(1, ""), category(2, "*甲*"), targetItem(3, "c")}));
  app::Library& m = materials();
  prompter.buttons = {Button::Yes};
  m.deleteAll();
  EXPECT_EQ(m.table()->recordCount(), 3);
  EXPECT_TRUE(m.tree().hasRoot);
  EXPECT_EQ(m.tree().nodes, QStringList({"*甲*"}));
  prompter.clear();

  ASSERT_TRUE(fill(targetsFile, {targetItem(1, "a"), targetItem(2, "b"), targetItem(3, ""), targetItem(4, "d")}));
  app::Library& t = targets();
  prompter.buttons = {Button::Yes};
  t.deleteAll();
  EXPECT_EQ(prompter.messages[0].text, "将要删除目标库中的所有记录，不能恢复！");
  EXPECT_EQ(prompter.messages[1].text,
            "有一条记录没有名称（编号 3），它不能删除，删除到此为止；" + kCR + "还有2条记录没有删除。");
  EXPECT_EQ(column(*t.table(), "BH"), QStringList({"3", "4"}));
  EXPECT_FALSE(t.tree().hasRoot);
}

// --- Other oxides ----------------------------------------------------------------------------

TEST_F(LibraryTest, OtherOxideCommandsNameTheColumnInTheWindowsSectionOnly) {
  ASSERT_TRUE(QFile::remove(ini()));
  app::Library& m = materials();
  EXPECT_FALSE(m.chooseOtherOxide(9));  // nothing selected yet
  EXPECT_EQ(m.selectOtherColumn(11), QPoint(60 * 11 + 26, 138));
  EXPECT_FALSE(m.selectOtherColumn(14));  // HJ: no menu, the selection stays
  EXPECT_TRUE(m.chooseOtherOxide(9));
  EXPECT_EQ(m.captions()[11], "ZnO");
  EXPECT_EQ(store::Profile::read(ini(), "原料库", "11"), "ZnO");
  EXPECT_EQ(readFile(ini()).count('='), 1);  // no weight, no section 其它

  app::Library& t = targets();
  t.selectOtherColumn(12);
  prompter.answers = {QString("Li2O"), std::nullopt, QString(" "), QString::fromUtf8("B₂O₃\u0E01")};
  EXPECT_TRUE(t.nameOtherOxide());
  EXPECT_EQ(store::Profile::read(ini(), "pfk", "12"), "Li2O");
  EXPECT_TRUE(t.nameOtherOxide());  // cancelled: reset
  EXPECT_EQ(t.captions()[12], "其它3");
  EXPECT_FALSE(t.nameOtherOxide());
  EXPECT_FALSE(t.nameOtherOxide());  // GBK cannot hold it
  EXPECT_EQ(prompter.inputs.size(), 4u);  // never a weight box
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].text, "氧化物名称不能为空，“其它3”列的名称没有改变。");
  EXPECT_EQ(t.captions()[12], "其它3");
  EXPECT_EQ(store::Profile::read(ini(), "pfk", "12"), "其它3");
  EXPECT_FALSE(store::Profile::read(ini(), "其它", "QTCF3").size());
}

}  // namespace
}  // namespace tessaro::test
