// Random instances of the proportion solver against what its two formulas
// promise, and formula 1's feasibility against GLPK.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/format.h"
#include "core/solver.h"

#include <glpk.h>

using namespace tessaro::core;

namespace {

// The random problems start from this number, so that a failure repeats.
constexpr unsigned kFirstDraw = 20240611;
constexpr int kRounds = 1500;

struct Instance {
  std::vector<SolverMaterial> materials;
  SolverTarget target;
};

double twoDecimals(double v) { return std::round(v * 100) / 100; }

// Materials with a few oxides each, as analysed materials are; some oxides of
// the target may be carried by no material, and some amounts have no mark.
Instance randomInstance(std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> count(1, 12);
  Instance in;
  const int n = count(rng);
  const double presence = 0.2 + 0.5 * unit(rng);
  for (int i = 0; i < n; ++i) {
    SolverMaterial m;
    m.name = "原料" + std::to_string(i + 1);
    for (int o = 0; o < kOxideCount; ++o) {
      if (unit(rng) < presence) m.contents[o] = twoDecimals(0.5 + 80 * unit(rng));
    }
    m.il = twoDecimals(30 * unit(rng));
    m.hj = 100;
    m.dj = unit(rng) < 0.2 ? 0 : twoDecimals(5 * unit(rng));
    for (int j = 0; j < 3; ++j) m.marks[j] = unit(rng) < 0.05;
    in.materials.push_back(m);
  }
  for (Oxide o : kMatchedOxides) {
    if (unit(rng) < 0.6) in.target.contents[o] = twoDecimals(0.5 + 70 * unit(rng));
  }
  for (int j = 0; j < 3; ++j) {
    if (unit(rng) < 0.1) in.target.amounts[j] = std::to_string(5 + int(30 * unit(rng)));
  }
  return in;
}

// Coefficient of material i in constraint j (0..2: marks, 3..11: matched
// oxides) and the unweighted target of that row.
double coefficient(const Instance& in, int i, int j) {
  const SolverMaterial& m = in.materials[i];
  return j < 3 ? (m.marks[j] ? 1.0 : 0.0) : m.contents[kMatchedOxides[j - 3]];
}

double rowTarget(const Instance& in, int j) {
  if (j >= 3) return in.target.contents[kMatchedOxides[j - 3]];
  const auto v = parseNumber(in.target.amounts[j]);
  return v ? *v / 100 : 0;
}

double rowSum(const Instance& in, const FormulaResult& r, int j) {
  double sum = 0;
  for (std::size_t i = 0; i < in.materials.size(); ++i) sum += coefficient(in, int(i), j) * r.x[i];
  return sum;
}

// Whether some x >= 0 reaches every target: sum_i a_ji x_i >= t_j.
bool glpkReachesEveryTarget(const Instance& in) {
  glp_term_out(GLP_OFF);
  glp_prob* lp = glp_create_prob();
  glp_set_obj_dir(lp, GLP_MIN);
  const int n = int(in.materials.size());
  glp_add_rows(lp, 12);
  glp_add_cols(lp, n);
  std::vector<int> ia{0}, ja{0};
  std::vector<double> ar{0};
  for (int j = 0; j < 12; ++j) {
    glp_set_row_bnds(lp, j + 1, GLP_LO, rowTarget(in, j), 0);
    for (int i = 0; i < n; ++i) {
      const double a = coefficient(in, i, j);
      if (a == 0) continue;
      ia.push_back(j + 1);
      ja.push_back(i + 1);
      ar.push_back(a);
    }
  }
  for (int i = 0; i < n; ++i) {
    glp_set_col_bnds(lp, i + 1, GLP_LO, 0, 0);
    glp_set_obj_coef(lp, i + 1, 1);
  }
  glp_load_matrix(lp, int(ia.size()) - 1, ia.data(), ja.data(), ar.data());
  glp_smcp parm;
  glp_init_smcp(&parm);
  parm.msg_lev = GLP_MSG_OFF;
  const int ret = glp_simplex(lp, &parm);
  const int status = glp_get_status(lp);
  glp_delete_prob(lp);
  EXPECT_EQ(ret, 0);
  return status == GLP_OPT || status == GLP_FEAS;
}

}  // namespace

TEST(SolverProperties, FormulaOneReachesAndFormulaTwoNeverExceeds) {
  std::mt19937 rng(kFirstDraw);
  int feasible1 = 0, feasible2 = 0, infeasible1 = 0;
  for (int round = 0; round < kRounds; ++round) {
    const Instance in = randomInstance(rng);
    SCOPED_TRACE("instance " + std::to_string(round));
    const SolveOutcome o1 = solveFormula(in.materials, in.target, kFormula1, 2);
    const SolveOutcome o2 = solveFormula(in.materials, in.target, kFormula2, 2);
    ASSERT_TRUE(std::holds_alternative<FormulaResult>(o1));
    ASSERT_TRUE(std::holds_alternative<FormulaResult>(o2));
    const FormulaResult& f1 = std::get<FormulaResult>(o1);
    const FormulaResult& f2 = std::get<FormulaResult>(o2);
    EXPECT_FALSE(f1.pivotLimitReached);
    EXPECT_FALSE(f2.pivotLimitReached);

    for (const FormulaResult* f : {&f1, &f2}) {
      for (double x : f->x) EXPECT_GE(x, -1e-9);
      double sum = 0;
      for (const StoredValue& v : f->proportions) sum += v.value;
      double s = 0;
      for (double x : f->x) s += x;
      // Stored proportions sum to 100 up to their rounding, or all are 0.
      if (f->feasible && s > 1e-12) {
        EXPECT_NEAR(sum, 100, 0.005 * double(f->proportions.size()) + 1e-9);
      }
    }

    if (f1.feasible) {
      ++feasible1;
      for (int j = 0; j < 12; ++j) {
        const double t = rowTarget(in, j);
        EXPECT_GE(rowSum(in, f1, j), t * (1 - 1e-6) - 1e-9) << "row " << j;
      }
    } else {
      ++infeasible1;
    }
    if (f2.feasible) {
      ++feasible2;
      for (int j = 0; j < 12; ++j) {
        const double t = rowTarget(in, j);
        EXPECT_LE(rowSum(in, f2, j), t * (1 + 1e-6) + 1e-9) << "row " << j;
      }
    }
  }
  // The instances cover both outcomes.
  EXPECT_GT(feasible1, kRounds / 10);
  EXPECT_GT(infeasible1, kRounds / 10);
  EXPECT_GT(feasible2, kRounds / 20);
}

TEST(SolverProperties, FormulaOneFailsExactlyWhenGlpkFindsNoMixture) {
  std::mt19937 rng(kFirstDraw);
  for (int round = 0; round < kRounds; ++round) {
    const Instance in = randomInstance(rng);
    const SolveOutcome o1 = solveFormula(in.materials, in.target, kFormula1, 2);
    ASSERT_TRUE(std::holds_alternative<FormulaResult>(o1));
    EXPECT_EQ(std::get<FormulaResult>(o1).feasible, glpkReachesEveryTarget(in)) << "instance " << round;
  }
}
