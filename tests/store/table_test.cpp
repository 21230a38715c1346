#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "core/format.h"
#include "store/fixtures.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;
using test::headerCount;
using test::readFile;

namespace {

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("数据库")));
  }
  QString path(const QString& name) const { return dir_.path() + QStringLiteral("/数据库/") + name; }
  // Creates the table `name` in the data folder.
  testing::AssertionResult create(const QString& name, const std::vector<store::FieldSpec>& fields) const {
    const auto created = Table::create(path(name), fields);
    if (!created) return testing::AssertionFailure() << created.error().toStdString();
    return testing::AssertionSuccess();
  }
  bool openIn(Table& t, const QString& name, Table::Mode mode = Table::Mode::Shared) {
    return t.open(dir_.path(), QStringLiteral("数据库\\") + name, mode);
  }
  // Appends a material record with `bh` and `name`.
  static testing::AssertionResult addMaterial(Table& t, int bh, const QString& name) {
    if (t.append() && t.setInteger("BH", bh) && t.setText("NAME", name) && t.post()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << t.errorString().toStdString();
  }
  static std::vector<QString> names(Table& t, const QString& field = QStringLiteral("NAME")) {
    std::vector<QString> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.text(field));
    return out;
  }

  QTemporaryDir dir_;
};

std::string s(const QString& q) { return q.toStdString(); }

}  // namespace

TEST_F(TableTest, NewTableIsAnEmptyDbaseThreeFileWithTheGbkDriver) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  const QString file = path(QStringLiteral("结果.DBF"));
  const QByteArray b = readFile(file);
  ASSERT_GE(b.size(), 33);
  EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x03);
  EXPECT_EQ(static_cast<unsigned char>(b[29]), 0x7A);
  EXPECT_EQ(b.back(), '\x1A');
  EXPECT_EQ(headerCount(file), 0u);

  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF"))) << s(t.errorString());
  EXPECT_EQ(t.recordCount(), 0);
  EXPECT_TRUE(t.eof());
  EXPECT_TRUE(t.bof());
  EXPECT_TRUE(t.damageReport().isEmpty());
  EXPECT_EQ(t.tableType(), QStringLiteral("DBASE"));
  EXPECT_EQ(t.fieldIndex("bh"), t.fieldCount() - 1);
}

TEST_F(TableTest, CreateNeverReplacesAFileAndRefusesBadFields) {
  ASSERT_TRUE(create(QStringLiteral("a.dbf"), store::schema::result()));
  const auto again = Table::create(path("a.dbf"), store::schema::result());
  EXPECT_FALSE(again);
  EXPECT_TRUE(again.error().contains("a.dbf"));
  EXPECT_FALSE(Table::create(path("b.dbf"), {{"NAME", 'C', 0}}));
  EXPECT_FALSE(Table::create(path("b.dbf"), {{"A", 'N', 5, 4}}));
  const auto twice = Table::create(path("b.dbf"), {{"NAME", 'C', 5}, {"name", 'C', 5}});
  EXPECT_FALSE(twice);
  EXPECT_TRUE(twice.error().contains("name"));
  EXPECT_FALSE(QFileInfo::exists(path("b.dbf")));
}

TEST_F(TableTest, OpeningFailsCleanlyForAMissingFileAndIsANoOpWhenOpen) {
  Table t;
  EXPECT_FALSE(openIn(t, QStringLiteral("配方.DBF")));
  EXPECT_EQ(t.errorString(), QStringLiteral("找不到表文件 数据库/配方.DBF"));
  ASSERT_TRUE(create(QStringLiteral("配方.DBF"), store::schema::result()));
  ASSERT_TRUE(openIn(t, QStringLiteral("配方.DBF")));
  EXPECT_TRUE(openIn(t, QStringLiteral("配方.DBF"), Table::Mode::Exclusive));
  EXPECT_FALSE(t.isExclusive());  // the second open did nothing
}

TEST_F(TableTest, FindsFilesWhateverTheCaseOfTheirNames) {
  ASSERT_TRUE(create(QStringLiteral("性能.DBF"), store::schema::property()));
  ASSERT_TRUE(create(QStringLiteral("PFK.DBF"), store::schema::targetLibrary()));
  Table a;
  Table b;
  EXPECT_TRUE(a.open(dir_.path(), QStringLiteral("数据库\\性能.dbf"))) << s(a.errorString());
  EXPECT_TRUE(b.open(dir_.path(), QStringLiteral("数据库/pfk.dbf"))) << s(b.errorString());
  EXPECT_TRUE(a.filePath().endsWith(QStringLiteral("性能.DBF")));
  EXPECT_EQ(a.fieldIndex("name0"), 0);
}

TEST_F(TableTest, PostedValuesReadBackAndReachTheFileAtOnce) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  const QString file = path(QStringLiteral("结果.DBF"));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("1＃配比")));
  ASSERT_TRUE(t.setText("sio2", QString::fromStdString(core::format2(68.456))));  // "   68.46"
  ASSERT_TRUE(t.setNumber("AL2O3", 1.0005));  // three decimals
  ASSERT_TRUE(t.setNumber("CAO", -0.0125));
  ASSERT_TRUE(t.setDate("DATE", core::Date{2024, 3, 5}));
  ASSERT_TRUE(t.post()) << s(t.errorString());
  EXPECT_EQ(headerCount(file), 1u);

  // A second cursor reads what is on disk.
  Table u;
  ASSERT_TRUE(openIn(u, QStringLiteral("结果.DBF")));
  EXPECT_EQ(u.text("BH"), QStringLiteral("1＃配比"));
  EXPECT_DOUBLE_EQ(u.number("SIO2"), 68.46);
  EXPECT_EQ(u.rawBytes("SIO2"), QByteArray("    68.460"));
  EXPECT_DOUBLE_EQ(u.number("AL2O3"), 1.001);
  EXPECT_DOUBLE_EQ(u.number("CAO"), -0.013);
  EXPECT_EQ(u.date("DATE"), core::Date(2024, 3, 5));
  EXPECT_EQ(u.text("DATE"), QStringLiteral("2024年03月05日"));
  // Empty numeric fields read as 0, or as no value.
  bool ok = false;
  EXPECT_EQ(u.number("MGO", &ok), 0.0);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(u.value("MGO"));
  EXPECT_TRUE(u.isNull("MGO"));
  EXPECT_FALSE(u.isNull("SIO2"));
  EXPECT_EQ(u.text("NAME"), QString());
}

TEST_F(TableTest, NumberWrittenAsTextWithLeadingBlanksIsThatNumber) {
  ASSERT_TRUE(create(QStringLiteral("配方.DBF"), store::schema::formula()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("配方.DBF")));
  ASSERT_TRUE(t.edit());
  // NUM1 holds two decimals, as "%8.2f" writes them.
  for (const double v : {0.0, 2.675, 12.35, -3.5, 9999.99}) {
    const QString text = QString::fromStdString(core::format2(v));
    ASSERT_TRUE(text.startsWith(' '));
    ASSERT_TRUE(t.setText("NUM1", text));
    EXPECT_DOUBLE_EQ(t.number("NUM1"), core::roundFixed(v, 2)) << s(text);
    EXPECT_EQ(t.text("NUM1"), text.trimmed());
  }
  ASSERT_TRUE(t.setText("NUM1", QStringLiteral("   ")));
  EXPECT_TRUE(t.isNull("NUM1"));
}

TEST_F(TableTest, RefusesWhatAFieldCannotHoldAndNamesTheField) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("NAME", QStringLiteral("长石")));

  EXPECT_FALSE(t.setNumber("SIO2", 12345678.9));  // "12345678.900" is wider than 10
  EXPECT_TRUE(t.errorString().contains("SIO2")) << s(t.errorString());
  EXPECT_TRUE(t.errorString().contains(QStringLiteral("长石")));
  EXPECT_TRUE(t.errorString().contains(QStringLiteral("结果.DBF")));
  EXPECT_TRUE(t.isNull("SIO2"));
  EXPECT_TRUE(t.setNumber("SIO2", 999999.999));  // exactly 10 wide

  EXPECT_FALSE(t.setText("AL2O3", QStringLiteral("12,5")));
  EXPECT_TRUE(t.errorString().contains("AL2O3"));
  EXPECT_TRUE(t.errorString().contains("12,5"));
  EXPECT_FALSE(t.setNumber("CAO", std::nan("")));

  EXPECT_FALSE(t.setText("BZ", QStringLiteral("好😀")));
  EXPECT_TRUE(t.errorString().contains("BZ"));
  EXPECT_TRUE(t.errorString().contains(QStringLiteral("😀")));
  EXPECT_TRUE(t.isNull("BZ"));

  EXPECT_FALSE(t.setText("DATE", QStringLiteral("2023-02-30")));
  EXPECT_TRUE(t.errorString().contains("DATE"));
  EXPECT_FALSE(t.setText("NOSUCH", QStringLiteral("x")));
  EXPECT_TRUE(t.errorString().contains("NOSUCH"));
  EXPECT_TRUE(t.setText("DATE", QStringLiteral("2023年02月28日")));
  EXPECT_EQ(t.date("DATE"), core::Date(2023, 2, 28));
  EXPECT_TRUE(t.post());

  // Writing outside editing is refused.
  EXPECT_FALSE(t.setText("NAME", QStringLiteral("x")));
  EXPECT_TRUE(t.errorString().contains("NAME"));
}

TEST_F(TableTest, LongTextIsCutAtACharacterBoundary) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  ASSERT_TRUE(t.append());
  // NAME is C(8): "1＃配比(误" would need 10 bytes; "1＃配比(" fits 8 exactly.
  ASSERT_TRUE(t.setText("NAME", QStringLiteral("1＃配比(误差大)")));
  EXPECT_EQ(t.text("NAME"), QStringLiteral("1＃配比("));
  // An odd cut: "a" + 4 double-byte characters into 8 bytes keeps 3 of them.
  ASSERT_TRUE(t.setText("NAME", QStringLiteral("a钾长石粉")));
  EXPECT_EQ(t.text("NAME"), QStringLiteral("a钾长石"));
  EXPECT_EQ(t.rawBytes("NAME").back(), ' ');
}

TEST_F(TableTest, TypedTextMustFitItsFieldAndAWholeNumberFieldTakesNoFraction) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(addMaterial(t, 1, QStringLiteral("长石")));
  ASSERT_TRUE(t.edit());
  const auto refusedNaming = [&t](const QString& field, const QStringList& parts) -> testing::AssertionResult {
    for (const QString& part : QStringList{field, QStringLiteral("YLK.DBF"), QStringLiteral("第 1 条记录")} + parts) {
      if (!t.errorString().contains(part)) return testing::AssertionFailure() << s(t.errorString()) << " lacks " << s(part);
    }
    return testing::AssertionSuccess();
  };

  // NAME is C(30): fifteen Chinese characters fill it exactly; trailing blanks are no part of it.
  const QString fifteen = QStringLiteral("钾长石粉钠长石粉石英高岭土滑石");
  ASSERT_TRUE(t.setTypedText("NAME", fifteen + QStringLiteral("  "))) << s(t.errorString());
  EXPECT_EQ(t.text("NAME"), fifteen);
  // One byte over, the last Chinese character across the boundary: refused, the field unchanged.
  EXPECT_FALSE(t.setTypedText("NAME", QStringLiteral("a") + fifteen));
  EXPECT_TRUE(refusedNaming("NAME", {QStringLiteral("30 个字节"), QStringLiteral("一个汉字占 2 个字节"),
                                     QStringLiteral("31 个字节")}));
  EXPECT_EQ(t.text("NAME"), fifteen);
  EXPECT_FALSE(t.setTypedText("BZ", QString(51, QLatin1Char('x'))));
  EXPECT_TRUE(refusedNaming("BZ", {QStringLiteral("50 个字节")}));

  // BH is N(6,0): a fraction is refused, a whole number written with decimals taken.
  EXPECT_FALSE(t.setTypedText("BH", QStringLiteral("14.6")));
  EXPECT_TRUE(refusedNaming("BH", {QStringLiteral("“14.6”"), QStringLiteral("只能放整数")}));
  EXPECT_EQ(t.integer("BH"), 1);
  ASSERT_TRUE(t.setTypedText("BH", QStringLiteral(" 14.0"))) << s(t.errorString());
  EXPECT_EQ(t.text("BH"), QStringLiteral("14"));
  // A field with decimals rounds to them as before.
  ASSERT_TRUE(t.setTypedText("DJ", QStringLiteral("1.2345")));
  EXPECT_DOUBLE_EQ(t.number("DJ"), 1.235);
  ASSERT_TRUE(t.post());
}

TEST(FieldText, TheExactRuleRefusesMoreDecimalsThanTheFieldKeeps) {
  const store::dbf::Field sio2{QStringLiteral("SIO2"), 'N', 10, 3, 1};
  const auto bytes = [&](const char* text) {
    const auto b = store::fieldBytes(sio2, QString::fromUtf8(text), store::TextRule::Exact);
    return b ? b->toStdString() : b.error().toStdString();
  };
  EXPECT_EQ(bytes("45.73"), "    45.730");
  EXPECT_EQ(bytes(" 45.7300 "), "    45.730");
  EXPECT_EQ(bytes("1e3"), "  1000.000");
  EXPECT_EQ(bytes("45.7305"), "不能写入“45.7305”：最多 3 位小数");
  EXPECT_EQ(bytes("1234567.5"), "放不下数值 1234567.5（宽 10，小数 3 位）");
  EXPECT_EQ(store::fieldBytes(sio2, QStringLiteral("45.7305"), store::TextRule::Typed)->toStdString(), "    45.731");
}

TEST_F(TableTest, EditOnAnEmptyTableStartsItsFirstRecord) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  const QString file = path(QStringLiteral("结果.DBF"));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF"), Table::Mode::Exclusive));
  ASSERT_TRUE(t.edit());
  EXPECT_EQ(t.state(), Table::State::Insert);
  ASSERT_TRUE(t.setText("BH", QStringLiteral("1＃配比")));
  ASSERT_TRUE(t.post());
  EXPECT_EQ(t.recordCount(), 1);
  EXPECT_EQ(headerCount(file), 1u);
  // On a table with records, edit changes the current one.
  ASSERT_TRUE(t.edit());
  EXPECT_EQ(t.state(), Table::State::Edit);
  ASSERT_TRUE(t.setText("BZ", QStringLiteral("平均误差率")));
  ASSERT_TRUE(t.post());
  EXPECT_EQ(t.recordCount(), 1);
  EXPECT_EQ(t.text("BZ"), QStringLiteral("平均误差率"));
}

TEST_F(TableTest, LeavingAnUnchangedNewRecordWritesNothing) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  const QString file = path(QStringLiteral("结果.DBF"));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("1＃配比")));
  ASSERT_TRUE(t.post());
  const QByteArray before = readFile(file);

  // The calculation run starts a new record after each formula and leaves it.
  ASSERT_TRUE(t.append());
  EXPECT_EQ(t.row(), 1);
  ASSERT_TRUE(t.next());
  ASSERT_TRUE(t.insert());
  ASSERT_TRUE(t.first());
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.last());
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.close());
  EXPECT_EQ(readFile(file), before);
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  EXPECT_EQ(t.recordCount(), 1);

  // A changed new record is posted when the cursor leaves it.
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("2＃配比")));
  ASSERT_TRUE(t.first());
  EXPECT_EQ(t.recordCount(), 2);
  EXPECT_EQ(headerCount(file), 2u);
}

TEST_F(TableTest, CancelDropsChanges) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("a")));
  ASSERT_TRUE(t.post());
  ASSERT_TRUE(t.edit());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("b")));
  EXPECT_EQ(t.text("BH"), QStringLiteral("b"));
  t.cancel();
  EXPECT_EQ(t.text("BH"), QStringLiteral("a"));
  ASSERT_TRUE(t.append());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("c")));
  t.cancel();
  EXPECT_EQ(t.recordCount(), 1);
  EXPECT_EQ(t.text("BH"), QStringLiteral("a"));
}

TEST_F(TableTest, ResultOrderByBhPutsTheFirstFormulaFirst) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("结果.DBF")));
  for (const char* bh : {"2＃配比", "1＃配比(误差大)"}) {
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("BH", QString::fromUtf8(bh)));
    ASSERT_TRUE(t.post());
  }
  EXPECT_EQ(names(t, "BH"), (std::vector<QString>{QStringLiteral("2＃配比"), QStringLiteral("1＃配比(误差大)")}));
  ASSERT_TRUE(t.setOrder("bh"));
  EXPECT_EQ(t.orderField(), QStringLiteral("BH"));
  EXPECT_EQ(names(t, "BH"), (std::vector<QString>{QStringLiteral("1＃配比(误差大)"), QStringLiteral("2＃配比")}));
  // The order follows a changed key.
  ASSERT_TRUE(t.first());
  ASSERT_TRUE(t.edit());
  ASSERT_TRUE(t.setText("BH", QStringLiteral("3＃配比")));
  ASSERT_TRUE(t.post());
  EXPECT_EQ(t.text("BH"), QStringLiteral("3＃配比"));  // the cursor follows its record
  EXPECT_EQ(t.row(), 1);
  EXPECT_EQ(names(t, "BH"), (std::vector<QString>{QStringLiteral("2＃配比"), QStringLiteral("3＃配比")}));
  ASSERT_TRUE(t.setNaturalOrder());
  EXPECT_EQ(names(t, "BH"), (std::vector<QString>{QStringLiteral("2＃配比"), QStringLiteral("3＃配比")}));
}

TEST_F(TableTest, NumericOrderRangesAndEqualKeysInFileOrder) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(addMaterial(t, 10, QStringLiteral("*长石类")));
  ASSERT_TRUE(addMaterial(t, 2, QStringLiteral("石英")));
  ASSERT_TRUE(addMaterial(t, 11, QStringLiteral("钾长石")));
  ASSERT_TRUE(addMaterial(t, 1, QStringLiteral("*石英类")));
  ASSERT_TRUE(addMaterial(t, 11, QStringLiteral("钠长石")));
  ASSERT_TRUE(addMaterial(t, 100, QStringLiteral("滑石")));
  ASSERT_TRUE(t.setIndexTag("BH"));
  EXPECT_EQ(names(t), (std::vector<QString>{QStringLiteral("*石英类"), QStringLiteral("石英"), QStringLiteral("*长石类"),
                                            QStringLiteral("钾长石"), QStringLiteral("钠长石"), QStringLiteral("滑石")}));
  EXPECT_FALSE(t.setIndexTag("NAMEX"));

  ASSERT_TRUE(t.setRange(10, 11));
  EXPECT_EQ(t.recordCount(), 3);
  EXPECT_EQ(t.text("NAME"), QStringLiteral("*长石类"));
  EXPECT_EQ(names(t), (std::vector<QString>{QStringLiteral("*长石类"), QStringLiteral("钾长石"), QStringLiteral("钠长石")}));
  // A record posted within the range appears in it; one outside does not.
  ASSERT_TRUE(addMaterial(t, 10, QStringLiteral("瓷石")));
  ASSERT_TRUE(addMaterial(t, 50, QStringLiteral("方解石")));
  EXPECT_EQ(t.recordCount(), 4);
  // The bounds read back as given, for a second cursor to follow.
  EXPECT_EQ(t.range(), std::pair(QVariant(10), QVariant(11)));
  ASSERT_TRUE(t.cancelRange());
  EXPECT_FALSE(t.range());
  EXPECT_EQ(t.recordCount(), 8);
  EXPECT_FALSE(t.setRange(QStringLiteral("x"), 3));
  EXPECT_TRUE(t.errorString().contains("BH"));
  ASSERT_TRUE(t.setNaturalOrder());
  EXPECT_FALSE(t.setRange(1, 2));  // a range needs an index
  EXPECT_EQ(t.integer("BH"), 50);  // the cursor stayed on its record
  ASSERT_TRUE(t.first());
  EXPECT_EQ(t.integer("BH"), 10);
}

TEST_F(TableTest, RangeOnATextBh) {
  ASSERT_TRUE(create(QStringLiteral("配方.DBF"), store::schema::formula()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("配方.DBF")));
  int i = 0;
  for (const char* bh : {"0", "1", "0", "1", "10"}) {
    ASSERT_TRUE(t.append());
    ASSERT_TRUE(t.setText("NAME", QString::number(i++)));
    ASSERT_TRUE(t.setText("BH", QString::fromLatin1(bh)));
    ASSERT_TRUE(t.post());
  }
  ASSERT_TRUE(t.setOrder("BH"));
  ASSERT_TRUE(t.setRange(1, 1));
  EXPECT_EQ(names(t), (std::vector<QString>{"1", "3"}));
  // Clearing an in-use flag takes the record out of the range.
  ASSERT_TRUE(t.first());
  ASSERT_TRUE(t.edit());
  ASSERT_TRUE(t.setText("BH", "0"));
  ASSERT_TRUE(t.post());
  EXPECT_EQ(t.recordCount(), 1);
  EXPECT_EQ(names(t), (std::vector<QString>{"3"}));
}

TEST_F(TableTest, FindKeyIsAnExactSearchOnTheCurrentIndex) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(addMaterial(t, 1, QStringLiteral("钾长石")));
  ASSERT_TRUE(addMaterial(t, 2, QStringLiteral("长石")));
  ASSERT_TRUE(addMaterial(t, 3, QStringLiteral("钾长石粉")));
  EXPECT_FALSE(t.findKey(QStringLiteral("长石")));
  EXPECT_FALSE(t.errorString().isEmpty());  // natural order has no key
  ASSERT_TRUE(t.setOrder("NAME"));
  EXPECT_TRUE(t.findKey(QStringLiteral("钾长石")));
  EXPECT_EQ(t.integer("BH"), 1);
  EXPECT_TRUE(t.findKey(QStringLiteral("长石  ")));
  EXPECT_EQ(t.integer("BH"), 2);
  EXPECT_FALSE(t.findKey(QStringLiteral("钾长")));
  EXPECT_TRUE(t.errorString().isEmpty());
  EXPECT_EQ(t.integer("BH"), 2);  // not found: the cursor stays
  ASSERT_TRUE(t.setOrder("BH"));
  EXPECT_TRUE(t.findKey(3));
  EXPECT_EQ(t.text("NAME"), QStringLiteral("钾长石粉"));
}

TEST_F(TableTest, DeletedRecordsVanishAndTheCursorMovesOn) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  for (int i = 1; i <= 4; ++i) ASSERT_TRUE(addMaterial(t, i, QString::number(i)));
  ASSERT_TRUE(t.moveTo(1));
  ASSERT_TRUE(t.deleteRecord());
  EXPECT_EQ(t.recordCount(), 3);
  EXPECT_EQ(t.text("NAME"), "3");
  ASSERT_TRUE(t.last());
  ASSERT_TRUE(t.deleteRecord());
  EXPECT_EQ(t.text("NAME"), "3");
  EXPECT_EQ(names(t), (std::vector<QString>{"1", "3"}));
  EXPECT_EQ(headerCount(file), 4u);  // deleted records stay in the file until packed
  const QByteArray b = readFile(file);
  const int hl = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
  const int rl = static_cast<unsigned char>(b[10]) | (static_cast<unsigned char>(b[11]) << 8);
  EXPECT_EQ(b[hl + rl], '*');
  // Deleting everything by deleting the current record as often as there are records.
  const int n = t.recordCount();
  ASSERT_TRUE(t.first());
  for (int i = 0; i < n; ++i) ASSERT_TRUE(t.deleteRecord());
  EXPECT_EQ(t.recordCount(), 0);
  EXPECT_TRUE(t.eof());
  EXPECT_FALSE(t.deleteRecord());
}

TEST_F(TableTest, BookmarksReturnToTheirRecord) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(addMaterial(t, i, QString::number(i)));
  ASSERT_TRUE(t.moveTo(1));
  const Table::Bookmark b = t.bookmark();
  ASSERT_TRUE(t.setOrder("BH"));
  ASSERT_TRUE(t.last());
  ASSERT_TRUE(t.gotoBookmark(b));
  EXPECT_EQ(t.text("NAME"), "2");
  ASSERT_TRUE(t.deleteRecord());
  EXPECT_FALSE(t.gotoBookmark(b));
  EXPECT_FALSE(t.errorString().isEmpty());
}

TEST_F(TableTest, NavigationMarksTheEnds) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(addMaterial(t, 1, "a"));
  ASSERT_TRUE(addMaterial(t, 2, "b"));
  ASSERT_TRUE(t.first());
  EXPECT_TRUE(t.bof());
  EXPECT_FALSE(t.eof());
  ASSERT_TRUE(t.next());
  EXPECT_FALSE(t.eof());
  ASSERT_TRUE(t.next());
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.text("NAME"), "b");  // the cursor stays on the last record
  ASSERT_TRUE(t.prior());
  ASSERT_TRUE(t.prior());
  EXPECT_TRUE(t.bof());
  EXPECT_EQ(t.text("NAME"), "a");
  EXPECT_FALSE(t.moveTo(2));
}

TEST_F(TableTest, TwoCursorsOnOneFileSeeEachOthersPosts) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table a;
  Table b;
  ASSERT_TRUE(openIn(a, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(openIn(b, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(b.setOrder("BH"));
  ASSERT_TRUE(addMaterial(a, 5, "five"));
  ASSERT_TRUE(addMaterial(a, 3, "three"));
  EXPECT_EQ(b.recordCount(), 2);
  ASSERT_TRUE(b.first());
  EXPECT_EQ(b.text("NAME"), "three");
  ASSERT_TRUE(b.edit());
  ASSERT_TRUE(b.setInteger("BH", 9));
  ASSERT_TRUE(b.post());
  ASSERT_TRUE(a.last());
  EXPECT_EQ(a.integer("BH"), 9);
  EXPECT_EQ(names(b), (std::vector<QString>{"five", "three"}));
  ASSERT_TRUE(a.first());
  ASSERT_TRUE(a.deleteRecord());
  EXPECT_EQ(b.recordCount(), 1);
  EXPECT_EQ(b.text("NAME"), "three");
}

// Whether another program could take the lock that opening the table at
// `name` takes. A forked child shares this program's memory, so it asks for
// the OS lock itself, as the engine of another program does.
static bool anotherProgramOpens(const QString& folder, const QString& name, Table::Mode mode) {
  const QByteArray file = QFile::encodeName(tessaro::store::findFile(folder, name));
  const pid_t child = fork();
  if (child == 0) {
    const int fd = ::open(file.constData(), O_RDONLY);
    const bool locked = fd >= 0 && ::flock(fd, (mode == Table::Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
    _exit(locked ? 1 : 0);
  }
  int status = -1;
  waitpid(child, &status, 0);
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(TableTest, ExclusiveOpenShutsOutOtherProgramsAndSecondClaims) {
  ASSERT_TRUE(create(QStringLiteral("结果.DBF"), store::schema::result()));
  const QString name = QStringLiteral("数据库/结果.DBF");
  Table a;
  ASSERT_TRUE(openIn(a, QStringLiteral("结果.DBF"), Table::Mode::Exclusive));
  EXPECT_TRUE(a.isExclusive());
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), name, Table::Mode::Shared));
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), name, Table::Mode::Exclusive));

  // A second claim of exclusive use by this program fails and names the file.
  Table b;
  EXPECT_FALSE(openIn(b, QStringLiteral("结果.DBF"), Table::Mode::Exclusive));
  EXPECT_TRUE(b.errorString().contains(name)) << s(b.errorString());

  // A further cursor of this program shares the records.
  ASSERT_TRUE(openIn(b, QStringLiteral("结果.DBF"))) << s(b.errorString());
  EXPECT_FALSE(b.isExclusive());
  ASSERT_TRUE(a.append());
  ASSERT_TRUE(a.setText("BH", QStringLiteral("1＃配比")));
  ASSERT_TRUE(a.post());
  ASSERT_TRUE(b.first());
  EXPECT_EQ(b.text("BH"), QStringLiteral("1＃配比"));

  // The lock lasts while any cursor of this program has the file open.
  ASSERT_TRUE(a.close());
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), name, Table::Mode::Shared));
  // ... and the claim passes to a cursor that asks for it.
  ASSERT_TRUE(openIn(a, QStringLiteral("结果.DBF"), Table::Mode::Exclusive)) << s(a.errorString());
  EXPECT_TRUE(a.isExclusive());
  ASSERT_TRUE(a.close());
  ASSERT_TRUE(b.close());
  EXPECT_TRUE(anotherProgramOpens(dir_.path(), name, Table::Mode::Exclusive));

  // Shared cursors of this program let one of its cursors claim exclusive
  // use, which then shuts other programs out.
  ASSERT_TRUE(openIn(b, QStringLiteral("结果.DBF")));
  EXPECT_TRUE(anotherProgramOpens(dir_.path(), name, Table::Mode::Shared));
  ASSERT_TRUE(openIn(a, QStringLiteral("结果.DBF"), Table::Mode::Exclusive)) << s(a.errorString());
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), name, Table::Mode::Shared));
  ASSERT_TRUE(a.close());
  ASSERT_TRUE(b.close());

  // While another program has the file open, no claim succeeds, and the
  // shared use of this program survives the refused claim.
  const tessaro::test::AnotherProgramLocks holder(tessaro::store::findFile(dir_.path(), name), false);
  ASSERT_TRUE(holder.locked());
  ASSERT_TRUE(openIn(b, QStringLiteral("结果.DBF")));
  EXPECT_FALSE(openIn(a, QStringLiteral("结果.DBF"), Table::Mode::Exclusive));
  EXPECT_TRUE(a.errorString().contains(QStringLiteral("正在被其他程序使用"))) << s(a.errorString());
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), name, Table::Mode::Exclusive));
}

TEST_F(TableTest, TwoProgramsAppendingAtOnceLoseNothing) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  constexpr int kEach = 150;
  const pid_t child = fork();
  if (child == 0) {
    Table t;
    bool ok = t.open(dir_.path(), QStringLiteral("数据库/YLK.DBF"));
    for (int i = 0; ok && i < kEach; ++i) {
      ok = t.append() && t.setInteger("BH", 1000 + i) && t.setText("NAME", QStringLiteral("child")) && t.post();
    }
    if (!ok) fprintf(stderr, "child: %s\n", qPrintable(t.errorString()));
    _exit(ok ? 0 : 1);
  }
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  for (int i = 0; i < kEach; ++i) ASSERT_TRUE(addMaterial(t, i, QStringLiteral("parent")));
  int status = -1;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_EQ(headerCount(file), 2u * kEach);
  // The numbers the parent holds are those of the bytes it holds, the
  // child's records that it read while appending included.
  for (t.first(); !t.eof(); t.next()) ASSERT_EQ(t.integer("BH"), t.rawBytes("BH").trimmed().toInt());
  // The parent holds all records it appended; refresh() brings in the child's.
  ASSERT_TRUE(t.refresh()) << s(t.errorString());
  EXPECT_EQ(t.recordCount(), 2 * kEach);
  Table fresh;
  ASSERT_TRUE(t.close());
  ASSERT_TRUE(openIn(fresh, QStringLiteral("YLK.DBF")));
  EXPECT_TRUE(fresh.damageReport().isEmpty()) << s(fresh.damageReport());
  std::set<int> seen;
  for (fresh.first(); !fresh.eof(); fresh.next()) seen.insert(fresh.integer("BH"));
  EXPECT_EQ(seen.size(), 2u * kEach);
}

TEST_F(TableTest, FirstWriteClearsTheProductionIndexFlagAndLeavesTheMdxAlone) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  QByteArray b = readFile(file);
  b[28] = 1;
  ASSERT_TRUE(test::writeFile(file, b));
  const QString mdx = path(QStringLiteral("YLK.MDX"));
  const QByteArray mdxBytes("not really an index", 19);
  ASSERT_TRUE(test::writeFile(mdx, mdxBytes));

  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  EXPECT_TRUE(t.damageReport().isEmpty());
  EXPECT_EQ(readFile(file)[28], 1);  // reading alone changes nothing
  ASSERT_TRUE(addMaterial(t, 1, "a"));
  EXPECT_EQ(readFile(file)[28], 0);
  EXPECT_EQ(readFile(mdx), mdxBytes);
}

TEST_F(TableTest, ReadsDbaseFourVersionBytes) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  {
    Table t;
    ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
    ASSERT_TRUE(addMaterial(t, 7, QStringLiteral("石英")));
  }
  for (const unsigned char version : {0x03, 0x83, 0x8B, 0x43}) {
    QByteArray b = readFile(file);
    b[0] = static_cast<char>(version);
    ASSERT_TRUE(test::writeFile(file, b));
    Table t;
    ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF"))) << version;
    EXPECT_EQ(t.text("NAME"), QStringLiteral("石英"));
    ASSERT_TRUE(addMaterial(t, 8, "x"));
    ASSERT_TRUE(t.close());
    EXPECT_EQ(static_cast<unsigned char>(readFile(file)[0]), version);  // kept as it was
  }
  QByteArray b = readFile(file);
  b[0] = 0x04;  // dBASE 7: another header layout
  ASSERT_TRUE(test::writeFile(file, b));
  Table t;
  EXPECT_FALSE(openIn(t, QStringLiteral("YLK.DBF")));
  EXPECT_TRUE(t.errorString().contains("YLK.DBF"));
}

TEST_F(TableTest, PackKeepsTheLiveRecordsInANewFile) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  for (int i = 1; i <= 5; ++i) ASSERT_TRUE(addMaterial(t, i, QString::number(i)));
  ASSERT_TRUE(t.moveTo(1));
  ASSERT_TRUE(t.deleteRecord());
  ASSERT_TRUE(t.moveTo(2));
  ASSERT_TRUE(t.deleteRecord());
  EXPECT_FALSE(t.pack());  // only exclusively
  EXPECT_TRUE(t.errorString().contains("YLK.DBF"));
  const qint64 before = QFileInfo(file).size();
  ASSERT_TRUE(t.close());

  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF"), Table::Mode::Exclusive));
  ASSERT_TRUE(t.pack()) << s(t.errorString());
  EXPECT_TRUE(t.isExclusive());
  EXPECT_EQ(names(t), (std::vector<QString>{"1", "3", "5"}));
  EXPECT_EQ(headerCount(file), 3u);
  EXPECT_LT(QFileInfo(file).size(), before);
  // Still exclusively ours, and nothing left behind.
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), QStringLiteral("数据库/YLK.DBF"), Table::Mode::Shared));
  EXPECT_EQ(QDir(path("")).entryList(QDir::Files | QDir::Hidden).size(), 1);
  // Other cursors of this program step aside: the record one of them edits
  // is posted first, and they all read the packed records afterwards.
  Table other;
  ASSERT_TRUE(openIn(other, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(addMaterial(t, 6, "6"));
  ASSERT_TRUE(other.last());
  const auto before6 = other.bookmark();
  ASSERT_TRUE(other.edit());
  ASSERT_TRUE(other.setText("BZ", QStringLiteral("改过")));
  ASSERT_TRUE(t.pack()) << s(t.errorString());
  EXPECT_EQ(other.state(), Table::State::Browse);
  EXPECT_EQ(names(other), (std::vector<QString>{"1", "3", "5", "6"}));
  ASSERT_TRUE(other.last());
  EXPECT_EQ(other.text("BZ"), QStringLiteral("改过"));
  EXPECT_FALSE(other.gotoBookmark(before6));  // records moved: old bookmarks are void
  ASSERT_TRUE(other.close());
  EXPECT_FALSE(anotherProgramOpens(dir_.path(), QStringLiteral("数据库/YLK.DBF"), Table::Mode::Shared));
  ASSERT_TRUE(t.close());
  ASSERT_TRUE(openIn(other, QStringLiteral("YLK.DBF")));
  EXPECT_EQ(names(other), (std::vector<QString>{"1", "3", "5", "6"}));
  EXPECT_TRUE(other.damageReport().isEmpty());
}

TEST_F(TableTest, RewriteAddsAfterTheLiveRecordsOrReplacesThemInANewFile) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  Table t, other;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  ASSERT_TRUE(openIn(other, QStringLiteral("YLK.DBF")));
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(addMaterial(t, i, QString::number(i)));
  ASSERT_TRUE(t.moveTo(1));
  ASSERT_TRUE(t.deleteRecord());
  const auto record = [&t](const char* name) {
    QByteArray r = store::blankRecord(t.layout());
    store::putField(r.data(), t.fieldAt(t.fieldIndex("NAME")), name);
    return r;
  };
  ASSERT_TRUE(other.edit());
  ASSERT_TRUE(other.setText("BZ", QStringLiteral("改过")));

  ASSERT_TRUE(t.rewrite({record("a"), record("b")}, true)) << s(t.errorString());
  EXPECT_EQ(other.state(), Table::State::Browse);  // its change was posted first
  EXPECT_EQ(names(other), (std::vector<QString>{"1", "3", "a", "b"}));
  EXPECT_EQ(names(other, "BZ")[0], QStringLiteral("改过"));
  EXPECT_EQ(headerCount(file), 4u);
  // The lock stays shared: another program may still read the table.
  EXPECT_TRUE(anotherProgramOpens(dir_.path(), QStringLiteral("数据库/YLK.DBF"), Table::Mode::Shared));

  ASSERT_TRUE(t.rewrite({record("c")}, false));
  EXPECT_EQ(names(other), (std::vector<QString>{"c"}));
  EXPECT_FALSE(t.rewrite({QByteArray("short")}, false));  // not a record of the table
  EXPECT_EQ(names(t), (std::vector<QString>{"c"}));
  EXPECT_EQ(QDir(path("")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(TableTest, SuspendedDisplayAnnouncesChangesOnceWhenResumed) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  int announced = 0;
  QObject::connect(&t, &Table::changed, [&] { ++announced; });
  t.disableControls();
  t.disableControls();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(addMaterial(t, i, "x"));
  t.enableControls();
  EXPECT_EQ(announced, 0);
  t.enableControls();
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(t.recordCount(), 3);  // the data did not wait
  ASSERT_TRUE(t.first());
  EXPECT_GE(announced, 2);
}

TEST_F(TableTest, ReadsReportAFieldWithTheWrongKind) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  Table t;
  ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
  bool ok = true;
  (void)t.text("NAME", &ok);
  EXPECT_FALSE(ok);  // no current record
  ASSERT_TRUE(addMaterial(t, 3, QStringLiteral("石英")));
  (void)t.number("DATE", &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(t.errorString().contains("DATE"));
  (void)t.number("nosuch", &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(t.errorString().contains("nosuch"));
  EXPECT_EQ(t.integer("bh", &ok), 3);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(t.date("DATE"));
}

TEST_F(TableTest, PackKilledAtAnyMomentLeavesAWholeTable) {
  ASSERT_TRUE(create(QStringLiteral("YLK.DBF"), store::schema::materialLibrary()));
  const QString file = path(QStringLiteral("YLK.DBF"));
  {
    Table t;
    ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(addMaterial(t, i, QStringLiteral("原料%1").arg(i)));
  }
  int packed = 0;
  for (int round = 0; round < 12; ++round) {
    // Delete one record, then pack in another program killed after a while.
    {
      Table t;
      ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF")));
      ASSERT_TRUE(t.damageReport().isEmpty()) << s(t.damageReport());
      const int before = t.recordCount();
      ASSERT_TRUE(t.deleteRecord());
      ASSERT_EQ(t.recordCount(), before - 1);
    }
    const quint32 old = headerCount(file);
    const pid_t child = fork();
    if (child == 0) {
      Table t;
      const bool ok = t.open(dir_.path(), QStringLiteral("数据库/YLK.DBF"), Table::Mode::Exclusive) && t.pack();
      _exit(ok ? 0 : 1);
    }
    usleep(useconds_t(round * round * 250));  // from at once to about 30 ms
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    Table t;
    ASSERT_TRUE(openIn(t, QStringLiteral("YLK.DBF"))) << s(t.errorString());
    EXPECT_TRUE(t.damageReport().isEmpty()) << round << ": " << s(t.damageReport());
    EXPECT_EQ(t.recordCount(), 200 - round - 1);
    // Either the old file (with its deleted record) or the new one.
    const quint32 count = headerCount(file);
    EXPECT_TRUE(count == old || count == quint32(200 - round - 1)) << count;
    packed += count != old;
  }
  RecordProperty("packs_finished_before_the_kill", packed);
}
