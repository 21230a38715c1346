#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

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

QString templateDataFolder() {
  const QString folder = QDir(programFolder()).absoluteFilePath(QStringLiteral("../share/tessaro/") + kDataFolderName);
  return QFileInfo(folder).isDir() ? QDir::cleanPath(folder) : QString();
}

QString userBaseFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("Tessaro"));
}

namespace {

// The template is installed read-only; the user's copy is theirs to change.
void makeWritable(const QString& file) {
  QFile::setPermissions(file, QFile::permissions(file) | QFile::WriteOwner | QFile::ReadOwner);
}

// Copies the files and folders of `from` into the existing folder `to`.
bool copyContents(const QString& from, const QString& to, QString* error) {
  const QDir source(from);
  const QFileInfoList entries = source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo& entry : entries) {
    const QString target = QDir(to).filePath(entry.fileName());
    if (entry.isDir()) {
      if (!QDir().mkdir(target) || !copyContents(entry.filePath(), target, error)) {
        if (error->isEmpty()) *error = QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(target));
        return false;
      }
    } else {
      QFile file(entry.filePath());
      if (!file.copy(target)) {
        *error = QStringLiteral("无法把 %1 复制到 %2：%3")
                     .arg(QDir::toNativeSeparators(entry.filePath()), QDir::toNativeSeparators(target), file.errorString());
        return false;
      }
      makeWritable(target);
    }
  }
  return true;
}

}  // namespace

bool copyFolder(const QString& from, const QString& to, QString* error) {
  error->clear();
  const QFileInfo target(to);
  if (!QDir().mkpath(target.absolutePath())) {
    *error = QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(target.absolutePath()));
    return false;
  }
  // A unique temporary name: two programs starting at once never share one.
  QTemporaryDir partial(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral("-XXXXXX"));
  if (partial.isValid() && copyContents(from, partial.path(), error) && QDir().rename(partial.path(), to)) return true;
  // Another program may have made the same folder meanwhile.
  if (error->isEmpty() && QFileInfo(to).isDir() && !QDir(to).isEmpty()) return true;
  if (error->isEmpty()) *error = QStringLiteral("无法建立文件夹 %1。").arg(QDir::toNativeSeparators(to));
  return false;
}

void copyMissingFiles(const QString& from, const QString& to, const QString& pattern) {
  const QStringList names = QDir(from).entryList({pattern}, QDir::Files);
  for (const QString& name : names) {
    if (!findFile(to, name).isEmpty()) continue;
    const QString target = QDir(to).filePath(name);
    if (QFile::copy(QDir(from).filePath(name), target)) makeWritable(target);
  }
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
