// What the start-up of the desktop program needs of the data folder: where
// it is, and the lock that lets one program at a time change it.
#pragma once

#include "app/datafolder.h"

namespace tessaro::ui {

using app::BaseFolder;
using app::DataFolderLock;
using app::chooseBaseFolder;
using app::dataFolder;
using app::programFolder;

}  // namespace tessaro::ui
