// libFuzzer target for the settings-file parser and writer.
//
// The input is split at NUL bytes into: file content, section, key, value and
// a second key (UTF-8); missing parts take the names the program uses. Besides
// the sanitizers, it checks what a write promises:
//   - a read of the written (section, key) gives the value back;
//   - writing the same value again changes nothing;
//   - the bytes that change all lie inside one line of the old file, so every
//     other line is kept byte for byte;
//   - another key of the section reads as before.
#include "store/profile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using tessaro::store::Profile;

namespace {

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "settings file check failed: %s\n", what);
  std::abort();
}

// A name without the blanks the format ignores around it (space, tab, VT,
// FF and the DOS end-of-file character ^Z).
QString bare(const QString& name) {
  qsizetype first = 0, last = name.size();
  auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == QChar(0x1A); };
  while (first < last && blank(name[first])) ++first;
  while (last > first && blank(name[last - 1])) --last;
  return name.mid(first, last - first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
  const QList<QByteArray> parts = input.split('\0');
  const QByteArray content = parts.value(0);
  const QString section = parts.size() > 1 ? QString::fromUtf8(parts[1]) : QStringLiteral("配方");
  const QString key = parts.size() > 2 ? QString::fromUtf8(parts[2]) : QStringLiteral("12");
  const QString value = parts.size() > 3 ? QString::fromUtf8(parts[3]) : QStringLiteral("K/NaO");
  const QString otherKey = parts.size() > 4 ? QString::fromUtf8(parts[4]) : QStringLiteral("13");

  const QString before = Profile::valueIn(content, section, key);
  if (before.size() > Profile::kMaxValueBytes) broken("value longer than the read limit");

  const auto first = Profile::withValue(content, section, key, value);
  if (!first) {
    if (first.error().isEmpty()) broken("refusal without a reason");
    return 0;
  }
  const QByteArray written = *first;
  if (Profile::valueIn(written, section, key) != value) broken("value does not read back");

  const auto again = Profile::withValue(written, section, key, value);
  if (!again) broken("second write refused");
  if (again.valueOr(QByteArray()) != written) broken("second write of the same value changed the file");

  // The changed bytes of the old file lie inside one line.
  qsizetype prefix = 0;
  while (prefix < content.size() && prefix < written.size() && content[prefix] == written[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < content.size() - prefix && suffix < written.size() - prefix &&
         content[content.size() - 1 - suffix] == written[written.size() - 1 - suffix])
    ++suffix;
  const QByteArray changed = content.mid(prefix, content.size() - prefix - suffix);
  if (changed.contains('\n') || changed.contains('\r')) broken("a line other than the written one changed");

  if (bare(otherKey).compare(bare(key), Qt::CaseInsensitive) != 0 &&
      Profile::valueIn(written, section, otherKey) != Profile::valueIn(content, section, otherKey))
    broken("another key of the section changed");
  return 0;
}
