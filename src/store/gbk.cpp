#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tessaro::store::gbk {
namespace {

// How many bytes from the start are ASCII.
qsizetype asciiPrefix(QByteArrayView bytes) {
  qsizetype i = 0;
  const qsizetype n = bytes.size();
  for (std::uint64_t eight = 0; i + 8 <= n; i += 8) {
    std::memcpy(&eight, bytes.data() + i, 8);
    if (eight & 0x8080808080808080ull) break;
  }
  while (i < n && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

// One converter of each direction per thread, since opening a converter costs
// far more than converting a field. Both convert each text on its own
// (stateless). Their error flags stay set once raised, so errors are told
// from the output instead: no GBK text decodes to U+FFFD, and a character
// that GBK cannot hold is written as '?', a byte that is never the second
// byte of a GBK character.
QStringEncoder& encoder() {
  thread_local QStringEncoder e("GBK", QStringConverter::Flag::Stateless);
  return e;
}

QStringDecoder& decoder() {
  thread_local QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
  return d;
}

bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Whether the bytes end with the first byte of a double-byte character,
// which the decoder would drop without a word.
bool endsInsideCharacter(QByteArrayView bytes) {
  qsizetype i = 0;
  while (i < bytes.size()) i += isLead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
  return i > bytes.size();
}

// The decoder itself: a byte that is not GBK becomes U+FFFD, and so does a
// lead byte at the end without its trail byte.
QString decodeSlowly(QByteArrayView bytes, bool* ok) {
  QString text = decoder().decode(bytes);
  const bool cut = endsInsideCharacter(bytes);
  if (cut) text += QChar::ReplacementCharacter;
  if (ok) *ok = !cut && !text.contains(QChar::ReplacementCharacter);
  return text;
}

// What the decoder makes of every byte alone and of every lead byte
// followed by any byte, asked once. The decoder reads a text as the sequence
// of these units (a lead byte and the byte after it, or one byte; a byte
// after a lead byte that cannot follow it is read on its own, and no such
// byte is a lead byte), so a text decodes to what its units decode to.
struct DecodeTable {
  struct Entry {
    char16_t unit[2] = {};
    std::uint8_t count = 0;
    bool valid = false;  // no U+FFFD among the units
  };
  // The bytes 0x00 to 0xFF alone, then the pairs from kPairs on (see unitAt()).
  std::vector<Entry> entries;
  bool usable = true;  // every byte alone gave at most one UTF-16 unit, every pair at most two
};

constexpr std::size_t kPairs = 0x100;

std::size_t pairIndex(unsigned char lead, unsigned char trail) { return kPairs + std::size_t(lead - 0x81) * 256 + trail; }

// The entry of the unit that starts at byte `i` of the `n` bytes `b`, and
// how many bytes it takes (a lead byte at the end takes two, one of them
// missing), without a branch on the bytes.
std::size_t unitAt(const unsigned char* b, qsizetype i, qsizetype n, int* length) {
  const unsigned char c = b[i];
  const unsigned char trail = i + 1 < n ? b[i + 1] : 0;
  const bool lead = isLead(c);
  *length = lead ? 2 : 1;
  return lead && i + 1 < n ? pairIndex(c, trail) : c;
}

DecodeTable buildDecodeTable() {
  DecodeTable t;
  QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
  auto entry = [&](QByteArrayView bytes, qsizetype most) {
    const QString s = d.decode(bytes);
    DecodeTable::Entry e;
    if (s.size() > most) t.usable = false;
    e.count = std::uint8_t(std::min<qsizetype>(s.size(), 2));
    for (int i = 0; i < e.count; ++i) e.unit[i] = s[i].unicode();
    e.valid = !s.contains(QChar::ReplacementCharacter);
    return e;
  };
  t.entries.resize(pairIndex(0xFE, 0xFF) + 1);
  for (int c = 0; c <= 0xFF; ++c) {
    const char b = char(c);
    t.entries[std::size_t(c)] = entry(QByteArrayView(&b, 1), 1);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const char b[2] = {char(lead), char(trail)};
      t.entries[pairIndex(lead, trail)] = entry(QByteArrayView(b, 2), 2);
    }
  }
  return t;
}

const DecodeTable& decodeTable() {
  static const DecodeTable table = buildDecodeTable();
  return table;
}

bool encodesWhole(QStringView text, const QByteArray& bytes) {
  return bytes.count('?') == text.count(u'?');
}

}  // namespace

Result<QByteArray> encode(const QString& text) {
  QByteArray bytes = encoder().encode(text);
  if (encodesWhole(text, bytes)) return bytes;
  // The first character (a surrogate pair counts as one) that fails alone.
  QString refused;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QStringView one = QStringView(text).mid(i, n);
    const QByteArray probe = encoder().encode(one);
    if (!encodesWhole(one, probe)) {
      refused = one.toString();
      break;
    }
    i += n - 1;
  }
  return failure(refused);
}

QString decode(QByteArrayView bytes, bool* ok) {
  const qsizetype ascii = asciiPrefix(bytes);
  const qsizetype n = bytes.size();
  if (ascii == n) {
    if (ok) *ok = true;
    return QString::fromLatin1(bytes.data(), n);
  }
  const DecodeTable& table = decodeTable();
  if (!table.usable) return decodeSlowly(bytes, ok);
  // No unit gives more UTF-16 units than it has bytes; both of an entry's
  // units are written (one place more than the text may need).
  QString text(n + 1, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  char16_t* const begin = out;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  for (qsizetype i = 0; i < ascii; ++i) *out++ = b[i];
  bool valid = true;
  qsizetype i = ascii;
  while (i < n) {
    int length = 1;
    const DecodeTable::Entry& e = table.entries[unitAt(b, i, n, &length)];
    out[0] = e.unit[0];
    out[1] = e.unit[1];
    out += e.count;
    valid = valid && e.valid;
    i += length;
  }
  // A lead byte at the end without its trail byte.
  if (i > n) {
    *out++ = QChar::ReplacementCharacter;
    valid = false;
  }
  text.truncate(out - begin);
  if (ok) *ok = valid;
  return text;
}

bool isValid(QByteArrayView bytes) {
  qsizetype i = asciiPrefix(bytes);
  const qsizetype n = bytes.size();
  if (i == n) return true;
  const DecodeTable& table = decodeTable();
  if (!table.usable) {
    bool ok = false;
    (void)decodeSlowly(bytes, &ok);
    return ok;
  }
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  while (i < n) {
    const unsigned char c = b[i];
    if (c < 0x80) {
      ++i;
    } else if (isLead(c)) {
      if (i + 1 >= n || !table.entries[pairIndex(c, b[i + 1])].valid) return false;
      i += 2;
    } else {
      if (!table.entries[c].valid) return false;
      ++i;
    }
  }
  return true;
}

qsizetype cutLength(QByteArrayView bytes, qsizetype maxBytes) {
  if (bytes.size() <= maxBytes) return bytes.size();
  qsizetype i = 0;
  while (i < maxBytes) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const qsizetype n = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
    if (i + n > maxBytes) break;
    i += n;
  }
  return i;
}

}  // namespace tessaro::store::gbk
