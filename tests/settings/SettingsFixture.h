// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"
#include "settings/SettingsStore.h"
#include "support/TempDir.h"

namespace settings {

// 2024-05-17 13:45:30 in DOS packed form, the "now" of every test.
inline const int32_t kTestNow = DosPackedDateTime(2024, 5, 17, 13, 45, 30);

// A data folder with a settings file in it, and helpers that load and save through it.
class SettingsFixture : public ::testing::Test {
 protected:
  std::string Path() const { return dir_ / "plover.ini"; }
  void WriteIni(const std::string& bytes) const { testsupport::WriteFile(Path(), bytes); }
  std::string ReadIni() const { return testsupport::ReadFile(Path()); }

  IniFile ParsedIni() const {
    IniFile ini;
    ini.Parse(ReadIni());
    return ini;
  }

  // A fresh record loaded from `bytes` (written as plover.ini first).
  Settings LoadFrom(const std::string& bytes) {
    WriteIni(bytes);
    return LoadFresh();
  }

  Settings LoadFresh() {
    Settings settings = DefaultSettings(kTestNow);
    state_ = SettingsState{};
    EXPECT_TRUE(LoadSettings(Path(), settings, state_));
    return settings;
  }

  // Saves `settings` as a loaded record would be saved.
  void Save(Settings& settings) {
    SettingsState state;
    state.SettingsLoaded = true;
    ASSERT_TRUE(SaveSettings(Path(), settings, state));
  }

  testsupport::TempDir dir_;
  SettingsState state_;
};

}  // namespace settings
