#include "report/stullchart.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/fitinputs.h"
#include "core/format.h"
#include "report/reportcanvas.h"
#include "report/reportpainter.h"

namespace tessaro::report {

namespace {

// Light fills of the regions, the most fused on top.
QColor regionColour(core::StullRegion r) {
  switch (r) {
    case core::StullRegion::BrightGloss:
      return {255, 244, 196};
    case core::StullRegion::SemiMatte:
      return {214, 236, 214};
    case core::StullRegion::Matte:
      return {205, 222, 242};
    case core::StullRegion::UnderFired:
      break;
  }
  return {236, 232, 226};
}

// Where each region's name is written, in (SiO2, Al2O3): well inside it.
struct RegionLabel {
  core::StullRegion region;
  QPointF at;
};
constexpr RegionLabel kRegionLabels[] = {
    {core::StullRegion::BrightGloss, {4.25, 0.52}}, {core::StullRegion::SemiMatte, {4.6, 0.78}},
    {core::StullRegion::Matte, {2.55, 0.86}},       {core::StullRegion::UnderFired, {6.2, 0.25}},
    {core::StullRegion::UnderFired, {0.75, 0.88}},
};

enum class Marker { Circle, Square, Diamond };

const QColor kInk(40, 40, 40);
const QColor kCrazingInk(190, 30, 30);
const std::array<QColor, 3> kMarkerColours = {QColor(20, 70, 170), QColor(200, 100, 0), QColor(0, 130, 60)};

// A point to draw: its marker and colour by its place in the legend.
struct Plotted {
  const app::StullPoint* point;
  Marker marker;
  QColor colour;
};

std::vector<Plotted> plotted(const app::StullPoints& points) {
  std::vector<Plotted> out;
  for (std::size_t i = 0; i < points.formulas.size(); ++i) {
    out.push_back({&points.formulas[i], i % 2 == 0 ? Marker::Circle : Marker::Square, kMarkerColours[i % 2]});
  }
  if (points.target) out.push_back({&*points.target, Marker::Diamond, kMarkerColours[2]});
  return out;
}

QString number(double v) { return QString::fromStdString(core::formatFixed(v, 2, 0)); }

// The chart's geometry: the plot area and the scales of its axes.
class Frame {
 public:
  Frame(const QRectF& plot, double xMax, double yMax) : plot_(plot), xMax_(xMax), yMax_(yMax) {}
  // From (SiO2, Al2O3) to the device.
  QPointF map(QPointF p) const {
    return {plot_.left() + p.x() / xMax_ * plot_.width(), plot_.bottom() - p.y() / yMax_ * plot_.height()};
  }
  QPointF clampedMap(QPointF p) const { return map({std::clamp(p.x(), 0.0, xMax_), std::clamp(p.y(), 0.0, yMax_)}); }
  const QRectF& plot() const { return plot_; }
  double xMax() const { return xMax_; }
  double yMax() const { return yMax_; }

 private:
  QRectF plot_;
  double xMax_, yMax_;
};

// Paints with fonts sized from one unit, the height of the body text.
class ChartPainter {
 public:
  ChartPainter(QPainter& p, const QRectF& rect) : p_(p), rect_(rect) {
    unit_ = std::max(4.0, std::min(rect.width() * 0.0135, rect.height() * 0.022));
    families_ = reportFontFamilies();
  }

  double unit() const { return unit_; }
  QFont font(double scale, bool bold = false) const {
    QFont f;
    f.setFamilies(families_);
    f.setPixelSize(std::max(1, int(std::lround(unit_ * scale))));
    f.setBold(bold);
    return f;
  }
  QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, p_.device()); }

  void paint(const StullChartData& data);

 private:
  Frame frame(const StullChartData& data, const QRectF& area) const;
  void regions(const Frame& f);
  void crazingLine(const Frame& f);
  void axes(const Frame& f);
  void points(const Frame& f, const std::vector<Plotted>& items);
  void legend(const QRectF& area, const std::vector<Plotted>& items);
  void marker(QPointF at, const Plotted& item, double scale = 1.0);
  double markerRadius() const { return unit_ * 0.45; }

  QPainter& p_;
  QRectF rect_;
  double unit_ = 10;
  QStringList families_;
};

void ChartPainter::paint(const StullChartData& data) {
  p_.save();
  p_.setRenderHint(QPainter::Antialiasing);
  p_.setRenderHint(QPainter::TextAntialiasing);
  QRectF area = rect_.adjusted(unit_ * 0.5, unit_ * 0.5, -unit_ * 0.5, -unit_ * 0.5);
  if (!data.title.isEmpty()) {
    const QFont f = font(1.35, true);
    p_.setFont(f);
    p_.setPen(kInk);
    const double h = metrics(f).height() * 1.5;
    const QRectF band(area.left(), area.top(), area.width(), h);
    p_.drawText(band, Qt::AlignCenter, metrics(f).elidedText(data.title, Qt::ElideRight, band.width()));
    area.setTop(area.top() + h);
  }
  const double legendWidth = std::min(area.width() * 0.3, unit_ * 16);
  const QRectF legendArea(area.right() - legendWidth, area.top(), legendWidth, area.height());
  const QRectF chartArea(area.left(), area.top(), area.width() - legendWidth - unit_, area.height());
  const Frame f = frame(data, chartArea);
  const std::vector<Plotted> items = plotted(data.points);
  regions(f);
  crazingLine(f);
  axes(f);
  points(f, items);
  legend(legendArea, items);
  p_.restore();
}

Frame ChartPainter::frame(const StullChartData& data, const QRectF& area) const {
  // SiO2 from 0 to 7 and Al2O3 from 0 to 1 as Stull drew them, widened to
  // hold every point.
  double xMax = 7.0, yMax = 1.0;
  for (const Plotted& item : plotted(data.points)) {
    if (!item.point->hasPoint()) continue;
    xMax = std::max(xMax, std::ceil(*item.point->silica));
    yMax = std::max(yMax, std::ceil(*item.point->alumina * 5) / 5);
  }
  const QRectF plot = area.adjusted(unit_ * 4.2, unit_ * 0.8, -unit_ * 0.6, -unit_ * 3.4);
  return Frame(plot, xMax, yMax);
}

void ChartPainter::regions(const Frame& f) {
  p_.save();
  p_.setClipRect(f.plot());
  p_.fillRect(f.plot(), regionColour(core::StullRegion::UnderFired));
  p_.setPen(QPen(QColor(150, 150, 150), unit_ * 0.06));
  for (core::StullRegion r : {core::StullRegion::Matte, core::StullRegion::SemiMatte, core::StullRegion::BrightGloss}) {
    QPolygonF polygon;
    for (const QPointF& xy : app::stullOutline(r)) polygon << f.map(xy);
    p_.setBrush(regionColour(r));
    p_.drawPolygon(polygon);
  }
  p_.setPen(QColor(90, 90, 90));
  const QFont labelFont = font(0.9);
  p_.setFont(labelFont);
  const QFontMetricsF m = metrics(labelFont);
  for (const RegionLabel& l : kRegionLabels) {
    // Chinese name over the English one in brackets.
    const QString name = app::stullRegionName(l.region);
    const QStringList lines = name.split(QLatin1Char('('));
    const QPointF c = f.map(l.at);
    const double h = m.height();
    for (int i = 0; i < lines.size(); ++i) {
      const QString text = i == 0 ? lines[i] : QLatin1Char('(') + lines[i];
      const double w = m.horizontalAdvance(text);
      p_.drawText(QPointF(c.x() - w / 2, c.y() - h * lines.size() / 2 + h * i + m.ascent()), text);
    }
  }
  p_.restore();
}

void ChartPainter::crazingLine(const Frame& f) {
  const QLineF line = app::stullCrazingLine();
  // Carried on to the plot's edges.
  const double slope = line.dy() / line.dx();
  const double x0 = std::max(0.0, line.x1() + (f.yMax() - line.y1()) / slope);
  const double x1 = line.x1() - line.y1() / slope;
  const QPointF a = f.map({x0, line.y1() + (x0 - line.x1()) * slope});
  const QPointF b = f.map({x1, 0.0});
  p_.save();
  p_.setClipRect(f.plot());
  p_.setPen(QPen(kCrazingInk, unit_ * 0.16, Qt::DashLine, Qt::FlatCap));
  p_.drawLine(a, b);
  // The label along the line, above it, a quarter of the way down.
  const QString text = QStringLiteral("釉裂线（线下方易釉裂）");
  const QFont lf = font(0.9);
  p_.setFont(lf);
  p_.setPen(kCrazingInk);
  const QPointF at = a + (b - a) * 0.22;
  const double angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / M_PI;
  p_.translate(at);
  p_.rotate(angle);
  const QFontMetricsF m = metrics(lf);
  const QRectF box(-m.horizontalAdvance(text) / 2 - unit_ * 0.2, -unit_ * 0.35 - m.ascent(),
                   m.horizontalAdvance(text) + unit_ * 0.4, m.height());
  p_.setPen(Qt::NoPen);
  p_.setBrush(QColor(255, 255, 255, 170));
  p_.drawRect(box);
  p_.setPen(kCrazingInk);
  p_.drawText(QPointF(-m.horizontalAdvance(text) / 2, -unit_ * 0.35), text);
  p_.restore();
}

void ChartPainter::axes(const Frame& f) {
  const QRectF& plot = f.plot();
  p_.save();
  p_.setPen(QPen(kInk, unit_ * 0.08));
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(plot);
  const QFont tf = font(0.9);
  const QFontMetricsF m = metrics(tf);
  p_.setFont(tf);
  const double tick = unit_ * 0.4;
  for (int i = 0; i <= int(std::lround(f.xMax())); ++i) {
    const QPointF at = f.map({double(i), 0});
    p_.drawLine(at, at + QPointF(0, tick));
    const QString t = QString::number(i);
    p_.drawText(QPointF(at.x() - m.horizontalAdvance(t) / 2, at.y() + tick + m.ascent() + unit_ * 0.1), t);
  }
  const double step = f.yMax() > 1.0 ? 0.2 : 0.1;
  for (int i = 0; i * step <= f.yMax() + 1e-9; ++i) {
    const QPointF at = f.map({0, i * step});
    p_.drawLine(at, at - QPointF(tick, 0));
    const QString t = QString::number(i * step, 'f', 1);
    p_.drawText(QPointF(at.x() - tick - unit_ * 0.2 - m.horizontalAdvance(t), at.y() + m.ascent() / 2 - m.descent() / 2),
                t);
  }
  const QFont af = font(1.0, true);
  const QFontMetricsF am = metrics(af);
  p_.setFont(af);
  const QString xTitle = QStringLiteral("SiO2（摩尔数）");
  p_.drawText(QPointF(plot.center().x() - am.horizontalAdvance(xTitle) / 2, plot.bottom() + unit_ * 3.1), xTitle);
  const QString yTitle = QStringLiteral("Al2O3（摩尔数）");
  p_.translate(plot.left() - unit_ * 3.2, plot.center().y());
  p_.rotate(-90);
  p_.drawText(QPointF(-am.horizontalAdvance(yTitle) / 2, 0), yTitle);
  p_.restore();
}

// Formula 1 a filled circle; formula 2 an open square and the target an open
// diamond, each larger than the one before, so that points at one place
// all show.
void ChartPainter::marker(QPointF at, const Plotted& item, double scale) {
  const double r = markerRadius() * scale;
  if (item.marker == Marker::Circle) {
    p_.setPen(QPen(Qt::white, unit_ * 0.08));
    p_.setBrush(item.colour);
  } else {
    p_.setPen(QPen(item.colour, unit_ * 0.2 * scale, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p_.setBrush(Qt::NoBrush);
  }
  switch (item.marker) {
    case Marker::Circle:
      p_.drawEllipse(at, r, r);
      break;
    case Marker::Square:
      p_.drawRect(QRectF(at.x() - r * 1.35, at.y() - r * 1.35, r * 2.7, r * 2.7));
      break;
    case Marker::Diamond: {
      const double d = r * 2.4;
      p_.drawPolygon(QPolygonF{at + QPointF(0, -d), at + QPointF(d, 0), at + QPointF(0, d), at + QPointF(-d, 0)});
      break;
    }
  }
}

void ChartPainter::points(const Frame& f, const std::vector<Plotted>& items) {
  p_.save();
  const QFont lf = font(0.95, true);
  const QFontMetricsF m = metrics(lf);
  const double r = markerRadius() * 2.5;
  // Markers first; each label then goes to the first side of its marker
  // where it meets no marker and no label drawn before.
  std::vector<QRectF> taken;
  for (const Plotted& item : items) {
    if (!item.point->hasPoint()) continue;
    const QPointF at = f.clampedMap({*item.point->silica, *item.point->alumina});
    marker(at, item);
    taken.push_back(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
  }
  p_.setFont(lf);
  for (const Plotted& item : items) {
    if (!item.point->hasPoint()) continue;
    const QPointF at = f.clampedMap({*item.point->silica, *item.point->alumina});
    const QString text = m.elidedText(item.point->label, Qt::ElideRight, unit_ * 10);
    const QSizeF s(m.horizontalAdvance(text) + unit_ * 0.4, m.height());
    const double gap = r + unit_ * 0.2;
    const std::array<QRectF, 6> candidates = {
        QRectF(QPointF(at.x() + gap, at.y() - s.height() / 2), s),
        QRectF(QPointF(at.x() - gap - s.width(), at.y() - s.height() / 2), s),
        QRectF(QPointF(at.x() - s.width() / 2, at.y() - gap - s.height()), s),
        QRectF(QPointF(at.x() - s.width() / 2, at.y() + gap), s),
        QRectF(QPointF(at.x() + gap, at.y() - gap - s.height()), s),
        QRectF(QPointF(at.x() + gap, at.y() + gap), s),
    };
    QRectF chosen = candidates[0];
    for (const QRectF& c : candidates) {
      const bool free = std::none_of(taken.begin(), taken.end(), [&c](const QRectF& t) { return t.intersects(c); });
      if (free && rect_.contains(c)) {
        chosen = c;
        break;
      }
    }
    taken.push_back(chosen);
    p_.setPen(Qt::NoPen);
    p_.setBrush(QColor(255, 255, 255, 200));
    p_.drawRoundedRect(chosen, unit_ * 0.2, unit_ * 0.2);
    p_.setPen(item.colour.darker(130));
    p_.drawText(chosen, Qt::AlignCenter, text);
  }
  p_.restore();
}

void ChartPainter::legend(const QRectF& area, const std::vector<Plotted>& items) {
  p_.save();
  const QFont head = font(1.0, true);
  const QFont body = font(0.9);
  const QFontMetricsF hm = metrics(head);
  const QFontMetricsF bm = metrics(body);
  double y = area.top() + unit_ * 0.8;
  const double textLeft = area.left() + unit_ * 1.6;
  const double textWidth = area.right() - textLeft;
  auto wrapped = [&](const QString& text, const QColor& colour) {
    const QRectF box(textLeft, y, textWidth, area.bottom() - y);
    const QRectF used = bm.boundingRect(box, Qt::TextWordWrap, text);
    p_.setFont(body);
    p_.setPen(colour);
    p_.drawText(box, Qt::TextWordWrap, text);
    y += used.height();
  };
  for (const Plotted& item : items) {
    const app::StullPoint& pt = *item.point;
    p_.setFont(head);
    // The markers at one size in the legend.
    const double scale = item.marker == Marker::Circle ? 1.0 : item.marker == Marker::Square ? 0.7 : 0.45;
    marker(QPointF(area.left() + unit_ * 0.7, y + hm.height() / 2), item, scale);
    p_.setFont(head);
    p_.setPen(kInk);
    p_.drawText(QPointF(textLeft, y + hm.ascent()), hm.elidedText(pt.label, Qt::ElideRight, textWidth));
    y += hm.height();
    if (pt.hasPoint()) {
      wrapped(QStringLiteral("SiO2 %1   Al2O3 %2").arg(number(*pt.silica), number(*pt.alumina)), kInk);
      wrapped(pt.region, pt.crazes ? kCrazingInk : kInk);
    } else {
      wrapped(QStringLiteral("不在图上：") + pt.reason, kCrazingInk);
    }
    y += unit_ * 0.7;
  }
  // What the regions are and how far they hold.
  y = std::max(y, area.bottom() - unit_ * 6.5);
  wrapped(QStringLiteral("区域：Stull (1912)，RO = 0.3 K2O·0.7 CaO，cone 11 烧成；边界为近似，仅供参考。"),
          QColor(100, 100, 100));
  p_.restore();
}

}  // namespace

void paintStullChart(QPainter& painter, const QRectF& rect, const StullChartData& data) {
  ChartPainter(painter, rect).paint(data);
}

bool writeStullPng(const QString& path, const StullChartData& data, QSize size, QString* error) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    paintStullChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), data);
  }
  if (image.isNull() || !image.save(path, "PNG")) {
    if (error) *error = QStringLiteral("不能写入 PNG 文件 %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  return true;
}

bool writeStullSvg(const QString& path, const StullChartData& data, QSize size, QString* error) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(data.title.isEmpty() ? QStringLiteral("Stull 图") : data.title);
  QPainter painter;
  if (!painter.begin(&svg)) {
    if (error) *error = QStringLiteral("不能写入 SVG 文件 %1").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
  paintStullChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), data);
  if (!painter.end() || QFileInfo(path).size() == 0) {
    if (error) *error = QStringLiteral("写入 SVG 文件 %1 失败").arg(QFileInfo(path).absoluteFilePath());
    return false;
  }
  return true;
}

QString stullTitle(const QString& targetName) { return targetName.trimmed() + QStringLiteral("_Stull 图"); }

bool holdsGlazeFormulas(const PropertyReportContent& property) {
  const QString suffix = QStringLiteral("釉式");
  return std::any_of(property.rows.begin(), property.rows.end(), [&suffix](const PropertyRow& row) {
    return row.cells[0].trimmed().endsWith(suffix) || row.cells[7].trimmed().endsWith(suffix);
  });
}

void paintStullPage(QPainter& painter, QPrinter& printer, const StullChartData& data) {
  const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
  const double mm = printer.resolution() / 25.4;
  // The title as the formula report prints its own.
  Canvas c(painter, printer, QColor(0, 0, 128));
  reportTitle(c, data.title);
  StullChartData chart = data;
  chart.title.clear();
  paintStullChart(painter, page.adjusted(0, 12 * mm, 0, 0), chart);
}

std::optional<StullChartData> readStullChart(const QString& baseFolder, const QString& title, QString* error) {
  const std::optional<app::FitInputs> inputs = app::readFitInputs(baseFolder, error);
  if (!inputs) return std::nullopt;
  return StullChartData{title, app::stullPoints(*inputs)};
}

}  // namespace tessaro::report
