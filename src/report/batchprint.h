// The printed batch sheet (配料单): A4 portrait, painted in millimetres.
// A title with the target and the date, the batch weight and the water
// content, and per formula a table of the raw materials (name, proportion,
// weight, unit price, amount) with the dry total, the water, the slip total
// and the cost. Figures are right-aligned and fitted to their cells.
#pragma once

#include <QString>

#include "app/batchsheet.h"

class QPainter;
class QPrinter;

namespace tessaro::report {

struct BatchSheetContent {
  app::BatchSheet sheet;
  QString date;  // as the program shows dates
};

// The content of `sheet`, dated today.
BatchSheetContent batchSheetContent(const app::BatchSheet& sheet);

// The target the sheet is for as the sheet names it: "（无）" when none.
QString batchTargetText(const BatchSheetContent& content);

// The column titles of a formula's table.
app::BatchRow batchHeaderRow();

// Sets `printer` to the batch sheet's page: A4 portrait, 10 mm margins.
void setUpBatchPrinter(QPrinter& printer);

// Paints the sheet on `printer` through `painter` (begun on it), starting on
// the current page; the columns share the printer's page width. Returns the
// number of pages painted.
int paintBatchSheet(QPainter& painter, QPrinter& printer, const BatchSheetContent& content);

// Paints the sheet on `printer` with a painter of its own, as a
// QPrintPreviewDialog's paintRequested asks.
void paintBatchSheet(QPrinter* printer, const BatchSheetContent& content);

// Writes the sheet into the PDF file `path`. False, with a sentence naming
// the file in `error`, when the file cannot be written.
bool writeBatchPdf(const QString& path, const BatchSheetContent& content, QString* error);

}  // namespace tessaro::report
