// SPDX-License-Identifier: MIT
// The settings file is edited by hand and may be damaged. Any bytes are parsed, loaded into
// a fresh settings record, saved back and rendered; the result is read again and must
// give the same record, and rendering it again the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/IniFile.h"
#include "settings/SaveAll.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"
#include "settings/SettingsStore.h"
#include "settings/TControlSize.h"

namespace {

// A credential longer than the stored form can hold (127 plain bytes) is cut when it is
// written, so only shorter ones must come back unchanged.
bool ProxyFitsStoredForm(const settings::Settings& record) {
  return record.ProxySetting.User.size() + 1 + record.ProxySetting.Password.size() <= 127;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Loads `ini` into a fresh record and saves the record back into it.
settings::Settings LoadAndSave(settings::IniFile& ini) {
  settings::SettingsState state;
  settings::Settings record = settings::DefaultSettings(0);
  settings::ReadSettings(ini, record, state);
  settings::WriteSettings(ini, record, state);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  settings::IniFile ini;
  ini.Parse(bytes);

  settings::TControlSize window = settings::MainWindowSize(1920, 1080);
  window.ReadSize(ini, settings::ScreenInfo{{0, 0, 1920, 1040}, {0, 0, 1920, 1080}});
  window.WriteSize(ini);

  settings::Settings first = LoadAndSave(ini);
  const std::string rendered = ini.Render();

  settings::IniFile again;
  again.Parse(rendered);
  settings::Settings second = LoadAndSave(again);
  if (ProxyFitsStoredForm(first)) {
    Check(second == first);
    Check(again.Render() == rendered);
  }

  settings::EraseLayoutSections(again);
  Check(!again.SectionExists("Sz_Headlist") && !again.SectionExists("Sz_RssMainForm"));
  return 0;
}
