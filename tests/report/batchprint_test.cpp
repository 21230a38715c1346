// The printed batch sheet written to PDF and read back.
#include "report/batchprint.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "pdf_text.h"

namespace tessaro::test {
namespace {

class BatchPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!havePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    ASSERT_TRUE(tmp.isValid());
  }

  // A sheet of two formulas; formula 1 with `materials` raw materials.
  static report::BatchSheetContent content(int materials) {
    app::FitInputs in;
    in.formulas = {{"1＃配比", {}}, {"2＃配比", {}}};
    in.target = core::ResultFormula{"透明釉", {}};
    for (int i = 1; i <= materials; ++i) {
      in.materials.push_back({QStringLiteral("原料%1").arg(i, 2, 10, QLatin1Char('0')), 100.0 / materials, 0, 1234.5});
    }
    // A name longer than its cell and the largest weight accepted.
    in.materials.push_back({QStringLiteral("景德镇三宝蓬高岭土（一级水洗，325 目）"), 0, 100, 98765.43});
    const auto sheet = app::makeBatchSheet(in, {app::kMaxBatchKg, 35}, nullptr);
    EXPECT_TRUE(sheet);
    return {sheet.value_or(app::BatchSheet{}), QStringLiteral("2024年03月05日")};
  }

  QTemporaryDir tmp;
};

TEST_F(BatchPrintTest, PrintsTheHeadTheFiguresAndTheTotalsOfEachFormula) {
  const QString pdf = tmp.filePath(QStringLiteral("配料单.pdf"));
  QString error;
  ASSERT_TRUE(report::writeBatchPdf(pdf, content(4), &error)) << error.toStdString();
  EXPECT_EQ(pdfPages(pdf), 1);
  const QString text = pdfText(pdf);
  for (const char* expected :
       {"配料单", "目标配方：透明釉", "日期：2024年03月05日", "批料重量（干料）：100000.000 kg",
        "含水率：35.00 %（占浆料总重）", "原料名称 配比(%) 重量(kg) 单价(元/吨) 金额(元)",
        "原料01 25.00 25000.000 1234.50 30862.50", "干料合计 100.00 100000.000", "加水 53846.154",
        "浆料合计 153846.154", "成本 123450.00", "2＃配比", "100.00 100000.000 98765.43 9876543.00"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
  }
  // The long name is printed whole, on as many lines as it needs.
  QString joined = text;
  joined.remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
  EXPECT_TRUE(joined.contains(QStringLiteral("景德镇三宝蓬高岭土（一级水洗，325目）"))) << text.toStdString();
}

TEST_F(BatchPrintTest, ALongTableContinuesUnderItsHeaderOnTheNextPage) {
  const QString pdf = tmp.filePath(QStringLiteral("配料单.pdf"));
  QString error;
  ASSERT_TRUE(report::writeBatchPdf(pdf, content(40), &error)) << error.toStdString();
  ASSERT_EQ(pdfPages(pdf), 2);
  const QString second = pdfText(pdf, 2, 2);
  EXPECT_TRUE(second.contains(QStringLiteral("1＃配比（续）\n原料名称 配比(%)"))) << second.toStdString();
  EXPECT_TRUE(second.contains(QStringLiteral("第 2 页"))) << second.toStdString();

  const QString unwritable = tmp.filePath(QStringLiteral("没有/配料单.pdf"));
  EXPECT_FALSE(report::writeBatchPdf(unwritable, content(1), &error));
  EXPECT_TRUE(error.contains(unwritable)) << error.toStdString();
}

}  // namespace
}  // namespace tessaro::test
