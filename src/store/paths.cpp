#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace tessaro::store {

QString findFile(const QString& folder, const QString& relativeName) {
  const QStringList parts = relativeName.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
  QString at = folder.isEmpty() ? QStringLiteral(".") : folder;
  if (relativeName.startsWith(QLatin1Char('/'))) at = QStringLiteral("/");
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    const bool lastPart = i == parts.size() - 1;
    QDir dir(at);
    QString found;
    if (QFileInfo::exists(dir.filePath(part))) {
      found = part;
    } else {
      const QStringList entries =
          dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
      for (const QString& e : entries) {
        if (e.compare(part, Qt::CaseInsensitive) == 0) {
          found = e;
          break;
        }
      }
    }
    if (found.isEmpty()) return QString();
    at = dir.filePath(found);
    const QFileInfo info(at);
    if (lastPart ? !info.isFile() : !info.isDir()) return QString();
  }
  return at;
}

QString programFolder() { return QCoreApplication::applicationDirPath(); }

QString dataFolder(const QString& baseFolder) {
  const QString base = baseFolder.isEmpty() ? programFolder() : baseFolder;
  return QDir(base).filePath(kDataFolderName);
}

namespace {

// The file `name` of `folder` whatever the case of its name, or where it would be created.
QString fileIn(const QString& folder, const QString& name) {
  const QString found = findFile(folder, name);
  return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

}  // namespace

QString settingsFile(const QString& baseFolder) { return fileIn(dataFolder(baseFolder), kSettingsFileName); }

QString passwordFile(const QString& dataFolder) { return fileIn(dataFolder, kPasswordFileName); }

}  // namespace tessaro::store
