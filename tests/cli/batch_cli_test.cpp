// tessaro-cli batch on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "cli/cli_runner.h"

namespace {

class BatchCliTest : public BundledDataCliTest {};

TEST_F(BatchCliTest, PrintsTheSheetAsJsonAndWritesTheCsvAndThePdf) {
  ASSERT_EQ(run({"calc"}).status, 0);
  const QString csv = dir_.filePath(QStringLiteral("配料单.csv"));
  const QString pdf = dir_.filePath(QStringLiteral("配料单.pdf"));
  const CliRun r = run({"batch", "--weight", "250", "--water", "40", "--csv", csv, "--pdf", pdf});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const auto records = this->records(r.out);
  ASSERT_EQ(records.size(), 1u) << r.out.toStdString();
  const QJsonObject& sheet = records[0];
  EXPECT_EQ(sheet.keys(), (QStringList{"formulas", "water", "weight"}));
  EXPECT_EQ(sheet["weight"].toDouble(), 250);
  EXPECT_EQ(sheet["water"].toDouble(), 40);
  const QJsonArray formulas = sheet["formulas"].toArray();
  ASSERT_EQ(formulas.size(), 2);
  const QJsonObject first = formulas[0].toObject();
  EXPECT_EQ(first["BH"].toString(), QStringLiteral("1＃配比"));
  EXPECT_EQ(first.keys(), (QStringList{"BH", "cost", "dry_kg", "materials", "water_kg"}));
  const QJsonArray materials = first["materials"].toArray();
  ASSERT_FALSE(materials.isEmpty());
  double dry = 0;
  for (const auto& m : materials) {
    const QJsonObject o = m.toObject();
    EXPECT_EQ(o.keys(), (QStringList{"NAME", "NUM", "cost", "kg"}));
    EXPECT_DOUBLE_EQ(o["kg"].toDouble(), o["NUM"].toDouble() * 250 / 100);
    dry += o["kg"].toDouble();
  }
  EXPECT_DOUBLE_EQ(first["dry_kg"].toDouble(), dry);
  EXPECT_DOUBLE_EQ(first["water_kg"].toDouble(), dry * 40 / 60);

  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF配方,原料名称"));
  EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

TEST_F(BatchCliTest, BadInputIsRefusedWithItsMessage) {
  const CliRun r = run({"batch", "--weight", "100", "--water", "100"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains(QStringLiteral("含水率必须小于 100%"))) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
}

}  // namespace
