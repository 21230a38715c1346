// The drawing surface of the reports: cells laid out in millimetres from the
// left margin and from the top of the current band, each text fitted to its
// cell (report/textfit.h), with the rules the cell asks for.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;

namespace tessaro::report {

inline constexpr double kPointSize = 9.0;
inline constexpr double kRuleWidth = 0.12;   // mm
inline constexpr double kPadding = 0.6;      // mm inside a cell, left and right
inline constexpr double kTextMargin = 0.15;  // mm at least above and below a text
inline constexpr double kBaseline = 0.86;    // of the em, from the top of a line

// The rules drawn around a cell.
enum Lines { kNoLines = 0, kLeft = 1, kRight = 2, kTop = 4, kBottom = 8, kBox = 15 };

struct Style {
  Qt::Alignment align = Qt::AlignHCenter;
  bool bold = false;
  bool underline = false;
  double points = kPointSize;
  int lines = kNoLines;
};

Style boldCentred(int lines = kNoLines);
Style centred(int lines);
Style leftAligned(int lines, bool bold = false);
Style rightAligned(int lines, bool bold = false);

// Draws in millimetres from the left margin and from the top of the current
// band. Every text is fitted to its cell; while a row is measured, the cells
// are not drawn but tell how high the row must be.
class Canvas {
 public:
  Canvas(QPainter& painter, QPrinter& printer, const QColor& colour);

  double pageHeight() const { return pageHeight_; }
  double pageWidth() const { return pageWidth_; }
  void setBandTop(double top) { top_ = top; }

  // The height a row designed `height` high needs so that each text of it
  // fits: `cells(h)` draws the row `h` high.
  template <typename Cells>
  double rowHeight(double height, Cells&& cells) {
    measuring_ = true;
    needed_ = height;
    cells(height);
    measuring_ = false;
    return needed_;
  }

  void cell(double left, double top, double width, double height, const QString& text, const Style& style);

 private:
  QRectF rect(double left, double top, double width, double height) const;
  void drawLines(const QRectF& r, int lines);

  QPainter& p_;
  double k_;
  QColor colour_;
  QStringList families_;
  double pageHeight_ = 190.0;
  double pageWidth_ = 277.0;
  double top_ = 0;
  bool measuring_ = false;
  double needed_ = 0;
};

// The title of a report page: 12 pt, bold, underlined, centred across the
// page 2.1 mm from the top, in a band 6.5 mm high.
void reportTitle(Canvas& c, const QString& title);

}  // namespace tessaro::report
