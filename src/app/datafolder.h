// The data folder as the programs see it: where it is, its settings file,
// the relative name of a table file in it, and the lock that lets one
// program at a time change it.
#pragma once

#include <QString>

#include <memory>

namespace tessaro::store {
class FolderLock;
}

namespace tessaro::app {

// The folder that holds the data folder: the program's own folder.
QString programFolder();
// The data folder under `baseFolder` (the program's folder when empty).
QString dataFolder(const QString& baseFolder = QString());
// The settings file of the data folder under `baseFolder`.
QString settingsFile(const QString& baseFolder = QString());
// The relative name, under the folder that holds the data folder, of the
// table file `fileName` ("配方.DBF").
QString dataTableName(const QString& fileName);

class DataFolderLock {
 public:
  DataFolderLock();
  ~DataFolderLock();  // releases the lock
  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;

  // Takes the lock of the data folder `dataFolder` for this program. False
  // when another program holds it (or the folder cannot be opened);
  // errorString() then names the folder and, where the system tells, the
  // program that holds it.
  bool acquire(const QString& dataFolder);
  QString errorString() const;

 private:
  std::unique_ptr<store::FolderLock> lock_;
};

}  // namespace tessaro::app
