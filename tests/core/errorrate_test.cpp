#include "core/errorrate.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

Contents contents(std::initializer_list<std::pair<Oxide, double>> values) {
  Contents c{};
  for (const auto& [oxide, value] : values) c[oxide] = value;
  return c;
}

}  // namespace

TEST(ErrorRates, ThreeCasesAndTheAverageOverNonZeroRates) {
  // SiO2 above target, Al2O3 below, CaO 0 on both sides, Fe2O3 ignored.
  const ErrorEvaluation e = evaluateErrors(contents({{SIO2, 60}, {AL2O3, 20}, {FE2O3, 1}}),
                                           contents({{SIO2, 75}, {AL2O3, 15}, {FE2O3, 9}}));
  EXPECT_DOUBLE_EQ(e.rates[0], 25);
  EXPECT_DOUBLE_EQ(e.rates[1], -25);
  EXPECT_DOUBLE_EQ(e.deviations[0], 15);
  EXPECT_DOUBLE_EQ(e.deviations[1], -5);
  for (int k = 2; k < 9; ++k) EXPECT_EQ(e.rates[k], 0);
  EXPECT_EQ(e.exactZeros, 7);
  EXPECT_DOUBLE_EQ(e.average, 25);  // (25 + 25) / 2, not / 9
}

TEST(ErrorRates, AResultThatMeetsItsTargetCountsAsZero) {
  const ErrorEvaluation e =
      evaluateErrors(contents({{SIO2, 60}, {AL2O3, 20}, {CAO, 5}}), contents({{SIO2, 60}, {AL2O3, 22}, {CAO, 5}}));
  EXPECT_EQ(e.exactZeros, 8);
  EXPECT_DOUBLE_EQ(e.average, 10);
}

TEST(ErrorRates, ZeroTargetWithAResultIsMinusHundredAndDominates) {
  const ErrorEvaluation e =
      evaluateErrors(contents({{SIO2, 60}, {K2O, 0}}), contents({{SIO2, 60.6}, {K2O, 0.05}}));
  EXPECT_NEAR(e.rates[0], 1, 1e-12);
  EXPECT_EQ(e.rates[4], -100);
  EXPECT_DOUBLE_EQ(e.deviations[4], 0.05);
  EXPECT_NEAR(e.average, 50.5, 1e-12);
}

TEST(ErrorRates, FailedFormulaAveragesHundredOrZero) {
  const Contents zero{};
  const ErrorEvaluation failed =
      evaluateErrors(contents({{SIO2, 60}, {AL2O3, 20}, {CAO, 3}, {QTCF2, 0.4}}), zero);
  for (int k : {0, 1, 2, 7}) EXPECT_EQ(failed.rates[k], -100);
  EXPECT_EQ(failed.average, 100);
  EXPECT_EQ(averageErrorRemark(failed.average), "平均误差率  100.00%. 注：Fe2O3,TiO2未计");

  // Every target 0 and every result 0: nothing to average.
  const ErrorEvaluation none = evaluateErrors(zero, zero);
  EXPECT_EQ(none.exactZeros, 9);
  EXPECT_EQ(none.average, 0);
  EXPECT_EQ(averageErrorRemark(none.average), "平均误差率    0.00%. 注：Fe2O3,TiO2未计");
}

TEST(ErrorVerdict, AllowedRateIsComparedWithTheShownNumber) {
  EXPECT_FALSE(exceedsAllowedRate(1, 1.004));  // shows 1.00
  EXPECT_FALSE(exceedsAllowedRate(1, 1.0049999));
  EXPECT_TRUE(exceedsAllowedRate(1, 1.005));  // shows 1.01
  EXPECT_FALSE(exceedsAllowedRate(1, 0.2));
  EXPECT_TRUE(exceedsAllowedRate(0, 0.005));
  EXPECT_FALSE(exceedsAllowedRate(0, 0.0049));
  EXPECT_EQ(std::string("1＃配比") + std::string(kLargeErrorMark), "1＃配比(误差大)");
}

TEST(ErrorReport, SixteenLinesWithTheOtherOxideCaptions) {
  const ErrorEvaluation e = evaluateErrors(contents({{SIO2, 60}, {AL2O3, 20}, {QTCF1, 2}}),
                                           contents({{SIO2, 75}, {AL2O3, 15}, {QTCF1, 2}, {QTCF3, 0.05}}));
  const std::string report = errorReport(2, e, {"ZrO2", "BaO", "ZnO"});
  const std::string expected =
      "第(2)号配方的计算结果\r"
      "相对目标配方误差率。\r"
      "\r"
      "            误差率     误差值 \r"
      "SiO2    =    25.00 %     15.00\r"
      "Al2O3   =   -25.00 %     -5.00\r"
      "CaO     =     0.00 %      0.00\r"
      "MgO     =     0.00 %      0.00\r"
      "K2O     =     0.00 %      0.00\r"
      "NaO     =     0.00 %      0.00\r"
      "ZrO2     =     0.00 %      0.00\r"
      "BaO   =     0.00 %      0.00\r"
      "ZnO   =  -100.00 %      0.05\r"
      "\r"
      "平均误差率   50.00 %\r"
      "注：Fe2O3,TiO2未计";
  EXPECT_EQ(report, expected);
  EXPECT_DOUBLE_EQ(e.average, 50);  // (25 + 25 + 100) / 3
  EXPECT_EQ(averageErrorRemark(e.average), "平均误差率   50.00%. 注：Fe2O3,TiO2未计");
}
