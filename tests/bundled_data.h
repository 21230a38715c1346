// A writable copy of the bundled data folder for tests.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>

namespace tessaro::test {

// Copies the repository's 数据库 into `base`/数据库 with writable files;
// false when a file could not be copied.
inline bool copyBundledData(const QString& base) {
  const QDir source(QStringLiteral(TESSARO_SOURCE_DIR "/数据库"));
  if (!QDir(base).mkpath(QStringLiteral("数据库"))) return false;
  for (const QString& f : source.entryList(QDir::Files)) {
    const QString to = base + QStringLiteral("/数据库/") + f;
    if (!QFile::copy(source.filePath(f), to)) return false;
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }
  return true;
}

}  // namespace tessaro::test
