#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace tessaro::store::gbk {
namespace {

bool isAscii(QByteArrayView bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
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

// Whether the bytes end with the first byte of a double-byte character,
// which the decoder would drop without a word.
bool endsInsideCharacter(QByteArrayView bytes) {
  qsizetype i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    i += (c >= 0x81 && c <= 0xFE) ? 2 : 1;
  }
  return i > bytes.size();
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
  if (isAscii(bytes)) {
    if (ok) *ok = true;
    return QString::fromLatin1(bytes.data(), bytes.size());
  }
  QString text = decoder().decode(bytes);
  const bool cut = endsInsideCharacter(bytes);
  if (cut) text += QChar::ReplacementCharacter;
  if (ok) *ok = !cut && !text.contains(QChar::ReplacementCharacter);
  return text;
}

bool isValid(QByteArrayView bytes) {
  if (isAscii(bytes)) return true;
  bool ok = false;
  (void)decode(bytes, &ok);
  return ok;
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
