// SPDX-License-Identifier: MIT
#include "settings/StartupSettings.h"

#include "settings/SettingsFile.h"

namespace settings {

StartupSettings LoadStartupSettings(const std::string& iniFileName) {
  StartupSettings result;
  // A missing or unreadable file gives an empty object, and every read keeps its default.
  SettingsFile file = OpenSettingsFile(iniFileName);
  const IniFile& ini = file.Ini();
  result.ProgramTitle = ini.ReadString("Ev_Extension", "ProgramTitle", result.ProgramTitle);
  result.Pausetime = ini.ReadInteger("Ev_Main", "Pausetime", result.Pausetime);
  return result;
}

}  // namespace settings
