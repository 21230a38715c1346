#include "app/mainscreen.h"

#include <QDate>
#include <QDir>

#include <exception>
#include <utility>

#include "app/commandguard.h"
#include "core/composition.h"
#include "core/errorrate.h"
#include "core/format.h"
#include "core/kna.h"
#include "core/solver.h"
#include "core/verification.h"
#include "store/paths.h"
#include "store/profile.h"

namespace tessaro::app {

using core::kOxideCount;
using core::kOxideFields;
using store::Table;

namespace {

QString field(std::string_view name) { return QString::fromLatin1(name.data(), qsizetype(name.size())); }
QString fromStd(const std::string& s) { return QString::fromStdString(s); }
std::string toStd(const QString& s) { return s.toStdString(); }

const QString kCalculationSection = QStringLiteral("配方");
const QString kTargetSection = QStringLiteral("目标配方");
const QString kResultSection = QStringLiteral("结果");
const QString kOtherSection = QStringLiteral("其它");
const QString kMergedK2O = QStringLiteral("K/NaO");
const QString kMergedNa2O = QStringLiteral("***");
const QString kOtherDefault = QStringLiteral("其它");

// The main oxides, which every raw material must carry as numbers.
constexpr std::array<core::Oxide, 8> kMainOxides = {core::SIO2, core::AL2O3, core::FE2O3, core::TIO2,
                                                    core::CAO,  core::MGO,   core::K2O,   core::NA2O};
// The main oxides among the matched ones, which the target must carry.
constexpr std::array<core::Oxide, 6> kMatchedMainOxides = {core::SIO2, core::AL2O3, core::CAO,
                                                           core::MGO,  core::K2O,   core::NA2O};

core::Date today() {
  const QDate d = QDate::currentDate();
  return {d.year(), d.month(), d.day()};
}

// The record's name for messages.
QString recordName(const Table& t) {
  bool ok = true;
  const QString name = t.text(QStringLiteral("NAME"), &ok);
  return ok ? name : QString();
}

QString tableName(const Table& t, const QString& relativeName) {
  const QString shown = t.displayName();
  return shown.isEmpty() ? QString(relativeName).replace(QLatin1Char('\\'), QLatin1Char('/')) : shown;
}

}  // namespace

RowHighlight rowHighlight(const QString& bxl1, const QString& bxl2, const QString& bxl3) {
  if (bxl1 == kMandatoryMark) return {true, 1};
  if (bxl2 == kMandatoryMark) return {true, 2};
  if (bxl3 == kMandatoryMark) return {true, 3};
  return {};
}

// The cursors the main screen owns, and the messages about values.
struct MainScreen::Impl {
  MainScreen& s;
  std::array<Table, 4> work;
  std::array<bool, 4> open{};
  Table ownMaterials;
  Table ownTargets;
  Table* materials = nullptr;
  Table* targets = nullptr;
  bool librariesGiven = false;

  explicit Impl(MainScreen& screen) : s(screen) {}

  Table& t(WorkTable w) { return work[std::size_t(w)]; }

  static const QString& relName(WorkTable w) {
    static const std::array<QString, 4> names = {kFormulaTableName, kTargetTableName, kResultTableName,
                                                 kPropertyTableName};
    return names[std::size_t(w)];
  }

  bool openWork(WorkTable w) {
    const auto mode = w == WorkTable::Result ? Table::Mode::Exclusive : Table::Mode::Shared;
    open[std::size_t(w)] = t(w).open(s.base_, relName(w), mode);
    // The result records are always read by BH: formula 1 before formula 2.
    if (open[std::size_t(w)] && w == WorkTable::Result) t(w).setOrder(QStringLiteral("BH"));
    return open[std::size_t(w)];
  }

  // A failure of the table engine: its message, and the command stops.
  bool engine(Table& table) {
    s.prompter_.error(table.errorString());
    return false;
  }

  // A numeric cell of the current record, empty or not; nothing when it does
  // not hold a number (the command then stops with a message naming it).
  std::optional<std::optional<double>> cell(Table& table, const QString& relativeName, const QString& column) {
    bool ok = true;
    const auto v = table.value(column, &ok);
    if (ok) return v;
    if (table.fieldIndex(column) < 0) {
      s.fail(QStringLiteral("数据表 %1 中没有“%2”栏，命令已停止。").arg(tableName(table, relativeName), column));
      return std::nullopt;
    }
    s.fail(QStringLiteral("数据表 %1 中记录“%2”的“%3”栏不是数字，命令已停止。")
               .arg(tableName(table, relativeName), recordName(table), column));
    return std::nullopt;
  }

  // A value a command needs from the current record: a number, not empty.
  std::optional<double> need(Table& table, const QString& relativeName, const QString& column) {
    const auto v = cell(table, relativeName, column);
    if (!v) return std::nullopt;
    if (!*v) {
      s.fail(QStringLiteral("数据表 %1 中记录“%2”的“%3”栏为空，命令已停止。")
                 .arg(tableName(table, relativeName), recordName(table), column));
      return std::nullopt;
    }
    return *v;
  }

  // A value that reads 0 when empty, but must be a number when given.
  std::optional<double> orZero(Table& table, const QString& relativeName, const QString& column) {
    const auto v = cell(table, relativeName, column);
    if (!v) return std::nullopt;
    return v->value_or(0.0);
  }

  // Visits every record of the table's current order and range.
  template <typename F>
  bool forEach(Table& table, F&& f) {
    if (!table.first()) return engine(table);
    while (!table.eof()) {
      if (!f()) return false;
      if (!table.next()) return engine(table);
    }
    return true;
  }

  bool setText(Table& table, const QString& column, const QString& text) {
    return table.setText(column, text) || engine(table);
  }

  bool deleteAll(Table& table) {
    if (!table.first()) return engine(table);
    while (table.recordCount() > 0) {
      if (!table.deleteRecord()) return engine(table);
    }
    return true;
  }

  // In-use flags "1" back to "0", over the current order and range.
  bool clearInUse(Table& formula) {
    return forEach(formula, [&] {
      if (formula.text(QStringLiteral("BH")) != QLatin1String("1")) return true;
      return (formula.edit() || engine(formula)) && setText(formula, QStringLiteral("BH"), QStringLiteral("0")) &&
             (formula.post() || engine(formula));
    });
  }
};

namespace {

// Lifts the compact display's range for a scope, so that a walk sees every
// record, hidden or not.
class WholeTable {
 public:
  explicit WholeTable(Table& t) : t_(t), ranged_(t.hasRange()) {
    if (ranged_) t_.cancelRange();
  }
  ~WholeTable() {
    if (ranged_) t_.setRange(QStringLiteral("1"), QStringLiteral("1"));
  }
  WholeTable(const WholeTable&) = delete;
  WholeTable& operator=(const WholeTable&) = delete;

 private:
  Table& t_;
  bool ranged_;
};

}  // namespace

// --- Creation -------------------------------------------------------------------------

MainScreen::MainScreen(Prompter& prompter, FrameState& frame, const QString& baseFolder, store::Table* materialLibrary,
                       store::Table* targetLibrary)
    : d_(std::make_unique<Impl>(*this)), prompter_(prompter), frame_(frame), base_(baseFolder) {
  if (base_.isEmpty()) base_ = store::programFolder();
  d_->librariesGiven = materialLibrary != nullptr || targetLibrary != nullptr;
  d_->materials = materialLibrary ? materialLibrary : &d_->ownMaterials;
  d_->targets = targetLibrary ? targetLibrary : &d_->ownTargets;
  precision_ = 2;
  for (WorkTable w : {WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property}) {
    if (!d_->openWork(w)) {
      prompter_.warning(QStringLiteral("无法打开数据表 %1，主界面不使用该表。")
                            .arg(QString(Impl::relName(w)).replace(QLatin1Char('\\'), QLatin1Char('/'))) +
                        kCR + d_->t(w).errorString());
    } else if (!d_->t(w).damageReport().isEmpty()) {
      prompter_.warning(d_->t(w).damageReport());
    }
  }
  const QString file = settingsFile();
  auto read = [&](const QString& section, int key) { return store::Profile::read(file, section, QString::number(key)); };
  for (int k = 0; k <= 22; ++k) formulaCaptions_ << read(kCalculationSection, k);
  if (read(kCalculationSection, 12) == kMergedK2O) kNaCaption_ = kSplitCaption;
  for (int p = 0; p < 20; ++p) targetCaptions_ << QString();
  for (int k = 0; k <= 3; ++k) targetCaptions_[k] = read(kTargetSection, k);
  for (int k = 6; k <= 16; ++k) targetCaptions_[k - 2] = read(kCalculationSection, k);
  for (int k = 16; k <= 18; ++k) targetCaptions_[k] = read(kTargetSection, k);
  for (int p = 0; p < 21; ++p) resultCaptions_ << QString();
  for (int k = 0; k <= 1; ++k) resultCaptions_[k] = read(kResultSection, k);
  for (int k = 6; k <= 16; ++k) resultCaptions_[k - 4] = read(kCalculationSection, k);
  for (int k = 13; k <= 15; ++k) resultCaptions_[k] = read(kResultSection, k);
}

MainScreen::~MainScreen() = default;

store::Table& MainScreen::table(WorkTable t) { return d_->t(t); }
bool MainScreen::isOpen(WorkTable t) const { return d_->open[std::size_t(t)] && d_->work[std::size_t(t)].isOpen(); }
store::Table* MainScreen::materialLibrary() { return d_->materials; }
store::Table* MainScreen::targetLibrary() { return d_->targets; }
QString MainScreen::settingsFile() const { return store::settingsFile(base_); }

bool MainScreen::fail(const QString& text) {
  prompter_.error(text);
  return false;
}

bool MainScreen::require(std::initializer_list<WorkTable> writes, std::initializer_list<WorkTable> reads) {
  auto usable = [&](WorkTable w, bool written) {
    if (!isOpen(w)) {
      return fail(QStringLiteral("数据表 %1 未能打开，不能执行此命令。")
                      .arg(QString(Impl::relName(w)).replace(QLatin1Char('\\'), QLatin1Char('/'))));
    }
    return requireSound(d_->t(w), written);
  };
  for (WorkTable w : writes) {
    if (!usable(w, true)) return false;
  }
  for (WorkTable w : reads) {
    if (!usable(w, false)) return false;
  }
  return true;
}

bool MainScreen::requireSound(const Table& t, bool written) {
  const QString refusal = tableRefusal(t, written);
  return refusal.isEmpty() || fail(refusal);
}

bool MainScreen::checkAllowed() {
  if (core::parseNumber(toStd(allowedText_))) return true;
  prompter_.warning(QStringLiteral("“允许误差%”中的“%1”不是数字，").arg(allowedText_) + kCR +
                    QStringLiteral("请输入允许的平均误差率（%），例如 1。"));
  return false;
}

bool MainScreen::writeSetting(const QString& section, const QString& key, const QString& value) {
  QString error;
  if (store::Profile::write(settingsFile(), section, key, value, &error)) return true;
  return fail(error);
}

bool MainScreen::openLibraries() {
  struct Lib {
    Table* table;
    const QString& name;
  };
  for (const Lib& lib : {Lib{d_->materials, kMaterialLibraryName}, Lib{d_->targets, kTargetLibraryName}}) {
    if (lib.table->isOpen()) continue;
    if (!lib.table->open(base_, lib.name)) {
      return fail(QStringLiteral("无法打开数据表 %1。")
                      .arg(QString(lib.name).replace(QLatin1Char('\\'), QLatin1Char('/'))) +
                  kCR + lib.table->errorString());
    }
  }
  return true;
}

// --- Calculation run ---------------------------------------------------------------------

bool MainScreen::calculate() {
  verdict_ = Verdict::None;
  deepestRun_ = 0;
  const bool ok = guarded(prompter_, [&] { return runCalculation(); });
  // A run stopped by a failure does not leave its retries to the next command.
  if (!ok) retries_ = 0;
  return ok;
}

bool MainScreen::runCalculation() {
  struct Depth {
    MainScreen& s;
    explicit Depth(MainScreen& m) : s(m) {
      ++s.runDepth_;
      if (s.runDepth_ > s.deepestRun_) s.deepestRun_ = s.runDepth_;
    }
    ~Depth() { --s.runDepth_; }
  } depth(*this);

  if (!checkAllowed()) return false;
  // The result table is opened again before each calculation; every table
  // the run writes is checked before any of them changes.
  if (!isOpen(WorkTable::Result)) d_->openWork(WorkTable::Result);
  if (!require({WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})) return false;
  Table& formula = d_->t(WorkTable::Formula);
  Table& target = d_->t(WorkTable::Target);
  Table& result = d_->t(WorkTable::Result);
  Table& property = d_->t(WorkTable::Property);

  // 1. the solver sees the raw materials in file order
  if (!formula.cancelRange() || !formula.setNaturalOrder()) return d_->engine(formula);
  // 2. every raw material shown again
  {
    store::SuspendedDisplay quiet(formula);
    if (!d_->clearInUse(formula)) return false;
    compactCaption_ = kCompactOffCaption;
    if (!formula.first()) return d_->engine(formula);
  }
  // 3. no properties of an earlier formula
  if (!d_->deleteAll(property)) return false;
  // 4.
  resultVisible_ = true;
  propertyVisible_ = false;
  // 5. (the result table was opened above)
  if (!result.setOrder(QStringLiteral("BH"))) return d_->engine(result);
  // 6.
  if (formula.isEmpty() || target.isEmpty()) {
    prompter_.message({MessageKind::Captioned, QStringLiteral("提示"), Icon::Information,
                       QStringLiteral("请输入原料和目标配方！"), {Button::Ok}, Button::Ok});
    return true;
  }
  // 7.
  if (!d_->deleteAll(result)) return false;
  verifiedColumn_ = 0;
  if (!B(core::kFormula1)) return false;
  if (!result.insert()) return d_->engine(result);
  if (!B(core::kFormula2)) return false;
  if (!result.insert()) return d_->engine(result);
  if (!PanDuan()) return false;
  // 8.
  if (!result.first()) return d_->engine(result);
  if (compactCaption_ == kCompactOffCaption && !showUsedMaterialsOnly()) return false;
  // 9.
  frame_.calculationCompleted();
  return true;
}

bool MainScreen::B(int argument) {
  return guarded(prompter_, [&]() -> bool {
    if (!require({WorkTable::Formula, WorkTable::Result}, {WorkTable::Target})) return false;
    Table& formula = d_->t(WorkTable::Formula);
    Table& target = d_->t(WorkTable::Target);
    Table& result = d_->t(WorkTable::Result);
    const QString numField = argument == core::kFormula1 ? QStringLiteral("NUM1") : QStringLiteral("NUM2");

    const int n = formula.recordCount();
    if (n > core::kMaxMaterials) {
      return fail(QStringLiteral("选择原料最多不能超过35种。") + kCR + kCR +
                  QStringLiteral("表1中的原料有%1种。").arg(n) + kCR + kCR + QStringLiteral("请删除多余的原料后再计算！"));
    }
    // The inputs, all checked before anything is written.
    std::vector<core::SolverMaterial> materials;
    std::vector<std::array<bool, 3>> emptyOthers;
    {
      store::SuspendedDisplay quiet(formula);
      const bool ok = d_->forEach(formula, [&] {
        core::SolverMaterial m;
        m.name = toStd(recordName(formula));
        for (core::Oxide o : kMainOxides) {
          const auto v = d_->need(formula, kFormulaTableName, field(kOxideFields[o]));
          if (!v) return false;
          m.contents[o] = *v;
        }
        std::array<bool, 3> empty{};
        for (int k = 0; k < 3; ++k) {
          const QString col = field(kOxideFields[core::QTCF1 + k]);
          bool fine = true;
          const auto v = formula.value(col, &fine);
          if (!fine) return d_->orZero(formula, kFormulaTableName, col).has_value();
          empty[std::size_t(k)] = !v.has_value();
          m.contents[core::QTCF1 + k] = v.value_or(0.0);
        }
        for (auto [col, dst] : {std::pair{QStringLiteral("HJ"), &m.hj}, std::pair{QStringLiteral("IL"), &m.il},
                                std::pair{QStringLiteral("DJ"), &m.dj}}) {
          const auto v = d_->need(formula, kFormulaTableName, col);
          if (!v) return false;
          *dst = *v;
        }
        for (int j = 0; j < 3; ++j) {
          m.marks[std::size_t(j)] = core::isMarked(toStd(formula.text(QStringLiteral("BXL%1").arg(j + 1))));
        }
        materials.push_back(std::move(m));
        emptyOthers.push_back(empty);
        return true;
      });
      if (!ok) return false;
    }
    core::SolverTarget goal;
    for (core::Oxide o : kMatchedMainOxides) {
      const auto v = d_->need(target, kTargetTableName, field(kOxideFields[o]));
      if (!v) return false;
      goal.contents[o] = *v;
    }
    for (core::Oxide o : {core::FE2O3, core::TIO2, core::QTCF1, core::QTCF2, core::QTCF3}) {
      const auto v = d_->orZero(target, kTargetTableName, field(kOxideFields[o]));
      if (!v) return false;
      goal.contents[o] = *v;
    }
    for (int j = 0; j < 3; ++j) goal.amounts[std::size_t(j)] = toStd(target.text(QStringLiteral("BXL%1").arg(j + 1)));

    auto refused = [&](const core::SolverRefusal& r) {
      if (r.material >= 0) {
        return fail(QStringLiteral("数据表 %1：").arg(tableName(formula, kFormulaTableName)) + fromStd(r.message));
      }
      return fail(QStringLiteral("数据表 %1 中记录“%2”：").arg(tableName(target, kTargetTableName), recordName(target)) +
                  fromStd(r.message));
    };
    if (auto r = core::checkSolverInput(materials, goal, argument, precision_)) return refused(*r);

    // Empty other oxides are stored as 0.
    {
      store::SuspendedDisplay quiet(formula);
      std::size_t i = 0;
      const bool ok = d_->forEach(formula, [&] {
        const auto& empty = emptyOthers[i++];
        if (!empty[0] && !empty[1] && !empty[2]) return true;
        if (!formula.edit()) return d_->engine(formula);
        for (int k = 0; k < 3; ++k) {
          if (empty[std::size_t(k)] && !d_->setText(formula, field(kOxideFields[core::QTCF1 + k]), QStringLiteral("0")))
            return false;
        }
        return formula.post() || d_->engine(formula);
      });
      if (!ok) return false;
    }

    const core::SolveOutcome outcome = core::solveFormula(materials, goal, argument, precision_);
    if (const auto* r = std::get_if<core::SolverRefusal>(&outcome)) return refused(*r);
    const auto& f = std::get<core::FormulaResult>(outcome);

    {
      store::SuspendedDisplay quiet(formula);
      std::size_t i = 0;
      const bool ok = d_->forEach(formula, [&] {
        const std::string& text = f.proportions[i++].text;
        return (formula.edit() || d_->engine(formula)) && d_->setText(formula, numField, fromStd(text)) &&
               (formula.post() || d_->engine(formula));
      });
      if (!ok) return false;
    }

    // The record the caller started, or the first one of an empty table.
    if (result.state() != Table::State::Insert && !result.edit()) return d_->engine(result);
    if (!d_->setText(result, QStringLiteral("BH"), fromStd(f.label)) ||
        !d_->setText(result, QStringLiteral("DJ"), fromStd(f.price.text)))
      return false;
    for (int m = 0; m < kOxideCount; ++m) {
      if (!d_->setText(result, field(kOxideFields[m]), fromStd(f.oxides[std::size_t(m)].text))) return false;
    }
    if (!d_->setText(result, QStringLiteral("HJ"), fromStd(f.total.text))) return false;
    if (!result.setDate(QStringLiteral("DATE"), today())) return d_->engine(result);
    if (!result.post() || !result.next()) return d_->engine(result);
    if (!formula.first()) return d_->engine(formula);
    if (!result.first()) return d_->engine(result);
    return true;
  });
}

std::optional<double> MainScreen::MinWuCha() {
  return guarded(prompter_, [&]() -> std::optional<double> {
    if (!require({WorkTable::Result}, {WorkTable::Target})) return std::nullopt;
    const auto allowed = core::parseNumber(toStd(allowedText_));
    if (!allowed) {
      checkAllowed();
      return std::nullopt;
    }
    Table& target = d_->t(WorkTable::Target);
    Table& result = d_->t(WorkTable::Result);
    core::Contents goal{};
    if (!target.isEmpty()) {
      for (int m = 0; m < kOxideCount; ++m) {
        const auto v = d_->orZero(target, kTargetTableName, field(kOxideFields[m]));
        if (!v) return std::nullopt;
        goal[std::size_t(m)] = *v;
      }
    }
    std::vector<Table::Bookmark> records;
    if (!d_->forEach(result, [&] {
          records.push_back(result.bookmark());
          return true;
        }))
      return std::nullopt;
    const std::array<std::string, 3> others = {toStd(formulaCaptions_[14]), toStd(formulaCaptions_[15]),
                                               toStd(formulaCaptions_[16])};
    std::optional<double> smallest;
    int number = 0;
    for (const Table::Bookmark& b : records) {
      ++number;
      if (!result.gotoBookmark(b)) return d_->engine(result), std::nullopt;
      core::Contents values{};
      for (int m = 0; m < kOxideCount; ++m) {
        const auto v = d_->orZero(result, kResultTableName, field(kOxideFields[m]));
        if (!v) return std::nullopt;
        values[std::size_t(m)] = *v;
      }
      const core::ErrorEvaluation e = core::evaluateErrors(goal, values);
      if (!result.edit() || !result.setText(QStringLiteral("BZ"), fromStd(core::averageErrorRemark(e.average))))
        return d_->engine(result), std::nullopt;
      if (core::exceedsAllowedRate(*allowed, e.average) &&
          !result.setText(QStringLiteral("BH"),
                          result.text(QStringLiteral("BH")) + fromStd(std::string(core::kLargeErrorMark))))
        return d_->engine(result), std::nullopt;
      if (!result.post()) return d_->engine(result), std::nullopt;
      if (showDetails_) prompter_.information(fromStd(core::errorReport(number, e, others)));
      if (!smallest || e.average < *smallest) smallest = e.average;
    }
    if (!target.first()) return d_->engine(target), std::nullopt;
    return smallest.value_or(0.0);
  });
}

bool MainScreen::PanDuan() {
  return guarded(prompter_, [&]() -> bool {
    if (!require({WorkTable::Target, WorkTable::Result})) return false;
    if (!d_->t(WorkTable::Target).first()) return d_->engine(d_->t(WorkTable::Target));
    const auto smallest = MinWuCha();
    if (!smallest) return false;
    const double e = core::roundFixed(*smallest, 2);
    const auto allowed = core::parseNumber(toStd(allowedText_));
    if (!allowed) return checkAllowed();
    const QString shown = fromStd(core::format2(e));
    const Message box{MessageKind::Captioned, QStringLiteral("用户信息"), Icon::Warning, QString(), {Button::Ok},
                      Button::Ok};
    if (*allowed >= e) {
      if (showDetails_) {
        Message m = box;
        m.text = QStringLiteral("恭喜：") + kCR + QStringLiteral("配方计算结果与目标配方化学组成最小平均误差率 =") +
                 shown + QStringLiteral(" %") + kCR + QStringLiteral("小于或等于误差率 ") + allowedText_ +
                 QStringLiteral("% 的要求。");
        prompter_.message(m);
      }
      retries_ = 0;
      verdict_ = Verdict::Passed;
      return true;
    }
    ++retries_;
    if (retries_ >= 4) {
      Message m = box;
      m.text = QStringLiteral("对不起：") + kCR + QStringLiteral("配方计算结果与目标配方化学组成最小平均误差率 =") +
               shown + QStringLiteral(" %") + kCR + QStringLiteral("大于误差率 ") + allowedText_ +
               QStringLiteral("% 的要求。") + kCR + kCR;
      prompter_.message(m);
      retries_ = 0;
      verdict_ = Verdict::Failed;
      return true;
    }
    if (!toggleKNa()) return false;
    return runCalculation();
  });
}

// --- Verification --------------------------------------------------------------------

bool MainScreen::verify() {
  return guarded(prompter_, [&]() -> bool {
    if (!checkAllowed()) return false;
    if (!require({WorkTable::Formula, WorkTable::Result, WorkTable::Property}, {WorkTable::Target})) return false;
    Table& formula = d_->t(WorkTable::Formula);
    Table& result = d_->t(WorkTable::Result);
    Table& property = d_->t(WorkTable::Property);
    resultVisible_ = false;
    QString text = QStringLiteral("1");
    int k = 0;
    for (;;) {
      const auto answer = prompter_.inputBox(QStringLiteral("验算配方组成"), QStringLiteral("输入验算配方号（1或2） 。　"), text);
      if (!answer) return true;
      if (*answer == QLatin1String("1") || *answer == QLatin1String("2")) {
        k = answer->toInt();
        break;
      }
      prompter_.warning(QStringLiteral("所选择配方号码只能是“1、2”，") + kCR + kCR + QStringLiteral("请重新输入配方号！   "));
      text = *answer;
    }
    const QString numField = QStringLiteral("NUM%1").arg(k);
    // Raw materials hidden by the compact display belong to the formula all the same.
    WholeTable all(formula);

    // The values the arithmetic needs, checked before anything changes.
    std::vector<core::VerifiedMaterial> materials;
    {
      store::SuspendedDisplay quiet(formula);
      const bool ok = d_->forEach(formula, [&] {
        core::VerifiedMaterial m;
        for (auto [col, dst] : {std::pair{QStringLiteral("HJ"), &m.hj}, std::pair{QStringLiteral("IL"), &m.il},
                                std::pair{QStringLiteral("DJ"), &m.dj}}) {
          const auto v = d_->need(formula, kFormulaTableName, col);
          if (!v) return false;
          *dst = *v;
        }
        for (int o = 0; o < kOxideCount; ++o) {
          const auto v = d_->orZero(formula, kFormulaTableName, field(kOxideFields[o]));
          if (!v) return false;
          m.contents[std::size_t(o)] = *v;
        }
        for (const QString& col : {QStringLiteral("NUM1"), QStringLiteral("NUM2")}) {
          const auto v = d_->orZero(formula, kFormulaTableName, col);
          if (!v) return false;
          if (col == numField) m.proportion = *v;
        }
        materials.push_back(m);
        return true;
      });
      if (!ok) return false;
    }

    propertyVisible_ = false;
    if (!d_->deleteAll(property) || !d_->deleteAll(result)) return false;
    verifiedColumn_ = k;
    {
      store::SuspendedDisplay quiet(formula);
      const bool ok = d_->forEach(formula, [&] {
        for (const QString& col : {QStringLiteral("NUM1"), QStringLiteral("NUM2")}) {
          if (!formula.isNull(col)) continue;
          if (!formula.edit() || !formula.setText(col, QStringLiteral("0")) || !formula.post())
            return d_->engine(formula);
        }
        return true;
      });
      if (!ok) return false;
    }
    const core::VerifiedFormula v = core::verifyFormula(materials);
    if (!result.edit()) return d_->engine(result);
    if (!d_->setText(result, QStringLiteral("BH"), QStringLiteral("%1＃配比").arg(k)) ||
        !d_->setText(result, QStringLiteral("DJ"), fromStd(v.price.text)))
      return false;
    for (int m = 0; m < kOxideCount; ++m) {
      if (!d_->setText(result, field(kOxideFields[m]), fromStd(v.oxides[std::size_t(m)].text))) return false;
    }
    if (!d_->setText(result, QStringLiteral("HJ"), fromStd(v.total.text))) return false;
    if (!result.setDate(QStringLiteral("DATE"), today()) || !result.post()) return d_->engine(result);
    if (!formula.first()) return d_->engine(formula);
    if (!MinWuCha()) return false;
    if (!result.first()) return d_->engine(result);
    resultVisible_ = true;
    frame_.verificationCompleted();
    return true;
  });
}

// --- Mandatory marks -------------------------------------------------------------------

MainScreen::DoubleClick MainScreen::formulaGridDoubleClicked(int column) {
  return guarded(prompter_, [&]() -> DoubleClick {
    if (column == 0) {
      frame_.showMaterialLibrary();
      materialLibraryShown();
      return DoubleClick::ShowMaterialLibrary;
    }
    if (column < 3 || column > 5) return DoubleClick::Nothing;
    if (!require({WorkTable::Formula})) return DoubleClick::Nothing;
    Table& formula = d_->t(WorkTable::Formula);
    if (formula.isEmpty()) return DoubleClick::Nothing;
    const QString col = QStringLiteral("BXL%1").arg(column - 2);
    store::SuspendedDisplay quiet(formula);
    const Table::Bookmark here = formula.bookmark();
    // A hidden row (compact display) loses its mark as well: one mark per column.
    {
      WholeTable all(formula);
      const bool cleared = d_->forEach(formula, [&] {
        if (formula.text(col).isEmpty()) return true;
        return (formula.edit() || d_->engine(formula)) && d_->setText(formula, col, QString()) &&
               (formula.post() || d_->engine(formula));
      });
      if (!cleared) return DoubleClick::Nothing;
    }
    if (!formula.gotoBookmark(here)) return d_->engine(formula), DoubleClick::Nothing;
    if (!formula.edit() || !formula.setText(col, kMandatoryMark) || !formula.post())
      return d_->engine(formula), DoubleClick::Nothing;
    return DoubleClick::Marked;
  });
}

MainScreen::DoubleClick MainScreen::targetGridDoubleClicked(int column) {
  if (column != 0) return DoubleClick::Nothing;
  frame_.showTargetLibrary();
  return DoubleClick::ShowTargetLibrary;
}

void MainScreen::materialLibraryShown() {
  resultVisible_ = false;
  propertyVisible_ = false;
}

std::vector<std::pair<std::int64_t, RowHighlight>> MainScreen::highlightedRows() {
  std::vector<std::pair<std::int64_t, RowHighlight>> rows;
  if (!isOpen(WorkTable::Formula)) return rows;
  Table& formula = d_->t(WorkTable::Formula);
  if (formula.state() != Table::State::Browse) return rows;
  const Table::Bookmark here = formula.bookmark();
  if (!formula.first()) return rows;
  while (!formula.eof()) {
    const RowHighlight h = rowHighlight(formula.text(QStringLiteral("BXL1")), formula.text(QStringLiteral("BXL2")),
                                        formula.text(QStringLiteral("BXL3")));
    if (h.highlighted) rows.emplace_back(formula.recordNumber(), h);
    if (!formula.next()) break;
  }
  if (here.isValid()) formula.gotoBookmark(here);
  return rows;
}

// --- K/Na merge and split ------------------------------------------------------------------

bool MainScreen::setKNaCaptions(const QString& k2o, const QString& na2o) {
  formulaCaptions_[12] = k2o;
  formulaCaptions_[13] = na2o;
  targetCaptions_[10] = k2o;
  targetCaptions_[11] = na2o;
  resultCaptions_[8] = k2o;
  resultCaptions_[9] = na2o;
  return writeSetting(kCalculationSection, QStringLiteral("12"), k2o) &&
         writeSetting(kCalculationSection, QStringLiteral("13"), na2o);
}

bool MainScreen::toggleKNa() {
  return guarded(prompter_, [&]() -> bool {
    if (!require({WorkTable::Formula, WorkTable::Target})) return false;
    Table& formula = d_->t(WorkTable::Formula);
    Table& target = d_->t(WorkTable::Target);
    const QString K = QStringLiteral("K2O"), N = QStringLiteral("NA2O");
    // The split reads both libraries: they are checked before anything changes.
    if (kNaMerged() && (!openLibraries() || !requireSound(*d_->materials, false) || !requireSound(*d_->targets, false)))
      return false;
    if (compactDisplay() && !showAllMaterials()) return false;
    auto libraryOrderBack = [this] {
      for (Table* lib : {d_->materials, d_->targets}) {
        if (lib->isOpen()) lib->setIndexTag(QStringLiteral("BH"));
      }
    };
    // The split looks names up in NAME order; should it stop half-way, the
    // libraries return to their normal order all the same, or their windows
    // would show the category rows out of place.
    struct OrderGuard {
      std::function<void()> restore;
      bool armed = false;
      ~OrderGuard() {
        if (armed) restore();
      }
    } orderGuard{libraryOrderBack};

    if (!kNaMerged()) {
      // Both values must be numbers (or empty) in every record before any changes.
      auto readPair = [&](Table& t, const QString& rel) -> std::optional<std::pair<double, double>> {
        const auto k = d_->orZero(t, rel, K);
        if (!k) return std::nullopt;
        const auto n = d_->orZero(t, rel, N);
        if (!n) return std::nullopt;
        return std::pair{*k, *n};
      };
      std::vector<std::pair<double, double>> values;
      if (!d_->forEach(formula, [&] {
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
      auto merge = [&](Table& t, std::pair<double, double> v) {
        return (t.edit() && t.setNumber(K, core::mergedK2O(v.first, v.second)) && t.setNumber(N, 0) && t.post()) ||
               d_->engine(t);
      };
      {
        store::SuspendedDisplay quiet(formula);
        std::size_t i = 0;
        if (!d_->forEach(formula, [&] { return merge(formula, values[i++]); })) return false;
      }
      if (targetValues && !merge(target, *targetValues)) return false;
      if (!setKNaCaptions(kMergedK2O, kMergedNa2O)) return false;
      kNaCaption_ = kSplitCaption;
    } else {
      Table& materials = *d_->materials;
      Table& targets = *d_->targets;
      struct Planned {
        Table::Bookmark where;
        core::SplitKNa values;
      };
      QStringList keptMerged;  // records that keep their merged values, and why
      // Looks the current record of `t` up by NAME in `library`; false stops the command.
      auto plan = [&](Table& t, Table& library, const QString& libraryName, const QString& what,
                      const QString& libraryWhat, std::vector<Planned>& out) {
        const QString name = recordName(t);
        if (!library.findKey(name)) {
          if (!library.errorString().isEmpty()) return d_->engine(library);
          keptMerged << QStringLiteral("%1“%2”：%3中没有同名记录").arg(what, name, libraryWhat);
          return true;
        }
        const auto hj = d_->need(library, libraryName, QStringLiteral("HJ"));
        if (!hj) return false;
        const auto il = d_->need(library, libraryName, QStringLiteral("IL"));
        if (!il) return false;
        const auto k = d_->orZero(library, libraryName, K);
        if (!k) return false;
        const auto n = d_->orZero(library, libraryName, N);
        if (!n) return false;
        const auto split = core::splitKNa(*k, *n, *hj, *il);
        if (!split) {
          keptMerged << QStringLiteral("%1“%2”：%3（%4）中此记录的合计HJ等于灼减IL，无法换算")
                            .arg(what, name, libraryWhat, tableName(library, libraryName));
          return true;
        }
        out.push_back({t.bookmark(), *split});
        return true;
      };
      orderGuard.armed = true;
      if (!materials.setOrder(QStringLiteral("NAME"))) return d_->engine(materials);
      if (!targets.setOrder(QStringLiteral("NAME"))) return d_->engine(targets);
      std::vector<Planned> formulaPlan, targetPlan;
      if (!d_->forEach(formula, [&] {
            return plan(formula, materials, kMaterialLibraryName, QStringLiteral("原料"), QStringLiteral("原料库"),
                        formulaPlan);
          }))
        return false;
      if (!target.isEmpty() && !plan(target, targets, kTargetLibraryName, QStringLiteral("目标配方"),
                                     QStringLiteral("目标库"), targetPlan))
        return false;

      kNaCaption_ = kMergeCaption;
      auto apply = [&](Table& t, const Planned& p) {
        return (t.gotoBookmark(p.where) && t.edit() && t.setText(K, fromStd(p.values.k2o.text)) && t.post() &&
                t.edit() && t.setText(N, fromStd(p.values.na2o.text)) && t.post()) ||
               d_->engine(t);
      };
      {
        store::SuspendedDisplay quiet(formula);
        for (const Planned& p : formulaPlan) {
          if (!apply(formula, p)) return false;
        }
      }
      for (const Planned& p : targetPlan) {
        if (!apply(target, p)) return false;
      }
      if (!setKNaCaptions(QStringLiteral("K2O"), QStringLiteral("Na2O"))) return false;
      if (!keptMerged.isEmpty()) {
        prompter_.warning(QStringLiteral("以下记录的K2O仍是K2O与Na2O之和，Na2O仍为0：") + kCR + keptMerged.join(kCR));
      }
    }
    if (!formula.first()) return d_->engine(formula);
    orderGuard.armed = false;
    libraryOrderBack();
    return true;
  });
}

// --- Compact display, clearing -----------------------------------------------------------

bool MainScreen::toggleCompactDisplay() {
  return guarded(prompter_, [&] { return compactDisplay() ? showAllMaterials() : showUsedMaterialsOnly(); });
}

bool MainScreen::showUsedMaterialsOnly() {
  if (!require({WorkTable::Formula})) return false;
  Table& formula = d_->t(WorkTable::Formula);
  {
    store::SuspendedDisplay quiet(formula);
    const bool ok = d_->forEach(formula, [&] {
      const auto a = d_->orZero(formula, kFormulaTableName, QStringLiteral("NUM1"));
      if (!a) return false;
      const auto b = d_->orZero(formula, kFormulaTableName, QStringLiteral("NUM2"));
      if (!b) return false;
      if (*a + *b == 0) return true;
      return (formula.edit() || d_->engine(formula)) && d_->setText(formula, QStringLiteral("BH"), QStringLiteral("1")) &&
             (formula.post() || d_->engine(formula));
    });
    if (!ok) return false;
  }
  if (!formula.setOrder(QStringLiteral("BH"))) return d_->engine(formula);
  formula.setRange(QStringLiteral("1"), QStringLiteral("1"));  // an error here leaves every row shown
  compactCaption_ = kCompactOnCaption;
  if (!formula.first()) return d_->engine(formula);
  return true;
}

bool MainScreen::showAllMaterials() {
  if (!require({WorkTable::Formula})) return false;
  Table& formula = d_->t(WorkTable::Formula);
  if (!formula.cancelRange() || !formula.setNaturalOrder()) return d_->engine(formula);
  store::SuspendedDisplay quiet(formula);
  if (!d_->clearInUse(formula)) return false;
  compactCaption_ = kCompactOffCaption;
  if (!formula.first()) return d_->engine(formula);
  return true;
}

bool MainScreen::confirmAndClearMainData() {
  const Button answer = prompter_.message(
      {MessageKind::Captioned, QStringLiteral("提示："), Icon::Question,
       QStringLiteral("此操作将批量清除主界面的所有数据，") + kCR + QStringLiteral("不会删除原料库、目标库界面的各表数据。") +
           kCR + kCR + QStringLiteral("确定清空主界面各表的所有数据？"),
       {Button::Ok, Button::Cancel}, Button::Ok});
  if (answer != Button::Ok) return true;
  return clearMainData();
}

bool MainScreen::clearMainData() {
  return guarded(prompter_, [&]() -> bool {
    QStringList notOpen;
    for (WorkTable w : {WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property}) {
      if (!isOpen(w) && !d_->openWork(w)) notOpen << QString(Impl::relName(w)).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    // Nothing is cleared unless every table can be: the person must not take
    // a table that stayed as it was for an empty one.
    if (!notOpen.isEmpty())
      return fail(QStringLiteral("数据表 %1 未能打开，主界面的数据都没有清除。").arg(notOpen.join(QStringLiteral("、"))));
    if (!require({WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property})) return false;
    Table& formula = d_->t(WorkTable::Formula);
    if (!formula.cancelRange() || !formula.setNaturalOrder()) return d_->engine(formula);
    if (!d_->clearInUse(formula)) return false;
    compactCaption_ = kCompactOffCaption;
    for (WorkTable w : {WorkTable::Formula, WorkTable::Target, WorkTable::Result, WorkTable::Property}) {
      if (!d_->deleteAll(d_->t(w))) return false;
    }
    return true;
  });
}

// --- Packing ---------------------------------------------------------------------------------

bool MainScreen::packOne(Table& t, const QString& relativeName) {
  t.close();
  if (!t.open(base_, relativeName, Table::Mode::Exclusive)) prompter_.plain(QStringLiteral("打开数据库失败"));
  if (!t.isOpen()) return false;                                  // Table must be opened to pack
  if (!t.isExclusive()) return false;                             // ... opened exclusively to pack
  if (t.tableType() != QLatin1String("DBASE")) return false;      // ... of Paradox or dBASE type
  // What the engine refused (a damaged table it cannot mend, a disk
  // failure) is named before the command says that packing failed.
  if (!t.pack()) return fail(t.errorString());
  if (!t.mendReport().isEmpty()) prompter_.information(t.mendReport());
  return true;
}

void MainScreen::pack() {
  guarded(prompter_, [&] {
    const Button answer = prompter_.message(
        {MessageKind::Captioned, QStringLiteral("确认整理："), Icon::Question,
         QStringLiteral("整理能减小数据库的体积，") + kCR + kCR + QStringLiteral("但整理后必须退出本程序，") + kCR + kCR +
             QStringLiteral("以解除本程序对数据库的占用才能成功。") + kCR + kCR + QStringLiteral("确定【整理数据库】吗？"),
         {Button::Ok, Button::Cancel}, Button::Cancel});
    if (answer != Button::Ok) return 0;
    const std::array<std::pair<Table*, QString>, 6> tables = {{
        {&d_->t(WorkTable::Formula), kFormulaTableName},
        {&d_->t(WorkTable::Target), kTargetTableName},
        {&d_->t(WorkTable::Result), kResultTableName},
        {&d_->t(WorkTable::Property), kPropertyTableName},
        {d_->materials, kMaterialLibraryName},
        {d_->targets, kTargetLibraryName},
    }};
    bool packed = true;
    for (std::size_t i = 0; i < tables.size() && packed; ++i) {
      packed = packOne(*tables[i].first, tables[i].second);
      if (i < 4) d_->open[i] = tables[i].first->isOpen();
    }
    packSucceeded_ = packed;
    prompter_.information(packed ? QStringLiteral("退出程序后，整理数据库成功!") : QStringLiteral("整理数据库失败!"));
    quitRequested_ = true;
    if (onQuit_) onQuit_();
    return 0;
  });
}

// --- Other oxides ----------------------------------------------------------------------------

bool MainScreen::selectOtherColumn(int column) {
  if (column < kFirstOtherColumn || column > kLastOtherColumn) return false;
  selectedOther_ = column;
  return true;
}

void MainScreen::setOtherCaption(int k, const QString& caption) {
  const int s = 13 + k;
  formulaCaptions_[s] = caption;
  targetCaptions_[s - 2] = caption;
  resultCaptions_[s - 4] = caption;
}

bool MainScreen::chooseOtherOxide(int entry) {
  return guarded(prompter_, [&]() -> bool {
    if (entry < 0 || entry >= int(kOtherOxideEntries.size())) return false;
    if (selectedOther_ < kFirstOtherColumn || selectedOther_ > kLastOtherColumn) return false;
    const int k = selectedOther_ - 13;
    const QString name = QString::fromUtf16(kOtherOxideEntries[std::size_t(entry)].name);
    const QString weight = QString::fromUtf16(kOtherOxideEntries[std::size_t(entry)].weight);
    setOtherCaption(k, name);
    return writeSetting(kCalculationSection, QString::number(selectedOther_), name) &&
           writeSetting(kOtherSection, QStringLiteral("QTCF%1").arg(k), weight);
  });
}

bool MainScreen::enterOtherOxide() {
  return guarded(prompter_, [&]() -> bool {
    if (selectedOther_ < kFirstOtherColumn || selectedOther_ > kLastOtherColumn) return false;
    const int k = selectedOther_ - 13;
    const QString nameKey = QString::number(selectedOther_);
    const QString weightKey = QStringLiteral("QTCF%1").arg(k);
    // A text the settings file cannot hold is refused before any caption or
    // key changes, so that the grids never show a name the file lacks.
    auto storable = [&](const QString& section, const QString& key, const QString& value, const QString& what) {
      QByteArray ignored;
      QString why;
      if (store::Profile::withValue(QByteArray(), section, key, value, &ignored, &why)) return true;
      return fail(QStringLiteral("%1“%2”不能写入设置文件 %3，命令已停止：").arg(what, value, settingsFile()) + kCR + why);
    };
    const QString name = prompter_
                             .inputBox(QStringLiteral("输入氧化物名称。"), QStringLiteral("注意大小写，它关系到下面的计算。。。...."),
                                       kOtherDefault)
                             .value_or(kOtherDefault);
    QString caption = name;
    QString weight = QStringLiteral("1");
    if (name != kOtherDefault) {
      if (!storable(kCalculationSection, nameKey, name, QStringLiteral("氧化物名称"))) return false;
      const QString typed = prompter_
                                .inputBox(QStringLiteral("输入氧化物分子量。"),
                                          QStringLiteral("输入氧化物\"") + name + QStringLiteral("\"分子量。。。...."), QString())
                                .value_or(QString());
      if (!typed.isEmpty()) weight = typed;
      if (!storable(kOtherSection, weightKey, weight, QStringLiteral("分子量"))) return false;
    } else {
      caption = kOtherDefault + QString::number(k);
    }
    setOtherCaption(k, caption);
    return writeSetting(kCalculationSection, nameKey, caption) && writeSetting(kOtherSection, weightKey, weight);
  });
}

bool MainScreen::PanDuanQT() {
  return guarded(prompter_, [&]() -> bool {
    if (!isOpen(WorkTable::Result)) return true;
    Table& result = d_->t(WorkTable::Result);
    if (result.isEmpty()) return true;
    for (int k = 1; k <= 3; ++k) {
      bool ok = true;
      const auto v = result.value(QStringLiteral("QTCF%1").arg(k), &ok);
      if (!ok || v.value_or(0.0) == 0) continue;
      if (!store::Profile::read(settingsFile(), kOtherSection, QStringLiteral("QTCF%1").arg(k)).isEmpty()) continue;
      const QString caption = resultCaptions_[9 + k];
      if (!caption.contains(QLatin1Char('O'))) continue;
      prompter_.information(QStringLiteral("请设置") + caption + QStringLiteral("分子量。"));
      return false;
    }
    return true;
  });
}

}  // namespace tessaro::app
