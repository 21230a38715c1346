// The batch sheet's input checking, the formulas it takes from the result
// table, and its CSV bytes.
#include "app/batchsheet.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <clocale>

namespace tessaro::app {
namespace {

std::string refusal(const QString& weight, const QString& water) {
  QString error;
  EXPECT_FALSE(parseBatchRequest(weight, water, &error));
  return error.toStdString();
}

TEST(BatchRequest, EachRefusalNamesTheField) {
  EXPECT_EQ(refusal("", "0"), "请输入批料重量（千克数，例如 100）。");
  EXPECT_EQ(refusal("1,5", "0"), "批料重量“1,5”不是数字，请输入千克数，例如 100。");
  EXPECT_EQ(refusal("0", "0"), "批料重量必须大于 0 千克。");
  EXPECT_EQ(refusal("-3", "0"), "批料重量必须大于 0 千克。");
  EXPECT_EQ(refusal("100001", "0"), "批料重量不能超过 100000 千克（100 吨）。");
  EXPECT_EQ(refusal("100", " "), "请输入含水率（占浆料总重的百分数，例如 35，不加水时为 0）。");
  EXPECT_EQ(refusal("100", "35%"), "含水率“35%”不是数字，请输入占浆料总重的百分数，例如 35，不加水时为 0。");
  EXPECT_EQ(refusal("100", "-0.5"), "含水率不能小于 0%。");
  EXPECT_EQ(refusal("100", "100"), "含水率必须小于 100%（按浆料总重计）。");

  const auto ok = parseBatchRequest(" 100000 ", "0", nullptr);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->weightKg, 100000);
  EXPECT_EQ(ok->waterPercent, 0);
}

FitInputs inputs(std::vector<std::string> resultLabels) {
  FitInputs in;
  for (auto& label : resultLabels) in.formulas.push_back({std::move(label), {}});
  in.target = core::ResultFormula{"白釉", {}};
  in.materials = {{QStringLiteral("长石"), 40, 0, 800},
                  {QStringLiteral("石英"), 0, 0, 300},
                  {QStringLiteral("高岭土, \"苏州\""), 60, 0, 1200.5}};
  return in;
}

TEST(BatchSheet, TakesTheFormulasTheResultTableHolds) {
  QString error;
  EXPECT_FALSE(makeBatchSheet(inputs({}), {}, &error));
  EXPECT_EQ(error.toStdString(), "表3中没有计算结果，请先进行配方计算或验算组成。");

  const auto second = makeBatchSheet(inputs({"2＃配比"}), {100, 0}, nullptr);
  ASSERT_TRUE(second);
  ASSERT_EQ(second->formulas.size(), 1u);
  EXPECT_EQ(second->formulas[0].label, "2＃配比");
  EXPECT_TRUE(second->formulas[0].lines.empty());  // NUM2 all 0
  EXPECT_EQ(second->target.toStdString(), "白釉");

  const auto both = makeBatchSheet(inputs({"1＃配比", "2＃配比"}), {100, 0}, nullptr);
  ASSERT_TRUE(both);
  ASSERT_EQ(both->formulas.size(), 2u);
  ASSERT_EQ(both->formulas[0].lines.size(), 2u);  // from NUM1, without the quartz
  EXPECT_EQ(both->formulas[0].lines[1].kg, 60);
}

// The bytes do not follow the user's locale: a comma locale keeps the point.
TEST(BatchSheet, CsvBytes) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where the system has it
  const auto sheet = makeBatchSheet(inputs({"1＃配比"}), {250, 20}, nullptr);
  ASSERT_TRUE(sheet);
  const QByteArray csv = batchCsv(*sheet);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(before);

  const QByteArray expected =
      "\xEF\xBB\xBF"
      "配方,原料名称,配比(%),重量(kg),单价(元/吨),金额(元)\r\n"
      "1＃配比,长石,40.00,100.000,800.00,80.00\r\n"
      "1＃配比,\"高岭土, \"\"苏州\"\"\",60.00,150.000,1200.50,180.08\r\n"
      "1＃配比,干料合计,100.00,250.000,,\r\n"
      "1＃配比,水,,62.500,,\r\n"
      "1＃配比,浆料合计,,312.500,,\r\n"
      "1＃配比,合计金额,,,,260.08\r\n";
  EXPECT_EQ(csv.toStdString(), expected.toStdString());
}

TEST(BatchSheet, CsvFileIsWrittenWholeOrTheFailureNamesIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto sheet = makeBatchSheet(inputs({"1＃配比"}), {100, 0}, nullptr);
  ASSERT_TRUE(sheet);
  const QString path = dir.filePath(QStringLiteral("配料单.csv"));
  QString error;
  ASSERT_TRUE(writeBatchCsv(path, *sheet, &error)) << error.toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), batchCsv(*sheet));

  const QString missing = dir.filePath(QStringLiteral("没有/配料单.csv"));
  EXPECT_FALSE(writeBatchCsv(missing, *sheet, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("不能写入 CSV 文件 ") + missing)) << error.toStdString();
}

}  // namespace
}  // namespace tessaro::app
