// tessaro-cli export and import on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QFile>

#include "cli/cli_runner.h"

namespace {

class LibraryCsvCliTest : public BundledDataCliTest {};

TEST_F(LibraryCsvCliTest, ExportsAndImportsAddingOrReplacing) {
  const QString csv = dir_.filePath(QStringLiteral("目标库.csv"));
  const QString dump = run({"dump", "pfk.dbf"}).out;
  const CliRun exported = run({"export", "targets", csv});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  ASSERT_TRUE(QFile::exists(csv));

  // Without --replace the records are added: here every number is taken already.
  const CliRun added = run({"import", "targets", csv});
  EXPECT_EQ(added.status, 1);
  EXPECT_TRUE(added.err.contains(QStringLiteral("第 2 行 A 列 编号（BH）：编号 1 不大于目标库现有的最大编号 10\n"))) << added.err.toStdString();
  const CliRun replaced = run({"import", "PFK.DBF", csv, "--replace"});
  ASSERT_EQ(replaced.status, 0) << replaced.err.toStdString();
  EXPECT_TRUE(replaced.err.contains(QStringLiteral("替换了目标库原有的 10 条记录")));
  EXPECT_EQ(run({"dump", "targets"}).out, dump);
}

TEST_F(LibraryCsvCliTest, BadInputNamesWhatIsWrong) {
  const CliRun table = run({"import", "formula", "x.csv"});
  EXPECT_EQ(table.status, 2);
  EXPECT_TRUE(table.err.contains("TABLE must be materials, targets, YLK.DBF or pfk.dbf, not \"formula\""));
  EXPECT_EQ(run({"export", "materials"}).status, 2);
  EXPECT_EQ(run({"import", "materials", "x.csv", "--replcae"}).status, 2);
}

}  // namespace
