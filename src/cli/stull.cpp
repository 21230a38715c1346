// tessaro-cli stull [--png FILE] [--svg FILE]: the unity formulas of the
// result formulas and of the target on the Stull chart, as one JSON object,
// and the chart as an image when asked.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/fitinputs.h"
#include "app/stullpoints.h"
#include "cli/commands.h"
#include "report/stullchart.h"

namespace tessaro::cli {

namespace {

// The size of the images written.
constexpr QSize kImageSize(1280, 800);

QJsonObject pointJson(const app::StullPoint& p, const QString& labelKey) {
  QJsonObject o;
  o.insert(labelKey, p.label);
  o.insert(QStringLiteral("SiO2"), p.silica ? QJsonValue(*p.silica) : QJsonValue());
  o.insert(QStringLiteral("Al2O3"), p.alumina ? QJsonValue(*p.alumina) : QJsonValue());
  if (p.hasPoint()) {
    o.insert(QStringLiteral("region"), p.region);
    o.insert(QStringLiteral("crazing"), p.crazes);
  } else {
    o.insert(QStringLiteral("region"), QJsonValue());
    o.insert(QStringLiteral("reason"), p.reason);
  }
  return o;
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

  QJsonArray formulas;
  for (const app::StullPoint& p : points.formulas) formulas.append(pointJson(p, QStringLiteral("BH")));
  QJsonObject root;
  root.insert(QStringLiteral("formulas"), formulas);
  root.insert(QStringLiteral("target"),
              points.target ? QJsonValue(pointJson(*points.target, QStringLiteral("NAME"))) : QJsonValue());
  ctx.out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)) << "\n";
  return kOk;
}

}  // namespace tessaro::cli
