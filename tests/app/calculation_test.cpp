// The main screen's creation, the calculation run, the solver on the tables
// and the verdict with its retries.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "core/composition.h"
#include "core/errorrate.h"

#include "mainscreen_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Icon;
using app::MessageKind;
using app::WorkTable;

const QString CR = QStringLiteral("\r");

// --- Creation ----------------------------------------------------------------------

TEST_F(MainScreenTest, CreationReadsCaptionsAndStartsInItsInitialState) {
  open();
  ASSERT_EQ(screen->formulaCaptions().size(), 23);
  ASSERT_EQ(screen->targetCaptions().size(), 20);
  ASSERT_EQ(screen->resultCaptions().size(), 21);
  EXPECT_EQ(screen->formulaCaptions()[0], "原料名称");
  EXPECT_EQ(screen->formulaCaptions()[14], "其它1");
  EXPECT_EQ(screen->targetCaptions()[4], "SiO2");   // 配方 6
  EXPECT_EQ(screen->targetCaptions()[16], "合计");  // 目标配方 16
  EXPECT_EQ(screen->targetCaptions()[15], "");      // hidden IL
  EXPECT_EQ(screen->resultCaptions()[2], "SiO2");
  EXPECT_EQ(screen->resultCaptions()[1], "单价(元/吨)");
  EXPECT_EQ(screen->resultCaptions()[14], "平均误差率");
  EXPECT_FALSE(screen->kNaMerged());
  EXPECT_EQ(screen->kNaCaption(), "K/Na合并");
  EXPECT_EQ(screen->precision(), 2);
  EXPECT_FALSE(screen->compactDisplay());
  EXPECT_EQ(screen->compactCaption(), "精简显示");
  EXPECT_EQ(screen->selectedOtherColumn(), 0);
  EXPECT_FALSE(screen->resultGridVisible());
  EXPECT_FALSE(screen->propertyPanelVisible());
  EXPECT_TRUE(prompter.messages.empty());
  for (WorkTable w : {WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})
    EXPECT_TRUE(screen->isOpen(w));
  EXPECT_TRUE(table(WorkTable::Result).isExclusive());
}

TEST_F(MainScreenTest, ResultRecordsAreReadByTheirNameFromTheStart) {
  ASSERT_TRUE(fill("结果.DBF", {{{"BH", "2＃配比"}}, {{"BH", "1＃配比"}}}));
  open();
  EXPECT_EQ(column(table(WorkTable::Result), "BH"), QStringList({"1＃配比", "2＃配比"}));
}

TEST_F(MainScreenTest, MergedStateComesFromKey12Exactly) {
  ASSERT_TRUE(store::Profile::write(ini(), "配方", "12", "K/NaO"));
  open();
  EXPECT_TRUE(screen->kNaMerged());
  EXPECT_EQ(screen->kNaCaption(), "K/Na拆分");
  EXPECT_EQ(screen->formulaCaptions()[12], "K/NaO");

  ASSERT_TRUE(store::Profile::write(ini(), "配方", "12", "k/nao"));
  open();
  EXPECT_FALSE(screen->kNaMerged());
}

TEST_F(MainScreenTest, NoSettingsFileGivesEmptyCaptions) {
  ASSERT_TRUE(QFile::remove(ini()));
  open();
  for (const QString& c : screen->formulaCaptions()) EXPECT_TRUE(c.isEmpty());
  EXPECT_EQ(screen->kNaCaption(), "K/Na合并");
}

TEST_F(MainScreenTest, TableThatFailsToOpenIsReportedOnceAndNotUsed) {
  ASSERT_TRUE(QFile::remove(data("性能.dbf")));
  open();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("无法打开数据表 数据库/性能.dbf，主界面不使用该表。\r"));
  EXPECT_FALSE(screen->isOpen(WorkTable::Property));
  EXPECT_TRUE(screen->isOpen(WorkTable::Result));
  prompter.clear();
  EXPECT_FALSE(screen->calculate());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "数据表 数据库/性能.dbf 未能打开，不能执行此命令。");
  EXPECT_EQ(table(WorkTable::Result).recordCount(), 0);
}

TEST_F(MainScreenTest, ResultTableLockedElsewhereIsReported) {
  store::Table other;
  ASSERT_TRUE(other.open(base(), app::kResultTableName, store::Table::Mode::Exclusive));
  open();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("无法打开数据表 数据库/结果.DBF"));
  EXPECT_FALSE(screen->isOpen(WorkTable::Result));
}

// --- Calculation run ---------------------------------------------------------------------

TEST_F(MainScreenTest, EmptyFormulaTableGivesTheHintAfterTheFirstSteps) {
  ASSERT_TRUE(fill("配方.DBF", {}));
  ASSERT_TRUE(fill("性能.dbf", {{{"NAME0", "旧"}}}));
  open();
  EXPECT_TRUE(screen->calculate());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], (app::Message{MessageKind::Captioned, "提示", Icon::Information,
                                                "请输入原料和目标配方！", {Button::Ok}, Button::Ok}));
  EXPECT_EQ(table(WorkTable::Property).recordCount(), 0);
  EXPECT_TRUE(screen->resultGridVisible());
  EXPECT_FALSE(screen->propertyPanelVisible());
  EXPECT_EQ(table(WorkTable::Result).recordCount(), 0);
  EXPECT_EQ(frame, app::FrameState());  // no flag changed
  EXPECT_EQ(screen->lastVerdict(), app::MainScreen::Verdict::None);
}

TEST_F(MainScreenTest, BundledDataPassesWithTwoResultRecords) {
  open();
  ASSERT_TRUE(screen->calculate());
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(screen->lastVerdict(), app::MainScreen::Verdict::Passed);
  EXPECT_EQ(screen->deepestRun(), 1);
  store::Table& result = table(WorkTable::Result);
  EXPECT_EQ(column(result, "BH"), QStringList({"1＃配比", "2＃配比"}));
  EXPECT_EQ(column(result, "BZ"),
            QStringList({"平均误差率    0.01%. 注：Fe2O3,TiO2未计", "平均误差率    0.01%. 注：Fe2O3,TiO2未计"}));
  EXPECT_EQ(numbers(result, "SIO2"), QStringList({"68.24", "68.24"}));
  EXPECT_EQ(numbers(result, "DJ"), QStringList({"1202.03", "1202.03"}));
  // The file holds exactly two records: the record started after formula 2 was dropped.
  // Compact display: only the raw materials used.
  EXPECT_TRUE(screen->compactDisplay());
  EXPECT_EQ(screen->compactCaption(), "全部显示");
  store::Table& formula = table(WorkTable::Formula);
  EXPECT_EQ(formula.recordCount(), 6);
  EXPECT_EQ(numbers(formula, "NUM1"), QStringList({"29.48", "9.9", "29.36", "13.17", "10.17", "7.92"}));
  // Commands that need a result are enabled.
  for (app::Command c :
       {app::Command::ToolVerify, app::Command::ToolPrint, app::Command::ToolBody, app::Command::ToolGlaze,
        app::Command::MainVerify, app::Command::MainPrint, app::Command::MainBody, app::Command::MainGlaze})
    EXPECT_TRUE(frame.enabled(c));
  EXPECT_TRUE(screen->resultGridVisible());
  EXPECT_EQ(screen->retryCounter(), 0);

  // A second run shows all raw materials first and gives the same records.
  const QStringList first = numbers(result, "SIO2");
  ASSERT_TRUE(screen->calculate());
  EXPECT_EQ(numbers(result, "SIO2"), first);
  EXPECT_EQ(column(result, "BH"), QStringList({"1＃配比", "2＃配比"}));
}

TEST_F(MainScreenTest, InUseFlagsOtherThanOneAreLeftAlone) {
  open();
  store::Table& formula = table(WorkTable::Formula);
  // 滑石 (row 6) takes no part; give it "0" and 硅灰石 (row 8) an empty flag.
  formula.moveTo(5);
  formula.edit();
  formula.setText("BH", "0");
  formula.post();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->showAllMaterials());
  EXPECT_EQ(column(formula, "BH"), QStringList({"0", "0", "0", "0", "0", "0", "0", ""}));
}

TEST_F(MainScreenTest, PrecisionZeroWritesWholeProportions) {
  open();
  screen->setPrecision(0);
  EXPECT_EQ(screen->precision(), 0);
  ASSERT_TRUE(screen->calculate());
  for (const QString& v : numbers(table(WorkTable::Formula), "NUM1")) EXPECT_EQ(v.toDouble(), std::round(v.toDouble()));
}

TEST_F(MainScreenTest, AllowedRateThatIsNotANumberStopsBeforeAnyChange) {
  ASSERT_TRUE(fill("性能.dbf", {{{"NAME0", "旧"}}}));
  open();
  screen->setAllowedErrorText("1%");
  EXPECT_FALSE(screen->calculate());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::Typed);
  EXPECT_EQ(prompter.messages[0].icon, Icon::Warning);
  EXPECT_EQ(prompter.messages[0].text, "“允许误差%”中的“1%”不是数字，\r请输入允许的平均误差率（%），例如 1。");
  EXPECT_EQ(table(WorkTable::Property).recordCount(), 1);
  EXPECT_FALSE(screen->resultGridVisible());
  EXPECT_TRUE(numbers(table(WorkTable::Formula), "NUM1").join("").isEmpty());
}

TEST_F(MainScreenTest, MoreThan35RawMaterialsAreRefusedBeforeSolving) {
  std::vector<Row> rows;
  for (int i = 0; i < 36; ++i) rows.push_back(material(QStringLiteral("料%1").arg(i), {60, 20, 10}));
  ASSERT_TRUE(fill("配方.DBF", rows));
  open();
  EXPECT_FALSE(screen->calculate());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "选择原料最多不能超过35种。\r\r表1中的原料有36种。\r\r请删除多余的原料后再计算！");
  EXPECT_EQ(table(WorkTable::Result).recordCount(), 0);
  EXPECT_TRUE(numbers(table(WorkTable::Formula), "NUM1").join("").isEmpty());
  EXPECT_EQ(screen->retryCounter(), 0);
}

TEST_F(MainScreenTest, ExactlyThirtyFiveRawMaterialsAreSolved) {
  std::vector<Row> rows;
  for (int i = 0; i < 35; ++i) rows.push_back(material(QStringLiteral("料%1").arg(i), {60 + i * 0.5, 20, 10}));
  ASSERT_TRUE(fill("配方.DBF", rows));
  open();
  EXPECT_TRUE(screen->calculate());
  EXPECT_EQ(table(WorkTable::Result).recordCount(), 2);
}

TEST_F(MainScreenTest, EmptyRequiredValuesStopTheRunNamingTableRecordAndColumn) {
  struct Case {
    QString file;
    Row row;
    QString message;
  };
  const std::vector<Case> cases = {
      {"配方.DBF", {{"NAME", "石英(325目)"}, {"HJ", ""}}, "数据表 数据库/配方.DBF 中记录“石英(325目)”的“HJ”栏为空，命令已停止。"},
      {"配方.DBF", {{"NAME", "石英(325目)"}, {"IL", ""}}, "数据表 数据库/配方.DBF 中记录“石英(325目)”的“IL”栏为空，命令已停止。"},
      {"配方.DBF", {{"NAME", "石英(325目)"}, {"DJ", ""}}, "数据表 数据库/配方.DBF 中记录“石英(325目)”的“DJ”栏为空，命令已停止。"},
      {"配方.DBF", {{"NAME", "石英(325目)"}, {"AL2O3", ""}},
       "数据表 数据库/配方.DBF 中记录“石英(325目)”的“AL2O3”栏为空，命令已停止。"},
      {"目标配方.DBF", {{"NAME", "透明釉(石灰釉)"}, {"CAO", ""}},
       "数据表 数据库/目标配方.DBF 中记录“透明釉(石灰釉)”的“CAO”栏为空，命令已停止。"},
      {"目标配方.DBF", {{"NAME", "透明釉(石灰釉)"}, {"BXL2", "二十"}},
       "数据表 数据库/目标配方.DBF 中记录“透明釉(石灰釉)”：表2中必选原料的用量BXL2“二十”不是数字。"},
      // An amount the arithmetic cannot take is named, not the proportion it would give.
      {"目标配方.DBF", {{"NAME", "透明釉(石灰釉)"}, {"BXL1", "1e160"}},
       "数据表 数据库/目标配方.DBF 中记录“透明釉(石灰釉)”：表2中必选原料的用量BXL1“1e160”不能大于100（用量是配方的百分数）。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    screen.reset();
    prompter.clear();
    {
      store::Table t;
      ASSERT_TRUE(t.open(data(c.file)));
      t.setNaturalOrder();
      for (t.first(); !t.eof(); t.next()) {
        if (t.text("NAME") != c.row[0].second) continue;
        t.edit();
        for (std::size_t i = 1; i < c.row.size(); ++i) t.setText(c.row[i].first, c.row[i].second);
        ASSERT_TRUE(t.post());
      }
    }
    open();
    EXPECT_FALSE(screen->calculate());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, c.message);
    EXPECT_EQ(table(WorkTable::Result).recordCount(), 0);
    EXPECT_TRUE(numbers(table(WorkTable::Formula), "NUM1").join("").isEmpty());
    // restore the bundled tables for the next case
    screen.reset();
    QFile::remove(data(c.file));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARO_SOURCE_DIR "/数据库/") + c.file, data(c.file)));
    QFile(data(c.file)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }
}

TEST_F(MainScreenTest, EmptyOtherOxidesAreStoredAsZero) {
  ASSERT_TRUE(fill("配方.DBF", {material("甲", {70, 20, 10}), material("乙", {50, 30, 20})}));
  {
    store::Table t;
    ASSERT_TRUE(t.open(data("配方.DBF")));
    t.first();
    t.edit();
    t.clear("QTCF2");
    ASSERT_TRUE(t.post());
  }
  open();
  ASSERT_TRUE(screen->calculate());
  ASSERT_TRUE(screen->showAllMaterials());
  store::Table& f = table(WorkTable::Formula);
  f.first();
  EXPECT_FALSE(f.isNull("QTCF2"));
  EXPECT_EQ(f.number("QTCF2"), 0);
}

// --- Verdict -----------------------------------------------------------------------------

// Two result records with SiO2 252.51 against a target of 250: error rate 1.004 %.
class VerdictTest : public MainScreenTest {
 protected:
  void prepare() {
    ASSERT_TRUE(fill("目标配方.DBF", {target("靶", {250})}));
    open();
    store::Table& r = table(WorkTable::Result);
    ASSERT_TRUE(r.setOrder("BH"));
    for (const char* label : {"1＃配比", "2＃配比"}) {
      ASSERT_TRUE(r.append());
      r.setText("BH", label);
      for (std::string_view f : core::kOxideFields) r.setText(QLatin1String(f.data(), qsizetype(f.size())), "0");
      r.setText("SIO2", "252.51");
      ASSERT_TRUE(r.post());
    }
  }

  // The average error rate of each record, as the arithmetic gives it.
  static double averageError() {
    core::Contents target{}, result{};
    target[core::SIO2] = 250;
    result[core::SIO2] = 252.51;
    return core::evaluateErrors(target, result).average;
  }
};

TEST_F(VerdictTest, RateShownAsTheAllowedOnePasses) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  screen->setShowDetails(true);
  ASSERT_TRUE(screen->PanDuan());
  ASSERT_EQ(prompter.messages.size(), 3u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("第(1)号配方的计算结果\r相对目标配方误差率。\r"));
  EXPECT_TRUE(prompter.messages[1].text.startsWith("第(2)号配方的计算结果\r"));
  EXPECT_EQ(prompter.messages[0].icon, Icon::Information);
  EXPECT_EQ(prompter.messages[2],
            (app::Message{MessageKind::Captioned, "用户信息", Icon::Warning,
                          "恭喜：" + CR + "配方计算结果与目标配方化学组成最小平均误差率 =    1.00 %" + CR +
                              "小于或等于误差率 1% 的要求。",
                          {Button::Ok}, Button::Ok}));
  EXPECT_EQ(column(table(WorkTable::Result), "BH"), QStringList({"1＃配比", "2＃配比"}));
  EXPECT_EQ(column(table(WorkTable::Result), "BZ").first(),
            QString::fromStdString(core::averageErrorRemark(averageError())));
  EXPECT_EQ(screen->retryCounter(), 0);
}

TEST_F(VerdictTest, AllowedRateAsTypedAppearsInTheCongratulation) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  screen->setShowDetails(true);
  screen->setAllowedErrorText(" 1.0");
  ASSERT_TRUE(screen->PanDuan());
  EXPECT_TRUE(prompter.messages.back().text.endsWith("小于或等于误差率  1.0% 的要求。"));
}

TEST_F(VerdictTest, ExceededRateMarksTheLabel) {
  ASSERT_NO_FATAL_FAILURE(prepare());
  screen->setAllowedErrorText("0.5");
  const auto a = screen->MinWuCha();
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(*a, averageError());
  EXPECT_EQ(column(table(WorkTable::Result), "BH"), QStringList({"1＃配比(误差大)", "2＃配比(误差大)"}));
  EXPECT_TRUE(prompter.messages.empty());  // no details asked for
}

TEST_F(MainScreenTest, FourFailedRunsToggleThreeTimesAndApologise) {
  open();
  screen->setShowDetails(true);
  screen->setAllowedErrorText("-1");
  ASSERT_TRUE(screen->calculate());
  EXPECT_EQ(screen->deepestRun(), 4);
  ASSERT_EQ(prompter.messages.size(), 9u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(prompter.messages[i].icon, Icon::Information);
    EXPECT_TRUE(prompter.messages[i].text.startsWith(QStringLiteral("第(%1)号配方的计算结果\r").arg(i % 2 + 1)));
  }
  const QString bz = column(table(WorkTable::Result), "BZ").first();  // both formulas give the same rate
  const QString rate = bz.mid(5, 8);
  EXPECT_EQ(prompter.messages[8],
            (app::Message{MessageKind::Captioned, "用户信息", Icon::Warning,
                          "对不起：" + CR + "配方计算结果与目标配方化学组成最小平均误差率 =" + rate + " %" + CR +
                              "大于误差率 -1% 的要求。" + CR + CR,
                          {Button::Ok}, Button::Ok}));
  EXPECT_TRUE(screen->kNaMerged());  // three toggles from the split state
  EXPECT_EQ(screen->retryCounter(), 0);
  EXPECT_EQ(screen->lastVerdict(), app::MainScreen::Verdict::Failed);
  EXPECT_EQ(column(table(WorkTable::Result), "BH"), QStringList({"1＃配比(误差大)", "2＃配比(误差大)"}));
  EXPECT_EQ(store::Profile::read(ini(), "配方", "12"), "K/NaO");
}

TEST_F(MainScreenTest, WithoutDetailsOnlyTheApologyIsShown) {
  open();
  screen->setAllowedErrorText("-1");
  ASSERT_TRUE(screen->calculate());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("对不起：\r"));
}

TEST_F(MainScreenTest, RunStoppedInsideARetryDoesNotLeaveItsCount) {
  open();
  screen->setAllowedErrorText("-1");
  // The second retry splits, which needs the material library: without it the run stops.
  ASSERT_TRUE(QFile::remove(data("YLK.DBF")));
  EXPECT_FALSE(screen->calculate());
  EXPECT_EQ(screen->retryCounter(), 0);
}

}  // namespace
}  // namespace tessaro::test
