// Transfers from the library windows into tables 1 and 2: the transfer
// routine, the double clicks and the batch input.
#include "library_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::LibraryKind;
using Transfer = app::Library::Transfer;

const QString kCR = QString(QChar(u'\r'));

// --- Transfer routine ------------------------------------------------------------------------

TEST_F(LibraryTest, MaterialGoesToTable1OnTheIgnitionFreeBasis) {
  Row r = item(7, "钾长石", 60, 20, 10, 100);
  for (auto& [f, v] : r) {
    if (f == "K2O") v = "9.995";
  }
  fill(materialsFile(), {r});
  app::Library& m = materials();
  m.DBGrid1DblClick(1);
  EXPECT_TRUE(prompter.messages.empty());
  store::Table& f = sink.formula;
  ASSERT_EQ(f.recordCount(), 9);
  f.last();
  EXPECT_EQ(f.text("NAME"), "钾长石");
  EXPECT_EQ(f.number("SIO2"), 66.67);
  EXPECT_EQ(f.number("AL2O3"), 22.22);
  EXPECT_EQ(f.number("K2O"), 11.11);
  EXPECT_EQ(f.number("FE2O3"), 0);
  EXPECT_FALSE(f.isNull("QTCF3"));
  EXPECT_EQ(f.number("HJ"), 100);
  EXPECT_EQ(f.number("IL"), 10);
  EXPECT_EQ(f.number("DJ"), 1000);
  EXPECT_EQ(f.text("BZ"), "钾长石备注");
  EXPECT_EQ(f.date("DATE"), (core::Date{2026, 12, 9}));
  for (const char* empty : {"BXL1", "BXL2", "BXL3", "NUM1", "NUM2", "BH"}) EXPECT_TRUE(f.isNull(empty)) << empty;
  EXPECT_EQ(sink.calls, QStringList({"transferred", "forward", "forward"}));
  EXPECT_EQ(m.table()->text("NAME"), "钾长石");  // the cursor stays on the record
}

TEST_F(LibraryTest, TargetReplacesTheRecordOfTable2WithHJTheSumOfTheStoredValues) {
  Row r = targetItem(3, "釉", 33.333, 33.333, 0, 100);
  for (auto& [f, v] : r) {
    if (f == "CAO") v = "33.334";
    if (f == "BH") v = "3";
  }
  fill(targetsFile(), {r});
  app::Library& t = targets();
  ASSERT_TRUE(sink.target.first());
  ASSERT_TRUE(sink.target.edit());
  ASSERT_TRUE(sink.target.setText("BH", "X9"));
  ASSERT_TRUE(sink.target.setText("BXL1", "20"));
  ASSERT_TRUE(sink.target.post());

  t.DBGrid1DblClick(1);
  t.DBGrid1DblClick(1);
  EXPECT_TRUE(prompter.messages.empty());
  store::Table& g = sink.target;
  ASSERT_EQ(g.recordCount(), 1);
  g.first();
  EXPECT_EQ(g.text("NAME"), "釉");
  EXPECT_EQ(g.number("SIO2"), 33.33);
  EXPECT_EQ(g.number("CAO"), 33.33);
  EXPECT_EQ(g.number("HJ"), 99.99);  // not forced to 100
  EXPECT_EQ(g.number("IL"), 0);
  EXPECT_TRUE(g.isNull("BXL1"));
  EXPECT_EQ(g.text("BH"), "X9");  // kept
  EXPECT_EQ(g.text("BZ"), "釉备注");
  EXPECT_EQ(sink.calls.mid(0, 6), QStringList({"transferred", "forward", "forward", "TB1", "compactOff", "hideGrid3"}));

  // Into an empty table 2: one record.
  sink.target.close();
  fill(QStringLiteral("目标配方.DBF"), {});
  ASSERT_TRUE(sink.target.open(data(QStringLiteral("目标配方.DBF"))));
  t.DBGrid1DblClick(1);
  EXPECT_EQ(sink.target.recordCount(), 1);
  EXPECT_EQ(sink.target.number("HJ"), 99.99);
}

TEST_F(LibraryTest, TargetWithLossOnIgnitionIsScaled) {
  fill(targetsFile(), {targetItem(1, "坯", 60, 30, 10, 100)});
  targets().DBGrid1DblClick(1);
  sink.target.first();
  EXPECT_EQ(sink.target.number("SIO2"), 66.67);
  EXPECT_EQ(sink.target.number("AL2O3"), 33.33);
  EXPECT_EQ(sink.target.number("HJ"), 100);
  EXPECT_EQ(sink.target.number("IL"), 10);
}

TEST_F(LibraryTest, CategoryRowWithAllCellsFilledIsSkipped) {
  fill(materialsFile(), {item(1, "*全*")});
  app::Library& m = materials();
  EXPECT_EQ(m.JaLu(), Transfer::Skipped);
  m.DBGrid1DblClick(1);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(sink.formula.recordCount(), 8);
  EXPECT_EQ(sink.calls, QStringList({"forward"}));
}

TEST_F(LibraryTest, TotalEqualToLossOnIgnitionIsRefused) {
  fill(materialsFile(), {item(1, "碳", 0, 0, 100, 100)});
  app::Library& m = materials();
  m.DBGrid1DblClick(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "“碳”的合计 HJ（100）不大于灼减 IL（100），灼烧后没有剩余成分，不能选用。");
  EXPECT_EQ(sink.formula.recordCount(), 8);
  EXPECT_TRUE(sink.calls.isEmpty());

  fill(targetsFile(), {targetItem(1, "空", 0, 0, 12.5, 10)});
  app::Library& t = targets();
  prompter.clear();
  sink.target.first();
  const QString before = sink.target.text("NAME");
  t.DBGrid1DblClick(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "“空”的合计 HJ（10）不大于灼减 IL（12.5），灼烧后没有剩余成分，不能选用。");
  EXPECT_EQ(sink.target.text("NAME"), before);
  EXPECT_TRUE(sink.calls.isEmpty());
}

// --- Header check ------------------------------------------------------------------------------

TEST_F(LibraryTest, HeaderMismatchMarksBothTitlesRedTransfersNothingAndClearsLater) {
  ASSERT_TRUE(store::Profile::write(ini(), "原料库", "11", "ZnO"));
  app::Library& m = materials();
  m.TreeView1DblClick(1);  // *长石类* and four raw materials
  prompter.buttons = {Button::Yes};
  m.SpeedButton1Click();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0].text, "确定要选择原料库所显示的4种原料？");
  EXPECT_EQ(prompter.messages[1], (app::Message{app::MessageKind::Typed, app::kWarningCaption, app::Icon::Warning,
                                               "表头不同，主界面表1【其它2】，原料库表【ZnO】" + kCR +
                                                   "请改成相同即可，注意表头红色字。" + kCR + "操作失败！",
                                               {Button::Ok}, Button::Ok}));
  EXPECT_EQ(sink.formula.recordCount(), 8);
  EXPECT_TRUE(m.titleRed(11));
  EXPECT_FALSE(m.titleRed(10));
  EXPECT_TRUE(sink.formulaRed[1]);
  EXPECT_FALSE(sink.formulaRed[0]);
  EXPECT_TRUE(sink.calls.isEmpty());

  // The titles made equal: the next transfer clears the marks.
  sink.captions[1] = "ZnO";
  prompter.clear();
  m.table()->moveTo(1);
  m.DBGrid1DblClick(1);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_FALSE(m.titleRed(11));
  EXPECT_FALSE(sink.formulaRed[1]);
}

TEST_F(LibraryTest, TargetHeaderMismatchNamesTable1AndMarksTheTargetGrid) {
  ASSERT_TRUE(store::Profile::write(ini(), "pfk", "10", "B2O3"));
  app::Library& t = targets();
  t.table()->moveTo(1);
  t.DBGrid1DblClick(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "表头不同，主界面表1【其它1】，目标配方库表【B2O3】" + kCR +
                                           "请改成相同即可，注意表头红色字。" + kCR + "操作失败！");
  EXPECT_TRUE(t.titleRed(10));
  EXPECT_TRUE(sink.targetRed[0]);
  EXPECT_FALSE(sink.formulaRed[0]);
  EXPECT_TRUE(sink.calls.isEmpty());  // no follow-up either
  sink.target.first();
  EXPECT_EQ(sink.target.text("NAME"), "透明釉(石灰釉)");
}

// --- Double clicks ------------------------------------------------------------------------------

TEST_F(LibraryTest, DoubleClickOutsideTheNameOnlyBringsTheMainScreenForward) {
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.DBGrid1DblClick(2);
  EXPECT_EQ(sink.calls, QStringList({"forward"}));
  EXPECT_EQ(sink.formula.recordCount(), 8);

  app::Library& t = targets();
  sink.calls.clear();
  t.table()->moveTo(1);
  t.DBGrid1DblClick(2);  // SIO2: no transfer, the follow-up all the same
  EXPECT_EQ(sink.calls, QStringList({"forward", "TB1", "compactOff", "hideGrid3"}));
  sink.target.first();
  EXPECT_EQ(sink.target.text("NAME"), "透明釉(石灰釉)");
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LibraryTest, EmptyCellsStopTheTransfer) {
  Row noBH = item(1, "无编号");
  noBH.erase(noBH.begin());
  Row noHJ = item(2, "无合计");
  for (auto& [f, v] : noHJ) {
    if (f == "HJ") v.clear();
  }
  Row noPrice = item(3, "无单价");
  for (auto& [f, v] : noPrice) {
    if (f == "DJ" || f == "BZ" || f == "DATE") v.clear();
  }
  fill(materialsFile(), {noBH, noHJ, noPrice, category(4, "*类*")});
  app::Library& m = materials();
  for (int row : {0, 1, 3}) {
    m.table()->moveTo(row);
    m.DBGrid1DblClick(1);
  }
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText, app::kEmptyCellText, app::kEmptyCellText}));
  EXPECT_EQ(sink.formula.recordCount(), 8);

  prompter.clear();
  m.table()->moveTo(2);  // the record without BH sorts first
  ASSERT_EQ(m.table()->text("NAME"), "无单价");
  m.DBGrid1DblClick(1);  // DJ, BZ and DATE may be empty
  EXPECT_TRUE(prompter.messages.empty());
  sink.formula.last();
  EXPECT_TRUE(sink.formula.isNull("DJ"));
  EXPECT_TRUE(sink.formula.isNull("DATE"));

  fill(targetsFile(), {targetItem(1, ""), category(2, "*类*")});
  app::Library& t = targets();
  sink.calls.clear();
  t.DBGrid1DblClick(1);
  t.table()->next();
  t.DBGrid1DblClick(1);
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText, app::kEmptyCellText}));
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, ThirtyFifthMaterialIsTheLast) {
  formulaWith(34);
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.DBGrid1DblClick(1);
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(sink.formula.recordCount(), 35);
  sink.calls.clear();
  m.DBGrid1DblClick(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "选择原料最多不能超过35种。" + kCR + kCR + "你选择的原料己有35种。" + kCR +
                                           "本次选择的新原料有1种。" + kCR + kCR + "你选择的原料将共有36种。" + kCR + kCR +
                                           "本次选择失效!");
  EXPECT_EQ(prompter.messages[0].icon, app::Icon::Warning);
  EXPECT_EQ(sink.formula.recordCount(), 35);
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, TheLimitCountsRecordsARangeOfTable1Hides) {
  formulaWith(35);
  ASSERT_TRUE(sink.formula.setOrder("NAME"));
  ASSERT_TRUE(sink.formula.setRange("原料1", "原料1"));
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.DBGrid1DblClick(1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains("你选择的原料己有35种。"));
}

// --- Batch input ---------------------------------------------------------------------------------

TEST_F(LibraryTest, BatchOverAFilteredCategoryRefusedWithThirtySixAndThirty) {
  formulaWith(30);
  std::vector<Row> rows{item(1, "前")};
  rows.push_back(category(2, "*六种*"));
  for (int i = 0; i < 6; ++i) rows.push_back(item(3 + i, QStringLiteral("料%1").arg(i)));
  rows.push_back(category(9, "*后*"));
  fill(materialsFile(), rows);
  app::Library& m = materials();
  m.TreeView1DblClick(0);
  ASSERT_EQ(m.table()->recordCount(), 7);
  prompter.buttons = {Button::Yes};
  m.SpeedButton1Click();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0], (app::Message{app::MessageKind::Typed, app::kConfirmCaption, app::Icon::Question,
                                               "确定要选择原料库所显示的6种原料？", {Button::Yes, Button::No},
                                               Button::Yes}));
  EXPECT_EQ(prompter.messages[1].text, "选择原料最多不能超过35种。" + kCR + kCR + "你曾选择的原料己有30种。" + kCR +
                                           "本次选择的新原料有6种。" + kCR + kCR + "你选择的原料将共有36种。" + kCR +
                                           kCR + "本次选择失效!");
  EXPECT_EQ(sink.formula.recordCount(), 30);
}

TEST_F(LibraryTest, BatchTransfersTheShownMaterialsAndReturnsToTheFirst) {
  app::Library& m = materials();
  m.TreeView1DblClick(3);  // *钙镁质原料*: four raw materials
  m.table()->moveTo(2);
  m.SpeedButton1Click();  // the question answered with its default, Yes
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(sink.formula.recordCount(), 12);
  EXPECT_EQ(column(sink.formula, "NAME").mid(8), QStringList({"方解石(碳酸钙)", "白云石", "滑石", "硅灰石(NYAD)"}));
  EXPECT_EQ(m.table()->row(), 0);
  EXPECT_EQ(sink.calls.count("transferred"), 4);
  EXPECT_EQ(sink.calls.mid(sink.calls.size() - 2), QStringList({"hideGrid3", "forward"}));
}

TEST_F(LibraryTest, BatchDeclinedOrWithEmptyCellsTransfersNothing) {
  app::Library& m = materials();
  prompter.buttons = {Button::No};
  m.SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({"确定要选择原料库所显示的21种原料？"}));
  EXPECT_EQ(sink.formula.recordCount(), 8);

  Row hole = item(3, "缺");
  for (auto& [f, v] : hole) {
    if (f == "TIO2") v.clear();
  }
  fill(materialsFile(), {category(1, "*甲*"), item(2, "全"), hole, item(4, "后")});
  app::Library& n = materials();
  prompter.clear();
  n.SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({app::kEmptyCellText}));
  EXPECT_EQ(n.table()->text("NAME"), "缺");  // the cursor on the incomplete record
  EXPECT_EQ(sink.formula.recordCount(), 8);
}

TEST_F(LibraryTest, BatchWithAMaterialWithoutIgnitionFreePartWritesNothingAtAll) {
  fill(materialsFile(), {item(1, "好"), item(2, "碳", 0, 0, 50, 50)});
  app::Library& m = materials();
  m.SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({"“碳”的合计 HJ（50）不大于灼减 IL（50），灼烧后没有剩余成分，不能选用。"}));
  EXPECT_EQ(sink.formula.recordCount(), 8);
}

TEST_F(LibraryTest, BatchFailingHalfWayTakesBackWhatItWrote) {
  // The second material's SiO2 on the ignition-free basis, 1 000 000, does not fit table 1.
  fill(materialsFile(), {item(1, "好"), item(2, "怪", 100, 0, 0, 0.01)});
  app::Library& m = materials();
  m.SpeedButton1Click();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_TRUE(prompter.messages[1].text.contains("SIO2")) << prompter.messages[1].text.toStdString();
  EXPECT_EQ(column(sink.formula, "NAME").size(), 8);
  EXPECT_EQ(sink.formula.state(), store::Table::State::Browse);
}

TEST_F(LibraryTest, BatchOfCategoryRowsOnlyHasNothingToTransfer) {
  fill(materialsFile(), {category(1, "*甲*"), category(2, "*乙*")});
  materials().SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({"原料库所显示的记录中没有原料。"}));
  EXPECT_TRUE(sink.calls.isEmpty());
}

TEST_F(LibraryTest, TargetsHaveNoBatchInput) {
  app::Library& t = targets();
  EXPECT_FALSE(t.spec().hasBatchInput());
  t.SpeedButton1Click();
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(sink.target.recordCount(), 1);
}

// --- The bundled libraries -------------------------------------------------------------------------

TEST_F(LibraryTest, EveryBundledMaterialAndTargetTransfersWithoutAMessage) {
  app::Library& m = materials();
  store::Table& lib = *m.table();
  int materialsSeen = 0;
  for (int row = 0; row < lib.recordCount(); ++row) {
    ASSERT_TRUE(lib.moveTo(row));
    if (app::isCategoryName(lib.text("NAME"))) continue;
    ++materialsSeen;
    m.DBGrid1DblClick(1);
    EXPECT_TRUE(prompter.messages.empty()) << lib.text("NAME").toStdString();
    prompter.clear();
  }
  EXPECT_EQ(materialsSeen, 21);
  EXPECT_EQ(sink.formula.recordCount(), 8 + 21);

  // The whole library again in one batch would pass the limit: 29 + 21.
  prompter.buttons = {Button::Yes};
  m.SpeedButton1Click();
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_TRUE(prompter.messages[1].text.contains("你选择的原料将共有50种。"));

  app::Library& t = targets();
  store::Table& tl = *t.table();
  for (int row = 0; row < tl.recordCount(); ++row) {
    ASSERT_TRUE(tl.moveTo(row));
    const QString name = tl.text("NAME");
    if (app::isCategoryName(name)) continue;
    prompter.clear();
    t.DBGrid1DblClick(1);
    EXPECT_TRUE(prompter.messages.empty()) << name.toStdString();
    sink.target.first();
    EXPECT_EQ(sink.target.text("NAME"), name);
    EXPECT_NEAR(sink.target.number("HJ"), 100, 0.06) << name.toStdString();
  }
  EXPECT_EQ(sink.target.recordCount(), 1);
}

TEST_F(LibraryTest, BundledLibraryInOneBatch) {
  app::Library& m = materials();
  m.SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({"确定要选择原料库所显示的21种原料？"}));
  EXPECT_EQ(sink.formula.recordCount(), 29);
}

TEST_F(LibraryTest, TransferWithTable1ClosedSaysSo) {
  sink.formula.close();
  app::Library& m = materials();
  m.table()->moveTo(1);
  m.DBGrid1DblClick(1);
  m.SpeedButton1Click();
  EXPECT_EQ(prompter.texts(), QStringList({"主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。",
                                           "主界面的表 1（数据库/配方.DBF）没有打开，不能输入原料。"}));
}

}  // namespace
}  // namespace tessaro::test
