#include "app/stullpoints.h"

namespace tessaro::app {

namespace {

StullPoint pointOf(const core::ResultFormula& formula, const core::OtherOxides& others) {
  StullPoint p;
  p.label = QString::fromStdString(formula.label);
  const core::StullUnity unity = core::stullUnity(formula, others);
  if (!unity.point) {
    p.reason = QString::fromStdString(unity.reason);
    return p;
  }
  p.silica = unity.point->silica;
  p.alumina = unity.point->alumina;
  p.region = QString::fromStdString(core::stullVerdict(*unity.point));
  p.crazes = core::stullCrazes(*unity.point);
  return p;
}

}  // namespace

std::vector<QPointF> stullOutline(core::StullRegion region) {
  std::vector<QPointF> out;
  for (const core::StullXY& p : core::stullOutline(region)) out.emplace_back(p.silica, p.alumina);
  return out;
}

QLineF stullCrazingLine() {
  const auto line = core::stullCrazingLine();
  return {line[0].silica, line[0].alumina, line[1].silica, line[1].alumina};
}

QString stullRegionName(core::StullRegion region) {
  const std::string_view name = core::stullRegionName(region);
  return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

StullPoints stullPoints(const FitInputs& inputs) {
  StullPoints points;
  for (const core::ResultFormula& f : inputs.formulas) points.formulas.push_back(pointOf(f, inputs.others));
  if (inputs.target) points.target = pointOf(*inputs.target, inputs.others);
  return points;
}

}  // namespace tessaro::app
