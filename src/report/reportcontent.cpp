#include "report/reportcontent.h"

#include "app/commandguard.h"
#include "app/datafolder.h"
#include "app/gridcolumns.h"
#include "app/mainscreen.h"
#include "core/format.h"

namespace tessaro::report {

using store::Table;

namespace {

const QString kTitleSuffix = QStringLiteral("_计算结果");

// Reads cells of the current record, noting every cell whose bytes are not
// of its field's type.
class CellReader {
 public:
  CellReader(const Table& table, QStringList& problems) : t_(table), problems_(problems) {}

  // A number in the general format; an empty field prints "0".
  QString number(const char* field) const { return number(QString::fromLatin1(field)); }
  QString number(const QString& name) const {
    bool ok = true;
    const auto v = t_.value(name, &ok);
    if (!ok) return unreadable(name);
    return QString::fromStdString(core::formatGeneral(v.value_or(0.0)));
  }

  QString text(const char* field) const {
    const QString name = QString::fromLatin1(field);
    bool ok = true;
    const QString s = t_.text(name, &ok);
    return ok ? s : unreadable(name);
  }

 private:
  // The field as it stands in the file, and a sentence about it.
  QString unreadable(const QString& field) const {
    if (t_.fieldIndex(field) < 0) {
      problems_ << QStringLiteral("数据表 %1 没有“%2”栏，该栏空着。").arg(t_.displayName(), field);
      return QString();
    }
    // A record is named by its NAME; one without a name (a result record) by its number.
    bool ok = t_.fieldIndex(QStringLiteral("NAME")) >= 0;
    const QString name = ok ? t_.text(QStringLiteral("NAME"), &ok) : QString();
    if (ok && !name.isEmpty()) {
      problems_ << QStringLiteral("数据表 %1 中记录“%2”的“%3”栏内容不合字段类型，按原样打印。")
                       .arg(t_.displayName(), name, field);
    } else {
      problems_ << QStringLiteral("数据表 %1 中第 %2 条记录的“%3”栏内容不合字段类型，按原样打印。")
                       .arg(t_.displayName())
                       .arg(t_.recordNumber() + 1)
                       .arg(field);
    }
    return QString::fromLatin1(t_.rawBytes(field)).trimmed();
  }

  const Table& t_;
  QStringList& problems_;
};

void fillOxides(const CellReader& r, std::array<QString, kReportOxideCount>& to) {
  const QStringList& fields = app::oxideFields();
  for (int i = 0; i < kReportOxideCount; ++i) to[std::size_t(i)] = r.number(fields[i]);
}

FormulaSummary formulaSummary(const Table& result, QStringList& problems) {
  const CellReader r(result, problems);
  FormulaSummary s;
  fillOxides(r, s.oxides);
  s.total = r.number("HJ");
  s.cost = r.number("DJ");
  s.remark = r.text("BZ");
  return s;
}

}  // namespace

bool ReportTables::open(const QString& baseFolder, QString* error) {
  auto failWith = [&](const Table& t) {
    if (error) *error = t.errorString();
    closeAll();
    return false;
  };
  // A report is never printed from a table whose records may be misread.
  auto opened = [&](Table& t, const QString& name) {
    if (!t.open(baseFolder, name)) return failWith(t);
    const QString refusal = app::tableRefusal(t, false, QStringLiteral("报表没有生成。"));
    if (refusal.isEmpty()) return true;
    if (error) *error = refusal;
    closeAll();
    return false;
  };
  if (!opened(formula, app::kFormulaTableName) || !opened(target, app::kTargetTableName) ||
      !opened(result, app::kResultTableName) || !opened(property, app::kPropertyTableName))
    return false;
  if (!formula.setOrder(QStringLiteral("BH"))) return failWith(formula);
  // Without the restriction the report lists every row in BH order.
  formula.setRange(QStringLiteral("1"), QStringLiteral("1"));
  // Formula 1 before formula 2.
  if (!result.setOrder(QStringLiteral("BH"))) return failWith(result);
  result.first();
  return true;
}

void ReportTables::closeFormulaTables() {
  // The report only reads, so closing has nothing to post.
  formula.close();
  target.close();
  result.close();
}

void ReportTables::closeAll() {
  closeFormulaTables();
  property.close();
}

QString formulaRowCaption(int f) { return QStringLiteral("配方%1 化学组成").arg(f + 1); }

std::array<QString, kFormulaColumnCount> formulaColumnTitles(const FormulaReportContent& content) {
  std::array<QString, kFormulaColumnCount> t = {QStringLiteral("名称"), QStringLiteral("配方1"),
                                                QStringLiteral("配方2"), QStringLiteral("SiO2"),
                                                QStringLiteral("AL2O3"), QStringLiteral("Fe2O3"),
                                                QStringLiteral("TiO2"), QStringLiteral("CaO"),
                                                QStringLiteral("MgO")};
  for (std::size_t i = 0; i < content.oxideTitles.size(); ++i) t[9 + i] = content.oxideTitles[i];
  t[14] = QStringLiteral("合计");
  t[15] = QStringLiteral("单价");
  t[16] = QStringLiteral("备注");
  return t;
}

FormulaReportContent readFormulaReport(ReportTables& tables, const QStringList& grid1Captions) {
  FormulaReportContent c;
  for (int i = 0; i < 5; ++i) c.oxideTitles[std::size_t(i)] = grid1Captions.value(12 + i);

  Table& target = tables.target;
  if (target.isOpen() && target.first() && !target.isEmpty()) {
    const CellReader r(target, c.problems);
    c.target.name = r.text("NAME");
    fillOxides(r, c.target.oxides);
    c.target.total = r.number("HJ");
    c.target.remark = r.text("BZ");
  }
  c.title = c.target.name + kTitleSuffix;

  Table& formula = tables.formula;
  if (formula.isOpen() && formula.first()) {
    for (int n = formula.recordCount(); n > 0; --n, formula.next()) {
      const CellReader r(formula, c.problems);
      FormulaRow row;
      row.name = r.text("NAME");
      row.num1 = r.number("NUM1");
      row.num2 = r.number("NUM2");
      fillOxides(r, row.oxides);
      row.total = r.number("HJ");
      row.price = r.number("DJ");
      row.remark = r.text("BZ");
      c.rows.push_back(std::move(row));
    }
  }

  Table& result = tables.result;
  if (result.isOpen() && result.first() && !result.isEmpty()) {
    c.date = CellReader(result, c.problems).text("DATE");
    c.formulas[0] = formulaSummary(result, c.problems);
    result.next();  // stays on a single row
    c.formulas[1] = formulaSummary(result, c.problems);
    result.first();
  }
  c.problems.removeDuplicates();
  return c;
}

PropertyReportContent readPropertyReport(Table& property) {
  static const std::array<const char*, 14> fields = {"NAME0", "RONAME0", "RO0", "R2O3NAME0", "R2O30",
                                                     "RO2NAME0", "RO20", "NAME1", "RONAME1", "RO1",
                                                     "R2O3NAME1", "R2O31", "RO2NAME1", "RO21"};
  PropertyReportContent c;
  if (!property.isOpen() || !property.first()) return c;
  for (int n = property.recordCount(); n > 0; --n) {
    const CellReader r(property, c.problems);
    PropertyRow row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      // Names are text, amounts numbers; a column is whichever its field is.
      const int index = property.fieldIndex(QString::fromLatin1(fields[i]));
      const bool numeric = index >= 0 && property.fieldAt(index).isNumeric();
      row.cells[i] = numeric ? r.number(fields[i]) : r.text(fields[i]);
      row.numeric[i] = numeric;
    }
    c.rows.push_back(std::move(row));
    property.next();
  }
  c.problems.removeDuplicates();
  return c;
}

bool readReports(const QString& baseFolder, FormulaReportContent& formula, PropertyReportContent& property,
                 QString* error) {
  const QStringList captions = app::readCaptions(app::Grid::Formula, app::settingsFile(baseFolder));
  ReportTables tables;
  if (!tables.open(baseFolder, error)) return false;
  formula = readFormulaReport(tables, captions);
  property = readPropertyReport(tables.property);
  tables.closeAll();
  return true;
}

}  // namespace tessaro::report
