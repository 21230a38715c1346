#include "app/headlesssolve.h"

#include "core/composition.h"
#include "core/errorrate.h"
#include "core/solver.h"

namespace tessaro::app {

static_assert(std::tuple_size_v<OxideValues> == std::size_t(core::kOxideCount));

namespace {

// The field of the input that a refusal of the solver concerns.
QString refusalField(const core::SolverRefusal& r) {
  const QString field = QString::fromStdString(r.field);
  if (r.kind == core::SolverRefusal::Kind::TooManyMaterials) return QStringLiteral("materials");
  if (r.material >= 0) return QStringLiteral("materials[%1].%2").arg(r.material).arg(field);
  if (!field.isEmpty()) return QStringLiteral("target.") + field;
  return QStringLiteral("input");
}

core::SolverMaterial solverMaterial(const SolveMaterial& m) {
  core::SolverMaterial s;
  s.name = m.name;
  s.contents = m.contents;
  s.il = m.il;
  s.hj = m.hj;
  s.dj = m.dj;
  for (std::size_t j = 0; j < 3; ++j) s.marks[j] = core::isMarked(m.marks[j]);
  return s;
}

SolvedFormula solved(const core::FormulaResult& f, const core::Contents& goal) {
  SolvedFormula out;
  out.label = f.label;
  out.feasible = f.feasible;
  out.x = f.x;
  for (const core::StoredValue& p : f.proportions) out.proportions.push_back(p.value);
  out.price = f.price.value;
  for (std::size_t m = 0; m < out.composition.size(); ++m) out.composition[m] = f.oxides[m].value;
  out.total = f.total.value;
  out.averageError = core::evaluateErrors(goal, out.composition).average;
  out.remark = core::averageErrorRemark(out.averageError);
  return out;
}

}  // namespace

SolveOutcome solveWithoutTables(const SolveInput& input) {
  std::vector<core::SolverMaterial> materials;
  for (const SolveMaterial& m : input.materials) materials.push_back(solverMaterial(m));
  const core::SolverTarget target{input.target.contents, input.target.amounts};
  std::array<SolvedFormula, 2> formulas;
  for (const int argument : {core::kFormula1, core::kFormula2}) {
    const core::SolveOutcome outcome = core::solveFormula(materials, target, argument, input.precision);
    if (const auto* refusal = std::get_if<core::SolverRefusal>(&outcome)) {
      return SolveRefusal{refusalField(*refusal), QString::fromStdString(refusal->message)};
    }
    formulas[argument == core::kFormula1 ? 0 : 1] = solved(std::get<core::FormulaResult>(outcome), target.contents);
  }
  return formulas;
}

}  // namespace tessaro::app
