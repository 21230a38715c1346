// Painting the formula report and the property report on A4 landscape with
// 10 mm margins, laid out in millimetres.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>

#include "report/reportcontent.h"
#include "report/stullchart.h"

class QPainter;
class QPrinter;

namespace tessaro::report {

// The families the reports ask for: SimSun (宋体) where the system has it;
// else the CJK serif faces whose glyphs a PDF maps back to the characters
// drawn; else a CJK sans-serif face, else the default family. Needs a
// QGuiApplication.
QStringList reportFontFamilies();

// Heights of the bands, in millimetres.
inline constexpr double kTitleBandHeight = 19.8;
inline constexpr double kColumnHeaderHeight = 5.8;
inline constexpr double kDetailHeight = 5.3;
// The summary's three rows end 27.5 mm below its top; the band keeps just
// them, so that it moves to a new page only when they do not fit.
inline constexpr double kSummaryHeight = 27.5;
inline constexpr double kPageFooterHeight = 13.2;
inline constexpr double kPropertyHeaderHeight = 22.0;
inline constexpr double kPropertyDetailHeight = 4.2;

// Paints the report on `printer` through `painter` (begun on it), starting on
// the current page; further pages are started with printer.newPage().
// Returns the number of pages painted.
int paintFormulaReport(QPainter& painter, QPrinter& printer, const FormulaReportContent& content);
int paintPropertyReport(QPainter& painter, QPrinter& printer, const PropertyReportContent& content);

// Sets `printer` to the reports' page: A4 landscape, 10 mm margins.
void setUpReportPrinter(QPrinter& printer);

// Writes the formula report, followed by the property report when one is
// given and by the Stull chart's page when `stull` is given, into the PDF
// file `path`. False, with a sentence naming the file
// in `error`, when the file cannot be written. `pages` gets the number of
// pages of each report (0 for a property report not written).
bool writeReportsPdf(const QString& path, const FormulaReportContent& formula,
                     const PropertyReportContent* property, QString* error, std::pair<int, int>* pages = nullptr,
                     const StullChartData* stull = nullptr);

}  // namespace tessaro::report
