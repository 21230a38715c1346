// The error evaluation of a computed formula against its target: the error
// rate of each matched oxide, their average, the remark stored with the
// result and the detailed error report.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/composition.h"

namespace tessaro::core {

// Values of the nine matched oxides, in the order of kMatchedOxides.
using MatchedValues = std::array<double, kMatchedOxides.size()>;

// The error rates of one result against the target.
struct ErrorEvaluation {
  MatchedValues rates{};       // E_k in per cent
  MatchedValues deviations{};  // D_k = result - target
  int exactZeros = 0;          // how many E_k are exactly 0
  double average = 0;          // A: mean of |E_k| over the non-zero ones, 0 when all are 0
};

// E_k = (R - T) / T x 100 for a target T other than 0; -100 when the target is
// 0 and the result is not; 0 when both are 0. Only the matched oxides of the
// two records take part.
ErrorEvaluation evaluateErrors(const Contents& target, const Contents& result);

// The remark of a result record: "平均误差率" + "%8.2f" of A + "%. 注：Fe2O3,TiO2未计".
std::string averageErrorRemark(double average);

// Whether an average error rate is too large: the allowed rate is smaller
// than the number that "%8.2f" of the average shows.
bool exceedsAllowedRate(double allowed, double average);

// Appended to the label of a result record whose error is too large.
inline constexpr std::string_view kLargeErrorMark = "(误差大)";

// The detailed report of the number-th evaluated record (1, 2, ...), sixteen
// lines separated by CR. `otherCaptions` are the column titles of QTCF1..QTCF3.
std::string errorReport(int number, const ErrorEvaluation& evaluation,
                        const std::array<std::string, 3>& otherCaptions);

}  // namespace tessaro::core
