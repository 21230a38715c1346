#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tessaro::store::gbk {
namespace {

bool isAscii(QByteArrayView bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One converter of each direction per thread: opening a converter costs far
// more than converting a field. Each use starts from a cleared state, so an
// error of one text never shows on the next.
QStringEncoder& encoder() {
  thread_local QStringEncoder e("GBK", QStringConverter::Flag::Stateless);
  e.resetState();
  return e;
}

QStringDecoder& decoder() {
  thread_local QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
  d.resetState();
  return d;
}

}  // namespace

std::optional<QByteArray> encode(const QString& text, QString* refused) {
  QStringEncoder& encoder = gbk::encoder();
  QByteArray bytes = encoder.encode(text);
  if (!encoder.hasError()) return bytes;
  if (refused) {
    // Find the first character (a surrogate pair counts as one) that fails alone.
    for (qsizetype i = 0; i < text.size(); ++i) {
      const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
      QStringEncoder& one = gbk::encoder();
      const QByteArray probe = one.encode(QStringView(text).mid(i, n));
      if (one.hasError()) {
        *refused = text.mid(i, n);
        break;
      }
      i += n - 1;
    }
  }
  return std::nullopt;
}

QString decode(QByteArrayView bytes, bool* ok) {
  if (isAscii(bytes)) {
    if (ok) *ok = true;
    return QString::fromLatin1(bytes.data(), bytes.size());
  }
  QStringDecoder& decoder = gbk::decoder();
  QString text = decoder.decode(bytes);
  if (ok) *ok = !decoder.hasError();
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
