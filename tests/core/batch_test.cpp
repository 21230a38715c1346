#include "core/batch.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

const std::vector<BatchInput> kGlaze = {
    {"长石", 45.5, 800},  // 45.5 % at 800 元/t
    {"石英", 0, 300},     // not used in this formula
    {"高岭土", 30, 1200},
    {"方解石", 24.5, 500},
};

}  // namespace

TEST(BatchFormula, WeightsAndCostsFromTheRawProportionsInTableOrder) {
  const BatchFormula f = batchFormula("1＃配比", kGlaze, 250, 0);
  ASSERT_EQ(f.lines.size(), 3u);  // the quartz at 0 % has no line
  EXPECT_EQ(f.lines[0].name, "长石");
  EXPECT_EQ(f.lines[1].name, "高岭土");
  EXPECT_EQ(f.lines[2].name, "方解石");
  EXPECT_DOUBLE_EQ(f.lines[0].kg, 113.75);  // 45.5 x 250 / 100
  EXPECT_DOUBLE_EQ(f.lines[0].cost, 91.0);  // 113.75 / 1000 x 800
  EXPECT_DOUBLE_EQ(f.lines[1].kg, 75.0);
  EXPECT_DOUBLE_EQ(f.lines[1].cost, 90.0);
  EXPECT_DOUBLE_EQ(f.lines[2].kg, 61.25);
  EXPECT_DOUBLE_EQ(f.lines[2].cost, 30.625);  // kept unrounded
  EXPECT_DOUBLE_EQ(f.dryKg, 250.0);
  EXPECT_DOUBLE_EQ(f.cost, 211.625);
  EXPECT_EQ(f.waterKg, 0);
  EXPECT_EQ(f.label, "1＃配比");
  // The dry total is what the lines weigh, not the batch weight asked for.
  EXPECT_DOUBLE_EQ(batchFormula("1＃配比", {{"A", 60, 0}, {"B", 41, 0}}, 100, 0).dryKg, 101.0);
}

TEST(BatchFormula, WaterIsTheShareOfTheWetSlip) {
  // 40 % water in the slip: 100 kg dry take 66.67 kg water, 166.67 kg wet.
  const BatchFormula f = batchFormula("2＃配比", kGlaze, 100, 40);
  EXPECT_DOUBLE_EQ(f.waterKg, 100.0 * 40 / 60);
  EXPECT_DOUBLE_EQ(f.waterKg / f.wetKg(), 0.4);
  EXPECT_DOUBLE_EQ(batchWater(80, 50), 80.0);
  EXPECT_EQ(batchWater(80, 0), 0);
}

TEST(BatchFormula, AFormulaWithoutProportionsHasNoLines) {
  const BatchFormula f = batchFormula("2＃配比", {{"长石", 0, 800}, {"石英", 0, 300}}, 100, 35);
  EXPECT_TRUE(f.lines.empty());
  EXPECT_EQ(f.dryKg, 0);
  EXPECT_EQ(f.waterKg, 0);
  EXPECT_EQ(f.cost, 0);
}
