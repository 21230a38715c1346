// tessaro-cli expansion [--set NAME] [--body X]: the calculated thermal
// expansion of every result formula by one factor set, with the fit on a
// body of measured coefficient X; one JSON object, the tables only read.
#include <cmath>
#include <optional>

#include "app/expansionsets.h"
#include "app/fitinputs.h"
#include "cli/commands.h"
#include "cli/json.h"

namespace tessaro::cli {

namespace {

QString formulaJson(const app::FormulaExpansion& f, JsonNumbers& jsonNumber) {
  QString out = QStringLiteral("{\"BH\": ") + jsonString(f.label);
  out += QStringLiteral(", \"alpha\": ") + QString::fromUtf8(jsonNumber(f.alpha));
  out += QStringLiteral(", \"contributions\": {");
  for (std::size_t i = 0; i < f.contributions.size(); ++i) {
    if (i > 0) out += QStringLiteral(", ");
    out += jsonString(f.contributions[i].oxide) + QStringLiteral(": ") +
           QString::fromUtf8(jsonNumber(f.contributions[i].value));
  }
  out += QStringLiteral("}, \"missing\": [");
  for (qsizetype i = 0; i < f.missing.size(); ++i) out += (i > 0 ? QStringLiteral(", ") : QString()) + jsonString(f.missing[i]);
  out += QStringLiteral("], \"fit\": ") + (f.fit.isEmpty() ? QStringLiteral("null") : jsonString(f.fit));
  return out + u'}';
}

// The options; false (with the reason written) on anything else.
bool readOptions(Context& ctx, QString& setName, std::optional<double>& body) {
  const QStringList& a = ctx.args;
  for (qsizetype i = 0; i < a.size(); i += 2) {
    const bool isSet = a[i] == QLatin1String("--set");
    if ((!isSet && a[i] != QLatin1String("--body")) || i + 1 >= a.size()) {
      ctx.err << "usage: tessaro-cli expansion [--dir DIR] [--set NAME] [--body X]\n";
      return false;
    }
    if (isSet) {
      setName = a[i + 1];
      continue;
    }
    QString error;
    body = app::parseBodyAlpha(a[i + 1], &error);
    if (!body) {
      ctx.err << "tessaro-cli: --body: " << error << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int runExpansion(Context& ctx) {
  QString setName = app::kDefaultExpansionSet;
  std::optional<double> body;
  if (!readOptions(ctx, setName, body)) return kBadInput;

  // A name that is not among the sets is the caller's mistake; a set that is
  // there but cannot be read is a damaged data folder.
  const QStringList names = app::expansionSetNames(ctx.baseFolder);
  const bool known = names.contains(setName, Qt::CaseInsensitive);
  QString error;
  const auto set = app::loadExpansionSet(ctx.baseFolder, setName, &error);
  if (!set) {
    ctx.err << "tessaro-cli: --set: " << error << "\n";
    return known || names.isEmpty() ? kFailed : kBadInput;
  }
  const auto inputs = app::readFitInputs(ctx.baseFolder, &error);
  if (!inputs) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return kFailed;
  }
  QString out = QStringLiteral("{\"set\": ") + jsonString(QString::fromStdString(set->name)) +
                QStringLiteral(", \"formulas\": [");
  const auto formulas = app::formulaExpansions(*inputs, *set, body);
  JsonNumbers numbers;
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    out += (i > 0 ? QStringLiteral(", ") : QString()) + formulaJson(formulas[i], numbers);
  }
  return printJson(ctx, "expansion", out + QStringLiteral("]}"), numbers);
}

}  // namespace tessaro::cli
