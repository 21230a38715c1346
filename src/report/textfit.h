// How a text is fitted into a cell of a report. A text that does not fit
// at its cell's size is drawn smaller, down to 7 pt; a text that does not
// fit at 7 pt either breaks onto a second line (at 7 pt or more), and one
// that two lines cannot hold takes as many lines at 7 pt as it needs. No
// text is ever cut: the row that holds it grows instead.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace tessaro::report {

// The smallest size a report prints at.
inline constexpr double kSmallestPoints = 7.0;

struct TextFit {
  double points = 0;      // the size the text is drawn at
  QStringList lines;      // the text, line by line; together they are the whole text
  double lineHeight = 0;  // distance from one line to the next, in the device's units
  double height() const { return double(lines.size()) * lineHeight; }
};

// Fits `text`, drawn in `font` at the cell's size, into a box `width` wide
// and `height` high (in the units of `device`, which the text is measured
// for). Every line is at most `width` wide; a text of one or two lines also
// keeps within `height` unless even two lines at 7 pt are taller than it.
TextFit fitText(const QString& text, const QFont& font, double width, double height, const QPaintDevice* device);

}  // namespace tessaro::report
