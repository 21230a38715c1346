// The tool bar's icons, flat pictograms drawn on a rounded tile with one colour per
// group, and the program's own icon.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <array>

class QPainter;

namespace tessaro::ui {

// The icon of the tool button `name` ("TB1", "WTB2", "ToolButton6", ...); a
// plain tile for a name without a pictogram.
QIcon toolIcon(const QString& name);

// The sizes in pixels the program's icon is drawn at, for the windows and
// for the icon theme of the desktop.
inline constexpr std::array<int, 8> kProgramIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The program's picture, a glazed bowl on a kiln-brick tile, painted on a
// 32-unit grid into the square of `size` units at the painter's origin.
void paintProgramPicture(QPainter& p, double size);

// The program's picture at `size` pixels on a transparent ground.
QImage programImage(int size);

// The program's own icon, for the frame and every window of the program.
QIcon programIcon();

}  // namespace tessaro::ui
