// The GBK code page (936) of every text in the table files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "store/result.h"

namespace tessaro::store::gbk {

// The GBK bytes of `text`. When a character has no GBK code, the failure's
// reason is that character alone (the caller's message names it).
Result<QByteArray> encode(const QString& text);

// The text of GBK bytes. Bytes that are not GBK become U+FFFD and clear `ok`.
QString decode(QByteArrayView bytes, bool* ok = nullptr);

// Whether `bytes` are all valid GBK.
bool isValid(QByteArrayView bytes);

// The longest prefix of `bytes` not longer than `maxBytes` that does not end
// inside a double-byte character.
qsizetype cutLength(QByteArrayView bytes, qsizetype maxBytes);

}  // namespace tessaro::store::gbk
