#include "core/verification.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

// A raw material holding one oxide only.
VerifiedMaterial material(Oxide oxide, double proportion, double dj, double il = 0, double hj = 100) {
  VerifiedMaterial m;
  m.contents[oxide] = 100;
  m.hj = hj;
  m.il = il;
  m.dj = dj;
  m.proportion = proportion;
  return m;
}

// Silica and alumina, half of the alumina's raw material burning away.
std::vector<VerifiedMaterial> twoMaterials(double silica, double alumina) {
  return {material(SIO2, silica, 100), material(AL2O3, alumina, 200, 50)};
}

}  // namespace

TEST(Verification, ProportionsAreNormalisedOverTheFiredParts) {
  // R = 30 x 100 x 100 and 10 x 50 x 100: fired 85.714... and 14.285...
  const VerifiedFormula v = verifyFormula(twoMaterials(30, 10));
  ASSERT_EQ(v.fired.size(), 2u);
  EXPECT_DOUBLE_EQ(v.fired[0], 300000.0 / 350000.0 * 100);
  EXPECT_DOUBLE_EQ(v.fired[1], 50000.0 / 350000.0 * 100);
  EXPECT_EQ(v.oxides[SIO2].text(), "   85.71");
  EXPECT_EQ(v.oxides[SIO2].value, 85.71);
  EXPECT_EQ(v.oxides[AL2O3].value, 14.29);
  for (Oxide o : {FE2O3, TIO2, CAO, MGO, K2O, NA2O, QTCF1, QTCF2, QTCF3}) EXPECT_EQ(v.oxides[o].value, 0) << o;
  EXPECT_EQ(v.total.value, 100);
  EXPECT_EQ(v.price.value, 50);  // raw proportions: (30 x 100 + 10 x 200) / 100
}

TEST(Verification, OnlyTheSharesOfTheProportionsCount) {
  const VerifiedFormula small = verifyFormula(twoMaterials(3, 1));
  const VerifiedFormula large = verifyFormula(twoMaterials(30, 10));
  for (int o = 0; o < kOxideCount; ++o) EXPECT_EQ(small.oxides[std::size_t(o)].text(), large.oxides[std::size_t(o)].text());
  EXPECT_EQ(small.price.value, 5);  // the price is not normalised
  // A material at 0 takes no part.
  const VerifiedFormula silica = verifyFormula(twoMaterials(1, 0));
  EXPECT_EQ(silica.oxides[SIO2].value, 100);
  EXPECT_EQ(silica.oxides[AL2O3].value, 0);
  EXPECT_EQ(silica.total.value, 100);
  EXPECT_EQ(silica.price.value, 1);
}

TEST(Verification, TotalIsTheUnroundedSumStoredOnce) {
  VerifiedMaterial m;
  m.contents[SIO2] = 33.335;
  m.contents[AL2O3] = 33.335;
  m.contents[CAO] = 33.33;
  m.proportion = 1;
  const VerifiedFormula v = verifyFormula({m});
  EXPECT_EQ(v.oxides[SIO2].value, 33.34);
  EXPECT_EQ(v.oxides[AL2O3].value, 33.34);
  EXPECT_EQ(v.oxides[CAO].value, 33.33);
  EXPECT_EQ(v.total.text(), "  100.00");  // not the 100.01 of the stored values
}

TEST(Verification, AllProportionsZeroOrNoMaterialGiveZeros) {
  const VerifiedFormula zero = verifyFormula(twoMaterials(0, 0));
  EXPECT_EQ(zero.fired, (std::vector<double>{0, 0}));
  for (const StoredValue& o : zero.oxides) EXPECT_EQ(o.text(), "    0.00");
  EXPECT_EQ(zero.total.value, 0);
  EXPECT_EQ(zero.price.value, 0);
  const VerifiedFormula none = verifyFormula({});
  EXPECT_TRUE(none.fired.empty());
  EXPECT_EQ(none.total.text(), "    0.00");
  EXPECT_EQ(none.price.text(), "    0.00");
}
