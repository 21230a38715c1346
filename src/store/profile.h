// The settings file "数据库/KuTitle.ini": column captions and the molecular
// weights of the other oxides, in the Windows profile format, GBK encoded.
//
// The format, as the Windows profile functions read it:
//   [section]          a section header; the name runs to the first ']'
//   key=value          an entry of the section above it
//   ; text             a comment
// Lines end with CR LF, LF or CR. Section and key names are matched without
// regard to letter case and without their surrounding blanks; the first
// matching section, and in it the first matching key, counts. A value loses
// its surrounding blanks, and one pair of enclosing quotes ('...' or "...").
//
// Every operation opens the file, does its work and closes it again.
#pragma once

#include <QByteArray>
#include <QString>

#include "store/result.h"

#include <vector>

namespace tessaro::store {

class Profile {
public:
  // The longest value a read returns, in bytes of its GBK text.
  static constexpr int kMaxValueBytes = 2047;

  // The value of (section, key) in `file`; the empty text when the file,
  // the section or the key is missing or the file cannot be read. A longer
  // value is cut to kMaxValueBytes at a character boundary.
  static QString read(const QString& file, const QString& section, const QString& key);

  // Sets (section, key) to `value` in `file`. The file, the section and the
  // key are created when missing, an existing value is replaced; every other
  // line stays byte for byte as it was. The file is replaced atomically (a
  // new file written beside it, then renamed over it). On failure leaves the
  // file as it was; the reason is
  // "Unable to write to <file>" when the file cannot be read back or written,
  // or a message naming the section, the key and what is wrong when the
  // names or the value cannot be stored (a character GBK cannot hold, a line
  // break, a value longer than kMaxValueBytes, an empty or malformed name).
  static Result<void> write(const QString& file, const QString& section, const QString& key, const QString& value);

  // The bytes of `file`; none when it is missing or cannot be read, which
  // every read takes for a file without entries.
  static QByteArray contentOf(const QString& file);
  // The same, with the reason (naming `shownName`) when the file cannot be read.
  static Result<QByteArray> load(const QString& file, const QString& shownName);

  // The same two operations on the bytes of a settings file, without any
  // file access.
  static QString valueIn(const QByteArray& content, const QString& section, const QString& key);

  // An entry of a section: its key, its value as a read returns it, and the
  // line it stands on (counted from 1).
  struct Entry {
    QString key;
    QString value;
    int line = 0;
  };

  // The entries of `section` in `content`, in the order of the file: the
  // section and the keys are matched as a read matches them, so the first
  // matching section counts, and of equal keys only the first is listed.
  // Empty when the section is missing.
  static std::vector<Entry> entriesIn(const QByteArray& content, const QString& section);

  // `content` with (section, key) set to `value`; a failure, its reason not
  // naming any file, when the names or the value cannot be stored.
  static Result<QByteArray> withValue(const QByteArray& content, const QString& section, const QString& key,
                                      const QString& value);
};

}  // namespace tessaro::store
