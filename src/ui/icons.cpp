#include "icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tessaro::ui {

namespace {

constexpr int kSize = 32;

QColor tileColour(const QString& name) {
  if (name == QLatin1String("TB1") || name == QLatin1String("TB2") || name == QLatin1String("TB3"))
    return QColor(40, 100, 170);  // windows
  if (name == QLatin1String("TB4") || name == QLatin1String("TB5")) return QColor(200, 70, 40);  // calculation
  if (name == QLatin1String("TB8") || name == QLatin1String("TB9")) return QColor(150, 90, 40);  // properties
  if (name.startsWith(QLatin1String("WTB"))) return QColor(70, 130, 90);                      // arrangement
  return QColor(90, 90, 110);                                                                  // the rest
}

void drawPictogram(QPainter& p, const QString& n) {
  const QPen line(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(line);
  p.setBrush(Qt::NoBrush);
  if (n == QLatin1String("TB1")) {  // a window with a table
    p.drawRect(QRectF(7, 8, 18, 16));
    p.drawLine(QPointF(7, 13), QPointF(25, 13));
    p.drawLine(QPointF(14, 13), QPointF(14, 24));
  } else if (n == QLatin1String("TB2")) {  // jars on a shelf
    p.drawRect(QRectF(8, 11, 6, 10));
    p.drawRect(QRectF(18, 9, 6, 12));
    p.drawLine(QPointF(6, 24), QPointF(26, 24));
  } else if (n == QLatin1String("TB3")) {  // a target
    p.drawEllipse(QPointF(16, 16), 9, 9);
    p.drawEllipse(QPointF(16, 16), 4, 4);
  } else if (n == QLatin1String("TB4")) {  // a balance
    p.drawLine(QPointF(16, 7), QPointF(16, 25));
    p.drawLine(QPointF(8, 11), QPointF(24, 11));
    p.drawArc(QRectF(5, 13, 7, 6), 180 * 16, 180 * 16);
    p.drawArc(QRectF(20, 13, 7, 6), 180 * 16, 180 * 16);
    p.drawLine(QPointF(11, 25), QPointF(21, 25));
  } else if (n == QLatin1String("TB5")) {  // a check mark
    p.drawPolyline(QPolygonF({QPointF(8, 17), QPointF(14, 23), QPointF(25, 9)}));
  } else if (n == QLatin1String("TB8")) {  // a body: a brick
    p.drawRect(QRectF(7, 11, 18, 11));
    p.drawLine(QPointF(16, 11), QPointF(16, 22));
  } else if (n == QLatin1String("TB9")) {  // a glaze: a drop
    QPainterPath drop;
    drop.moveTo(16, 7);
    drop.cubicTo(22, 15, 24, 19, 16, 25);
    drop.cubicTo(8, 19, 10, 15, 16, 7);
    p.drawPath(drop);
  } else if (n == QLatin1String("WTB1")) {  // cascaded windows
    p.drawRect(QRectF(7, 7, 12, 10));
    p.drawRect(QRectF(13, 14, 12, 10));
  } else if (n == QLatin1String("WTB2")) {  // windows one above the other
    p.drawRect(QRectF(7, 7, 18, 7));
    p.drawRect(QRectF(7, 18, 18, 7));
  } else if (n == QLatin1String("WTB3")) {  // windows side by side
    p.drawRect(QRectF(7, 7, 7, 18));
    p.drawRect(QRectF(18, 7, 7, 18));
  } else if (n == QLatin1String("TB7")) {  // a printer
    p.drawRect(QRectF(7, 13, 18, 8));
    p.drawRect(QRectF(11, 7, 10, 6));
    p.drawRect(QRectF(11, 19, 10, 6));
  } else if (n == QLatin1String("TB6")) {  // an eraser stroke
    p.drawLine(QPointF(9, 9), QPointF(23, 23));
    p.drawLine(QPointF(23, 9), QPointF(9, 23));
  } else if (n == QLatin1String("ToolButton6")) {  // a calculator
    p.drawRect(QRectF(9, 6, 14, 20));
    p.drawRect(QRectF(12, 9, 8, 4));
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c) p.drawPoint(QPointF(13 + 6 * c, 17 + 5 * r));
  } else if (n == QLatin1String("TBExit")) {  // a door with an arrow
    p.drawPolyline(QPolygonF({QPointF(15, 7), QPointF(8, 7), QPointF(8, 25), QPointF(15, 25)}));
    p.drawLine(QPointF(13, 16), QPointF(25, 16));
    p.drawPolyline(QPolygonF({QPointF(21, 12), QPointF(25, 16), QPointF(21, 20)}));
  }
}

}  // namespace

QIcon toolIcon(const QString& name) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(tileColour(name));
  p.drawRoundedRect(QRectF(1, 1, kSize - 2, kSize - 2), 6, 6);
  drawPictogram(p, name);
  p.end();
  return QIcon(pm);
}

void paintProgramPicture(QPainter& p, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kSize, size / kSize);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(178, 74, 42));
  p.drawRoundedRect(QRectF(1, 1, kSize - 2, kSize - 2), 6, 6);
  // The bowl: a celadon glaze over a bare foot ring.
  QPainterPath bowl;
  bowl.moveTo(5, 12);
  bowl.lineTo(27, 12);
  bowl.cubicTo(27, 20, 22, 24, 16, 24);
  bowl.cubicTo(10, 24, 5, 20, 5, 12);
  p.setBrush(QColor(150, 200, 180));
  p.drawPath(bowl);
  p.setBrush(QColor(236, 226, 205));
  p.drawRect(QRectF(12, 24, 8, 3));
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(7, 12), QPointF(25, 12));
  p.drawArc(QRectF(9, 8, 14, 8), 30 * 16, 120 * 16);  // steam of the kiln
  p.restore();
}

QImage programImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  paintProgramPicture(p, size);
  p.end();
  return image;
}

QIcon programIcon() {
  QIcon icon;
  for (int size : kProgramIconSizes) icon.addPixmap(QPixmap::fromImage(programImage(size)));
  return icon;
}

}  // namespace tessaro::ui
