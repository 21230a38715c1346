// Page geometry shared by the reports.
#pragma once

#include <QPageLayout>

namespace tessaro::report {

// A4 landscape with 10 mm margins.
QPageLayout reportPageLayout();

}  // namespace tessaro::report
