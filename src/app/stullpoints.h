// The points of the Stull chart: the unity formula (RO = 1) of each result
// formula and of the target, with the region it falls in.
#pragma once

#include <QLineF>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

#include "app/fitinputs.h"
#include "core/stull.h"

namespace tessaro::app {

struct StullPoint {
  QString label;  // the formula's BH ("1＃配比"), or the target's NAME
  // Moles against RO = 1; both empty when the formula has no point.
  std::optional<double> silica;
  std::optional<double> alumina;
  QString region;  // e.g. "光亮(bright gloss)" or "无光(matte)，易釉裂"; empty without a point
  bool crazes = false;
  QString reason;  // why there is no point; empty with one

  bool hasPoint() const { return silica.has_value(); }
};

struct StullPoints {
  std::vector<StullPoint> formulas;  // in BH order
  std::optional<StullPoint> target;
};

// The points of the result formulas and of the target of `inputs`.
StullPoints stullPoints(const FitInputs& inputs);

// What the chart draws of Stull's regions, with x = SiO2 and y = Al2O3:
// the outline of a region (none for the under-fired one, which is all
// outside the matte outline), the crazing line and a region's name.
std::vector<QPointF> stullOutline(core::StullRegion region);
QLineF stullCrazingLine();
QString stullRegionName(core::StullRegion region);

}  // namespace tessaro::app
