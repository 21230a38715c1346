#include "app/knatoggle.h"

namespace tessaro::app {

using store::Table;

namespace {

const QString K = QStringLiteral("K2O");
const QString N = QStringLiteral("NA2O");

// Puts the libraries back in their normal order when the scope ends while
// armed: should the split stop half-way, their windows would otherwise show
// the category rows out of place.
class LibraryOrder {
 public:
  LibraryOrder(Table& materials, Table& targets) : materials_(materials), targets_(targets) {}
  ~LibraryOrder() {
    if (!armed) return;
    for (Table* lib : {&materials_, &targets_}) {
      if (lib->isOpen()) lib->setIndexTag(QStringLiteral("BH"));
    }
  }
  LibraryOrder(const LibraryOrder&) = delete;
  LibraryOrder& operator=(const LibraryOrder&) = delete;
  bool armed = false;

 private:
  Table& materials_;
  Table& targets_;
};

}  // namespace

bool KNaToggle::toggleKNa() {
  if (!tables_.require({WorkTable::Formula, WorkTable::Target})) return false;
  // The split reads both libraries: they are checked before anything changes.
  if (state_.kNaMerged() && (!tables_.openLibraries() || !tables_.requireSound(tables_.materials(), false) ||
                             !tables_.requireSound(tables_.targets(), false)))
    return false;
  if (state_.compactDisplay() && !display_.showAllMaterials()) return false;
  LibraryOrder order(tables_.materials(), tables_.targets());
  if (state_.kNaMerged()) {
    order.armed = true;
    if (!split()) return false;
  } else if (!merge()) {
    return false;
  }
  Table& formula = tables_.table(WorkTable::Formula);
  if (!formula.first()) return tables_.engine(formula);
  // A split puts the libraries back however it ends, a merge once it went through.
  order.armed = true;
  return true;
}

std::optional<std::pair<double, double>> KNaToggle::readPair(Table& t, const QString& relativeName) {
  const auto k = tables_.orZero(t, relativeName, K);
  if (!k) return std::nullopt;
  const auto n = tables_.orZero(t, relativeName, N);
  if (!n) return std::nullopt;
  return std::pair{*k, *n};
}

bool KNaToggle::merge() {
  Table& formula = tables_.table(WorkTable::Formula);
  Table& target = tables_.table(WorkTable::Target);
  // Both values must be numbers (or empty) in every record before any changes.
  std::vector<std::pair<double, double>> values;
  if (!tables_.forEach(formula, [&] {
        const auto p = readPair(formula, kFormulaTableName);
        if (p) values.push_back(*p);
        return p.has_value();
      }))
    return false;
  std::optional<std::pair<double, double>> targetValues;
  if (!target.isEmpty()) {
    targetValues = readPair(target, kTargetTableName);
    if (!targetValues) return false;
  }
  auto merged = [&](Table& t, std::pair<double, double> v) {
    return tables_.update(t, [&] {
      return (t.setNumber(K, core::mergedK2O(v.first, v.second)) && t.setNumber(N, 0)) || tables_.engine(t);
    });
  };
  {
    store::SuspendedDisplay quiet(formula);
    std::size_t i = 0;
    if (!tables_.forEach(formula, [&] { return merged(formula, values[i++]); })) return false;
  }
  if (targetValues && !merged(target, *targetValues)) return false;
  if (!captions_.showKNa(true)) return false;
  state_.setKNaMerged(true);
  return true;
}

bool KNaToggle::plan(Table& t, const Lookup& lookup, std::vector<Planned>& out, QStringList& keptMerged) {
  Table& library = lookup.library;
  const QString name = recordName(t);
  if (!library.findKey(name)) {
    if (!library.errorString().isEmpty()) return tables_.engine(library);
    keptMerged << QStringLiteral("%1“%2”：%3中没有同名记录").arg(lookup.what, name, lookup.libraryWhat);
    return true;
  }
  const auto hj = tables_.need(library, lookup.libraryName, QStringLiteral("HJ"));
  if (!hj) return false;
  const auto il = tables_.need(library, lookup.libraryName, QStringLiteral("IL"));
  if (!il) return false;
  const auto pair = readPair(library, lookup.libraryName);
  if (!pair) return false;
  const auto split = core::splitKNa(pair->first, pair->second, *hj, *il);
  if (!split) {
    keptMerged << QStringLiteral("%1“%2”：%3（%4）中此记录的合计HJ等于灼减IL，无法换算")
                      .arg(lookup.what, name, lookup.libraryWhat, shownTableName(library, lookup.libraryName));
    return true;
  }
  out.push_back({t.bookmark(), *split});
  return true;
}

bool KNaToggle::planSplit(SplitPlan& p) {
  Table& formula = tables_.table(WorkTable::Formula);
  Table& target = tables_.table(WorkTable::Target);
  Table& materials = tables_.materials();
  Table& targets = tables_.targets();
  if (!materials.setOrder(QStringLiteral("NAME"))) return tables_.engine(materials);
  if (!targets.setOrder(QStringLiteral("NAME"))) return tables_.engine(targets);
  const Lookup materialLookup{materials, kMaterialLibraryName, QStringLiteral("原料"), QStringLiteral("原料库")};
  const Lookup targetLookup{targets, kTargetLibraryName, QStringLiteral("目标配方"), QStringLiteral("目标库")};
  if (!tables_.forEach(formula, [&] { return plan(formula, materialLookup, p.formula, p.keptMerged); })) return false;
  return target.isEmpty() || plan(target, targetLookup, p.target, p.keptMerged);
}

bool KNaToggle::applySplit(Table& t, const Planned& p) {
  if (!t.gotoBookmark(p.where)) return tables_.engine(t);
  return tables_.update(t, [&] { return tables_.setText(t, K, QString::fromStdString(p.values.k2o.text())); }) &&
         tables_.update(t, [&] { return tables_.setText(t, N, QString::fromStdString(p.values.na2o.text())); });
}

bool KNaToggle::split() {
  Table& formula = tables_.table(WorkTable::Formula);
  Table& target = tables_.table(WorkTable::Target);
  SplitPlan p;
  if (!planSplit(p)) return false;
  state_.setKNaMerged(false);
  {
    store::SuspendedDisplay quiet(formula);
    for (const Planned& planned : p.formula) {
      if (!applySplit(formula, planned)) return false;
    }
  }
  for (const Planned& planned : p.target) {
    if (!applySplit(target, planned)) return false;
  }
  if (!captions_.showKNa(false)) return false;
  if (!p.keptMerged.isEmpty()) {
    tables_.prompter().warning(QStringLiteral("以下记录的K2O仍是K2O与Na2O之和，Na2O仍为0：") + kCR +
                               p.keptMerged.join(kCR));
  }
  return true;
}

}  // namespace tessaro::app
