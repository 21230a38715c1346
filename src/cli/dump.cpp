// tessaro-cli dump TABLE: the records of a table, one JSON object per line, in
// the table's natural order.
#include <QString>

#include <map>

#include "app/datafolder.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "core/format.h"
#include "store/table.h"

namespace tessaro::cli {

namespace {

// The relative name of a table given by its short name or its file name.
QString tableName(const QString& name) {
  static const std::map<QString, QString> shortNames = {
      {QStringLiteral("formula"), app::kFormulaTableName},
      {QStringLiteral("target"), app::kTargetTableName},
      {QStringLiteral("result"), app::kResultTableName},
      {QStringLiteral("property"), app::kPropertyTableName},
      {QStringLiteral("materials"), app::kMaterialLibraryName},
      {QStringLiteral("targets"), app::kTargetLibraryName},
  };
  const auto it = shortNames.find(name);
  return it == shortNames.end() ? app::dataTableName(name) : it->second;
}

// One field of the current record as a JSON value; false when its bytes are
// not of its type (the value is then null).
bool jsonValue(const store::Table& table, const store::dbf::Field& field, QString& out) {
  bool ok = true;
  if (field.isNumeric()) {
    const auto v = table.value(field.name, &ok);
    out = (ok && v) ? QString::fromStdString(core::formatGeneral(*v)) : QStringLiteral("null");
  } else if (field.type == 'D') {
    const auto d = table.date(field.name, &ok);
    out = (ok && d) ? jsonString(QString::fromStdString(core::formatIsoDate(*d))) : QStringLiteral("null");
  } else if (field.type == 'L') {
    const QString t = table.text(field.name, &ok).toUpper();
    out = (t == u"T" || t == u"Y") ? QStringLiteral("true") : (t == u"F" || t == u"N") ? QStringLiteral("false") : QStringLiteral("null");
  } else {
    out = jsonString(table.text(field.name, &ok));
  }
  return ok;
}

}  // namespace

bool recordJson(const store::Table& table, QString& line, QTextStream* err) {
  bool sound = true;
  QString value;
  line = QStringLiteral("{");
  for (int i = 0; i < table.fieldCount(); ++i) {
    const store::dbf::Field& field = table.fieldAt(i);
    if (!jsonValue(table, field, value)) {
      if (err) *err << "tessaro-cli: " << table.errorString() << "\n";
      sound = false;
    }
    if (i > 0) line += QStringLiteral(", ");
    line += jsonString(field.name) + QStringLiteral(": ") + value;
  }
  line += QLatin1Char('}');
  return sound;
}

int runDump(Context& ctx) {
  if (ctx.args.size() != 1) {
    ctx.err << "usage: tessaro-cli dump TABLE [--dir DIR]\n"
               "TABLE: a file name such as 配方.DBF, or formula, target, result, property, materials, targets\n";
    return kBadInput;
  }
  const QString relativeName = tableName(ctx.args.first());
  store::Table table;
  if (!table.open(ctx.baseFolder, relativeName)) {
    ctx.err << "tessaro-cli: " << table.errorString() << "\n";
    return kFailed;
  }
  bool sound = true;
  if (!table.damageReport().isEmpty()) {
    ctx.err << "tessaro-cli: " << table.damageReport() << "\n";
    sound = false;
  }
  QString line;
  for (table.first(); !table.eof(); table.next()) {
    if (!recordJson(table, line, &ctx.err)) sound = false;
    ctx.out << line << "\n";
  }
  return sound ? kOk : kFailed;
}

}  // namespace tessaro::cli
