// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace app {

// The switches of the command line.
struct CommandLine {
  bool Startup = false;         // "/startup": started at log-on
  bool Update = false;          // "/update": write the built-in files again
  bool NoInstall = false;       // "/noinstall" (also set by "/noinstalladmin")
  bool NoInstallAdmin = false;  // "/noinstalladmin": also move old data out of the program folder
  int ViewMode = 0;             // 1 standard, 2 list, 3 browser, 4 view; 0 when none was given
};

// Reads the switches from the arguments (without the program's own path). The slash
// switches are found anywhere in the arguments taken together, ignoring letter case, so
// "/noinstalladmin" also counts as "/noinstall". The display-mode switches "-r", "-l",
// "-b" and "-s" must each be a whole argument; the first of them wins.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace app
