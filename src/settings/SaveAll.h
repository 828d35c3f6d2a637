// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/SaveAllHost.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"

// Saving everything the settings file holds, and the reset of the screen layout.
namespace settings {

// The save-all: runs when the settings dialog closes with OK and whenever the program
// saves its data. It clears SettingsSaveFailed; copies the column widths, the address
// and keyword histories (at most 20 entries each) and the theme ("Default" when the
// selector has none) from `host` into `settings`; then writes, into one fresh read of the
// file at `path`, the window geometry and toolbar layout (`host`), and the settings
// (only when they were loaded). While a layout reset is pending it then erases every
// section whose name starts with "Sz_" and appends `defaultLayout`, the program's built-in
// layout text, byte for byte. The file is written once, through a temporary file, so a
// crash leaves the old or the new file whole. Last the custom lists are saved (`host`).
// Any failure, an exception from `host` included, sets SettingsSaveFailed and ends the
// save; the user is then told with an information message. While the loaded file was
// damaged (SettingsFileDamaged) only the custom lists are saved; a file found damaged
// only now is set aside before it is replaced.
void SaveAllSettings(const std::string& path, Settings& settings, SettingsState& state, SaveAllHost& host,
                     platform::Dialogs& dialogs, std::string_view defaultLayout);

// Erases every section whose name starts with "Sz_" in any letter case: the window
// geometry, the toolbar layouts, Sz_Headlist and Sz_ViewMode.
void EraseLayoutSections(IniFile& ini);

// The command "画面レイアウトのリセット": asks the user, and on Yes sets LayoutResetPending and
// says that the change comes with the next start. Returns whether the reset was chosen.
bool RequestLayoutReset(platform::Dialogs& dialogs, SettingsState& state);

}  // namespace settings
