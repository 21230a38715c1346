#include "app/worktables.h"

#include <utility>

#include "store/dbf.h"
#include "store/paths.h"

namespace tessaro::app {

using store::Table;

QString fieldName(std::string_view name) { return QString::fromLatin1(name.data(), qsizetype(name.size())); }

QString shownTableName(const Table& t, const QString& relativeName) {
  const QString shown = t.displayName();
  return shown.isEmpty() ? shownRelativeName(relativeName) : shown;
}

QString recordName(const Table& t) {
  bool ok = true;
  const QString name = t.text(QStringLiteral("NAME"), &ok);
  return ok ? name : QString();
}

WholeTable::WholeTable(Table& t) : t_(t), ranged_(t.hasRange()) {
  if (ranged_) t_.cancelRange();
}

WholeTable::~WholeTable() {
  if (ranged_) t_.setRange(QStringLiteral("1"), QStringLiteral("1"));
}

WorkingTables::WorkingTables(Prompter& prompter, const QString& baseFolder, Table* materialLibrary,
                             Table* targetLibrary)
    : prompter_(prompter),
      base_(baseFolder.isEmpty() ? store::programFolder() : baseFolder),
      materials_(materialLibrary ? materialLibrary : &ownMaterials_),
      targets_(targetLibrary ? targetLibrary : &ownTargets_) {}

const QString& WorkingTables::relativeName(WorkTable w) {
  static const std::array<QString, 4> names = {kFormulaTableName, kTargetTableName, kResultTableName,
                                               kPropertyTableName};
  return names[std::size_t(w)];
}

bool WorkingTables::open(WorkTable w) {
  const auto mode = w == WorkTable::Result ? Table::Mode::Exclusive : Table::Mode::Shared;
  const bool opened = table(w).open(base_, relativeName(w), mode);
  // The result records are always read by BH: formula 1 before formula 2.
  if (opened && w == WorkTable::Result) table(w).setOrder(QStringLiteral("BH"));
  return opened;
}

void WorkingTables::openAll() {
  for (WorkTable w : kWorkTables) {
    if (!open(w)) {
      prompter_.warning(QStringLiteral("无法打开数据表 %1，主界面不使用该表。").arg(shownRelativeName(relativeName(w))) +
                        kCR + table(w).errorString());
    } else if (!table(w).damageReport().isEmpty()) {
      prompter_.warning(table(w).damageReport());
    }
  }
}

bool WorkingTables::openLibraries() {
  struct Library {
    Table* table;
    const QString& name;
  };
  for (const Library& lib : {Library{materials_, kMaterialLibraryName}, Library{targets_, kTargetLibraryName}}) {
    if (lib.table->isOpen()) continue;
    if (!lib.table->open(base_, lib.name)) {
      return fail(QStringLiteral("无法打开数据表 %1。").arg(shownRelativeName(lib.name)) + kCR +
                  lib.table->errorString());
    }
  }
  return true;
}

bool WorkingTables::fail(const QString& text) {
  prompter_.error(text);
  return false;
}

bool WorkingTables::require(std::initializer_list<WorkTable> writes, std::initializer_list<WorkTable> reads) {
  auto usable = [&](WorkTable w, bool written) {
    if (!isOpen(w)) {
      return fail(QStringLiteral("数据表 %1 未能打开，不能执行此命令。").arg(shownRelativeName(relativeName(w))));
    }
    return requireSound(table(w), written);
  };
  for (WorkTable w : writes) {
    if (!usable(w, true)) return false;
  }
  for (WorkTable w : reads) {
    if (!usable(w, false)) return false;
  }
  return true;
}

bool WorkingTables::requireSound(const Table& t, bool written) {
  const QString refusal = tableRefusal(t, written);
  return refusal.isEmpty() || fail(refusal);
}

std::optional<std::optional<double>> WorkingTables::cell(Table& t, const QString& relativeName,
                                                         const QString& column) {
  bool ok = true;
  const auto v = t.value(column, &ok);
  if (ok) return v;
  if (t.fieldIndex(column) < 0) {
    fail(QStringLiteral("数据表 %1 中没有“%2”栏，命令已停止。").arg(shownTableName(t, relativeName), column));
    return std::nullopt;
  }
  fail(QStringLiteral("数据表 %1 中记录“%2”的“%3”栏不是数字，命令已停止。")
           .arg(shownTableName(t, relativeName), recordName(t), column));
  return std::nullopt;
}

std::optional<double> WorkingTables::need(Table& t, const QString& relativeName, const QString& column) {
  const auto v = cell(t, relativeName, column);
  if (!v) return std::nullopt;
  if (!*v) {
    fail(QStringLiteral("数据表 %1 中记录“%2”的“%3”栏为空，命令已停止。")
             .arg(shownTableName(t, relativeName), recordName(t), column));
    return std::nullopt;
  }
  return *v;
}

std::optional<double> WorkingTables::orZero(Table& t, const QString& relativeName, const QString& column) {
  const auto v = cell(t, relativeName, column);
  if (!v) return std::nullopt;
  return v->value_or(0.0);
}

std::optional<core::Contents> WorkingTables::contentsOrZero(Table& t, const QString& relativeName) {
  core::Contents contents{};
  for (int m = 0; m < core::kOxideCount; ++m) {
    const auto v = orZero(t, relativeName, fieldName(core::kOxideFields[std::size_t(m)]));
    if (!v) return std::nullopt;
    contents[std::size_t(m)] = *v;
  }
  return contents;
}

std::optional<WorkingTables::Totals> WorkingTables::needTotals(Table& t, const QString& relativeName) {
  Totals totals;
  for (auto [column, value] : {std::pair{QStringLiteral("HJ"), &totals.hj}, std::pair{QStringLiteral("IL"), &totals.il},
                               std::pair{QStringLiteral("DJ"), &totals.dj}}) {
    const auto v = need(t, relativeName, column);
    if (!v) return std::nullopt;
    *value = *v;
  }
  return totals;
}

bool WorkingTables::deleteAll(Table& t) {
  if (!t.first()) return engine(t);
  while (t.recordCount() > 0) {
    if (!t.deleteRecord()) return engine(t);
  }
  return true;
}

bool WorkingTables::clearInUse() {
  Table& formula = table(WorkTable::Formula);
  const QString inUse = QStringLiteral("BH");
  return forEach(formula, [&] {
    if (formula.text(inUse) != QLatin1String("1")) return true;
    return update(formula, [&] { return setText(formula, inUse, QStringLiteral("0")); });
  });
}

bool WorkingTables::writeResultRecord(const ResultValues& v) {
  Table& result = table(WorkTable::Result);
  // The record the caller started, or the first one of an empty table.
  if (result.state() != Table::State::Insert && !result.edit()) return engine(result);
  if (!setText(result, QStringLiteral("BH"), v.label) ||
      !setText(result, QStringLiteral("DJ"), QString::fromStdString(v.price.text())))
    return false;
  for (int m = 0; m < core::kOxideCount; ++m) {
    const QString text = QString::fromStdString(v.oxides[std::size_t(m)].text());
    if (!setText(result, fieldName(core::kOxideFields[std::size_t(m)]), text)) return false;
  }
  if (!setText(result, QStringLiteral("HJ"), QString::fromStdString(v.total.text()))) return false;
  if (!result.setDate(QStringLiteral("DATE"), store::today()) || !result.post()) return engine(result);
  return true;
}

}  // namespace tessaro::app
