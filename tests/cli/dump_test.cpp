#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <QRegularExpression>

#include "cli/cli_runner.h"
#include "store/fixtures.h"
#include "store/schemas.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;

namespace {

class DumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("数据库")));
    file_ = dir_.path() + QStringLiteral("/数据库/结果.DBF");
    ASSERT_TRUE(Table::create(file_, store::schema::result()));
    Table t;
    ASSERT_TRUE(t.open(file_));
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("NAME", QStringLiteral("a\"b\\c")));
    ASSERT_TRUE(t.setText("SIO2", QStringLiteral("   68.40")));
    ASSERT_TRUE(t.setDate("DATE", core::Date{2024, 3, 5}));
    ASSERT_TRUE(t.setText("BH", QStringLiteral("2＃配比")));
    ASSERT_TRUE(t.post());
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("BH", QStringLiteral("gone")));
    ASSERT_TRUE(t.post());
    ASSERT_TRUE(t.deleteRecord());
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setNumber("SIO2", -0.5));
    ASSERT_TRUE(t.setText("BH", QStringLiteral("1＃配比(误差大)")));
    ASSERT_TRUE(t.post());
  }
  QTemporaryDir dir_;
  QString file_;
};

// The two live records as dump prints them: text escaped, numbers as they
// read, dates in ISO form, empty numbers and dates null; the fields in file
// order (the middle of each line is checked by its keys).
const QString kFirstStart = QStringLiteral("{\"NAME\": \"a\\\"b\\\\c\", \"SIO2\": 68.4, \"AL2O3\": null, ");
const QString kFirstEnd = QStringLiteral("\"DATE\": \"2024-03-05\", \"BZ\": \"\", \"BH\": \"2＃配比\"}");
const QString kSecondStart = QStringLiteral("{\"NAME\": \"\", \"SIO2\": -0.5, ");
const QString kSecondEnd = QStringLiteral("\"DATE\": null, \"BZ\": \"\", \"BH\": \"1＃配比(误差大)\"}");

// The keys of one printed line, in order.
QStringList keys(const QString& line) {
  QStringList out;
  for (const auto& m : QRegularExpression(QStringLiteral("\"(\\w+)\": ")).globalMatch(line)) out << m.captured(1);
  return out;
}

QStringList resultFields() {
  QStringList out;
  for (const auto& f : store::schema::result()) out << f.name;
  return out;
}

void expectPrintedRecords(const QString& out) {
  const QStringList lines = out.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3) << out.toStdString();  // two records and the final line break
  EXPECT_TRUE(lines[0].startsWith(kFirstStart)) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(kFirstEnd)) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith(kSecondStart)) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].endsWith(kSecondEnd)) << lines[1].toStdString();
  EXPECT_EQ(keys(lines[0]), resultFields());
  EXPECT_EQ(keys(lines[1]), resultFields());
  EXPECT_TRUE(lines[2].isEmpty());
}

}  // namespace

TEST_F(DumpTest, PrintsLiveRecordsInFileOrderAsJsonLines) {
  CliRun r = runCli({QStringLiteral("dump"), QStringLiteral("result"), QStringLiteral("--dir"), dir_.path()});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  ASSERT_NO_FATAL_FAILURE(expectPrintedRecords(r.out));
  EXPECT_TRUE(r.err.isEmpty());
  // The file name, whatever its case.
  r = runCli({QStringLiteral("--dir"), dir_.path(), QStringLiteral("dump"), QStringLiteral("结果.dbf")});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  ASSERT_NO_FATAL_FAILURE(expectPrintedRecords(r.out));
}

TEST_F(DumpTest, MissingTableIsNamedAndFails) {
  const CliRun r = runCli({QStringLiteral("dump"), QStringLiteral("formula"), QStringLiteral("--dir"), dir_.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_EQ(r.err, QStringLiteral("tessaro-cli: 找不到表文件 数据库/配方.DBF\n"));
}

TEST_F(DumpTest, DamagedTablePrintsWhatItCanAndFails) {
  QByteArray b = test::readFile(file_);
  const qsizetype at = b.indexOf("    68.400");
  ASSERT_GE(at, 0);
  b.replace(at, 10, "**********");
  b.chop(1);  // no end-of-file mark
  ASSERT_TRUE(test::writeFile(file_, b));
  const CliRun r = runCli({QStringLiteral("dump"), QStringLiteral("result"), QStringLiteral("--dir"), dir_.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.startsWith(QStringLiteral("{\"NAME\": \"a\\\"b\\\\c\", \"SIO2\": null,"))) << r.out.toStdString();
  EXPECT_EQ(r.out.count(QLatin1Char('\n')), 2);
  EXPECT_TRUE(r.err.contains(QStringLiteral("表文件 数据库/结果.DBF 已损坏：文件末尾缺少结束标记；1 个数值字段里不是数字")))
      << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(QStringLiteral("字段 SIO2 的内容“**********”不是数字")));
}

TEST_F(DumpTest, NeedsExactlyOneTable) {
  const CliRun r = runCli({QStringLiteral("dump"), QStringLiteral("--dir"), dir_.path()});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.contains(QStringLiteral("usage")));
}
