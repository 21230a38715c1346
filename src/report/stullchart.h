// The Stull chart painted with QPainter: Stull's regions, the crazing line
// and the points of the result formulas and of the target, laid out in
// proportion to the rectangle given, so that it reads the same on a window,
// an image, an SVG file or a printed page.
#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

#include "app/stullpoints.h"
#include "report/reportcontent.h"

class QPainter;
class QPrinter;

namespace tessaro::report {

struct StullChartData {
  // Drawn above the chart when not empty.
  QString title;
  app::StullPoints points;
};

// Paints the chart into `rect` of whatever device `painter` is on; every
// size is in proportion to the rectangle. Needs a QGuiApplication (fonts).
void paintStullChart(QPainter& painter, const QRectF& rect, const StullChartData& data);

// The chart as a PNG image or an SVG drawing of `size` pixels on a white
// ground. False, with a sentence naming the file in `error`, when it cannot
// be written.
bool writeStullPng(const QString& path, const StullChartData& data, QSize size, QString* error);
bool writeStullSvg(const QString& path, const StullChartData& data, QSize size, QString* error);

// The title of the report page: the target's name followed by "_Stull 图".
QString stullTitle(const QString& targetName);

// Whether the property report holds glaze formulas (a formula title that
// ends with "釉式"); a Stull chart of a body formula means nothing.
bool holdsGlazeFormulas(const PropertyReportContent& property);

// The chart as a report page on `printer` (begun by `painter`), on the
// current page: the title in the style of the other reports' titles, the
// chart under it. The points' title in `data` is not used.
void paintStullPage(QPainter& painter, QPrinter& printer, const StullChartData& data);

// The chart's data for the report from the tables under `baseFolder`, with
// `title` over it; no value, with the reason in `error`, when they cannot
// be read.
std::optional<StullChartData> readStullChart(const QString& baseFolder, const QString& title, QString* error);

}  // namespace tessaro::report
