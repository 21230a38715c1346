// Thermal expansion by additive factors: the two bundled sets' arithmetic,
// the variable factors at their thresholds, the missing-oxide rule, the
// reading of factor lines and the body-fit margins.
#include "core/expansion.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>
#include <vector>

using namespace tessaro::core;

namespace {

OxideFactor factor(const std::string& oxide, const std::string& text) {
  auto parsed = parseFactor(oxide, text);
  if (auto* e = std::get_if<FactorParseError>(&parsed)) ADD_FAILURE() << oxide << "=" << text << ": " << e->message;
  return std::get<OxideFactor>(parsed);
}

// The lines of the bundled Appen file.
FactorSet appen() {
  FactorSet set{"Appen", ExpansionBasis::MolePercent, 100, {}};
  const std::vector<std::pair<std::string, std::string>> lines = {
      {"SiO2", "38 | above SiO2 67 slope -1.0"},
      {"TiO2", "30 | above SiO2 50 slope -1.5 min -15"},
      {"PbO", "130 | above Na2O+K2O+Li2O 3 slope 5 max 190"},
      {"B2O3", "-50 | below psi 4 slope -12.5 max 0"},
      {"Li2O", "270"}, {"Na2O", "395"}, {"K2O", "465"}, {"MgO", "60"}, {"CaO", "130"}, {"BaO", "200"},
      {"ZnO", "50"}, {"Fe2O3", "55"}, {"Al2O3", "-30"},
  };
  for (const auto& [oxide, text] : lines) set.factors.push_back(factor(oxide, text));
  return set;
}

// The lines of the bundled Winkelmann & Schott file.
FactorSet winkelmannSchott() {
  FactorSet set{"Winkelmann-Schott", ExpansionBasis::WeightPercent, 3, {}};
  const std::vector<std::pair<std::string, std::string>> lines = {
      {"SiO2", "0.8"}, {"B2O3", "0.1"}, {"Na2O", "10.0"}, {"K2O", "8.5"}, {"MgO", "0.1"}, {"CaO", "5.0"},
      {"BaO", "3.0"},  {"ZnO", "1.8"},  {"PbO", "3.0"},   {"Al2O3", "5.0"}, {"P2O5", "2.0"}, {"As2O5", "2.0"},
  };
  for (const auto& [oxide, text] : lines) set.factors.push_back(factor(oxide, text));
  return set;
}

OtherOxides others(std::string a, std::optional<double> wa, std::string b = "其它2",
                   std::optional<double> wb = std::nullopt, std::string c = "其它3",
                   std::optional<double> wc = std::nullopt) {
  return {OtherOxide{std::move(a), wa}, OtherOxide{std::move(b), wb}, OtherOxide{std::move(c), wc}};
}

const ExpansionContribution* contribution(const ExpansionResult& r, const std::string& oxide) {
  for (const auto& c : r.contributions)
    if (c.oxide == oxide) return &c;
  return nullptr;
}

}  // namespace

// Soda-lime glass of 72 SiO2, 16 Na2O, 12 CaO (wt%).
//   moles: SiO2 72/60.1 = 1.198003, Na2O 16/62.0 = 0.258065, CaO 12/56.1 = 0.213904; Σ 1.669972
//   mol%:  SiO2 71.7379, Na2O 15.4532, CaO 12.8088
//   SiO2 above 67 mol%: f = 38 − (71.7379 − 67) = 33.2621
//   α = (71.7379 × 33.2621 + 15.4532 × 395 + 12.8088 × 130) / 100
//     = (2386.15 + 6104.02 + 1665.15) / 100 = 101.553
TEST(ExpansionArithmetic, AppenWorkedExample) {
  Contents c{};
  c[SIO2] = 72;
  c[NA2O] = 16;
  c[CAO] = 12;
  const ExpansionResult r = computeExpansion(appen(), c, others("其它1", std::nullopt));
  ASSERT_TRUE(r.alpha);
  EXPECT_NEAR(*r.alpha, 101.553237, 1e-6);
  ASSERT_EQ(r.contributions.size(), 3u);
  EXPECT_EQ(r.contributions[0].oxide, "SiO2");  // main oxides in column order
  EXPECT_EQ(r.contributions[1].oxide, "CaO");
  EXPECT_NEAR(r.contributions[0].factor, 33.262053, 1e-6);
  EXPECT_TRUE(r.missing.empty());
}

// 70 SiO2, 15 Na2O, 10 CaO, 3 Al2O3, 2 B2O3 (wt%), cubic factors:
//   70 × 0.8 + 15 × 10 + 10 × 5 + 3 × 5 + 2 × 0.1 = 56 + 150 + 50 + 15 + 0.2 = 271.2
//   linear α = 271.2 / 3 = 90.4
// Given as 99 % of these figures (total 99), the per cents are normalised to
// 100 and α stays 90.4. B2O3 is an other oxide named in small letters.
TEST(ExpansionArithmetic, WinkelmannSchottWorkedExampleNormalisedTo100) {
  Contents c{};
  c[SIO2] = 70 * 0.99;
  c[NA2O] = 15 * 0.99;
  c[CAO] = 10 * 0.99;
  c[AL2O3] = 3 * 0.99;
  c[QTCF2] = 2 * 0.99;
  const ExpansionResult r =
      computeExpansion(winkelmannSchott(), c, others("其它1", std::nullopt, "b2o3"));
  ASSERT_TRUE(r.alpha);
  EXPECT_NEAR(*r.alpha, 90.4, 1e-9);
  ASSERT_EQ(r.contributions.size(), 5u);
  EXPECT_EQ(r.contributions.back().oxide, "b2o3");  // other oxides after the main ones
  EXPECT_NEAR(r.contributions.back().value, 0.2 / 3, 1e-12);
}

// Each of Appen's variable factors at its threshold, just past it, and where
// its limit takes over.
TEST(ExpansionArithmetic, AppenVariableFactorsAroundThresholdsAndLimits) {
  const FactorSet set = appen();
  const auto at = [&](const char* oxide, double v) {
    const OxideFactor* f = set.find(oxide);
    return ruleFactor(f->base, *f->rule, v);
  };
  EXPECT_DOUBLE_EQ(at("SiO2", 60), 38);
  EXPECT_DOUBLE_EQ(at("SiO2", 67), 38);
  EXPECT_DOUBLE_EQ(at("SiO2", 68), 37);
  EXPECT_DOUBLE_EQ(at("SiO2", 80), 25);

  EXPECT_DOUBLE_EQ(at("TiO2", 50), 30);
  EXPECT_DOUBLE_EQ(at("TiO2", 52), 27);
  EXPECT_DOUBLE_EQ(at("TiO2", 80), -15);  // 30 − 45, at the limit
  EXPECT_DOUBLE_EQ(at("TiO2", 90), -15);  // would be −30

  EXPECT_DOUBLE_EQ(at("PbO", 3), 130);
  EXPECT_DOUBLE_EQ(at("PbO", 5), 140);
  EXPECT_DOUBLE_EQ(at("PbO", 15), 190);
  EXPECT_DOUBLE_EQ(at("PbO", 20), 190);  // would be 215

  EXPECT_DOUBLE_EQ(at("B2O3", 5), -50);
  EXPECT_DOUBLE_EQ(at("B2O3", 4), -50);
  EXPECT_DOUBLE_EQ(at("B2O3", 3), -37.5);
  EXPECT_DOUBLE_EQ(at("B2O3", 0), 0);
  EXPECT_DOUBLE_EQ(at("B2O3", -1), 0);  // would be 12.5
}

// The variables from a composition: psi over the RO group (an other oxide of
// RO kind included), and the R2O sum by names that include an absent Li2O.
// Contents are moles × molecular weight, so the mole per cents are plain:
// SiO2 4, CaO 3, Na2O 1, Al2O3 1, B2O3 1 mol of 10 → psi = (30 + 10 − 10) / 10 = 3.
TEST(ExpansionArithmetic, VariablesFollowTheComposition) {
  Contents c{};
  c[SIO2] = 4 * 60.1;
  c[CAO] = 3 * 56.1;
  c[NA2O] = 62.0;
  c[AL2O3] = 101.9;
  c[QTCF1] = 69.6;
  const FactorSet set = appen();
  ExpansionResult r = computeExpansion(set, c, others("B2O3", 69.6));
  ASSERT_TRUE(contribution(r, "B2O3"));
  EXPECT_NEAR(contribution(r, "B2O3")->percent, 10, 1e-9);
  EXPECT_NEAR(contribution(r, "B2O3")->factor, -37.5, 1e-9);

  // One mol ZnO more (11 mol): psi = (4 + 1 − 1) / 1 = 4 → −50.
  c[QTCF2] = 81.4;
  r = computeExpansion(set, c, others("B2O3", 69.6, "ZnO", 81.4));
  ASSERT_TRUE(r.alpha);
  EXPECT_NEAR(contribution(r, "B2O3")->factor, -50, 1e-9);

  // PbO 1 mol more (12 mol): R2O = Na2O 1/12 = 8.333 mol% (Li2O absent, K2O 0)
  // → 130 + 5 × (8.333 − 3) = 156.667.
  c[QTCF3] = 223.2;
  r = computeExpansion(appen(), c, others("B2O3", 69.6, "ZnO", 81.4, "PbO", 223.2));
  ASSERT_TRUE(contribution(r, "PbO"));
  EXPECT_NEAR(contribution(r, "PbO")->factor, 130 + 5 * (100.0 / 12 - 3), 1e-9);
}

// Every oxide present without a factor is named and α has no value; an other
// oxide takes part by its name, and a mole-per-cent set needs its weight.
TEST(ExpansionArithmetic, MissingOxidesAreNamedNeverCountedAsZero) {
  Contents c{};
  c[SIO2] = 70;
  c[FE2O3] = 0.5;
  c[TIO2] = 0.2;
  c[CAO] = 10;
  c[QTCF1] = 2;  // Li2O: not in Winkelmann & Schott
  c[QTCF3] = 0;  // unnamed but absent: no matter
  ExpansionResult r = computeExpansion(winkelmannSchott(), c, others("Li2O", 29.9));
  EXPECT_FALSE(r.alpha);
  EXPECT_EQ(r.missing, (std::vector<std::string>{"Fe2O3", "TiO2", "Li2O"}));
  EXPECT_TRUE(r.withoutWeight.empty());

  // Appen knows all three; Li2O without a molecular weight cannot be put in moles.
  r = computeExpansion(appen(), c, others("LI2O", std::nullopt));
  EXPECT_FALSE(r.alpha);
  EXPECT_EQ(r.missing, std::vector<std::string>{"LI2O"});
  EXPECT_EQ(r.withoutWeight, std::vector<std::string>{"LI2O"});
  r = computeExpansion(appen(), c, others("LI2O", 29.9));
  EXPECT_TRUE(r.alpha);
  ASSERT_TRUE(contribution(r, "LI2O"));
  EXPECT_EQ(contribution(r, "LI2O")->factor, 270);

  // A weight-per-cent set needs no weight; an empty formula gives nothing.
  c[FE2O3] = c[TIO2] = 0;
  EXPECT_TRUE(computeExpansion(winkelmannSchott(), c, others("Na2O", std::nullopt)).alpha);
  EXPECT_FALSE(computeExpansion(appen(), Contents{}, others("其它1", std::nullopt)).alpha);
}

TEST(ExpansionParsing, BadLinesAreRefusedWithTheReason) {
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"38 |", "不完整"},
      {"abc", "“abc”不是一个数"},
      {"", "不是一个数"},
      {"38 | sideways SiO2 67 slope 1", "above 或 below"},
      {"38 | above SiO2 x slope 1", "起点“x”"},
      {"38 | above SiO2 67 grade 1", "slope"},
      {"38 | above SiO2 67 slope one", "斜率“one”"},
      {"38 | above SiO2 67 slope 1 min", "min 之后应为一个数"},
      {"38 | above SiO2 67 slope 1 min 1 min 2", "两次"},
      {"38 | above SiO2 67 slope 1 min 5 max 4", "大于上限"},
      {"38 | above SiO2++K2O 67 slope 1", "变量"},
      {"38 | above SiO2 67 slope 1 limit 4", "只能有 min 或 max"},
  };
  for (const auto& [text, expected] : bad) {
    const auto parsed = parseFactor("SiO2", text);
    const auto* e = std::get_if<FactorParseError>(&parsed);
    ASSERT_TRUE(e) << text;
    EXPECT_NE(e->message.find(expected), std::string::npos) << text << " → " << e->message;
  }
  EXPECT_TRUE(std::holds_alternative<FactorParseError>(parseBasis("vol")));
  EXPECT_TRUE(std::holds_alternative<FactorParseError>(parseDivisor("0")));
  EXPECT_TRUE(std::holds_alternative<FactorParseError>(parseDivisor("inf")));
  EXPECT_EQ(std::get<ExpansionBasis>(parseBasis(" WT ")), ExpansionBasis::WeightPercent);
  EXPECT_EQ(std::get<double>(parseDivisor("+3")), 3);
}

// Body 80: above it crazing; down to 10 % of it (8) below, a fit; further, shivering.
TEST(BodyFit, MarginsAtTheirBoundaries) {
  EXPECT_EQ(judgeFit(80, 80).kind, FitKind::Fits);
  EXPECT_EQ(judgeFit(80.01, 80).kind, FitKind::Crazing);
  EXPECT_EQ(judgeFit(72, 80).kind, FitKind::Fits);
  EXPECT_EQ(judgeFit(71.99, 80).kind, FitKind::Shivering);
  const FitVerdict v = judgeFit(83.2, 80);
  EXPECT_NEAR(v.difference, 3.2, 1e-12);
  EXPECT_DOUBLE_EQ(v.shiveringMargin, 8);
}
