#include "core/verification.h"

namespace tessaro::core {

VerifiedFormula verifyFormula(const std::vector<VerifiedMaterial>& materials) {
  double price = 0;
  double s = 0;
  std::vector<double> r;
  r.reserve(materials.size());
  for (const VerifiedMaterial& m : materials) {
    price += m.proportion * m.dj;
    r.push_back(m.proportion * (m.hj - m.il) * 100);
    s += r.back();
  }
  if (s == 0) s = 1;
  VerifiedFormula out;
  Contents sums{};
  for (std::size_t i = 0; i < materials.size(); ++i) {
    const double p = r[i] / s * 100;
    out.fired.push_back(p);
    for (int m = 0; m < kOxideCount; ++m) sums[std::size_t(m)] += materials[i].contents[std::size_t(m)] * p;
  }
  double total = 0;
  for (int m = 0; m < kOxideCount; ++m) {
    out.oxides[std::size_t(m)] = storedValue(sums[std::size_t(m)] / 100, 2);
    total += sums[std::size_t(m)];
  }
  out.price = storedValue(price / 100, 2);
  out.total = storedValue(total / 100, 2);
  return out;
}

}  // namespace tessaro::core
