// Cost of one call of the proportion solver for 5, 15 and 35 raw materials,
// both formulas, and of GLPK solving the same phase-1 problem (formula 1).
// Prints the ratio GLPK / solver at the end.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/solver.h"

#include <glpk.h>

using namespace tessaro::core;

namespace {

struct Instance {
  std::vector<SolverMaterial> materials;
  SolverTarget target;
};

// Materials with six to nine oxides each, and a target that is a mixture of
// them, so that both formulas succeed and pivot a realistic number of times.
Instance makeInstance(int n) {
  std::mt19937 rng(1000 + n);
  std::uniform_real_distribution<double> unit(0, 1);
  Instance in;
  std::vector<double> weights;
  for (int i = 0; i < n; ++i) {
    SolverMaterial m;
    m.name = "原料" + std::to_string(i + 1);
    for (int o = 0; o < kOxideCount; ++o) {
      if (unit(rng) < 0.7) m.contents[o] = std::round(100 * (0.5 + 60 * unit(rng))) / 100;
    }
    m.il = std::round(100 * 20 * unit(rng)) / 100;
    m.dj = std::round(100 * 5 * unit(rng)) / 100;
    in.materials.push_back(m);
    weights.push_back(unit(rng));
  }
  double total = 0;
  for (double w : weights) total += w;
  for (Oxide o : kMatchedOxides) {
    double v = 0;
    for (int i = 0; i < n; ++i) v += in.materials[i].contents[o] * weights[i] / total;
    in.target.contents[o] = std::round(100 * v) / 100;
  }
  return in;
}

const Instance& instance(int n) {
  static std::map<int, Instance> cache;
  auto it = cache.find(n);
  if (it == cache.end()) it = cache.emplace(n, makeInstance(n)).first;
  return it->second;
}

void BM_Formula1(benchmark::State& state) {
  const Instance& in = instance(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(solveFormula(in.materials, in.target, kFormula1, 2));
}
void BM_Formula2(benchmark::State& state) {
  const Instance& in = instance(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(solveFormula(in.materials, in.target, kFormula2, 2));
}
// The stored values one successful call of formula 1 forms, on values
// like its own: the rounded fired proportion and the raw proportion of every
// material, eleven oxides, price and total.
void BM_StoredTexts(benchmark::State& state) {
  const Instance& in = instance(int(state.range(0)));
  const FormulaResult r = std::get<FormulaResult>(solveFormula(in.materials, in.target, kFormula1, 2));
  std::vector<double> values = r.fired;
  for (const StoredValue& v : r.proportions) values.push_back(v.value + 0.001);
  for (const StoredValue& v : r.oxides) values.push_back(v.value + 0.001);
  values.push_back(r.price.value + 0.001);
  values.push_back(r.total.value + 0.001);
  for (auto _ : state) {
    for (double v : values) benchmark::DoNotOptimize(storedValue(v, 2));
  }
}
BENCHMARK(BM_Formula1)->Arg(5)->Arg(15)->Arg(35);
BENCHMARK(BM_StoredTexts)->Arg(5)->Arg(15)->Arg(35);
BENCHMARK(BM_Formula2)->Arg(5)->Arg(15)->Arg(35);

// Formula 1's phase 1 as an LP: for each of the fourteen constraint rows,
// w_j (sum_i a_ji x_i - s_j) + r_j = w_j t_j with w_j = |t_j| (1 when t_j is
// 0), all variables >= 0, minimise the sum of the artificial variables r_j.
double glpkPhase1(const Instance& in) {
  const int n = int(in.materials.size());
  glp_prob* lp = glp_create_prob();
  glp_set_obj_dir(lp, GLP_MIN);
  glp_add_rows(lp, 14);
  glp_add_cols(lp, n + 28);
  std::vector<int> ia{0}, ja{0};
  std::vector<double> ar{0};
  for (int j = 0; j < 14; ++j) {
    double t = 0;
    if (j >= 3 && j < 12) t = in.target.contents[kMatchedOxides[j - 3]];
    const double w = t == 0 ? 1 : std::fabs(t);
    glp_set_row_bnds(lp, j + 1, GLP_FX, w * t, w * t);
    for (int i = 0; i < n; ++i) {
      double a = 0;
      if (j < 3) a = in.materials[i].marks[j] ? 1 : 0;
      if (j >= 3 && j < 12) a = in.materials[i].contents[kMatchedOxides[j - 3]];
      if (a == 0) continue;
      ia.push_back(j + 1);
      ja.push_back(i + 1);
      ar.push_back(w * a);
    }
    ia.push_back(j + 1);
    ja.push_back(n + 1 + j);
    ar.push_back(-w);
    ia.push_back(j + 1);
    ja.push_back(n + 15 + j);
    ar.push_back(1);
  }
  for (int c = 1; c <= n + 28; ++c) glp_set_col_bnds(lp, c, GLP_LO, 0, 0);
  for (int j = 0; j < 14; ++j) glp_set_obj_coef(lp, n + 15 + j, 1);
  glp_load_matrix(lp, int(ia.size()) - 1, ia.data(), ja.data(), ar.data());
  glp_smcp parm;
  glp_init_smcp(&parm);
  parm.msg_lev = GLP_MSG_OFF;
  glp_simplex(lp, &parm);
  const double value = glp_get_obj_val(lp);
  glp_delete_prob(lp);
  return value;
}

void BM_GlpkPhase1(benchmark::State& state) {
  glp_term_out(GLP_OFF);
  const Instance& in = instance(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(glpkPhase1(in));
}
BENCHMARK(BM_GlpkPhase1)->Arg(5)->Arg(15)->Arg(35);

// Keeps each benchmark's CPU time per iteration for the closing ratios: the
// median when the runs are repeated, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times[name] = run.GetAdjustedCPUTime();
        medians.insert(name);
      } else if (run.run_type == Run::RT_Iteration && !medians.count(name)) {
        times[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::set<std::string> medians;
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  for (int n : {5, 15, 35}) {
    const std::string arg = "/" + std::to_string(n);
    const auto f1 = reporter.times.find("BM_Formula1" + arg);
    const auto f2 = reporter.times.find("BM_Formula2" + arg);
    const auto glpk = reporter.times.find("BM_GlpkPhase1" + arg);
    const auto texts = reporter.times.find("BM_StoredTexts" + arg);
    if (f1 == reporter.times.end() || f2 == reporter.times.end()) continue;
    const SolveOutcome o1 = solveFormula(instance(n).materials, instance(n).target, kFormula1, 2);
    const SolveOutcome o2 = solveFormula(instance(n).materials, instance(n).target, kFormula2, 2);
    std::printf("n = %2d: pivots formula 1 %zu, formula 2 %zu", n, std::get<FormulaResult>(o1).pivots.size(),
                std::get<FormulaResult>(o2).pivots.size());
    double tableau = 0;  // formula 1 without its stored values, roughly
    if (texts != reporter.times.end()) {
      std::printf("; of formula 1's time %.0f %% is the stored values", 100 * texts->second / f1->second);
      tableau = f1->second - texts->second;
    }
    if (glpk != reporter.times.end()) {
      std::printf("; GLPK phase 1 / formula 1 = %.2f, GLPK phase 1 / formula 2 = %.2f", glpk->second / f1->second,
                  glpk->second / f2->second);
      if (tableau > 0) std::printf(", GLPK phase 1 / formula 1 without stored values = %.1f", glpk->second / tableau);
    }
    std::printf("\n");
  }
  benchmark::Shutdown();
  return 0;
}
