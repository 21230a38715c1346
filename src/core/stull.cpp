#include "core/stull.h"
#include <variant>

namespace tessaro::core {

namespace {

// The regions of Stull's chart for 0.3 K2O · 0.7 CaO fired to cone 11 (R. T.
// Stull, "Influences of variable silica and alumina on porcelain glazes of
// constant RO", Trans. Am. Ceram. Soc. 14, 1912), as an approximation drawn
// from the chart as the glaze literature redraws and describes it: a band of
// bright glazes rising from low SiO2 and Al2O3 towards the upper right, a
// belt of semi-matte glazes on its alumina side and matte glazes beyond it,
// and outside the matte area glazes that stay dry and immature
// (under-fired). Glazes low in alumina and silica craze. Stull's boundaries
// are curves read off fired tiles; these outlines follow them to about
// 0.2 mol SiO2 and 0.05 mol Al2O3 and are no sharper than that.
// Points are (SiO2, Al2O3) in moles against RO = 1.
constexpr std::array<StullXY, 7> kBright = {{
    {1.4, 0.0}, {3.6, 0.0}, {5.0, 0.35}, {5.25, 0.70}, {4.4, 0.70}, {2.6, 0.38}, {1.4, 0.12},
}};
constexpr std::array<StullXY, 7> kSemiMatte = {{
    {1.0, 0.0}, {3.6, 0.0}, {5.0, 0.35}, {5.4, 0.85}, {4.3, 0.85}, {2.2, 0.45}, {1.0, 0.20},
}};
constexpr std::array<StullXY, 6> kMatte = {{
    {0.5, 0.0}, {3.6, 0.0}, {5.0, 0.35}, {5.5, 1.0}, {2.4, 1.0}, {0.5, 0.45},
}};
// The crazing line, upper-left end first.
constexpr std::array<StullXY, 2> kCrazing = {{{0.9, 0.66}, {4.2, 0.0}}};

// Whether `p` lies inside the polygon (even-odd rule; a point on the lower
// or left edge counts as inside).
bool inside(std::span<const StullXY> polygon, StullXY p) {
  bool in = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const StullXY& a = polygon[i];
    const StullXY& b = polygon[j];
    if ((a.alumina > p.alumina) != (b.alumina > p.alumina)) {
      const double x = a.silica + (p.alumina - a.alumina) * (b.silica - a.silica) / (b.alumina - a.alumina);
      if (p.silica < x) in = !in;
    }
  }
  return in;
}

StullUnity noPoint(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

StullUnity stullUnity(const ResultFormula& formula, const OtherOxides& others) {
  auto side = computeSide(FormulaKind::Glaze, formula, 0, others);
  if (const auto* refused = std::get_if<PropertyRefusal>(&side)) {
    if (refused->reason == PropertyRefusal::Reason::NoSilicaAlumina) {
      return noPoint(formula.label + "的 SiO2 与 Al2O3 均为 0，不在图上。");
    }
    return noPoint(refused->message);
  }
  const SideProperties& p = std::get<SideProperties>(side);
  if (!p.laidOut()) {
    return noPoint(formula.label + "的 RO（CaO、MgO、K2O、Na2O 及 RO 类其它氧化物）之和为 0，无法折算为 RO = 1。");
  }
  const double s = p.normalisingSum;
  return {StullXY{p.mainMoles[SIO2] / s, p.mainMoles[AL2O3] / s}, {}};
}

std::span<const StullXY> stullOutline(StullRegion region) {
  switch (region) {
    case StullRegion::BrightGloss:
      return kBright;
    case StullRegion::SemiMatte:
      return kSemiMatte;
    case StullRegion::Matte:
      return kMatte;
    case StullRegion::UnderFired:
      break;
  }
  return {};
}

std::array<StullXY, 2> stullCrazingLine() { return kCrazing; }

StullRegion stullRegion(StullXY point) {
  for (StullRegion r : {StullRegion::BrightGloss, StullRegion::SemiMatte, StullRegion::Matte}) {
    if (inside(stullOutline(r), point)) return r;
  }
  return StullRegion::UnderFired;
}

bool stullCrazes(StullXY point) {
  // Below the line through both ends: the cross product of (end - start)
  // and (point - start) is negative.
  const StullXY& a = kCrazing[0];
  const StullXY& b = kCrazing[1];
  const double cross =
      (b.silica - a.silica) * (point.alumina - a.alumina) - (b.alumina - a.alumina) * (point.silica - a.silica);
  return cross < 0;
}

std::string_view stullRegionName(StullRegion region) {
  switch (region) {
    case StullRegion::BrightGloss:
      return "光亮(bright gloss)";
    case StullRegion::SemiMatte:
      return "半无光(semi-matte)";
    case StullRegion::Matte:
      return "无光(matte)";
    case StullRegion::UnderFired:
      break;
  }
  return "欠烧(under-fired)";
}

std::string stullVerdict(StullXY point) {
  std::string text(stullRegionName(stullRegion(point)));
  if (stullCrazes(point)) text += "，" + std::string(kStullCrazingName);
  return text;
}

}  // namespace tessaro::core
