// tessaro-cli report --pdf FILE: the formula report, followed by the property
// report when the property table holds rows and the Stull chart's page when
// they are glaze formulas, into one PDF without a display.
#include <QDir>
#include <QFileInfo>

#include <optional>

#include "app/datafolder.h"
#include "app/gridcolumns.h"
#include "cli/commands.h"
#include "report/reportcontent.h"
#include "report/reportpainter.h"
#include "report/stullchart.h"

namespace tessaro::cli {

int runReport(Context& ctx) {
  const QString usage = QStringLiteral("usage: tessaro-cli report [--dir DIR] --pdf FILE\n");
  const int at = int(ctx.args.indexOf(QStringLiteral("--pdf")));
  if (at < 0 || at + 1 >= ctx.args.size() || ctx.args.size() != 2 || ctx.args[at + 1].isEmpty()) {
    ctx.err << usage;
    return kBadInput;
  }
  const QString pdf = ctx.args[at + 1];

  // The captions of grid 1 as the main screen reads them at its start.
  const QStringList captions = app::readCaptions(app::Grid::Formula, app::settingsFile(ctx.baseFolder));

  report::ReportTables tables;
  QString error;
  if (!tables.open(ctx.baseFolder, &error)) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return kFailed;
  }
  const report::FormulaReportContent formula = report::readFormulaReport(tables, captions);
  const report::PropertyReportContent property = report::readPropertyReport(tables.property);
  tables.closeAll();

  QStringList problems = formula.problems + property.problems;
  std::optional<report::StullChartData> stull;
  if (report::holdsGlazeFormulas(property)) {
    stull = report::readStullChart(ctx.baseFolder, report::stullTitle(formula.target.name), &error);
    if (!stull) problems << error;
  }

  std::pair<int, int> pages;
  if (!report::writeReportsPdf(pdf, formula, property.rows.empty() ? nullptr : &property, &error, &pages,
                               stull ? &*stull : nullptr)) {
    ctx.err << "tessaro-cli: " << error << "\n";
    return kFailed;
  }
  for (const QString& p : problems) ctx.err << "tessaro-cli: " << p << "\n";
  ctx.out << QFileInfo(pdf).absoluteFilePath() << ": formula report " << pages.first << " page(s), property report "
          << pages.second << " page(s)";
  if (stull) ctx.out << ", Stull chart 1 page(s)";
  ctx.out << "\n";
  return problems.isEmpty() ? kOk : kFailed;
}

}  // namespace tessaro::cli
