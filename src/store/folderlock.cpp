#include "store/folderlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace tessaro::store {

// The lock on one folder: an exclusive flock on the folder itself, so that
// nothing is added to it and a program that ends, however it ends, lets go.
struct FolderLock::Held {
  int fd = -1;
  std::pair<dev_t, ino_t> key{};
  ~Held();
};

namespace {

std::map<std::pair<dev_t, ino_t>, std::weak_ptr<FolderLock::Held>>& registry() {
  static std::map<std::pair<dev_t, ino_t>, std::weak_ptr<FolderLock::Held>> folders;
  return folders;
}

// The program that holds the flock on the folder (device, inode), as far as
// the system's list of locks tells: its name and process number.
QString holderOf(dev_t dev, ino_t ino) {
  QFile locks(QStringLiteral("/proc/locks"));
  if (!locks.open(QIODevice::ReadOnly)) return QString();
  char wanted[64];
  std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(dev), minor(dev), static_cast<unsigned long long>(ino));
  // The file reports no size: read it to its end, then split it into lines.
  const QList<QByteArray> lines = locks.readAll().split('\n');
  for (const QByteArray& line : lines) {
    const QList<QByteArray> parts = line.simplified().split(' ');
    // "1: FLOCK ADVISORY WRITE 7115 fe:00:10952885 0 EOF"
    if (parts.size() < 6 || parts[1] != "FLOCK" || parts[5] != wanted) continue;
    const QByteArray pid = parts[4];
    QFile comm(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(pid)));
    QString name;
    if (comm.open(QIODevice::ReadOnly)) name = QString::fromLocal8Bit(comm.readAll()).trimmed();
    if (name.isEmpty()) return QStringLiteral("进程号 %1").arg(QString::fromLatin1(pid));
    return QStringLiteral("%1，进程号 %2").arg(name, QString::fromLatin1(pid));
  }
  return QString();
}

}  // namespace

FolderLock::Held::~Held() {
  registry().erase(key);
  if (fd >= 0) ::close(fd);
}

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;

void FolderLock::release() { held_.reset(); }

bool FolderLock::acquire(const QString& dataFolder) {
  if (held_) return true;
  error_.clear();
  const QString shown = QDir::toNativeSeparators(QFileInfo(dataFolder).absoluteFilePath());
  const int fd = ::open(QFile::encodeName(dataFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    error_ = QStringLiteral("不能打开数据文件夹 %1：%2").arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
    if (fd >= 0) ::close(fd);
    return false;
  }
  const auto key = std::make_pair(st.st_dev, st.st_ino);
  if (auto it = registry().find(key); it != registry().end()) {
    if (auto shared = it->second.lock()) {
      ::close(fd);
      held_ = std::move(shared);
      return true;
    }
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    ::close(fd);
    if (e == EWOULDBLOCK) {
      const QString holder = holderOf(st.st_dev, st.st_ino);
      error_ = QStringLiteral("数据文件夹 %1 正在被另一个程序使用").arg(shown) +
               (holder.isEmpty() ? QString() : QStringLiteral("（%1）").arg(holder)) +
               QStringLiteral("。同一时间只能有一个程序修改其中的数据，以免互相覆盖；请先关闭那个程序再试。");
    } else {
      error_ = QStringLiteral("不能锁定数据文件夹 %1：%2").arg(shown, QString::fromLocal8Bit(std::strerror(e)));
    }
    return false;
  }
  auto held = std::make_shared<Held>();
  held->fd = fd;
  held->key = key;
  registry()[key] = held;
  held_ = std::move(held);
  return true;
}

}  // namespace tessaro::store
