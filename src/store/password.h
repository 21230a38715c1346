// The start-up password: one value for every user of this installation, kept
// in the file "数据库/Password.txt" beside the program.
//
// The whole file is the password as typed, in UTF-8, without a line end: no
// trimming, letter case kept, nothing scrambled. A missing file is the empty
// password, the state of an installation on which no password has been set.
// Every operation opens the file, does its work and closes it again; a write
// replaces the file atomically, so the old password stays valid when it fails.
#pragma once

#include <QString>

#include "store/paths.h"
#include "store/result.h"

namespace tessaro::store {

// A password file longer than this is damaged.
inline constexpr qint64 kMaxPasswordFileBytes = 64 * 1024;

// Reads the stored password. A missing file gives the empty password; a file
// that cannot be opened, is not a file, is too long or is not UTF-8 gives a
// failure naming the file (the empty password then applies).
Result<QString> readPassword(const QString& dataFolder);

// Stores `password` exactly as given. On failure leaves the old file as it
// was; the reason names the file.
Result<void> writePassword(const QString& dataFolder, const QString& password);

}  // namespace tessaro::store
