// The composition of a formula recomputed from its raw proportions as they
// stand in the formula table, possibly edited by hand.
#pragma once

#include <array>
#include <vector>

#include "core/composition.h"
#include "core/solver.h"

namespace tessaro::core {

struct VerifiedMaterial {
  Contents contents{};     // ignition-free contents
  double hj = 100;         // HJ, total as analysed
  double il = 0;           // IL, loss on ignition
  double dj = 0;           // DJ, unit price
  double proportion = 0;   // NUM1 or NUM2, the raw proportion as stored
};

struct VerifiedFormula {
  std::vector<double> fired;                     // fired proportions, unrounded
  StoredValue price;                             // DJ of the result record
  std::array<StoredValue, kOxideCount> oxides;   // SIO2..QTCF3 of the result record
  StoredValue total;                             // HJ of the result record
};

// Price sum C = sum raw_i x DJ_i; R_i = raw_i x (HJ_i - IL_i) x 100; fired
// P_i = R_i / S x 100 with S = sum R_i (1 when 0); O_m = sum c_mi x P_i. The
// record stores C / 100, O_m / 100 and sum O_m / 100 with two decimals.
VerifiedFormula verifyFormula(const std::vector<VerifiedMaterial>& materials);

}  // namespace tessaro::core
