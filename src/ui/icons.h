// The tool bar's icons: flat pictograms drawn on a rounded tile, one colour per group.
#pragma once

#include <QIcon>
#include <QString>

namespace tessaro::ui {

// The icon of the tool button `name` ("TB1", "WTB2", "ToolButton6", ...); a
// plain tile for a name without a pictogram.
QIcon toolIcon(const QString& name);

// The program's own icon, for the frame and every window of the program.
QIcon programIcon();

}  // namespace tessaro::ui
