// Page geometry of the reports, and the writing of a PDF file.
#pragma once

#include <QPageLayout>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace tessaro::report {

// A4 landscape with 10 mm margins.
QPageLayout reportPageLayout();

// A4 portrait with 10 mm margins: the batch sheet.
QPageLayout batchPageLayout();

// Writes the PDF file `path` titled `docName`: the printer is set up by
// `setUp`, then `paint` paints the pages through a painter begun on it.
// False, with a sentence naming the file in `error`, when the file cannot be
// written.
bool writePdf(const QString& path, const QString& docName, const std::function<void(QPrinter&)>& setUp,
              const std::function<void(QPainter&, QPrinter&)>& paint, QString* error);

}  // namespace tessaro::report
