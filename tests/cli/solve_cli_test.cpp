// tessaro-cli solve, run as a script would run it.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <string_view>

#include "cli/cli_runner.h"
#include "core/composition.h"

namespace {

QJsonObject record(const QString& name, std::initializer_list<std::pair<const char*, double>> values) {
  QJsonObject o;
  if (!name.isNull()) o[QStringLiteral("NAME")] = name;
  for (std::string_view f : tessaro::core::kOxideFields) o[QLatin1String(f.data(), qsizetype(f.size()))] = 0;
  if (!name.isNull()) {
    o[QStringLiteral("IL")] = 0;
    o[QStringLiteral("HJ")] = 100;
    o[QStringLiteral("DJ")] = 0;
  }
  for (const char* f : {"BXL1", "BXL2", "BXL3"}) o[QLatin1String(f)] = QString();
  for (const auto& [field, value] : values) o[QLatin1String(field)] = value;
  return o;
}

// Quartz, kaolin with 10 % loss on ignition, corundum; target SiO2 60, Al2O3 20.
QJsonObject threeMaterials() {
  QJsonArray materials = {record(QStringLiteral("石英"), {{"SIO2", 100}, {"DJ", 1}}),
                          record(QStringLiteral("高岭土"), {{"SIO2", 50}, {"AL2O3", 50}, {"DJ", 0.5}, {"IL", 10}}),
                          record(QStringLiteral("刚玉"), {{"AL2O3", 100}, {"DJ", 3}})};
  QJsonObject in;
  in[QStringLiteral("precision")] = 2;
  in[QStringLiteral("materials")] = materials;
  in[QStringLiteral("target")] = record(QString(), {{"SIO2", 60}, {"AL2O3", 20}});
  return in;
}

QByteArray json(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

QJsonObject withMaterial(QJsonObject in, int i, const QString& field, const QJsonValue& value) {
  QJsonArray materials = in[QStringLiteral("materials")].toArray();
  QJsonObject m = materials[i].toObject();
  if (value.isUndefined()) {
    m.remove(field);
  } else {
    m[field] = value;
  }
  materials[i] = m;
  in[QStringLiteral("materials")] = materials;
  return in;
}

QJsonObject withTarget(QJsonObject in, const QString& field, const QJsonValue& value) {
  QJsonObject t = in[QStringLiteral("target")].toObject();
  t[field] = value;
  in[QStringLiteral("target")] = t;
  return in;
}

}  // namespace

TEST(SolveCli, BothFormulasWithTheirEvaluation) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("in.json"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(json(threeMaterials()));
  f.close();

  const CliRun run = runCli({QStringLiteral("solve"), file});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.isEmpty());
  // Stored values print as the decimals they hold.
  EXPECT_TRUE(run.out.contains(QStringLiteral("\"NUM\": [47.37, 52.63, 0]"))) << run.out.toStdString();
  EXPECT_TRUE(run.out.endsWith(QLatin1Char('\n')));

  // What each formula holds is the app's (tests/app/headlesssolve_test.cpp):
  // here every field of the output is there, with its JSON type.
  const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8());
  const QJsonArray formulas = doc.object()[QStringLiteral("formulas")].toArray();
  ASSERT_EQ(formulas.size(), 2);
  for (int i = 0; i < 2; ++i) {
    const QJsonObject f = formulas[i].toObject();
    EXPECT_EQ(f[QStringLiteral("BH")].toString(), QStringLiteral("%1＃配比").arg(i + 1));
    EXPECT_TRUE(f[QStringLiteral("feasible")].isBool());
    EXPECT_EQ(f[QStringLiteral("x")].toArray().size(), 3);
    EXPECT_EQ(f[QStringLiteral("NUM")].toArray().size(), 3);
    EXPECT_TRUE(f[QStringLiteral("DJ")].isDouble());
    EXPECT_EQ(f[QStringLiteral("composition")].toObject().keys().size(), 11);
    EXPECT_TRUE(f[QStringLiteral("HJ")].isDouble());
    EXPECT_TRUE(f[QStringLiteral("average_error")].isDouble());
    EXPECT_TRUE(f[QStringLiteral("BZ")].toString().startsWith(QStringLiteral("平均误差率")));
  }
  EXPECT_EQ(formulas[0].toObject()[QStringLiteral("composition")].toObject()[QStringLiteral("SIO2")].toDouble(), 75);

  // The same from standard input.
  const CliRun piped = runCli({QStringLiteral("solve")}, json(threeMaterials()));
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, run.out);
}

TEST(SolveCli, BadInputNamesTheField) {
  const QJsonObject good = threeMaterials();
  QJsonObject tooMany = good;
  QJsonArray many;
  for (int i = 0; i < 36; ++i) many.append(good[QStringLiteral("materials")].toArray()[0]);
  tooMany[QStringLiteral("materials")] = many;
  QJsonObject noPrecision = good;
  noPrecision.remove(QStringLiteral("precision"));

  const struct {
    QByteArray input;
    QString field;
  } cases[] = {
      {json(withMaterial(good, 1, QStringLiteral("DJ"), QJsonValue::Undefined)), "materials[1].DJ: missing"},
      {json(withMaterial(good, 0, QStringLiteral("SIO2"), QStringLiteral("abc"))),
       "materials[0].SIO2: a number is needed, found the text \"abc\""},
      {json(withMaterial(good, 2, QStringLiteral("HJ"), 0)), "materials[2].HJ: "},
      {json(withMaterial(good, 0, QStringLiteral("BXL2"), 1)), "materials[0].BXL2: a text is needed"},
      {json(withTarget(good, QStringLiteral("BXL1"), QStringLiteral("二十"))), "target.BXL1: "},
      {json(withTarget(good, QStringLiteral("CAO"), -2)), "target.CAO: "},
      {json(withMaterial(good, 0, QStringLiteral("DJ"), 1e308)), "materials[0].DJ: 原料“石英”"},
      {json(tooMany), "materials: 36 raw materials given, at most 35"},
      {json(noPrecision), "precision: missing"},
      {json(withTarget(good, QStringLiteral("SIO2"), QJsonValue::Null)), "target.SIO2: a number is needed, found null"},
      {"{\"precision\": 2, \"materials\": [", "not valid JSON"},
      {"[]", "input: a JSON object is needed"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli({QStringLiteral("solve")}, c.input);
    EXPECT_EQ(run.status, 2) << c.field.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(c.field)) << run.err.toStdString();
  }

  // HJ equal to IL names the material itself.
  const CliRun hj = runCli({QStringLiteral("solve")},
                        json(withMaterial(withMaterial(good, 1, QStringLiteral("IL"), 100), 1, QStringLiteral("HJ"), 100)));
  EXPECT_EQ(hj.status, 2);
  EXPECT_TRUE(hj.err.contains(QStringLiteral("materials[1].HJ: 原料“高岭土”"))) << hj.err.toStdString();

  const CliRun missing = runCli({QStringLiteral("solve"), QStringLiteral("/nonexistent/in.json")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(missing.err.contains(QStringLiteral("/nonexistent/in.json")));
}
