// The library windows' own commands: creation and refresh, category filter,
// Enter key, navigator, delete all, panel, titles and other-oxide names.
#include "library_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Icon;
using app::LibraryKind;
using app::MessageKind;
using app::NavButton;

const QString kCR = QString(QChar(u'\r'));

// --- Creation and refresh --------------------------------------------------------------

TEST_F(LibraryTest, CreationReadsTitlesBuildsTreeAndStandsOnFirstRecord) {
  app::Library& m = materials();
  EXPECT_TRUE(prompter.messages.empty());
  ASSERT_EQ(m.captions().size(), 18);
  EXPECT_EQ(m.captions()[0], "编号");
  EXPECT_EQ(m.captions()[15], "单价(元/吨)");
  EXPECT_EQ(m.captions()[17], "日期");
  EXPECT_TRUE(m.tree().hasRoot);
  EXPECT_EQ(m.tree().root, "原料");
  EXPECT_EQ(m.tree().nodes, QStringList({"*粘土类*", "*长石类*", "*硅质原料*", "*钙镁质原料*", "*其它原料*"}));
  EXPECT_EQ(m.table()->text("BH"), "1");

  app::Library& t = targets();
  ASSERT_EQ(t.captions().size(), 17);
  EXPECT_EQ(t.captions()[15], "备注");
  EXPECT_EQ(t.captions()[16], "日期");
  EXPECT_EQ(t.tree().root, "目标配方");
  EXPECT_EQ(t.tree().nodes, QStringList({"*坯料*", "*釉料*"}));
}

TEST_F(LibraryTest, WithoutSettingsFileEveryTitleIsEmpty) {
  ASSERT_TRUE(QFile::remove(ini()));
  app::Library& m = materials();
  for (const QString& c : m.captions()) EXPECT_TRUE(c.isEmpty());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, StarAnywhereInTheNameMakesACategoryRow) {
  fill(materialsFile(), {item(1, "石英"), category(2, "长石*类"), item(3, "钾长石"), category(4, "其它*")});
  app::Library& m = materials();
  EXPECT_EQ(m.tree().nodes, QStringList({"长石*类", "其它*"}));
  EXPECT_TRUE(app::rowStyle("长石*类").category);
  EXPECT_EQ(app::rowStyle("长石*类").background, (app::Colour{200, 200, 255}));
  EXPECT_EQ(app::rowStyle("长石*类").text, (app::Colour{255, 0, 0}));
  EXPECT_TRUE(app::rowStyle("长石*类").bold);
  EXPECT_FALSE(app::rowStyle("钾长石").category);
}

TEST_F(LibraryTest, ALibraryThatDoesNotOpenIsReportedOnceAndItsCommandsDoNothing) {
  ASSERT_TRUE(QFile::remove(data(materialsFile())));
  app::Library& m = materials();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("数据库/YLK.DBF"));
  EXPECT_FALSE(m.isOpen());
  EXPECT_EQ(m.table(), nullptr);
  EXPECT_TRUE(m.tree().nodes.isEmpty());

  prompter.clear();
  m.TreeView1DblClick(0);
  m.DBGrid1DblClick(1);
  m.SpeedButton1Click();
  m.deleteAllClick();
  EXPECT_FALSE(m.navigate(NavButton::Insert));
  EXPECT_FALSE(m.DBGrid1TitleClick(10).has_value());
  EXPECT_EQ(m.JaLu(), app::Library::Transfer::Stopped);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(sink.calls.isEmpty());
  EXPECT_EQ(sink.formula.recordCount(), 8);
}

// --- Category filter -----------------------------------------------------------------------

TEST_F(LibraryTest, FilterStopsBeforeTheNextCategoryAndTheLastReachesTheGreatestBH) {
  app::Library& m = materials();
  m.TreeView1DblClick(0);  // *粘土类*, BH 1; next category at BH 7
  EXPECT_TRUE(m.showAllVisible());
  EXPECT_EQ(m.lastBH(), 26);
  ASSERT_TRUE(m.filterRange());
  EXPECT_EQ(*m.filterRange(), std::make_pair(1, 6));
  EXPECT_EQ(m.table()->recordCount(), 6);
  EXPECT_EQ(m.table()->text("NAME"), "*粘土类*");

  m.TreeView1DblClick(2);  // *硅质原料*: its row and two materials
  EXPECT_EQ(*m.filterRange(), std::make_pair(12, 14));
  EXPECT_EQ(column(*m.table(), "BH"), QStringList({"12", "13", "14"}));

  m.TreeView1DblClick(4);  // the last category
  EXPECT_EQ(*m.filterRange(), std::make_pair(20, 26));
  EXPECT_EQ(m.table()->recordCount(), 7);

  m.TreeView1DblClick(-1);  // the root shows everything again
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.table()->recordCount(), 26);
  EXPECT_TRUE(m.showAllVisible());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, LastCategoryReachesTheGreatestBHEvenWithGaps) {
  fill(materialsFile(), {category(5, "*甲*"), item(6, "a"), category(10, "*乙*"), item(40, "b"), item(12, "c")});
  app::Library& m = materials();
  m.TreeView1DblClick(1);
  EXPECT_EQ(*m.filterRange(), std::make_pair(10, 40));
  EXPECT_EQ(column(*m.table(), "NAME"), QStringList({"*乙*", "c", "b"}));
  m.TreeView1DblClick(0);
  EXPECT_EQ(*m.filterRange(), std::make_pair(5, 9));
}

TEST_F(LibraryTest, TheOnlyCategoryFiltersUpToLastBH) {
  fill(materialsFile(), {item(1, "a"), category(2, "*唯一*"), item(3, "b"), item(9, "c")});
  app::Library& m = materials();
  m.TreeView1DblClick(0);
  EXPECT_EQ(*m.filterRange(), std::make_pair(2, 9));
  EXPECT_EQ(column(*m.table(), "NAME"), QStringList({"*唯一*", "b", "c"}));
}

TEST_F(LibraryTest, TargetFilterPassesOverSelectedSiblings) {
  fill(targetsFile(), {category(1, "*甲*"), targetItem(2, "a"), category(3, "*乙*"), targetItem(4, "b"),
                       category(5, "*丙*"), targetItem(6, "c"), category(7, "*丁*"), targetItem(8, "d")});
  app::Library& t = targets();
  t.TreeView1DblClick(0, {0, 1});  // next unselected sibling is *丙*
  EXPECT_EQ(*t.filterRange(), std::make_pair(1, 4));
  t.TreeView1DblClick(3, {2, 3});  // last node: the previous unselected sibling, so up to lastBH
  EXPECT_EQ(*t.filterRange(), std::make_pair(7, 8));
  t.TreeView1DblClick(1, {0, 1, 2, 3});  // every sibling selected: the root, so up to lastBH
  EXPECT_EQ(*t.filterRange(), std::make_pair(3, 8));

  // The material window has single selection: the next sibling counts whatever is passed.
  fill(materialsFile(), {category(1, "*甲*"), item(2, "a"), category(3, "*乙*"), item(4, "b"), category(5, "*丙*")});
  app::Library& m = materials();
  m.TreeView1DblClick(0, {0, 1});
  EXPECT_EQ(*m.filterRange(), std::make_pair(1, 2));
}

TEST_F(LibraryTest, ACategoryRenamedSinceTheTreeWasBuiltIsReportedAndTheTreeRebuilt) {
  app::Library& m = materials();
  store::Table& t = *m.table();
  ASSERT_TRUE(t.edit());
  ASSERT_TRUE(t.setText("NAME", "*粘土*"));
  ASSERT_TRUE(t.post());
  m.TreeView1DblClick(0);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "分类标签“*粘土类*”在原料库中已找不到，分类标签已按原料库重新列出。");
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.tree().nodes.first(), "*粘土*");
  EXPECT_EQ(t.recordCount(), 26);
}

// --- Enter key -----------------------------------------------------------------------------

TEST_F(LibraryTest, EnterMovesRightUpToIL) {
  app::Library& m = materials();
  m.table()->next();  // a raw material
  for (int c = 0; c <= 13; ++c) EXPECT_EQ(m.DBGrid1KeyPress(c), c + 1);
  EXPECT_EQ(m.DBGrid1KeyPress(15), 16);
  EXPECT_EQ(m.DBGrid1KeyPress(16), 17);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, EnterOnACategoryRowRemindsOfTheStarAndRefreshes) {
  app::Library& m = materials();
  m.table()->moveTo(6);  // *长石类*
  ASSERT_EQ(m.table()->text("NAME"), "*长石类*");
  EXPECT_EQ(m.DBGrid1KeyPress(0), 0);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (app::Message{MessageKind::Captioned, "提示", Icon::Information,
                                               "分类标签前必须加“*”，否则不能加“*”", {Button::Ok}, Button::Ok}));
  EXPECT_EQ(m.table()->row(), 0);
  EXPECT_EQ(m.tree().nodes.size(), 5);
}

TEST_F(LibraryTest, EnterOnANewCategoryNameInTheMiddleKeepsEveryCategoryInTheTree) {
  app::Library& t = targets();
  t.table()->moveTo(2);  // 炻器坯, between *坯料* and *釉料*
  ASSERT_TRUE(t.table()->edit());
  ASSERT_TRUE(t.table()->setText("NAME", "*炻器*"));
  t.DBGrid1KeyPress(1);
  EXPECT_EQ(t.tree().nodes, QStringList({"*坯料*", "*炻器*", "*釉料*"}));
  EXPECT_EQ(t.table()->row(), 0);
}

TEST_F(LibraryTest, EnterOnHJStoresZeroInEmptyPartsAndTheRoundedSum) {
  Row r = item(1, "a", 60.1, 20.2, 10.3, 0);
  for (auto& [f, v] : r) {
    if (f == "FE2O3" || f == "TIO2" || f == "HJ") v.clear();
    if (f == "CAO") v = "0.1";
    if (f == "MGO") v = "0.2";
  }
  fill(materialsFile(), {r});
  app::Library& m = materials();
  store::Table& t = *m.table();
  ASSERT_TRUE(t.isNull("FE2O3"));
  EXPECT_EQ(m.DBGrid1KeyPress(14), 15);
  EXPECT_FALSE(t.isNull("FE2O3"));
  EXPECT_FALSE(t.isNull("TIO2"));
  EXPECT_EQ(t.number("FE2O3"), 0);
  EXPECT_EQ(t.number("HJ"), 90.9);  // 60.1 + 20.2 + 0.1 + 0.2 + 10.3
  EXPECT_EQ(t.text("HJ"), "90.900");
  EXPECT_TRUE(prompter.messages.empty());

  app::Library& tl = targets();
  tl.table()->next();
  EXPECT_EQ(tl.DBGrid1KeyPress(14), 15);
  EXPECT_EQ(tl.table()->number("HJ"), 99.8);  // 硬质瓷坯: 94.2 + 5.6
}

TEST_F(LibraryTest, EnterOnHJWithATotalTooWideForItsFieldSaysSoAndChangesNothing) {
  Row r = item(1, "a", 999999, 999999, 0, 5);
  fill(materialsFile(), {r});
  app::Library& m = materials();
  EXPECT_EQ(m.DBGrid1KeyPress(14), 14);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("HJ")) << prompter.messages[0].text.toStdString();
  EXPECT_EQ(m.table()->number("HJ"), 5);
}

TEST_F(LibraryTest, EnterOnDateAppendsExceptAtTheEndOfTable) {
  app::Library& m = materials();
  store::Table& t = *m.table();
  EXPECT_EQ(m.DBGrid1KeyPress(17), 0);
  EXPECT_EQ(t.state(), store::Table::State::Insert);
  t.first();  // the untouched new record goes away
  EXPECT_EQ(t.recordCount(), 26);

  t.last();
  t.next();  // past the last record
  ASSERT_TRUE(t.eof());
  EXPECT_EQ(m.DBGrid1KeyPress(17), 17);
  EXPECT_EQ(t.state(), store::Table::State::Browse);

  app::Library& tl = targets();
  EXPECT_EQ(tl.DBGrid1KeyPress(15), 16);
  EXPECT_EQ(tl.DBGrid1KeyPress(16), 0);
  EXPECT_EQ(tl.table()->state(), store::Table::State::Insert);

  fill(materialsFile(), {});
  app::Library& empty = materials();
  EXPECT_EQ(empty.DBGrid1KeyPress(17), 17);
  EXPECT_EQ(empty.DBGrid1KeyPress(14), 15);
  EXPECT_EQ(empty.table()->recordCount(), 0);
  EXPECT_EQ(empty.table()->state(), store::Table::State::Browse);
}

// --- Navigator -------------------------------------------------------------------------------

TEST_F(LibraryTest, MaterialNavigatorAsksBeforeInsertDeleteAndEditOnly) {
  app::Library& m = materials();
  const app::Message question{MessageKind::Typed, app::kConfirmCaption, Icon::Question, " 确定修改原料库吗？",
                              {Button::Yes, Button::No}, Button::Yes};
  EXPECT_TRUE(m.navigate(NavButton::Next));
  EXPECT_TRUE(m.navigate(NavButton::Last));
  EXPECT_TRUE(m.navigate(NavButton::Post));
  EXPECT_TRUE(prompter.messages.empty());

  prompter.buttons = {Button::No, Button::No, Button::No};
  EXPECT_FALSE(m.navigate(NavButton::Insert));
  EXPECT_FALSE(m.navigate(NavButton::Delete));
  EXPECT_FALSE(m.navigate(NavButton::Edit));
  ASSERT_EQ(prompter.messages.size(), 3u);
  for (const auto& msg : prompter.messages) EXPECT_EQ(msg, question);
  EXPECT_EQ(m.table()->recordCount(), 26);
  EXPECT_EQ(m.table()->state(), store::Table::State::Browse);
}

TEST_F(LibraryTest, NavigatorInsertLiftsTheFilterAndStartsARecordInBH) {
  app::Library& m = materials();
  m.TreeView1DblClick(1);
  m.setCurrentColumn(5);
  prompter.buttons = {Button::Yes};
  EXPECT_TRUE(m.navigate(NavButton::Insert));
  EXPECT_FALSE(m.filterRange());
  EXPECT_FALSE(m.table()->hasRange());
  EXPECT_EQ(m.table()->state(), store::Table::State::Insert);
  EXPECT_EQ(m.currentColumn(), 0);
  m.table()->first();
  EXPECT_EQ(m.table()->recordCount(), 26);
}

TEST_F(LibraryTest, NavigatorDeleteUnderAFilterRebuildsTheTreeFromTheShownRecords) {
  app::Library& m = materials();
  m.TreeView1DblClick(1);  // *长石类*, BH 7 to 11
  m.table()->moveTo(2);
  const QString gone = m.table()->text("NAME");
  prompter.buttons = {Button::Yes};
  EXPECT_TRUE(m.navigate(NavButton::Delete));
  EXPECT_EQ(m.table()->recordCount(), 4);
  EXPECT_FALSE(column(*m.table(), "NAME").contains(gone));
  EXPECT_EQ(m.tree().nodes, QStringList({"*长石类*"}));
  EXPECT_EQ(m.table()->row(), 0);
}

TEST_F(LibraryTest, TargetNavigatorAsksOnlyBeforeDeleteNamingTheTarget) {
  app::Library& t = targets();
  t.table()->moveTo(1);
  EXPECT_TRUE(t.navigate(NavButton::Insert));
  EXPECT_TRUE(prompter.messages.empty());
  t.table()->cancel();
  t.table()->moveTo(1);

  prompter.buttons = {Button::No};
  EXPECT_FALSE(t.navigate(NavButton::Delete));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (app::Message{MessageKind::Captioned, "删除 记录", Icon::Warning,
                                               " 确定要删除“硬质瓷坯”记录吗？", {Button::Yes, Button::No}, Button::No}));
  EXPECT_EQ(t.table()->recordCount(), 10);
  prompter.buttons = {Button::Yes};
  EXPECT_TRUE(t.navigate(NavButton::Delete));
  EXPECT_EQ(t.table()->recordCount(), 9);
}

// --- Delete all ------------------------------------------------------------------------------

TEST_F(LibraryTest, DeleteAllAsksThenEmptiesTheLibraryAndTheTree) {
  app::Library& m = materials();
  prompter.buttons = {Button::No};
  m.deleteAllClick();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (app::Message{MessageKind::Typed, app::kWarningCaption, Icon::Warning,
                                               "将要删除原料库中的所有记录，不能恢复！", {Button::Yes, Button::No},
                                               Button::No}));
  EXPECT_EQ(m.table()->recordCount(), 26);

  prompter.buttons = {Button::Yes};
  m.table()->moveTo(10);  // the cursor anywhere: every record goes
  m.deleteAllClick();
  EXPECT_EQ(m.table()->recordCount(), 0);
  EXPECT_FALSE(m.tree().hasRoot);
  EXPECT_TRUE(m.tree().nodes.isEmpty());
  EXPECT_EQ(prompter.messages.size(), 2u);

  prompter.clear();
  m.deleteAllClick();  // nothing shown: no question
  EXPECT_TRUE(prompter.messages.empty());

  app::Library& t = targets();
  prompter.buttons = {Button::Yes};
  t.deleteAllClick();
  EXPECT_EQ(prompter.messages[0].text, "将要删除目标库中的所有记录，不能恢复！");
  EXPECT_EQ(t.table()->recordCount(), 0);
}

TEST_F(LibraryTest, DeleteAllStopsAtARecordWithoutName) {
  fill(materialsFile(), {item(1, "a"), item(2, "b"), item(3, ""), item(4, "d")});
  app::Library& m = materials();
  prompter.buttons = {Button::Yes};
  m.deleteAllClick();
  EXPECT_EQ(column(*m.table(), "BH"), QStringList({"3", "4"}));
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[1].text,
            "有一条记录没有名称（编号 3），它不能删除，删除到此为止；" + kCR + "还有2条记录没有删除。");
  EXPECT_FALSE(m.tree().hasRoot);

  // Standing on the nameless record, nothing is deleted at all, and the tree stays.
  fill(materialsFile(), {item(1, ""), category(2, "*甲*"), item(3, "c")});
  app::Library& n = materials();
  prompter.clear();
  prompter.buttons = {Button::Yes};
  n.deleteAllClick();
  EXPECT_EQ(n.table()->recordCount(), 3);
  EXPECT_EQ(n.tree().nodes, QStringList({"*甲*"}));
}

TEST_F(LibraryTest, DeleteAllUnderAFilterDeletesTheShownRecordsOnly) {
  app::Library& m = materials();
  m.TreeView1DblClick(2);  // BH 12 to 14
  prompter.buttons = {Button::Yes};
  m.deleteAllClick();
  EXPECT_EQ(m.table()->recordCount(), 0);
  EXPECT_FALSE(m.tree().hasRoot);
  m.showAllClick();
  EXPECT_EQ(m.table()->recordCount(), 23);
  EXPECT_FALSE(column(*m.table(), "BH").contains("13"));
}

// --- Panel, show all, pointer, window -------------------------------------------------------

TEST_F(LibraryTest, CloseBoxAndShowAll) {
  app::Library& m = materials();
  EXPECT_TRUE(m.categoryPanelVisible());
  EXPECT_FALSE(m.showAllVisible());
  EXPECT_EQ(m.panelWidth(), 113);
  m.closePanelClick();
  EXPECT_FALSE(m.categoryPanelVisible());
  EXPECT_TRUE(m.showAllVisible());
  m.TreeView1DblClick(0);
  m.showAllClick();
  EXPECT_TRUE(m.categoryPanelVisible());
  EXPECT_FALSE(m.showAllVisible());
  EXPECT_FALSE(m.filterRange());
  EXPECT_EQ(m.table()->recordCount(), 26);

  EXPECT_EQ(targets().panelWidth(), 110);
  EXPECT_EQ(library->spec().showAllCaption, "全部显示");
  EXPECT_EQ(app::librarySpec(LibraryKind::Materials).showAllCaption, "全部显示　");
}

TEST_F(LibraryTest, PointerZonesAndPanelWidth) {
  app::Library& m = materials();  // BH 26 and NAME 118 wide
  EXPECT_EQ(m.gridPointer(12), app::Pointer::Arrow);
  EXPECT_EQ(m.gridPointer(13), app::Pointer::PointingHand);
  EXPECT_EQ(m.gridPointer(155), app::Pointer::PointingHand);
  EXPECT_EQ(m.gridPointer(156), app::Pointer::Arrow);
  m.setColumnWidth(1, 200);
  EXPECT_EQ(m.gridPointer(200), app::Pointer::PointingHand);
  EXPECT_EQ(m.panelPointer(), app::Pointer::SplitHorizontal);
  EXPECT_EQ(m.treePointer(), app::Pointer::Arrow);
  m.panelMouseUp(250);
  EXPECT_EQ(m.panelWidth(), 250);
  m.panelMouseUp(-30);  // released left of the window: the panel stays reachable
  EXPECT_EQ(m.panelWidth(), app::Library::kMinPanelWidth);
  EXPECT_EQ(targets().treePointer(), app::Pointer::PointingHand);
}

TEST_F(LibraryTest, ClosingKeepsTheMaterialWindowInTheFrameAndDetachesTheTargetWindow) {
  app::Library& m = materials();
  EXPECT_FALSE(m.visible());
  m.show();
  m.FormClose();
  EXPECT_TRUE(m.isChildWindow());
  EXPECT_TRUE(m.minimised());
  app::Library& t = targets();
  t.show();
  EXPECT_TRUE(t.isChildWindow());
  t.FormClose();
  EXPECT_FALSE(t.isChildWindow());
  EXPECT_TRUE(t.minimised());
  t.show();
  EXPECT_TRUE(t.isChildWindow());
  EXPECT_FALSE(t.minimised());
}

// --- Titles and other oxides ------------------------------------------------------------------

TEST_F(LibraryTest, TitleClickOnAnOtherOxideOpensTheMenuAndSelectsIt) {
  app::Library& m = materials();
  EXPECT_EQ(m.DBGrid1TitleClick(11), QPoint(60 * 11 + 26, 138));
  EXPECT_EQ(m.selectedOtherColumn(), 11);
  EXPECT_FALSE(m.DBGrid1TitleClick(14));  // HJ
  EXPECT_FALSE(m.DBGrid1TitleClick(1));   // NAME
  EXPECT_EQ(m.selectedOtherColumn(), 11);
  EXPECT_EQ(targets().DBGrid1TitleClick(10), QPoint(60 * 10 + 44, 138));
}

TEST_F(LibraryTest, BuiltInEntryWritesTheWindowsSectionOnly) {
  ASSERT_TRUE(QFile::remove(ini()));
  app::Library& m = materials();
  EXPECT_FALSE(m.ZnO2Click());  // nothing selected yet
  m.DBGrid1TitleClick(11);
  EXPECT_TRUE(m.ZnO2Click());
  EXPECT_EQ(m.captions()[11], "ZnO");
  EXPECT_EQ(store::Profile::read(ini(), "原料库", "11"), "ZnO");
  EXPECT_EQ(QString::fromUtf8(readFile(ini())).count("="), 1);  // no weight, no section 其它

  app::Library& t = targets();
  t.DBGrid1TitleClick(12);
  EXPECT_TRUE(t.ZrO2Click());
  EXPECT_TRUE(t.P205Click());
  EXPECT_EQ(store::Profile::read(ini(), "pfk", "12"), "P2O5");
  EXPECT_TRUE(store::Profile::read(ini(), "其它", "QTCF3").isEmpty());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, FreeEntryNamesOrResetsTheColumn) {
  app::Library& m = materials();
  m.DBGrid1TitleClick(12);
  prompter.answers = {QString("Li2O")};
  EXPECT_TRUE(m.MenuItem12Click());
  ASSERT_EQ(prompter.inputs.size(), 1u);  // no weight box
  EXPECT_EQ(prompter.inputs[0].caption, "输入氧化物名称。");
  EXPECT_EQ(prompter.inputs[0].prompt, "注意大小写，它关系到下面的计算。。。....");
  EXPECT_EQ(prompter.inputs[0].initial, "其它");
  EXPECT_EQ(m.captions()[12], "Li2O");
  EXPECT_EQ(store::Profile::read(ini(), "原料库", "12"), "Li2O");

  EXPECT_TRUE(m.MenuItem12Click());  // cancelled: back to 其它3
  EXPECT_EQ(m.captions()[12], "其它3");
  EXPECT_EQ(store::Profile::read(ini(), "原料库", "12"), "其它3");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF3"), "1");  // untouched

  prompter.answers = {QString("  ")};
  EXPECT_FALSE(m.MenuItem12Click());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "氧化物名称不能为空，“其它3”列的名称没有改变。");
  EXPECT_EQ(m.captions()[12], "其它3");
}

TEST_F(LibraryTest, ANameGbkCannotHoldIsRefusedAndTheCaptionKept) {
  app::Library& m = materials();
  m.DBGrid1TitleClick(10);
  prompter.answers = {QString::fromUtf8("B₂O₃\u0E01")};
  EXPECT_FALSE(m.MenuItem12Click());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("原料库")) << prompter.messages[0].text.toStdString();
  EXPECT_EQ(m.captions()[10], "其它1");
}

}  // namespace
}  // namespace tessaro::test
