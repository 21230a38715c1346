// tessaro-cli stull on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "cli/cli_runner.h"

namespace {

class StullCliTest : public BundledDataCliTest {};

TEST_F(StullCliTest, PrintsTheChartsPointsAsOneObjectAndWritesTheImages) {
  ASSERT_EQ(run({"calc"}).status, 0);
  const QString png = dir_.filePath(QStringLiteral("stull.png"));
  const QString svg = dir_.filePath(QStringLiteral("stull.svg"));
  const CliRun r = run({"stull", "--png", png, "--svg", svg});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const auto objects = records(r.out);
  ASSERT_EQ(objects.size(), 1u) << r.out.toStdString();
  const QJsonObject root = objects[0];

  const QJsonArray formulas = root.value(QStringLiteral("formulas")).toArray();
  ASSERT_EQ(formulas.size(), 2);
  EXPECT_EQ(formulas[0].toObject().value(QStringLiteral("BH")).toString(), QStringLiteral("1＃配比"));
  for (const QJsonValue& v : formulas) {
    const QJsonObject f = v.toObject();
    EXPECT_GT(f.value(QStringLiteral("SiO2")).toDouble(), 0);
    EXPECT_GT(f.value(QStringLiteral("Al2O3")).toDouble(), 0);
    EXPECT_FALSE(f.value(QStringLiteral("region")).toString().isEmpty());
  }
  const QJsonObject target = root.value(QStringLiteral("target")).toObject();
  EXPECT_FALSE(target.value(QStringLiteral("NAME")).toString().isEmpty());
  EXPECT_TRUE(target.value(QStringLiteral("SiO2")).isDouble());
  EXPECT_TRUE(target.value(QStringLiteral("region")).isString());

  QFile image(png);
  ASSERT_TRUE(image.open(QIODevice::ReadOnly));
  EXPECT_TRUE(image.read(8).startsWith("\x89PNG"));
  QFile drawing(svg);
  ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
  EXPECT_TRUE(drawing.readAll().contains("<svg"));

  EXPECT_EQ(run({"stull", "--png"}).status, 2);
}

}  // namespace
