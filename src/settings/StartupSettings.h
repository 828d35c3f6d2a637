// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace settings {

// The two settings needed before the main window exists.
struct StartupSettings {
  std::string ProgramTitle = "Plover";
  int Pausetime = 20;
};

// Reads Ev_Extension/ProgramTitle and Ev_Main/Pausetime from the settings file at
// `iniFileName`; a missing or unreadable file gives the defaults.
StartupSettings LoadStartupSettings(const std::string& iniFileName);

}  // namespace settings
