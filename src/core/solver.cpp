#include "solver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <tuple>

#include "format.h"

namespace tessaro::core {
namespace {

// Tableau rows 0..16 and columns 1..50 (column 0 is not used), each row
// with room to sweep whole vectors of columns.
constexpr int kRows = 17;
constexpr int kBlock = 4;  // columns of a vector of doubles under AVX2
constexpr int kStride = 52;
constexpr int kCostRow = 1;
constexpr int kFirstConstraint = 2;  // rows 2, 3, 4: mandatory marks BXL1..BXL3
constexpr int kFirstOxideRow = 5;    // rows 5..13: the matched oxides
constexpr int kLastOxideRow = 13;
constexpr int kLastConstraint = 15;  // rows 14, 15: no content
constexpr int kPhase1Row = 16;

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

// ---------------------------------------------------------------------------
// The input check.

using Kind = SolverRefusal::Kind;
using Refused = std::optional<SolverRefusal>;

SolverRefusal refusal(Kind kind, int material, std::string field, std::string message) {
  SolverRefusal r;
  r.kind = kind;
  r.material = material;
  r.field = std::move(field);
  r.message = std::move(message);
  return r;
}

// The argument, the precision and the number of raw materials.
Refused checkSettings(std::size_t materialCount, int argument, int precision) {
  if (argument != kFormula1 && argument != kFormula2) {
    return refusal(Kind::BadArgument, -1, "", "配比计算的参数只能是-1或0，现为" + std::to_string(argument) + "。");
  }
  if (precision < 0 || precision > 2) {
    return refusal(Kind::BadArgument, -1, "", "配比精度只能是0、1或2位小数，现为" + std::to_string(precision) + "。");
  }
  if (materialCount > std::size_t(kMaxMaterials)) {
    return refusal(Kind::TooManyMaterials, -1, "",
                   "选择原料最多不能超过35种。\r\r表1中的原料有" + std::to_string(materialCount) +
                       "种。\r\r请删除多余的原料后再计算！");
  }
  return std::nullopt;
}

// The name of raw material m in a message.
std::string who(const SolverMaterial& m) { return "原料“" + m.name + "”"; }

// One value of raw material i: a finite number within ±limit. The message is
// only written for a value that is refused.
Refused checkMaterialValue(int i, const SolverMaterial& m, std::string_view name, double value, double limit) {
  if (std::isfinite(value) && std::fabs(value) <= limit) return std::nullopt;
  const std::string field(name);
  if (!std::isfinite(value)) return refusal(Kind::NotFinite, i, field, who(m) + "的" + field + "不是有效的数字。");
  return refusal(Kind::OutOfRange, i, field,
                 who(m) + "的" + field + "（" + numberText(value) + "）超出了计算范围（绝对值不能大于" +
                     numberText(limit) + "），无法计算配比。");
}

// Whether every value of m is a number in range and HJ lies above IL: the
// usual case, told without a message being written.
bool soundMaterial(const SolverMaterial& m) {
  bool sound = (m.hj > m.il) & (std::fabs(m.il) <= kMaxContent) & (std::fabs(m.hj) <= kMaxContent) &
               (std::fabs(m.dj) <= kMaxPrice);
  // Counted rather than and-ed, so that the compiler can take the contents
  // a vector at a time; a NaN is never within the limit.
  int within = 0;
  for (double v : m.contents) within += std::fabs(v) <= kMaxContent;
  return sound & (within == kOxideCount);
}

// Raw material i: its values in range and a fired part (HJ above IL).
Refused checkMaterial(int i, const SolverMaterial& m) {
  for (int o = 0; o < kOxideCount; ++o) {
    if (auto r = checkMaterialValue(i, m, kOxideFields[o], m.contents[o], kMaxContent)) return r;
  }
  const std::tuple<std::string_view, double, double> scalars[] = {
      {"IL", m.il, kMaxContent}, {"HJ", m.hj, kMaxContent}, {"DJ", m.dj, kMaxPrice}};
  for (const auto& [field, value, limit] : scalars) {
    if (auto r = checkMaterialValue(i, m, field, value, limit)) return r;
  }
  if (m.hj <= m.il) {
    const std::string relation = m.hj == m.il ? "等于" : "小于";
    return refusal(Kind::NoFiredPart, i, "HJ",
                   who(m) + "的合计HJ（" + numberText(m.hj) + "）" + relation + "灼减IL（" + numberText(m.il) +
                       "），没有灼烧后的部分，无法计算配比。");
  }
  return std::nullopt;
}

// The target contents of the matched oxides: 0, or between kMinTarget and kMaxContent.
Refused checkTargetContents(const SolverTarget& target) {
  for (Oxide o : kMatchedOxides) {
    const double v = target.contents[o];
    if (v == 0 || (v >= kMinTarget && v <= kMaxContent)) continue;
    const std::string field(kOxideFields[o]);
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
    return refusal(Kind::OutOfRange, -1, field,
                   "目标配方的" + field + "（" + numberText(v) + "）太小（不为0时不能小于" + numberText(kMinTarget) +
                       "），无法计算配比。");
  }
  return std::nullopt;
}

// The mandatory amounts in percent, 0 for an empty one.
using Amounts = std::array<double, 3>;

// The mandatory amounts: empty, or numbers from 0 to kMaxAmount; `amounts`
// receives them as read.
Refused checkAmounts(const SolverTarget& target, Amounts& amounts) {
  for (int j = 0; j < 3; ++j) {
    const auto text = amountText(target, j);
    if (!text) continue;
    const std::string field = kAmountFields[j];
    const std::string quoted = "表2中必选原料的用量" + field + "“" + target.amounts[j] + "”";
    const auto value = parseNumber(*text);
    if (!value) return refusal(Kind::BadAmount, -1, field, quoted + "不是数字。");
    if (*value < 0) return refusal(Kind::BadAmount, -1, field, quoted + "不能是负数。");
    if (*value > kMaxAmount) {
      return refusal(Kind::BadAmount, -1, field,
                     quoted + "不能大于" + numberText(kMaxAmount) + "（用量是配方的百分数）。");
    }
    amounts[j] = *value;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// The simplex method.

// The dense tableau with its basis. Columns 1..n are the raw materials, n+1..n+14
// the surplus variables of rows 2..15, n+15 the right-hand side; row 0 is not
// used by the method. Column 0 and the columns past the right-hand side are 0
// and stay 0 through every pivot (0 / v and 0 - f x 0 are 0), so a pivot may
// sweep them with the others: it runs over columns 0..sweep-1, whole vectors.
struct Tableau {
  explicit Tableau(int materialCount)
      : n(materialCount), rhs(n + 15), lastVar(n + 14), sweep((rhs + kBlock) / kBlock * kBlock) {}

  alignas(64) std::array<std::array<double, kStride>, kRows> a{};
  std::array<int, kLastConstraint + 1> basis{};  // basis[2..15]; rhs marks an artificial variable
  int n;        // raw materials
  int rhs;      // right-hand side column
  int lastVar;  // last surplus column
  int sweep;    // columns a pivot runs over
};

// The targets t_2..t_15: the mandatory amounts as fractions, then the matched oxides.
using Targets = std::array<double, kLastConstraint + 1>;

Targets constraintTargets(const SolverTarget& target, const Amounts& amounts) {
  Targets t{};
  for (int j = 0; j < 3; ++j) t[kFirstConstraint + j] = amounts[j] / 100;
  for (int j = kFirstOxideRow; j <= kLastOxideRow; ++j) t[j] = target.contents[rowOxide(j)];
  return t;
}

// Step 1, fill: the materials' coefficients, the argument, the targets and
// the cost row.
void fill(Tableau& tab, const std::vector<SolverMaterial>& materials, const Targets& t, int argument) {
  auto& a = tab.a;
  const int n = tab.n;
  for (int i = 0; i < n; ++i) {
    const int col = i + 1;
    for (int j = 0; j < 3; ++j) a[kFirstConstraint + j][col] = materials[i].marks[j] ? 1 : 0;
    for (int j = kFirstOxideRow; j <= kLastOxideRow; ++j) a[j][col] = materials[i].contents[rowOxide(j)];
  }
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) a[j][n + 1] = argument;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) a[j][n + 2] = t[j];
  for (int i = 0; i < n; ++i) a[kCostRow][i + 1] = materials[i].dj;
}

// The sweeps over whole rows (weighting, the phase-1 row, a pivot) use AVX2 where the processor has it. AVX2 brings no
// fused multiply-add, so every cell is rounded exactly as in the plain code. Clang does not clone templates: it builds
// the plain code.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TESSARO_WIDE_SWEEP __attribute__((target_clones("avx2", "default")))
#else
#define TESSARO_WIDE_SWEEP
#endif

// Step 2, weighting: a row with a target is scaled by |t_j|. The row is
// scaled over the columns a pivot sweeps: past column n+2 it holds zeros,
// which stay zeros.
TESSARO_WIDE_SWEEP void weight(Tableau& tab, const Targets& t) {
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (t[j] == 0) continue;
    const double w = std::fabs(t[j]);
    double* const row = tab.a[j].data();
    for (int c = 0; c < tab.sweep; ++c) row[c] *= w;
  }
}

// Step 3, placement: the right-hand side to the last column, each row's
// surplus coefficient to its own column n+j-1.
void place(Tableau& tab) {
  auto& a = tab.a;
  const int n = tab.n;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    a[j][tab.rhs] = a[j][n + 2];
    a[j][n + 2] = 0;
    if (j != kFirstConstraint) {
      a[j][n + j - 1] = a[j][n + 1];
      a[j][n + 1] = 0;
    }
  }
}

// to -= from over the first `sweep` columns.
TESSARO_WIDE_SWEEP void subtractRow(double* __restrict to, const double* __restrict from, int sweep) {
  for (int c = 0; c < sweep; ++c) to[c] -= from[c];
}

// Step 4, phase-1 set-up: a row whose surplus coefficient is not 1 gets an
// artificial variable, marked by the right-hand side column. The objective
// row to start from: the phase-1 row when there is an artificial variable.
// The phase-1 row takes the rows over the columns a pivot sweeps: its
// right-hand side cell, which nothing reads, is then their negative sum.
int setUpPhaseOne(Tableau& tab) {
  auto& a = tab.a;
  const int n = tab.n;
  int k = kCostRow;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    tab.basis[j] = n + j - 1;
    if (a[j][n + j - 1] != 1) {
      tab.basis[j] = tab.rhs;
      subtractRow(a[kPhase1Row].data(), a[j].data(), tab.sweep);
      k = kPhase1Row;
    }
  }
  return k;
}

// Entering column: the lowest coefficient of objective row k; in phase 1 a
// near tie goes to the column that is cheaper in the cost row. The columns
// are taken in order, and a column is taken only when its coefficient is at
// most eps above the one taken so far; a block of columns that are all
// higher than that is passed over at once.
int enteringColumn(const Tableau& tab, int k) {
  const double eps = kSolverTolerance;
  const double* const row = tab.a[k].data();
  const double* const cost = tab.a[kCostRow].data();
  const bool phaseOne = k == kPhase1Row;
  int q = 1;
  double best = row[1];       // row[q]
  double bestCost = cost[1];  // cost[q]
  for (int c = 2; c <= tab.lastVar;) {
    if (c + kBlock - 1 <= tab.lastVar) {
      double low = row[c];
      for (int i = 1; i < kBlock; ++i) low = std::min(low, row[c + i]);
      if (low - best > eps) {
        c += kBlock;
        continue;
      }
    }
    const int end = std::min(c + kBlock - 1, tab.lastVar);
    for (; c <= end; ++c) {
      const double d = row[c] - best;
      if (d < -eps || (phaseOne && d <= eps && cost[c] - bestCost < -eps)) {
        q = c;
        best = row[c];
        bestCost = cost[c];
      }
    }
  }
  return q;
}

// Leaving row for column q: the smallest ratio, equal ratios keep the earlier
// row; 0 when nothing limits the column.
int leavingRow(const Tableau& tab, int q) {
  const auto& a = tab.a;
  int p = 0;
  double ratio = 0;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (a[j][q] <= kSolverTolerance) continue;
    const double r = a[j][tab.rhs] / a[j][q];
    if (p == 0 || ratio > r) {
      p = j;
      ratio = r;
    }
  }
  return p;
}


// Pivot on (p, q) over rows 1..lastRow and the first kBlock x Blocks columns.
template <int Blocks>
TESSARO_WIDE_SWEEP void pivotOver(Tableau& tab, int p, int q, int lastRow) {
  constexpr int kSweep = kBlock * Blocks;
  double* __restrict const pivotRow = tab.a[p].data();
  const double v = pivotRow[q];
  for (int c = 0; c < kSweep; ++c) pivotRow[c] /= v;
  for (int r = kCostRow; r <= lastRow; ++r) {
    if (r == p) continue;
    double* __restrict const row = tab.a[r].data();
    const double f = row[q];
    if (f == 0) continue;
    for (int c = 0; c < kSweep; ++c) row[c] -= f * pivotRow[c];
  }
}

// Pivot on (p, q): column q enters the basis in row p. The other rows are
// updated up to lastRow: the phase-1 row is no longer read in phase 2.
void pivot(Tableau& tab, int p, int q, int lastRow) {
  using Sweep = void (*)(Tableau&, int, int, int);
  // One sweep for each width from no material (columns 0..15, 4 blocks) to
  // the most (the whole stride).
  static const Sweep sweeps[] = {pivotOver<4>,  pivotOver<5>,  pivotOver<6>,  pivotOver<7>,  pivotOver<8>,
                                 pivotOver<9>,  pivotOver<10>, pivotOver<11>, pivotOver<12>, pivotOver<13>};
  static_assert(kBlock * 13 == kStride && kMaxMaterials + 16 <= kStride);
  tab.basis[p] = q;
  sweeps[tab.sweep / kBlock - 4](tab, p, q, lastRow);
}

// Whether the phase-1 row still has a coefficient above the tolerance.
bool phaseOneRowPositive(const Tableau& tab) {
  bool positive = false;
  for (int c = 1; c <= tab.lastVar; ++c) positive = positive || tab.a[kPhase1Row][c] > kSolverTolerance;
  return positive;
}

// Whether an artificial variable is left in the basis above the tolerance.
bool artificialLeft(const Tableau& tab) {
  bool left = false;
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (tab.basis[j] == tab.rhs && tab.a[j][tab.rhs] > kSolverTolerance) left = true;
  }
  return left;
}

enum class Ending { Solved, Failed, PivotBound };

// Step 5, iteration from objective row k, recording every pivot, until no
// coefficient improves the objective, nothing limits the entering column or
// `limit` pivots have been made.
Ending iterate(Tableau& tab, int k, int limit, std::vector<Pivot>& pivots) {
  for (;;) {
    const int q = enteringColumn(tab, k);
    if (tab.a[k][q] >= -kSolverTolerance) {
      if (k == kCostRow) return Ending::Solved;
      if (!phaseOneRowPositive(tab)) {
        k = kCostRow;  // phase 2
        continue;
      }
      // Final without phase 2, unless an artificial variable stays positive.
      return artificialLeft(tab) ? Ending::Failed : Ending::Solved;
    }
    const int p = leavingRow(tab, q);
    if (p == 0) return Ending::Failed;
    if (int(pivots.size()) >= limit) return Ending::PivotBound;
    pivots.push_back({p, q, k == kPhase1Row ? 1 : 2});
    pivot(tab, p, q, k == kPhase1Row ? kPhase1Row : kPhase1Row - 1);
  }
}

// Step 6, the solution: each basic material column takes its row's
// right-hand side, every other one is 0.
std::vector<double> solution(const Tableau& tab) {
  std::vector<double> x(tab.n, 0.0);
  for (int j = kFirstConstraint; j <= kLastConstraint; ++j) {
    if (tab.basis[j] <= tab.n) x[tab.basis[j] - 1] = tab.a[j][tab.rhs];
  }
  return x;
}

// ---------------------------------------------------------------------------
// The values of the result record.

// `stored` becomes the stored form of `value` at `decimals` decimals: the
// table engine reads the text back, so the value is the number it shows.
void setStored(StoredValue& stored, double value, int decimals) {
  stored.value = roundFixed(value, decimals);
  stored.source = value;
  stored.decimals = decimals;
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

// Step 7, normalising: the fired proportions to 100 (left as they are when
// all are 0), then the raw proportions through each material's ignition-free
// weight, to 100 as well, stored at `precision` decimals.
void normalise(FormulaResult& result, const std::vector<SolverMaterial>& materials, int precision) {
  const std::size_t n = materials.size();
  double s = 0;
  for (double x : result.x) s += x;
  result.fired.resize(n);
  result.proportions.resize(n);
  double total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    result.fired[i] = s == 0 ? result.x[i] : result.x[i] / s * 100;
    const double w = materials[i].hj - materials[i].il;
    const double raw = result.fired[i] / w * 100;
    result.proportions[i].source = raw;  // for the moment
    total += raw;
  }
  if (total == 0) total = 1;
  for (StoredValue& p : result.proportions) setStored(p, p.source / total * 100, precision);
}

// Step 8, the mixture: the price sums the raw proportions as stored; the
// composition sums the fired proportions rounded to the same decimals.
void storeMixture(FormulaResult& result, const std::vector<SolverMaterial>& materials, int precision) {
  double price = 0;
  Contents sums{};
  for (std::size_t i = 0; i < materials.size(); ++i) {
    price += result.proportions[i].value * materials[i].dj;
    const double fired = roundFixed(result.fired[i], precision);
    for (int m = 0; m < kOxideCount; ++m) sums[m] += materials[i].contents[m] * fired;
  }
  double h = 0;
  for (int m = 0; m < kOxideCount; ++m) h += sums[m];
  h /= 100;
  setStored(result.price, price / 100, 2);
  for (int m = 0; m < kOxideCount; ++m) setStored(result.oxides[m], sums[m] / 100, 2);
  setStored(result.total, h, 2);
}

}  // namespace

bool isMarked(std::string_view markText) { return markText.find_first_not_of(" \t") != std::string_view::npos; }

std::string StoredValue::text(int width) const { return formatFixed(source, decimals, width); }

StoredValue storedValue(double value, int decimals) {
  StoredValue s;
  setStored(s, value, decimals);
  return s;
}

int pivotLimit(int materialCount) {
  // 50 times the number of constraint rows and variable columns.
  const int constraintRows = kLastConstraint - kFirstConstraint + 1;
  return 50 * (constraintRows + materialCount + constraintRows);
}

namespace {

Refused checkInput(const std::vector<SolverMaterial>& materials, const SolverTarget& target, int argument,
                   int precision, Amounts& amounts) {
  if (auto r = checkSettings(materials.size(), argument, precision)) return r;
  for (std::size_t i = 0; i < materials.size(); ++i) {
    if (soundMaterial(materials[i])) continue;
    if (auto r = checkMaterial(int(i), materials[i])) return r;
  }
  if (auto r = checkTargetContents(target)) return r;
  return checkAmounts(target, amounts);
}

}  // namespace

std::optional<SolverRefusal> checkSolverInput(const std::vector<SolverMaterial>& materials, const SolverTarget& target,
                                              int argument, int precision) {
  Amounts amounts{};
  return checkInput(materials, target, argument, precision, amounts);
}

SolveOutcome solveFormula(const std::vector<SolverMaterial>& materials, const SolverTarget& target, int argument,
                          int precision, std::optional<int> pivotBound) {
  Amounts amounts{};
  if (auto r = checkInput(materials, target, argument, precision, amounts)) return *r;

  FormulaResult result;
  result.argument = argument;
  result.label = argument == kFormula1 ? "1＃配比" : "2＃配比";

  const int n = int(materials.size());
  Tableau tab(n);
  const Targets t = constraintTargets(target, amounts);
  fill(tab, materials, t, argument);
  weight(tab, t);
  place(tab);
  const int k = setUpPhaseOne(tab);

  result.pivots.reserve(64);
  const Ending ending = iterate(tab, k, pivotBound ? *pivotBound : pivotLimit(n), result.pivots);
  if (ending != Ending::Solved) {
    result.pivotLimitReached = ending == Ending::PivotBound;
    setFailed(result, materials.size(), precision);
    return result;
  }

  result.feasible = true;
  result.x = solution(tab);
  normalise(result, materials, precision);
  storeMixture(result, materials, precision);

  // Bounded input keeps every figure finite in practice, but a material whose
  // HJ - IL is vanishingly small, or a tableau degraded by rounding, can still
  // carry a value past the range of a double: such a formula has failed.
  if (!allFinite(result)) setFailed(result, materials.size(), precision);
  return result;
}

}  // namespace tessaro::core
