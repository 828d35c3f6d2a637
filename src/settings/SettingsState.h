// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace settings {

// What the program knows about its settings file besides the values, kept next to the
// settings record by its owner.
struct SettingsState {
  // Set when LoadSettings has read the file to its end. While it is clear no save writes
  // the keyed settings, because memory then holds defaults rather than the user's values.
  // It never goes back to false.
  bool SettingsLoaded = false;

  // Set when a save could not be completed; cleared at the start of each save-all, which
  // tells the user when it is set at the end.
  bool SettingsSaveFailed = false;

  // Set by the screen-layout reset command. It is deliberately never cleared: every
  // save-all of this run, the last one at program end included, must leave the default
  // layout in the file, or a later save would write the current layout back.
  bool LayoutResetPending = false;

  // Set by the start-up when the command line chose the view mode: FormViewMode is then
  // neither read from nor written to the file.
  bool ViewModeFromCommandLine = false;

  // Set when LoadSettings found the file damaged: it was set aside, the values that could
  // be read are in use, the record holds its item limits (ItemLimitsHeld), and no save
  // writes the file until the user has saved the settings (SettingsSavedByUser). Memory
  // then holds defaults for whatever could not be read; written over the file, they would
  // pass for the user's values at the next start.
  bool SettingsFileDamaged = false;

  // The copy the damaged file was set aside as; empty when none could be made.
  std::string DamagedSettingsCopy;
};

}  // namespace settings
