// The solver with its error evaluation without tables: each formula carries
// what the proportion solver stored and the error rate of its composition.
#include "app/headlesssolve.h"

#include <gtest/gtest.h>

#include <variant>

#include "core/composition.h"
#include "core/errorrate.h"
#include "core/solver.h"

namespace tessaro::app {
namespace {

// Quartz, kaolin with 10 % loss on ignition, corundum; target SiO2 60, Al2O3 20.
SolveInput threeMaterials() {
  SolveInput in;
  in.precision = 2;
  const auto material = [](const char* name, double sio2, double al2o3, double dj, double il) {
    SolveMaterial m;
    m.name = name;
    m.contents[core::SIO2] = sio2;
    m.contents[core::AL2O3] = al2o3;
    m.dj = dj;
    m.il = il;
    return m;
  };
  in.materials = {material("石英", 100, 0, 1, 0), material("高岭土", 50, 50, 0.5, 10), material("刚玉", 0, 100, 3, 0)};
  in.target.contents[core::SIO2] = 60;
  in.target.contents[core::AL2O3] = 20;
  return in;
}

// The same input as the proportion solver takes it.
std::vector<core::SolverMaterial> solverMaterials(const SolveInput& in) {
  std::vector<core::SolverMaterial> out;
  for (const SolveMaterial& m : in.materials) {
    core::SolverMaterial s;
    s.name = m.name;
    s.il = m.il;
    s.hj = m.hj;
    s.dj = m.dj;
    for (int k = 0; k < core::kOxideCount; ++k) s.contents[std::size_t(k)] = m.contents[std::size_t(k)];
    out.push_back(s);
  }
  return out;
}

core::SolverTarget solverTarget(const SolveInput& in) {
  core::SolverTarget t;
  for (int k = 0; k < core::kOxideCount; ++k) t.contents[std::size_t(k)] = in.target.contents[std::size_t(k)];
  t.amounts = in.target.amounts;
  return t;
}

// `solved` holds what the solver stored for `argument` and the error rate of its composition.
void expectFormulaOfTheSolver(const SolveInput& in, const SolvedFormula& solved, int argument) {
  const auto outcome = core::solveFormula(solverMaterials(in), solverTarget(in), argument, in.precision);
  ASSERT_TRUE(std::holds_alternative<core::FormulaResult>(outcome));
  const auto& f = std::get<core::FormulaResult>(outcome);
  EXPECT_EQ(solved.label, f.label);
  EXPECT_EQ(solved.feasible, f.feasible);
  EXPECT_EQ(solved.x, f.x);
  ASSERT_EQ(solved.proportions.size(), f.proportions.size());
  for (std::size_t i = 0; i < f.proportions.size(); ++i) EXPECT_EQ(solved.proportions[i], f.proportions[i].value) << i;
  EXPECT_EQ(solved.price, f.price.value);
  core::Contents composition{};
  for (std::size_t k = 0; k < composition.size(); ++k) {
    EXPECT_EQ(solved.composition[k], f.oxides[k].value) << k;
    composition[k] = f.oxides[k].value;
  }
  EXPECT_EQ(solved.total, f.total.value);
  core::Contents goal{};
  for (std::size_t k = 0; k < goal.size(); ++k) goal[k] = in.target.contents[k];
  const double average = core::evaluateErrors(goal, composition).average;
  EXPECT_EQ(solved.averageError, average);
  EXPECT_EQ(solved.remark, core::averageErrorRemark(average));
}

TEST(SolveWithoutTables, BothFormulasCarryTheSolversValuesAndTheirErrorRate) {
  const SolveInput in = threeMaterials();
  const auto outcome = solveWithoutTables(in);
  ASSERT_TRUE((std::holds_alternative<std::array<SolvedFormula, 2>>(outcome)));
  const auto& formulas = std::get<std::array<SolvedFormula, 2>>(outcome);
  ASSERT_NO_FATAL_FAILURE(expectFormulaOfTheSolver(in, formulas[0], core::kFormula1));
  ASSERT_NO_FATAL_FAILURE(expectFormulaOfTheSolver(in, formulas[1], core::kFormula2));
  EXPECT_TRUE(formulas[0].feasible);
  EXPECT_EQ(formulas[0].averageError, 25);  // SiO2 75 and Al2O3 25 against 60 and 20
}

TEST(SolveWithoutTables, AFailedFormulaIsRatedAsItsZeroComposition) {
  SolveInput in = threeMaterials();
  in.target.contents[core::MGO] = 5;  // nothing carries MgO
  const auto outcome = solveWithoutTables(in);
  ASSERT_TRUE((std::holds_alternative<std::array<SolvedFormula, 2>>(outcome)));
  const SolvedFormula& f1 = std::get<std::array<SolvedFormula, 2>>(outcome)[0];
  EXPECT_FALSE(f1.feasible);
  ASSERT_NO_FATAL_FAILURE(expectFormulaOfTheSolver(in, f1, core::kFormula1));
}

}  // namespace
}  // namespace tessaro::app
