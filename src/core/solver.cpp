#include "solver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <tuple>

#include "format.h"

namespace tessaro::core {
namespace {

// Tableau rows 0..16 and columns 1..50 (column 0 is not used).
constexpr int kRows = 17;
constexpr int kColumns = 51;
constexpr int kSolutionRow = 0;
constexpr int kCostRow = 1;
constexpr int kFirstConstraint = 2;  // rows 2, 3, 4: mandatory marks BXL1..BXL3
constexpr int kFirstOxideRow = 5;    // rows 5..13: the matched oxides
constexpr int kLastConstraint = 15;  // rows 14, 15: no content
constexpr int kPhase1Row = 16;

using Tableau = std::array<std::array<double, kColumns>, kRows>;

// The matched oxide of constraint row j = 5..13.
Oxide rowOxide(int j) { return kMatchedOxides[j - kFirstOxideRow]; }

const char* const kAmountFields[3] = {"BXL1", "BXL2", "BXL3"};

std::string numberText(double v) { return formatGeneral(v); }

// The mandatory amount of column j (0..2) as typed; nothing when empty or blank.
std::optional<std::string_view> amountText(const SolverTarget& target, int j) {
  std::string_view s = target.amounts[j];
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.empty()) return std::nullopt;
  return s;
}

SolverRefusal refusal(SolverRefusal::Kind kind, int material, std::string field, std::string message) {
  SolverRefusal r;
  r.kind = kind;
  r.material = material;
  r.field = std::move(field);
  r.message = std::move(message);
  return r;
}

// Everything zero: the outcome of a formula without a mixture.
void setFailed(FormulaResult& result, std::size_t n, int precision) {
  result.feasible = false;
  result.x.assign(n, 0.0);
  result.fired.assign(n, 0.0);
  result.proportions.assign(n, storedValue(0, precision));
  result.price = storedValue(0, 2);
  for (auto& o : result.oxides) o = storedValue(0, 2);
  result.total = storedValue(0, 2);
}

// Whether every computed figure of a result is a finite number.
bool allFinite(const FormulaResult& result) {
  auto finite = [](double v) { return std::isfinite(v); };
  auto stored = [](const StoredValue& v) { return std::isfinite(v.value); };
  return std::all_of(result.x.begin(), result.x.end(), finite) &&
         std::all_of(result.fired.begin(), result.fired.end(), finite) &&
         std::all_of(result.proportions.begin(), result.proportions.end(), stored) &&
         std::all_of(result.oxides.begin(), result.oxides.end(), stored) && stored(result.price) &&
         stored(result.total);
}

}  // namespace

bool isMarked(std::string_view markText) { return markText.find_first_not_of(" \t") != std::string_view::npos; }

StoredValue storedValue(double value, int decimals) {
  StoredValue s;
  s.text = formatFixed(value, decimals);
  // The table engine reads the text back: the value is the number it shows.
  s.value = std::strtod(s.text.c_str(), nullptr);
  return s;
}

int pivotLimit(int materialCount) {
  // 50 times the number of constraint rows and variable columns.
  const int constraintRows = kLastConstraint - kFirstConstraint + 1;
  return 50 * (constraintRows + materialCount + constraintRows);
}

std::optional<SolverRefusal> checkSolverInput(const std::vector<SolverMaterial>& materials, const SolverTarget& target,
                                              int argument, int precision) {
  using Kind = SolverRefusal::Kind;
  if (argument != kFormula1 && argument != kFormula2) {
    return refusal(Kind::BadArgument, -1, "", "配比计算的参数只能是-1或0，现为" + std::to_string(argument) + "。");
  }
  if (precision < 0 || precision > 2) {
    return refusal(Kind::BadArgument, -1, "", "配比精度只能是0、1或2位小数，现为" + std::to_string(precision) + "。");
  }
  const int n = int(materials.size());
  if (n > kMaxMaterials) {
    return refusal(Kind::TooManyMaterials, -1, "",
                   "选择原料最多不能超过35种。\r\r表1中的原料有" + std::to_string(n) +
                       "种。\r\r请删除多余的原料后再计算！");
  }
  for (int i = 0; i < n; ++i) {
    const SolverMaterial& m = materials[i];
    const std::string who = "原料“" + m.name + "”";
    auto check = [&](const std::string& field, double value, double limit) -> std::optional<SolverRefusal> {
      if (!std::isfinite(value)) return refusal(Kind::NotFinite, i, field, who + "的" + field + "不是有效的数字。");
      if (std::fabs(value) > limit) {
        return refusal(Kind::OutOfRange, i, field,
                       who + "的" + field + "（" + numberText(value) + "）超出了计算范围（绝对值不能大于" +
                           numberText(limit) + "），无法计算配比。");
      }
      return std::nullopt;
    };
    for (int o = 0; o < kOxideCount; ++o) {
      if (auto r = check(std::string(kOxideFields[o]), m.contents[o], kMaxContent)) return r;
    }
    const std::tuple<const char*, double, double> scalars[] = {
        {"IL", m.il, kMaxContent}, {"HJ", m.hj, kMaxContent}, {"DJ", m.dj, kMaxPrice}};
    for (const auto& [field, value, limit] : scalars) {
      if (auto r = check(field, value, limit)) return r;
    }
    if (m.hj <= m.il) {
      const std::string relation = m.hj == m.il ? "等于" : "小于";
      return refusal(Kind::NoFiredPart, i, "HJ",
                     who + "的合计HJ（" + numberText(m.hj) + "）" + relation + "灼减IL（" + numberText(m.il) +
                         "），没有灼烧后的部分，无法计算配比。");
    }
  }
  for (Oxide o : kMatchedOxides) {
    const std::string field(kOxideFields[o]);
    const double v = target.contents[o];
    if (!std::isfinite(v)) return refusal(Kind::NotFinite, -1, field, "目标配方的" + field + "不是有效的数字。");
    if (v < 0) {
      return refusal(Kind::NegativeTarget, -1, field,
                     "目标配方的" + field + "为负数（" + numberText(v) + "），无法计算配比。");
    }
    if (v > kMaxContent) {
      return refusal(Kind::OutOfRange, -1, field,
                     "目标配方的" + field + "（" + numberText(v) + "）超出了计算范围（不能大于" +
                         numberText(kMaxContent) + "），无法计算配比。");
    }
    if (v > 0 && v < kMinTarget) {
      return refusal(Kind::OutOfRange, -1, field,
                     "目标配方的" + field + "（" + numberText(v) + "）太小（不为0时不能小于" + numberText(kMinTarget) +
                         "），无法计算配比。");
    }
  }
  for (int j = 0; j < 3; ++j) {
    const auto text = amountText(target, j);
    if (!text) continue;
    const std::string field = kAmountFields[j];
    const auto value = parseNumber(*text);
    if (!value) {
      return refusal(Kind::BadAmount, -1, field,
                     "表2中必选原料的用量" + field + "“" + target.amounts[j] + "”不是数字。");
    }
    if (*value < 0) {
      return refusal(Kind::BadAmount, -1, field,
                     "表2中必选原料的用量" + field + "“" + target.amounts[j] + "”不能是负数。");
    }
    if (*value > kMaxAmount) {
      return refusal(Kind::BadAmount, -1, field,
                     "表2中必选原料的用量" + field + "“" + target.amounts[j] + "”不能大于" + numberText(kMaxAmount) +
                         "（用量是配方的百分数）。");
    }
  }
  return std::nullopt;
}

SolveOutcome solveFormula(const std::vector<SolverMaterial>& materials, const SolverTarget& target, int argument,
                          int precision, std::optional<int> pivotBound) {
  if (auto r = checkSolverInput(materials, target, argument, precision)) return *r;

  const int n = int(materials.size());
  const int rhs = n + 15;      // right-hand side column
  const int lastVar = n + 14;  // last surplus column
  const double eps = kSolverTolerance;

  FormulaResult result;
  result.argument = argument;
  result.label = argument == kFormula1 ? "1＃配比" : "2＃配比";

  Tableau a{};
  std::array<int, kLastConstraint + 1> basis{};  // basis[2..15]
  std::array<double, kLastConstraint + 1> t{};   // targets t_2..t_15

  // Step 1, fill: the materials' coefficients, the argument, the targets and
  // the cost row.
  for (int i = 0; i < n; ++i) {
    const int col = i + 1;
    for (int j = 0; j < 3; ++j) a[kFirstConstraint + j][col] = materials[i].marks[j] ? 1 : 0;
    for (int j = kFirstOxideRow; j <= 13; ++j) a[j][col] = materials[i].contents[rowOxide(j)];
  }
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) a[j][n + 1] = argument;
  for (int j = 0; j < 3; ++j) {
    if (const auto text = amountText(target, j)) t[kFirstConstraint + j] = *parseNumber(*text) / 100;
  }
  for (int j = kFirstOxideRow; j <= 13; ++j) t[j] = target.contents[rowOxide(j)];
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) a[j][n + 2] = t[j];
  for (int i = 0; i < n; ++i) a[kCostRow][i + 1] = materials[i].dj;

  // Step 2, weighting: a row with a target is scaled by |t_j|.
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (t[j] == 0) continue;
    const double w = std::fabs(t[j]);
    for (int c = 1; c <= n + 2; ++c) a[j][c] *= w;
  }

  // Step 3, placement: the right-hand side to the last column, each row's
  // surplus coefficient to its own column n+j-1.
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    a[j][rhs] = a[j][n + 2];
    a[j][n + 2] = 0;
    if (j != kFirstConstraint) {
      a[j][n + j - 1] = a[j][n + 1];
      a[j][n + 1] = 0;
    }
  }

  // Step 4, phase-1 set-up: a row whose surplus coefficient is not 1 gets an
  // artificial variable, marked by the right-hand side column.
  int k = kCostRow;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    basis[j] = n + j - 1;
    if (a[j][n + j - 1] != 1) {
      basis[j] = rhs;
      for (int c = 1; c <= lastVar; ++c) a[kPhase1Row][c] -= a[j][c];
      k = kPhase1Row;
    }
  }

  // Step 5, iteration.
  const int limit = pivotBound ? *pivotBound : pivotLimit(n);
  bool failed = false;
  for (;;) {
    // Entering column: the lowest coefficient of the active objective row;
    // in phase 1 a near tie goes to the column that is cheaper in the cost row.
    int q = 1;
    for (int c = 2; c <= lastVar; ++c) {
      const double d = a[k][c] - a[k][q];
      if (d < -eps) {
        q = c;
      } else if (d <= eps && k == kPhase1Row && a[kCostRow][c] - a[kCostRow][q] < -eps) {
        q = c;
      }
    }

    if (a[k][q] >= -eps) {
      if (k == kCostRow) break;  // final
      bool positive = false;
      for (int c = 1; c <= lastVar; ++c) positive = positive || a[kPhase1Row][c] > eps;
      if (!positive) {
        k = kCostRow;  // phase 2
        continue;
      }
      for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
        if (basis[j] == rhs && a[j][rhs] > eps) failed = true;
      }
      break;  // failed, or final without phase 2
    }

    // Leaving row: the smallest ratio; equal ratios keep the earlier row.
    int p = 0;
    double ratio = 0;
    for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
      if (a[j][q] <= eps) continue;
      const double r = a[j][rhs] / a[j][q];
      if (p == 0 || ratio > r) {
        p = j;
        ratio = r;
      }
    }
    if (p == 0) {
      failed = true;  // nothing limits the entering column
      break;
    }
    if (int(result.pivots.size()) >= limit) {
      failed = true;
      result.pivotLimitReached = true;
      break;
    }

    // Pivot over rows 1..16.
    result.pivots.push_back({p, q, k == kPhase1Row ? 1 : 2});
    basis[p] = q;
    const double v = a[p][q];
    for (int c = 1; c <= rhs; ++c) a[p][c] /= v;
    for (int r = kCostRow; r <= kPhase1Row; ++r) {
      if (r == p) continue;
      const double f = a[r][q];
      if (f == 0) continue;
      for (int c = 1; c <= rhs; ++c) a[r][c] -= f * a[p][c];
    }
  }

  if (failed) {
    setFailed(result, materials.size(), precision);
    return result;
  }

  // Step 6, success. The solution: each basic material column takes its
  // row's right-hand side.
  result.feasible = true;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (basis[j] <= n) a[kSolutionRow][basis[j]] = a[j][rhs];
  }
  result.x.resize(n);
  double s = 0;
  for (int i = 0; i < n; ++i) {
    result.x[i] = a[kSolutionRow][i + 1];
    s += result.x[i];
  }

  // Fired proportions, normalised to 100 (left as they are when all are 0),
  // then the raw proportions through each material's ignition-free weight.
  result.fired.resize(n);
  std::vector<double> raw(n);
  double total = 0;
  for (int i = 0; i < n; ++i) {
    result.fired[i] = s == 0 ? result.x[i] : result.x[i] / s * 100;
    const double w = materials[i].hj - materials[i].il;
    raw[i] = result.fired[i] / w * 100;
    total += raw[i];
  }
  if (total == 0) total = 1;

  // The price sums the raw proportions as stored; the composition sums the
  // fired proportions rounded to the same decimals.
  double price = 0;
  Contents sums{};
  result.proportions.resize(n);
  for (int i = 0; i < n; ++i) {
    result.proportions[i] = storedValue(raw[i] / total * 100, precision);
    price += result.proportions[i].value * materials[i].dj;
    const double fired = roundFixed(result.fired[i], precision);
    for (int m = 0; m < kOxideCount; ++m) sums[m] += materials[i].contents[m] * fired;
  }
  double h = 0;
  for (int m = 0; m < kOxideCount; ++m) h += sums[m];
  h /= 100;

  // Step 8, the values of the result record.
  result.price = storedValue(price / 100, 2);
  for (int m = 0; m < kOxideCount; ++m) result.oxides[m] = storedValue(sums[m] / 100, 2);
  result.total = storedValue(h, 2);

  // Bounded input keeps every figure finite in practice, but a material whose
  // HJ - IL is vanishingly small, or a tableau degraded by rounding, can still
  // carry a value past the range of a double: such a formula has failed.
  if (!allFinite(result)) setFailed(result, materials.size(), precision);
  return result;
}

}  // namespace tessaro::core
