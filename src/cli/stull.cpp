// tessaro-cli stull [--png FILE] [--svg FILE]: the unity formulas of the
// result formulas and of the target on the Stull chart, as one JSON object,
// and the chart as an image when asked.
#include <QFileInfo>

#include "app/fitinputs.h"
#include "app/stullpoints.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "report/stullchart.h"

namespace tessaro::cli {

namespace {

// The size of the images written.
constexpr QSize kImageSize(1280, 800);

// A point as JSON: its label under `labelKey`, SiO2 and Al2O3 (null without
// a point), the region with whether it crazes, or the reason it has none.
QString pointJson(const app::StullPoint& p, const QString& labelKey, JsonNumbers& number) {
  QString o = QStringLiteral("{") + jsonString(labelKey) + QStringLiteral(": ") + jsonString(p.label);
  o += QStringLiteral(", \"SiO2\": ") + QString::fromUtf8(number(p.silica));
  o += QStringLiteral(", \"Al2O3\": ") + QString::fromUtf8(number(p.alumina));
  if (p.hasPoint()) {
    o += QStringLiteral(", \"region\": ") + jsonString(p.region);
    o += QStringLiteral(", \"crazing\": ") + (p.crazes ? QStringLiteral("true") : QStringLiteral("false"));
  } else {
    o += QStringLiteral(", \"region\": null, \"reason\": ") + jsonString(p.reason);
  }
  return o + QLatin1Char('}');
}

// The value following `option`, when it is given; false when it is given
// without one.
bool optionValue(QStringList& args, const QString& option, QString& value) {
  const int at = int(args.indexOf(option));
  if (at < 0) return true;
  if (at + 1 >= args.size() || args[at + 1].isEmpty() || args[at + 1].startsWith(QStringLiteral("--"))) return false;
  value = args[at + 1];
  args.remove(at, 2);
  return true;
}

}  // namespace

int runStull(Context& ctx) {
  const QString usage = QStringLiteral("usage: tessaro-cli stull [--dir DIR] [--png FILE] [--svg FILE]\n");
  QStringList args = ctx.args;
  QString png, svg;
  if (!optionValue(args, QStringLiteral("--png"), png) || !optionValue(args, QStringLiteral("--svg"), svg) ||
      !args.isEmpty()) {
    ctx.err << usage;
    return kBadInput;
  }

  QString error;
  const std::optional<app::FitInputs> inputs = app::readFitInputs(ctx.baseFolder, &error);
  if (!inputs) {
    ctx.err << "[错误] " << error << "\n";
    return kFailed;
  }
  const app::StullPoints points = app::stullPoints(*inputs);

  const QString title = report::stullTitle(points.target ? points.target->label : QString());
  const report::StullChartData chart{title, points};
  if (!png.isEmpty() && !report::writeStullPng(png, chart, kImageSize, &error)) {
    ctx.err << "[错误] " << error << "\n";
    return kFailed;
  }
  if (!svg.isEmpty() && !report::writeStullSvg(svg, chart, kImageSize, &error)) {
    ctx.err << "[错误] " << error << "\n";
    return kFailed;
  }

  JsonNumbers number;
  QString out = QStringLiteral("{\"formulas\": [");
  for (std::size_t i = 0; i < points.formulas.size(); ++i) {
    out += (i > 0 ? QStringLiteral(", ") : QString()) + pointJson(points.formulas[i], QStringLiteral("BH"), number);
  }
  out += QStringLiteral("], \"target\": ") +
         (points.target ? pointJson(*points.target, QStringLiteral("NAME"), number) : QStringLiteral("null"));
  return printJson(ctx, "stull", out + QLatin1Char('}'), number);
}

}  // namespace tessaro::cli
