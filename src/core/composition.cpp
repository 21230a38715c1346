#include "composition.h"

#include <cstddef>

#include "format.h"

namespace tessaro::core {

double molecularWeight(Oxide oxide) {
  for (std::size_t i = 0; i < kMainOxides.size(); ++i) {
    if (kMainOxides[i] == oxide) return kMainMolecularWeights[i];
  }
  return 0;
}

std::optional<Contents> ignitionFree(const Contents& asAnalysed, double hj, double il) {
  const double part = hj - il;
  if (part == 0) return std::nullopt;
  Contents result{};
  for (int m = 0; m < kOxideCount; ++m) result[m] = roundFixed(asAnalysed[m] / part * 100, 2);
  return result;
}

namespace {

// Shares of weights w_i in per cent: w_i / sum_k w_k x 100; all zero when
// every weight is zero.
std::vector<double> shares(const std::vector<double>& weights) {
  double sum = 0;
  for (double w : weights) sum += w;
  std::vector<double> result(weights.size(), 0.0);
  if (sum == 0) return result;
  for (std::size_t i = 0; i < weights.size(); ++i) result[i] = weights[i] / sum * 100;
  return result;
}

bool anyWithoutFiredPart(const std::vector<Ignition>& materials) {
  for (const Ignition& m : materials) {
    if (m.firedPart() == 0) return true;
  }
  return false;
}

}  // namespace

std::optional<std::vector<double>> firedToRaw(const std::vector<double>& fired, const std::vector<Ignition>& materials) {
  if (fired.size() != materials.size() || anyWithoutFiredPart(materials)) return std::nullopt;
  std::vector<double> weights(fired.size());
  for (std::size_t i = 0; i < fired.size(); ++i) weights[i] = fired[i] * 100 / materials[i].firedPart();
  return shares(weights);
}

std::optional<std::vector<double>> rawToFired(const std::vector<double>& raw, const std::vector<Ignition>& materials) {
  if (raw.size() != materials.size() || anyWithoutFiredPart(materials)) return std::nullopt;
  std::vector<double> weights(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) weights[i] = raw[i] * materials[i].firedPart();
  return shares(weights);
}

FormulaComposition formulaComposition(const std::vector<Contents>& ignitionFreeContents, const std::vector<double>& fired) {
  FormulaComposition result;
  const std::size_t n = ignitionFreeContents.size() < fired.size() ? ignitionFreeContents.size() : fired.size();
  for (int m = 0; m < kOxideCount; ++m) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += ignitionFreeContents[i][m] * fired[i] / 100;
    result.oxides[m] = sum;
    result.total += sum;
  }
  return result;
}

double formulaPrice(const std::vector<double>& raw, const std::vector<double>& unitPrices) {
  double sum = 0;
  const std::size_t n = raw.size() < unitPrices.size() ? raw.size() : unitPrices.size();
  for (std::size_t i = 0; i < n; ++i) sum += raw[i] * unitPrices[i] / 100;
  return sum;
}

}  // namespace tessaro::core
