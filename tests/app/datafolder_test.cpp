// Where the programs find their data folder, and the user's copy of the
// installed template.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/datafolder.h"

namespace {

using tessaro::app::BaseFolder;
using tessaro::app::chooseBaseFolder;
using tessaro::app::FolderPlaces;

void writeText(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

QByteArray readText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

class DataFolderChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    places_.program = dir_.filePath("bin");
    places_.userBase = dir_.filePath("home/.local/share/Tessaro");
    places_.templateData = dir_.filePath("share/tessaro/数据库");
    writeText(places_.templateData + "/配方.DBF", "template table");
    writeText(places_.templateData + "/膨胀系数_Appen.ini", "factors");
    QFile::setPermissions(places_.templateData + "/配方.DBF", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir().mkpath(places_.program);
  }
  QString path(const char* relative) const { return dir_.filePath(QString::fromUtf8(relative)); }

  QTemporaryDir dir_;
  FolderPlaces places_;
};

TEST_F(DataFolderChoice, TakesTheChoiceThenTheVariableThenThePortableFolderThenTheUserDataHome) {
  QDir().mkpath(places_.program + "/数据库");
  QDir().mkpath(path("chosen/数据库"));
  QDir().mkpath(path("variable/数据库"));
  places_.variable = path("variable");
  EXPECT_EQ(chooseBaseFolder(path("chosen"), places_).folder, path("chosen"));
  EXPECT_EQ(chooseBaseFolder(QString(), places_).folder, path("variable"));
  places_.variable.clear();
  EXPECT_EQ(chooseBaseFolder(QString(), places_).folder, places_.program);
  QDir(places_.program + "/数据库").removeRecursively();
  EXPECT_EQ(chooseBaseFolder(QString(), places_).folder, places_.userBase);
  // A program run from its build folder, without a template, makes nothing.
  places_.templateData.clear();
  const BaseFolder bare = chooseBaseFolder(path("empty"), places_);
  EXPECT_EQ(bare.folder, path("empty"));
  EXPECT_TRUE(bare.error.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("empty")));
}

TEST_F(DataFolderChoice, AFirstStartCopiesTheTemplateWritableAndLaterStartsKeepTheUsersFiles) {
  const BaseFolder first = chooseBaseFolder(QString(), places_);
  ASSERT_TRUE(first.error.isEmpty()) << first.error.toStdString();
  const QString table = places_.userBase + "/数据库/配方.DBF";
  EXPECT_EQ(readText(table), "template table");
  EXPECT_TRUE(QFileInfo(table).isWritable());
  EXPECT_EQ(QDir(places_.userBase).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"数据库"});  // no temporary folder is left behind

  // The user's changes stay; a factor set the template gained since is added.
  writeText(table, "user's table");
  QFile::remove(places_.userBase + "/数据库/膨胀系数_Appen.ini");
  writeText(places_.templateData + "/膨胀系数_New.ini", "new factors");
  writeText(places_.userBase + "/数据库/膨胀系数_new.INI", "user's own");
  ASSERT_TRUE(chooseBaseFolder(QString(), places_).error.isEmpty());
  EXPECT_EQ(readText(table), "user's table");
  EXPECT_EQ(readText(places_.userBase + "/数据库/膨胀系数_Appen.ini"), "factors");
  EXPECT_EQ(readText(places_.userBase + "/数据库/膨胀系数_new.INI"), "user's own");
  EXPECT_FALSE(QFileInfo::exists(places_.userBase + "/数据库/膨胀系数_New.ini"));
}

TEST_F(DataFolderChoice, AFolderThatCannotBeMadeIsNamed) {
  writeText(path("taken"), "a file where the folder should be");
  const BaseFolder base = chooseBaseFolder(path("taken"), places_);
  EXPECT_TRUE(base.error.startsWith(QStringLiteral("无法在 %1 建立数据文件夹：").arg(path("taken"))))
      << base.error.toStdString();
}

}  // namespace
