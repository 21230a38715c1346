#include "store/tablefile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>

namespace tessaro::store {

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool readAll(int fd, char* to, std::size_t n, off_t at) {
  while (n > 0) {
    const ssize_t got = ::pread(fd, to, n, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    to += got;
    n -= std::size_t(got);
    at += got;
  }
  return true;
}

bool writeAll(int fd, const char* from, std::size_t n, off_t at) {
  while (n > 0) {
    const ssize_t put = ::pwrite(fd, from, n, at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    from += put;
    n -= std::size_t(put);
    at += put;
  }
  return true;
}

// The lock on the header: written while a record is appended or the header
// changed, read while the file is read, so that no reader sees a record
// whose count is not yet in the header. An open-file-description lock, so
// that it neither depends on nor disturbs the other descriptors of this
// process.
class HeaderLock {
 public:
  explicit HeaderLock(int fd, short type = F_WRLCK) : fd_(fd) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 32;
    int rc;
    do {
      rc = ::fcntl(fd_, F_OFD_SETLKW, &fl);
    } while (rc < 0 && errno == EINTR);
    locked_ = rc == 0;
  }
  ~HeaderLock() {
    if (!locked_) return;
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 32;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
  }
  bool locked() const { return locked_; }

 private:
  int fd_;
  bool locked_ = false;
};

// Fsyncs the folder of `path`, so that a rename in it is durable.
void syncFolder(const QString& path) {
  const int dfd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

QString busyText(const QString& name) { return QStringLiteral("表文件 %1 正在被其他程序使用，不能独占打开").arg(name); }

// A new file with `layout` of the live records among the `count` records at
// `records`, followed by the records `more`.
QByteArray packedFile(dbf::Layout layout, const char* records, std::int64_t count, const std::vector<QByteArray>& more = {}) {
  const int rl = layout.recordLength;
  std::int64_t live = 0;
  for (std::int64_t i = 0; i < count; ++i) live += records[i * rl] != dbf::kDeletedFlag ? 1 : 0;
  const std::int64_t total = live + std::int64_t(more.size());
  layout.productionIndex = 0;
  QByteArray data = dbf::buildHeader(layout, std::uint32_t(total), today());
  data.reserve(data.size() + total * rl + 1);
  for (std::int64_t i = 0; i < count; ++i) {
    const char* rec = records + i * rl;
    if (rec[0] == dbf::kDeletedFlag) continue;
    data.append(rec, rl);
    data[data.size() - rl] = dbf::kLiveFlag;
  }
  for (const QByteArray& rec : more) {
    data.append(rec);
    data[data.size() - rl] = dbf::kLiveFlag;
  }
  data.append(dbf::kEofMark);
  return data;
}

using FileKey = std::pair<dev_t, ino_t>;

std::map<FileKey, std::weak_ptr<TableFile>>& registry() {
  static std::map<FileKey, std::weak_ptr<TableFile>> files;
  return files;
}

}  // namespace

struct TableFile::Handle {
  int fd = -1;  // holds this program's lock on the file
  FileKey key{};
};

TableFile::TableFile() : handle_(std::make_unique<Handle>()) {}

TableFile::~TableFile() {
  registry().erase(handle_->key);
  if (handle_->fd >= 0) ::close(handle_->fd);
}

std::shared_ptr<TableFile> TableFile::find(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return nullptr;
  const auto it = registry().find(std::make_pair(st.st_dev, st.st_ino));
  return it == registry().end() ? nullptr : it->second.lock();
}

Result<std::shared_ptr<TableFile>> TableFile::open(const QString& path, const QString& name, bool exclusive) {
  const QByteArray native = QFile::encodeName(path);
  // The lock is taken on the file the name leads to; if a pack replaced the
  // file in the meantime, take it again on the new one.
  for (int attempt = 0; attempt < 5; ++attempt) {
    bool noWrite = false;
    int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
      fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
      noWrite = true;
    }
    if (fd < 0) return failure(QStringLiteral("不能打开表文件 %1：%2").arg(name, systemError()));
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      const QString why = systemError();
      ::close(fd);
      if (busy && exclusive) return failure(busyText(name));
      if (busy) return failure(QStringLiteral("表文件 %1 正被其他程序独占使用，不能打开").arg(name));
      return failure(QStringLiteral("不能锁定表文件 %1：%2").arg(name, why));
    }
    struct stat byFd {};
    struct stat byName {};
    if (::fstat(fd, &byFd) != 0 || ::stat(native.constData(), &byName) != 0 || byFd.st_dev != byName.st_dev ||
        byFd.st_ino != byName.st_ino) {
      ::close(fd);
      continue;
    }
    auto file = std::shared_ptr<TableFile>(new TableFile);
    file->path_ = path;
    file->name_ = name;
    file->handle_->fd = fd;
    file->noWrite_ = noWrite;
    file->exclusive_ = exclusive;
    if (!file->load()) return failure(file->errorString());
    file->handle_->key = std::make_pair(byFd.st_dev, byFd.st_ino);
    registry()[file->handle_->key] = file;
    return file;
  }
  return failure(QStringLiteral("不能打开表文件 %1：文件在打开时被替换").arg(name));
}

Result<void> TableFile::create(const QString& path, const QByteArray& bytes) {
  const QByteArray native = QFile::encodeName(path);
  QByteArray tmpl = QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.new-XXXXXX"));
  const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) return failure(systemError());
  ::fchmod(fd, 0644 & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }());
  const bool written = writeAll(fd, bytes.constData(), std::size_t(bytes.size()), 0) && ::fsync(fd) == 0;
  ::close(fd);
  // link() never replaces an existing file, so a table is never overwritten.
  const bool linked = written && ::link(tmpl.constData(), native.constData()) == 0;
  const int savedErrno = errno;
  ::unlink(tmpl.constData());
  if (!linked) {
    errno = savedErrno;
    if (savedErrno == EEXIST) return failure(QStringLiteral("文件已经存在"));
    return failure(systemError());
  }
  syncFolder(path);
  return {};
}

bool TableFile::fail(const QString& message) {
  error_ = message;
  return false;
}

std::nullopt_t TableFile::refuse(const QString& message) {
  error_ = message;
  return std::nullopt;
}

bool TableFile::lockExclusively() {
  if (exclusive_) return true;
  if (::flock(handle_->fd, LOCK_EX | LOCK_NB) == 0) {
    exclusive_ = true;
    return true;
  }
  const bool busy = errno == EWOULDBLOCK;
  const QString why = systemError();
  // A lock that could not be converted may be gone: take the shared one again.
  ::flock(handle_->fd, LOCK_SH | LOCK_NB);
  return fail(busy ? busyText(name_) : QStringLiteral("不能锁定表文件 %1：%2").arg(name_, why));
}

bool TableFile::claimedExclusively() const {
  return std::any_of(cursors_.begin(), cursors_.end(), [](const Cursor* c) { return c->claimsExclusiveUse(); });
}

bool TableFile::settleCursors(const Cursor* keeper) {
  const auto cursors = cursors_;
  for (Cursor* c : cursors) {
    if (c != keeper && !c->settle()) return fail(c->settleError());
  }
  return true;
}

void TableFile::detach(Cursor* cursor) {
  cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), cursor), cursors_.end());
}

QString TableFile::whyReadOnly() const {
  if (structural_) return QStringLiteral("表文件 %1 已损坏，只能读取，不能修改（“整理数据库”能修复看得出本来结构的表文件）").arg(name_);
  return QStringLiteral("表文件 %1 没有写入权限，只能读取").arg(name_);
}

QString TableFile::lockError() const { return QStringLiteral("不能锁定表文件 %1：%2").arg(name_, systemError()); }
QString TableFile::writeError() const { return QStringLiteral("写入表文件 %1 失败：%2").arg(name_, systemError()); }

bool TableFile::update(std::int64_t i, const char* rec) {
  if (readOnly()) return fail(whyReadOnly());
  if (!isLive(i)) return fail(QStringLiteral("表文件 %1 的这条记录已被删除，修改没有保存").arg(name_));
  const int rl = layout_.recordLength;
  HeaderLock lock(handle_->fd);
  if (!lock.locked()) return fail(lockError());
  if (!writeAll(handle_->fd, rec, std::size_t(rl), off_t(start_ + i * rl))) return fail(writeError());
  deleted_ += int(rec[0] == dbf::kDeletedFlag) - int(!isLive(i));
  std::memcpy(bytes_.data() + start_ + i * rl, rec, std::size_t(rl));
  dbf::readNumbers(layout_, rec, numbers_.data() + std::size_t(i) * std::size_t(numberColumns_));
  if (!touchHeader(count_)) return false;
  notify(i, Change::Updated);
  return true;
}

std::optional<std::int64_t> TableFile::append(const char* rec) {
  if (readOnly()) return refuse(whyReadOnly());
  const int rl = layout_.recordLength;
  const int fd = handle_->fd;
  HeaderLock lock(fd);
  if (!lock.locked()) return refuse(lockError());
  // Another program may have appended records since we read the file.
  char countBytes[4];
  if (!readAll(fd, countBytes, 4, dbf::kCountOffset)) return refuse(writeError());
  const std::int64_t onDisk = dbf::u32(countBytes);
  if (onDisk < count_) {
    return refuse(QStringLiteral("表文件 %1 被其他程序改动过（记录变少了），新记录没有保存").arg(name_));
  }
  const std::int64_t had = count_;
  if (onDisk > count_) {
    std::vector<char> more(std::size_t((onDisk - count_) * rl));
    if (!readAll(fd, more.data(), more.size(), off_t(start_ + count_ * rl))) {
      return refuse(QStringLiteral("表文件 %1 被其他程序改动过（记录数与文件不符），新记录没有保存").arg(name_));
    }
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    count_ = onDisk;
    takeInFrom(had);
  }
  // The record and the end-of-file mark first, then the count: a crash in
  // between leaves the old count, which still describes a whole table.
  std::vector<char> out(rec, rec + rl);
  out.push_back(dbf::kEofMark);
  if (!writeAll(fd, out.data(), out.size(), off_t(start_ + count_ * rl))) return refuse(writeError());
  bytes_.insert(bytes_.end(), rec, rec + rl);
  const std::int64_t added = count_++;
  if (!touchHeader(count_)) {
    bytes_.resize(bytes_.size() - std::size_t(rl));
    --count_;
    takeInFrom(count_);
    return std::nullopt;
  }
  takeInFrom(added);
  for (std::int64_t i = had; i < added; ++i) notify(i, Change::Appended);
  notify(added, Change::Appended);
  return added;
}

bool TableFile::markDeleted(std::int64_t i) {
  if (readOnly()) return fail(whyReadOnly());
  HeaderLock lock(handle_->fd);
  if (!lock.locked()) return fail(lockError());
  const char flag = dbf::kDeletedFlag;
  if (!writeAll(handle_->fd, &flag, 1, off_t(start_ + i * layout_.recordLength))) return fail(writeError());
  if (!touchHeader(count_)) return false;
  // The cursors take the record out of their views before it is marked.
  notify(i, Change::Deleted);
  if (isLive(i)) ++deleted_;
  bytes_[std::size_t(start_ + i * layout_.recordLength)] = flag;
  return true;
}

bool TableFile::reload() {
  bool changed = false;
  if (!load(&changed)) return false;
  if (changed) notify(-1, Change::Reloaded);
  return true;
}

bool TableFile::pack() {
  mended_.clear();
  if (noWrite_) return fail(whyReadOnly());
  const QString packing = QStringLiteral("整理表文件 %1 失败").arg(name_);
  if (!structural_) return replaceWith(packedFile(layout_, bytes_.data() + start_, count_), packing);
  Bytes all;
  if (!readWhole(&all)) return false;
  const auto mend = dbf::planMend(QByteArrayView(all.data(), qsizetype(all.size())));
  if (!mend) return fail(damage_ + QStringLiteral("看不出它本来的结构（%1），没有整理，文件保持原样。").arg(mend.error()));
  if (!replaceWith(packedFile(mend->layout, all.data() + mend->layout.headerLength, mend->records), packing)) return false;
  mended_ = mend->changes;
  return true;
}

bool TableFile::rewrite(const std::vector<QByteArray>& records, bool keepRecords) {
  if (readOnly()) return fail(whyReadOnly());
  for (const QByteArray& rec : records) {
    if (rec.size() != layout_.recordLength) return fail(QStringLiteral("写入表文件 %1 失败：记录的长度与表不符").arg(name_));
  }
  return replaceWith(packedFile(layout_, bytes_.data() + start_, keepRecords ? count_ : 0, records),
                     QStringLiteral("写入表文件 %1 失败").arg(name_));
}

bool TableFile::replaceWith(const QByteArray& data, const QString& failed) {
  QByteArray tmpl = QFile::encodeName(QFileInfo(path_).absolutePath() + QStringLiteral("/.pack-XXXXXX"));
  const int tfd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (tfd < 0) return fail(QStringLiteral("%1：不能建立临时文件（%2）").arg(failed, systemError()));
  auto abandon = [&](const QString& why) {
    ::close(tfd);
    ::unlink(tmpl.constData());
    return fail(QStringLiteral("%1：%2").arg(failed, why));
  };
  struct stat st {};
  if (::fstat(handle_->fd, &st) == 0) ::fchmod(tfd, st.st_mode & 07777);
  if (!writeAll(tfd, data.constData(), std::size_t(data.size()), 0) || ::fsync(tfd) != 0) return abandon(systemError());
  // The new file is locked for this program before anyone can open it by name.
  if (::flock(tfd, LOCK_EX | LOCK_NB) != 0) return abandon(systemError());
  if (::rename(tmpl.constData(), QFile::encodeName(path_).constData()) != 0) return abandon(systemError());
  syncFolder(path_);

  ::close(handle_->fd);
  handle_->fd = tfd;
  // A lock that was shared is shared again on the new file (another program
  // that reads the folder takes no exclusive lock, so nothing comes between).
  if (!exclusive_) ::flock(tfd, LOCK_SH | LOCK_NB);
  registry().erase(handle_->key);
  if (::fstat(tfd, &st) == 0) handle_->key = std::make_pair(st.st_dev, st.st_ino);
  registry()[handle_->key] = weak_from_this();
  if (!load()) return false;
  ++generation_;
  notify(-1, Change::Repacked);
  return true;
}

bool TableFile::touchHeader(std::int64_t count) {
  const auto b = dbf::dateAndCount(today(), std::uint32_t(count));
  if (!writeAll(handle_->fd, b.data(), b.size(), dbf::kDateOffset)) return fail(writeError());
  if (layout_.productionIndex != 0) {
    const char zero = 0;
    if (!writeAll(handle_->fd, &zero, 1, dbf::kProductionIndexOffset)) return fail(writeError());
    layout_.productionIndex = 0;
  }
  return true;
}

bool TableFile::readWhole(Bytes* all) {
  HeaderLock lock(handle_->fd, F_RDLCK);
  if (!lock.locked()) return fail(lockError());
  struct stat st {};
  if (::fstat(handle_->fd, &st) != 0) return fail(QStringLiteral("不能读取表文件 %1：%2").arg(name_, systemError()));
  all->resize(std::size_t(st.st_size));
  if (!all->empty() && !readAll(handle_->fd, all->data(), all->size(), 0)) {
    return fail(QStringLiteral("不能读取表文件 %1：%2").arg(name_, systemError()));
  }
  return true;
}

bool TableFile::load(bool* changed) {
  Bytes all;
  if (!readWhole(&all)) return false;
  dbf::Scan scan = dbf::scanStructure(QByteArrayView(all.data(), qsizetype(all.size())));
  if (!scan.usable) return fail(dbf::damageSentence(name_, scan.problems));
  const int hl = scan.layout.headerLength;
  const int columns = dbf::numericFieldCount(scan.layout);
  std::vector<double, UninitializedAllocator<double>> numbers(std::size_t(scan.records) * std::size_t(columns));
  dbf::scanContents(scan, all.data() + hl, numbers.data());
  all.resize(std::size_t(hl) + std::size_t(scan.records) * scan.layout.recordLength);
  if (changed) *changed = scan.records != count_ || all != bytes_;
  bytes_ = std::move(all);
  start_ = hl;
  count_ = scan.records;
  deleted_ = scan.deleted;
  layout_ = scan.layout;
  lookup_.clear();
  numbers_ = std::move(numbers);
  numberColumns_ = columns;
  numberColumn_.clear();
  int column = 0;
  for (const dbf::Field& f : layout_.fields) numberColumn_.push_back(f.isNumeric() ? column++ : -1);
  structural_ = scan.structural;
  damage_ = scan.problems.isEmpty() ? QString() : dbf::damageSentence(name_, scan.problems);
  return true;
}

void TableFile::takeInFrom(std::int64_t from) {
  const auto columns = std::size_t(numberColumns_);
  numbers_.resize(std::size_t(count_) * columns);
  for (std::int64_t i = from; i < count_; ++i) {
    dbf::readNumbers(layout_, record(i), numbers_.data() + std::size_t(i) * columns);
    if (!isLive(i)) ++deleted_;
  }
}

void TableFile::notify(std::int64_t i, Change change) {
  const auto cursors = cursors_;
  for (Cursor* c : cursors) c->recordChanged(i, change);
}

}  // namespace tessaro::store
