// What the whole program looks and speaks like, set once before its first window.
#pragma once

class QStyle;

namespace tessaro::ui {

// The program's style: Fusion, but for the panel behind each cell of a row,
// which it fills as every style does without first working out the colours
// Fusion draws its other parts with; a grid asks for that panel once a cell.
QStyle* makeProgramStyle();

// The program's name, style and icon, numbers with a decimal point whatever
// the user's locale, and Qt's own Chinese texts for the
// standard dialogs (buttons of the input boxes, the print preview, the file
// dialogs), read from Qt's translations folder. False when those translations
// are not installed: the standard dialogs then keep Qt's English texts.
// Needs a QApplication; calling it again changes nothing.
bool prepareApplication();

}  // namespace tessaro::ui
