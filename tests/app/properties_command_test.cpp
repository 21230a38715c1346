// The body and glaze property commands on real tables: what the property
// table holds afterwards, row by row, and what a refusal leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <variant>

#include "core/properties.h"
#include "core/propertytable.h"
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
    ASSERT_TRUE(fill("结果.DBF", results));
    ASSERT_TRUE(fill("性能.dbf", {{{"NAME0", "旧"}}}));
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

  QStringList propertyUnchanged() { return column(property(), "NAME0"); }
};

// --- The table holds what the arithmetic gives ----------------------------------------------

// What core works out for the result records and other oxides of a case.
core::PropertyOutcome arithmetic(FormulaKind kind, const std::vector<core::ResultFormula>& records,
                                 const core::OtherOxides& others) {
  const std::optional<core::ResultFormula> second = records.size() > 1 ? std::optional(records[1]) : std::nullopt;
  return core::computeProperties(kind, records[0], second, others);
}

core::ResultFormula arithmeticRecord(const std::string& bh, double q1 = 0, double q2 = 0, double q3 = 0) {
  return {bh, {70, 20, 1, 0.5, 1, 0.5, 3, 1, q1, q2, q3}};
}

// Every field of every row of the property table against core's row: texts
// as given (blanks trimmed), numbers as the field keeps them, every other
// field empty.
::testing::AssertionResult holdsTheArithmetic(store::Table& t, const core::PropertyOutcome& outcome) {
  if (!outcome.ok()) return ::testing::AssertionFailure() << "refused: " << outcome.refusal->message;
  if (t.recordCount() != int(outcome.rows.size()))
    return ::testing::AssertionFailure() << t.recordCount() << " rows, expected " << outcome.rows.size();
  std::size_t r = 0;
  for (t.first(); !t.eof(); t.next(), ++r) {
    QStringList given;
    for (const core::PropertyField& f : core::propertyFields(outcome.rows[r])) {
      const QString field = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
      const store::dbf::Field& desc = t.fieldAt(t.fieldIndex(field));
      given << field;
      const QString kept = f.number ? QString::fromStdString(core::formatFixed(*f.number, desc.decimals, desc.length))
                                    : QString();
      const QString want = f.text ? QString::fromStdString(*f.text).trimmed()
                           : f.number ? QString::number(kept.toDouble(), 'g', 15)
                                      : QString();
      const auto value = desc.isNumeric() ? t.value(field) : std::nullopt;
      const QString got = value ? QString::number(*value, 'g', 15) : t.text(field).trimmed();
      if (got != want) return ::testing::AssertionFailure() << "row " << r << " " << field.toStdString() << ": "
                                                           << got.toStdString() << " instead of " << want.toStdString();
    }
    for (int i = 0; i < t.fieldCount(); ++i) {
      const QString field = t.fieldAt(i).name;
      if (!given.contains(field) && !t.text(field).trimmed().isEmpty())
        return ::testing::AssertionFailure() << "row " << r << " " << field.toStdString() << " not empty";
    }
  }
  t.first();
  return ::testing::AssertionSuccess();
}

TEST_F(PropertiesCommandTest, CommandWritesWhatTheArithmeticGives) {
  struct Case {
    const char* what;
    FormulaKind kind;
    std::vector<double> others;  // QTCF1..QTCF3 of both records
    int records;
  };
  const core::OtherOxides named = {{{"ZnO", 81.37}, {"B2O3", 69.62}, {"Sb2O3", 291.5}}};
  const std::vector<Case> cases = {
      {"body", FormulaKind::Body, {0, 0, 0}, 2},
      {"glaze", FormulaKind::Glaze, {0, 0, 0}, 2},
      {"body with ZnO, B2O3", FormulaKind::Body, {2, 1, 0}, 2},
      {"glaze with ZnO, B2O3, Sb2O3", FormulaKind::Glaze, {2, 1, 0.2}, 2},
      {"a verification's one record", FormulaKind::Body, {0, 0, 0}, 1},
  };
  ASSERT_NO_FATAL_FAILURE(nameOther(1, "ZnO", "81.37"));
  ASSERT_NO_FATAL_FAILURE(nameOther(2, "B2O3", "69.62"));
  ASSERT_NO_FATAL_FAILURE(nameOther(3, "Sb2O3", "291.5"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const double q1 = c.others[0], q2 = c.others[1], q3 = c.others[2];
    std::vector<Row> rows = {resultRecord("1＃配比", q1, q2, q3), resultRecord("2＃配比", q1, q2, q3)};
    std::vector<core::ResultFormula> records = {arithmeticRecord("1＃配比", q1, q2, q3),
                                                arithmeticRecord("2＃配比", q1, q2, q3)};
    rows.resize(std::size_t(c.records));
    records.resize(std::size_t(c.records));
    // Stored in reverse file order: the command reads them in BH order.
    std::reverse(rows.begin(), rows.end());
    ASSERT_NO_FATAL_FAILURE(prepare(rows));
    ASSERT_TRUE(c.kind == FormulaKind::Body ? screen->bodyProperties() : screen->glazeProperties());
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join("|").toStdString();
    const core::PropertyOutcome outcome = arithmetic(c.kind, records, named);
    EXPECT_TRUE(holdsTheArithmetic(property(), outcome));
    // The view gives the panel the height of the rows it shows.
    EXPECT_EQ(app::propertyPanelHeight(property().recordCount()), outcome.panelHeight());
  }
}

TEST_F(PropertiesCommandTest, CommandStateAndCursorsAfterwards) {
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比"), resultRecord("2＃配比")}));
  const app::FrameState before = frame;
  ASSERT_FALSE(screen->propertyPanelVisible());
  ASSERT_TRUE(screen->bodyProperties());
  EXPECT_TRUE(screen->propertyPanelVisible());
  for (Command c : {Command::ToolBody, Command::ToolGlaze, Command::FrameBody, Command::FrameGlaze, Command::MainBody,
                    Command::MainGlaze}) {
    EXPECT_FALSE(frame.enabled(c)) << int(c);
  }
  app::FrameState expected = before;
  expected.propertiesComputed();
  EXPECT_EQ(frame, expected);  // nothing else changed
  EXPECT_TRUE(frame.enabled(Command::ToolPrint));
  // The result cursor is left on the last record.
  EXPECT_EQ(table(WorkTable::Result).text("BH"), "2＃配比");

  // The sums and sides as the operations give them.
  const auto sums = screen->ERO("1");
  ASSERT_TRUE(sums[0] && sums[1] && sums[2]);
  EXPECT_EQ(*sums[0], values("RO1")[4]);  // the group-sum row
  EXPECT_EQ(*sums[1], values("R2O31")[4]);
  EXPECT_EQ(*sums[2], values("RO21")[4]);
  const auto side = screen->YXN("0");
  ASSERT_TRUE(side);
  const auto worked = core::computeSide(FormulaKind::Glaze, arithmeticRecord("1＃配比"), 0,
                                        {{{"其它1", 1}, {"其它2", 1}, {"其它3", 1}}});
  ASSERT_TRUE(std::holds_alternative<core::SideProperties>(worked));
  EXPECT_EQ(side->normalisingSum, std::get<core::SideProperties>(worked).normalisingSum);
  EXPECT_EQ(side->fluxIndex, std::get<core::SideProperties>(worked).fluxIndex);
  EXPECT_EQ(table(WorkTable::Result).text("BH"), "2＃配比");  // working one out moves no cursor
}

// The values are worked out unrounded and the table rounds each once: body
// and glaze keep the same refractoriness and acidity coefficient.
TEST_F(PropertiesCommandTest, BodyAndGlazeKeepTheSameRefractorinessAndAcidity) {
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比"), resultRecord("2＃配比")}));
  ASSERT_TRUE(screen->bodyProperties());
  const std::vector<double> body0 = values("RO0"), body1 = values("RO1");
  ASSERT_TRUE(screen->glazeProperties());
  ASSERT_EQ(values("RO0").size(), 7u);
  EXPECT_EQ(values("RO0")[5], body0[5]);
  EXPECT_EQ(values("RO1")[6], body1[6]);
  EXPECT_EQ(values("RO0")[6], body0[6]);
}

TEST_F(PropertiesCommandTest, OtherOxideAtZeroNeedsNoWeight) {
  ASSERT_NO_FATAL_FAILURE(nameOther(1, "ZnO", ""));  // no weight, but not present either
  ASSERT_NO_FATAL_FAILURE(nameOther(2, "B2O3", "69.62"));
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比", 0, 1), resultRecord("2＃配比", 0, 1)}));
  ASSERT_TRUE(screen->bodyProperties());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PropertiesCommandTest, LongNameFromTheMenuIsCutToEightBytes) {
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比", 1), resultRecord("2＃配比", 1)}));
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
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比", 1), resultRecord("2＃配比", 1)}));
  const QString before = screen->resultCaptions()[10];
  ASSERT_TRUE(screen->selectOtherColumn(14));
  prompter.answers = {QString("氧化\U0001F600O"), QString("300")};
  EXPECT_FALSE(screen->enterOtherOxide());  // the settings file cannot hold it: nothing changes
  EXPECT_EQ(screen->resultCaptions()[10], before);
  prompter.clear();
  ASSERT_TRUE(screen->bodyProperties());
  for (const QString& label : column(property(), "RONAME0")) EXPECT_FALSE(label.contains("\U0001F600"));
}

TEST_F(PropertiesCommandTest, NoticeOfAFormulaLeftOutIsShownAndTheTableWritten) {
  const Row noAlumina = with(with(resultRecord("1＃配比"), "AL2O3", "0"), "FE2O3", "0");
  ASSERT_NO_FATAL_FAILURE(prepare({noAlumina, resultRecord("2＃配比")}));
  ASSERT_TRUE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].icon, Icon::Information);
  EXPECT_TRUE(prompter.messages[0].text.contains("1＃配比"));
  EXPECT_EQ(column(property(), "NAME1")[0], "2＃配比坯式");
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
    ASSERT_NO_FATAL_FAILURE(nameOther(1, "ZnO", c.weight));
    Row second = resultRecord("2＃配比", 2);
    if (c.noSilica) second = with(with(second, "SIO2", "0"), "AL2O3", "0");
    ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比"), second}));
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
  ASSERT_NO_FATAL_FAILURE(nameOther(1, "ZnO", ""));
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比", 2), resultRecord("2＃配比", 2)}));
  EXPECT_FALSE(screen->glazeProperties());
  EXPECT_EQ(prompter.texts(), QStringList({"请设置ZnO分子量。"}));
  EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
}

TEST_F(PropertiesCommandTest, EmptyResultTableAsksForACalculation) {
  ASSERT_NO_FATAL_FAILURE(prepare({}));
  EXPECT_FALSE(screen->bodyProperties());
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].kind, MessageKind::Captioned);
  EXPECT_EQ(prompter.messages[0].caption, "提示");
  EXPECT_EQ(propertyUnchanged(), QStringList({"旧"}));
  EXPECT_TRUE(frame.enabled(Command::MainBody));
}

TEST_F(PropertiesCommandTest, DamagedNumberInAResultRecordIsNamed) {
  ASSERT_NO_FATAL_FAILURE(prepare({resultRecord("1＃配比"), resultRecord("2＃配比")}));
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
