// The body and glaze property commands on real tables: what the property
// table holds afterwards, row by row, and what a refusal leaves alone.
#include <gtest/gtest.h>

#include <cmath>

#include "mainscreen_fixture.h"

namespace tessaro::test {
namespace {

using app::Button;
using app::Command;
using app::Icon;
using app::MessageKind;
using app::WorkTable;
using core::FormulaKind;

constexpr double kNull = NAN;  // an empty numeric field

class PropertiesCommandTest : public MainScreenTest {
 protected:
  // The result record of the worked examples, with the three other oxides.
  static Row resultRecord(const QString& bh, double q1 = 0, double q2 = 0, double q3 = 0) {
    return {{"BH", bh},   {"SIO2", "70"}, {"AL2O3", "20"}, {"FE2O3", "1"},
            {"TIO2", "0.5"}, {"CAO", "1"}, {"MGO", "0.5"},  {"K2O", "3"},
            {"NA2O", "1"},  {"QTCF1", QString::number(q1)}, {"QTCF2", QString::number(q2)},
            {"QTCF3", QString::number(q3)}, {"HJ", "100"}};
  }
  static Row with(Row r, const QString& field, const QString& value) {
    for (auto& [f, v] : r) {
      if (f == field) {
        v = value;
        return r;
      }
    }
    r.push_back({field, value});
    return r;
  }

  // Names other oxide k in the settings file, as the other-oxide menu does.
  void nameOther(int k, const QString& name, const QString& weight) {
    ASSERT_TRUE(store::Profile::write(ini(), "配方", QString::number(13 + k), name));
    ASSERT_TRUE(store::Profile::write(ini(), "其它", QStringLiteral("QTCF%1").arg(k), weight));
  }

  // The result records, and the main screen opened afresh on them, as after
  // a calculation run.
  void prepare(const std::vector<Row>& results) {
    screen.reset();
    fill("结果.DBF", results);
    fill("性能.dbf", {{{"NAME0", "旧"}}});
    open();
    frame = app::FrameState();
    frame.calculationCompleted();
    prompter.clear();
  }

  store::Table& property() { return table(WorkTable::Property); }

  // A numeric field of every row (NAN when empty).
  std::vector<double> values(const QString& field) {
    std::vector<double> out;
    store::Table& t = property();
    for (t.first(); !t.eof(); t.next()) out.push_back(t.value(field).value_or(kNull));
    t.first();
    return out;
  }

  // Compares a numeric column with values given to four places (temperatures
  // to their one decimal, so exactly).
  void expectValues(const QString& field, const std::vector<double>& expected) {
    SCOPED_TRACE(field.toStdString());
    const std::vector<double> got = values(field);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t r = 0; r < got.size(); ++r) {
      if (std::isnan(expected[r])) {
        EXPECT_TRUE(std::isnan(got[r])) << "row " << r << " holds " << got[r];
      } else {
        EXPECT_NEAR(got[r], expected[r], 5e-5) << "row " << r;
      }
    }
  }

  QStringList propertyUnchanged() { return column(property(), "NAME0"); }
};

// --- The worked examples -------------------------------------------------------------------

struct Expected {
  FormulaKind kind;
  bool zincAndBoron;  // other oxide 1 "ZnO" at 2, other oxide 2 "B2O3" at 1
  QStringList roNames, r2o3Names, ro2Names;
  std::vector<double> ro, r2o3, ro2;
};

TEST_F(PropertiesCommandTest, WorkedExamplesOnBothSides) {
  const QString K = "K2O", N = "Na2O", C = "CaO", M = "MgO";
  const std::vector<Expected> cases = {
      {FormulaKind::Body, false,
       {K, N, C, M, "一价系数", "耐火度", "酸性系数"},
       {"AL2O3", "Fe2O3", "", "", "三价系数", "烧成温度", ""},
       {"SiO2", "TiO2", "", "", "二价系数", "", ""},
       {0.1572, 0.0796, 0.0880, 0.0613, 0.3862, 1640.5, 1.7074},
       {0.9691, 0.0309, kNull, kNull, 1.0000, 1298.7, kNull},
       {5.7508, 0.0308, kNull, kNull, 5.7816, kNull, kNull}},
      {FormulaKind::Glaze, false,
       {K, N, C, M, "一价系数", "耐火度", "酸性系数"},
       {"AL2O3", "Fe2O3", "", "", "三价系数", "熔融温度", ""},
       {"SiO2", "TiO2", "", "", "二价系数", "", ""},
       {0.4072, 0.2062, 0.2279, 0.1586, 1.0000, 1640.5, 1.7074},
       {2.5096, 0.0801, kNull, kNull, 2.5897, 1394.4, kNull},
       {14.8926, 0.0798, kNull, kNull, 14.9724, kNull, kNull}},
      // B2O3 enters a body's normalising sum and takes the R2O3 cell of row 3;
      // ZnO gets its own row after MgO.
      {FormulaKind::Body, true,
       {K, N, C, M, "ZnO", "一价系数", "耐火度", "酸性系数"},
       {"AL2O3", "Fe2O3", "B2O3", "", "", "三价系数", "烧成温度", ""},
       {"SiO2", "TiO2", "", "", "", "二价系数", "", ""},
       {kNull, kNull, kNull, kNull, 0.1133, kNull, 1629.2, 1.5541},
       {kNull, kNull, 0.0662, kNull, kNull, 1.0000, 1289.8, kNull},
       {}},
      // ZnO enters a glaze's normalising sum; B2O3 is listed but not in it.
      {FormulaKind::Glaze, true,
       {K, N, C, M, "ZnO", "一价系数", "耐火度", "酸性系数"},
       {"AL2O3", "Fe2O3", "B2O3", "", "", "三价系数", "熔融温度", ""},
       {"SiO2", "TiO2", "", "", "", "二价系数", "", ""},
       {kNull, kNull, kNull, kNull, 0.2391, 1.0000, 1629.2, 1.5541},
       {kNull, kNull, 0.1397, kNull, kNull, kNull, 1384.8, kNull},
       {}},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(std::string(e.kind == FormulaKind::Body ? "body" : "glaze") +
                 (e.zincAndBoron ? " with ZnO, B2O3" : ""));
    if (e.zincAndBoron) {
      nameOther(1, "ZnO", "81.37");
      nameOther(2, "B2O3", "69.62");
    }
    const double q1 = e.zincAndBoron ? 2 : 0, q2 = e.zincAndBoron ? 1 : 0;
    // Stored in reverse file order: the command reads them in BH order.
    prepare({resultRecord("2＃配比", q1, q2), resultRecord("1＃配比", q1, q2)});
    ASSERT_TRUE(e.kind == FormulaKind::Body ? screen->bodyProperties() : screen->glazeProperties());
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();

    const QString suffix = e.kind == FormulaKind::Body ? "坯式" : "釉式";
    QStringList names(int(e.roNames.size()));
    names[0] = "1＃配比" + suffix;
    EXPECT_EQ(column(property(), "NAME0"), names);
    names[0] = "2＃配比" + suffix;
    EXPECT_EQ(column(property(), "NAME1"), names);
    for (const QString side : {"0", "1"}) {
      EXPECT_EQ(column(property(), "RONAME" + side), e.roNames);
      EXPECT_EQ(column(property(), "R2O3NAME" + side), e.r2o3Names);
      EXPECT_EQ(column(property(), "RO2NAME" + side), e.ro2Names);
      if (!e.zincAndBoron) {
        expectValues("RO" + side, e.ro);
        expectValues("R2O3" + side, e.r2o3);
        expectValues("RO2" + side, e.ro2);
      } else {
        // Only the cells the examples give; the rest as in the plain cases.
        const auto ro = values("RO" + side), r2o3 = values("R2O3" + side);
        for (std::size_t r = 0; r < e.ro.size(); ++r) {
          if (!std::isnan(e.ro[r])) {
            EXPECT_NEAR(ro[r], e.ro[r], 5e-5) << "RO row " << r;
          }
          if (!std::isnan(e.r2o3[r])) {
            EXPECT_NEAR(r2o3[r], e.r2o3[r], 5e-5) << "R2O3 row " << r;
          }
        }
      }
    }
    EXPECT_EQ(screen->propertyPanelHeight(), 36 * (int(e.roNames.size()) - 1));
  }
}

TEST_F(PropertiesCommandTest, CommandStateAndCursorsAfterwards) {
  prepare({resultRecord("1＃配比"), resultRecord("2＃配比")});
  const app::FrameState before = frame;
  ASSERT_FALSE(screen->propertyPanelVisible());
  ASSERT_TRUE(screen->bodyProperties());
  EXPECT_TRUE(screen->propertyPanelVisible());
  EXPECT_EQ(screen->propertyPanelHeight(), 216);  // seven rows
  for (Command c : {Command::TB8, Command::TB9, Command::FrameBody, Command::FrameGlaze, Command::N20, Command::N21}) {
    EXPECT_FALSE(frame.enabled(c)) << int(c);
  }
  app::FrameState expected = before;
  expected.propertiesComputed();
  EXPECT_EQ(frame, expected);  // nothing else changed
  EXPECT_TRUE(frame.enabled(Command::TB7));
  // The result cursor is left on the last record.
  EXPECT_EQ(table(WorkTable::Result).text("BH"), "2＃配比");

  // What the view draws, and the sums and sides as the operations give them.
  const auto colours = screen->propertyRowColours();
  ASSERT_EQ(colours.size(), 7u);
  EXPECT_EQ(colours[3].background, core::GridColour::ColumnDefault);
  EXPECT_EQ(colours[4].text, core::GridColour::Black);
  EXPECT_EQ(colours[5].text, core::GridColour::Fuchsia);
  EXPECT_EQ(colours[6].text, core::GridColour::Blue);
  EXPECT_TRUE(colours[6].focusRectangle);
  const auto sums = screen->ERO("1");
  ASSERT_TRUE(sums[0] && sums[1] && sums[2]);
  EXPECT_NEAR(*sums[0], 0.3862, 5e-5);
  EXPECT_EQ(*sums[1], 1.0);
  EXPECT_NEAR(*sums[2], 5.7816, 5e-5);
  const auto side = screen->YXN("0");
  ASSERT_TRUE(side);
  EXPECT_NEAR(side->normalisingSum, 0.078208, 5e-7);
  EXPECT_NEAR(side->fluxIndex, 8.1858, 5e-5);
  EXPECT_EQ(table(WorkTable::Result).text("BH"), "2＃配比");  // working one out moves no cursor
}

TEST_F(PropertiesCommandTest, VerificationRecordFillsSideZeroOnly) {
  prepare({resultRecord("1＃配比(误差大)")});
  ASSERT_TRUE(screen->bodyProperties());
  ASSERT_EQ(property().recordCount(), 7);
  EXPECT_EQ(column(property(), "NAME0")[0], "1＃配比(误差大)坯式");
  EXPECT_EQ(column(property(), "RONAME1"), QStringList({"", "", "", "", "", "", "酸性系数"}));
  expectValues("RO1", {kNull, kNull, kNull, kNull, kNull, kNull, 0});
  for (const QString f : {"NAME1", "R2O3NAME1", "RO2NAME1"}) {
    EXPECT_EQ(column(property(), f).join(""), "") << f.toStdString();
  }
  expectValues("RO0", {0.1572, 0.0796, 0.0880, 0.0613, 0.3862, 1640.5, 1.7074});
  EXPECT_EQ(screen->propertyPanelHeight(), 216);
}

// --- Layout ---------------------------------------------------------------------------------

TEST_F(PropertiesCommandTest, ThreeR2O3OthersGetASpacerRowOnBothSides) {
  nameOther(1, "B2O3", "69.62");
  nameOther(2, "P2O5", "141.94");
  nameOther(3, "Sb2O3", "291.5");
  prepare({resultRecord("1＃配比", 1, 0.5, 0.2), resultRecord("2＃配比", 0.8, 0.4, 0.1)});
  ASSERT_TRUE(screen->bodyProperties());
  ASSERT_EQ(property().recordCount(), 8);
  for (const QString side : {"0", "1"}) {
    EXPECT_EQ(column(property(), "RONAME" + side),
              QStringList({"K2O", "Na2O", "CaO", "MgO", "", "一价系数", "耐火度", "酸性系数"}));  // the spacer reads blank
    EXPECT_EQ(column(property(), "R2O3NAME" + side),
              QStringList({"AL2O3", "Fe2O3", "B2O3", "P2O5", "Sb2O3", "三价系数", "烧成温度", ""}));
    EXPECT_TRUE(std::isnan(values("RO" + side)[4]));
    EXPECT_EQ(values("R2O3" + side)[5], 1.0);
  }
}

TEST_F(PropertiesCommandTest, OtherOxideAtZeroTakesNoCellAndNeedsNoWeight) {
  nameOther(1, "ZnO", "");  // no weight, but not present either
  nameOther(2, "B2O3", "69.62");
  prepare({resultRecord("1＃配比", 0, 1), resultRecord("2＃配比", 0, 1)});
  ASSERT_TRUE(screen->bodyProperties());
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(property().recordCount(), 7);
  EXPECT_FALSE(column(property(), "RONAME0").contains("ZnO"));
  EXPECT_EQ(column(property(), "R2O3NAME0")[2], "B2O3");
}

TEST_F(PropertiesCommandTest, LongNameFromTheMenuIsCutToEightBytes) {
  prepare({resultRecord("1＃配比", 1), resultRecord("2＃配比", 1)});
  ASSERT_TRUE(screen->selectOtherColumn(14));
  prompter.answers = {QString("氧化稀土O"), QString("300")};
  ASSERT_TRUE(screen->enterOtherOxide());
  ASSERT_TRUE(screen->glazeProperties());
  EXPECT_EQ(screen->resultCaptions()[10], "氧化稀土O");  // the caption keeps it whole
  EXPECT_EQ(column(property(), "RONAME0")[4], "氧化稀土");
  EXPECT_EQ(column(property(), "RONAME1")[4], "氧化稀土");
}

// --- Cases decided here -----------------------------------------------------------------------

TEST_F(PropertiesCommandTest, NameGbkCannotHoldNeverReachesTheTable) {
  prepare({resultRecord("1＃配比", 1), resultRecord("2＃配比", 1)});
  const QString before = screen->resultCaptions()[10];
  ASSERT_TRUE(screen->selectOtherColumn(14));
  prompter.answers = {QString("氧化\U0001F600O"), QString("300")};
  EXPECT_FALSE(screen->enterOtherOxide());  // the settings file cannot hold it: nothing changes
  EXPECT_EQ(screen->resultCaptions()[10], before);
  prompter.clear();
  ASSERT_TRUE(screen->bodyProperties());
  for (const QString& label : column(property(), "RONAME0")) EXPECT_FALSE(label.contains("\U0001F600"));
}

TEST_F(PropertiesCommandTest, FirstFormulaWithoutNormalisingSumLeavesSideOneWhole) {
  const Row noAlumina = with(with(resultRecord("1＃配比"), "AL2O3", "0"), "FE2O3", "0");
  prepare({noAlumina, resultRecord("2＃配比")});
  ASSERT_TRUE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].icon, Icon::Information);
  EXPECT_TRUE(prompter.messages[0].text.contains("1＃配比"));
  EXPECT_EQ(column(property(), "NAME1")[0], "2＃配比坯式");
  expectValues("RO1", {0.1572, 0.0796, 0.0880, 0.0613, 0.3862, 1640.5, 1.7074});
  expectValues("RO0", {kNull, kNull, kNull, kNull, kNull, kNull, 0});
  EXPECT_EQ(column(property(), "RONAME0")[6], "酸性系数");
  EXPECT_TRUE(screen->propertyPanelVisible());
}

TEST_F(PropertiesCommandTest, RefusalsLeaveTablePanelAndFlagsAlone) {
  struct Case {
    const char* what;
    QString weight;      // of ZnO, present in the second record only
    bool noSilica;       // second record without SIO2 and AL2O3
    QString message;     // the whole text, or a part of it
    Icon icon;
  };
  const std::vector<Case> cases = {
      {"empty weight", "", false, "请设置ZnO分子量。", Icon::Information},
      {"text weight", "八十一", false, "ZnO的分子量“八十一”不是数字", Icon::Information},
      {"zero weight", "0", false, "ZnO的分子量0不能用于计算", Icon::Warning},
      {"no silica or alumina", "81.37", true, "2＃配比的 SiO2 与 Al2O3 之和为 0", Icon::Warning},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    nameOther(1, "ZnO", c.weight);
    Row second = resultRecord("2＃配比", 2);
    if (c.noSilica) second = with(with(second, "SIO2", "0"), "AL2O3", "0");
    prepare({resultRecord("1＃配比"), second});
    const app::FrameState before = frame;
    EXPECT_FALSE(screen->bodyProperties());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(c.message)) << prompter.messages[0].text.toStdString();
    EXPECT_EQ(prompter.messages[0].icon, c.icon);
    EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
    EXPECT_FALSE(screen->propertyPanelVisible());
    EXPECT_EQ(frame, before);
  }
}

TEST_F(PropertiesCommandTest, WeightCheckOnTheCurrentRecordComesFirst) {
  nameOther(1, "ZnO", "");
  prepare({resultRecord("1＃配比", 2), resultRecord("2＃配比", 2)});
  EXPECT_FALSE(screen->glazeProperties());
  EXPECT_EQ(prompter.texts(), QStringList({"请设置ZnO分子量。"}));
  EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
}

TEST_F(PropertiesCommandTest, EmptyResultTableAsksForACalculation) {
  prepare({});
  EXPECT_FALSE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::Captioned);
  EXPECT_EQ(prompter.messages[0].caption, "提示");
  EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
  EXPECT_TRUE(frame.enabled(Command::N20));
}

TEST_F(PropertiesCommandTest, DamagedNumberInAResultRecordIsNamed) {
  prepare({resultRecord("1＃配比"), resultRecord("2＃配比")});
  screen.reset();
  {
    // Letters in the SIO2 bytes of the second record.
    store::Table t;
    ASSERT_TRUE(t.open(data("结果.DBF")));
    const int index = t.fieldIndex("SIO2");
    int recordLength = 1;
    for (int i = 0; i < t.fieldCount(); ++i) recordLength += t.fieldAt(i).length;
    const qint64 at = 32 + 32 * t.fieldCount() + 1 + recordLength + t.fieldAt(index).offset;
    ASSERT_TRUE(t.close());
    QFile f(data("结果.DBF"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    f.write("    abc   ");
  }
  open();
  prompter.clear();
  EXPECT_FALSE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  const QString text = prompter.messages[0].text;
  EXPECT_TRUE(text.contains("结果.DBF") && text.contains("2＃配比") && text.contains("SIO2")) << text.toStdString();
  EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
}

}  // namespace
}  // namespace tessaro::test
