// tessaro-cli report [--pdf FILE] [--xlsx FILE [--weight KG] [--water PERCENT]]:
// the formula report, followed by the property report when the property
// table holds rows and the Stull chart's page when they are glaze formulas,
// into one PDF without a display; and the formula report's table, the
// property table and the batch sheet as one Excel workbook.
#include <QDir>
#include <QFileInfo>

#include <map>
#include <optional>

#include "app/batchsheet.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "report/reportcontent.h"
#include "report/reportpainter.h"
#include "report/stullchart.h"
#include "report/workbook.h"

namespace tessaro::cli {

namespace {

const QString kUsage =
    QStringLiteral("usage: tessaro-cli report [--dir DIR] [--pdf FILE] [--xlsx FILE [--weight KG] [--water PERCENT]]\n");

// Writes the PDF; problems met on the way are added to `problems`.
bool writePdfReport(Context& ctx, const QString& pdf, const report::WorkbookContent& content, QStringList& problems) {
  QString error;
  std::optional<report::StullChartData> stull;
  if (report::holdsGlazeFormulas(content.property)) {
    stull = report::readStullChart(ctx.baseFolder, report::stullTitle(content.formula.target.name), &error);
    if (!stull) problems << error;
  }
  std::pair<int, int> pages;
  const report::PropertyReportContent* property = content.property.rows.empty() ? nullptr : &content.property;
  if (!report::writeReportsPdf(pdf, content.formula, property, &error, &pages, stull ? &*stull : nullptr)) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return false;
  }
  ctx.out << QFileInfo(pdf).absoluteFilePath() << ": formula report " << pages.first << " page(s), property report "
          << pages.second << " page(s)";
  if (stull) ctx.out << ", Stull chart 1 page(s)";
  ctx.out << "\n";
  return true;
}

// Writes the workbook, with the batch sheet for `request`.
bool writeXlsxReport(Context& ctx, const QString& xlsx, const app::BatchRequest& request,
                     report::WorkbookContent& content) {
  content.batch = report::readBatchSheet(ctx.baseFolder, request, &content.batchMissing);
  if (!content.batch) ctx.err << "tessaro-cli: " << report::kBatchSheetName << ": " << content.batchMissing << "\n";
  QString error;
  if (!report::writeWorkbook(xlsx, content, &error)) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return false;
  }
  ctx.out << QFileInfo(xlsx).absoluteFilePath() << ": formula report " << content.formula.rows.size()
          << " row(s), property report " << content.property.rows.size() << " row(s), batch sheet "
          << (content.batch ? content.batch->sheet.formulas.size() : 0) << " formula(s)\n";
  return true;
}

}  // namespace

int runReport(Context& ctx) {
  std::map<QString, QString> options;
  const QStringList known = {QStringLiteral("--pdf"), QStringLiteral("--xlsx"), QStringLiteral("--weight"),
                             QStringLiteral("--water")};
  const auto given = [&options](const char* name) { return options.count(QString::fromLatin1(name)) == 1; };
  if (!readOptionPairs(ctx.args, known, options) || !(given("--pdf") || given("--xlsx")) ||
      ((given("--weight") || given("--water")) && !given("--xlsx"))) {
    ctx.err << kUsage;
    return kBadInput;
  }
  const auto value = [&](const char* name, const QString& otherwise) {
    return given(name) ? options[QString::fromLatin1(name)] : otherwise;
  };
  // The workbook's batch sheet is for the batch window's first figures
  // unless the command line gives others.
  const app::BatchRequest first;
  QString error;
  const auto request = app::parseBatchRequest(value("--weight", QString::number(first.weightKg)),
                                              value("--water", QString::number(first.waterPercent)), &error);
  if (!request) {
    ctx.err << "tessaro-cli report: " << error << "\n";
    return kBadInput;
  }

  report::WorkbookContent content;
  if (!report::readReports(ctx.baseFolder, content.formula, content.property, &error)) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return kFailed;
  }
  QStringList problems = content.formula.problems + content.property.problems;
  if (given("--pdf") && !writePdfReport(ctx, value("--pdf", {}), content, problems)) return kFailed;
  if (given("--xlsx") && !writeXlsxReport(ctx, value("--xlsx", {}), *request, content)) return kFailed;
  for (const QString& p : problems) ctx.err << "tessaro-cli: " << p << "\n";
  return problems.isEmpty() ? kOk : kFailed;
}

}  // namespace tessaro::cli
