#include "core/solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "core/format.h"

using namespace tessaro::core;

namespace {

SolverMaterial material(std::string name, std::initializer_list<std::pair<Oxide, double>> contents, double dj = 0,
                        double il = 0, double hj = 100) {
  SolverMaterial m;
  m.name = std::move(name);
  for (const auto& [oxide, value] : contents) m.contents[oxide] = value;
  m.dj = dj;
  m.il = il;
  m.hj = hj;
  return m;
}

SolverTarget target(std::initializer_list<std::pair<Oxide, double>> contents) {
  SolverTarget t;
  for (const auto& [oxide, value] : contents) t.contents[oxide] = value;
  return t;
}

// Solves into `out`; a refusal fails the assertion that wraps the call.
testing::AssertionResult solve(FormulaResult& out, const std::vector<SolverMaterial>& materials, const SolverTarget& t,
                               int argument, int precision = 2) {
  SolveOutcome outcome = solveFormula(materials, t, argument, precision);
  if (const auto* r = std::get_if<SolverRefusal>(&outcome)) return testing::AssertionFailure() << "refused: " << r->message;
  out = std::get<FormulaResult>(std::move(outcome));
  return testing::AssertionSuccess();
}

// The refusal into `out`; a solved input fails the assertion that wraps the call.
testing::AssertionResult refuse(SolverRefusal& out, const std::vector<SolverMaterial>& materials, const SolverTarget& t,
                                int argument = kFormula1, int precision = 2) {
  SolveOutcome outcome = solveFormula(materials, t, argument, precision);
  if (!std::holds_alternative<SolverRefusal>(outcome)) return testing::AssertionFailure() << "not refused";
  out = std::get<SolverRefusal>(std::move(outcome));
  return testing::AssertionSuccess();
}

// Whether `r` is a failed formula of n raw materials: every figure 0, the raw
// proportions stored as `zeroProportion`, the other stored values as 0.00.
testing::AssertionResult failedWithZeros(const FormulaResult& r, std::size_t n, const std::string& zeroProportion) {
  const std::string zero = "    0.00";
  if (r.feasible) return testing::AssertionFailure() << "feasible";
  if (r.x != std::vector<double>(n, 0.0)) return testing::AssertionFailure() << "x not all 0";
  if (r.fired != std::vector<double>(n, 0.0)) return testing::AssertionFailure() << "fired proportions not all 0";
  if (r.proportions.size() != n) return testing::AssertionFailure() << r.proportions.size() << " proportions";
  for (const StoredValue& v : r.proportions) {
    if (v.text() != zeroProportion || v.value != 0) return testing::AssertionFailure() << "proportion \"" << v.text() << '"';
  }
  if (r.price.text() != zero) return testing::AssertionFailure() << "price \"" << r.price.text() << '"';
  for (const StoredValue& o : r.oxides) {
    if (o.text() != zero) return testing::AssertionFailure() << "oxide \"" << o.text() << '"';
  }
  if (r.total.text() != zero) return testing::AssertionFailure() << "total \"" << r.total.text() << '"';
  return testing::AssertionSuccess();
}

// Sum over the materials of content x solution, before normalisation.
double mixed(const std::vector<SolverMaterial>& materials, const FormulaResult& r, Oxide oxide) {
  double sum = 0;
  for (std::size_t i = 0; i < materials.size(); ++i) sum += materials[i].contents[oxide] * r.x[i];
  return sum;
}

std::vector<std::string> texts(const std::vector<StoredValue>& values) {
  std::vector<std::string> out;
  for (const auto& v : values) out.push_back(v.text());
  return out;
}

// Quartz, kaolin (with a loss on ignition) and corundum, for a target of
// SiO2 60 and Al2O3 20.
std::vector<SolverMaterial> threeMaterials() {
  return {material("石英", {{SIO2, 100}}, 1), material("高岭土", {{SIO2, 50}, {AL2O3, 50}}, 0.5, 10),
          material("刚玉", {{AL2O3, 100}}, 3)};
}

}  // namespace

// ---------------------------------------------------------------------------
// Hand-worked cases. n = 3, so the surplus column of row j is j + 2, the
// right-hand side is column 18; rows 5 (SiO2, t = 60) and 6 (Al2O3, t = 20)
// are the only rows with material content.
//
// After weighting and placement:
//   row 5:  6000  3000     0 | s(col 7)  -60 or 0 | 3600
//   row 6:     0  1000  2000 | s(col 8)  -20 or 0 |  400
//   every other constraint row: only its surplus, -1 (formula 1) or 0.
//   cost row 1:  1  0.5  3
// ---------------------------------------------------------------------------

TEST(SolverHandWorked, FormulaOneStopsAtTheFirstMixtureThatReachesEveryTarget) {
  // Row 16 = -(sum of rows 2..15): -6000 -4000 -2000, col 7 +60, col 8 +20,
  // the other twelve surplus columns +1.
  //
  // Pivot 1: q = 1 (-6000 is lowest); only row 5 has a positive entry, p = 5.
  //   row 5  / 6000:   1  0.5  0 | col 7 -0.01 | 0.6
  //   row 1  - row 5:  0  0    3 | col 7 +0.01 | -0.6
  //   row 16 + 6000 x row 5: 0 -1000 -2000 | col 7 0 | col 8 +20 | 3600
  // Pivot 2: q = 3 (-2000); only row 6 has a positive entry, p = 6.
  //   row 6  / 2000:   0  0.5  1 | col 8 -0.01 | 0.2
  //   row 1  - 3 x row 6:     0 -1.5  0 | col 8 +0.03 | -1.2
  //   row 16 + 2000 x row 6:  0  0    0 | col 8 0 | 4000
  // Then row 16 reads 0 in columns 1, 2, 3, 7, 8 and +1 in the surplus
  // columns of the empty rows. The scan keeps column 2 (a tie with column 1
  // that is cheaper in the cost row: -1.5), whose coefficient 0 improves
  // nothing; row 16 still has coefficients above the tolerance and no
  // artificial variable is above it, so the solution is final without phase 2.
  // x1 = 0.6 (row 5), x3 = 0.2 (row 6): S = 0.8, P = 75, 0, 25.
  const auto materials = threeMaterials();
  SolverTarget t = target({{SIO2, 60}, {AL2O3, 20}});
  FormulaResult r;
  ASSERT_TRUE(solve(r, materials, t, kFormula1));
  ASSERT_TRUE(r.feasible);
  EXPECT_EQ(r.pivots, (std::vector<Pivot>{{5, 1, 1}, {6, 3, 1}}));
  EXPECT_EQ(r.label, "1＃配比");
  ASSERT_EQ(r.x.size(), 3u);
  EXPECT_DOUBLE_EQ(r.x[0], 0.6);
  EXPECT_EQ(r.x[1], 0);
  EXPECT_DOUBLE_EQ(r.x[2], 0.2);
  // Raw: R = 75/100, 0/90, 25/100 (x 100), T = 100.
  EXPECT_EQ(texts(r.proportions), (std::vector<std::string>{"   75.00", "    0.00", "   25.00"}));
  // Price: (75 x 1 + 0 x 0.5 + 25 x 3) / 100.
  EXPECT_EQ(r.price.text(), "    1.50");
  EXPECT_EQ(r.oxides[SIO2].text(), "   75.00");
  EXPECT_EQ(r.oxides[AL2O3].text(), "   25.00");
  EXPECT_EQ(r.oxides[CAO].text(), "    0.00");
  EXPECT_EQ(r.total.text(), "  100.00");
  EXPECT_DOUBLE_EQ(r.total.value, 100);
}

TEST(SolverHandWorked, FormulaTwoMeetsTheTargetsAndThenLowersThePrice) {
  // Without surplus coefficients row 16 = -6000 -4000 -2000 and 0 elsewhere.
  // Phase 1 pivots as formula 1 does: (row 5, column 1), then (row 6,
  // column 3), leaving
  //   row 5:  1  0.5  0 | 0.6
  //   row 6:  0  0.5  1 | 0.2
  //   row 1:  0 -1.5  0 | -1.2
  //   row 16: all 0 in columns 1..17
  // Nothing in row 16 is above the tolerance: phase 2 on the cost row.
  // Pivot 3: q = 2 (-1.5). Ratios row 5: 0.6/0.5 = 1.2, row 6: 0.2/0.5 = 0.4,
  // p = 6.
  //   row 6 / 0.5:            0  1  2 | 0.4
  //   row 5 - 0.5 x row 6:    1  0 -1 | 0.4
  //   row 1 + 1.5 x row 6:    0  0  3 | -0.6
  // Row 1 has no coefficient below -1e-6: final. x1 = 0.4, x2 = 0.4, the
  // cheapest of the mixtures that meet both targets (price 0.6 against 1.2).
  // S = 0.8, P = 50, 50, 0.
  const auto materials = threeMaterials();
  SolverTarget t = target({{SIO2, 60}, {AL2O3, 20}});
  FormulaResult r;
  ASSERT_TRUE(solve(r, materials, t, kFormula2));
  ASSERT_TRUE(r.feasible);
  EXPECT_EQ(r.pivots, (std::vector<Pivot>{{5, 1, 1}, {6, 3, 1}, {6, 2, 2}}));
  EXPECT_EQ(r.label, "2＃配比");
  EXPECT_DOUBLE_EQ(r.x[0], 0.4);
  EXPECT_DOUBLE_EQ(r.x[1], 0.4);
  EXPECT_EQ(r.x[2], 0);
  EXPECT_DOUBLE_EQ(r.fired[0], 50);
  EXPECT_DOUBLE_EQ(r.fired[1], 50);
  // Raw: R = 50/100 x 100 = 50, 50/90 x 100 = 55.56, 0; T = 105.56;
  // 50/105.56 x 100 = 47.368..., 55.56/105.56 x 100 = 52.631...
  EXPECT_EQ(texts(r.proportions), (std::vector<std::string>{"   47.37", "   52.63", "    0.00"}));
  // Price from the stored proportions: (47.37 x 1 + 52.63 x 0.5) / 100 = 0.73685.
  EXPECT_EQ(r.price.text(), "    0.74");
  EXPECT_DOUBLE_EQ(r.price.value, 0.74);
  // Composition from the fired proportions 50.00 and 50.00.
  EXPECT_EQ(r.oxides[SIO2].text(), "   75.00");
  EXPECT_EQ(r.oxides[AL2O3].text(), "   25.00");
  EXPECT_EQ(r.total.text(), "  100.00");
}

// ---------------------------------------------------------------------------
// Edge cases of the solver.
// ---------------------------------------------------------------------------

TEST(SolverTies, AllPricesZeroKeepPhaseOneBasisAndLowerColumn) {
  // Two identical materials: every tie falls to the lower column number, and
  // formula 2's phase 2 finds no negative cost. The first ratio test is a tie
  // too (row 5: 1600 / 3200, row 6: 100 / 200) and keeps the earlier row.
  // Formula 1 then brings in the SiO2 surplus (column 6, -2.5 in row 16)
  // on row 6 at level 0.
  std::vector<SolverMaterial> materials = {material("甲", {{SIO2, 80}, {AL2O3, 20}}),
                                           material("乙", {{SIO2, 80}, {AL2O3, 20}})};
  const SolverTarget t = target({{SIO2, 40}, {AL2O3, 10}});
  for (int argument : {kFormula1, kFormula2}) {
    FormulaResult r;
    ASSERT_TRUE(solve(r, materials, t, argument));
    ASSERT_TRUE(r.feasible);
    EXPECT_DOUBLE_EQ(r.x[0], 0.5);
    EXPECT_EQ(r.x[1], 0);
    const std::vector<Pivot> expected =
        argument == kFormula1 ? std::vector<Pivot>{{5, 1, 1}, {6, 6, 1}} : std::vector<Pivot>{{5, 1, 1}};
    EXPECT_EQ(r.pivots, expected);
    EXPECT_EQ(r.price.text(), "    0.00");
  }
}

TEST(SolverTies, PhaseOneNearTieGoesToTheCheaperColumn) {
  // Column 2 is worse than column 1 by 2e-9 in row 16, within the
  // tolerance, and cheaper: phase 1 takes it.
  std::vector<SolverMaterial> materials = {material("贵", {{SIO2, 80}, {AL2O3, 20}}, 5),
                                           material("贱", {{SIO2, 80}, {AL2O3, 19.9999999998}}, 1)};
  const SolverTarget t = target({{SIO2, 40}, {AL2O3, 10}});
  for (int argument : {kFormula1, kFormula2}) {
    FormulaResult r;
    ASSERT_TRUE(solve(r, materials, t, argument));
    ASSERT_TRUE(r.feasible);
    EXPECT_EQ(r.x[0], 0) << argument;
    EXPECT_NEAR(r.x[1], 0.5, 1e-9) << argument;
    EXPECT_EQ(r.pivots.front().column, 2) << argument;
  }
}

TEST(SolverZeroTarget, FormulaTwoHoldsMaterialsWithTheOxideAtZero) {
  // CaO is wanted at 0, and only the wollastonite-like material brings SiO2.
  std::vector<SolverMaterial> materials = {material("硅灰石", {{SIO2, 50}, {CAO, 50}}, 1),
                                           material("刚玉", {{AL2O3, 100}}, 1)};
  const SolverTarget t = target({{SIO2, 60}, {AL2O3, 40}});

  // Formula 2: the CaO row forces 50 x1 <= 0, so SiO2 stays short.
  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_EQ(f2.x[0], 0);
  EXPECT_DOUBLE_EQ(f2.x[1], 0.4);
  EXPECT_EQ(f2.oxides[CAO].text(), "    0.00");
  EXPECT_EQ(f2.oxides[SIO2].text(), "    0.00");

  // Formula 1: the CaO row is always met, the material is used.
  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  ASSERT_TRUE(f1.feasible);
  EXPECT_DOUBLE_EQ(f1.x[0], 1.2);
  EXPECT_DOUBLE_EQ(f1.x[1], 0.4);
  EXPECT_EQ(f1.oxides[CAO].text(), "   37.50");  // 50 x 1.2 / 1.6
}

TEST(SolverMandatory, MarkWithoutAmountExcludesInFormulaTwoAndIsIgnoredInFormulaOne) {
  std::vector<SolverMaterial> materials = {material("钾长石", {{SIO2, 65}, {AL2O3, 18}, {K2O, 17}}, 1),
                                           material("石英", {{SIO2, 100}}, 1),
                                           material("刚玉", {{AL2O3, 100}}, 1)};
  materials[0].marks[1] = true;  // marked in BXL2, no amount in the target
  const SolverTarget t = target({{SIO2, 65}, {AL2O3, 18}, {K2O, 17}});

  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_EQ(f2.x[0], 0);  // held at 0, so K2O stays short
  EXPECT_EQ(f2.oxides[K2O].text(), "    0.00");

  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  ASSERT_TRUE(f1.feasible);
  EXPECT_GE(f1.x[0], 1 - 1e-9);  // only the feldspar brings K2O
  for (Oxide o : {SIO2, AL2O3, K2O}) EXPECT_GE(mixed(materials, f1, o), t.contents[o] * (1 - 1e-9));
}

TEST(SolverMandatory, AnyTextIsAMark) {
  EXPECT_TRUE(isMarked("选"));
  EXPECT_TRUE(isMarked("选 "));  // counts, though it is not highlighted
  EXPECT_TRUE(isMarked("x"));
  EXPECT_FALSE(isMarked(""));
  EXPECT_FALSE(isMarked("   "));
}

TEST(SolverMandatory, TwoMaterialsOnOneMarkShareTheAmount) {
  std::vector<SolverMaterial> materials = {material("石英甲", {{SIO2, 100}}, 2), material("石英乙", {{SIO2, 100}}, 1),
                                           material("刚玉", {{AL2O3, 100}}, 1)};
  materials[0].marks[0] = true;
  materials[1].marks[0] = true;
  SolverTarget t = target({{SIO2, 60}, {AL2O3, 40}});
  t.amounts[0] = "60";

  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_NEAR(f2.x[0] + f2.x[1], 0.6, 1e-12);
  EXPECT_NEAR(f2.x[2], 0.4, 1e-12);

  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  ASSERT_TRUE(f1.feasible);
  EXPECT_GE(f1.x[0] + f1.x[1], 0.6 - 1e-12);
}

TEST(SolverMandatory, AmountOfTwentyBoundsTheMarkedMaterial) {
  // Feldspar is forced at 20 %: in formula 2 its x is at most 0.20, exactly
  // 0.20 here since the row is met; the raw proportion then differs from 20
  // by the normalisation and the loss on ignition of the kaolin.
  std::vector<SolverMaterial> materials = {material("钾长石", {{SIO2, 65}, {AL2O3, 18}, {K2O, 17}}, 1),
                                           material("石英", {{SIO2, 100}}, 1),
                                           material("高岭土", {{SIO2, 54}, {AL2O3, 46}}, 1, 14)};
  materials[0].marks[2] = true;
  SolverTarget t = target({{SIO2, 70}, {AL2O3, 24}, {K2O, 3.4}});
  t.amounts[2] = "20";

  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_NEAR(f2.x[0], 0.2, 1e-12);
  EXPECT_NE(f2.proportions[0].text(), "   20.00");
  const double s = f2.x[0] + f2.x[1] + f2.x[2];
  const double w = 0.2 / 100 + f2.x[1] / 100 + f2.x[2] / 86;  // raw weights / 100
  EXPECT_EQ(f2.proportions[0].value, roundFixed(0.2 / 100 / w * 100, 2));
  EXPECT_GT(s, 0);

  // An amount of 50 would carry K2O past its target: formula 2 keeps the
  // K2O row and leaves the mandatory row short, at 0.20.
  t.amounts[2] = "50";
  FormulaResult over;
  ASSERT_TRUE(solve(over, materials, t, kFormula2));
  ASSERT_TRUE(over.feasible);
  EXPECT_NEAR(over.x[0], 0.2, 1e-12);
  EXPECT_LE(mixed(materials, over, K2O), 3.4 * (1 + 1e-12));
  // Formula 1 asks for at least 0.50 and gets it.
  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  ASSERT_TRUE(f1.feasible);
  EXPECT_GE(f1.x[0], 0.5 - 1e-12);
}

TEST(SolverMandatory, AmountWithoutMarkCannotBeMet) {
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}}, 1), material("刚玉", {{AL2O3, 100}}, 1)};
  SolverTarget t = target({{SIO2, 60}, {AL2O3, 40}});
  t.amounts[1] = "10";
  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  EXPECT_FALSE(f1.feasible);
  // Formula 2 leaves that row short and still meets the others.
  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_DOUBLE_EQ(f2.x[0], 0.6);
  EXPECT_DOUBLE_EQ(f2.x[1], 0.4);
  // An amount of 0 is no constraint at all.
  t.amounts[1] = "0";
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  EXPECT_TRUE(f1.feasible);
  // Blanks alone are no amount.
  t.amounts[1] = "   ";
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  EXPECT_TRUE(f1.feasible);
}

TEST(SolverSize, ThirtyFiveMaterialsUseTheLastColumn) {
  // 35 materials: the right-hand side sits in column 50. Only the last
  // material can reach the CaO target, so a misplaced right-hand side or a
  // write past the tableau shows in its x.
  std::vector<SolverMaterial> materials;
  for (int i = 0; i < 34; ++i) materials.push_back(material("原料" + std::to_string(i), {{SIO2, 50.0 + i}}, 1));
  materials.push_back(material("方解石", {{CAO, 56}, {SIO2, 1}}, 1, 44));
  const SolverTarget t = target({{SIO2, 70}, {CAO, 14}});
  for (int argument : {kFormula1, kFormula2}) {
    FormulaResult r;
    ASSERT_TRUE(solve(r, materials, t, argument));
    ASSERT_TRUE(r.feasible);
    ASSERT_EQ(r.x.size(), 35u);
    EXPECT_NEAR(r.x[34], 0.25, 1e-12);
    EXPECT_GE(mixed(materials, r, SIO2), 70 * (1 - 1e-9));
    if (argument == kFormula2) {
      EXPECT_LE(mixed(materials, r, SIO2), 70 * (1 + 1e-9));
    }
    for (const Pivot& p : r.pivots) EXPECT_LE(p.column, 49);
  }
  materials.push_back(material("多余", {{SIO2, 100}}));
  SolverRefusal refusal;
  ASSERT_TRUE(refuse(refusal, materials, t));
  EXPECT_EQ(refusal.kind, SolverRefusal::Kind::TooManyMaterials);
  EXPECT_EQ(refusal.message.rfind("选择原料最多不能超过35种。", 0), 0u);
  EXPECT_NE(refusal.message.find("36"), std::string::npos);
}

TEST(SolverPrecision, PrecisionZeroGivesWholeNumbersEverywhere) {
  // x = 1/3 each: P = 33.33...; raw proportions and the composition's fired
  // proportions are whole numbers.
  std::vector<SolverMaterial> materials = {material("甲", {{SIO2, 100}}, 3), material("乙", {{AL2O3, 100}}, 3),
                                           material("丙", {{CAO, 100}}, 3)};
  const SolverTarget t = target({{SIO2, 10}, {AL2O3, 10}, {CAO, 10}});
  FormulaResult r;
  ASSERT_TRUE(solve(r, materials, t, kFormula2, 0));
  ASSERT_TRUE(r.feasible);
  EXPECT_EQ(texts(r.proportions), (std::vector<std::string>{"      33", "      33", "      33"}));
  EXPECT_EQ(r.proportions[0].value, 33);
  EXPECT_EQ(r.price.text(), "    2.97");        // 99 x 3 / 100
  EXPECT_EQ(r.oxides[SIO2].text(), "   33.00");  // 100 x 33 / 100, not 33.33
  EXPECT_EQ(r.total.text(), "   99.00");

  FormulaResult one;
  ASSERT_TRUE(solve(one, materials, t, kFormula2, 1));
  EXPECT_EQ(one.proportions[0].text(), "    33.3");
  EXPECT_EQ(one.oxides[CAO].text(), "   33.30");
}

TEST(SolverShortage, MoreMatchedOxidesThanUsableMaterials) {
  // Two materials for three non-zero targets that they cannot all meet.
  std::vector<SolverMaterial> materials = {material("甲", {{SIO2, 90}, {AL2O3, 10}}, 1),
                                           material("乙", {{AL2O3, 60}, {CAO, 40}}, 1)};
  const SolverTarget t = target({{SIO2, 50}, {AL2O3, 30}, {CAO, 30}});

  FormulaResult f1;
  ASSERT_TRUE(solve(f1, materials, t, kFormula1));
  ASSERT_TRUE(f1.feasible);
  double s = 0;
  for (double v : f1.x) s += v;
  for (Oxide o : {SIO2, AL2O3, CAO}) {
    EXPECT_GE(mixed(materials, f1, o), t.contents[o] * (1 - 1e-6)) << kOxideFields[o];
    // The stored composition is the unnormalised one scaled by 1 / S.
    EXPECT_NEAR(f1.oxides[o].value, mixed(materials, f1, o) / s, 0.02) << kOxideFields[o];
  }

  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  if (f2.feasible) {
    for (Oxide o : {SIO2, AL2O3, CAO}) EXPECT_LE(mixed(materials, f2, o), t.contents[o] * (1 + 1e-6));
  }
}

TEST(SolverFailure, NoMixtureGivesZerosEverywhere) {
  // Nothing carries MgO: formula 1 cannot reach it.
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}}, 1), material("刚玉", {{AL2O3, 100}}, 1)};
  const SolverTarget t = target({{SIO2, 60}, {AL2O3, 30}, {MGO, 10}});
  for (int precision : {0, 2}) {
    FormulaResult r;
    ASSERT_TRUE(solve(r, materials, t, kFormula1, precision));
    EXPECT_EQ(r.label, "1＃配比");
    EXPECT_TRUE(failedWithZeros(r, 2, precision == 0 ? "       0" : "    0.00"));
  }
  // Formula 2 stays short of MgO but meets the rest.
  FormulaResult f2;
  ASSERT_TRUE(solve(f2, materials, t, kFormula2));
  ASSERT_TRUE(f2.feasible);
  EXPECT_DOUBLE_EQ(f2.x[0], 0.6);
  EXPECT_DOUBLE_EQ(f2.x[1], 0.3);
}

TEST(SolverFailure, PivotBoundCountsAsFailure) {
  // The hand-worked formula 2 needs three pivots.
  const auto materials = threeMaterials();
  const SolverTarget t = target({{SIO2, 60}, {AL2O3, 20}});
  const FormulaResult r = std::get<FormulaResult>(solveFormula(materials, t, kFormula2, 2, 2));
  EXPECT_TRUE(r.pivotLimitReached);
  EXPECT_TRUE(failedWithZeros(r, 3, "    0.00"));
  EXPECT_TRUE(std::get<FormulaResult>(solveFormula(materials, t, kFormula2, 2, 3)).feasible);
}

TEST(SolverFailure, FigureBeyondTheRangeOfADoubleCountsAsFailure) {
  // A fired part of 1e-310 passes the input check, but the raw proportion
  // 100 / 1e-310 x 100 is beyond the range of a double.
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}}, 1, 0, 1e-310),
                                           material("刚玉", {{AL2O3, 100}}, 1)};
  const SolverTarget t = target({{SIO2, 60}, {AL2O3, 40}});
  for (int argument : {kFormula1, kFormula2}) {
    FormulaResult r;
    ASSERT_TRUE(solve(r, materials, t, argument));
    EXPECT_TRUE(failedWithZeros(r, 2, "    0.00")) << argument;
  }
}

TEST(SolverFailure, AllTargetsZero) {
  // Formula 1 is met by x = 0 (S = 0): every proportion 0, composition 0.
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}}, 1)};
  FormulaResult r;
  ASSERT_TRUE(solve(r, materials, SolverTarget{}, kFormula1));
  EXPECT_TRUE(r.feasible);
  EXPECT_EQ(r.x, (std::vector<double>{0}));
  EXPECT_EQ(r.proportions[0].text(), "    0.00");
  EXPECT_EQ(r.total.text(), "    0.00");
}

// ---------------------------------------------------------------------------
// Input the solver refuses before computing anything.
// ---------------------------------------------------------------------------

TEST(SolverRefusals, MaterialWithoutFiredPartIsNamed) {
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}}),
                                           material("有机物", {{SIO2, 1}}, 0, 100, 100)};
  const SolverTarget t = target({{SIO2, 50}});
  SolverRefusal r;
  ASSERT_TRUE(refuse(r, materials, t));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::NoFiredPart);
  EXPECT_EQ(r.material, 1);
  EXPECT_EQ(r.field, "HJ");
  EXPECT_NE(r.message.find("有机物"), std::string::npos);
  EXPECT_NE(r.message.find("等于"), std::string::npos);

  materials[1].hj = 90;  // a loss on ignition above the total is no better
  ASSERT_TRUE(refuse(r, materials, t, kFormula2));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::NoFiredPart);
  EXPECT_NE(r.message.find("小于"), std::string::npos);
}

TEST(SolverRefusals, AmountsMustBeNonNegativeNumbers) {
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}})};
  SolverTarget t = target({{SIO2, 50}});
  t.amounts[1] = "2O";
  SolverRefusal r;
  ASSERT_TRUE(refuse(r, materials, t));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::BadAmount);
  EXPECT_EQ(r.field, "BXL2");
  EXPECT_NE(r.message.find("“2O”"), std::string::npos);

  t.amounts[1] = "-5";
  ASSERT_TRUE(refuse(r, materials, t, kFormula2));
  EXPECT_EQ(r.field, "BXL2");
  EXPECT_NE(r.message.find("负数"), std::string::npos);

  t.amounts[1] = " 20 ";
  EXPECT_TRUE(std::holds_alternative<FormulaResult>(solveFormula(materials, t, kFormula1, 2)));
}

TEST(SolverRefusals, NegativeTargetAndBadSettings) {
  std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}})};
  SolverRefusal r;
  ASSERT_TRUE(refuse(r, materials, target({{SIO2, 50}, {MGO, -1}})));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::NegativeTarget);
  EXPECT_EQ(r.field, "MGO");
  // Fe2O3 and TiO2 are never fitted, so their target does not matter.
  EXPECT_TRUE(std::holds_alternative<FormulaResult>(
      solveFormula(materials, target({{SIO2, 50}, {FE2O3, -1}}), kFormula1, 2)));

  ASSERT_TRUE(refuse(r, materials, target({{SIO2, 50}}), 1));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::BadArgument);
  ASSERT_TRUE(refuse(r, materials, target({{SIO2, 50}}), kFormula1, 3));
  EXPECT_EQ(r.kind, SolverRefusal::Kind::BadArgument);
}

TEST(SolverRefusals, MaterialValuesAreBoundedInMagnitude) {
  // Each value at its bound is solved; just past it the material and the
  // field are named. IL goes below -kMaxContent, as above it it would leave
  // no fired part.
  using Cell = double& (*)(SolverMaterial&);
  const struct {
    std::string field;
    double bound;
    Cell cell;
  } cases[] = {
      {"SIO2", kMaxContent, [](SolverMaterial& m) -> double& { return m.contents[SIO2]; }},
      {"FE2O3", kMaxContent, [](SolverMaterial& m) -> double& { return m.contents[FE2O3]; }},
      {"IL", -kMaxContent, [](SolverMaterial& m) -> double& { return m.il; }},
      {"HJ", kMaxContent, [](SolverMaterial& m) -> double& { return m.hj; }},
      {"DJ", kMaxPrice, [](SolverMaterial& m) -> double& { return m.dj; }},
      {"DJ", -kMaxPrice, [](SolverMaterial& m) -> double& { return m.dj; }},
  };
  const SolverTarget t = target({{SIO2, 60}, {AL2O3, 20}});
  for (const auto& c : cases) {
    std::vector<SolverMaterial> materials = threeMaterials();
    c.cell(materials[1]) = c.bound;
    EXPECT_TRUE(std::holds_alternative<FormulaResult>(solveFormula(materials, t, kFormula2, 2))) << c.field;

    c.cell(materials[1]) = std::nextafter(c.bound, 2 * c.bound);
    SolverRefusal r;
    ASSERT_TRUE(refuse(r, materials, t, kFormula2));
    EXPECT_EQ(r.kind, SolverRefusal::Kind::OutOfRange) << c.field;
    EXPECT_EQ(r.material, 1);
    EXPECT_EQ(r.field, c.field);
    EXPECT_EQ(r.message.rfind("原料“高岭土”的" + c.field + "（", 0), 0u) << r.message;
    EXPECT_NE(r.message.find("绝对值不能大于" + formatGeneral(std::fabs(c.bound))), std::string::npos) << r.message;
  }
}

TEST(SolverRefusals, TargetsAndAmountsAreBounded) {
  const std::vector<SolverMaterial> materials = {material("石英", {{SIO2, 100}})};
  auto outcome = [&](double sio2, const std::string& amount) {
    SolverTarget t = target({{SIO2, sio2}});
    t.amounts[0] = amount;
    return solveFormula(materials, t, kFormula1, 2);
  };
  // At the bounds: solved.
  EXPECT_TRUE(std::holds_alternative<FormulaResult>(outcome(kMaxContent, "")));
  EXPECT_TRUE(std::holds_alternative<FormulaResult>(outcome(kMinTarget, "")));
  EXPECT_TRUE(std::holds_alternative<FormulaResult>(outcome(50, "100")));

  // Just past them: refused, naming the field.
  for (const double sio2 : {std::nextafter(kMaxContent, 2 * kMaxContent), std::nextafter(kMinTarget, 0.0), 1e200}) {
    const SolveOutcome o = outcome(sio2, "");
    const auto* r = std::get_if<SolverRefusal>(&o);
    ASSERT_NE(r, nullptr) << sio2;
    EXPECT_EQ(r->kind, SolverRefusal::Kind::OutOfRange);
    EXPECT_EQ(r->material, -1);
    EXPECT_EQ(r->field, "SIO2");
    EXPECT_EQ(r->message.rfind("目标配方的SIO2（", 0), 0u) << r->message;
  }
  for (const std::string amount : {"100.000000001", "1e300"}) {
    const SolveOutcome o = outcome(50, amount);
    const auto* r = std::get_if<SolverRefusal>(&o);
    ASSERT_NE(r, nullptr) << amount;
    EXPECT_EQ(r->kind, SolverRefusal::Kind::BadAmount);
    EXPECT_EQ(r->field, "BXL1");
    EXPECT_NE(r->message.find("“" + amount + "”不能大于100"), std::string::npos) << r->message;
  }
}
