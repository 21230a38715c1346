// The main screen's other commands: verification, mandatory marks, K/Na merge
// and split, other oxides, compact display, clearing and packing.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/errorrate.h"
#include "core/kna.h"
#include "core/verification.h"
#include "mainscreen_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Icon;
using app::MessageKind;
using app::WorkTable;

// --- Verification -------------------------------------------------------------------------

class VerificationTest : public MainScreenTest {
 protected:
  // Two raw materials with hand-made proportions that do not sum to 100.
  void prepare() {
    Row a = material("甲", {100});
    a.push_back({"NUM1", "30"});
    a.push_back({"NUM2", "1"});
    a.push_back({"DJ", "100"});
    Row b = material("乙", {0, 100}, 50, 100);  // half of it burns away
    b.push_back({"NUM1", "10"});
    b.push_back({"DJ", "200"});
    ASSERT_TRUE(fill("配方.DBF", {a, b}));
    ASSERT_TRUE(fill("目标配方.DBF", {target("靶", {60, 40})}));
    ASSERT_TRUE(fill("性能.dbf", {{{"NAME0", "旧"}}}));
    open();
  }

  // What the arithmetic gives for the raw materials of prepare() with the
  // proportions `a` and `b`.
  static core::VerifiedFormula arithmetic(double a, double b) {
    core::VerifiedMaterial first, second;
    first.contents[core::SIO2] = 100;
    first.dj = 100;
    first.proportion = a;
    second.contents[core::AL2O3] = 100;
    second.il = 50;
    second.dj = 200;
    second.proportion = b;
    return core::verifyFormula({first, second});
  }

  // Whether the result table holds one record with the figures of `v`.
  testing::AssertionResult holds(const core::VerifiedFormula& v) {
    store::Table& r = table(WorkTable::Result);
    if (r.recordCount() != 1) return testing::AssertionFailure() << r.recordCount() << " result records";
    r.first();
    std::vector<std::pair<QString, double>> expected{{"DJ", v.price.value}, {"HJ", v.total.value}};
    for (int o = 0; o < core::kOxideCount; ++o) {
      const std::string_view f = core::kOxideFields[std::size_t(o)];
      expected.push_back({QString::fromLatin1(f.data(), qsizetype(f.size())), v.oxides[std::size_t(o)].value});
    }
    for (const auto& [field, value] : expected) {
      if (r.number(field) != value)
        return testing::AssertionFailure() << field.toStdString() << " " << r.number(field) << " instead of " << value;
    }
    return testing::AssertionSuccess();
  }
};

TEST_F(VerificationTest, WrongNumbersAreAskedAgainUntilCancelled) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  prompter.answers = {QString(" 1"), QString("3")};
  EXPECT_TRUE(screen->verify());
  ASSERT_EQ(prompter.inputs.size(), 3u);
  EXPECT_EQ(prompter.inputs[0].caption, "验算配方组成");
  EXPECT_EQ(prompter.inputs[0].prompt, "输入验算配方号（1或2） 。　");
  EXPECT_EQ(prompter.inputs[0].initial, "1");
  EXPECT_EQ(prompter.inputs[1].initial, " 1");
  EXPECT_EQ(prompter.inputs[2].initial, "3");
  ASSERT_EQ(prompter.messages.size(), 2u);
  EXPECT_EQ(prompter.messages[0], (app::Message{MessageKind::Typed, app::kWarningCaption, Icon::Warning,
                                                "所选择配方号码只能是“1、2”，\r\r请重新输入配方号！   ",
                                                {Button::Ok}, Button::Ok}));
  // Cancelled: the result grid stays hidden, nothing else changed.
  EXPECT_FALSE(screen->resultGridVisible());
  EXPECT_EQ(table(WorkTable::Property).recordCount(), 1);
  EXPECT_EQ(frame, app::FrameState());
}

TEST_F(VerificationTest, FormulaOneIsWrittenAsTheOnlyResultAndEvaluated) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  prompter.answers = {QString("1")};
  ASSERT_TRUE(screen->verify());
  EXPECT_TRUE(holds(arithmetic(30, 10)));
  EXPECT_EQ(table(WorkTable::Result).text("BH"), "1＃配比(误差大)");
  EXPECT_EQ(table(WorkTable::Property).recordCount(), 0);
  EXPECT_EQ(screen->verifiedColumn(), 1);
  EXPECT_EQ(screen->proportionColour(1), app::palette::kRose);
  EXPECT_EQ(screen->proportionColour(2), app::palette::kPink);
  EXPECT_TRUE(screen->resultGridVisible());
  EXPECT_TRUE(frame.enabled(app::Command::ToolPrint));
  EXPECT_TRUE(frame.enabled(app::Command::MainBody));
  EXPECT_FALSE(frame.enabled(app::Command::ToolVerify));  // the verification does not enable itself
  // The empty NUM2 of 乙 became 0.
  store::Table& f = table(WorkTable::Formula);
  EXPECT_EQ(numbers(f, "NUM2"), QStringList({"1", "0"}));
}

TEST_F(VerificationTest, RawMaterialsHiddenByTheCompactDisplayCount) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  store::Table& f = table(WorkTable::Formula);
  f.moveTo(1);
  f.edit();
  f.setText("NUM2", "-10");  // 乙: 10 and -10, so hidden
  f.post();
  ASSERT_TRUE(screen->showUsedMaterialsOnly());
  ASSERT_EQ(f.recordCount(), 1);
  prompter.answers = {QString("1")};
  ASSERT_TRUE(screen->verify());
  EXPECT_TRUE(holds(arithmetic(30, 10)));
  EXPECT_EQ(f.recordCount(), 1);  // still compact
}

TEST_F(VerificationTest, FormulaTwoReplacesBothResultRecordsAndNumbersItsReportOne) {
  ASSERT_TRUE(fill("结果.DBF", {{{"BH", "1＃配比"}}, {{"BH", "2＃配比"}}}));
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_EQ(table(WorkTable::Result).recordCount(), 2);
  screen->setShowDetails(true);
  prompter.answers = {QString("2")};
  ASSERT_TRUE(screen->verify());
  EXPECT_EQ(column(table(WorkTable::Result), "BH"), QStringList({"2＃配比(误差大)"}));
  EXPECT_TRUE(holds(arithmetic(1, 0)));  // the empty NUM2 of 乙 counts as 0
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("第(1)号配方的计算结果\r"));
}

TEST_F(VerificationTest, AllProportionsZeroAreEvaluatedAsTheirZeroRecord) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  store::Table& f = table(WorkTable::Formula);
  for (f.first(); !f.eof(); f.next()) {
    f.edit();
    f.setText("NUM1", "0");
    f.post();
  }
  prompter.answers = {QString("1")};
  ASSERT_TRUE(screen->verify());
  EXPECT_TRUE(holds(arithmetic(0, 0)));
  core::Contents target{};
  target[core::SIO2] = 60;
  target[core::AL2O3] = 40;
  const std::string remark = core::averageErrorRemark(core::evaluateErrors(target, core::Contents{}).average);
  EXPECT_EQ(column(table(WorkTable::Result), "BZ"), QStringList({QString::fromStdString(remark)}));
}

TEST_F(VerificationTest, EmptyPriceStopsBeforeTheTablesAreEmptied) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  store::Table& f = table(WorkTable::Formula);
  f.first();
  f.next();
  f.edit();
  f.clear("DJ");
  f.post();
  prompter.answers = {QString("1")};
  EXPECT_FALSE(screen->verify());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "数据表 数据库/配方.DBF 中记录“乙”的“DJ”栏为空，命令已停止。");
  EXPECT_EQ(table(WorkTable::Property).recordCount(), 1);
}

// --- Mandatory marks --------------------------------------------------------------------

TEST_F(MainScreenTest, DoubleClickMarksOnlyTheCurrentRawMaterialInItsColumn) {
  open();
  store::Table& f = table(WorkTable::Formula);
  f.moveTo(0);
  EXPECT_EQ(screen->formulaGridDoubleClicked(3), app::MainScreen::DoubleClick::Marked);
  f.moveTo(2);
  EXPECT_EQ(screen->formulaGridDoubleClicked(3), app::MainScreen::DoubleClick::Marked);
  EXPECT_EQ(screen->formulaGridDoubleClicked(3), app::MainScreen::DoubleClick::Marked);  // stays marked
  f.moveTo(4);
  EXPECT_EQ(screen->formulaGridDoubleClicked(5), app::MainScreen::DoubleClick::Marked);
  EXPECT_EQ(f.row(), 4);
  EXPECT_EQ(column(f, "BXL1"), QStringList({"", "", "选", "", "", "", "", ""}));
  EXPECT_EQ(column(f, "BXL3"), QStringList({"", "", "", "", "选", "", "", ""}));
  // The rows grid 1 draws as mandatory, with the target's amount column of each.
  const QStringList bxl1 = column(f, "BXL1"), bxl2 = column(f, "BXL2"), bxl3 = column(f, "BXL3");
  std::vector<std::pair<int, app::RowHighlight>> rows;
  for (int i = 0; i < bxl1.size(); ++i) {
    const app::RowHighlight h = app::rowHighlight(bxl1[i], bxl2[i], bxl3[i]);
    if (h.highlighted) rows.emplace_back(i, h);
  }
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].first, 2);
  EXPECT_EQ(rows[0].second.amountColumn, 1);
  EXPECT_EQ(rows[1].second.amountColumn, 3);
  EXPECT_EQ(screen->formulaGridDoubleClicked(7), app::MainScreen::DoubleClick::Nothing);
}

TEST_F(MainScreenTest, MarkTypedWithABlankIsNotHighlightedAndTwoMarksShowTheFirst) {
  EXPECT_FALSE(app::rowHighlight("选 ", "", "").highlighted);
  EXPECT_FALSE(app::rowHighlight("x", "", "").highlighted);
  const app::RowHighlight h = app::rowHighlight("", "选", "选");
  EXPECT_TRUE(h.highlighted);
  EXPECT_EQ(h.amountColumn, 2);
}

TEST_F(MainScreenTest, MarkInTheCompactDisplayClearsHiddenRowsToo) {
  open();
  ASSERT_TRUE(screen->calculate());  // 滑石 and 硅灰石 hidden
  {
    store::Table t;
    ASSERT_TRUE(t.open(data("配方.DBF")));
    ASSERT_TRUE(t.moveTo(7));
    t.edit();
    t.setText("BXL2", "选");
    ASSERT_TRUE(t.post());
  }
  store::Table& f = table(WorkTable::Formula);
  f.first();
  EXPECT_EQ(screen->formulaGridDoubleClicked(4), app::MainScreen::DoubleClick::Marked);
  EXPECT_EQ(f.recordCount(), 6);  // still compact
  ASSERT_TRUE(screen->showAllMaterials());
  EXPECT_EQ(column(f, "BXL2"), QStringList({"选", "", "", "", "", "", "", ""}));
}

TEST_F(MainScreenTest, DoubleClickOnNameColumnsShowsTheLibraries) {
  open();
  ASSERT_TRUE(screen->calculate());
  EXPECT_EQ(screen->formulaGridDoubleClicked(0), app::MainScreen::DoubleClick::ShowMaterialLibrary);
  EXPECT_TRUE(frame.pressed(app::WindowButton::Materials));
  EXPECT_FALSE(frame.enabled(app::Command::ToolCalculate));
  EXPECT_FALSE(screen->resultGridVisible());
  EXPECT_EQ(screen->targetGridDoubleClicked(1), app::MainScreen::DoubleClick::Nothing);
  EXPECT_EQ(screen->targetGridDoubleClicked(0), app::MainScreen::DoubleClick::ShowTargetLibrary);
  EXPECT_TRUE(frame.pressed(app::WindowButton::Targets));
}

// --- K/Na merge and split -----------------------------------------------------------------

class KNaTest : public MainScreenTest {
 protected:
  void prepare() {
    Row lib{{"BH", "1"}, {"NAME", "长石"}, {"K2O", "3.456"}, {"NA2O", "1.234"}, {"IL", "0"}, {"HJ", "100"}};
    Row burnt{{"BH", "2"}, {"NAME", "怪料"}, {"K2O", "1"}, {"NA2O", "1"}, {"IL", "50"}, {"HJ", "50"}};
    ASSERT_TRUE(fill("YLK.DBF", {lib, burnt}));
    ASSERT_TRUE(fill("pfk.dbf", {{{"BH", "1"}, {"NAME", "靶"}, {"K2O", "2"}, {"NA2O", "3"}, {"IL", "10"}, {"HJ", "60"}}}));
    Row a = material("长石", {60, 20, 0, 0, 3.46, 1.23});
    a.push_back({"NUM1", "5"});
    a.push_back({"NUM2", "-5"});
    Row b = material("怪料", {60, 20, 0, 0, 1, 2});
    Row c = material("无库", {60, 20, 0, 0, 1, 2});
    c.push_back({"NUM1", "7"});
    ASSERT_TRUE(fill("配方.DBF", {a, b, c}));
    ASSERT_TRUE(fill("目标配方.DBF", {target("靶", {60, 20, 0, 0, 2, 3})}));
    open();
  }

  // The merged K2O of a record, as the reports print it.
  static QString merged(double k2o, double na2o) {
    return QString::fromStdString(core::formatGeneral(core::mergedK2O(k2o, na2o)));
  }

  // K2O and Na2O split from a library record, as the reports print them.
  static QStringList split(double k2o, double na2o, double hj, double il) {
    const auto s = core::splitKNa(k2o, na2o, hj, il);
    if (!s) return {};
    return {QString::fromStdString(core::formatGeneral(s->k2o.value)),
            QString::fromStdString(core::formatGeneral(s->na2o.value))};
  }
};

TEST_F(KNaTest, MergeThenSplitRestoresTheLibraryValues) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(screen->toggleKNa());
  EXPECT_TRUE(screen->kNaMerged());
  EXPECT_EQ(screen->kNaCaption(), "K/Na拆分");
  EXPECT_EQ(screen->kNaColour(), app::palette::kRed);
  store::Table& f = table(WorkTable::Formula);
  EXPECT_EQ(numbers(f, "K2O"), QStringList({merged(3.46, 1.23), merged(1, 2), merged(1, 2)}));
  EXPECT_EQ(numbers(f, "NA2O"), QStringList({"0", "0", "0"}));
  EXPECT_EQ(numbers(table(WorkTable::Target), "K2O"), QStringList({merged(2, 3)}));
  for (const QStringList* c : {&screen->formulaCaptions()}) {
    EXPECT_EQ((*c)[12], "K/NaO");
    EXPECT_EQ((*c)[13], "***");
  }
  EXPECT_EQ(screen->targetCaptions()[10], "K/NaO");
  EXPECT_EQ(screen->resultCaptions()[9], "***");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "12"), "K/NaO");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "13"), "***");
  EXPECT_TRUE(prompter.messages.empty());

  ASSERT_TRUE(screen->toggleKNa());
  EXPECT_FALSE(screen->kNaMerged());
  // 长石 and the target from their library records; 怪料 (HJ = IL) and 无库 stay merged.
  const QStringList felspar = split(3.456, 1.234, 100, 0);
  ASSERT_EQ(felspar.size(), 2);
  EXPECT_EQ(numbers(f, "K2O"), QStringList({felspar[0], merged(1, 2), merged(1, 2)}));
  EXPECT_EQ(numbers(f, "NA2O"), QStringList({felspar[1], "0", "0"}));
  store::Table& t = table(WorkTable::Target);
  EXPECT_EQ(numbers(t, "K2O") + numbers(t, "NA2O"), split(2, 3, 60, 10));
  EXPECT_EQ(screen->formulaCaptions()[12], "K2O");
  EXPECT_EQ(screen->resultCaptions()[9], "Na2O");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "13"), "Na2O");
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "以下记录的K2O仍是K2O与Na2O之和，Na2O仍为0：\r"
            "原料“怪料”：原料库（数据库/YLK.DBF）中此记录的合计HJ等于灼减IL，无法换算\r"
            "原料“无库”：原料库中没有同名记录");
  EXPECT_EQ(screen->materialLibrary()->orderField(), "BH");
}

TEST_F(KNaTest, CompactDisplayIsLeftFirstAndEveryRecordMerged) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(screen->showUsedMaterialsOnly());
  EXPECT_EQ(table(WorkTable::Formula).recordCount(), 1);  // 5 and -5 count as unused
  ASSERT_TRUE(screen->toggleKNa());
  EXPECT_FALSE(screen->compactDisplay());
  EXPECT_EQ(numbers(table(WorkTable::Formula), "NA2O"), QStringList({"0", "0", "0"}));
}

TEST_F(KNaTest, EmptyValuesCountAsZeroInTheMerge) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  store::Table& t = table(WorkTable::Target);
  t.first();
  t.edit();
  t.clear("NA2O");
  ASSERT_TRUE(t.post());
  ASSERT_TRUE(screen->toggleKNa());
  EXPECT_EQ(numbers(t, "K2O"), QStringList({"2"}));
  EXPECT_EQ(numbers(t, "NA2O"), QStringList({"0"}));
}

TEST_F(KNaTest, SplitWithoutItsLibraryStopsBeforeAnyChange) {
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "12", "K/NaO"));
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(QFile::remove(data("pfk.dbf")));
  EXPECT_FALSE(screen->toggleKNa());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("无法打开数据表 数据库/pfk.dbf。\r"));
  EXPECT_TRUE(screen->kNaMerged());
  EXPECT_EQ(numbers(table(WorkTable::Formula), "K2O"), QStringList({"3.46", "1", "1"}));
}

TEST_F(KNaTest, SplitStoppedByAnEmptyLibraryTotalPutsTheLibrariesBackInTheirOrder) {
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "12", "K/NaO"));
  ASSERT_NO_FATAL_FAILURE(prepare());
  ASSERT_TRUE(fill("YLK.DBF", {{{"BH", "1"}, {"NAME", "长石"}, {"K2O", "3.456"}, {"NA2O", "1.234"}, {"IL", "0"}}}));
  EXPECT_FALSE(screen->toggleKNa());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "数据表 数据库/YLK.DBF 中记录“长石”的“HJ”栏为空，命令已停止。");
  EXPECT_EQ(screen->materialLibrary()->orderField(), "BH");
  EXPECT_EQ(screen->targetLibrary()->orderField(), "BH");
  EXPECT_TRUE(screen->kNaMerged());
  EXPECT_EQ(numbers(table(WorkTable::Formula), "K2O"), QStringList({"3.46", "1", "1"}));
}

// --- Other oxides ---------------------------------------------------------------------------

TEST_F(MainScreenTest, BuiltInOxideRenamesTheColumnEverywhereAndWritesItsWeight) {
  open();
  EXPECT_FALSE(screen->selectOtherColumn(6));
  EXPECT_EQ(screen->selectedOtherColumn(), 0);
  EXPECT_TRUE(screen->selectOtherColumn(14));
  EXPECT_TRUE(screen->chooseOtherOxide(9));
  EXPECT_EQ(screen->formulaCaptions()[14], "ZnO");
  EXPECT_EQ(screen->targetCaptions()[12], "ZnO");
  EXPECT_EQ(screen->resultCaptions()[10], "ZnO");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "14"), "ZnO");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF1"), "81.37");
  EXPECT_FALSE(screen->selectOtherColumn(6));  // SIO2 keeps the selection
  EXPECT_EQ(screen->selectedOtherColumn(), 14);
  EXPECT_TRUE(screen->selectOtherColumn(16));
  EXPECT_TRUE(screen->chooseOtherOxide(5));
  EXPECT_EQ(store::Profile::read(ini(), "配方", "16"), "P2O5");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF3"), "141.94");
  EXPECT_EQ(store::Profile::read(ini(), "原料库", "10"), "其它1");  // libraries untouched
}

TEST_F(MainScreenTest, FreeOxideAsksForNameAndWeight) {
  open();
  screen->selectOtherColumn(15);
  prompter.answers = {QString("BaO"), QString()};
  EXPECT_TRUE(screen->enterOtherOxide());
  ASSERT_EQ(prompter.inputs.size(), 2u);
  EXPECT_EQ(prompter.inputs[0].caption, "输入氧化物名称。");
  EXPECT_EQ(prompter.inputs[0].prompt, "注意大小写，它关系到下面的计算。。。....");
  EXPECT_EQ(prompter.inputs[0].initial, "其它");
  EXPECT_EQ(prompter.inputs[1].caption, "输入氧化物分子量。");
  EXPECT_EQ(prompter.inputs[1].prompt, "输入氧化物\"BaO\"分子量。。。....");
  EXPECT_EQ(prompter.inputs[1].initial, "");
  EXPECT_EQ(screen->formulaCaptions()[15], "BaO");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF2"), "1");  // empty weight

  prompter.clear();
  prompter.answers = {std::nullopt};  // cancelled: the column is reset
  EXPECT_TRUE(screen->enterOtherOxide());
  EXPECT_EQ(prompter.inputs.size(), 1u);
  EXPECT_EQ(screen->formulaCaptions()[15], "其它2");
  EXPECT_EQ(screen->targetCaptions()[13], "其它2");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "15"), "其它2");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF2"), "1");
}

TEST_F(MainScreenTest, FreeOxideTheSettingsFileCannotHoldChangesNothing) {
  open();
  screen->selectOtherColumn(15);
  const QString face = QString::fromUtf8("Ba\xF0\x9F\x99\x82O");  // an emoji: no GBK code
  prompter.answers = {face};
  EXPECT_FALSE(screen->enterOtherOxide());
  EXPECT_EQ(prompter.inputs.size(), 1u);  // stopped before the weight is asked
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("氧化物名称“" + face + "”不能写入设置文件 "));
  EXPECT_EQ(screen->formulaCaptions()[15], "其它2");
  EXPECT_EQ(screen->resultCaptions()[11], "其它2");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "15"), "其它2");

  prompter.clear();
  prompter.answers = {QString("BaO"), face};  // a weight that cannot be stored
  EXPECT_FALSE(screen->enterOtherOxide());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("分子量“" + face + "”不能写入设置文件 "));
  EXPECT_EQ(screen->formulaCaptions()[15], "其它2");
  EXPECT_EQ(store::Profile::read(ini(), "配方", "15"), "其它2");
  EXPECT_EQ(store::Profile::read(ini(), "其它", "QTCF2"), "1");
}

TEST_F(MainScreenTest, WeightCheckAsksOnlyForPresentOxideLikeNames) {
  open();
  store::Table& r = table(WorkTable::Result);
  ASSERT_TRUE(r.append());
  r.setText("BH", "1＃配比");
  r.setText("QTCF1", "0");
  r.setText("QTCF2", "2.5");
  ASSERT_TRUE(r.post());
  screen->selectOtherColumn(15);
  prompter.answers = {QString("bao"), QString("153.3")};
  screen->enterOtherOxide();
  ASSERT_TRUE(store::Profile::write(ini(), "其它", "QTCF2", ""));
  EXPECT_TRUE(screen->PanDuanQT());  // no capital O
  prompter.answers = {QString("BaO"), QString("153.3")};
  screen->enterOtherOxide();
  ASSERT_TRUE(store::Profile::write(ini(), "其它", "QTCF2", ""));
  prompter.clear();
  EXPECT_FALSE(screen->PanDuanQT());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "请设置BaO分子量。");
  EXPECT_EQ(prompter.messages[0].icon, Icon::Information);
  ASSERT_TRUE(store::Profile::write(ini(), "其它", "QTCF2", "153.3"));
  EXPECT_TRUE(screen->PanDuanQT());
}

// --- Compact display and clearing -------------------------------------------------------------

TEST_F(MainScreenTest, CompactDisplayWithoutProportionsShowsNothingUntilSwitchedOff) {
  open();
  EXPECT_TRUE(screen->toggleCompactDisplay());
  EXPECT_EQ(screen->compactCaption(), "全部显示");
  EXPECT_EQ(screen->compactColour(), app::palette::kRed);
  EXPECT_EQ(table(WorkTable::Formula).recordCount(), 0);
  EXPECT_TRUE(screen->toggleCompactDisplay());
  EXPECT_EQ(screen->compactCaption(), "精简显示");
  EXPECT_EQ(table(WorkTable::Formula).recordCount(), 8);
}

TEST_F(MainScreenTest, StaleInUseFlagStaysVisibleUntilTheDisplayIsSwitchedOff) {
  open();
  store::Table& f = table(WorkTable::Formula);
  f.moveTo(3);
  f.edit();
  f.setText("BH", "1");
  f.post();
  ASSERT_TRUE(screen->showUsedMaterialsOnly());
  EXPECT_EQ(f.recordCount(), 1);
  ASSERT_TRUE(screen->showAllMaterials());
  EXPECT_EQ(column(f, "BH"), QStringList({"", "", "", "0", "", "", "", ""}));
}

TEST_F(MainScreenTest, ClearingAsksAtTheToolButtonOnly) {
  open();
  ASSERT_TRUE(screen->calculate());
  prompter.clear();
  prompter.buttons = {Button::Cancel};
  const app::FrameState before = frame;
  EXPECT_TRUE(screen->confirmAndClearMainData());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0],
            (app::Message{MessageKind::Captioned, "提示：", Icon::Question,
                          "此操作将批量清除主界面的所有数据，\r不会删除原料库、目标库界面的各表数据。\r\r确定清空主界面各表的所有数据？",
                          {Button::Ok, Button::Cancel}, Button::Ok}));
  EXPECT_EQ(table(WorkTable::Result).recordCount(), 2);

  EXPECT_TRUE(screen->confirmAndClearMainData());  // default OK
  for (WorkTable w : {WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})
    EXPECT_EQ(table(w).recordCount(), 0);
  EXPECT_EQ(screen->compactCaption(), "精简显示");
  EXPECT_EQ(frame, before);
  EXPECT_TRUE(screen->resultGridVisible());
  store::Table lib;
  ASSERT_TRUE(lib.open(data("YLK.DBF")));
  EXPECT_GT(lib.recordCount(), 0);

  prompter.clear();
  ASSERT_TRUE(fill("目标配方.DBF", {target("靶", {60})}));
  EXPECT_TRUE(screen->clearMainData());  // the menu item clears at once
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(table(WorkTable::Target).recordCount(), 0);
}

TEST_F(MainScreenTest, ClearingNamesATableThatCouldNotBeOpenedAndClearsNothing) {
  ASSERT_TRUE(QFile::remove(data("性能.dbf")));
  open();
  const int materials = table(WorkTable::Formula).recordCount();
  ASSERT_GT(materials, 0);
  prompter.clear();
  EXPECT_FALSE(screen->clearMainData());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "数据表 数据库/性能.dbf 未能打开，主界面的数据都没有清除。");
  EXPECT_EQ(table(WorkTable::Formula).recordCount(), materials);
  EXPECT_EQ(table(WorkTable::Target).recordCount(), 1);
}

// --- Packing --------------------------------------------------------------------------------

TEST_F(MainScreenTest, PackCancelledChangesNothing) {
  open();
  bool quit = false;
  screen->setQuitHandler([&] { quit = true; });
  screen->pack();  // Cancel is the default
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0],
            (app::Message{MessageKind::Captioned, "确认整理：", Icon::Question,
                          "整理能减小数据库的体积，\r\r但整理后必须退出本程序，\r\r以解除本程序对数据库的占用才能成功。\r\r确定【整理数据库】吗？",
                          {Button::Ok, Button::Cancel}, Button::Cancel}));
  EXPECT_FALSE(quit);
  EXPECT_FALSE(screen->quitRequested());
}

TEST_F(MainScreenTest, PackRemovesDeletedRecordsAndEndsTheProgram) {
  open();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->calculate());  // the result file now holds deleted records
  EXPECT_GT(headerCount(data("结果.DBF")), 2u);
  bool quit = false;
  screen->setQuitHandler([&] { quit = true; });
  prompter.clear();
  prompter.buttons = {Button::Ok};
  screen->pack();
  EXPECT_EQ(prompter.texts(), QStringList({prompter.messages[0].text, "退出程序后，整理数据库成功!"}));
  EXPECT_EQ(prompter.messages[1].icon, Icon::Information);
  EXPECT_TRUE(quit);
  EXPECT_TRUE(screen->packSucceeded());
  EXPECT_EQ(headerCount(data("结果.DBF")), 2u);
}

TEST_F(MainScreenTest, PackStopsAtATableLockedElsewhere) {
  open();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->calculate());
  {
    store::Table lib;  // a deleted record in the material library, to see it packed
    ASSERT_TRUE(lib.open(data("YLK.DBF")));
    lib.last();
    ASSERT_TRUE(lib.deleteRecord());
  }
  const quint32 materials = headerCount(data("YLK.DBF"));
  store::Table locker;
  ASSERT_TRUE(locker.open(base(), app::kTargetLibraryName, store::Table::Mode::Exclusive));
  screen->setQuitHandler([] {});
  prompter.clear();
  prompter.buttons = {Button::Ok};
  screen->pack();
  ASSERT_EQ(prompter.messages.size(), 3u);
  EXPECT_EQ(prompter.messages[1], (app::Message{MessageKind::Plain, app::kPlainCaption, Icon::None, "打开数据库失败",
                                                {Button::Ok}, Button::Ok}));
  EXPECT_EQ(prompter.messages[2].text, "整理数据库失败!");
  EXPECT_EQ(prompter.messages[2].icon, Icon::Information);
  EXPECT_TRUE(screen->quitRequested());
  EXPECT_FALSE(screen->packSucceeded());
  EXPECT_EQ(headerCount(data("结果.DBF")), 2u);
  EXPECT_EQ(headerCount(data("YLK.DBF")), materials - 1);
}

}  // namespace
}  // namespace tessaro::test
