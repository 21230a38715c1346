// tessaro-cli calc, verify, kna and pack on a fresh copy of the bundled data.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "bundled_data.h"
#include "cli/cli_runner.h"
#include "store/folderlock.h"
#include "store/table.h"

namespace {

class MainScreenCliTest : public BundledDataCliTest {};

// The figures of the calculation are the main screen's (tests/app): here the
// command runs and prints the result records it wrote.
TEST_F(MainScreenCliTest, CalcOnTheBundledDataPrintsTheResultRecords) {
  const CliRun r = run({"calc"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("verdict: passed"));
  const auto recs = records(r.out);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0]["BH"].toString(), "1＃配比");
  EXPECT_EQ(recs[1]["BH"].toString(), "2＃配比");
  // The tables hold them too.
  const CliRun dump = run({"dump", "result"});
  EXPECT_EQ(records(dump.out).size(), 2u);
}

TEST_F(MainScreenCliTest, CalcWithAStrictRateEndsWithTheFailedVerdict) {
  const CliRun r = run({"calc", "--allowed", "-1", "--details"});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.err.contains("号配方的计算结果"));  // --details
  EXPECT_TRUE(r.err.contains("[用户信息] 对不起：\n配方计算结果与目标配方化学组成最小平均误差率 ="));
  EXPECT_TRUE(r.err.contains("verdict: failed"));
}

TEST_F(MainScreenCliTest, CalcRefusesBadOptions) {
  EXPECT_EQ(run({"calc", "--precision", "3"}).status, 2);
  const CliRun r = run({"calc", "--allowed", "abc"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("“允许误差%”中的“abc”不是数字"));
  EXPECT_TRUE(records(run({"dump", "result"}).out).empty());
}

TEST_F(MainScreenCliTest, VerifyTakesTheFormulaNumberAsItsAnswer) {
  ASSERT_EQ(run({"calc"}).status, 0);
  const CliRun r = run({"verify", "--formula", "2"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const auto recs = records(r.out);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0]["BH"].toString(), "2＃配比");

  const CliRun bad = run({"verify", "--formula", " 1"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.contains("所选择配方号码只能是“1、2”，\n\n请重新输入配方号！   "));
}

TEST_F(MainScreenCliTest, KnaTogglesAndPackEnds) {
  CliRun r = run({"kna"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "merged\n");
  r = run({"kna"});
  EXPECT_EQ(r.out, "split\n");
  r = run({"pack"});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("[信息] 退出程序后，整理数据库成功!"));
}

TEST_F(MainScreenCliTest, PackFailsAtATargetLibraryLockedByAnotherProcess) {
  tessaro::store::Table locker;
  ASSERT_TRUE(locker.open(dir_.path(), QStringLiteral("数据库/pfk.dbf"), tessaro::store::Table::Mode::Exclusive));
  const CliRun r = run({"pack"});
  EXPECT_EQ(r.status, 1);
  const qsizetype open = r.err.indexOf("[Tessaro] 打开数据库失败\n");
  const qsizetype failed = r.err.indexOf("[信息] 整理数据库失败!\n");
  EXPECT_GE(open, 0) << r.err.toStdString();
  EXPECT_GT(failed, open);
}

}  // namespace

namespace {

// Scenario of two programs on one folder: while another program holds the
// data folder, the commands that change it refuse before touching anything,
// and reading still works.
TEST_F(MainScreenCliTest, CommandsThatChangeTheDataWaitForTheFolder) {
  const QString folder = dir_.path() + QStringLiteral("/数据库");
  const QByteArray formula = [&] {
    QFile f(folder + QStringLiteral("/配方.DBF"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  ASSERT_FALSE(formula.isEmpty());
  tessaro::store::FolderLock held;  // this test program is the other program
  ASSERT_TRUE(held.acquire(folder)) << held.errorString().toStdString();
  for (const char* command : {"kna", "calc", "pack"}) {
    const CliRun r = run({command});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("[错误] 数据文件夹 "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("正在被另一个程序使用"))) << r.err.toStdString();
  }
  QFile f(folder + QStringLiteral("/配方.DBF"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), formula);
  const CliRun dump = run({"dump", "formula"});
  EXPECT_EQ(dump.status, 0) << dump.err.toStdString();
  EXPECT_EQ(records(dump.out).size(), 8u);
  held.release();
  EXPECT_EQ(run({"kna"}).status, 0);
}

}  // namespace
