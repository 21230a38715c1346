#include "app/datafolder.h"

#include <QDir>
#include <QFileInfo>

#include "app/expansionsets.h"

#include "store/folderlock.h"
#include "store/paths.h"

namespace tessaro::app {

QString programFolder() { return store::programFolder(); }

namespace {

// The base folder before any copying: the choice, the variable, the portable
// layout, the user's data home.
QString preferredBaseFolder(const QString& chosen, const FolderPlaces& places) {
  if (!chosen.isEmpty()) return chosen;
  if (!places.variable.isEmpty()) return places.variable;
  if (QFileInfo(store::dataFolder(places.program)).isDir()) return places.program;
  if (!places.templateData.isEmpty()) return places.userBase;
  return places.program;
}

}  // namespace

FolderPlaces folderPlaces() {
  return {programFolder(), qEnvironmentVariable(kBaseFolderVariable), store::templateDataFolder(),
          store::userBaseFolder()};
}

BaseFolder chooseBaseFolder(const QString& chosen) { return chooseBaseFolder(chosen, folderPlaces()); }

BaseFolder chooseBaseFolder(const QString& chosen, const FolderPlaces& places) {
  BaseFolder base{preferredBaseFolder(chosen, places), QString()};
  if (places.templateData.isEmpty()) return base;
  const QString data = store::dataFolder(base.folder);
  if (QFileInfo(data).isDir()) {
    store::copyMissingFiles(places.templateData, data, kExpansionFilePrefix + QStringLiteral("*.ini"));
  } else if (!store::copyFolder(places.templateData, data, &base.error)) {
    base.error = QStringLiteral("无法在 %1 建立数据文件夹：%2").arg(QDir::toNativeSeparators(base.folder), base.error);
  }
  return base;
}

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
