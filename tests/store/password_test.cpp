#include "store/password.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "store/fixtures.h"

using namespace tessaro;

namespace {

// Whether a write succeeded, with its reason in *error.
bool wrote(const store::Result<void>& written, QString* error) {
  *error = written.error();
  return written.ok();
}

class PasswordFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString folder() const { return dir_.path(); }
  QString file(const QString& name = store::kPasswordFileName) const { return QDir(folder()).filePath(name); }

  QTemporaryDir dir_;
};

}  // namespace

TEST_F(PasswordFile, MissingFileIsTheEmptyPasswordWithoutFailure) {
  const auto r = store::readPassword(folder());
  EXPECT_TRUE(r.valueOr(QString()).isEmpty());
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.error().isEmpty());
}

TEST_F(PasswordFile, HeldExactlyAsTyped) {
  for (const QString& p : {QStringLiteral("Secret "), QStringLiteral(" a\tB "), QStringLiteral("陶瓷Glaze１２３"),
                           QStringLiteral("x\ny"), QString()}) {
    QString error;
    ASSERT_TRUE(wrote(store::writePassword(folder(), p), &error)) << error.toStdString();
    EXPECT_EQ(test::readFile(file()), p.toUtf8()) << "no line end, no BOM, nothing trimmed";
    const auto r = store::readPassword(folder());
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.valueOr(QString()), p);
  }
  // Only the one file is left in the folder: no temporary beside it.
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{store::kPasswordFileName});
}

TEST_F(PasswordFile, FoundAndReplacedWhateverTheCaseOfItsName) {
  ASSERT_TRUE(test::writeFile(file(QStringLiteral("PASSWORD.TXT")), "Old"));
  EXPECT_EQ(store::readPassword(folder()).valueOr(QString()), QStringLiteral("Old"));
  ASSERT_TRUE(store::writePassword(folder(), QStringLiteral("New")));
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("PASSWORD.TXT")});
  EXPECT_EQ(store::readPassword(folder()).valueOr(QString()), QStringLiteral("New"));
}

TEST_F(PasswordFile, DamagedFileIsTheEmptyPasswordAndNamesTheFile) {
  const QByteArray tooLong(store::kMaxPasswordFileBytes + 1, 'a');
  for (const QByteArray& bytes : {QByteArray("\xC3\x28 not UTF-8"), QByteArray("\xB3\xC2"), tooLong}) {
    ASSERT_TRUE(test::writeFile(file(), bytes));
    const auto r = store::readPassword(folder());
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.valueOr(QString()).isEmpty());
    EXPECT_TRUE(r.error().contains(QDir::toNativeSeparators(file()))) << r.error().toStdString();
  }
  // A folder in the file's place.
  ASSERT_TRUE(QFile::remove(file()));
  ASSERT_TRUE(QDir(folder()).mkdir(store::kPasswordFileName));
  const auto r = store::readPassword(folder());
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.valueOr(QString()).isEmpty());
  QString error;
  EXPECT_FALSE(wrote(store::writePassword(folder(), QStringLiteral("x")), &error));
  EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file()))) << error.toStdString();
}

TEST_F(PasswordFile, FailedWriteKeepsTheOldPassword) {
  ASSERT_TRUE(store::writePassword(folder(), QStringLiteral("old")));

  // A lone surrogate has no UTF-8 form: refused, not written as something else.
  QString error;
  const QString broken = QStringLiteral("ab") + QChar(0xD800);
  EXPECT_FALSE(wrote(store::writePassword(folder(), broken), &error));
  EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file()))) << error.toStdString();
  EXPECT_EQ(store::readPassword(folder()).valueOr(QString()), QStringLiteral("old"));

  // A data folder that is not there.
  const QString gone = QDir(folder()).filePath(QStringLiteral("数据库"));
  error.clear();
  EXPECT_FALSE(wrote(store::writePassword(gone, QStringLiteral("new")), &error));
  EXPECT_TRUE(error.contains(QDir::toNativeSeparators(QDir(gone).filePath(store::kPasswordFileName))))
      << error.toStdString();
  EXPECT_FALSE(QDir(gone).exists());
}
