// The three groups of an oxide formula (RO, R2O3, RO2), which group each main
// oxide belongs to, and the kind of an other oxide told from its name.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "core/composition.h"

namespace tessaro::core {

// The columns of an oxide formula, in the order the property table shows them.
enum class OxideGroup : int { RO = 0, R2O3 = 1, RO2 = 2 };

inline constexpr int kGroupCount = 3;

// The kind of an other oxide from its name (UTF-8, letter case significant):
// no kind unless the name contains a capital Latin "O"; then RO2 when it
// contains "O2", else R2O3 when it contains "O3", "O4" or "O5", else RO. The
// tests are made in that order, so "B2O3" and "P2O5" are R2O3, "SnO2" and
// "ZrO2" RO2, "ZnO" and "Li2O" RO, and "bao" or "其它1" has no kind.
std::optional<OxideGroup> otherOxideKind(std::string_view name);

// A main oxide in the oxide formula: the row it takes in the first four rows
// of the property table (0-based), its column and the label written there.
struct MainOxideCell {
  Oxide oxide;
  int row;
  OxideGroup group;
  std::string_view label;
};

// The eight main oxides, in the order the formula writes them.
inline constexpr std::array<MainOxideCell, 8> kMainOxideCells = {{
    {K2O, 0, OxideGroup::RO, "K2O"},
    {AL2O3, 0, OxideGroup::R2O3, "AL2O3"},
    {SIO2, 0, OxideGroup::RO2, "SiO2"},
    {NA2O, 1, OxideGroup::RO, "Na2O"},
    {FE2O3, 1, OxideGroup::R2O3, "Fe2O3"},
    {TIO2, 1, OxideGroup::RO2, "TiO2"},
    {CAO, 2, OxideGroup::RO, "CaO"},
    {MGO, 3, OxideGroup::RO, "MgO"},
}};

// Labels of the group-sum row, one per column.
inline constexpr std::array<std::string_view, kGroupCount> kGroupSumLabels = {"一价系数", "三价系数", "二价系数"};

}  // namespace tessaro::core
