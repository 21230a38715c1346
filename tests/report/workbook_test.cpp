// The Excel workbook: the number format of a printed figure, and the file
// written or refused with its name and the reason. What the sheets hold is
// read back by openpyxl (tests/cli/workbook_check.py).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "report/sheetwriter.h"
#include "report/workbook.h"
#include "workbook_file.h"

namespace tessaro::test {
namespace {

using report::printedNumber;

TEST(WorkbookTest, AFigureKeepsTheDecimalsItIsPrintedWith) {
  const auto format = [](const char* text) { return printedNumber(QString::fromUtf8(text))->format; };
  EXPECT_EQ(format("29.48"), "0.00");
  EXPECT_EQ(format("1600"), "0");
  EXPECT_EQ(format(" 0.5 "), "0.0");
  EXPECT_EQ(format("-1.125"), "0.000");
  EXPECT_EQ(format("1.5E-20"), "0.0E+00");
  EXPECT_DOUBLE_EQ(printedNumber(QStringLiteral("1.5E-20"))->value, 1.5e-20);
  // A cell printed as the file holds it stays a text.
  EXPECT_FALSE(printedNumber(QStringLiteral("12,5")));
  EXPECT_FALSE(printedNumber(QString()));
  EXPECT_DOUBLE_EQ(report::textWidth(QStringLiteral("1＃配比")), 7);
}

TEST(WorkbookTest, IsWrittenOrRefusedWithTheFileAndTheReason) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  report::WorkbookContent content;
  content.formula.title = QStringLiteral("透明釉_计算结果");
  report::FormulaRow row;
  row.name = QStringLiteral("长石");
  row.num1 = QStringLiteral("29.48");
  content.formula.rows.push_back(row);
  content.batchMissing = QStringLiteral("表3中没有计算结果。");
  const QString path = dir.filePath(QStringLiteral("结果.xlsx"));
  QString error;
  ASSERT_TRUE(report::writeWorkbook(path, content, &error)) << error.toStdString();
  EXPECT_TRUE(isThreeSheetWorkbook(path));
  ASSERT_TRUE(report::writeWorkbook(path, content, &error)) << error.toStdString();  // replaced
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("结果.xlsx")});

  const QString missing = dir.filePath(QStringLiteral("没有"));
  EXPECT_FALSE(report::writeWorkbook(missing + QStringLiteral("/结果.xlsx"), content, &error));
  EXPECT_EQ(error, QStringLiteral("不能写入 Excel 文件 %1/结果.xlsx：文件夹 %1 不存在。").arg(missing));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("目录.xlsx")));
  EXPECT_FALSE(report::writeWorkbook(dir.filePath(QStringLiteral("目录.xlsx")), content, &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral("：已有同名的文件夹。"))) << error.toStdString();
}

}  // namespace
}  // namespace tessaro::test
