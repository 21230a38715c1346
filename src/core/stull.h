// The Stull chart: a glaze formula reduced to RO = 1 and placed by its SiO2
// and Al2O3 amounts on the regions R. T. Stull found for porcelain glazes
// ("Influences of variable silica and alumina on porcelain glazes of
// constant RO", Trans. Am. Ceram. Soc. 14, 1912).
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/properties.h"

namespace tessaro::core {

// A place on the chart: moles of SiO2 (x) and Al2O3 (y) against RO = 1.
struct StullXY {
  double silica = 0;
  double alumina = 0;
};

// The unity formula of a glaze for the chart. `point` is empty when the
// formula has no place on it, and `reason` then says why (UTF-8).
struct StullUnity {
  std::optional<StullXY> point;
  std::string reason;
};

// SiO2 and Al2O3 in moles per mole of RO, with RO summed as the glaze
// formula of computeSide sums it (CaO, MgO, K2O, Na2O and the RO-kind other
// oxides). No point when the RO sum is 0, when an other oxide that takes
// part has no usable molecular weight, or when SiO2 and Al2O3 are both 0.
StullUnity stullUnity(const ResultFormula& formula, const OtherOxides& others);

// Stull's regions, from the most fused to the least.
enum class StullRegion { BrightGloss, SemiMatte, Matte, UnderFired };

inline constexpr std::array<StullRegion, 4> kStullRegions = {StullRegion::BrightGloss, StullRegion::SemiMatte,
                                                             StullRegion::Matte, StullRegion::UnderFired};

// The outline of a region on the chart, in (SiO2, Al2O3); the under-fired
// region is everything outside the matte outline and has none of its own.
std::span<const StullXY> stullOutline(StullRegion region);

// The crazing line from its upper-left to its lower-right end; glazes below
// and to the left of it (and of its extension) craze.
std::array<StullXY, 2> stullCrazingLine();

// The region a point lies in: the first of bright gloss, semi-matte and
// matte whose outline holds it, else under-fired.
StullRegion stullRegion(StullXY point);
// Whether the point is on the crazing side of the crazing line.
bool stullCrazes(StullXY point);

// Names to show: "光亮(bright gloss)", "半无光(semi-matte)", "无光(matte)",
// "欠烧(under-fired)".
std::string_view stullRegionName(StullRegion region);
// "易釉裂", added to the region's name on the crazing side.
inline constexpr std::string_view kStullCrazingName = "易釉裂";
// The region's name, followed by "，易釉裂" on the crazing side.
std::string stullVerdict(StullXY point);

}  // namespace tessaro::core
