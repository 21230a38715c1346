// Tables written by this program open in an independent dBASE reader
// (Python's dbfread), and tables written by another tool open here.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "store/fixtures.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;

namespace {

// Runs python3 with `script` and `args`; its standard output, or no value
// when python3 is not there (the caller then skips).
std::optional<QString> runPython(const QString& script, const QStringList& args, bool needDbfread) {
  // Debian's python3-dbfread serves the system interpreter, which another
  // python3 on the PATH may hide.
  QStringList candidates = {QStringLiteral("/usr/bin/python3")};
  const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (!onPath.isEmpty()) candidates << onPath;
  QString python;
  for (const QString& candidate : candidates) {
    QProcess probe;
    probe.start(candidate, {QStringLiteral("-c"), needDbfread ? QStringLiteral("import dbfread") : QStringLiteral("pass")});
    if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0) {
      python = candidate;
      break;
    }
  }
  if (python.isEmpty()) return std::nullopt;
  QProcess p;
  p.start(python, QStringList{QStringLiteral("-c"), script} + args);
  EXPECT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(Interop, DbfreadReadsWhatThisProgramWrites) {
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/结果.DBF");
  ASSERT_TRUE(Table::create(file, store::schema::result()));
  {
    Table t;
    ASSERT_TRUE(t.open(file));
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("BH", QStringLiteral("1＃配比(误差大)")));
    ASSERT_TRUE(t.setText("SIO2", QStringLiteral("   68.46")));
    ASSERT_TRUE(t.setNumber("DJ", -0.0125));  // three decimals
    ASSERT_TRUE(t.setText("BZ", QStringLiteral("平均误差率 1.23%；注：Fe2O3,TiO2未计")));
    ASSERT_TRUE(t.setDate("DATE", core::Date{2024, 3, 5}));
    ASSERT_TRUE(t.post());
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("BH", QStringLiteral("deleted")));
    ASSERT_TRUE(t.post());
    ASSERT_TRUE(t.deleteRecord());
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("BH", QStringLiteral("2＃配比")));
    ASSERT_TRUE(t.post());
  }
  const QString script = QStringLiteral(R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='gbk', char_decode_errors='strict')
for r in t:
    print('|'.join(['%s=%r' % (k, r[k]) for k in ('BH', 'SIO2', 'AL2O3', 'DJ', 'BZ', 'DATE')]))
print('count=%d' % len(t))
)");
  const auto out = runPython(script, {file}, true);
  if (!out) GTEST_SKIP() << "python3 with dbfread is not installed";
  EXPECT_EQ(*out, QStringLiteral("BH='1＃配比(误差大)'|SIO2=68.46|AL2O3=None|DJ=-0.013|BZ='平均误差率 1.23%；注：Fe2O3,TiO2未计'|"
                                 "DATE=datetime.date(2024, 3, 5)\n"
                                 "BH='2＃配比'|SIO2=None|AL2O3=None|DJ=None|BZ=''|DATE=None\n"
                                 "count=2\n"));
}

TEST(Interop, ThisProgramReadsATableWrittenByAnotherTool) {
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/pfk.dbf");
  // A dBASE III table written field by field with Python's struct module, as
  // another tool would write it: one record deleted, a logical field, GBK text.
  const QString script = QStringLiteral(R"(
import sys, struct
fields = [(b'BH', b'N', 5, 0), (b'NAME', b'C', 30, 0), (b'SIO2', b'N', 12, 4), (b'DATE', b'D', 8, 0), (b'OK', b'L', 1, 0)]
recs = [(b' ', 3, '钾长石', 65.1234, b'20231231', b'T'),
        (b'*', 4, '已删', 1.0, b'20230101', b'F'),
        (b' ', 1, '*长石类', None, b'        ', b'?')]
rl = 1 + sum(f[2] for f in fields)
hl = 32 + 32 * len(fields) + 1
out = struct.pack('<B3BIHH20x', 0x03, 124, 6, 1, len(recs), hl, rl)
out = out[:29] + bytes([0x7A]) + out[30:]
for name, typ, length, dec in fields:
    out += struct.pack('<11sc4xBB14x', name, typ, length, dec)
out += b'\x0d'
for flag, bh, name, sio2, date, ok in recs:
    out += flag + b'%5d' % bh + name.encode('gbk').ljust(30) + (b' ' * 12 if sio2 is None else b'%12.4f' % sio2) + date + ok
out += b'\x1a'
open(sys.argv[1], 'wb').write(out)
)");
  const auto out = runPython(script, {file}, false);
  if (!out) GTEST_SKIP() << "python3 is not installed";
  Table t;
  ASSERT_TRUE(t.open(file)) << t.errorString().toStdString();
  EXPECT_TRUE(t.damageReport().isEmpty()) << t.damageReport().toStdString();
  EXPECT_EQ(t.recordCount(), 2);
  EXPECT_EQ(t.integer("BH"), 3);
  EXPECT_EQ(t.text("NAME"), QStringLiteral("钾长石"));
  EXPECT_DOUBLE_EQ(t.number("SIO2"), 65.1234);
  EXPECT_EQ(t.date("DATE"), core::Date(2023, 12, 31));
  EXPECT_EQ(t.text("OK"), QStringLiteral("T"));
  ASSERT_TRUE(t.setIndexTag("BH"));
  ASSERT_TRUE(t.first());
  EXPECT_EQ(t.text("NAME"), QStringLiteral("*长石类"));
  EXPECT_FALSE(t.value("SIO2"));
  EXPECT_FALSE(t.date("DATE"));
  // And it can write to it.
  ASSERT_TRUE(t.edit());
  ASSERT_TRUE(t.setNumber("SIO2", 1.23456));
  ASSERT_TRUE(t.post());
  EXPECT_EQ(t.rawBytes("SIO2"), QByteArray("      1.2346"));
}
