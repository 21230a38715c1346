#include "report/textfit.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace tessaro::report {

namespace {

constexpr double kStep = 0.5;  // pt

QFont sized(QFont font, double points) {
  font.setPointSizeF(points);
  return font;
}

// The text broken into lines at most `width` wide: between words where it
// can, anywhere else (Chinese breaks between any two characters that the
// line-breaking rules allow).
QStringList wrapped(const QString& text, const QFont& font, double width, const QPaintDevice* device) {
  QTextLayout layout(text, font, device);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    lines << text.mid(line.textStart(), line.textLength());
  }
  layout.endLayout();
  return lines;
}

// Lines follow each other at the em of their size: the line box of a
// Chinese face, and tight enough that two lines at 7 pt fit a 5.3 mm row.
TextFit fit(double points, QStringList lines, const QPaintDevice* device) {
  return {points, std::move(lines), points * device->logicalDpiY() / 72.0};
}

}  // namespace

TextFit fitText(const QString& text, const QFont& font, double width, double height, const QPaintDevice* device) {
  const double largest = font.pointSizeF();
  const double smallest = std::min(kSmallestPoints, largest);
  // One line, as large as it fits.
  for (double points = largest; points >= smallest; points -= kStep) {
    const QFont f = sized(font, points);
    if (QFontMetricsF(f, device).horizontalAdvance(text) <= width)
      return fit(points, {text}, device);
  }
  // Two lines, as large as they fit the box.
  for (double points = largest; points > smallest; points -= kStep) {
    const QFont f = sized(font, points);
    TextFit two = fit(points, wrapped(text, f, width, device), device);
    if (two.lines.size() <= 2 && two.height() <= height) return two;
  }
  // At the smallest size, as many lines as the width needs.
  const QFont f = sized(font, smallest);
  return fit(smallest, wrapped(text, f, width, device), device);
}

}  // namespace tessaro::report
