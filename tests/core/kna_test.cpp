#include "core/kna.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

TEST(KNaMerge, K2OTakesTheSumByWeight) {
  EXPECT_DOUBLE_EQ(mergedK2O(3.46, 1.23), 4.69);
  EXPECT_EQ(mergedK2O(1, 2), 3);
  EXPECT_EQ(mergedK2O(2, 3), 5);
}

TEST(KNaSplit, LibraryValuesOnTheIgnitionFreeBasisWithTwoDecimals) {
  // A felspar analysed with HJ 100 and IL 0.
  const auto felspar = splitKNa(3.456, 1.234, 100, 0);
  ASSERT_TRUE(felspar);
  EXPECT_EQ(felspar->k2o.text(), "    3.46");
  EXPECT_EQ(felspar->k2o.value, 3.46);
  EXPECT_EQ(felspar->na2o.text(), "    1.23");
  EXPECT_EQ(felspar->na2o.value, 1.23);
  // HJ 60 and IL 10: 2 / 50 x 100 and 3 / 50 x 100.
  const auto target = splitKNa(2, 3, 60, 10);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->k2o.value, 4);
  EXPECT_EQ(target->na2o.value, 6);
}

TEST(KNaSplit, NoValueWhenTotalEqualsLossOnIgnition) {
  EXPECT_FALSE(splitKNa(1, 1, 50, 50));
  EXPECT_FALSE(splitKNa(0, 0, 0, 0));
}
