// File functions shared by the table tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "store/schemas.h"
#include "store/table.h"

namespace tessaro::test {

inline QByteArray readFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

// Record count in the header of the file at `path`.
inline quint32 headerCount(const QString& path) {
  const QByteArray b = readFile(path);
  if (b.size() < 8) return 0;
  quint32 v = 0;
  for (int i = 7; i >= 4; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
  return v;
}

// Another program that holds a lock on the file at `path` (flock, shared or
// exclusive) from its construction until its destruction.
class AnotherProgramLocks {
 public:
  AnotherProgramLocks(const QString& path, bool exclusive) {
    if (pipe(ready_) != 0 || pipe(release_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
      const char c = fd >= 0 && ::flock(fd, exclusive ? LOCK_EX : LOCK_SH) == 0 ? 'y' : 'n';
      (void)!::write(ready_[1], &c, 1);
      char done;
      (void)!::read(release_[0], &done, 1);
      _exit(0);
    }
    // The parent keeps only its ends, so that a child that dies early gives
    // end-of-file instead of a read that waits for ever.
    ::close(ready_[1]);
    ::close(release_[0]);
    ready_[1] = release_[0] = -1;
    char c = 0;
    locked_ = ::read(ready_[0], &c, 1) == 1 && c == 'y';
  }
  ~AnotherProgramLocks() {
    (void)!::write(release_[1], "x", 1);
    int status = -1;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    for (int fd : {ready_[0], ready_[1], release_[0], release_[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }
  AnotherProgramLocks(const AnotherProgramLocks&) = delete;
  AnotherProgramLocks& operator=(const AnotherProgramLocks&) = delete;
  // Whether the other program got its lock.
  bool locked() const { return locked_; }

 private:
  int ready_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool locked_ = false;
};

}  // namespace tessaro::test
