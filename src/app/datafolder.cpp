#include "app/datafolder.h"

#include "store/folderlock.h"
#include "store/paths.h"

namespace tessaro::app {

QString programFolder() { return store::programFolder(); }

QString dataFolder(const QString& baseFolder) { return store::dataFolder(baseFolder); }

QString settingsFile(const QString& baseFolder) { return store::settingsFile(baseFolder); }

QString shownRelativeName(const QString& relativeName) {
  return QString(relativeName).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

DataFolderLock::DataFolderLock() : lock_(std::make_unique<store::FolderLock>()) {}

DataFolderLock::~DataFolderLock() = default;

bool DataFolderLock::acquire(const QString& dataFolder) { return lock_->acquire(dataFolder); }

QString DataFolderLock::errorString() const { return lock_->errorString(); }

}  // namespace tessaro::app
