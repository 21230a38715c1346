#include "core/composition.h"

#include <gtest/gtest.h>

#include <numeric>

#include "core/format.h"

using namespace tessaro::core;

TEST(OxideGroups, OrdersAndWeights) {
  EXPECT_EQ(kOxideFields[SIO2], "SIO2");
  EXPECT_EQ(kOxideFields[NA2O], "NA2O");
  EXPECT_EQ(kOxideFields[QTCF3], "QTCF3");
  const std::array<Oxide, 9> matched = {SIO2, AL2O3, CAO, MGO, K2O, NA2O, QTCF1, QTCF2, QTCF3};
  EXPECT_EQ(kMatchedOxides, matched);
  EXPECT_DOUBLE_EQ(molecularWeight(SIO2), 60.1);
  EXPECT_DOUBLE_EQ(molecularWeight(AL2O3), 101.9);
  EXPECT_DOUBLE_EQ(molecularWeight(FE2O3), 159.7);
  EXPECT_DOUBLE_EQ(molecularWeight(TIO2), 80.1);
  EXPECT_DOUBLE_EQ(molecularWeight(CAO), 56.1);
  EXPECT_DOUBLE_EQ(molecularWeight(MGO), 40.3);
  EXPECT_DOUBLE_EQ(molecularWeight(K2O), 94.2);
  EXPECT_DOUBLE_EQ(molecularWeight(NA2O), 62.0);
}

TEST(IgnitionFree, ScalesAndRoundsToTwoDecimals) {
  Contents c{};
  c[SIO2] = 60;
  c[AL2O3] = 30;
  c[QTCF2] = 0.005;
  const auto r = ignitionFree(c, 100, 10);
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ((*r)[SIO2], 66.67);
  EXPECT_DOUBLE_EQ((*r)[AL2O3], 33.33);
  EXPECT_DOUBLE_EQ((*r)[QTCF2], 0.01);  // 0.00555... rounds up
  EXPECT_DOUBLE_EQ((*r)[CAO], 0);
}

TEST(IgnitionFree, KaolinSumsToHundredOnlyUpToHundredths) {
  // A kaolin: 46.5 + 37.5 + 0.6 + 0.3 + 0.2 + 0.2 + 0.6 + 0.1 = 86 plus 14 loss on ignition.
  Contents c{46.5, 37.5, 0.6, 0.3, 0.2, 0.2, 0.6, 0.1, 0, 0, 0};
  const auto r = ignitionFree(c, 100, 14);
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ((*r)[SIO2], 54.07);
  EXPECT_DOUBLE_EQ((*r)[AL2O3], 43.60);
  const double sum = std::accumulate(r->begin(), r->end(), 0.0);
  EXPECT_NEAR(sum, 100, 0.05);
}

TEST(IgnitionFree, TotalEqualToLossHasNoValue) {
  Contents c{};
  c[CAO] = 56;
  EXPECT_FALSE(ignitionFree(c, 44, 44));
  EXPECT_FALSE(ignitionFree(c, 0, 0));
}

TEST(Proportions, FiredToRawWeighsTheLossOnIgnition) {
  // Quartz loses nothing, kaolin 14 %, calcite 44 %.
  const std::vector<Ignition> m = {{100, 0}, {100, 14}, {100, 44}};
  const auto raw = firedToRaw({50, 30, 20}, m);
  ASSERT_TRUE(raw);
  const double w0 = 50.0, w1 = 30 * 100 / 86.0, w2 = 20 * 100 / 56.0;
  const double s = w0 + w1 + w2;
  EXPECT_DOUBLE_EQ((*raw)[0], w0 / s * 100);
  EXPECT_DOUBLE_EQ((*raw)[1], w1 / s * 100);
  EXPECT_DOUBLE_EQ((*raw)[2], w2 / s * 100);
  EXPECT_NEAR(std::accumulate(raw->begin(), raw->end(), 0.0), 100, 1e-12);
  EXPECT_LT((*raw)[0], 50);  // materials that lose weight take a larger raw share
}

TEST(Proportions, RoundTripAndScaleFreedom) {
  const std::vector<Ignition> m = {{99.8, 0.3}, {100.2, 13.9}, {100, 43.8}, {98, 5}};
  const std::vector<double> fired = {42.5, 27.25, 18.75, 11.5};
  const auto raw = firedToRaw(fired, m);
  ASSERT_TRUE(raw);
  const auto back = rawToFired(*raw, m);
  ASSERT_TRUE(back);
  for (std::size_t i = 0; i < fired.size(); ++i) EXPECT_NEAR((*back)[i], fired[i], 1e-12);
  // Unnormalised input gives the same shares.
  const auto raw2 = firedToRaw({85, 54.5, 37.5, 23}, m);
  for (std::size_t i = 0; i < fired.size(); ++i) EXPECT_NEAR((*raw2)[i], (*raw)[i], 1e-12);
}

TEST(Proportions, MaterialWithoutFiredPartHasNoValue) {
  const std::vector<Ignition> m = {{100, 0}, {30, 30}};
  EXPECT_FALSE(firedToRaw({50, 50}, m));
  EXPECT_FALSE(rawToFired({50, 50}, m));
}

TEST(Proportions, AllZeroStaysZero) {
  const std::vector<Ignition> m = {{100, 0}, {100, 10}};
  EXPECT_EQ(*firedToRaw({0, 0}, m), (std::vector<double>{0, 0}));
  EXPECT_EQ(*rawToFired({0, 0}, m), (std::vector<double>{0, 0}));
  EXPECT_TRUE(firedToRaw({}, {})->empty());
}

TEST(FormulaComposition, SumsContentsWeightedByFiredShares) {
  Contents quartz{};
  quartz[SIO2] = 99.5;
  quartz[FE2O3] = 0.5;
  Contents kaolin{};
  kaolin[SIO2] = 54.07;
  kaolin[AL2O3] = 43.6;
  kaolin[QTCF1] = 2.33;
  const auto r = formulaComposition({quartz, kaolin}, {40, 60});
  EXPECT_DOUBLE_EQ(r.oxides[SIO2], 99.5 * 40 / 100 + 54.07 * 60 / 100);
  EXPECT_DOUBLE_EQ(r.oxides[AL2O3], 43.6 * 60 / 100);
  EXPECT_DOUBLE_EQ(r.oxides[FE2O3], 0.5 * 40 / 100);
  EXPECT_DOUBLE_EQ(r.oxides[QTCF1], 2.33 * 60 / 100);
  EXPECT_NEAR(r.total, 100, 1e-9);
}

TEST(FormulaPrice, RawSharesTimesUnitPrices) {
  EXPECT_DOUBLE_EQ(formulaPrice({25, 75}, {400, 1200}), 1000);
  EXPECT_DOUBLE_EQ(formulaPrice({}, {}), 0);
  EXPECT_EQ(format2(formulaPrice({33.33, 66.67}, {0.5, 1.25})), "    1.00");
}
