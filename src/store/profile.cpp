#include "profile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <vector>

namespace tessaro::store {

namespace {

const char* const kCodec = "GBK";

// One line of the file: its bytes and the line end that followed them
// ("\r\n", "\n", "\r", or nothing on a last line without one).
struct Line {
  QByteArray text;
  QByteArray end;
};

std::vector<Line> splitLines(const QByteArray& content) {
  std::vector<Line> lines;
  qsizetype start = 0;
  const qsizetype n = content.size();
  while (start < n) {
    qsizetype i = start;
    while (i < n && content[i] != '\n' && content[i] != '\r') ++i;
    Line line;
    line.text = content.mid(start, i - start);
    if (i < n) {
      const qsizetype endLength = (content[i] == '\r' && i + 1 < n && content[i + 1] == '\n') ? 2 : 1;
      line.end = content.mid(i, endLength);
      i += endLength;
    }
    lines.push_back(std::move(line));
    start = i;
  }
  return lines;
}

QByteArray joinLines(const std::vector<Line>& lines) {
  QByteArray out;
  for (const Line& line : lines) out += line.text + line.end;
  return out;
}

// The blanks the profile format ignores around names and values. Only ASCII:
// a full-width blank (U+3000) in a caption is part of the caption.
bool isBlank(QChar c) {
  const char16_t u = c.unicode();
  return u == ' ' || u == '\t' || u == '\v' || u == '\f' || u == 0x1A;
}

QString trimBlanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.mid(first, last - first);
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Text of GBK bytes. A lead byte cut off by the end of the bytes becomes
// U+FFFD like any other invalid byte, so that a damaged name never matches a
// name it is not.
QString decode(const QByteArray& bytes) {
  QStringDecoder decoder(kCodec, QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString::fromLatin1(bytes);
  qsizetype i = 0;
  bool cut = false;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x81 && b <= 0xFE) {
      if (i + 1 == bytes.size()) cut = true;
      i += 2;
    } else {
      ++i;
    }
  }
  if (!cut) return decoder.decode(bytes);
  return decoder.decode(QByteArrayView(bytes).first(bytes.size() - 1)) + QChar(QChar::ReplacementCharacter);
}

enum class Kind { Blank, Comment, Section, Entry };

struct Parsed {
  Kind kind = Kind::Blank;
  QString name;   // section or key name, blanks removed
  QString value;  // entry value as it stands after '=', blanks removed
};

// Reads one line. A section header is decoded before it is taken apart: the
// second byte of a GBK character may be '[', ']' or '\\', so a byte-wise search
// would split characters. An entry is split at its first '=' byte, which is
// never part of a GBK character; name and value are decoded on their own, so
// that what follows '=' cannot change how the name reads.
Parsed parseLine(const QByteArray& bytes) {
  Parsed p;
  const QString text = trimBlanks(decode(bytes));
  if (text.isEmpty()) return p;
  if (text.startsWith(u';')) {
    p.kind = Kind::Comment;
    return p;
  }
  if (text.startsWith(u'[')) {
    const qsizetype close = text.indexOf(u']');
    if (close > 0) {
      p.kind = Kind::Section;
      p.name = trimBlanks(text.mid(1, close - 1));
      return p;
    }
    // A '[' without ']' is an entry line, as Windows reads it.
  }
  p.kind = Kind::Entry;
  const qsizetype eq = bytes.indexOf('=');
  if (eq < 0) {
    p.name = text;
  } else {
    p.name = trimBlanks(decode(bytes.left(eq)));
    p.value = trimBlanks(decode(bytes.mid(eq + 1)));
  }
  return p;
}

bool isQuote(QChar c) { return c == u'"' || c == u'\''; }

QString stripQuotes(const QString& value) {
  if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) return value.mid(1, value.size() - 2);
  return value;
}

// Where (section, key) is in the file.
struct Location {
  qsizetype section = -1;    // line of the first matching section header
  qsizetype key = -1;        // line of the first matching key in that section
  qsizetype lastEntry = -1;  // last entry line of that section (or its header)
};

Location locate(const std::vector<Line>& lines, const QString& section, const QString& key, QString* value) {
  Location at;
  for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
    const Parsed p = parseLine(lines[size_t(i)].text);
    if (p.kind == Kind::Section) {
      if (at.section >= 0) break;  // the matching section has ended
      if (sameName(p.name, section)) at.section = at.lastEntry = i;
    } else if (p.kind == Kind::Entry && at.section >= 0) {
      at.lastEntry = i;
      if (sameName(p.name, key)) {
        at.key = i;
        if (value) *value = p.value;
        break;
      }
    }
  }
  return at;
}

// GBK bytes of `text`; false when some character has no GBK code, with that
// character in *bad.
bool encode(const QString& text, QByteArray* out, QString* bad) {
  QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) {
    if (bad) bad->clear();
    return false;
  }
  QByteArray bytes = encoder.encode(text);
  if (!encoder.hasError() && decode(bytes) == text) {
    *out = std::move(bytes);
    return true;
  }
  // Find the first character that does not survive the round trip.
  if (bad) {
    bad->clear();
    qsizetype i = 0;
    while (i < text.size()) {
      const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
      const QString one = text.mid(i, len);
      QStringEncoder single(kCodec, QStringConverter::Flag::Stateless);
      const QByteArray b = single.encode(one);
      if (single.hasError() || decode(b) != one) {
        *bad = one;
        break;
      }
      i += len;
    }
  }
  return false;
}

// Bytes a character takes in GBK: one for ASCII, two otherwise (a character
// that GBK cannot hold, read from a damaged file, is counted as one).
int gbkLength(const QString& ch) {
  if (ch.size() == 1 && ch[0].unicode() < 0x80) return 1;
  QByteArray b;
  if (encode(ch, &b, nullptr)) return int(b.size());
  return 1;
}

// `value` cut to at most kMaxValueBytes bytes of GBK, at a character boundary.
QString limitValue(const QString& value) {
  if (value.size() * 2 <= Profile::kMaxValueBytes) return value;
  int bytes = 0;
  qsizetype i = 0;
  while (i < value.size()) {
    const qsizetype len = (value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) ? 2 : 1;
    const int b = gbkLength(value.mid(i, len));
    if (bytes + b > Profile::kMaxValueBytes) break;
    bytes += b;
    i += len;
  }
  return value.left(i);
}

bool hasLineBreakOrNul(const QString& text) {
  return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(u'\0'));
}

// The text that makes a read return `value` exactly: a value that a read
// would change (surrounding blanks, enclosing quotes) is put in double quotes,
// which the read removes again.
QString storedForm(const QString& value) {
  if (value.isEmpty()) return value;
  const bool blanks = isBlank(value.front()) || isBlank(value.back());
  const bool quoted = value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
  return (blanks || quoted) ? QChar(u'"') + value + QChar(u'"') : value;
}

}  // namespace

QString Profile::valueIn(const QByteArray& content, const QString& section, const QString& key) {
  const QString s = trimBlanks(section);
  const QString k = trimBlanks(key);
  if (s.isEmpty() || k.isEmpty()) return QString();
  QString value;
  const Location at = locate(splitLines(content), s, k, &value);
  if (at.key < 0) return QString();
  return limitValue(stripQuotes(value));
}

std::vector<Profile::Entry> Profile::entriesIn(const QByteArray& content, const QString& section) {
  std::vector<Entry> entries;
  const QString s = trimBlanks(section);
  if (s.isEmpty()) return entries;
  const std::vector<Line> lines = splitLines(content);
  bool inSection = false;
  for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
    const Parsed p = parseLine(lines[size_t(i)].text);
    if (p.kind == Kind::Section) {
      if (inSection) break;  // the matching section has ended
      inSection = sameName(p.name, s);
    } else if (p.kind == Kind::Entry && inSection && !p.name.isEmpty()) {
      const bool seen = std::any_of(entries.begin(), entries.end(),
                                    [&](const Entry& e) { return sameName(e.key, p.name); });
      if (!seen) entries.push_back(Entry{p.name, limitValue(stripQuotes(p.value)), int(i + 1)});
    }
  }
  return entries;
}

namespace {

// The GBK bytes of a section name, a key name and a value (in its stored form).
struct EncodedEntry {
  QByteArray section;
  QByteArray key;
  QByteArray value;
};

// Checks that the file can hold (section, key) = value and encodes them;
// `s` and `k` are the names without their blanks.
Result<EncodedEntry> encodeEntry(const QString& section, const QString& s, const QString& key, const QString& k,
                                 const QString& value) {
  if (s.isEmpty() || s.contains(u']') || hasLineBreakOrNul(s))
    return failure(QStringLiteral("节名“%1”不能使用：节名不能为空，也不能含有“]”或换行。").arg(section));
  if (k.isEmpty() || k.contains(u'=') || k.startsWith(u'[') || k.startsWith(u';') || hasLineBreakOrNul(k))
    return failure(QStringLiteral("[%1] 的键名“%2”不能使用：键名不能为空，不能以“[”或“;”开头，也不能含有“=”或换行。")
                       .arg(s, key));
  if (hasLineBreakOrNul(value)) return failure(QStringLiteral("[%1] %2 的值不能含有换行。").arg(s, k));

  EncodedEntry e;
  QString bad;
  if (!encode(s, &e.section, &bad))
    return failure(QStringLiteral("节名“%1”含有 GBK 编码无法保存的字符“%2”。").arg(s, bad));
  if (!encode(k, &e.key, &bad))
    return failure(QStringLiteral("[%1] 的键名“%2”含有 GBK 编码无法保存的字符“%3”。").arg(s, k, bad));
  if (!encode(value, &e.value, &bad))
    return failure(QStringLiteral("[%1] %2 的值“%3”含有 GBK 编码无法保存的字符“%4”。").arg(s, k, value, bad));
  if (e.value.size() > Profile::kMaxValueBytes)
    return failure(QStringLiteral("[%1] %2 的值长 %3 字节，超过了 %4 字节。")
                       .arg(s, k)
                       .arg(e.value.size())
                       .arg(Profile::kMaxValueBytes));
  encode(storedForm(value), &e.value, nullptr);
  return e;
}

// Puts the entry into `lines`: in place of the value of an existing key,
// else at the end of its section, else in a new section at the end.
void placeEntry(std::vector<Line>& lines, const QString& s, const QString& k, const EncodedEntry& e) {
  QByteArray newline = "\r\n";
  for (const Line& line : lines) {
    if (!line.end.isEmpty()) {
      newline = line.end;
      break;
    }
  }
  const Location at = locate(lines, s, k, nullptr);
  if (at.key >= 0) {
    // Keep the line up to and including '=' as it is. '=' is never the second
    // byte of a GBK character, so the first '=' byte is the separator.
    QByteArray& text = lines[size_t(at.key)].text;
    const qsizetype eq = text.indexOf('=');
    text = (eq < 0 ? text + '=' : text.left(eq + 1)) + e.value;
  } else if (at.section >= 0) {
    Line& before = lines[size_t(at.lastEntry)];
    if (before.end.isEmpty()) before.end = newline;
    lines.insert(lines.begin() + at.lastEntry + 1, Line{e.key + '=' + e.value, newline});
  } else {
    if (!lines.empty()) {
      if (lines.back().end.isEmpty()) lines.back().end = newline;
      if (parseLine(lines.back().text).kind != Kind::Blank) lines.push_back(Line{QByteArray(), newline});
    }
    lines.push_back(Line{'[' + e.section + ']', newline});
    lines.push_back(Line{e.key + '=' + e.value, newline});
  }
}

}  // namespace

Result<QByteArray> Profile::withValue(const QByteArray& content, const QString& section, const QString& key,
                                      const QString& value) {
  const QString s = trimBlanks(section);
  const QString k = trimBlanks(key);
  const auto entry = encodeEntry(section, s, key, k, value);
  if (!entry) return failure(entry.error());
  std::vector<Line> lines = splitLines(content);
  placeEntry(lines, s, k, *entry);
  return joinLines(lines);
}

QByteArray Profile::contentOf(const QString& file) {
  auto content = load(file, file);
  return content ? *content : QByteArray();
}

Result<QByteArray> Profile::load(const QString& file, const QString& shownName) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return failure(QStringLiteral("无法读取 %1：%2。").arg(shownName, f.errorString()));
  QByteArray content = f.readAll();
  if (f.error() != QFileDevice::NoError) return failure(QStringLiteral("无法读取 %1：%2。").arg(shownName, f.errorString()));
  return content;
}

QString Profile::read(const QString& file, const QString& section, const QString& key) {
  return valueIn(contentOf(file), section, key);
}

Result<void> Profile::write(const QString& file, const QString& section, const QString& key, const QString& value) {
  const Failure unable = failure(QStringLiteral("Unable to write to %1").arg(file));

  // An existing file that cannot be read is never replaced: the new file
  // would hold only this one value and every other setting would be lost.
  QByteArray content;
  const QFileInfo info(file);
  if (info.exists() || info.isSymLink()) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return unable;
    content = f.readAll();
    if (f.error() != QFileDevice::NoError) return unable;
  }

  const auto updated = withValue(content, section, key, value);
  if (!updated) return failure(QStringLiteral("无法写入设置文件 %1：%2").arg(file, updated.error()));

  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return unable;
  if (out.write(*updated) != updated->size()) {
    out.cancelWriting();
    return unable;
  }
  if (!out.commit()) return unable;
  return {};
}

}  // namespace tessaro::store
