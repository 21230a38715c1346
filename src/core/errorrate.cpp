#include "errorrate.h"

#include <cmath>

#include "format.h"

namespace tessaro::core {

ErrorEvaluation evaluateErrors(const Contents& target, const Contents& result) {
  ErrorEvaluation e;
  double sum = 0;
  for (std::size_t k = 0; k < kMatchedOxides.size(); ++k) {
    const double t = target[kMatchedOxides[k]];
    const double r = result[kMatchedOxides[k]];
    if (t != 0) {
      e.rates[k] = (r - t) / t * 100;
    } else if (r != 0) {
      e.rates[k] = (t - r) / r * 100;
    } else {
      e.rates[k] = 0;
    }
    e.deviations[k] = r - t;
    if (std::fabs(e.rates[k]) == 0) ++e.exactZeros;
    sum += std::fabs(e.rates[k]);
  }
  const int counted = int(kMatchedOxides.size()) - e.exactZeros;
  e.average = counted == 0 ? 0 : sum / counted;
  return e;
}

std::string averageErrorRemark(double average) {
  return "平均误差率" + format2(average) + "%. 注：Fe2O3,TiO2未计";
}

bool exceedsAllowedRate(double allowed, double average) { return allowed < roundFixed(average, 2); }

std::string errorReport(int number, const ErrorEvaluation& evaluation,
                        const std::array<std::string, 3>& otherCaptions) {
  const std::string labels[9] = {"SiO2    = ",
                                 "Al2O3   = ",
                                 "CaO     = ",
                                 "MgO     = ",
                                 "K2O     = ",
                                 "NaO     = ",
                                 otherCaptions[0] + "     = ",
                                 otherCaptions[1] + "   = ",
                                 otherCaptions[2] + "   = "};
  std::string text = "第(" + std::to_string(number) + ")号配方的计算结果";
  text += "\r相对目标配方误差率。";
  text += "\r";
  text += "\r            误差率     误差值 ";
  for (int k = 0; k < 9; ++k) {
    text += "\r" + labels[k] + format2(evaluation.rates[k]) + " %  " + format2(evaluation.deviations[k]);
  }
  text += "\r";
  text += "\r平均误差率" + format2(evaluation.average) + " %";
  text += "\r注：Fe2O3,TiO2未计";
  return text;
}

}  // namespace tessaro::core
