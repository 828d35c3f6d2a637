// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Dialogs.h"

namespace app {

// Moves the data of an older installation, kept in the program folder (`source`), into
// the data folder (`destination`), or into `source` + "backup/" when the user prefers a
// backup. Both folders end with "/". Nothing happens unless the source holds both
// plover.dat and plover.drv, or when both name the same folder. The user is asked twice
// and may skip the move. The "system" folder is moved; every "plover.*" file other than
// plover.exe, plover.txt and plover.drv is copied and then removed from the source. A
// file that fails does not stop the others. False when anything failed.
bool MigrateDataFolder(const std::string& source, const std::string& destination, platform::Dialogs& dialogs);

}  // namespace app
