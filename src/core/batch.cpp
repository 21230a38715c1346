#include "core/batch.h"

namespace tessaro::core {

double batchWater(double dryKg, double waterPercent) {
  if (waterPercent == 0) return 0;
  return dryKg * waterPercent / (100.0 - waterPercent);
}

BatchFormula batchFormula(const std::string& label, const std::vector<BatchInput>& materials, double batchKg,
                          double waterPercent) {
  BatchFormula f;
  f.label = label;
  for (const BatchInput& m : materials) {
    if (m.proportion == 0) continue;
    BatchLine line{m.name, m.proportion, m.price, m.proportion * batchKg / 100.0, 0};
    line.cost = line.kg / 1000.0 * m.price;
    f.proportion += m.proportion;
    f.dryKg += line.kg;
    f.cost += line.cost;
    f.lines.push_back(std::move(line));
  }
  f.waterKg = batchWater(f.dryKg, waterPercent);
  return f;
}

}  // namespace tessaro::core
