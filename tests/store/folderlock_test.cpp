// The data folder's lock: one program at a time, any number of takers within it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include "store/folderlock.h"
#include "store/paths.h"

using tessaro::store::FolderLock;

namespace {

// Another program: a process started before this one takes any lock, which
// tries to take the folder's lock when told and says whether it got it.
class OtherProgram {
 public:
  explicit OtherProgram(const QString& folder) {
    if (pipe(ask_) != 0 || pipe(answer_) != 0) return;
    pid_ = fork();
    if (pid_ != 0) return;
    FolderLock lock;
    char command;
    while (::read(ask_[0], &command, 1) == 1) {
      if (command == 'q') break;
      lock.release();
      const char c = command == 't' && lock.acquire(folder) ? 'y' : 'n';
      (void)!::write(answer_[1], &c, 1);
    }
    _exit(0);
  }
  ~OtherProgram() {
    (void)!::write(ask_[1], "q", 1);
    int status = -1;
    waitpid(pid_, &status, 0);
    for (int fd : {ask_[0], ask_[1], answer_[0], answer_[1]}) ::close(fd);
  }
  // Takes the lock and keeps it until the next call.
  bool takes() { return say('t'); }
  void letsGo() { say('r'); }
  pid_t pid() const { return pid_; }

 private:
  bool say(char c) {
    char answer = 0;
    return ::write(ask_[1], &c, 1) == 1 && ::read(answer_[0], &answer, 1) == 1 && answer == 'y';
  }
  int ask_[2] = {-1, -1};
  int answer_[2] = {-1, -1};
  pid_t pid_ = -1;
};

}  // namespace

TEST(FolderLock, OneProgramAtATimeAndTheOtherIsToldWhichHoldsIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.filePath(QStringLiteral("数据库"));
  ASSERT_TRUE(QDir().mkpath(folder));
  OtherProgram other(folder);

  ASSERT_TRUE(other.takes());
  FolderLock mine;
  EXPECT_FALSE(mine.acquire(folder));
  EXPECT_FALSE(mine.isHeld());
  const QString why = mine.errorString();
  EXPECT_TRUE(why.startsWith(QStringLiteral("数据文件夹 %1 正在被另一个程序使用（").arg(QDir::toNativeSeparators(folder))))
      << why.toStdString();
  EXPECT_TRUE(why.contains(QStringLiteral("进程号 %1）").arg(other.pid()))) << why.toStdString();
  EXPECT_TRUE(why.endsWith(QStringLiteral("请先关闭那个程序再试。")));
  other.letsGo();

  // Within one program the lock can be taken by several parts, and it lasts
  // until the last of them lets go.
  auto first = std::make_unique<FolderLock>();
  ASSERT_TRUE(first->acquire(folder)) << first->errorString().toStdString();
  FolderLock second;
  ASSERT_TRUE(second.acquire(folder));
  first.reset();
  EXPECT_FALSE(other.takes());
  second.release();
  EXPECT_TRUE(other.takes());
  other.letsGo();

  FolderLock missing;
  EXPECT_FALSE(missing.acquire(dir.filePath(QStringLiteral("没有"))));
  EXPECT_TRUE(missing.errorString().contains(QStringLiteral("不能打开数据文件夹"))) << missing.errorString().toStdString();
}
TEST(DataPaths, SettingsFileFoundWhateverTheCaseOfItsName) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.filePath(QStringLiteral("数据库"));
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_EQ(tessaro::store::settingsFile(dir.path()), folder + QStringLiteral("/KuTitle.ini"));
  QFile upper(folder + QStringLiteral("/KUTITLE.INI"));
  ASSERT_TRUE(upper.open(QIODevice::WriteOnly));
  upper.close();
  EXPECT_EQ(tessaro::store::settingsFile(dir.path()), folder + QStringLiteral("/KUTITLE.INI"));
}
