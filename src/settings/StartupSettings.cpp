// SPDX-License-Identifier: MIT
#include "settings/StartupSettings.h"

#include "settings/IniFile.h"

namespace settings {

StartupSettings LoadStartupSettings(const std::string& iniFileName) {
  StartupSettings result;
  IniFile ini;
  // A missing or unreadable file leaves the object empty, and every read keeps its default.
  ini.Load(iniFileName);
  result.ProgramTitle = ini.ReadString("Ev_Extension", "ProgramTitle", result.ProgramTitle);
  result.Pausetime = ini.ReadInteger("Ev_Main", "Pausetime", result.Pausetime);
  return result;
}

}  // namespace settings
