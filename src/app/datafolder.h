// The data folder as the programs see it: where it is, its settings file,
// the relative name of a table file in it, and the lock that lets one
// program at a time change it.
#pragma once

#include <QString>

#include <memory>

#include "store/paths.h"
#include "store/schemas.h"

namespace tessaro::store {
class FolderLock;
}

namespace tessaro::app {

// The folder that holds the data folder: the program's own folder.
QString programFolder();

// The environment variable that names the folder holding the data folder.
inline constexpr char kBaseFolderVariable[] = "TESSARO_DIR";

// Where the programs keep their data: the folder that holds 数据库.
struct BaseFolder {
  QString folder;
  QString error;  // why no data folder could be made there; empty when all is well
};

// The folder holding the data folder, in this order: `chosen` (the --dir of
// the command line) when not empty; else the folder TESSARO_DIR names; else
// the program's own folder when 数据库 is there (the portable layout); else,
// for an installed program, Tessaro in the user's data home. A chosen or
// default folder without 数据库 gets a copy of the installed template, and a
// data folder made by an earlier version gets the template's expansion factor
// sets it lacks (never replacing a file). Without a template (a program run
// from its build folder) nothing is made: the windows then name the missing
// tables.
BaseFolder chooseBaseFolder(const QString& chosen);

// The places that choice looks at, as this program finds them.
struct FolderPlaces {
  QString program;        // the program's own folder
  QString variable;       // the value of TESSARO_DIR
  QString templateData;   // the installed template, empty when none
  QString userBase;       // Tessaro in the user's data home
};
FolderPlaces folderPlaces();
BaseFolder chooseBaseFolder(const QString& chosen, const FolderPlaces& places);
// The data folder under `baseFolder` (the program's folder when empty).
QString dataFolder(const QString& baseFolder = QString());
// The settings file of the data folder under `baseFolder`.
QString settingsFile(const QString& baseFolder = QString());
// The relative name, under the folder that holds the data folder, of the
// table file `fileName` ("数据库\配方.DBF").
inline QString dataTableName(const QString& fileName) { return store::kDataFolderName + u'\\' + fileName; }
// A relative table name as messages show it ("数据库/配方.DBF").
QString shownRelativeName(const QString& relativeName);

// The relative names of the six tables.
inline const QString kFormulaTableName = dataTableName(QString::fromUtf16(store::schema::kFormulaFile));
inline const QString kTargetTableName = dataTableName(QString::fromUtf16(store::schema::kTargetFile));
inline const QString kResultTableName = dataTableName(QString::fromUtf16(store::schema::kResultFile));
inline const QString kPropertyTableName = dataTableName(QString::fromUtf16(store::schema::kPropertyFile));
inline const QString kMaterialLibraryName = dataTableName(QString::fromUtf16(store::schema::kMaterialLibraryFile));
inline const QString kTargetLibraryName = dataTableName(QString::fromUtf16(store::schema::kTargetLibraryFile));

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
