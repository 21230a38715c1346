// Where the data folder is.
#pragma once

#include <QString>

namespace tessaro::store {

// Name of the data folder beside the program.
inline const QString kDataFolderName = QStringLiteral("数据库");

// The folder that holds the data folder: the program's own folder unless a
// command-line program was told otherwise.
QString programFolder();

// The data folder under `baseFolder` (the program's folder when empty).
QString dataFolder(const QString& baseFolder = QString());

}  // namespace tessaro::store
