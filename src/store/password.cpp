#include "password.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>


namespace tessaro::store {

namespace {

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

Failure unreadable(const QString& path, const QString& reason) {
  return failure(QStringLiteral("无法读取密码文件“%1”：%2").arg(nativePath(path), reason));
}

}  // namespace


Result<QString> readPassword(const QString& dataFolder) {
  const QString path = passwordFile(dataFolder);
  const QFileInfo info(path);
  if (!info.exists()) return QString();
  if (!info.isFile()) return unreadable(path, QStringLiteral("它不是文件。"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return unreadable(path, file.errorString());
  if (file.size() > kMaxPasswordFileBytes) return unreadable(path, QStringLiteral("文件过长，已损坏。"));
  const QByteArray bytes = file.read(kMaxPasswordFileBytes + 1);
  if (file.error() != QFileDevice::NoError) return unreadable(path, file.errorString());
  if (bytes.size() > kMaxPasswordFileBytes) return unreadable(path, QStringLiteral("文件过长，已损坏。"));
  QStringDecoder decoder(QStringConverter::Utf8);
  QString password = decoder.decode(bytes);
  if (decoder.hasError()) return unreadable(path, QStringLiteral("内容不是UTF-8文本，已损坏。"));
  return password;
}

Result<void> writePassword(const QString& dataFolder, const QString& password) {
  const QString path = passwordFile(dataFolder);
  auto fail = [&](const QString& reason) {
    return failure(QStringLiteral("无法写入密码文件“%1”：%2").arg(nativePath(path), reason));
  };
  // A lone surrogate has no UTF-8 form; written anyway it would come back as
  // a different text and lock the user out.
  const QByteArray bytes = password.toUtf8();
  if (QString::fromUtf8(bytes) != password) return fail(QStringLiteral("密码中有无法保存的字符。"));
  if (bytes.size() > kMaxPasswordFileBytes) return fail(QStringLiteral("密码过长。"));
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return fail(QStringLiteral("它不是文件。"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return fail(reason);
  }
  if (!file.commit()) return fail(file.errorString());
  return {};
}

}  // namespace tessaro::store
