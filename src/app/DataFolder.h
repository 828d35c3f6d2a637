// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"

namespace app {

// Looks up an environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;

// The environment of this process (HOME falls back to the password database).
Environment ProcessEnvironment();

// The per-user application data folder that "[APPDATA]" stands for, without a trailing
// "/": $XDG_DATA_HOME when it is set to an absolute path, otherwise $HOME/.local/share.
// Empty when neither is known.
std::string AppDataFolder(const Environment& environment);

// The folder of the running program, with a trailing "/" (from /proc/self/exe).
std::string RunningProgramFolder();

struct DataFolderLocation {
  std::string DataFolder;   // with a trailing "/"
  std::string IniFileName;  // DataFolder + "plover.ini"
};

// Finds the data folder from the location file plover.drv in the program folder: line
// `line` (1 for ordinary starts, 2 for starts with "/noinstall"), or its last line when
// it has fewer. "[APPDATA]", in any letter case, stands for `appDataFolder`; a relative
// path is taken relative to the program folder. Without the file, or when it has no line
// to take or the line is empty, the data folder is the program folder.
DataFolderLocation ResolveDataFolder(const std::string& programFolder, int line, const std::string& appDataFolder);

// The path with a trailing "/" added when it has none.
std::string WithTrailingSlash(std::string path);

// Keeps the data folder its user's alone, since it holds credentials and everything the
// user reads: a folder that the group or others may enter or read loses those
// permissions, and the user is told. A folder that is private already, one that does not
// exist yet (the program creates it private), one of another user and the program's own
// folder (data kept next to the program) are left as they are. True when the folder was
// changed.
bool MakeDataFolderPrivate(const std::string& dataFolder, platform::Dialogs& dialogs);

}  // namespace app
