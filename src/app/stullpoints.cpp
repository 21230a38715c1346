#include "app/stullpoints.h"

#include "core/stull.h"

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

StullPoints stullPoints(const FitInputs& inputs) {
  StullPoints points;
  for (const core::ResultFormula& f : inputs.formulas) points.formulas.push_back(pointOf(f, inputs.others));
  if (inputs.target) points.target = pointOf(*inputs.target, inputs.others);
  return points;
}

}  // namespace tessaro::app
