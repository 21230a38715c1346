// tessaro-cli solve: both formulas of the proportion solver and their error
// evaluation on JSON input, without tables.
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <optional>
#include <string>
#include <vector>

#include "app/gridcolumns.h"
#include "app/headlesssolve.h"
#include "app/materiallimit.h"
#include "cli/commands.h"
#include "cli/json.h"

namespace tessaro::cli {
namespace {

// A problem with the input: the field it concerns (a path such as
// materials[2].SIO2) and what is wrong with it.
struct InputError {
  QString field;
  QString message;
};

// A field of an input object, read strictly: present, and of its kind.
class ObjectReader {
 public:
  ObjectReader(const QJsonObject& object, QString path) : object_(object), path_(std::move(path)) {}

  QString path(const QString& key) const { return path_.isEmpty() ? key : path_ + "." + key; }

  double number(const QString& key) {
    const QJsonValue v = object_.value(key);
    if (v.isDouble()) return v.toDouble();
    fail(key, v, "a number");
    return 0;
  }

  std::string text(const QString& key) {
    const QJsonValue v = object_.value(key);
    if (v.isString()) return v.toString().toStdString();
    fail(key, v, "a text");
    return {};
  }

  const std::optional<InputError>& error() const { return error_; }

 private:
  void fail(const QString& key, const QJsonValue& v, const char* wanted) {
    if (error_) return;
    QString found;
    if (v.isUndefined()) {
      error_ = InputError{path(key), QStringLiteral("missing")};
      return;
    }
    if (v.isString()) {
      found = QStringLiteral("the text \"%1\"").arg(v.toString());
    } else if (v.isNull()) {
      found = QStringLiteral("null");
    } else if (v.isBool()) {
      found = v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    } else if (v.isDouble()) {
      found = QStringLiteral("the number %1").arg(v.toDouble());
    } else if (v.isArray()) {
      found = QStringLiteral("an array");
    } else {
      found = QStringLiteral("an object");
    }
    error_ = InputError{path(key), QStringLiteral("%1 is needed, found %2").arg(QLatin1String(wanted), found)};
  }

  const QJsonObject& object_;
  QString path_;
  std::optional<InputError> error_;
};

std::optional<InputError> readContents(ObjectReader& reader, app::OxideValues& contents) {
  const QStringList& columns = app::oxideFields();
  for (std::size_t m = 0; m < contents.size(); ++m) contents[m] = reader.number(columns[qsizetype(m)]);
  return reader.error();
}

std::optional<InputError> readInput(const QJsonObject& root, app::SolveInput& input) {
  ObjectReader top(root, QString());
  const double precision = top.number(QStringLiteral("precision"));
  if (top.error()) return top.error();
  if (precision != 0 && precision != 1 && precision != 2) {
    return InputError{QStringLiteral("precision"),
                      QStringLiteral("must be 0, 1 or 2, found %1").arg(precision)};
  }
  input.precision = int(precision);

  const QJsonValue materials = root.value(QStringLiteral("materials"));
  if (!materials.isArray()) {
    return InputError{QStringLiteral("materials"),
                      materials.isUndefined() ? QStringLiteral("missing") : QStringLiteral("an array is needed")};
  }
  const QJsonArray list = materials.toArray();
  if (list.isEmpty()) return InputError{QStringLiteral("materials"), QStringLiteral("no raw material given")};
  // More than the tableau holds is refused before anything else is read.
  if (list.size() > app::kMaxMaterials) {
    return InputError{QStringLiteral("materials"),
                      QStringLiteral("%1 raw materials given, at most %2 can be used")
                          .arg(list.size())
                          .arg(app::kMaxMaterials)};
  }
  for (qsizetype i = 0; i < list.size(); ++i) {
    const QString path = QStringLiteral("materials[%1]").arg(i);
    if (!list[i].isObject()) return InputError{path, QStringLiteral("an object is needed")};
    const QJsonObject object = list[i].toObject();
    ObjectReader reader(object, path);
    app::SolveMaterial m;
    m.name = reader.text(QStringLiteral("NAME"));
    readContents(reader, m.contents);
    m.il = reader.number(QStringLiteral("IL"));
    m.hj = reader.number(QStringLiteral("HJ"));
    m.dj = reader.number(QStringLiteral("DJ"));
    for (int j = 0; j < 3; ++j) {
      m.marks[j] = reader.text(QStringLiteral("BXL%1").arg(j + 1));
    }
    if (reader.error()) return reader.error();
    input.materials.push_back(std::move(m));
  }

  const QJsonValue target = root.value(QStringLiteral("target"));
  if (!target.isObject()) {
    return InputError{QStringLiteral("target"),
                      target.isUndefined() ? QStringLiteral("missing") : QStringLiteral("an object is needed")};
  }
  const QJsonObject targetObject = target.toObject();
  ObjectReader reader(targetObject, QStringLiteral("target"));
  readContents(reader, input.target.contents);
  for (int j = 0; j < 3; ++j) input.target.amounts[j] = reader.text(QStringLiteral("BXL%1").arg(j + 1));
  return reader.error();
}

// JSON output, written by hand (cli/json.h) so that the keys keep the order
// of the result record and every stored value prints as the decimal it holds.
QByteArray formulaJson(const app::SolvedFormula& f, JsonNumbers& jsonNumber) {
  QByteArray out = "{\"BH\": " + jsonString(f.label);
  out += ", \"feasible\": ";
  out += f.feasible ? "true" : "false";
  out += ", \"x\": [";
  for (std::size_t i = 0; i < f.x.size(); ++i) out += (i ? ", " : "") + jsonNumber(f.x[i]);
  out += "], \"NUM\": [";
  for (std::size_t i = 0; i < f.proportions.size(); ++i) {
    out += (i ? ", " : "") + jsonNumber(f.proportions[i]);
  }
  out += "], \"DJ\": " + jsonNumber(f.price);
  out += ", \"composition\": {";
  const QStringList& columns = app::oxideFields();
  for (std::size_t m = 0; m < f.composition.size(); ++m) {
    out += (m ? ", \"" : "\"") + columns[qsizetype(m)].toLatin1() + "\": " + jsonNumber(f.composition[m]);
  }
  out += "}, \"HJ\": " + jsonNumber(f.total);
  out += ", \"average_error\": " + jsonNumber(f.averageError);
  out += ", \"BZ\": " + jsonString(f.remark);
  out += "}";
  return out;
}

int badInput(Context& ctx, const QString& field, const QString& message) {
  QString text = message;
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  ctx.err << "tessaro-cli solve: " << field << ": " << text << "\n";
  return kBadInput;
}

}  // namespace

int runSolve(Context& ctx) {
  if (ctx.args.size() > 1) {
    ctx.err << "usage: tessaro-cli solve [FILE]\n";
    return kBadInput;
  }
  QByteArray data;
  const QString fileName = ctx.args.isEmpty() ? QStringLiteral("-") : ctx.args.first();
  QFile file;
  const bool opened = fileName == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                      : (file.setFileName(fileName), file.open(QIODevice::ReadOnly));
  if (!opened) {
    ctx.err << "tessaro-cli solve: cannot read " << fileName << ": " << file.errorString() << "\n";
    return kBadInput;
  }
  data = file.readAll();

  QJsonParseError parseError;
  const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
  if (parseError.error != QJsonParseError::NoError) {
    ctx.err << "tessaro-cli solve: " << (fileName == QLatin1String("-") ? QStringLiteral("standard input") : fileName)
            << ": not valid JSON at offset " << parseError.offset << ": " << parseError.errorString() << "\n";
    return kBadInput;
  }
  if (!doc.isObject()) return badInput(ctx, QStringLiteral("input"), QStringLiteral("a JSON object is needed"));

  app::SolveInput input;
  if (const auto error = readInput(doc.object(), input)) return badInput(ctx, error->field, error->message);

  const app::SolveOutcome outcome = app::solveWithoutTables(input);
  if (const auto* refusal = std::get_if<app::SolveRefusal>(&outcome)) {
    return badInput(ctx, refusal->field, refusal->message);
  }
  const auto& formulas = std::get<std::array<app::SolvedFormula, 2>>(outcome);
  JsonNumbers numbers;
  const QByteArray out =
      "{\"formulas\": [" + formulaJson(formulas[0], numbers) + ", " + formulaJson(formulas[1], numbers) + "]}";
  return printJson(ctx, "solve", QString::fromUtf8(out), numbers);
}

}  // namespace tessaro::cli
