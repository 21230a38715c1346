// Transfers from the library windows into tables 1 and 2: the transfer
// routine, the double clicks and the batch input.
#include "library_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Message;

const QString kCR = QString(QChar(u'\r'));

TEST_F(LibraryTest, MaterialGoesToTable1OnTheIgnitionFreeBasis) {
  Row r = item(7, "钾长石", 60, 20, 10, 100);
  for (auto& [f, v] : r) {
    if (f == "K2O") v = "9.995";  // 11.105555...
  }
  ASSERT_TRUE(fill(materialsFile, {r}));
  materials().transferCurrent(1);
  EXPECT_TRUE(prompter.messages.empty());
  store::Table& f = sink.formula;
  ASSERT_EQ(f.recordCount(), 9);
  f.last();
  EXPECT_EQ(f.text("NAME"), "钾长石");
  EXPECT_EQ(f.number("SIO2"), 66.67);
  EXPECT_EQ(f.number("K2O"), 11.11);
  EXPECT_EQ(f.number("HJ"), 100);
  EXPECT_EQ(f.number("IL"), 10);
  EXPECT_EQ(f.number("DJ"), 1000);
  EXPECT_EQ(f.date("DATE"), (core::Date{2026, 12, 9}));
  for (const char* empty : {"BXL1", "NUM1", "NUM2", "BH"}) EXPECT_TRUE(f.isNull(empty)) << empty;
  EXPECT_EQ(sink.calls, QStringList({"transferred", "forward"}));
}

TEST_F(LibraryTest, TargetReplacesTable2WithHJTheSumOfTheStoredValues) {
  Row r = targetItem(3, "釉", 33.333, 33.333, 0, 100);
  for (auto& [f, v] : r) {
    if (f == "CAO") v = "33.334";
  }
  ASSERT_TRUE(fill(targetsFile, {r}));
  app::Library& t = targets();
  ASSERT_TRUE(sink.target.edit() && sink.target.setText("BH", "X9") && sink.target.post());
  t.transferCurrent(1);
  t.transferCurrent(1);
  EXPECT_TRUE(prompter.messages.empty());
  ASSERT_EQ(sink.target.recordCount(), 1);
  sink.target.first();
  EXPECT_EQ(sink.target.number("CAO"), 33.33);
  EXPECT_EQ(sink.target.number("HJ"), 99.99);  // not forced to 100
  EXPECT_EQ(sink.target.text("BH"), "X9");
  EXPECT_EQ(sink.calls.mid(0, 5), QStringList({"transferred", "forward", "showMainScreen", "compactOff", "hideGrid3"}));

  sink.target.close();
  ASSERT_TRUE(fill(QStringLiteral("目标配方.DBF"), {}));
  ASSERT_TRUE(sink.target.open(data(QStringLiteral("目标配方.DBF"))));
  t.transferCurrent(1);
  EXPECT_EQ(sink.target.recordCount(), 1);
}

TEST_F(LibraryTest, TotalEqualToLossOnIgnitionIsRefusedAndNothingWritten) {
  ASSERT_TRUE(fill(materialsFile, {item(1, "好"), item(2, "碳", 0, 0, 50, 50)}));
  app::Library& m = materials();
  m.transferShown();  // the batch refuses before writing anything
  m.table()->last();
  m.transferCurrent(1);
  const QString refusal = "“碳”的合计 HJ（50）不大于灼减 IL（50），灼烧后没有剩余成分，不能选用。";
  EXPECT_EQ(prompter.texts(), QStringList({refusal, refusal}));
  EXPECT_EQ(sink.formula.recordCount(), 8);
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, HeaderMismatchMarksBothTitlesRedTransfersNothingAndClearsLater) {
  ASSERT_TRUE(store::Profile::write(ini(), "原料库", "11", "ZnO"));
  app::Library& m = materials();
  m.filterByCategory(1);  // *长石类* and four raw materials
  m.transferShown();
  EXPECT_EQ(prompter.texts(), QStringList({"确定要选择原料库所显示的4种原料？",
                                           "表头不同，主界面表1【其它2】，原料库表【ZnO】" + kCR +
                                               "请改成相同即可，注意表头红色字。" + kCR + "操作失败！"}));
  EXPECT_EQ(prompter.messages[1].icon, app::Icon::Warning);
  EXPECT_EQ(sink.formula.recordCount(), 8);
  EXPECT_TRUE(m.titleRed(11) && sink.formulaRed[1]);
  EXPECT_FALSE(m.titleRed(10) || sink.formulaRed[0]);
  EXPECT_TRUE(sink.calls.isEmpty());

  sink.captions[1] = "ZnO";
  prompter.clear();
  m.table()->moveTo(1);
  m.transferCurrent(1);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_FALSE(m.titleRed(11) || sink.formulaRed[1]);

  ASSERT_TRUE(store::Profile::write(ini(), "pfk", "10", "B2O3"));
  app::Library& t = targets();
  t.table()->moveTo(1);
  t.transferCurrent(1);
  EXPECT_EQ(prompter.texts(), QStringList({"表头不同，主界面表1【其它1】，目标配方库表【B2O3】" + kCR +
                                           "请改成相同即可，注意表头红色字。" + kCR + "操作失败！"}));
  EXPECT_TRUE(t.titleRed(10) && sink.targetRed[0]);
  EXPECT_EQ(sink.calls.count("showMainScreen"), 0);  // no follow-up either
}

TEST_F(LibraryTest, DoubleClickOutsideTheNameTransfersNothing) {
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.transferCurrent(2);
  EXPECT_EQ(sink.calls, QStringList({"forward"}));
  sink.calls.clear();
  app::Library& t = targets();
  t.table()->moveTo(1);
  t.transferCurrent(2);  // SIO2 of a target: the follow-up all the same
  EXPECT_EQ(sink.calls, QStringList({"forward", "showMainScreen", "compactOff", "hideGrid3"}));
  EXPECT_EQ(sink.formula.recordCount(), 8);
  sink.target.first();
  EXPECT_EQ(sink.target.text("NAME"), "透明釉(石灰釉)");
}

TEST_F(LibraryTest, EmptyCellsStopTheTransferButDJBZAndDateMayBeEmpty) {
  Row noBH = item(1, "无编号");
  noBH.erase(noBH.begin());
  Row noPrice = item(3, "无单价");
  for (auto& [f, v] : noPrice) {
    if (f == "DJ" || f == "BZ" || f == "DATE") v.clear();
  }
  ASSERT_TRUE(fill(materialsFile, {noBH, category(2, "*类*"), noPrice}));
  app::Library& m = materials();
  m.transferCurrent(1);  // no BH, sorted first
  m.table()->next();
  m.transferCurrent(1);  // a category row with empty oxides
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText, app::kEmptyCellText}));
  m.table()->next();
  m.transferCurrent(1);
  EXPECT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(sink.formula.recordCount(), 9);
  ASSERT_TRUE(fill(materialsFile, {item(1, "*全*")}));  // a category row with every cell: skipped
  materials().transferCurrent(1);
  EXPECT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(sink.formula.recordCount(), 9);
}

TEST_F(LibraryTest, AnEmptyGridHasOnlyEmptyCellsAndABatchOfCategoriesAsksAboutNone) {
  ASSERT_TRUE(fill(materialsFile, {}));
  ASSERT_TRUE(fill(targetsFile, {}));
  materials().transferCurrent(1);
  targets().transferCurrent(1);
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText, app::kEmptyCellText}));
  EXPECT_TRUE(sink.calls.isEmpty());  // not even the target window's follow-up

  ASSERT_TRUE(formulaWith(35));  // the limit is looked at before the cells
  prompter.clear();
  materials().transferCurrent(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("选择原料最多不能超过35种。"));

  ASSERT_TRUE(formulaWith(3));
  ASSERT_TRUE(fill(materialsFile, {category(1, "*甲*"), category(2, "*乙*")}));
  app::Library& m = materials();
  prompter.clear();
  prompter.buttons = {Button::Yes};
  m.transferShown();
  EXPECT_EQ(prompter.texts(), QStringList({"确定要选择原料库所显示的0种原料？"}));
  EXPECT_EQ(sink.formula.recordCount(), 3);
  EXPECT_EQ(sink.calls, QStringList({"hideGrid3", "forward"}));
}

TEST_F(LibraryTest, ThirtyFifthMaterialIsTheLastCountingRecordsARangeHides) {
  ASSERT_TRUE(formulaWith(34));
  ASSERT_TRUE(sink.formula.setOrder("NAME") && sink.formula.setRange("原料1", "原料1"));
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.transferCurrent(1);
  EXPECT_TRUE(prompter.messages.empty());
  sink.calls.clear();
  m.transferCurrent(1);
  EXPECT_EQ(prompter.texts(), QStringList({"选择原料最多不能超过35种。" + kCR + kCR + "你选择的原料己有35种。" + kCR +
                                           "本次选择的新原料有1种。" + kCR + kCR + "你选择的原料将共有36种。" + kCR +
                                           kCR + "本次选择失效!"}));
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, BatchOverAFilteredCategoryRefusedWithThirtySixAndThirty) {
  ASSERT_TRUE(formulaWith(30));
  std::vector<Row> rows{item(1, "前"), category(2, "*六种*")};
  for (int i = 0; i < 6; ++i) rows.push_back(item(3 + i, QStringLiteral("料%1").arg(i)));
  rows.push_back(category(9, "*后*"));
  ASSERT_TRUE(fill(materialsFile, rows));
  app::Library& m = materials();
  m.filterByCategory(0);
  m.transferShown();
  EXPECT_EQ(prompter.messages[0], (Message{app::MessageKind::Typed, app::kConfirmCaption, app::Icon::Question,
                                           "确定要选择原料库所显示的6种原料？", {Button::Yes, Button::No}, Button::Yes}));
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[1].text, "选择原料最多不能超过35种。" + kCR + kCR + "你曾选择的原料己有30种。" + kCR +
                                           "本次选择的新原料有6种。" + kCR + kCR + "你选择的原料将共有36种。" + kCR +
                                           kCR + "本次选择失效!");
  EXPECT_EQ(sink.formula.recordCount(), 30);
}

TEST_F(LibraryTest, BatchTransfersTheShownMaterialsOnlyAndReturnsToTheFirst) {
  app::Library& m = materials();
  m.filterByCategory(3);  // *钙镁质原料*
  m.table()->moveTo(2);
  prompter.buttons = {Button::No};
  m.transferShown();
  EXPECT_EQ(sink.formula.recordCount(), 8);
  m.transferShown();
  EXPECT_EQ(column(sink.formula, "NAME").mid(8), QStringList({"方解石(碳酸钙)", "白云石", "滑石", "硅灰石(NYAD)"}));
  EXPECT_EQ(m.table()->row(), 0);
  EXPECT_EQ(sink.calls.mid(sink.calls.size() - 2), QStringList({"hideGrid3", "forward"}));

  Row hole = item(3, "缺");
  hole[5].second.clear();  // TIO2
  ASSERT_TRUE(fill(materialsFile, {category(1, "*甲*"), item(2, "全"), hole, item(4, "后")}));
  app::Library& n = materials();
  prompter.clear();
  n.transferShown();
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText}));
  EXPECT_EQ(n.table()->text("NAME"), "缺");
  EXPECT_EQ(sink.formula.recordCount(), 12);
}

TEST_F(LibraryTest, BatchFailingHalfWayTakesBackWhatItWrote) {
  // 100 / 0.01 x 100 does not fit the SIO2 field of table 1.
  ASSERT_TRUE(fill(materialsFile, {item(1, "好"), item(2, "怪", 100, 0, 0, 0.01)}));
  materials().transferShown();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_TRUE(prompter.messages[1].text.contains("SIO2"));
  EXPECT_EQ(column(sink.formula, "NAME").size(), 8);
}

TEST_F(LibraryTest, EveryBundledMaterialAndTargetTransfersWithoutAMessage) {
  app::Library& m = materials();
  m.transferShown();
  EXPECT_EQ(prompter.texts(), QStringList({"确定要选择原料库所显示的21种原料？"}));
  EXPECT_EQ(sink.formula.recordCount(), 29);
  ASSERT_TRUE(formulaWith(0));
  prompter.clear();
  for (int row = 0; row < m.table()->recordCount(); ++row) {
    ASSERT_TRUE(m.table()->moveTo(row));
    m.transferCurrent(1);
    if (!app::isCategoryName(m.table()->text("NAME"))) {
      EXPECT_EQ(sink.calls.last(), "forward");
    }
  }
  EXPECT_EQ(prompter.texts(), QStringList(5, app::kEmptyCellText));  // the five category rows
  EXPECT_EQ(sink.formula.recordCount(), 21);

  app::Library& t = targets();
  prompter.clear();
  for (int row = 0; row < t.table()->recordCount(); ++row) {
    ASSERT_TRUE(t.table()->moveTo(row));
    const QString name = t.table()->text("NAME");
    if (app::isCategoryName(name)) continue;
    t.transferCurrent(1);
    sink.target.first();
    EXPECT_EQ(sink.target.text("NAME"), name);
    EXPECT_NEAR(sink.target.number("HJ"), 100, 0.06) << name.toStdString();
  }
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(sink.target.recordCount(), 1);
}

}  // namespace
}  // namespace tessaro::test

namespace tessaro::test {
namespace {

TEST_F(LibraryTest, NoTransferIntoADamagedTable) {
  ASSERT_TRUE(fill(materialsFile, {item(7, "钾长石", 60, 20, 10, 100)}));
  sink.formula.close();
  QByteArray b = readFile(data("配方.DBF"));
  b[4] = 20;  // the header claims records the file does not have
  ASSERT_TRUE(writeFile(data("配方.DBF"), b));
  ASSERT_TRUE(sink.formula.open(data(QStringLiteral("配方.DBF"))));
  materials().transferCurrent(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, sink.formula.damageReport() + QChar(u'\r') + app::kNotRunText);
  EXPECT_EQ(readFile(data("配方.DBF")), b);
  EXPECT_FALSE(sink.calls.contains("transferred"));
}

}  // namespace
}  // namespace tessaro::test
