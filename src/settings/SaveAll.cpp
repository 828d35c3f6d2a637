// SPDX-License-Identifier: MIT
#include "settings/SaveAll.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <vector>

#include "settings/SettingsFile.h"
#include "settings/SettingsStore.h"
#include "text/Literal.h"

namespace settings {

namespace {

constexpr std::string_view kSaveFailedText =
    "Ploverの環境データの一部が保存できませんでした。\r\n書き込みの権限が無い可能性があります。";
constexpr std::string_view kResetQuestion = "画面レイアウトやスタイルなどを初期状態に戻しますか？";
constexpr std::string_view kResetNextStart = "次の起動時より反映されます。";
constexpr std::string_view kDefaultThemeName = "Default";

// Copies at most kHistoryMax entries into the history and returns their number.
int CopyHistory(const std::vector<std::string>& items, std::array<std::string, kHistoryMax>& history) {
  size_t count = std::min<size_t>(items.size(), kHistoryMax);
  std::copy_n(items.begin(), count, history.begin());
  return static_cast<int>(count);
}

// Takes over what the user changed in the main window's controls.
void CopyControlState(SaveAllHost& host, Settings& settings) {
  std::vector<int> widths = host.ListColumnWidths();
  std::copy_n(widths.begin(), std::min(widths.size(), kListColumns), settings.LstWidth.begin());
  settings.AddressMax = CopyHistory(host.AddressBoxItems(), settings.Address);
  settings.KeywordMax = CopyHistory(host.KeywordBoxItems(), settings.Keyword);
  settings.ThemeName = host.CurrentThemeName().value_or(std::string(kDefaultThemeName));
}

bool IsLayoutSection(std::string_view name) {
  if (name.size() < 3 || name[2] != '_') return false;
  return (name[0] == 'S' || name[0] == 's') && (name[1] == 'Z' || name[1] == 'z');
}

// Writes the file once; returns false when anything could not be saved.
bool WriteEverything(const std::string& path, Settings& settings, SettingsState& state, SaveAllHost& host,
                     std::string_view defaultLayout) {
  CopyControlState(host, settings);
  // A damaged file waits for the user to save the settings (see SettingsFileDamaged);
  // until then it is left as it is, which is no failure. The custom lists have files of
  // their own.
  if (state.SettingsFileDamaged) return host.SaveCustomLists();
  SettingsFile file = OpenSettingsFile(path);
  if (!PrepareForWriting(file, std::time(nullptr))) return false;
  host.WriteLayout(file.Ini());
  bool complete = state.SettingsLoaded;
  // Without loaded settings memory holds defaults, which must not replace the user's
  // values; the layout sections are the window's own and are still kept.
  if (state.SettingsLoaded) WriteSettings(file.Ini(), settings, state);
  std::string_view trailer;
  if (state.LayoutResetPending) {
    EraseLayoutSections(file.Ini());
    trailer = defaultLayout;
  }
  bool written = FlushSettingsFile(file, trailer);
  bool listsSaved = host.SaveCustomLists();
  return written && listsSaved && complete;
}

}  // namespace

void SaveAllSettings(const std::string& path, Settings& settings, SettingsState& state, SaveAllHost& host,
                     platform::Dialogs& dialogs, std::string_view defaultLayout) {
  state.SettingsSaveFailed = false;
  try {
    if (!WriteEverything(path, settings, state, host, defaultLayout)) state.SettingsSaveFailed = true;
  } catch (...) {
    // Whatever went wrong, the user is told below that not everything was saved.
    state.SettingsSaveFailed = true;
  }
  if (state.SettingsSaveFailed) dialogs.ShowMessageBox(text::J(kSaveFailedText), platform::MessageType::kInformation);
}

void EraseLayoutSections(IniFile& ini) {
  ini.EraseSectionsIf(IsLayoutSection);
}

bool RequestLayoutReset(platform::Dialogs& dialogs, SettingsState& state) {
  if (!dialogs.AskYesCancel(text::J(kResetQuestion), platform::MessageType::kConfirmation,
                            platform::DefaultAnswer::kYes)) {
    return false;
  }
  state.LayoutResetPending = true;
  dialogs.ShowMessageBox(text::J(kResetNextStart), platform::MessageType::kInformation);
  return true;
}

}  // namespace settings
