#include "app/calculation.h"

#include <string>
#include <utility>
#include <vector>

#include "app/commandguard.h"
#include "app/materiallimit.h"
#include "core/composition.h"
#include "core/errorrate.h"
#include "core/format.h"

namespace tessaro::app {

using core::kOxideFields;
using store::Table;

namespace {

QString oxideField(int oxide) { return fieldName(kOxideFields[std::size_t(oxide)]); }

// Counts the nesting of calculation runs for the scope of one run.
class RunDepth {
 public:
  RunDepth(int& depth, int& deepest) : depth_(depth) {
    ++depth_;
    if (depth_ > deepest) deepest = depth_;
  }
  ~RunDepth() { --depth_; }
  RunDepth(const RunDepth&) = delete;
  RunDepth& operator=(const RunDepth&) = delete;

 private:
  int& depth_;
};

}  // namespace

struct Calculation::SolverInputs {
  std::vector<core::SolverMaterial> materials;
  std::vector<std::array<bool, 3>> emptyOthers;  // QTCF1..QTCF3 of each raw material empty
  core::SolverTarget goal;
};

// --- The run -------------------------------------------------------------------------------

bool Calculation::calculate() {
  verdict_ = Verdict::None;
  deepestRun_ = 0;
  const bool ok = guarded(tables_.prompter(), [&] { return run(); });
  // A run stopped by a failure does not leave its retries to the next command.
  if (!ok) retries_ = 0;
  return ok;
}

bool Calculation::checkAllowed() {
  if (core::parseNumber(state_.allowedText.toStdString())) return true;
  tables_.prompter().warning(QStringLiteral("“允许误差%”中的“%1”不是数字，").arg(state_.allowedText) + kCR +
                             QStringLiteral("请输入允许的平均误差率（%），例如 1。"));
  return false;
}

// Before a run: the allowed error is valid, every table the run writes is
// open and sound, every raw material is shown in file order, and no
// properties of an earlier formula are left; the results are read by BH.
bool Calculation::prepareRun() {
  if (!checkAllowed()) return false;
  // The result table is opened again before each calculation; every table
  // the run writes is checked before any of them changes.
  if (!tables_.isOpen(WorkTable::Result)) tables_.open(WorkTable::Result);
  if (!tables_.require({WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})) return false;
  // The solver sees every raw material, in file order.
  if (!display_.showAllMaterials()) return false;
  if (!tables_.deleteAll(tables_.table(WorkTable::Property))) return false;
  state_.setResultVisible(true);
  state_.setPropertyVisible(false);
  Table& result = tables_.table(WorkTable::Result);
  return result.setOrder(QStringLiteral("BH")) || tables_.engine(result);
}

bool Calculation::run() {
  RunDepth depth(runDepth_, deepestRun_);
  if (!prepareRun()) return false;
  Table& result = tables_.table(WorkTable::Result);
  if (tables_.table(WorkTable::Formula).isEmpty() || tables_.table(WorkTable::Target).isEmpty()) {
    tables_.prompter().message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                                QStringLiteral("请输入原料和目标配方！"), {Button::Ok}, Button::Ok});
    return true;
  }
  if (!tables_.deleteAll(result)) return false;
  state_.setVerifiedColumn(0);
  if (!B(core::kFormula1)) return false;
  if (!result.insert()) return tables_.engine(result);
  if (!B(core::kFormula2)) return false;
  if (!result.insert()) return tables_.engine(result);
  if (!PanDuan()) return false;
  if (!result.first()) return tables_.engine(result);
  if (!state_.compactDisplay() && !display_.showUsedMaterialsOnly()) return false;
  frame_.calculationCompleted();
  return true;
}

// --- The solver on the tables --------------------------------------------------------------

bool Calculation::readMaterials(SolverInputs& in) {
  Table& formula = tables_.table(WorkTable::Formula);
  store::SuspendedDisplay quiet(formula);
  return tables_.forEach(formula, [&] {
    core::SolverMaterial m;
    m.name = recordName(formula).toStdString();
    for (core::Oxide o : core::kMainOxides) {
      const auto v = tables_.need(formula, kFormulaTableName, oxideField(o));
      if (!v) return false;
      m.contents[o] = *v;
    }
    std::array<bool, 3> empty{};
    for (int k = 0; k < 3; ++k) {
      const QString col = oxideField(core::QTCF1 + k);
      bool fine = true;
      const auto v = formula.value(col, &fine);
      if (!fine) return tables_.orZero(formula, kFormulaTableName, col).has_value();
      empty[std::size_t(k)] = !v.has_value();
      m.contents[core::QTCF1 + k] = v.value_or(0.0);
    }
    const auto totals = tables_.needTotals(formula, kFormulaTableName);
    if (!totals) return false;
    m.hj = totals->hj;
    m.il = totals->il;
    m.dj = totals->dj;
    for (int j = 0; j < 3; ++j) {
      m.marks[std::size_t(j)] = core::isMarked(formula.text(QStringLiteral("BXL%1").arg(j + 1)).toStdString());
    }
    in.materials.push_back(std::move(m));
    in.emptyOthers.push_back(empty);
    return true;
  });
}

bool Calculation::readTarget(SolverInputs& in) {
  Table& target = tables_.table(WorkTable::Target);
  for (core::Oxide o : core::kMatchedMainOxides) {
    const auto v = tables_.need(target, kTargetTableName, oxideField(o));
    if (!v) return false;
    in.goal.contents[o] = *v;
  }
  for (core::Oxide o : {core::FE2O3, core::TIO2, core::QTCF1, core::QTCF2, core::QTCF3}) {
    const auto v = tables_.orZero(target, kTargetTableName, oxideField(o));
    if (!v) return false;
    in.goal.contents[o] = *v;
  }
  for (int j = 0; j < 3; ++j) {
    in.goal.amounts[std::size_t(j)] = target.text(QStringLiteral("BXL%1").arg(j + 1)).toStdString();
  }
  return true;
}

bool Calculation::refused(const core::SolverRefusal& r) {
  if (r.material >= 0) {
    const Table& formula = tables_.table(WorkTable::Formula);
    return tables_.fail(QStringLiteral("数据表 %1：").arg(shownTableName(formula, kFormulaTableName)) +
                        QString::fromStdString(r.message));
  }
  const Table& target = tables_.table(WorkTable::Target);
  return tables_.fail(
      QStringLiteral("数据表 %1 中记录“%2”：").arg(shownTableName(target, kTargetTableName), recordName(target)) +
      QString::fromStdString(r.message));
}

bool Calculation::storeEmptyOthersAsZero(const SolverInputs& in) {
  Table& formula = tables_.table(WorkTable::Formula);
  store::SuspendedDisplay quiet(formula);
  std::size_t i = 0;
  return tables_.forEach(formula, [&] {
    const auto& empty = in.emptyOthers[i++];
    if (!empty[0] && !empty[1] && !empty[2]) return true;
    return tables_.update(formula, [&] {
      for (int k = 0; k < 3; ++k) {
        if (empty[std::size_t(k)] && !tables_.setText(formula, oxideField(core::QTCF1 + k), QStringLiteral("0")))
          return false;
      }
      return true;
    });
  });
}

bool Calculation::writeProportions(const QString& numField, const core::FormulaResult& f) {
  Table& formula = tables_.table(WorkTable::Formula);
  store::SuspendedDisplay quiet(formula);
  std::size_t i = 0;
  return tables_.forEach(formula, [&] {
    const QString text = QString::fromStdString(f.proportions[i++].text());
    return tables_.update(formula, [&] { return tables_.setText(formula, numField, text); });
  });
}

bool Calculation::B(int argument) {
  if (!tables_.require({WorkTable::Formula, WorkTable::Result}, {WorkTable::Target})) return false;
  Table& formula = tables_.table(WorkTable::Formula);
  Table& result = tables_.table(WorkTable::Result);
  const int n = formula.recordCount();
  if (n > kMaxMaterials) {
    return tables_.fail(calculationLimitText(n));
  }
  // The inputs, all checked before anything is written.
  SolverInputs in;
  if (!readMaterials(in) || !readTarget(in)) return false;
  if (auto r = core::checkSolverInput(in.materials, in.goal, argument, state_.precision())) return refused(*r);
  if (!storeEmptyOthersAsZero(in)) return false;

  const core::SolveOutcome outcome = core::solveFormula(in.materials, in.goal, argument, state_.precision());
  if (const auto* r = std::get_if<core::SolverRefusal>(&outcome)) return refused(*r);
  const auto& f = std::get<core::FormulaResult>(outcome);
  const QString numField = argument == core::kFormula1 ? QStringLiteral("NUM1") : QStringLiteral("NUM2");
  if (!writeProportions(numField, f)) return false;
  if (!tables_.writeResultRecord({QString::fromStdString(f.label), f.price, f.oxides, f.total})) return false;
  if (!result.next()) return tables_.engine(result);
  if (!formula.first()) return tables_.engine(formula);
  if (!result.first()) return tables_.engine(result);
  return true;
}

// --- Error evaluation and verdict ------------------------------------------------------------

// Evaluates the result record the cursor is on (number `number` of the
// reports), writes its remark and marks its label when the rate exceeds the
// allowed one.
bool Calculation::evaluate(int number, const core::Contents& goal, double allowed, std::optional<double>& smallest) {
  Table& result = tables_.table(WorkTable::Result);
  const auto values = tables_.contentsOrZero(result, kResultTableName);
  if (!values) return false;
  const core::ErrorEvaluation e = core::evaluateErrors(goal, *values);
  const QString label = QStringLiteral("BH");
  if (!tables_.update(result, [&] {
        return tables_.setText(result, QStringLiteral("BZ"), QString::fromStdString(core::averageErrorRemark(e.average))) &&
               (!core::exceedsAllowedRate(allowed, e.average) ||
                tables_.setText(result, label, result.text(label) + QString::fromStdString(std::string(core::kLargeErrorMark))));
      }))
    return false;
  if (state_.showDetails) {
    const std::array<std::string, 3> others = {captions_.formulaOther(1).toStdString(),
                                               captions_.formulaOther(2).toStdString(),
                                               captions_.formulaOther(3).toStdString()};
    tables_.prompter().information(QString::fromStdString(core::errorReport(number, e, others)));
  }
  if (!smallest || e.average < *smallest) smallest = e.average;
  return true;
}

std::optional<double> Calculation::MinWuCha() {
  if (!tables_.require({WorkTable::Result}, {WorkTable::Target})) return std::nullopt;
  const auto allowed = core::parseNumber(state_.allowedText.toStdString());
  if (!allowed) {
    checkAllowed();
    return std::nullopt;
  }
  Table& target = tables_.table(WorkTable::Target);
  Table& result = tables_.table(WorkTable::Result);
  core::Contents goal{};
  if (!target.isEmpty()) {
    const auto contents = tables_.contentsOrZero(target, kTargetTableName);
    if (!contents) return std::nullopt;
    goal = *contents;
  }
  std::vector<Table::Bookmark> records;
  if (!tables_.forEach(result, [&] {
        records.push_back(result.bookmark());
        return true;
      }))
    return std::nullopt;
  std::optional<double> smallest;
  int number = 0;
  for (const Table::Bookmark& b : records) {
    if (!result.gotoBookmark(b)) return tables_.engine(result), std::nullopt;
    if (!evaluate(++number, goal, *allowed, smallest)) return std::nullopt;
  }
  if (!target.first()) return tables_.engine(target), std::nullopt;
  return smallest.value_or(0.0);
}

void Calculation::verdictMessage(bool passed, double rate) {
  const QString shown = QString::fromStdString(core::format2(rate));
  const QString text =
      passed ? QStringLiteral("恭喜：") + kCR + QStringLiteral("配方计算结果与目标配方化学组成最小平均误差率 =") + shown +
                   QStringLiteral(" %") + kCR + QStringLiteral("小于或等于误差率 ") + state_.allowedText +
                   QStringLiteral("% 的要求。")
             : QStringLiteral("对不起：") + kCR + QStringLiteral("配方计算结果与目标配方化学组成最小平均误差率 =") +
                   shown + QStringLiteral(" %") + kCR + QStringLiteral("大于误差率 ") + state_.allowedText +
                   QStringLiteral("% 的要求。") + kCR + kCR;
  tables_.prompter().message(
      {MessageKind::Captioned, QStringLiteral("用户信息"), Icon::Warning, text, {Button::Ok}, Button::Ok});
}

bool Calculation::PanDuan() {
  if (!tables_.require({WorkTable::Target, WorkTable::Result})) return false;
  Table& target = tables_.table(WorkTable::Target);
  if (!target.first()) return tables_.engine(target);
  const auto smallest = MinWuCha();
  if (!smallest) return false;
  const double e = core::roundFixed(*smallest, 2);
  const auto allowed = core::parseNumber(state_.allowedText.toStdString());
  if (!allowed) return checkAllowed();
  if (*allowed >= e) {
    if (state_.showDetails) verdictMessage(true, e);
    retries_ = 0;
    verdict_ = Verdict::Passed;
    return true;
  }
  ++retries_;
  if (retries_ >= 4) {
    verdictMessage(false, e);
    retries_ = 0;
    verdict_ = Verdict::Failed;
    return true;
  }
  if (!kna_.toggleKNa()) return false;
  return run();
}

}  // namespace tessaro::app
