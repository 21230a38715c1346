// Damaged table files: each kind of damage is read as far as it can be and
// reported in one sentence that names the file; none crashes.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <map>
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
    ASSERT_TRUE(Table::create(file_, store::schema::materialLibrary()));
    Table t;
    ASSERT_TRUE(t.open(file_));
    for (int i = 1; i <= 3; ++i) {
      ASSERT_TRUE(t.append());
      ASSERT_TRUE(t.setInteger("BH", i));
      ASSERT_TRUE(t.setText("NAME", QStringLiteral("长石%1").arg(i)));
      ASSERT_TRUE(t.setNumber("SIO2", 60 + i));
      ASSERT_TRUE(t.post());
    }
    for (int i = 0; i < t.fieldCount(); ++i) offsets_[t.fieldAt(i).name] = t.fieldAt(i).offset;
    ASSERT_TRUE(t.close());
    bytes_ = readFile(file_);
    hl_ = static_cast<unsigned char>(bytes_[8]) | (static_cast<unsigned char>(bytes_[9]) << 8);
    rl_ = static_cast<unsigned char>(bytes_[10]) | (static_cast<unsigned char>(bytes_[11]) << 8);
  }

  // Writes `b` as the table and opens it; assert on it.
  [[nodiscard]] testing::AssertionResult reopen(const QByteArray& b) {
    table_ = std::make_unique<Table>();
    if (!writeFile(file_, b)) return testing::AssertionFailure() << "cannot write " << file_.toStdString();
    if (!table_->open(file_)) return testing::AssertionFailure() << table_->errorString().toStdString();
    return testing::AssertionSuccess();
  }
  // Writes `b` as the table; success when the table then refuses to open.
  [[nodiscard]] testing::AssertionResult refusedToOpen(const QByteArray& b) {
    table_ = std::make_unique<Table>();
    if (!writeFile(file_, b)) return testing::AssertionFailure() << "cannot write " << file_.toStdString();
    if (table_->open(file_)) return testing::AssertionFailure() << "the table opened";
    return testing::AssertionSuccess();
  }
  // Where a field starts in a record of the table SetUp wrote.
  int fieldOffset(const char* name) const { return offsets_.at(QString::fromLatin1(name)); }
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
  std::map<QString, int> offsets_;  // field name to its place in a record
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

TEST_F(DamageTest, FileCutShort) {
  ASSERT_TRUE(reopen(bytes_.left(hl_ + 2 * rl_ + 5)));
  expectOneSentenceNaming(QStringLiteral("文件里只有 2 条完整的记录"));
  EXPECT_TRUE(table_->damageReport().contains(QStringLiteral("文件被截断")));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2}));
}

TEST_F(DamageTest, FileCutInsideItsHeader) {
  EXPECT_TRUE(refusedToOpen(bytes_.left(20)));
  EXPECT_TRUE(table_->errorString().startsWith(QStringLiteral("表文件 YLK.DBF 已损坏："))) << table_->errorString().toStdString();
  EXPECT_TRUE(refusedToOpen(QByteArray()));
  EXPECT_TRUE(table_->errorString().contains("YLK.DBF"));
  EXPECT_TRUE(refusedToOpen(bytes_.left(40)));  // a field descriptor cut in half
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

// Packing a damaged file either writes the records of the intact file, with
// a sentence saying what was mended, or leaves the file byte for byte.
TEST_F(DamageTest, PackMendsOnlyWhatTheFileShowsBeyondDoubt) {
  auto withHeaderLength = [&](int h) {
    QByteArray b = bytes_;
    b[8] = static_cast<char>(h & 0xFF);
    b[9] = static_cast<char>(h >> 8);
    return b;
  };
  auto withCount = [&](quint32 n) {
    QByteArray b = bytes_;
    setCount(b, n);
    return b;
  };
  QByteArray widerField = bytes_;
  widerField[32 + 32 * 2 + 16] = static_cast<char>(widerField[32 + 32 * 2 + 16] + 1);  // SIO2 one byte wider
  QByteArray longerRecord = bytes_;
  longerRecord[10] = static_cast<char>(rl_ + 3);
  QByteArray unterminated = bytes_;
  unterminated[hl_ - 1] = ' ';
  QByteArray badNumber = bytes_;
  badNumber.replace(hl_ + rl_ + fieldOffset("SIO2"), 10, "**********");

  struct Case {
    const char* what;
    QByteArray file;
    const char* mended;  // the clause of the mend report; null: left as it is
  };
  const std::vector<Case> cases = {
      {"header length 31 too large", withHeaderLength(hl_ + 31), "表头长度由"},
      {"header length shorter than the descriptors", withHeaderLength(40), "表头长度由 40 改为"},
      {"count too large, end mark present", withCount(9), "记录数由 9 改为 3"},
      {"count too small, end mark present", withCount(1), "记录数由 1 改为 3"},
      {"record length wrong", longerRecord, nullptr},
      {"a field one byte wider", widerField, nullptr},
      {"cut inside the last record", bytes_.left(hl_ + 2 * rl_ + 5), nullptr},
      {"cut at a record boundary", bytes_.left(hl_ + 2 * rl_), nullptr},
      {"cut to 100 bytes", bytes_.left(100), nullptr},
      {"descriptors without their end mark", unterminated, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(writeFile(file_, c.file));
    Table t;
    ASSERT_TRUE(t.open(file_, Table::Mode::Exclusive)) << t.errorString().toStdString();
    EXPECT_TRUE(t.isDamaged());
    EXPECT_TRUE(t.isReadOnly());
    if (c.mended) {
      ASSERT_TRUE(t.pack()) << t.errorString().toStdString();
      EXPECT_TRUE(t.mendReport().startsWith(QStringLiteral("表文件 YLK.DBF 的表头与文件内容不符"))) << t.mendReport().toStdString();
      EXPECT_TRUE(t.mendReport().contains(QString::fromUtf8(c.mended))) << t.mendReport().toStdString();
      EXPECT_FALSE(t.isDamaged());
      EXPECT_TRUE(t.damageReport().isEmpty());
      EXPECT_FALSE(t.isReadOnly());
      EXPECT_EQ(readFile(file_).mid(4), bytes_.mid(4));  // the true count among them
    } else {
      EXPECT_FALSE(t.pack());
      EXPECT_TRUE(t.errorString().startsWith(QStringLiteral("表文件 YLK.DBF 已损坏："))) << t.errorString().toStdString();
      EXPECT_TRUE(t.errorString().endsWith(QStringLiteral("没有整理，文件保持原样。"))) << t.errorString().toStdString();
      EXPECT_TRUE(t.mendReport().isEmpty());
      EXPECT_EQ(readFile(file_), c.file);
    }
  }

  // Damage that leaves the layout sound is packed as it is: the records keep
  // their bytes, the missing end mark is written and an unknown deletion
  // flag becomes the flag of a live record.
  QByteArray badDate = bytes_;
  badDate.replace(hl_ + fieldOffset("DATE"), 8, "2024XX01");
  QByteArray badText = bytes_;
  badText[hl_ + fieldOffset("BZ")] = '\x81';
  QByteArray badFlag = bytes_;
  badFlag[hl_ + rl_] = 'x';
  const std::vector<std::pair<QByteArray, QByteArray>> sound = {
      {bytes_.left(bytes_.size() - 1), bytes_}, {badNumber, badNumber}, {badDate, badDate},
      {badText, badText},                       {badFlag, bytes_}};
  for (const auto& [b, expected] : sound) {
    ASSERT_TRUE(writeFile(file_, b));
    Table t;
    ASSERT_TRUE(t.open(file_, Table::Mode::Exclusive));
    EXPECT_FALSE(t.isDamaged());
    EXPECT_FALSE(t.damageReport().isEmpty());
    ASSERT_TRUE(t.pack()) << t.errorString().toStdString();
    EXPECT_TRUE(t.mendReport().isEmpty());
    EXPECT_EQ(readFile(file_).mid(4), expected.mid(4));
  }

  // A file that does not open at all is never touched.
  QByteArray badVersion = bytes_;
  badVersion[0] = 0x04;
  QByteArray brokenDescriptor = bytes_;
  brokenDescriptor[32 + 32 + 16] = 0;  // the second field has no width
  for (const QByteArray& b : {bytes_.left(20), bytes_.left(40), badVersion, brokenDescriptor}) {
    ASSERT_TRUE(writeFile(file_, b));
    Table t;
    EXPECT_FALSE(t.open(file_, Table::Mode::Exclusive));
    EXPECT_EQ(readFile(file_), b);
  }
}

TEST_F(DamageTest, HeaderLengthThatShiftsTheRecordsIsSeenThrough) {
  QByteArray b = bytes_;
  b[8] = static_cast<char>((hl_ + 31) & 0xFF);
  b[9] = static_cast<char>((hl_ + 31) >> 8);
  ASSERT_TRUE(reopen(b));
  expectOneSentenceNaming(QStringLiteral("表头长度写的是 %1 字节，实际为 %2 字节").arg(hl_ + 31).arg(hl_));
  EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(table_->isReadOnly());
}

// An append writes its record and the end mark before the header's count; a
// crash in between leaves the counted records followed by at most one record
// and the end mark. That is no damage: the counted records are the table, and
// the next append writes over the rest.
TEST_F(DamageTest, AppendInterruptedBeforeTheCountIsNoDamage) {
  QByteArray extra = bytes_.mid(hl_ + 2 * rl_, rl_);  // a whole record's bytes
  extra[fieldOffset("NAME")] = 'X';
  QByteArray whole = bytes_.left(bytes_.size() - 1) + extra + '\x1A';
  QByteArray partial = bytes_.left(bytes_.size() - 1) + extra.left(rl_ / 2);
  for (const QByteArray& b : {whole, partial, QByteArray(bytes_.left(bytes_.size() - 1) + extra)}) {
    ASSERT_TRUE(reopen(b));
    EXPECT_TRUE(table_->damageReport().isEmpty()) << table_->damageReport().toStdString();
    EXPECT_FALSE(table_->isReadOnly());
    EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(table_->append());
    ASSERT_TRUE(table_->setInteger("BH", 4));
    ASSERT_TRUE(table_->post()) << table_->errorString().toStdString();
    ASSERT_TRUE(table_->close());
    const QByteArray after = readFile(file_);
    EXPECT_EQ(after.size(), hl_ + 4 * rl_ + 1);
    EXPECT_EQ(test::headerCount(file_), 4u);
    ASSERT_TRUE(reopen(after));
    EXPECT_TRUE(table_->damageReport().isEmpty());
    EXPECT_EQ(readBh(), (std::vector<int>{1, 2, 3, 4}));
  }
  // More than one record past the count is not an interrupted append.
  QByteArray two = bytes_.left(bytes_.size() - 1) + extra + extra + '\x1A';
  ASSERT_TRUE(reopen(two));
  EXPECT_TRUE(table_->isDamaged());
}
