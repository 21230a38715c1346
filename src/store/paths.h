// Where the data folder is.
#pragma once

#include <QString>

namespace tessaro::store {

// Name of the data folder beside the program.
inline const QString kDataFolderName = QStringLiteral("数据库");
// Names of the settings file and of the password file in the data folder.
inline const QString kSettingsFileName = QStringLiteral("KuTitle.ini");
inline const QString kPasswordFileName = QStringLiteral("Password.txt");

// The file `relativeName` names in `folder` whatever the letter case of its
// parts on disk ("数据库\性能.dbf" finds 数据库/性能.DBF); `relativeName` may
// use "\" or "/". An empty string when no such file exists.
QString findFile(const QString& folder, const QString& relativeName);

// The program's own folder, which holds the data folder unless a base folder
// is given.
QString programFolder();

// The data folder under `baseFolder` (the program's folder when empty).
QString dataFolder(const QString& baseFolder = QString());

// The settings file of the data folder under `baseFolder`, found whatever
// the letter case of its name; where it would be created when there is none.
QString settingsFile(const QString& baseFolder = QString());

// The bundled data folder an installed program starts a user's data from:
// share/tessaro/数据库 beside the program's bin folder. An empty string when
// there is none (a program run from its build folder).
QString templateDataFolder();

// The folder that holds an installed program's data folder by default:
// Tessaro in the user's data home ($XDG_DATA_HOME, else ~/.local/share).
QString userBaseFolder();

// Copies the folder `from` with its files to `to`, which must not exist yet.
// The copy is made under a temporary name beside `to` and renamed into place
// when complete, so that `to` never holds half a copy. False with a reason
// in `error` when it cannot be made.
bool copyFolder(const QString& from, const QString& to, QString* error);

// Copies the files of `from` whose names match the wildcard `pattern` into
// `to` where `to` has no file of that name (in any letter case); a file
// already there is never replaced. Files that cannot be copied are left out.
void copyMissingFiles(const QString& from, const QString& to, const QString& pattern);

// The password file of the data folder `dataFolder`, found whatever the
// letter case of its name; where it would be created when there is none.
QString passwordFile(const QString& dataFolder);

}  // namespace tessaro::store
