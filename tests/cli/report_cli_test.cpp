// tessaro-cli report --pdf on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "bundled_data.h"
#include "cli/cli_runner.h"
#include "store/table.h"

namespace {

class ReportCliTest : public BundledDataCliTest {
 protected:
  QString pdf() const { return dir_.filePath(QStringLiteral("结果.pdf")); }
};

TEST_F(ReportCliTest, WritesTheFormulaReportAndThePropertyReportWhenItHasRows) {
  ASSERT_EQ(run({"calc"}).status, 0);
  CliRun r = run({"report", "--pdf", pdf()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("formula report 1 page(s), property report 0 page(s)")) << r.out.toStdString();
  EXPECT_GT(QFileInfo(pdf()).size(), 1000);

  {
    tessaro::store::Table property;
    ASSERT_TRUE(property.open(dir_.path(), QStringLiteral("数据库/性能.dbf")));
    ASSERT_TRUE(property.append());
    ASSERT_TRUE(property.setText("NAME0", "1＃配比"));
    ASSERT_TRUE(property.post());
  }
  r = run({"report", "--pdf", pdf()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("formula report 1 page(s), property report 1 page(s)")) << r.out.toStdString();
}

TEST_F(ReportCliTest, BadArgumentsAndFailuresAreToldAndNotReportedAsSuccess) {
  EXPECT_EQ(run({"report"}).status, 2);
  EXPECT_EQ(run({"report", "--pdf"}).status, 2);
  EXPECT_EQ(run({"report", "--pdf", pdf(), "extra"}).status, 2);

  const QString unwritable = dir_.filePath(QStringLiteral("没有/结果.pdf"));
  CliRun r = run({"report", "--pdf", unwritable});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains(unwritable)) << r.err.toStdString();

  ASSERT_TRUE(QFile::remove(dir_.filePath(QStringLiteral("数据库/目标配方.DBF"))));
  r = run({"report", "--pdf", pdf()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("目标配方.DBF"))) << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(pdf()));
}

TEST_F(ReportCliTest, WritesTheWorkbookBesideThePdfAndRefusesBadOptions) {
  ASSERT_EQ(run({"calc"}).status, 0);
  const QString xlsx = dir_.filePath(QStringLiteral("结果.xlsx"));
  CliRun r = run({"report", "--xlsx", xlsx, "--weight", "25", "--water", "35", "--pdf", pdf()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("batch sheet 2 formula(s)")) << r.out.toStdString();
  EXPECT_GT(QFileInfo(xlsx).size(), 1000);
  EXPECT_TRUE(QFileInfo::exists(pdf()));

  EXPECT_EQ(run({"report", "--xlsx"}).status, 2);
  EXPECT_EQ(run({"report", "--pdf", pdf(), "--weight", "25"}).status, 2);  // a weight without a workbook
  r = run({"report", "--xlsx", xlsx, "--weight", "0"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains(QStringLiteral("批料重量"))) << r.err.toStdString();
  const QString unwritable = dir_.filePath(QStringLiteral("没有/结果.xlsx"));
  r = run({"report", "--xlsx", unwritable});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains(unwritable)) << r.err.toStdString();
}

}  // namespace
