#include "app/fitinputs.h"

#include "app/commandguard.h"
#include "app/datafolder.h"
#include "app/gridcolumns.h"
#include "core/format.h"
#include "store/profile.h"
#include "store/table.h"

namespace tessaro::app {

using store::Table;

namespace {

const QString kNotShown = QStringLiteral("无法计算配料单与坯釉适应性。");

// Reads cells of the current record; the first cell that is not a number
// stops the reading with a sentence naming table, record and field.
class NumberReader {
 public:
  NumberReader(const Table& table, QString* error) : t_(table), error_(error) {}

  bool ok() const { return ok_; }

  double number(const QString& field) {
    if (!ok_) return 0;
    bool ok = true;
    const auto v = t_.value(field, &ok);
    if (ok) return v.value_or(0.0);  // an empty cell counts as 0
    fail(field);
    return 0;
  }

  QString text(const QString& field) {
    if (!ok_) return QString();
    bool ok = true;
    const QString s = t_.text(field, &ok);
    if (!ok) fail(field);
    return s;
  }

 private:
  void fail(const QString& field) {
    ok_ = false;
    if (!error_) return;
    if (t_.fieldIndex(field) < 0) {
      *error_ = QStringLiteral("数据表 %1 没有“%2”栏。").arg(t_.displayName(), field) + kCR + kNotShown;
      return;
    }
    bool named = t_.fieldIndex(QStringLiteral("NAME")) >= 0;
    const QString name = named ? t_.text(QStringLiteral("NAME"), &named) : QString();
    const QString record = named && !name.isEmpty() ? QStringLiteral("记录“%1”").arg(name)
                                                    : QStringLiteral("第 %1 条记录").arg(t_.recordNumber() + 1);
    *error_ = QStringLiteral("数据表 %1 中%2的“%3”栏不是数字。").arg(t_.displayName(), record, field) + kCR + kNotShown;
  }

  const Table& t_;
  QString* error_;
  bool ok_ = true;
};

bool openTable(Table& t, const QString& baseFolder, const QString& name, QString* error) {
  if (!t.open(baseFolder, name)) {
    if (error) *error = t.errorString();
    return false;
  }
  const QString refusal = tableRefusal(t, false, kNotShown);
  if (refusal.isEmpty()) return true;
  if (error) *error = refusal;
  return false;
}

core::Contents readContents(NumberReader& r) {
  core::Contents c{};
  const QStringList& fields = oxideFields();
  for (int m = 0; m < core::kOxideCount; ++m) c[std::size_t(m)] = r.number(fields[m]);
  return c;
}

bool readResults(Table& result, FitInputs& in, QString* error) {
  if (!result.setOrder(QStringLiteral("BH"))) {
    if (error) *error = result.errorString();
    return false;
  }
  if (!result.first()) return true;
  for (int n = std::min(result.recordCount(), 2); n > 0; --n, result.next()) {
    NumberReader r(result, error);
    core::ResultFormula f;
    f.label = r.text(QStringLiteral("BH")).toStdString();
    f.contents = readContents(r);
    if (!r.ok()) return false;
    in.formulas.push_back(std::move(f));
  }
  return true;
}

bool readTarget(Table& target, FitInputs& in, QString* error) {
  if (!target.first() || target.isEmpty()) return true;
  NumberReader r(target, error);
  core::ResultFormula f;
  f.label = r.text(QStringLiteral("NAME")).trimmed().toStdString();
  f.contents = readContents(r);
  if (!r.ok()) return false;
  in.target = std::move(f);
  return true;
}

bool readMaterials(Table& formula, FitInputs& in, QString* error) {
  if (!formula.first()) return true;
  for (int n = formula.recordCount(); n > 0; --n, formula.next()) {
    NumberReader r(formula, error);
    FitMaterial m;
    m.name = r.text(QStringLiteral("NAME")).trimmed();
    m.num1 = r.number(QStringLiteral("NUM1"));
    m.num2 = r.number(QStringLiteral("NUM2"));
    m.price = r.number(QStringLiteral("DJ"));
    if (!r.ok()) return false;
    in.materials.push_back(std::move(m));
  }
  return true;
}

void readOtherOxides(const QString& baseFolder, FitInputs& in) {
  const QString settings = settingsFile(baseFolder);
  const QStringList captions = readCaptions(Grid::Result, settings);
  const QByteArray content = store::Profile::contentOf(settings);
  for (int k = 1; k <= 3; ++k) {
    core::OtherOxide& other = in.others[std::size_t(k - 1)];
    other.name = captions.value(columnOf(Grid::Result, otherOxideField(k))).trimmed().toStdString();
    const QString weight = store::Profile::valueIn(content, kOtherOxideSection, otherOxideField(k)).trimmed();
    if (!weight.isEmpty()) other.weight = core::parseNumber(weight.toStdString());
  }
}

}  // namespace

QString formulaLabel(int formula) { return QStringLiteral("%1＃配比").arg(formula); }

std::optional<FitInputs> readFitInputs(const QString& baseFolder, QString* error) {
  Table result, target, formula;
  FitInputs in;
  if (!openTable(result, baseFolder, kResultTableName, error) || !readResults(result, in, error)) return std::nullopt;
  if (!openTable(target, baseFolder, kTargetTableName, error) || !readTarget(target, in, error)) return std::nullopt;
  if (!openTable(formula, baseFolder, kFormulaTableName, error) || !readMaterials(formula, in, error))
    return std::nullopt;
  readOtherOxides(baseFolder, in);
  return in;
}

}  // namespace tessaro::app
