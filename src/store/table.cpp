#include "table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>

#include "store/gbk.h"

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

std::array<char, 7> headerDateAndCount(std::uint32_t count) {
  const core::Date d = dbf::today();
  std::array<char, 7> b{};
  b[0] = static_cast<char>(std::clamp(d.year - 1900, 0, 255));
  b[1] = static_cast<char>(d.month);
  b[2] = static_cast<char>(d.day);
  for (int i = 0; i < 4; ++i) b[3 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  return b;
}

std::uint32_t u32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

// Fsyncs the folder of `path`, so that a rename in it is durable.
void syncFolder(const QString& path) {
  const int dfd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The records of one table file, shared by every Table of this program that
// has the file open.

class SharedTableFile : public std::enable_shared_from_this<SharedTableFile> {
 public:
  ~SharedTableFile() {
    registry().erase(key_);
    if (fd_ >= 0) ::close(fd_);
  }

  // The shared records of the file at `nativePath` when this program has it open.
  static std::shared_ptr<SharedTableFile> find(const QByteArray& nativePath) {
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0) return nullptr;
    const auto it = registry().find(std::make_pair(st.st_dev, st.st_ino));
    return it == registry().end() ? nullptr : it->second.lock();
  }

  // Opens the file at `path` for this program: one descriptor that holds the
  // program's lock on it, shared or exclusive.
  static std::shared_ptr<SharedTableFile> openFile(const QString& path, const QString& name, bool exclusive,
                                                   QString* error) {
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
      if (fd < 0) return failedOpen(error, QStringLiteral("不能打开表文件 %1：%2").arg(name, systemError()));
      if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        const QString why = systemError();
        ::close(fd);
        if (busy && exclusive) return failedOpen(error, busyText(name));
        if (busy) return failedOpen(error, QStringLiteral("表文件 %1 正被其他程序独占使用，不能打开").arg(name));
        return failedOpen(error, QStringLiteral("不能锁定表文件 %1：%2").arg(name, why));
      }
      struct stat byFd {};
      struct stat byName {};
      if (::fstat(fd, &byFd) != 0 || ::stat(native.constData(), &byName) != 0 || byFd.st_dev != byName.st_dev ||
          byFd.st_ino != byName.st_ino) {
        ::close(fd);
        continue;
      }
      const auto key = std::make_pair(byFd.st_dev, byFd.st_ino);
      auto file = std::shared_ptr<SharedTableFile>(new SharedTableFile);
      file->path_ = path;
      file->name_ = name;
      file->fd_ = fd;
      file->noWrite_ = noWrite;
      file->exclusive_ = exclusive;
      if (!file->load(error)) return nullptr;
      file->key_ = key;
      registry()[key] = file;
      return file;
    }
    return failedOpen(error, QStringLiteral("不能打开表文件 %1：文件在打开时被替换").arg(name));
  }

  // Turns this program's shared lock into an exclusive one; false when
  // another program has the file open.
  bool lockExclusively(QString* error) {
    if (exclusive_) return true;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      exclusive_ = true;
      return true;
    }
    const bool busy = errno == EWOULDBLOCK;
    const QString why = systemError();
    // A lock that could not be converted may be gone: take the shared one again.
    ::flock(fd_, LOCK_SH | LOCK_NB);
    return fail(error, busy ? busyText(name_) : QStringLiteral("不能锁定表文件 %1：%2").arg(name_, why));
  }

  // Whether an open cursor claims exclusive use.
  bool claimedExclusively() const {
    return std::any_of(cursors_.begin(), cursors_.end(),
                       [](const Table* t) { return t->mode_ == Table::Mode::Exclusive; });
  }
  bool lockedExclusively() const { return exclusive_; }

  // Every cursor but `keeper` leaves the record it edits (posting a change),
  // so that nothing is lost when the records are replaced.
  bool settleCursors(const Table* keeper, QString* error) {
    const auto cursors = cursors_;
    for (Table* t : cursors) {
      if (t == keeper || t->state_ == Table::State::Browse) continue;
      if (!t->leaveRecord()) return fail(error, t->errorString());
    }
    return true;
  }

  const dbf::Layout& layout() const { return layout_; }
  std::int64_t count() const { return count_; }
  const char* record(std::int64_t i) const { return bytes_.data() + start_ + i * layout_.recordLength; }
  bool isLive(std::int64_t i) const { return record(i)[0] != dbf::kDeletedFlag; }
  bool readOnly() const { return noWrite_ || structural_; }
  bool damaged() const { return structural_; }
  QString damage() const { return damage_; }
  std::uint64_t generation() const { return generation_; }
  const QString& path() const { return path_; }

  void attach(Table* t) { cursors_.push_back(t); }
  void detach(Table* t) { cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), t), cursors_.end()); }

  QString whyReadOnly() const {
    if (structural_) return QStringLiteral("表文件 %1 已损坏，只能读取，不能修改（“整理数据库”能修复看得出本来结构的表文件）").arg(name_);
    return QStringLiteral("表文件 %1 没有写入权限，只能读取").arg(name_);
  }

  // Writes record `i` with the bytes `rec`.
  bool update(std::int64_t i, const char* rec, QString* error) {
    if (readOnly()) return fail(error, whyReadOnly());
    if (!isLive(i)) return fail(error, QStringLiteral("表文件 %1 的这条记录已被删除，修改没有保存").arg(name_));
    const int rl = layout_.recordLength;
    HeaderLock lock(fd_);
    if (!lock.locked()) return fail(error, lockError());
    if (!writeAll(fd_, rec, std::size_t(rl), off_t(start_ + i * rl))) return fail(error, writeError());
    std::memcpy(bytes_.data() + start_ + i * rl, rec, std::size_t(rl));
    if (!touchHeader(count_, error)) return false;
    notify(i, Table::Change::Updated);
    return true;
  }

  // Appends the record `rec` after the last record in the file; its number.
  std::optional<std::int64_t> append(const char* rec, QString* error) {
    if (readOnly()) return failed(error, whyReadOnly());
    const int rl = layout_.recordLength;
    HeaderLock lock(fd_);
    if (!lock.locked()) return failed(error, lockError());
    // Another program may have appended records since we read the file.
    char countBytes[4];
    if (!readAll(fd_, countBytes, 4, dbf::kCountOffset)) return failed(error, writeError());
    const std::int64_t onDisk = u32(countBytes);
    if (onDisk < count_) {
      return failed(error, QStringLiteral("表文件 %1 被其他程序改动过（记录变少了），新记录没有保存").arg(name_));
    }
    const std::int64_t had = count_;
    if (onDisk > count_) {
      std::vector<char> more(std::size_t((onDisk - count_) * rl));
      if (!readAll(fd_, more.data(), more.size(), off_t(start_ + count_ * rl))) {
        return failed(error, QStringLiteral("表文件 %1 被其他程序改动过（记录数与文件不符），新记录没有保存").arg(name_));
      }
      bytes_.insert(bytes_.end(), more.begin(), more.end());
      count_ = onDisk;
    }
    // The record and the end-of-file mark first, then the count: a crash in
    // between leaves the old count, which still describes a whole table.
    std::vector<char> out(rec, rec + rl);
    out.push_back(dbf::kEofMark);
    if (!writeAll(fd_, out.data(), out.size(), off_t(start_ + count_ * rl))) return failed(error, writeError());
    bytes_.insert(bytes_.end(), rec, rec + rl);
    const std::int64_t added = count_++;
    if (!touchHeader(count_, error)) {
      bytes_.resize(bytes_.size() - std::size_t(rl));
      --count_;
      return std::nullopt;
    }
    for (std::int64_t i = had; i < added; ++i) notify(i, Table::Change::Appended);
    notify(added, Table::Change::Appended);
    return added;
  }

  bool markDeleted(std::int64_t i, QString* error) {
    if (readOnly()) return fail(error, whyReadOnly());
    HeaderLock lock(fd_);
    if (!lock.locked()) return fail(error, lockError());
    const char flag = dbf::kDeletedFlag;
    if (!writeAll(fd_, &flag, 1, off_t(start_ + i * layout_.recordLength))) return fail(error, writeError());
    if (!touchHeader(count_, error)) return false;
    // The cursors take the record out of their views before it is marked.
    notify(i, Table::Change::Deleted);
    bytes_[std::size_t(start_ + i * layout_.recordLength)] = flag;
    return true;
  }

  // Re-reads the file; true when it changed.
  bool reload(QString* error, bool* changed) {
    const std::vector<char> before = bytes_;
    const std::int64_t hadCount = count_;
    if (!load(error)) return false;
    *changed = count_ != hadCount || bytes_ != before;
    if (*changed) notify(-1, Table::Change::Reloaded);
    return true;
  }

  // Replaces the file with one that holds the live records only, so that a
  // crash at any moment leaves the old file or the new one whole. A file
  // whose header lies is written with the layout its own structure shows, and
  // `mended` lists what that changed; when the layout cannot be told beyond
  // doubt, the file is left byte for byte.
  bool pack(QString* error, QStringList* mended) {
    mended->clear();
    if (noWrite_) return fail(error, whyReadOnly());
    QByteArray data;
    if (structural_) {
      std::vector<char> all;
      if (!readWhole(&all, error)) return false;
      QString why;
      const auto mend = dbf::planMend(QByteArrayView(all.data(), qsizetype(all.size())), &why);
      if (!mend) {
        return fail(error, damage_ + QStringLiteral("看不出它本来的结构（%1），没有整理，文件保持原样。").arg(why));
      }
      data = packedFile(mend->layout, all.data() + mend->layout.headerLength, mend->records);
      *mended = mend->changes;
    } else {
      data = packedFile(layout_, bytes_.data() + start_, count_);
    }

    QByteArray tmpl = QFile::encodeName(QFileInfo(path_).absolutePath() + QStringLiteral("/.pack-XXXXXX"));
    const int tfd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (tfd < 0) return fail(error, QStringLiteral("整理表文件 %1 失败：不能建立临时文件（%2）").arg(name_, systemError()));
    auto abandon = [&](const QString& why) {
      ::close(tfd);
      ::unlink(tmpl.constData());
      return fail(error, QStringLiteral("整理表文件 %1 失败：%2").arg(name_, why));
    };
    struct stat st {};
    if (::fstat(fd_, &st) == 0) ::fchmod(tfd, st.st_mode & 07777);
    if (!writeAll(tfd, data.constData(), std::size_t(data.size()), 0) || ::fsync(tfd) != 0) return abandon(systemError());
    // The new file is locked for this program before anyone can open it by name.
    if (::flock(tfd, LOCK_EX | LOCK_NB) != 0) return abandon(systemError());
    const QByteArray native = QFile::encodeName(path_);
    if (::rename(tmpl.constData(), native.constData()) != 0) return abandon(systemError());
    syncFolder(path_);

    ::close(fd_);
    fd_ = tfd;
    exclusive_ = true;
    registry().erase(key_);
    if (::fstat(fd_, &st) == 0) key_ = std::make_pair(st.st_dev, st.st_ino);
    registry()[key_] = weak_from_this();
    if (!load(error)) return false;
    ++generation_;
    notify(-1, Table::Change::Repacked);
    return true;
  }

 private:
  using Key = std::pair<dev_t, ino_t>;
  static std::map<Key, std::weak_ptr<SharedTableFile>>& registry() {
    static std::map<Key, std::weak_ptr<SharedTableFile>> files;
    return files;
  }

  SharedTableFile() = default;

  static bool fail(QString* error, const QString& message) {
    *error = message;
    return false;
  }
  static std::optional<std::int64_t> failed(QString* error, const QString& message) {
    *error = message;
    return std::nullopt;
  }
  static std::shared_ptr<SharedTableFile> failedOpen(QString* error, const QString& message) {
    *error = message;
    return nullptr;
  }
  static QString busyText(const QString& name) {
    return QStringLiteral("表文件 %1 正在被其他程序使用，不能独占打开").arg(name);
  }

  // A new file of `count` records with `layout`, the records taken from
  // `records`, the deleted ones left out.
  static QByteArray packedFile(dbf::Layout layout, const char* records, std::int64_t count) {
    const int rl = layout.recordLength;
    std::int64_t live = 0;
    for (std::int64_t i = 0; i < count; ++i) live += records[i * rl] != dbf::kDeletedFlag ? 1 : 0;
    layout.productionIndex = 0;
    QByteArray data = dbf::buildHeader(layout, std::uint32_t(live), dbf::today());
    data.reserve(data.size() + live * rl + 1);
    for (std::int64_t i = 0; i < count; ++i) {
      const char* rec = records + i * rl;
      if (rec[0] == dbf::kDeletedFlag) continue;
      data.append(rec, rl);
      data[data.size() - rl] = dbf::kLiveFlag;
    }
    data.append(dbf::kEofMark);
    return data;
  }
  QString lockError() const { return QStringLiteral("不能锁定表文件 %1：%2").arg(name_, systemError()); }
  QString writeError() const { return QStringLiteral("写入表文件 %1 失败：%2").arg(name_, systemError()); }

  // Last-update date and record count; the first write also clears the flag
  // of a production index, which no longer matches the records.
  bool touchHeader(std::int64_t count, QString* error) {
    const auto b = headerDateAndCount(std::uint32_t(count));
    if (!writeAll(fd_, b.data(), b.size(), 1)) return fail(error, writeError());
    if (layout_.productionIndex != 0) {
      const char zero = 0;
      if (!writeAll(fd_, &zero, 1, dbf::kProductionIndexOffset)) return fail(error, writeError());
      layout_.productionIndex = 0;
    }
    return true;
  }

  // The whole file as it is on disk.
  bool readWhole(std::vector<char>* all, QString* error) {
    HeaderLock lock(fd_, F_RDLCK);
    if (!lock.locked()) return fail(error, lockError());
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return fail(error, QStringLiteral("不能读取表文件 %1：%2").arg(name_, systemError()));
    all->assign(std::size_t(st.st_size), '\0');
    if (!all->empty() && !readAll(fd_, all->data(), all->size(), 0)) {
      return fail(error, QStringLiteral("不能读取表文件 %1：%2").arg(name_, systemError()));
    }
    return true;
  }

  bool load(QString* error) {
    std::vector<char> all;
    if (!readWhole(&all, error)) return false;
    dbf::Scan scan = dbf::scanStructure(QByteArrayView(all.data(), qsizetype(all.size())));
    if (!scan.usable) return fail(error, dbf::damageSentence(name_, scan.problems));
    const int hl = scan.layout.headerLength;
    dbf::scanContents(scan, all.data() + hl);
    all.resize(std::size_t(hl) + std::size_t(scan.records) * scan.layout.recordLength);
    bytes_ = std::move(all);
    start_ = hl;
    count_ = scan.records;
    layout_ = scan.layout;
    structural_ = scan.structural;
    damage_ = scan.problems.isEmpty() ? QString() : dbf::damageSentence(name_, scan.problems);
    return true;
  }

  void notify(std::int64_t i, Table::Change change) {
    const auto cursors = cursors_;
    for (Table* t : cursors) t->recordChanged(i, change);
  }

  QString path_;
  QString name_;
  int fd_ = -1;            // holds this program's lock on the file
  bool exclusive_ = false;  // the lock is exclusive
  Key key_{};
  bool noWrite_ = false;
  bool structural_ = false;
  QString damage_;
  dbf::Layout layout_;
  std::vector<char> bytes_;  // header and records as read, without what follows the records
  std::int64_t start_ = 0;   // where the records start in bytes_
  std::int64_t count_ = 0;
  std::uint64_t generation_ = 1;
  std::vector<Table*> cursors_;
};

// ---------------------------------------------------------------------------

Table::Table(QObject* parent) : QObject(parent) {}

Table::~Table() { close(); }

bool Table::create(const QString& path, const std::vector<FieldSpec>& fields, QString* error, std::uint8_t version,
                   std::uint8_t languageDriver) {
  const QString name = QDir::toNativeSeparators(path);
  auto refuse = [&](const QString& why) {
    if (error) *error = QStringLiteral("不能建立表文件 %1：%2").arg(name, why);
    return false;
  };
  if (fields.empty() || fields.size() > 255) return refuse(QStringLiteral("字段个数须在 1 到 255 之间"));
  dbf::Layout layout;
  layout.version = version;
  layout.languageDriver = languageDriver;
  int offset = 1;
  static const QRegularExpression nameRule(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,9}$"));
  for (const FieldSpec& s : fields) {
    if (!nameRule.match(s.name).hasMatch()) return refuse(QStringLiteral("字段名“%1”不合规则").arg(s.name));
    if (layout.fieldIndex(s.name) >= 0) return refuse(QStringLiteral("字段名 %1 重复").arg(s.name));
    const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(s.type)));
    bool valid = false;
    switch (type) {
      case 'C': valid = s.length >= 1 && s.length <= 254 && s.decimals == 0; break;
      case 'N':
      case 'F': valid = s.length >= 1 && s.length <= 20 && s.decimals >= 0 && (s.decimals == 0 || s.decimals <= s.length - 2); break;
      case 'D': valid = s.length == 8 && s.decimals == 0; break;
      case 'L': valid = s.length == 1 && s.decimals == 0; break;
      default: break;
    }
    if (!valid) return refuse(QStringLiteral("字段 %1 的类型、宽度或小数位不合规则").arg(s.name));
    layout.fields.push_back(dbf::Field{s.name.toUpper(), type, s.length, s.decimals, offset});
    offset += s.length;
  }
  layout.recordLength = offset;
  QByteArray data = dbf::buildHeader(layout, 0, dbf::today());
  data.append(dbf::kEofMark);

  const QByteArray native = QFile::encodeName(path);
  QByteArray tmpl = QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.new-XXXXXX"));
  const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) return refuse(systemError());
  ::fchmod(fd, 0644 & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }());
  const bool written = writeAll(fd, data.constData(), std::size_t(data.size()), 0) && ::fsync(fd) == 0;
  ::close(fd);
  // link() never replaces an existing file, so a table is never overwritten.
  const bool linked = written && ::link(tmpl.constData(), native.constData()) == 0;
  const int savedErrno = errno;
  ::unlink(tmpl.constData());
  if (!linked) {
    errno = savedErrno;
    if (savedErrno == EEXIST) return refuse(QStringLiteral("文件已经存在"));
    return refuse(systemError());
  }
  syncFolder(path);
  return true;
}

// --- Opening --------------------------------------------------------------------

bool Table::open(const QString& folder, const QString& relativeName, Mode mode) {
  if (isOpen()) return true;
  const QString path = findFile(folder, relativeName);
  QString shown = relativeName;
  shown.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.isEmpty()) return fail(QStringLiteral("找不到表文件 %1").arg(shown));
  displayName_ = QDir(folder).relativeFilePath(path);
  if (displayName_.startsWith(QStringLiteral(".."))) displayName_ = path;
  error_.clear();
  mendReport_.clear();
  const QByteArray native = QFile::encodeName(path);
  // Every cursor of this program on a file shares its records and its lock;
  // only one of them at a time may claim exclusive use.
  auto file = SharedTableFile::find(native);
  QString why;
  if (file) {
    if (mode == Mode::Exclusive && file->claimedExclusively()) {
      return fail(QStringLiteral("表文件 %1 正在被使用，不能独占打开").arg(displayName_));
    }
    if (mode == Mode::Exclusive && !file->lockExclusively(&why)) return fail(why);
  } else {
    file = SharedTableFile::openFile(path, displayName_, mode == Mode::Exclusive, &why);
    if (!file) return fail(why);
  }
  file_ = std::move(file);
  mode_ = mode;
  file_->attach(this);
  state_ = State::Browse;
  orderField_ = -1;
  range_.reset();
  keys_.clear();
  modified_ = false;
  rebuildView();
  current_ = view_.empty() ? -1 : view_.front();
  bof_ = true;
  eof_ = view_.empty();
  announce();
  return true;
}

bool Table::open(const QString& path, Mode mode) {
  if (isOpen()) return true;
  const QFileInfo info(path);
  return open(info.absolutePath(), info.fileName(), mode);
}

bool Table::close() {
  if (!isOpen()) return true;
  bool ok = true;
  QString lost;
  if (state_ != State::Browse && !leaveRecord()) {
    ok = false;
    lost = error_;
    cancel();
  }
  file_->detach(this);
  file_.reset();
  state_ = State::Closed;
  view_.clear();
  keys_.clear();
  range_.reset();
  orderField_ = -1;
  current_ = -1;
  eof_ = bof_ = true;
  announce();
  if (!ok) return fail(QStringLiteral("%1；表已关闭，这条记录的修改没有保存").arg(lost));
  return true;
}

bool Table::isOpen() const { return file_ != nullptr; }
bool Table::isExclusive() const { return isOpen() && mode_ == Mode::Exclusive; }
bool Table::isReadOnly() const { return isOpen() && file_->readOnly(); }
bool Table::isDamaged() const { return isOpen() && file_->damaged(); }
QString Table::whyReadOnly() const { return isReadOnly() ? file_->whyReadOnly() : QString(); }
QString Table::tableType() const { return isOpen() ? QStringLiteral("DBASE") : QString(); }
QString Table::filePath() const { return isOpen() ? file_->path() : QString(); }
QString Table::displayName() const { return displayName_; }
QString Table::damageReport() const { return isOpen() ? file_->damage() : QString(); }

bool Table::refresh() {
  if (!requireOpen() || !leaveRecord()) return false;
  bool changed = false;
  QString why;
  if (!file_->reload(&why, &changed)) return fail(why);
  return true;
}

// --- Fields -------------------------------------------------------------------------

int Table::fieldCount() const { return isOpen() ? int(file_->layout().fields.size()) : 0; }

const dbf::Field& Table::fieldAt(int index) const { return file_->layout().fields.at(std::size_t(index)); }

int Table::fieldIndex(const QString& name) const { return isOpen() ? file_->layout().fieldIndex(name) : -1; }

// --- Position -----------------------------------------------------------------------

int Table::recordCount() const { return int(view_.size()); }

std::size_t Table::lowerBound(std::int64_t record) const {
  if (orderField_ < 0) return std::size_t(std::lower_bound(view_.begin(), view_.end(), record) - view_.begin());
  return std::size_t(std::lower_bound(view_.begin(), view_.end(), record,
                                      [this](std::int64_t a, std::int64_t b) { return less(a, b); }) -
                     view_.begin());
}

bool Table::first() {
  if (!requireOpen() || !leaveRecord()) return false;
  current_ = view_.empty() ? -1 : view_.front();
  bof_ = true;
  eof_ = view_.empty();
  announce();
  return true;
}

bool Table::last() {
  if (!requireOpen() || !leaveRecord()) return false;
  current_ = view_.empty() ? -1 : view_.back();
  bof_ = view_.empty();
  eof_ = view_.empty();
  announce();
  return true;
}

bool Table::next() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return true;
  }
  std::size_t p = current_ < 0 ? 0 : lowerBound(current_);
  if (current_ >= 0 && p < view_.size() && view_[p] == current_) ++p;
  if (p >= view_.size()) {
    current_ = view_.back();
    eof_ = true;
  } else {
    current_ = view_[p];
    eof_ = false;
  }
  bof_ = false;
  announce();
  return true;
}

bool Table::prior() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return true;
  }
  const std::size_t p = current_ < 0 ? 0 : lowerBound(current_);
  if (p == 0) {
    current_ = view_.front();
    bof_ = true;
  } else {
    current_ = view_[p - 1];
    bof_ = false;
  }
  eof_ = false;
  announce();
  return true;
}

bool Table::eof() const { return !isOpen() || eof_ || view_.empty(); }
bool Table::bof() const { return !isOpen() || bof_ || view_.empty(); }

int Table::row() const {
  if (state_ == State::Insert) return insertRow_;
  if (current_ < 0 || view_.empty()) return -1;
  const std::size_t p = lowerBound(current_);
  return (p < view_.size() && view_[p] == current_) ? int(p) : -1;
}

bool Table::moveTo(int row) {
  if (!requireOpen()) return false;
  if (row < 0 || row >= int(view_.size())) return fail(QStringLiteral("表文件 %1 没有第 %2 行").arg(displayName_).arg(row + 1));
  if (!leaveRecord()) return false;
  if (row >= int(view_.size())) return fail(QStringLiteral("表文件 %1 没有第 %2 行").arg(displayName_).arg(row + 1));
  current_ = view_[std::size_t(row)];
  eof_ = bof_ = false;
  announce();
  return true;
}

std::int64_t Table::recordNumber() const {
  if (!isOpen() || state_ == State::Insert) return -1;
  return current_;
}

Table::Bookmark Table::bookmark() const {
  if (!isOpen() || state_ == State::Insert || current_ < 0) return Bookmark{};
  return Bookmark{current_, file_->generation()};
}

bool Table::gotoBookmark(const Bookmark& b) {
  if (!requireOpen()) return false;
  if (!b.isValid() || b.generation != file_->generation() || b.record >= file_->count() || !file_->isLive(b.record)) {
    return fail(QStringLiteral("表文件 %1 里记住的记录已不存在").arg(displayName_));
  }
  if (!leaveRecord()) return false;
  const std::size_t p = lowerBound(b.record);
  if (p >= view_.size() || view_[p] != b.record) {
    return fail(QStringLiteral("表文件 %1 里记住的记录不在当前范围内").arg(displayName_));
  }
  current_ = b.record;
  eof_ = bof_ = false;
  announce();
  return true;
}

// --- Reading ------------------------------------------------------------------------

bool Table::fail(const QString& message) const {
  error_ = message;
  return false;
}

bool Table::requireOpen() const {
  if (isOpen()) return true;
  return fail(QStringLiteral("表文件 %1 没有打开").arg(displayName_.isEmpty() ? QStringLiteral("（未命名）") : displayName_));
}

const char* Table::currentRecord() const {
  if (!isOpen()) return nullptr;
  if (state_ == State::Edit || state_ == State::Insert) return buffer_.data();
  if (current_ < 0 || current_ >= file_->count()) return nullptr;
  return file_->record(current_);
}

QString Table::recordLabel() const {
  const char* rec = currentRecord();
  const int nameIndex = fieldIndex(QStringLiteral("NAME"));
  QString label;
  if (state_ == State::Insert) {
    label = QStringLiteral("新记录");
  } else {
    label = QStringLiteral("第 %1 条记录").arg(current_ + 1);
  }
  if (rec && nameIndex >= 0) {
    const dbf::Field& f = fieldAt(nameIndex);
    const std::string_view t = dbf::trimmed(std::string_view(rec + f.offset, f.length));
    bool ok = false;
    const QString name = gbk::decode(QByteArrayView(t.data(), qsizetype(t.size())), &ok);
    if (ok && !name.isEmpty()) label += QStringLiteral("（%1）").arg(name);
  }
  return label;
}

bool Table::fieldFailure(const QString& field, const QString& what, bool* ok) const {
  if (ok) *ok = false;
  return fail(QStringLiteral("表文件 %1 %2的字段 %3 %4").arg(displayName_, recordLabel(), field.toUpper(), what));
}

int Table::resolveField(const QString& field, bool* ok) const {
  if (!requireOpen()) {
    if (ok) *ok = false;
    return -1;
  }
  const int index = fieldIndex(field);
  if (index < 0) {
    if (ok) *ok = false;
    fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
    return -1;
  }
  if (!currentRecord()) {
    if (ok) *ok = false;
    fail(QStringLiteral("表文件 %1 没有当前记录，不能读字段 %2").arg(displayName_, field));
    return -1;
  }
  if (ok) *ok = true;
  return index;
}

QByteArray Table::rawBytes(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return QByteArray();
  const dbf::Field& f = fieldAt(index);
  return QByteArray(currentRecord() + f.offset, f.length);
}

QString Table::text(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return QString();
  const dbf::Field& f = fieldAt(index);
  const std::string_view bytes(currentRecord() + f.offset, f.length);
  if (f.type == 'D') {
    const auto d = dbf::parseDate(bytes);
    if (!d) {
      fieldFailure(field, QStringLiteral("的内容不是日期"), ok);
      return QString();
    }
    return *d ? QString::fromStdString(core::formatDate(**d)) : QString();
  }
  const std::string_view t = dbf::trimmed(bytes);
  bool valid = true;
  QString s = gbk::decode(QByteArrayView(t.data(), qsizetype(t.size())), &valid);
  if (!valid) fieldFailure(field, QStringLiteral("里有不是 GBK 的字节"), ok);
  return s;
}

std::optional<double> Table::value(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return std::nullopt;
  const dbf::Field& f = fieldAt(index);
  if (f.type == 'D' || f.type == 'L') {
    fieldFailure(field, QStringLiteral("不是数值字段"), ok);
    return std::nullopt;
  }
  const std::string_view t = dbf::trimmed(std::string_view(currentRecord() + f.offset, f.length));
  if (t.empty()) return std::nullopt;
  const auto v = core::parseNumber(t);
  if (!v) {
    fieldFailure(field, QStringLiteral("的内容“%1”不是数字").arg(gbk::decode(QByteArrayView(t.data(), qsizetype(t.size())))), ok);
    return std::nullopt;
  }
  return v;
}

double Table::number(const QString& field, bool* ok) const { return value(field, ok).value_or(0.0); }

int Table::integer(const QString& field, bool* ok) const {
  bool good = true;
  const double v = number(field, &good);
  if (!good) {
    if (ok) *ok = false;
    return 0;
  }
  const double r = std::round(v);
  if (r < double(INT_MIN) || r > double(INT_MAX)) {
    fieldFailure(field, QStringLiteral("的数值超出整数范围"), ok);
    return 0;
  }
  if (ok) *ok = true;
  return int(r);
}

std::optional<core::Date> Table::date(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return std::nullopt;
  const dbf::Field& f = fieldAt(index);
  if (f.type != 'D') {
    fieldFailure(field, QStringLiteral("不是日期字段"), ok);
    return std::nullopt;
  }
  const auto d = dbf::parseDate(std::string_view(currentRecord() + f.offset, f.length));
  if (!d) {
    fieldFailure(field, QStringLiteral("的内容不是日期"), ok);
    return std::nullopt;
  }
  return *d;
}

bool Table::isNull(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return true;
  const dbf::Field& f = fieldAt(index);
  const std::string_view t = dbf::trimmed(std::string_view(currentRecord() + f.offset, f.length));
  return t.empty() || (f.type == 'D' && t == "00000000");
}

// --- Changing records -------------------------------------------------------------

bool Table::edit() {
  if (!requireOpen()) return false;
  if (state_ == State::Edit || state_ == State::Insert) return true;
  if (view_.empty()) return append();
  if (file_->readOnly()) return fail(file_->whyReadOnly());
  if (current_ < 0 || row() < 0) current_ = view_.front();
  const char* rec = file_->record(current_);
  buffer_.assign(rec, rec + file_->layout().recordLength);
  editRecord_ = current_;
  modified_ = false;
  state_ = State::Edit;
  announce();
  return true;
}

bool Table::insert() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (file_->readOnly()) return fail(file_->whyReadOnly());
  const int r = row();
  insertRow_ = r < 0 ? 0 : r;
  buffer_.assign(std::size_t(file_->layout().recordLength), ' ');
  modified_ = false;
  state_ = State::Insert;
  eof_ = bof_ = false;
  announce();
  return true;
}

bool Table::append() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (file_->readOnly()) return fail(file_->whyReadOnly());
  insertRow_ = int(view_.size());
  buffer_.assign(std::size_t(file_->layout().recordLength), ' ');
  modified_ = false;
  state_ = State::Insert;
  eof_ = bof_ = false;
  announce();
  return true;
}

bool Table::post() {
  if (!requireOpen()) return false;
  if (state_ == State::Browse) return true;
  QString why;
  if (state_ == State::Edit) {
    if (modified_ && !file_->update(editRecord_, buffer_.data(), &why)) return fail(why);
    current_ = editRecord_;
  } else {
    const auto added = file_->append(buffer_.data(), &why);
    if (!added) return fail(why);
    current_ = *added;
  }
  state_ = State::Browse;
  buffer_.clear();
  modified_ = false;
  editRecord_ = -1;
  eof_ = bof_ = false;
  announce();
  return true;
}

void Table::cancel() {
  if (state_ != State::Edit && state_ != State::Insert) return;
  state_ = State::Browse;
  buffer_.clear();
  modified_ = false;
  editRecord_ = -1;
  if (current_ >= 0 && (current_ >= file_->count() || !file_->isLive(current_))) current_ = -1;
  if (current_ < 0 && !view_.empty()) current_ = view_.front();
  eof_ = bof_ = view_.empty();
  announce();
}

bool Table::leaveRecord() {
  switch (state_) {
    case State::Closed:
    case State::Browse:
      return true;
    case State::Edit:
    case State::Insert:
      if (modified_) return post();
      cancel();
      return true;
  }
  return true;
}

bool Table::deleteRecord() {
  if (!requireOpen()) return false;
  if (state_ == State::Insert) {
    cancel();
    return true;
  }
  if (state_ == State::Edit) cancel();
  if (current_ < 0 || row() < 0) return fail(QStringLiteral("表文件 %1 没有可删除的当前记录").arg(displayName_));
  QString why;
  if (!file_->markDeleted(current_, &why)) return fail(why);
  return true;
}

bool Table::requireEditing(const QString& field) const {
  if (!requireOpen()) return false;
  if (state_ != State::Edit && state_ != State::Insert) {
    return fail(QStringLiteral("表文件 %1 不在编辑状态，不能写字段 %2").arg(displayName_, field));
  }
  return true;
}

bool Table::writeField(int index, const QByteArray& bytes) {
  const dbf::Field& f = fieldAt(index);
  char* to = buffer_.data() + f.offset;
  std::memset(to, ' ', std::size_t(f.length));
  std::memcpy(to, bytes.constData(), std::size_t(std::min<qsizetype>(bytes.size(), f.length)));
  modified_ = true;
  announce();
  return true;
}

std::optional<QByteArray> Table::numberBytes(int index, double value) {
  const dbf::Field& f = fieldAt(index);
  if (!std::isfinite(value)) {
    fieldFailure(f.name, QStringLiteral("不能保存非有限的数值"), nullptr);
    return std::nullopt;
  }
  const std::string text = core::formatFixed(value, f.decimals, f.length);
  if (int(text.size()) > f.length) {
    fieldFailure(f.name,
                 QStringLiteral("放不下数值 %1（宽 %2，小数 %3 位）")
                     .arg(QString::fromStdString(core::formatGeneral(value)))
                     .arg(f.length)
                     .arg(f.decimals),
                 nullptr);
    return std::nullopt;
  }
  return QByteArray::fromStdString(text);
}

bool Table::setText(const QString& field, const QString& text) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  const QString t = text.trimmed();
  switch (f.type) {
    case 'C': {
      QString refused;
      const auto bytes = gbk::encode(text, &refused);
      if (!bytes) return fieldFailure(f.name, QStringLiteral("不能保存字符“%1”：GBK 里没有这个字").arg(refused), nullptr);
      return writeField(index, bytes->left(gbk::cutLength(*bytes, f.length)));
    }
    case 'N':
    case 'F': {
      if (t.isEmpty()) return writeField(index, QByteArray());
      const auto v = core::parseNumber(t.toStdString());
      if (!v) return fieldFailure(f.name, QStringLiteral("不能写入“%1”：不是数字").arg(text), nullptr);
      const auto bytes = numberBytes(index, *v);
      return bytes && writeField(index, *bytes);
    }
    case 'D': {
      if (t.isEmpty()) return writeField(index, QByteArray());
      static const QRegularExpression form(
          QStringLiteral("^(\\d{4})(?:-|年)?(\\d{2})(?:-|月)?(\\d{2})日?$"));
      const auto m = form.match(t);
      const core::Date d{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
      if (!m.hasMatch() || !dbf::isValidDate(d)) {
        return fieldFailure(f.name, QStringLiteral("不能写入“%1”：不是日期").arg(text), nullptr);
      }
      return setDate(field, d);
    }
    case 'L': {
      static const QString accepted = QStringLiteral("TtFfYyNn?");
      if (t.isEmpty()) return writeField(index, QByteArray());
      if (t.size() != 1 || !accepted.contains(t[0])) {
        return fieldFailure(f.name, QStringLiteral("不能写入“%1”：不是逻辑值").arg(text), nullptr);
      }
      return writeField(index, t.toUpper().toLatin1());
    }
    default:
      return fieldFailure(f.name, QStringLiteral("的类型 %1 不能写入").arg(QChar(f.type)), nullptr);
  }
}

bool Table::setNumber(const QString& field, double value) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  if (f.type == 'C') return setText(field, QString::fromStdString(core::formatGeneral(value)));
  if (!f.isNumeric()) return fieldFailure(f.name, QStringLiteral("不是数值字段，不能写入数字"), nullptr);
  const auto bytes = numberBytes(index, value);
  return bytes && writeField(index, *bytes);
}

bool Table::setInteger(const QString& field, int value) { return setNumber(field, double(value)); }

bool Table::setDate(const QString& field, const core::Date& d) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  if (f.type != 'D') return fieldFailure(f.name, QStringLiteral("不是日期字段，不能写入日期"), nullptr);
  if (!dbf::isValidDate(d)) return fieldFailure(f.name, QStringLiteral("不能写入无效的日期"), nullptr);
  return writeField(index, QStringLiteral("%1%2%3")
                               .arg(d.year, 4, 10, QLatin1Char('0'))
                               .arg(d.month, 2, 10, QLatin1Char('0'))
                               .arg(d.day, 2, 10, QLatin1Char('0'))
                               .toLatin1());
}

bool Table::clear(const QString& field) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  return writeField(index, QByteArray());
}

// --- Order, search, range ---------------------------------------------------------------

Table::Key Table::keyOf(std::int64_t record) const {
  Key k;
  const dbf::Field& f = fieldAt(orderField_);
  const std::string_view t = dbf::trimmed(std::string_view(file_->record(record) + f.offset, f.length));
  if (f.isNumeric()) {
    if (const auto v = core::parseNumber(t)) {
      k.null = false;
      k.number = *v;
    }
  } else {
    k.null = t.empty();
    k.text.assign(t);
  }
  return k;
}

std::optional<Table::Key> Table::keyFromVariant(const QVariant& v) const {
  const dbf::Field& f = fieldAt(orderField_);
  Key k;
  if (f.isNumeric()) {
    std::optional<double> n;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
      n = core::parseNumber(v.toString().toStdString());
    } else {
      bool ok = false;
      const double d = v.toDouble(&ok);
      if (ok) n = d;
    }
    if (!n) {
      fail(QStringLiteral("表文件 %1 的字段 %2 是数值，“%3”不是数字").arg(displayName_, f.name, v.toString()));
      return std::nullopt;
    }
    k.null = false;
    k.number = *n;
    return k;
  }
  QString refused;
  const auto bytes = gbk::encode(v.toString().trimmed(), &refused);
  if (!bytes) {
    fail(QStringLiteral("表文件 %1 的字段 %2 不能查找字符“%3”：GBK 里没有这个字").arg(displayName_, f.name, refused));
    return std::nullopt;
  }
  k.text = bytes->toStdString();
  k.null = k.text.empty();
  return k;
}

int Table::compareKeys(const Key& a, const Key& b) const {
  if (fieldAt(orderField_).isNumeric()) {
    if (a.null || b.null) return int(b.null) - int(a.null);
    return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  }
  const int c = a.text.compare(b.text);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool Table::less(std::int64_t a, std::int64_t b) const {
  const int c = compareKeys(keys_[std::size_t(a)], keys_[std::size_t(b)]);
  return c != 0 ? c < 0 : a < b;
}

bool Table::inRange(const Key& k) const {
  return !range_ || (compareKeys(range_->low, k) <= 0 && compareKeys(k, range_->high) <= 0);
}

void Table::rebuildView() {
  view_.clear();
  keys_.clear();
  const std::int64_t n = file_->count();
  if (orderField_ >= 0) {
    keys_.reserve(std::size_t(n));
    for (std::int64_t i = 0; i < n; ++i) keys_.push_back(keyOf(i));
  }
  view_.reserve(std::size_t(n));
  for (std::int64_t i = 0; i < n; ++i) {
    if (file_->isLive(i) && (orderField_ < 0 || inRange(keys_[std::size_t(i)]))) view_.push_back(i);
  }
  if (orderField_ >= 0) std::sort(view_.begin(), view_.end(), [this](std::int64_t a, std::int64_t b) { return less(a, b); });
}

void Table::placeOn(std::int64_t record) {
  if (view_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return;
  }
  std::size_t p = record < 0 ? 0 : lowerBound(record);
  if (p >= view_.size()) p = view_.size() - 1;
  current_ = view_[p];
  eof_ = bof_ = false;
}

void Table::stayOn(std::int64_t record) {
  if (record >= 0 && record < file_->count() && file_->isLive(record)) {
    current_ = record;
    eof_ = bof_ = false;
  } else {
    placeOn(-1);
  }
}

bool Table::setNaturalOrder() {
  if (!requireOpen() || !leaveRecord()) return false;
  orderField_ = -1;
  range_.reset();
  const std::int64_t was = current_;
  rebuildView();
  placeOn(was);
  announce();
  return true;
}

bool Table::setOrder(const QString& field) {
  if (!requireOpen() || !leaveRecord()) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2，不能按它排序").arg(displayName_, field));
  orderField_ = index;
  range_.reset();
  const std::int64_t was = current_;
  rebuildView();
  stayOn(was);
  announce();
  return true;
}

bool Table::setIndexTag(const QString& tag) {
  if (!requireOpen()) return false;
  // Every tag of the tables is named after the field it orders by.
  if (fieldIndex(tag) < 0) return fail(QStringLiteral("表文件 %1 没有索引标记 %2").arg(displayName_, tag));
  return setOrder(tag);
}

QString Table::orderField() const { return (isOpen() && orderField_ >= 0) ? fieldAt(orderField_).name : QString(); }

bool Table::findKey(const QVariant& key) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (orderField_ < 0) return fail(QStringLiteral("表文件 %1 没有选用索引，不能按关键字查找").arg(displayName_));
  const auto k = keyFromVariant(key);
  if (!k) return false;
  const auto it = std::lower_bound(view_.begin(), view_.end(), *k, [this](std::int64_t r, const Key& kk) {
    return compareKeys(keys_[std::size_t(r)], kk) < 0;
  });
  error_.clear();
  if (it == view_.end() || compareKeys(keys_[std::size_t(*it)], *k) != 0) return false;
  current_ = *it;
  eof_ = bof_ = false;
  announce();
  return true;
}

bool Table::setRange(const QVariant& low, const QVariant& high) {
  if (!requireOpen() || !leaveRecord()) return false;
  if (orderField_ < 0) return fail(QStringLiteral("表文件 %1 没有选用索引，不能设定范围").arg(displayName_));
  const auto lo = keyFromVariant(low);
  if (!lo) return false;
  const auto hi = keyFromVariant(high);
  if (!hi) return false;
  range_ = Range{*lo, *hi};
  rebuildView();
  placeOn(-1);
  bof_ = true;
  eof_ = view_.empty();
  announce();
  return true;
}

bool Table::cancelRange() {
  if (!requireOpen() || !leaveRecord()) return false;
  if (!range_) return true;
  range_.reset();
  const std::int64_t was = current_;
  rebuildView();
  stayOn(was);
  announce();
  return true;
}

// --- Changes made through any cursor ----------------------------------------------------

void Table::recordChanged(std::int64_t record, Change change) {
  switch (change) {
    case Change::Appended: {
      if (orderField_ >= 0) {
        keys_.resize(std::size_t(file_->count()));
        keys_[std::size_t(record)] = keyOf(record);
      }
      if (file_->isLive(record) && (orderField_ < 0 || inRange(keys_[std::size_t(record)]))) {
        view_.insert(view_.begin() + std::ptrdiff_t(lowerBound(record)), record);
      }
      break;
    }
    case Change::Updated: {
      if (orderField_ >= 0) {
        const std::size_t p = lowerBound(record);
        if (p < view_.size() && view_[p] == record) view_.erase(view_.begin() + std::ptrdiff_t(p));
        keys_[std::size_t(record)] = keyOf(record);
        if (inRange(keys_[std::size_t(record)])) view_.insert(view_.begin() + std::ptrdiff_t(lowerBound(record)), record);
      }
      break;
    }
    case Change::Deleted: {
      const std::size_t p = lowerBound(record);
      if (p < view_.size() && view_[p] == record) {
        view_.erase(view_.begin() + std::ptrdiff_t(p));
        if (current_ == record) {
          // On to the next record, or the previous one at the end.
          if (view_.empty()) {
            current_ = -1;
            eof_ = bof_ = true;
          } else {
            current_ = view_[std::min(p, view_.size() - 1)];
            eof_ = bof_ = false;
          }
        }
      } else if (current_ == record) {
        current_ = -1;
      }
      break;
    }
    case Change::Reloaded:
    case Change::Repacked: {
      if (state_ == State::Edit || state_ == State::Insert) {
        state_ = State::Browse;
        buffer_.clear();
        modified_ = false;
      }
      const std::int64_t was = change == Change::Reloaded ? current_ : -1;
      rebuildView();
      if (was >= 0 && was < file_->count() && file_->isLive(was) && row() >= 0) {
        current_ = was;
      } else {
        placeOn(-1);
        bof_ = true;
        eof_ = view_.empty();
      }
      break;
    }
  }
  announce();
}

// --- Display ------------------------------------------------------------------------

void Table::announce() {
  if (disabled_ > 0) {
    pending_ = true;
    return;
  }
  emit changed();
}

void Table::disableControls() { ++disabled_; }

void Table::enableControls() {
  if (disabled_ == 0) return;
  if (--disabled_ == 0 && pending_) {
    pending_ = false;
    emit changed();
  }
}

// --- Maintenance --------------------------------------------------------------------

bool Table::pack() {
  mendReport_.clear();
  if (!requireOpen() || !leaveRecord()) return false;
  if (!isExclusive()) return fail(QStringLiteral("表文件 %1 没有独占打开，不能整理").arg(displayName_));
  // The other cursors of this program step aside: their changes are posted
  // first, and they find the packed records afterwards.
  QString why;
  if (!file_->settleCursors(this, &why)) return fail(why);
  QStringList mended;
  if (!file_->pack(&why, &mended)) return fail(why);
  if (!mended.isEmpty()) {
    mendReport_ = QStringLiteral("表文件 %1 的表头与文件内容不符，已按文件本身的结构修复：%2。")
                      .arg(displayName_, mended.join(QStringLiteral("；")));
  }
  return true;
}

}  // namespace tessaro::store
