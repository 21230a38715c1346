// Page geometry of the reports.
#pragma once

#include <QPageLayout>

namespace tessaro::report {

// A4 landscape with 10 mm margins.
QPageLayout reportPageLayout();

// A4 portrait with 10 mm margins: the batch sheet.
QPageLayout batchPageLayout();

}  // namespace tessaro::report
