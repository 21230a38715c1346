// tessaro-cli expansion on a fresh copy of the bundled data: the JSON it
// prints and how it refuses what it cannot use. The arithmetic is tested in
// tests/core.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>

#include "cli/cli_runner.h"

namespace {

class ExpansionCliTest : public BundledDataCliTest {
 protected:
  QJsonObject json(const CliRun& r) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    return doc.object();
  }
};

TEST_F(ExpansionCliTest, OneObjectWithEveryFormulaItsFactorsAndFit) {
  ASSERT_EQ(run({"calc"}).status, 0);
  CliRun r = run({"expansion", "--body", "60"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  QJsonObject o = json(r);
  EXPECT_EQ(o["set"].toString(), "Appen");
  QJsonArray formulas = o["formulas"].toArray();
  ASSERT_EQ(formulas.size(), 2);
  QJsonObject f = formulas[0].toObject();
  EXPECT_EQ(f["BH"].toString(), "1＃配比");
  ASSERT_TRUE(f["alpha"].isDouble());
  const QJsonObject contributions = f["contributions"].toObject();
  double sum = 0;
  for (const QString& oxide : contributions.keys()) sum += contributions[oxide].toDouble();
  EXPECT_NEAR(sum, f["alpha"].toDouble(), 1e-9);
  EXPECT_TRUE(contributions.contains("SiO2"));
  EXPECT_TRUE(f["missing"].toArray().isEmpty());
  EXPECT_TRUE(f["fit"].toString().startsWith("釉比坯")) << f["fit"].toString().toStdString();

  // The bundled glaze holds Fe2O3 and TiO2, which Winkelmann & Schott lack.
  r = run({"expansion", "--set", "winkelmann-schott", "--body", "60"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  o = json(r);
  EXPECT_EQ(o["set"].toString(), "Winkelmann-Schott");
  f = o["formulas"].toArray()[0].toObject();
  EXPECT_TRUE(f["alpha"].isNull());
  EXPECT_EQ(f["missing"].toArray(), (QJsonArray{"Fe2O3", "TiO2"}));
  EXPECT_TRUE(f["fit"].isNull());
}

TEST_F(ExpansionCliTest, BadInputAndDamagedSetsAreRefusedByName) {
  CliRun r = run({"expansion", "--body", "6O"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains("“6O”")) << r.err.toStdString();
  r = run({"expansion", "--set", "Turner"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains("Turner") && r.err.contains("Appen、Winkelmann-Schott")) << r.err.toStdString();

  QFile file(dir_.path() + "/数据库/膨胀系数_Appen.ini");
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(QStringEncoder("GBK").encode(QStringLiteral("\r\nCuO=130 | above R2O 3 slope\r\n")));
  file.close();
  r = run({"expansion"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(r.err.contains("数据库/膨胀系数_Appen.ini 第")) << r.err.toStdString();
}

}  // namespace
