#include "core/stull.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

// 1 mol SiO2, 0.1 mol Al2O3, 0.1 mol CaO and 0.1 mol K2O by the program's
// molecular weights: RO = 0.2, so SiO2 5 and Al2O3 0.5 against RO = 1.
ResultFormula glaze() {
  ResultFormula f{"1＃配比", {}};
  f.contents[SIO2] = 60.1;
  f.contents[AL2O3] = 10.19;
  f.contents[CAO] = 5.61;
  f.contents[K2O] = 9.42;
  return f;
}

const OtherOxides kUnnamed = {{{"其它1", 1}, {"其它2", 1}, {"其它3", 1}}};

TEST(StullUnity, DividesSilicaAndAluminaByTheROSumWithTheROKindOtherOxides) {
  StullUnity u = stullUnity(glaze(), kUnnamed);
  ASSERT_TRUE(u.point) << u.reason;
  EXPECT_NEAR(u.point->silica, 5.0, 1e-12);
  EXPECT_NEAR(u.point->alumina, 0.5, 1e-12);

  // 0.1 mol ZnO joins RO (0.3); B2O3 is no RO and leaves it alone.
  ResultFormula f = glaze();
  f.contents[QTCF1] = 8.137;
  f.contents[QTCF2] = 5;
  const OtherOxides zincBoron = {{{"ZnO", 81.37}, {"B2O3", 69.62}, {"其它3", 1}}};
  u = stullUnity(f, zincBoron);
  ASSERT_TRUE(u.point) << u.reason;
  EXPECT_NEAR(u.point->silica, 1.0 / 0.3, 1e-12);
  EXPECT_NEAR(u.point->alumina, 0.1 / 0.3, 1e-12);
}

TEST(StullUnity, NoPointWithoutROOrWithoutAUsableWeightOrWithoutSilicaAndAlumina) {
  ResultFormula f = glaze();
  f.contents[CAO] = 0;
  f.contents[K2O] = 0;
  StullUnity u = stullUnity(f, kUnnamed);
  EXPECT_FALSE(u.point);
  EXPECT_NE(u.reason.find("RO"), std::string::npos) << u.reason;
  EXPECT_NE(u.reason.find("1＃配比"), std::string::npos) << u.reason;

  f = glaze();
  f.contents[QTCF1] = 3;
  u = stullUnity(f, {{{"ZnO", std::nullopt}, {"其它2", 1}, {"其它3", 1}}});
  EXPECT_FALSE(u.point);
  EXPECT_NE(u.reason.find("ZnO"), std::string::npos) << u.reason;

  f = glaze();
  f.contents[SIO2] = 0;
  f.contents[AL2O3] = 0;
  u = stullUnity(f, kUnnamed);
  EXPECT_FALSE(u.point);
  EXPECT_NE(u.reason.find("SiO2"), std::string::npos) << u.reason;
}

TEST(StullRegions, PointsWellInsideEachRegionAndOnEitherSideOfTheCrazingLine) {
  EXPECT_EQ(stullRegion({3.3, 0.33}), StullRegion::BrightGloss);
  EXPECT_EQ(stullRegion({4.6, 0.78}), StullRegion::SemiMatte);
  EXPECT_EQ(stullRegion({2.5, 0.8}), StullRegion::Matte);
  EXPECT_EQ(stullRegion({6.5, 0.2}), StullRegion::UnderFired);
  EXPECT_EQ(stullRegion({0.3, 0.9}), StullRegion::UnderFired);
  EXPECT_EQ(stullRegion({12, 3}), StullRegion::UnderFired);

  EXPECT_TRUE(stullCrazes({1.5, 0.2}));
  EXPECT_TRUE(stullCrazes({0.2, 0.7}));
  EXPECT_FALSE(stullCrazes({3.5, 0.4}));
  EXPECT_FALSE(stullCrazes({5.0, 0.05}));

  EXPECT_EQ(stullVerdict({2.0, 0.15}), "光亮(bright gloss)，易釉裂");
  EXPECT_EQ(stullVerdict({3.3, 0.33}), "光亮(bright gloss)");
  EXPECT_EQ(stullVerdict({2.5, 0.8}), "无光(matte)");
}

}  // namespace
