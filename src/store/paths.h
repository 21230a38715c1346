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

// The password file of the data folder `dataFolder`, found whatever the
// letter case of its name; where it would be created when there is none.
QString passwordFile(const QString& dataFolder);

}  // namespace tessaro::store
