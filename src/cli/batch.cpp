// tessaro-cli batch --weight KG [--water PERCENT] [--csv FILE] [--pdf FILE]:
// the batch sheet of the result formulas as JSON, and optionally as CSV and
// PDF files. It only reads the tables.
#include <QFileInfo>

#include <map>

#include "app/batchsheet.h"
#include "app/fitinputs.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/options.h"
#include "report/batchprint.h"

namespace tessaro::cli {
namespace {

const QString kUsage =
    QStringLiteral("usage: tessaro-cli batch [--dir DIR] --weight KG [--water PERCENT] [--csv FILE] [--pdf FILE]\n");

// The options given, each once with its value; false for anything else.
bool readOptions(const QStringList& args, std::map<QString, QString>& options) {
  static const QStringList known = {QStringLiteral("--weight"), QStringLiteral("--water"), QStringLiteral("--csv"),
                                    QStringLiteral("--pdf")};
  return readOptionPairs(args, known, options) && options.count(QStringLiteral("--weight")) == 1;
}

QByteArray sheetJson(const app::BatchSheet& sheet, JsonNumbers& number) {
  QByteArray out = "{\"weight\": " + number(sheet.request.weightKg);
  out += ", \"water\": " + number(sheet.request.waterPercent);
  out += ", \"formulas\": [";
  for (std::size_t k = 0; k < sheet.formulas.size(); ++k) {
    const core::BatchFormula& f = sheet.formulas[k];
    out += (k ? ", " : "") + QByteArray("{\"BH\": ") + jsonString(f.label) + ", \"materials\": [";
    for (std::size_t i = 0; i < f.lines.size(); ++i) {
      const core::BatchLine& l = f.lines[i];
      out += (i ? ", " : "") + QByteArray("{\"NAME\": ") + jsonString(l.name);
      out += ", \"NUM\": " + number(l.proportion) + ", \"kg\": " + number(l.kg) + ", \"cost\": " + number(l.cost) + "}";
    }
    out += "], \"dry_kg\": " + number(f.dryKg) + ", \"water_kg\": " + number(f.waterKg);
    out += ", \"cost\": " + number(f.cost) + "}";
  }
  out += "]}\n";
  return out;
}

int failed(Context& ctx, QString message) {
  message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  ctx.err << "tessaro-cli batch: " << message << "\n";
  return kFailed;
}

}  // namespace

int runBatch(Context& ctx) {
  std::map<QString, QString> options;
  if (!readOptions(ctx.args, options)) {
    ctx.err << kUsage;
    return kBadInput;
  }
  const auto option = [&options](const char* name) { return options[QString::fromLatin1(name)]; };
  QString error;
  const QString water = options.count(QStringLiteral("--water")) ? option("--water") : QStringLiteral("0");
  const auto request = app::parseBatchRequest(option("--weight"), water, &error);
  if (!request) {
    ctx.err << "tessaro-cli batch: " << error << "\n";
    return kBadInput;
  }
  const auto inputs = app::readFitInputs(ctx.baseFolder, &error);
  if (!inputs) return failed(ctx, error);
  const auto sheet = app::makeBatchSheet(*inputs, *request, &error);
  if (!sheet) return failed(ctx, error);

  JsonNumbers number;
  const QByteArray json = sheetJson(*sheet, number);
  if (!number.allFinite()) return failed(ctx, QStringLiteral("a computed figure is not a finite number"));
  const QString csv = option("--csv");
  if (!csv.isEmpty() && !app::writeBatchCsv(csv, *sheet, &error)) return failed(ctx, error);
  const QString pdf = option("--pdf");
  if (!pdf.isEmpty() && !report::writeBatchPdf(pdf, report::batchSheetContent(*sheet), &error)) {
    return failed(ctx, error);
  }
  ctx.out << QString::fromUtf8(json);
  return kOk;
}

}  // namespace tessaro::cli
