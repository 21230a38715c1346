// The Stull chart painted at different sizes, and its page in the PDF report.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "pdf_text.h"
#include "report/reportpainter.h"
#include "report/stullchart.h"

namespace tessaro::test {
namespace {

app::StullPoint point(const QString& label, double silica, double alumina) {
  app::StullPoint p;
  p.label = label;
  p.silica = silica;
  p.alumina = alumina;
  p.region = QStringLiteral("光亮(bright gloss)");
  return p;
}

report::StullChartData chart() {
  report::StullChartData data;
  data.title = report::stullTitle(QStringLiteral("透明釉 "));
  data.points.formulas.push_back(point(QStringLiteral("1＃配比"), 3.3, 0.33));
  // Beyond the axes as Stull drew them: the axes widen.
  data.points.formulas.push_back(point(QStringLiteral("2＃配比"), 9.4, 1.3));
  app::StullPoint none;
  none.label = QStringLiteral("透明釉");
  none.reason = QStringLiteral("透明釉的 RO 之和为 0");
  data.points.target = none;
  return data;
}

// How many pixels are not white.
int inked(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  }
  return n;
}

TEST(StullChart, PaintsIntoSmallAndLargeImages) {
  for (const QSize size : {QSize(320, 200), QSize(1600, 1000)}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      report::paintStullChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), chart());
    }
    EXPECT_GT(inked(image), size.width() * size.height() / 3) << size.width();
  }
}

TEST(StullChart, PdfReportGainsTheStullPageOnlyForGlazeFormulas) {
  if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
  report::PropertyReportContent property;
  property.rows.resize(2);
  property.rows[0].cells[0] = QStringLiteral("1＃配比坯式");
  EXPECT_FALSE(report::holdsGlazeFormulas(property));
  // The first formula left out: the second's title stands on its side.
  property.rows[0].cells[0].clear();
  property.rows[0].cells[7] = QStringLiteral("2＃配比釉式");
  EXPECT_TRUE(report::holdsGlazeFormulas(property));

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
  const report::FormulaReportContent formula;
  const report::StullChartData stull = chart();
  QString error;
  ASSERT_TRUE(report::writeReportsPdf(pdf, formula, &property, &error, nullptr, &stull)) << error.toStdString();
  ASSERT_EQ(pdfPages(pdf), 3);
  const QString page = pdfText(pdf, 3, 3);
  EXPECT_TRUE(page.contains(QStringLiteral("透明釉_Stull 图"))) << page.toStdString();
  EXPECT_TRUE(page.contains(QStringLiteral("1＃配比"))) << page.toStdString();

  ASSERT_TRUE(report::writeReportsPdf(pdf, formula, &property, &error, nullptr, nullptr)) << error.toStdString();
  EXPECT_EQ(pdfPages(pdf), 2);
}

}  // namespace
}  // namespace tessaro::test
