// How a report's text is fitted into its cell, measured for the printer
// the reports are drawn on.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QPrinter>

#include "report/reportpainter.h"
#include "report/textfit.h"

namespace tessaro::test {
namespace {

using report::TextFit;

class TextFitTest : public ::testing::Test {
 protected:
  QPrinter printer{QPrinter::HighResolution};
  QFont font;

  void SetUp() override {
    printer.setOutputFormat(QPrinter::PdfFormat);
    font.setFamilies(report::reportFontFamilies());
    font.setPointSizeF(9);
  }

  double advance(const QString& text, double points) {
    QFont f = font;
    f.setPointSizeF(points);
    return QFontMetricsF(f, &printer).horizontalAdvance(text);
  }

  // Nothing is cut: the lines together are the text, each within `width` at
  // the size the fit chose.
  testing::AssertionResult whole(const TextFit& fit, const QString& text, double width) {
    if (fit.lines.join(QString()) != text)
      return testing::AssertionFailure() << "lines " << fit.lines.join('|').toStdString();
    for (const QString& line : fit.lines) {
      if (advance(line, fit.points) > width)
        return testing::AssertionFailure() << "too wide at " << fit.points << " pt: " << line.toStdString();
    }
    return testing::AssertionSuccess();
  }
};

TEST_F(TextFitTest, ShrinksToSevenPointsThenBreaksAndNeverCuts) {
  const QString name = QStringLiteral("稀土氧化物(镧铈)");
  // A cell a little narrower than the name at 9 pt, two lines of 7 pt high.
  const double width = advance(name, 9) * 0.85;
  const double height = 2 * 7.0 * printer.resolution() / 72.0 + 1;

  const TextFit fits = report::fitText(QStringLiteral("ZrO2"), font, width, height, &printer);
  EXPECT_EQ(fits.points, 9.0);
  EXPECT_EQ(fits.lines, QStringList{"ZrO2"});

  const TextFit smaller = report::fitText(name, font, width, height, &printer);
  EXPECT_LT(smaller.points, 9.0);
  EXPECT_GE(smaller.points, report::kSmallestPoints);
  EXPECT_EQ(smaller.lines.size(), 1);
  EXPECT_TRUE(whole(smaller, name, width));

  const QString longer = name + QStringLiteral("和氧化锆");
  const TextFit two = report::fitText(longer, font, width, height, &printer);
  EXPECT_GE(two.points, report::kSmallestPoints);
  EXPECT_EQ(two.lines.size(), 2);
  EXPECT_LE(two.height(), height);
  EXPECT_TRUE(whole(two, longer, width));

  // More than two lines hold: the text keeps 7 pt and takes the height it needs.
  const QString longest = longer.repeated(3);
  const TextFit many = report::fitText(longest, font, width, height, &printer);
  EXPECT_EQ(many.points, report::kSmallestPoints);
  EXPECT_GT(many.lines.size(), 2);
  EXPECT_GT(many.height(), height);
  EXPECT_TRUE(whole(many, longest, width));
}

}  // namespace
}  // namespace tessaro::test
