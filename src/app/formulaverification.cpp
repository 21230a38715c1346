#include "app/formulaverification.h"

#include "core/composition.h"

namespace tessaro::app {

using store::Table;

namespace {

const QString kNum1 = QStringLiteral("NUM1");
const QString kNum2 = QStringLiteral("NUM2");

}  // namespace

std::optional<int> FormulaVerification::askFormulaNumber() {
  Prompter& prompter = tables_.prompter();
  QString text = QStringLiteral("1");
  for (;;) {
    const auto answer = prompter.inputBox(QStringLiteral("验算配方组成"), QStringLiteral("输入验算配方号（1或2） 。　"), text);
    if (!answer) return std::nullopt;
    if (*answer == QLatin1String("1") || *answer == QLatin1String("2")) return answer->toInt();
    prompter.warning(QStringLiteral("所选择配方号码只能是“1、2”，") + kCR + kCR + QStringLiteral("请重新输入配方号！   "));
    text = *answer;
  }
}

bool FormulaVerification::readMaterials(const QString& numField, std::vector<core::VerifiedMaterial>& materials) {
  Table& formula = tables_.table(WorkTable::Formula);
  store::SuspendedDisplay quiet(formula);
  return tables_.forEach(formula, [&] {
    core::VerifiedMaterial m;
    const auto totals = tables_.needTotals(formula, kFormulaTableName);
    if (!totals) return false;
    m.hj = totals->hj;
    m.il = totals->il;
    m.dj = totals->dj;
    const auto contents = tables_.contentsOrZero(formula, kFormulaTableName);
    if (!contents) return false;
    m.contents = *contents;
    for (const QString& col : {kNum1, kNum2}) {
      const auto v = tables_.orZero(formula, kFormulaTableName, col);
      if (!v) return false;
      if (col == numField) m.proportion = *v;
    }
    materials.push_back(m);
    return true;
  });
}

bool FormulaVerification::emptyProportionsToZero() {
  Table& formula = tables_.table(WorkTable::Formula);
  store::SuspendedDisplay quiet(formula);
  return tables_.forEach(formula, [&] {
    for (const QString& col : {kNum1, kNum2}) {
      if (!formula.isNull(col)) continue;
      if (!tables_.update(formula, [&] { return tables_.setText(formula, col, QStringLiteral("0")); })) return false;
    }
    return true;
  });
}

bool FormulaVerification::writeResult(int k, const core::VerifiedFormula& v) {
  return tables_.writeResultRecord({QStringLiteral("%1＃配比").arg(k), v.price, v.oxides, v.total});
}

bool FormulaVerification::verify() {
  if (!calculation_.checkAllowed()) return false;
  if (!tables_.require({WorkTable::Formula, WorkTable::Result, WorkTable::Property}, {WorkTable::Target})) return false;
  Table& formula = tables_.table(WorkTable::Formula);
  Table& result = tables_.table(WorkTable::Result);
  state_.setResultVisible(false);
  const auto k = askFormulaNumber();
  if (!k) return true;
  // Raw materials hidden by the compact display belong to the formula all the same.
  WholeTable all(formula);
  // The values the arithmetic needs, checked before anything changes.
  std::vector<core::VerifiedMaterial> materials;
  if (!readMaterials(QStringLiteral("NUM%1").arg(*k), materials)) return false;

  state_.setPropertyVisible(false);
  if (!tables_.deleteAll(tables_.table(WorkTable::Property)) || !tables_.deleteAll(result)) return false;
  state_.setVerifiedColumn(*k);
  if (!emptyProportionsToZero()) return false;
  if (!writeResult(*k, core::verifyFormula(materials))) return false;
  if (!formula.first()) return tables_.engine(formula);
  if (!calculation_.MinWuCha()) return false;
  if (!result.first()) return tables_.engine(result);
  state_.setResultVisible(true);
  frame_.verificationCompleted();
  return true;
}

}  // namespace tessaro::app
