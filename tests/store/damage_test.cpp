// Damaged table files: each kind of damage is read as far as it can be and
// reported in one sentence that names the file; none crashes.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <random>

#include "store/fixtures.h"
#include "store/table.h"

using namespace tessaro;
using store::Table;
using test::readFile;
using test::writeFile;

namespace {

class DamageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    file_ = dir_.path() + QStringLiteral("/YLK.DBF");
    ASSERT_TRUE(Table::create(file_, test::materialFields()));
    Table t;
    ASSERT_TRUE(t.open(file_));
    for (int i = 1; i <= 3; ++i) {
      ASSERT_TRUE(t.append());
      ASSERT_TRUE(t.setInteger("BH", i));
      ASSERT_TRUE(t.setText("NAME", QStringLiteral("长石%1").arg(i)));
      ASSERT_TRUE(t.setNumber("SIO2", 60 + i));
      ASSERT_TRUE(t.post());
    }
    ASSERT_TRUE(t.close());
    bytes_ = readFile(file_);
    hl_ = static_cast<unsigned char>(bytes_[8]) | (static_cast<unsigned char>(bytes_[9]) << 8);
    rl_ = static_cast<unsigned char>(bytes_[10]) | (static_cast<unsigned char>(bytes_[11]) << 8);
  }

  // Writes `b` as the table and opens it; the open's outcome.
  bool reopen(const QByteArray& b) {
    table_ = std::make_unique<Table>();
    EXPECT_TRUE(writeFile(file_, b));
    return table_->open(file_);
  }
  int fieldOffset(const char* name) {
    Table t;
    EXPECT_TRUE(t.open(file_));
    return t.fieldAt(t.fieldIndex(name)).offset;
  }
  void setCount(QByteArray& b, quint32 n) {
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  }
  std::vector<int> readBh() {
    std::vector<int> out;
    for (table_->first(); !table_->eof(); table_->next()) out.push_back(table_->integer("BH"));
    return out;
  }
  void expectOneSentenceNaming(const QString& fragment) {
    const QString r = table_->damageReport();
    EXPECT_TRUE(r.startsWith(QStringLiteral("表文件 YLK.DBF 已损坏："))) << r.toStdString();
    EXPECT_TRUE(r.endsWith(QStringLiteral("。")));
    EXPECT_EQ(r.count(QStringLiteral("。")), 1) << r.toStdString();
    EXPECT_TRUE(r.contains(fragment)) << r.toStdString();
  }

  QTemporaryDir dir_;
  QString file_;
  QByteArray bytes_;
  int hl_ = 0;
  int rl_ = 0;
  std::unique_ptr<Table> table_;
};

}  // namespace

TEST_F(DamageTest, HeaderClaimingMoreRecordsThanThereAre) {
  QByteArray b = bytes_;
  setCount(b, 7);
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("表头说有 7 条记录，文件里只有 3 条"));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
  // A table whose header lies is not written to until it is packed.
  EXPECT_TRUE(table_->isReadOnly());
  EXPECT_FALSE(table_->append());
  EXPECT_TRUE(table_->errorString().contains("YLK.DBF"));
  EXPECT_FALSE(table_->edit());
  EXPECT_EQ(readFile(file_), b);
}

TEST_F(DamageTest, HeaderClaimingFewerRecordsThanThereAre) {
  QByteArray b = bytes_;
  setCount(b, 1);
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("表头说有 1 条记录，文件里却有 3 条"));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
}

TEST_F(DamageTest, PackRepairsATableWhoseHeaderLies) {
  QByteArray b = bytes_;
  setCount(b, 9);
  ASSERT_TRUE(writeFile(file_, b));
  Table t;
  ASSERT_TRUE(t.open(file_, Table::Mode::Exclusive));
  EXPECT_FALSE(t.damageReport().isEmpty());
  ASSERT_TRUE(t.pack()) << t.errorString().toStdString();
  EXPECT_TRUE(t.damageReport().isEmpty());
  EXPECT_FALSE(t.isReadOnly());
  EXPECT_EQ(test::headerCount(file_), 3u);
}

TEST_F(DamageTest, FileCutShort) {
  ASSERT_TRUE(reopen(bytes_.left(hl_ + 2 * rl_ + 5)));
  expectOneSentenceNaming(QStringLiteral("文件里只有 2 条完整的记录"));
  EXPECT_TRUE(table_->damageReport().contains(QStringLiteral("文件被截断")));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2}));
}

TEST_F(DamageTest, FileCutInsideItsHeader) {
  EXPECT_FALSE(reopen(bytes_.left(20)));
  EXPECT_TRUE(table_->errorString().startsWith(QStringLiteral("表文件 YLK.DBF 已损坏："))) << table_->errorString().toStdString();
  EXPECT_FALSE(reopen(QByteArray()));
  EXPECT_TRUE(table_->errorString().contains("YLK.DBF"));
  EXPECT_FALSE(reopen(bytes_.left(40)));  // a field descriptor cut in half
  EXPECT_TRUE(table_->errorString().contains("YLK.DBF"));
}

TEST_F(DamageTest, MissingEndOfFileMarkIsReportedAndMendedByTheNextWrite) {
  ASSERT_TRUE(reopen(bytes_.left(bytes_.size() - 1)));
  expectOneSentenceNaming(QStringLiteral("缺少结束标记"));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(table_->isReadOnly());
  ASSERT_TRUE(table_->append());
  ASSERT_TRUE(table_->setInteger("BH", 4));
  ASSERT_TRUE(table_->post());
  ASSERT_TRUE(table_->close());
  EXPECT_EQ(readFile(file_).back(), '\x1A');
  Table t;
  ASSERT_TRUE(t.open(file_));
  EXPECT_TRUE(t.damageReport().isEmpty()) << t.damageReport().toStdString();
}

TEST_F(DamageTest, HeaderLyingAboutLengths) {
  QByteArray b = bytes_;
  b[10] = static_cast<char>(rl_ + 3);  // record length
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("记录长度写的是"));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));

  b = bytes_;
  b[8] = 40;  // header length shorter than its descriptors
  b[9] = 0;
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("表头长度"));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
}

TEST_F(DamageTest, NumericFieldHoldingAsterisksOrLetters) {
  QByteArray b = bytes_;
  const int at = hl_ + rl_ + fieldOffset("SIO2");
  b.replace(at, 10, "**********");
  b.replace(hl_ + 2 * rl_ + fieldOffset("AL2O3"), 10, "   12a.5  ");
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("2 个数值字段里不是数字（第一处：第 2 条记录（长石2）的 SIO2 为“**********”）"));
  ASSERT_TRUE(table_->moveTo(1));
  bool ok = true;
  EXPECT_EQ(table_->number("SIO2", &ok), 0.0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(table_->errorString(),
            QStringLiteral("表文件 YLK.DBF 第 2 条记录（长石2）的字段 SIO2 的内容“**********”不是数字"));
  EXPECT_EQ(table_->integer("BH", &ok), 2);  // the other fields read as ever
  EXPECT_TRUE(ok);
}

TEST_F(DamageTest, TextBytesThatAreNotGbk) {
  QByteArray b = bytes_;
  b[hl_ + fieldOffset("BZ")] = '\x81';  // a lead byte before a blank
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("不是 GBK 的字节（第一处：第 1 条记录（长石1）的 BZ）"));
  bool ok = true;
  (void)table_->text("BZ", &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(table_->errorString().contains("BZ"));
  EXPECT_EQ(table_->text("NAME", &ok), QStringLiteral("长石1"));
  EXPECT_TRUE(ok);
}

TEST_F(DamageTest, SeveralKindsOfDamageInOneSentence) {
  QByteArray b = bytes_.left(bytes_.size() - 1);
  b.replace(hl_ + fieldOffset("DATE"), 8, "2024XX01");
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("缺少结束标记；1 个日期字段里不是日期"));
}

TEST_F(DamageTest, RandomlyDamagedFilesNeverCrash) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 300; ++round) {
    QByteArray b = bytes_;
    const int changes = 1 + int(random() % 8);
    for (int i = 0; i < changes; ++i) b[int(random() % b.size())] = static_cast<char>(random() & 0xFF);
    if (random() % 4 == 0) b.truncate(int(random() % b.size()));
    if (reopen(b)) {
      for (table_->first(); !table_->eof(); table_->next()) {
        for (int f = 0; f < table_->fieldCount(); ++f) {
          (void)table_->text(table_->fieldAt(f).name);
          (void)table_->value(table_->fieldAt(f).name);
        }
      }
    } else {
      EXPECT_TRUE(table_->errorString().contains("YLK.DBF"));
    }
  }
}
