#include "core/oxidegroups.h"

#include <gtest/gtest.h>

using namespace tessaro::core;

namespace {

constexpr auto RO = OxideGroup::RO;
constexpr auto R2O3 = OxideGroup::R2O3;
constexpr auto RO2 = OxideGroup::RO2;

}  // namespace

TEST(OtherOxideKind, TestsInOrderOnTheExactName) {
  for (const char* name : {"B2O3", "P2O5", "Sb2O3", "XO4"}) EXPECT_EQ(otherOxideKind(name), R2O3) << name;
  for (const char* name : {"SnO2", "ZrO2", "CO2", "XO2O3"}) EXPECT_EQ(otherOxideKind(name), RO2) << name;
  for (const char* name : {"BaO", "BeO", "Li2O", "MnO", "PbO", "SrO", "ZnO", "O"}) {
    EXPECT_EQ(otherOxideKind(name), RO) << name;
  }
  // Letter case matters, and a full-width "Ｏ" is not a capital Latin O.
  for (const char* name : {"bao", "zno2", "其它1", "", "ＢａＯ"}) EXPECT_EQ(otherOxideKind(name), std::nullopt) << name;
}
