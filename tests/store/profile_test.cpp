#include "store/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <unistd.h>

using tessaro::store::Profile;

namespace {

QByteArray gbk(const QString& text) {
  QStringEncoder encoder("GBK");
  return encoder.encode(text);
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

testing::AssertionResult putFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    return testing::AssertionFailure() << "cannot write " << path.toStdString();
  return testing::AssertionSuccess();
}

// Takes the bytes of a write that succeeded into `out`.
testing::AssertionResult into(QByteArray& out, const tessaro::store::Result<QByteArray>& written) {
  if (!written) return testing::AssertionFailure() << written.error().toStdString();
  out = *written;
  return testing::AssertionSuccess();
}

// Whether a write succeeded, with its reason in *error.
bool wrote(const tessaro::store::Result<void>& written, QString* error) {
  *error = written.error();
  return written.ok();
}

class ProfileFile : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString path;
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = dir.filePath(QStringLiteral("KuTitle.ini"));
  }
};

// A settings file as the program ships it, with a comment, blank lines and
// CR LF line ends.
const QString kSample = QStringLiteral(
    "; column captions\r\n"
    "[配方]\r\n"
    "0=原料名称\r\n"
    "12=K2O\r\n"
    "13=Na2O\r\n"
    "\r\n"
    "[其它]\r\n"
    "QTCF1=1\r\n");

}  // namespace

TEST(ProfileRead, MissingSectionOrKeyOrEmptyNamesGiveEmptyText) {
  const QByteArray content = gbk(kSample);
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("配方"), QStringLiteral("12")), QStringLiteral("K2O"));
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("结果"), QStringLiteral("0")), QString());
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("配方"), QStringLiteral("22")), QString());
  // "QTCF1" lives in [其它], not in [配方]: a key is looked for in its section only.
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("配方"), QStringLiteral("QTCF1")), QString());
  EXPECT_EQ(Profile::valueIn(content, QString(), QStringLiteral("12")), QString());
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("配方"), QString()), QString());
  EXPECT_EQ(Profile::valueIn(QByteArray(), QStringLiteral("配方"), QStringLiteral("0")), QString());
}

TEST_F(ProfileFile, ReadOfMissingFileOrFolderIsEmpty) {
  EXPECT_EQ(Profile::read(path, QStringLiteral("配方"), QStringLiteral("0")), QString());
  EXPECT_EQ(Profile::read(dir.path(), QStringLiteral("配方"), QStringLiteral("0")), QString());
  ASSERT_TRUE(putFile(path, gbk(kSample)));
  EXPECT_EQ(Profile::read(path, QStringLiteral("配方"), QStringLiteral("0")), QStringLiteral("原料名称"));
}

TEST(ProfileRead, NamesMatchWithoutLetterCaseButValuesKeepIt) {
  const QByteArray content = gbk(QStringLiteral("[PFK]\n  qtcf1 = ZnO \n[Other]\nKey=K/NaO\n"));
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("pfk"), QStringLiteral("QTCF1")), QStringLiteral("ZnO"));
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral(" pfk "), QStringLiteral(" qtcf1")), QStringLiteral("ZnO"));
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("OTHER"), QStringLiteral("KEY")), QStringLiteral("K/NaO"));
}

TEST(ProfileRead, CommentsQuotesAndDuplicates) {
  const QByteArray content = gbk(QStringLiteral(
      "[a]\n"
      ";1=comment\n"
      "2=\"quoted\"\n"
      "3='single'\n"
      "4=\"open\n"
      "5=\"mixed'\n"
      "6=\n"
      "7\n"
      "2=second\n"
      "[A]\n"
      "8=later section\n"));
  EXPECT_EQ(Profile::valueIn(content, "a", "1"), QString());
  EXPECT_EQ(Profile::valueIn(content, "a", ";1"), QString());
  EXPECT_EQ(Profile::valueIn(content, "a", "2"), QStringLiteral("quoted"));  // the first key counts
  EXPECT_EQ(Profile::valueIn(content, "a", "3"), QStringLiteral("single"));
  EXPECT_EQ(Profile::valueIn(content, "a", "4"), QStringLiteral("\"open"));
  EXPECT_EQ(Profile::valueIn(content, "a", "5"), QStringLiteral("\"mixed'"));
  EXPECT_EQ(Profile::valueIn(content, "a", "6"), QString());
  EXPECT_EQ(Profile::valueIn(content, "a", "7"), QString());
  // Only the first section of a name is searched, as Windows does.
  EXPECT_EQ(Profile::valueIn(content, "a", "8"), QString());
}

// The listing of a section finds exactly what a read finds: the first
// section of a name, the first of equal keys, the values as a read returns them.
TEST(ProfileRead, SectionEntriesAreWhatReadsFind) {
  const QByteArray content = gbk(QStringLiteral(
      "[b]\r\n"
      "x=1\r\n"
      "[ A ]\r\n"
      "; comment\r\n"
      "Key = \"quoted\" \r\n"
      "\r\n"
      "bare\r\n"
      "KEY=second\r\n"
      "名称=值\r\n"
      "[a]\r\n"
      "later=no\r\n"));
  const auto entries = Profile::entriesIn(content, QStringLiteral("a"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, QStringLiteral("Key"));
  EXPECT_EQ(entries[0].line, 5);
  EXPECT_EQ(entries[1].key, QStringLiteral("bare"));
  EXPECT_EQ(entries[1].line, 7);
  EXPECT_EQ(entries[2].line, 9);
  for (const auto& e : entries) EXPECT_EQ(e.value, Profile::valueIn(content, "a", e.key)) << e.key.toStdString();
  EXPECT_EQ(entries[2].value, QStringLiteral("值"));
  EXPECT_TRUE(Profile::entriesIn(content, QStringLiteral("c")).empty());
}

TEST(ProfileRead, LineEndsOfEveryKind) {
  const QByteArray content = "[s]\r1=cr\r\n2=crlf\n3=lf";
  EXPECT_EQ(Profile::valueIn(content, "s", "1"), QStringLiteral("cr"));
  EXPECT_EQ(Profile::valueIn(content, "s", "2"), QStringLiteral("crlf"));
  EXPECT_EQ(Profile::valueIn(content, "s", "3"), QStringLiteral("lf"));
}

TEST(ProfileRead, DoubleByteCharactersWhoseSecondByteIsABracketOrBackslash) {
  // 匽 is 0x85 0x5D (second byte ']'), 乕 ends in '[', 刓 ends in '\\'.
  ASSERT_EQ(gbk(QStringLiteral("匽")).at(1), ']');
  const QByteArray content = gbk(QStringLiteral("[匽配方]\r\n乕=刓\r\n"));
  EXPECT_EQ(Profile::valueIn(content, QStringLiteral("匽配方"), QStringLiteral("乕")), QStringLiteral("刓"));
}

TEST(ProfileWrite, KeyEndingInACutDoubleByteCharacterIsNoOtherKey) {
  // "q" followed by a lone lead byte is not the key "q", before or after a
  // value is written to "q".
  const QByteArray content = "[s]\nq\x84\n";
  EXPECT_EQ(Profile::valueIn("[s]\nq\x84=x\n", "s", "q"), QString());
  QByteArray out;
  ASSERT_TRUE(into(out, Profile::withValue(content, "s", "Q", "")));
  EXPECT_EQ(out, QByteArray("[s]\nq\x84\nQ=\n"));
  QByteArray again;
  ASSERT_TRUE(into(again, Profile::withValue(out, "s", "q", "v")));
  EXPECT_EQ(again, QByteArray("[s]\nq\x84\nQ=v\n"));
}

TEST(ProfileRead, FullWidthBlanksArePartOfTheValue) {
  const QByteArray content = gbk(QStringLiteral("[s]\n1=　批量输入　\n"));
  EXPECT_EQ(Profile::valueIn(content, "s", "1"), QStringLiteral("　批量输入　"));
}

TEST(ProfileRead, ValuesAreCutTo2047BytesAtACharacterBoundary) {
  const QByteArray ascii = "[s]\n1=" + QByteArray(3000, 'a') + "\n";
  EXPECT_EQ(Profile::valueIn(ascii, "s", "1"), QString(2047, u'a'));
  // 1500 two-byte characters: 1023 of them fill 2046 bytes, the next would
  // not fit whole.
  const QByteArray wide = gbk(QStringLiteral("[s]\n1=") + QString(1500, QChar(u'瓷')) + QStringLiteral("\n"));
  EXPECT_EQ(Profile::valueIn(wide, "s", "1"), QString(1023, QChar(u'瓷')));
  const QByteArray odd = gbk(QStringLiteral("[s]\n1=a") + QString(1500, QChar(u'瓷')) + QStringLiteral("\n"));
  EXPECT_EQ(Profile::valueIn(odd, "s", "1"), QStringLiteral("a") + QString(1023, QChar(u'瓷')));
}

TEST_F(ProfileFile, FirstWriteCreatesTheFileWithSectionAndKey) {
  QString error;
  ASSERT_TRUE(wrote(Profile::write(path, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error)) << error.toStdString();
  ASSERT_TRUE(wrote(Profile::write(path, QStringLiteral("其它"), QStringLiteral("QTCF1"), QStringLiteral("81.37")), &error));
  EXPECT_EQ(fileBytes(path), gbk(QStringLiteral("[配方]\r\n14=ZnO\r\n\r\n[其它]\r\nQTCF1=81.37\r\n")));
  EXPECT_EQ(Profile::read(path, QStringLiteral("配方"), QStringLiteral("14")), QStringLiteral("ZnO"));
  // Nothing but the settings file is left in the folder.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("KuTitle.ini")});
}

TEST_F(ProfileFile, ReplacingAValueKeepsEveryOtherLineByteForByte) {
  ASSERT_TRUE(putFile(path, gbk(kSample)));
  ASSERT_TRUE(Profile::write(path, QStringLiteral("配方"), QStringLiteral("12"), QStringLiteral("K/NaO")));
  ASSERT_TRUE(Profile::write(path, QStringLiteral("配方"), QStringLiteral("13"), QStringLiteral("***")));
  QString expected = kSample;
  expected.replace(QStringLiteral("12=K2O"), QStringLiteral("12=K/NaO")).replace(QStringLiteral("13=Na2O"), QStringLiteral("13=***"));
  EXPECT_EQ(fileBytes(path), gbk(expected));
}

TEST(ProfileWrite, KeyThatDiffersInCaseIsReplacedNotAdded) {
  const QByteArray content = "[Other]\r\n  QTCF1 = 1\r\n";
  QByteArray out;
  ASSERT_TRUE(into(out, Profile::withValue(content, "other", "qtcf1", "69.62")));
  // The key keeps its spelling and the blanks before '='.
  EXPECT_EQ(out, QByteArray("[Other]\r\n  QTCF1 =69.62\r\n"));
}

TEST(ProfileWrite, NewKeyGoesAfterTheLastEntryOfItsSection) {
  const QByteArray content = "[a]\n1=x\n;note\n\n[b]\n1=y";
  QByteArray out;
  ASSERT_TRUE(into(out, Profile::withValue(content, "A", "2", "z")));
  EXPECT_EQ(out, QByteArray("[a]\n1=x\n2=z\n;note\n\n[b]\n1=y"));
  // A section with no entries gets its first one right under the header; a
  // last line without line end gets one (the file's own kind) before the new line.
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray("[a]\r\n[b]"), "b", "1", "v")));
  EXPECT_EQ(out, QByteArray("[a]\r\n[b]\r\n1=v\r\n"));
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray("[a]\r\n[b]"), "a", "1", "v")));
  EXPECT_EQ(out, QByteArray("[a]\r\n1=v\r\n[b]"));
}

TEST(ProfileWrite, NewSectionIsAppendedAfterABlankLine) {
  QByteArray out;
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray("[a]\n1=x"), "b", "1", "y")));
  EXPECT_EQ(out, QByteArray("[a]\n1=x\n\n[b]\n1=y\n"));
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray("[a]\n1=x\n\n"), "b", "1", "y")));
  EXPECT_EQ(out, QByteArray("[a]\n1=x\n\n[b]\n1=y\n"));
  // A key line without '=' gets one.
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray("[a]\n1\n"), "a", "1", "y")));
  EXPECT_EQ(out, QByteArray("[a]\n1=y\n"));
}

TEST(ProfileWrite, EveryValueReadsBackAsWritten) {
  const QStringList values = {QStringLiteral(" padded "), QStringLiteral("\"quoted\""), QStringLiteral("'q'"),
                              QStringLiteral("\"\""),   QStringLiteral("a=b;c"),     QStringLiteral("[x]"),
                              QString(),                QStringLiteral("其它1"),     QStringLiteral("K/Na拆分")};
  QByteArray content;
  for (const QString& v : values) {
    QByteArray out;
    ASSERT_TRUE(into(out, Profile::withValue(content, "s", "k", v))) << v.toStdString();
    EXPECT_EQ(Profile::valueIn(out, "s", "k"), v) << v.toStdString();
    content = out;
  }
  // 2047 bytes is the most a read returns, so it is the most a write takes.
  QByteArray out;
  ASSERT_TRUE(into(out, Profile::withValue(QByteArray(), "s", "k", QString(2047, u'a'))));
  EXPECT_EQ(Profile::valueIn(out, "s", "k"), QString(2047, u'a'));
}

TEST_F(ProfileFile, RefusedValuesLeaveTheFileAsItWas) {
  ASSERT_TRUE(putFile(path, gbk(kSample)));
  const QByteArray before = fileBytes(path);
  struct Case {
    QString section, key, value, mentions;
  };
  const Case cases[] = {
      {QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO😀"), QStringLiteral("😀")},
      {QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("한"), QStringLiteral("한")},
      {QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("a\r\n[其它]\r\nQTCF1=0"), QStringLiteral("换行")},
      {QStringLiteral("配方"), QStringLiteral("14"), QString(2048, u'a'), QStringLiteral("2047")},
      {QStringLiteral("配方"), QStringLiteral("a=b"), QStringLiteral("x"), QStringLiteral("a=b")},
      {QStringLiteral("配方"), QStringLiteral(";x"), QStringLiteral("x"), QStringLiteral(";x")},
      {QStringLiteral("配方"), QStringLiteral(" "), QStringLiteral("x"), QStringLiteral("键名")},
      {QStringLiteral("a]b"), QStringLiteral("1"), QStringLiteral("x"), QStringLiteral("a]b")},
      {QString(), QStringLiteral("1"), QStringLiteral("x"), QStringLiteral("节名")},
  };
  for (const Case& c : cases) {
    QString error;
    EXPECT_FALSE(wrote(Profile::write(path, c.section, c.key, c.value), &error)) << c.value.toStdString();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(error.contains(c.mentions)) << error.toStdString();
  }
  EXPECT_EQ(fileBytes(path), before);
}

TEST_F(ProfileFile, FolderThatIsARegularFileRefusesTheWrite) {
  ASSERT_TRUE(putFile(path, gbk(kSample)));
  const QString inside = path + QStringLiteral("/KuTitle.ini");
  QString error;
  EXPECT_FALSE(wrote(Profile::write(inside, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error));
  EXPECT_EQ(error, QStringLiteral("Unable to write to ") + inside);
  EXPECT_EQ(fileBytes(path), gbk(kSample));
}

TEST_F(ProfileFile, SettingsPathThatIsAFolderRefusesTheWrite) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("KuTitle.ini")));
  QString error;
  EXPECT_FALSE(wrote(Profile::write(path, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error));
  EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
  EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(ProfileFile, ReadOnlyFolderOrFileRefusesTheWrite) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  ASSERT_TRUE(putFile(path, gbk(kSample)));
  QString error;
  ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  EXPECT_FALSE(wrote(Profile::write(path, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error));
  EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
  ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
  // A file that cannot be read is not replaced by one holding a single value.
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
  EXPECT_FALSE(wrote(Profile::write(path, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error));
  EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
  // Nor is a read-only file replaced by renaming a new one over it.
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
  EXPECT_FALSE(wrote(Profile::write(path, QStringLiteral("配方"), QStringLiteral("14"), QStringLiteral("ZnO")), &error));
  EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  EXPECT_EQ(fileBytes(path), gbk(kSample));
}
