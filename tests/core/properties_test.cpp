#include "core/properties.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/format.h"

using namespace tessaro::core;

namespace {

constexpr auto RO = OxideGroup::RO;
constexpr auto R2O3 = OxideGroup::R2O3;
constexpr auto RO2 = OxideGroup::RO2;

// The result record of the worked examples.
ResultFormula plainRecord(std::string label = "1＃配比") {
  ResultFormula f{std::move(label), {}};
  f.contents[SIO2] = 70;
  f.contents[AL2O3] = 20;
  f.contents[FE2O3] = 1;
  f.contents[TIO2] = 0.5;
  f.contents[CAO] = 1;
  f.contents[MGO] = 0.5;
  f.contents[K2O] = 3;
  f.contents[NA2O] = 1;
  return f;
}

ResultFormula withOthers(ResultFormula f, double q1, double q2, double q3) {
  f.contents[QTCF1] = q1;
  f.contents[QTCF2] = q2;
  f.contents[QTCF3] = q3;
  return f;
}

// Columns reset to their default captions: no capital O, weight 1.
const OtherOxides kUnnamed = {{{"其它1", 1}, {"其它2", 1}, {"其它3", 1}}};
const OtherOxides kZnOB2O3 = {{{"ZnO", 81.37}, {"B2O3", 69.62}, {"其它3", 1}}};

// Bytes of a character in GBK: one for ASCII, two for every other character GBK holds.
const CharBytes kGbk = [](std::string_view c) -> std::size_t { return c.size() == 1 ? 1 : 2; };

PropertyOutcome computeOk(FormulaKind kind, const ResultFormula& first, const std::optional<ResultFormula>& second,
                          const OtherOxides& others, const PropertyOptions& options = {}) {
  PropertyOutcome out = computeProperties(kind, first, second, others, options);
  EXPECT_TRUE(out.ok()) << (out.refusal ? out.refusal->message : "");
  return out;
}

const PropertyCell& cell(const PropertyOutcome& out, std::size_t row, int side, OxideGroup g) {
  return out.rows.at(row).sides[side][g];
}

std::string labelOf(const PropertyOutcome& out, std::size_t row, int side, OxideGroup g) {
  return cell(out, row, side, g).label.value_or("<null>");
}

double valueOf(const PropertyOutcome& out, std::size_t row, int side, OxideGroup g) {
  const auto& v = cell(out, row, side, g).value;
  EXPECT_TRUE(v.has_value()) << "row " << row << " side " << side << " group " << static_cast<int>(g);
  return v.value_or(NAN);
}

std::size_t rowOfKind(const PropertyOutcome& out, PropertyRowKind kind) {
  for (std::size_t r = 0; r < out.rows.size(); ++r) {
    if (out.rows[r].kind == kind) return r;
  }
  ADD_FAILURE() << "no such row";
  return 0;
}

// Whatever the layout, each side's group sums are the sums of its oxide
// cells and every other oxide that takes part is listed exactly once in its
// column.
void expectSoundLayout(const PropertyOutcome& out, const OtherOxides& others) {
  const std::size_t sums = rowOfKind(out, PropertyRowKind::GroupSums);
  EXPECT_EQ(sums + 3, out.rows.size());
  for (int side = 0; side < 2; ++side) {
    if (!out.sides[side] || !out.sides[side]->laidOut()) continue;
    for (int g = 0; g < kGroupCount; ++g) {
      double sum = 0;
      for (std::size_t r = 0; r < sums; ++r) sum += out.rows[r].sides[side].cells[g].value.value_or(0);
      EXPECT_DOUBLE_EQ(*out.rows[sums].sides[side].cells[g].value, sum) << "side " << side << " group " << g;
    }
    for (int k = 0; k < 3; ++k) {
      const auto& kind = out.sides[side]->otherKinds[k];
      int found = 0;
      for (std::size_t r = 0; r < sums; ++r) {
        for (int g = 0; g < kGroupCount; ++g) {
          if (out.rows[r].sides[side].cells[g].label == others[k].name) {
            ++found;
            EXPECT_EQ(g, static_cast<int>(*kind));
          }
        }
      }
      EXPECT_EQ(found, kind ? 1 : 0) << others[k].name << " on side " << side;
    }
  }
}

}  // namespace

TEST(PropertyConstants, FactorsInFullPrecision) {
  EXPECT_EQ(kNa2OFactor, 1.5193548387096774);
  EXPECT_EQ(kMgOFactor, 2.337468982630273);
  EXPECT_EQ(kCaOFactor, 1.679144385026738);
}

// The worked examples: the plain record and the same record with ZnO at 2
// and B2O3 at 1, as body and as glaze. Coefficients to four places.
struct Expected {
  std::size_t row;
  OxideGroup group;
  const char* label;
  double value;
};
struct WorkedExample {
  FormulaKind kind;
  bool withZnOB2O3;
  double s, fluxIndex;
  std::vector<Expected> cells;  // oxide and group-sum cells
  double refractoriness, secondTemperature, acidity;
};

class WorkedExamples : public testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, CellsTemperaturesAndAcidity) {
  const WorkedExample& e = GetParam();
  const ResultFormula f = e.withZnOB2O3 ? withOthers(plainRecord(), 2, 1, 0) : plainRecord();
  const PropertyOutcome out = computeOk(e.kind, f, std::nullopt, e.withZnOB2O3 ? kZnOB2O3 : kUnnamed);
  const SideProperties& p = *out.sides[0];
  EXPECT_NEAR(p.normalisingSum, e.s, 5e-7);
  EXPECT_NEAR(p.aluminaIndex, 22.2222, 5e-5);
  EXPECT_NEAR(p.fluxIndex, e.fluxIndex, 5e-5);

  const std::size_t sums = e.withZnOB2O3 ? 5 : 4;
  ASSERT_EQ(out.rows.size(), sums + 3);
  EXPECT_EQ(out.rows[0].sides[0].name, e.kind == FormulaKind::Body ? "1＃配比坯式" : "1＃配比釉式");
  for (const Expected& x : e.cells) {
    EXPECT_EQ(labelOf(out, x.row, 0, x.group), x.label);
    EXPECT_NEAR(valueOf(out, x.row, 0, x.group), x.value, 5e-5) << x.label;
  }
  EXPECT_EQ(labelOf(out, sums, 0, RO), "一价系数");
  EXPECT_EQ(labelOf(out, sums, 0, R2O3), "三价系数");
  EXPECT_EQ(labelOf(out, sums, 0, RO2), "二价系数");
  // The normalising column sums to 1.
  EXPECT_NEAR(valueOf(out, sums, 0, e.kind == FormulaKind::Body ? R2O3 : RO), 1.0, 1e-12);

  EXPECT_EQ(labelOf(out, sums + 1, 0, RO), "耐火度");
  EXPECT_EQ(valueOf(out, sums + 1, 0, RO), e.refractoriness);
  EXPECT_EQ(labelOf(out, sums + 1, 0, R2O3), e.kind == FormulaKind::Body ? "烧成温度" : "熔融温度");
  EXPECT_EQ(valueOf(out, sums + 1, 0, R2O3), e.secondTemperature);
  EXPECT_TRUE(cell(out, sums + 1, 0, RO2).isFree());
  EXPECT_EQ(labelOf(out, sums + 2, 0, RO), "酸性系数");
  EXPECT_NEAR(out.acidity[0], e.acidity, 5e-5);
  EXPECT_EQ(out.acidity[0], valueOf(out, sums + 2, 0, RO));
  EXPECT_TRUE(out.notice.empty());
  expectSoundLayout(out, e.withZnOB2O3 ? kZnOB2O3 : kUnnamed);
}

INSTANTIATE_TEST_SUITE_P(
    Properties, WorkedExamples,
    testing::Values(
        WorkedExample{FormulaKind::Body, false, 0.202533, 8.1858,
                      {{0, RO, "K2O", 0.1572}, {1, RO, "Na2O", 0.0796}, {2, RO, "CaO", 0.0880},
                       {3, RO, "MgO", 0.0613}, {0, R2O3, "AL2O3", 0.9691}, {1, R2O3, "Fe2O3", 0.0309},
                       {0, RO2, "SiO2", 5.7508}, {1, RO2, "TiO2", 0.0308}, {4, RO, "一价系数", 0.3862},
                       {4, RO2, "二价系数", 5.7816}},
                      1640.5, 1298.7, 1.7074},
        WorkedExample{FormulaKind::Glaze, false, 0.078208, 8.1858,
                      {{0, RO, "K2O", 0.4072}, {1, RO, "Na2O", 0.2062}, {2, RO, "CaO", 0.2279},
                       {3, RO, "MgO", 0.1586}, {0, R2O3, "AL2O3", 2.5096}, {1, R2O3, "Fe2O3", 0.0801},
                       {0, RO2, "SiO2", 14.8926}, {1, RO2, "TiO2", 0.0798}, {4, R2O3, "三价系数", 2.5897},
                       {4, RO2, "二价系数", 14.9724}},
                      1640.5, 1394.4, 1.7074},
        // B2O3 enters a body's S and takes the R2O3 cell of row 3; ZnO gets a row after MgO.
        WorkedExample{FormulaKind::Body, true, 0.216896, 10.7584,
                      {{2, R2O3, "B2O3", 0.0662}, {4, RO, "ZnO", 0.1133}}, 1629.2, 1289.8, 1.5541},
        // ZnO enters a glaze's S, B2O3 is listed but not in S.
        WorkedExample{FormulaKind::Glaze, true, 0.102788, 10.7584,
                      {{2, R2O3, "B2O3", 0.1397}, {4, RO, "ZnO", 0.2391}}, 1629.2, 1384.8, 1.5541}));

TEST(Properties, FluxEquivalentsOfROAndRO2KindsOnly) {
  const OtherOxides others = {{{"ZnO", 81.37}, {"B2O3", 69.62}, {"SnO2", 150.7}}};
  const PropertyOutcome out = computeOk(FormulaKind::Body, withOthers(plainRecord(), 2, 1, 1.5), std::nullopt, others);
  const SideProperties& p = *out.sides[0];
  EXPECT_EQ(p.otherKinds, (std::array<std::optional<OxideGroup>, 3>{RO, R2O3, RO2}));
  EXPECT_EQ(p.fluxEquivalents[0], 2 * (94.2 / 81.37));
  EXPECT_EQ(p.fluxEquivalents[1], 0);
  EXPECT_EQ(p.fluxEquivalents[2], 1.5 * (94.2 / 150.7));
  // SnO2 is listed in the RO2 column of row 3 and is not part of a body's S.
  EXPECT_EQ(labelOf(out, 2, 0, RO2), "SnO2");
  EXPECT_DOUBLE_EQ(valueOf(out, 2, 0, RO2), 1.5 / 150.7 / p.normalisingSum);
  EXPECT_DOUBLE_EQ(p.normalisingSum, 20 / 101.9 + 1 / 159.7 + 1 / 69.62);
}

TEST(Properties, MeltingTemperatureIsTakenFromTheUnroundedRefractoriness) {
  ResultFormula f = plainRecord();
  f.contents[SIO2] = 60.04;  // refractoriness 1648.17..., melting 1400.945...
  const PropertyOutcome out = computeOk(FormulaKind::Glaze, f, std::nullopt, kUnnamed);
  EXPECT_EQ(valueOf(out, 5, 0, RO), 1648.2);
  EXPECT_EQ(valueOf(out, 5, 0, R2O3), 1400.9);  // 0.85 x 1648.2 would give 1401.0
}

TEST(Properties, MergedKNaCountsTheMergedAmountAsK2O) {
  ResultFormula merged = plainRecord();
  merged.contents[K2O] = 4;  // 3 + 1
  merged.contents[NA2O] = 0;
  const PropertyOutcome out = computeOk(FormulaKind::Body, merged, std::nullopt, kUnnamed);
  const SideProperties& p = *out.sides[0];
  EXPECT_EQ(labelOf(out, 0, 0, RO), "K2O");
  EXPECT_DOUBLE_EQ(valueOf(out, 0, 0, RO), 4 / 94.2 / p.normalisingSum);
  EXPECT_EQ(labelOf(out, 1, 0, RO), "Na2O");
  EXPECT_EQ(valueOf(out, 1, 0, RO), 0);  // written as 0, not left empty
  EXPECT_DOUBLE_EQ(p.fluxIndex, (4 + 0.5 * kMgOFactor + 1 * kCaOFactor) * 100 / 90);
}

TEST(PropertyLayout, VerificationRecordFillsSideZeroOnly) {
  ResultFormula f = plainRecord("1＃配比(误差大)");
  const PropertyOutcome out = computeOk(FormulaKind::Body, f, std::nullopt, kUnnamed, {kGbk, 6});
  ASSERT_EQ(out.rows.size(), 7u);
  EXPECT_FALSE(out.sides[1].has_value());
  EXPECT_EQ(out.rows[0].sides[0].name, "1＃配比(误差大)坯式");  // 19 bytes: fits the 20 of NAME0
  for (std::size_t r = 0; r + 1 < out.rows.size(); ++r) EXPECT_EQ(out.rows[r].sides[1], PropertySideRow{}) << r;
  EXPECT_EQ(labelOf(out, 6, 1, RO), "酸性系数");
  EXPECT_EQ(valueOf(out, 6, 1, RO), 0);
  EXPECT_EQ(out.acidity[1], 0);
}

TEST(PropertyLayout, TwoFormulasShareRowsAndLabels) {
  const ResultFormula f1 = withOthers(plainRecord("1＃配比"), 2, 1, 0);
  ResultFormula f2 = withOthers(plainRecord("2＃配比"), 1, 0.5, 0);
  f2.contents[SIO2] = 65;
  const PropertyOutcome out = computeOk(FormulaKind::Body, f1, f2, kZnOB2O3);
  ASSERT_EQ(out.rows.size(), 8u);
  EXPECT_EQ(out.rows[0].sides[1].name, "2＃配比坯式");
  for (std::size_t r = 0; r < out.rows.size(); ++r) {
    for (int g = 0; g < kGroupCount; ++g) {
      EXPECT_EQ(out.rows[r].sides[0].cells[g].label, out.rows[r].sides[1].cells[g].label) << r << "/" << g;
    }
  }
  EXPECT_EQ(out.rows[5].kind, PropertyRowKind::GroupSums);
  EXPECT_NEAR(valueOf(out, 5, 1, R2O3), 1.0, 1e-12);
  EXPECT_NE(valueOf(out, 6, 1, RO), valueOf(out, 6, 0, RO));
  expectSoundLayout(out, kZnOB2O3);
}

TEST(PropertyLayout, ThreeR2O3OthersGetASpacerRow) {
  const OtherOxides others = {{{"B2O3", 69.62}, {"P2O5", 141.94}, {"Sb2O3", 291.5}}};
  const ResultFormula f1 = withOthers(plainRecord("1＃配比"), 1, 0.5, 0.2);
  const ResultFormula f2 = withOthers(plainRecord("2＃配比"), 0.8, 0.4, 0.1);
  const PropertyOutcome out = computeOk(FormulaKind::Body, f1, f2, others);
  ASSERT_EQ(out.rows.size(), 8u);
  for (int side = 0; side < 2; ++side) {
    EXPECT_EQ(labelOf(out, 2, side, R2O3), "B2O3");
    EXPECT_EQ(labelOf(out, 3, side, R2O3), "P2O5");
    EXPECT_EQ(labelOf(out, 4, side, R2O3), "Sb2O3");
    EXPECT_EQ(cell(out, 4, side, RO), (PropertyCell{" ", std::nullopt}));
    EXPECT_EQ(out.rows[5].kind, PropertyRowKind::GroupSums);  // the sixth row
    EXPECT_NEAR(valueOf(out, 5, side, R2O3), 1.0, 1e-12);
  }
  EXPECT_EQ(propertyRowStyle(out.rows[4]), PropertyRowStyle::Plain);
  expectSoundLayout(out, others);
}

TEST(PropertyLayout, ROOthersGetARowEachInTheirOrder) {
  const OtherOxides others = {{{"ZnO", 81.37}, {"BaO", 153.3}, {"其它3", 1}}};
  const ResultFormula f = withOthers(plainRecord(), 2, 1, 0);
  const PropertyOutcome out = computeOk(FormulaKind::Body, f, std::nullopt, others);
  ASSERT_EQ(out.rows.size(), 9u);
  EXPECT_EQ(labelOf(out, 4, 0, RO), "ZnO");
  EXPECT_EQ(labelOf(out, 5, 0, RO), "BaO");
  double ro = 0;
  for (std::size_t r = 0; r < 6; ++r) ro += valueOf(out, r, 0, RO);
  EXPECT_DOUBLE_EQ(valueOf(out, 6, 0, RO), ro);
  EXPECT_EQ(out.panelHeight(), 288);
}

TEST(PropertyLayout, AnOtherOxideAtZeroTakesNoCellAndNeedsNoWeight) {
  const OtherOxides others = {{{"ZnO", std::nullopt}, {"B2O3", 69.62}, {"SnO2", 150.7}}};
  const ResultFormula f = withOthers(plainRecord(), 0, 1, 0);
  const PropertyOutcome out = computeOk(FormulaKind::Body, f, std::nullopt, others);
  ASSERT_EQ(out.rows.size(), 7u);
  EXPECT_EQ(labelOf(out, 2, 0, R2O3), "B2O3");
  EXPECT_TRUE(cell(out, 2, 0, RO2).isFree());
  EXPECT_EQ(out.sides[0]->otherKinds[0], std::nullopt);
  expectSoundLayout(out, others);
}

TEST(PropertyLayout, LongNamesAreCutAtACharacterBoundary) {
  const OtherOxides others = {{{"氧化稀土O", 300}, {"A氧化稀土O", 300}, {"其它3", 1}}};
  const ResultFormula f = withOthers(plainRecord("1＃配比(误差大)XY"), 1, 1, 0);
  const PropertyOutcome cut = computeOk(FormulaKind::Body, f, std::nullopt, others, {kGbk, std::nullopt});
  EXPECT_EQ(labelOf(cut, 4, 0, RO), "氧化稀土");  // 9 bytes cut to 8
  EXPECT_EQ(labelOf(cut, 5, 0, RO), "A氧化稀");   // 7 bytes: the next character would end past 8
  EXPECT_EQ(cut.rows[0].sides[0].name, "1＃配比(误差大)XY坯");

  const PropertyOutcome whole = computeOk(FormulaKind::Body, f, std::nullopt, others);
  EXPECT_EQ(labelOf(whole, 4, 0, RO), "氧化稀土O");
  EXPECT_EQ(whole.rows[0].sides[0].name, "1＃配比(误差大)XY坯式");
}

// Formulas that differ in the other oxides they contain: each oxide of
// either side is listed once in its column, in a row of its own when no row
// has room, and the group sums stay the sums of each side.
TEST(PropertyLayout, FormulasWithDifferentOtherOxides) {
  {
    const OtherOxides others = {{{"ZnO", 81.37}, {"B2O3", 69.62}, {"P2O5", 141.94}}};
    const PropertyOutcome out = computeOk(FormulaKind::Body, withOthers(plainRecord("1＃配比"), 0, 1, 0),
                                          withOthers(plainRecord("2＃配比"), 2, 1, 0.5), others);
    ASSERT_EQ(out.rows.size(), 8u);
    EXPECT_EQ(labelOf(out, 3, 1, R2O3), "P2O5");
    EXPECT_TRUE(cell(out, 3, 0, R2O3).isFree());
    EXPECT_EQ(labelOf(out, 4, 1, RO), "ZnO");  // before the group sums, not in their row
    EXPECT_TRUE(cell(out, 4, 0, RO).isFree());
    EXPECT_EQ(labelOf(out, 5, 1, RO), "一价系数");
    expectSoundLayout(out, others);
  }
  {
    // Only the second formula needs the spacer row.
    const OtherOxides others = {{{"B2O3", 69.62}, {"P2O5", 141.94}, {"Sb2O3", 291.5}}};
    const PropertyOutcome out = computeOk(FormulaKind::Body, withOthers(plainRecord("1＃配比"), 1, 0.5, 0),
                                          withOthers(plainRecord("2＃配比"), 1, 0.5, 0.2), others);
    ASSERT_EQ(out.rows.size(), 8u);
    EXPECT_EQ(out.rows[4].sides[0], PropertySideRow{});
    EXPECT_EQ(cell(out, 4, 1, RO), (PropertyCell{" ", std::nullopt}));
    EXPECT_EQ(labelOf(out, 4, 1, R2O3), "Sb2O3");
    expectSoundLayout(out, others);
  }
  {
    // The second formula's BaO takes the first free RO cell, in ZnO's row.
    const OtherOxides others = {{{"ZnO", 81.37}, {"BaO", 153.3}, {"SnO2", 150.7}}};
    const PropertyOutcome out = computeOk(FormulaKind::Body, withOthers(plainRecord("1＃配比"), 2, 1, 0),
                                          withOthers(plainRecord("2＃配比"), 0, 1, 3), others);
    ASSERT_EQ(out.rows.size(), 9u);
    EXPECT_EQ(labelOf(out, 4, 0, RO), "ZnO");
    EXPECT_EQ(labelOf(out, 4, 1, RO), "BaO");
    EXPECT_TRUE(cell(out, 5, 1, RO).isFree());
    EXPECT_EQ(labelOf(out, 2, 1, RO2), "SnO2");
    expectSoundLayout(out, others);
  }
}

TEST(PropertyLayout, FirstFormulaWithoutNormalisingSumLeavesSideOneWhole) {
  ResultFormula f1 = plainRecord("1＃配比");
  f1.contents[AL2O3] = 0;
  f1.contents[FE2O3] = 0;
  const PropertyOutcome out = computeOk(FormulaKind::Body, f1, plainRecord("2＃配比"), kUnnamed);
  ASSERT_EQ(out.rows.size(), 7u);
  EXPECT_FALSE(out.sides[0]->laidOut());
  EXPECT_EQ(out.rows[0].sides[1].name, "2＃配比坯式");
  EXPECT_EQ(labelOf(out, 3, 1, RO), "MgO");
  EXPECT_EQ(valueOf(out, 5, 1, RO), 1640.5);
  for (std::size_t r = 0; r + 1 < out.rows.size(); ++r) EXPECT_EQ(out.rows[r].sides[0], PropertySideRow{}) << r;
  EXPECT_EQ(labelOf(out, 6, 0, RO), "酸性系数");
  EXPECT_EQ(out.acidity[0], 0);
  EXPECT_NEAR(out.acidity[1], 1.7074, 5e-5);
  EXPECT_NE(out.notice.find("1＃配比"), std::string::npos);
  EXPECT_EQ(out.notice.find("2＃配比"), std::string::npos);
}

TEST(PropertyLayout, SecondFormulaWithoutNormalisingSumIsLeftOut) {
  ResultFormula f2 = plainRecord("2＃配比");
  for (Oxide o : {CAO, MGO, K2O, NA2O}) f2.contents[o] = 0;
  f2.contents[SIO2] = 0;  // no temperatures either, but nothing is asked of them
  f2.contents[AL2O3] = 0;
  const PropertyOutcome out = computeOk(FormulaKind::Glaze, plainRecord("1＃配比"), f2, kUnnamed);
  ASSERT_EQ(out.rows.size(), 7u);
  EXPECT_TRUE(cell(out, 4, 1, RO).isFree());
  EXPECT_EQ(out.acidity[1], 0);
  EXPECT_NE(out.notice.find("2＃配比"), std::string::npos);
}

TEST(PropertyRefusals, NoFormulaToLayOut) {
  ResultFormula f = plainRecord();
  for (Oxide o : {CAO, MGO, K2O, NA2O}) f.contents[o] = 0;
  const PropertyOutcome out = computeProperties(FormulaKind::Glaze, f, std::nullopt, kUnnamed);
  ASSERT_FALSE(out.ok());
  EXPECT_EQ(out.refusal->reason, PropertyRefusal::Reason::NoFormula);
  EXPECT_TRUE(out.rows.empty());
  EXPECT_NE(out.refusal->message.find("1＃配比"), std::string::npos);
  // A body of the same record has its Al2O3.
  EXPECT_TRUE(computeProperties(FormulaKind::Body, f, std::nullopt, kUnnamed).ok());
}

TEST(PropertyRefusals, NoSilicaOrAluminaNamesTheFormula) {
  ResultFormula f2 = plainRecord("2＃配比");
  f2.contents[SIO2] = 0;
  f2.contents[AL2O3] = 0;
  const PropertyOutcome glaze = computeProperties(FormulaKind::Glaze, plainRecord(), f2, kUnnamed);
  ASSERT_FALSE(glaze.ok());
  EXPECT_EQ(glaze.refusal->reason, PropertyRefusal::Reason::NoSilicaAlumina);
  EXPECT_EQ(glaze.refusal->side, 1);
  EXPECT_EQ(glaze.refusal->message, "2＃配比的 SiO2 与 Al2O3 之和为 0，无法计算耐火度和熔融温度。");
  EXPECT_TRUE(glaze.rows.empty());
  EXPECT_FALSE(glaze.sides[0].has_value());
  // The body still has Fe2O3 to normalise by, so it needs the temperatures too.
  const PropertyOutcome body = computeProperties(FormulaKind::Body, f2, std::nullopt, kUnnamed);
  ASSERT_FALSE(body.ok());
  EXPECT_EQ(body.refusal->reason, PropertyRefusal::Reason::NoSilicaAlumina);
}

TEST(PropertyRefusals, WeightsOfOtherOxidesThatTakePart) {
  const ResultFormula f1 = withOthers(plainRecord("1＃配比"), 0, 1, 0);
  const ResultFormula f2 = withOthers(plainRecord("2＃配比"), 2, 1, 0);
  for (std::optional<double> weight : {std::optional<double>(), std::optional<double>(0), std::optional<double>(-81.37),
                                       std::optional<double>(NAN), std::optional<double>(INFINITY)}) {
    const OtherOxides others = {{{"ZnO", weight}, {"B2O3", 69.62}, {"其它3", 1}}};
    // Only the second formula contains ZnO.
    const PropertyOutcome out = computeProperties(FormulaKind::Body, f1, f2, others);
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.refusal->side, 1);
    EXPECT_EQ(out.refusal->otherOxide, 1);
    if (weight) {
      EXPECT_EQ(out.refusal->reason, PropertyRefusal::Reason::InvalidWeight);
      EXPECT_NE(out.refusal->message.find("请重新设置ZnO分子量"), std::string::npos);
    } else {
      EXPECT_EQ(out.refusal->reason, PropertyRefusal::Reason::MissingWeight);
      EXPECT_EQ(out.refusal->message, "请设置ZnO分子量。");
    }
  }
}

TEST(PropertyTable, StoredValuesAndSumsOfStoredValues) {
  const ResultFormula f = withOthers(plainRecord(), 2, 1, 0);
  const PropertyOutcome out = computeOk(FormulaKind::Glaze, f, std::nullopt, kZnOB2O3, {nullptr, 6});
  double ro = 0;
  for (std::size_t r = 0; r < 5; ++r) {
    const double v = valueOf(out, r, 0, RO);
    EXPECT_EQ(v, roundFixed(v, 6));
    ro += v;
  }
  EXPECT_EQ(valueOf(out, 5, 0, RO), roundFixed(ro, 6));
  EXPECT_EQ(valueOf(out, 6, 0, RO), 1629.2);
  EXPECT_EQ(out.acidity[0], roundFixed(out.acidity[0], 6));
  EXPECT_EQ(out.acidity[0], roundFixed(acidityCoefficient(valueOf(out, 5, 0, RO), valueOf(out, 5, 0, R2O3),
                                                          valueOf(out, 5, 0, RO2)),
                                       6));
}

TEST(PropertyTable, FieldsInFileOrder) {
  const PropertyOutcome out = computeOk(FormulaKind::Body, plainRecord(), plainRecord("2＃配比"), kUnnamed);
  const auto fields = propertyFields(out.rows[1]);
  ASSERT_EQ(fields[0].name, "NAME0");
  EXPECT_FALSE(fields[0].text || fields[0].number);  // the title is in the first row only
  EXPECT_EQ(fields[1].text, "Na2O");
  EXPECT_EQ(fields[3].text, "Fe2O3");
  EXPECT_EQ(fields[4].number, valueOf(out, 1, 0, R2O3));
  EXPECT_EQ(fields[6].number, valueOf(out, 1, 0, RO2));
  EXPECT_EQ(fields[12].name, "RO2NAME1");
  EXPECT_EQ(fields[12].text, "TiO2");
  EXPECT_EQ(fields[13].number, valueOf(out, 1, 1, RO2));
  const auto first = propertyFields(out.rows[0]);
  EXPECT_EQ(first[7].text, "2＃配比坯式");
  const auto third = propertyFields(out.rows[2]);
  EXPECT_FALSE(third[4].text || third[4].number);  // an empty cell stays null, not 0
}

TEST(PropertyGrid, RowStylesFollowTheRoLabels) {
  const PropertyOutcome out = computeOk(FormulaKind::Glaze, plainRecord(), std::nullopt, kUnnamed);
  const PropertyRowStyle expected[] = {PropertyRowStyle::Plain,     PropertyRowStyle::Plain,
                                       PropertyRowStyle::Plain,     PropertyRowStyle::Plain,
                                       PropertyRowStyle::GroupSums, PropertyRowStyle::Properties,
                                       PropertyRowStyle::Acidity};
  for (std::size_t r = 0; r < out.rows.size(); ++r) EXPECT_EQ(propertyRowStyle(out.rows[r]), expected[r]) << r;
  // Either side's label colours the whole row; the first matching test wins.
  EXPECT_EQ(propertyRowStyle("", "耐火度"), PropertyRowStyle::Properties);
  EXPECT_EQ(propertyRowStyle("酸性系数", "一价系数"), PropertyRowStyle::GroupSums);
  EXPECT_EQ(propertyRowStyle("酸性系数   ", ""), PropertyRowStyle::Acidity);
  EXPECT_EQ(propertyRowStyle("ZnO", "二价系数"), PropertyRowStyle::Plain);
}

TEST(PropertyTable, PanelHeightAndTextCut) {
  EXPECT_EQ(propertyPanelHeight(7), 216);
  EXPECT_EQ(propertyPanelHeight(1), 0);
  EXPECT_EQ(propertyPanelHeight(0), 0);
  EXPECT_EQ(cutToBytes("一价系数", 8, kGbk), "一价系数");
  EXPECT_EQ(cutToBytes("一价系数", 7, kGbk), "一价系");
  EXPECT_EQ(cutToBytes("ab\xff\xfe", 3, kGbk), "ab\xff");  // stray bytes count one each
  EXPECT_EQ(cutToBytes("一价", 5, nullptr), "一");         // UTF-8 bytes without a counter
  EXPECT_EQ(cutToBytes("\xe4\xb8", 8, kGbk), "\xe4\xb8");  // a truncated sequence is two stray bytes
}

TEST(PropertyArithmetic, AcidityCoefficientGuards) {
  EXPECT_EQ(acidityCoefficient(std::nullopt, 1.0, 5.0), 0);
  EXPECT_EQ(acidityCoefficient(0.0, 0.0, 5.0), 0);
  EXPECT_DOUBLE_EQ(acidityCoefficient(0.5, 1.0, 7.0), 2.0);
}
