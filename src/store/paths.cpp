#include "paths.h"

#include <QCoreApplication>
#include <QDir>

namespace tessaro::store {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

QString dataFolder(const QString& baseFolder) {
  const QString base = baseFolder.isEmpty() ? programFolder() : baseFolder;
  return QDir(base).filePath(kDataFolderName);
}

}  // namespace tessaro::store
