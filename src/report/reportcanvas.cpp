#include "report/reportcanvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "report/reportpainter.h"
#include "report/textfit.h"

namespace tessaro::report {

Style boldCentred(int lines) {
  Style s;
  s.bold = true;
  s.lines = lines;
  return s;
}

Style centred(int lines) {
  Style s;
  s.lines = lines;
  return s;
}

Style leftAligned(int lines, bool bold) {
  Style s;
  s.align = Qt::AlignLeft;
  s.lines = lines;
  s.bold = bold;
  return s;
}

Style rightAligned(int lines, bool bold) {
  Style s = leftAligned(lines, bold);
  s.align = Qt::AlignRight;
  return s;
}

void reportTitle(Canvas& c, const QString& title) {
  Style s = boldCentred();
  s.points = 12;
  s.underline = true;
  c.cell(0, 2.1, c.pageWidth(), 6.5, title, s);
}

Canvas::Canvas(QPainter& painter, QPrinter& printer, const QColor& colour)
    : p_(painter), k_(printer.resolution() / 25.4), colour_(colour), families_(reportFontFamilies()) {
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  pageHeight_ = area.height();
  pageWidth_ = area.width();
}

void Canvas::cell(double left, double top, double width, double height, const QString& text, const Style& style) {
  const QRectF r = rect(left, top, width, height);
  const QRectF inner = r.adjusted(kPadding * k_, kTextMargin * k_, -kPadding * k_, -kTextMargin * k_);
  QFont f;
  f.setFamilies(families_);
  f.setBold(style.bold);
  f.setUnderline(style.underline);
  f.setPointSizeF(style.points);
  const TextFit fit = fitText(text, f, inner.width(), inner.height(), p_.device());
  if (measuring_) {
    needed_ = std::max(needed_, fit.height() / k_ + 2 * kTextMargin);
    return;
  }
  drawLines(r, style.lines);
  if (text.isEmpty()) return;
  f.setPointSizeF(fit.points);
  p_.setFont(f);
  p_.setPen(colour_);
  if (fit.lines.size() == 1) {
    p_.drawText(inner, int(style.align | Qt::AlignVCenter) | Qt::TextSingleLine, text);
    return;
  }
  // The lines as one block in the middle of the cell, each on the
  // baseline of a Chinese face's em box.
  const QFontMetricsF metrics(f, p_.device());
  double baseline = inner.center().y() - fit.height() / 2 + kBaseline * fit.lineHeight;
  for (const QString& line : fit.lines) {
    const double advance = metrics.horizontalAdvance(line);
    double x = inner.left();
    if (style.align & Qt::AlignRight) x = inner.right() - advance;
    if (style.align & Qt::AlignHCenter) x = inner.center().x() - advance / 2;
    p_.drawText(QPointF(x, baseline), line);
    baseline += fit.lineHeight;
  }
}

QRectF Canvas::rect(double left, double top, double width, double height) const {
  return QRectF(left * k_, (top_ + top) * k_, width * k_, height * k_);
}

void Canvas::drawLines(const QRectF& r, int lines) {
  if (lines == kNoLines) return;
  p_.setPen(QPen(colour_, kRuleWidth * k_, Qt::SolidLine, Qt::FlatCap));
  if (lines & kLeft) p_.drawLine(r.topLeft(), r.bottomLeft());
  if (lines & kRight) p_.drawLine(r.topRight(), r.bottomRight());
  if (lines & kTop) p_.drawLine(r.topLeft(), r.topRight());
  if (lines & kBottom) p_.drawLine(r.bottomLeft(), r.bottomRight());
}

}  // namespace tessaro::report
