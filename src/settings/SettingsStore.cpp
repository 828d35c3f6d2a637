// SPDX-License-Identifier: MIT
#include "settings/SettingsStore.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>
#include <variant>

#include "settings/Credentials.h"
#include "settings/SettingsFile.h"
#include "settings/private/SettingsKeys.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace settings {

namespace {

constexpr int kDateMaxUnset = -1;
constexpr int kDateMaxDefault = 60;

// The numbered keys of a list are named after its count key without "Max":
// "AddressMax" counts "Address1", "Address2", ...
std::string NumberedKey(std::string_view countKey, size_t index) {
  std::string key(countKey.substr(0, countKey.size() - 3));
  key += std::to_string(index + 1);
  return key;
}

std::array<std::string, kHistoryMax>& HistoryOf(Settings& settings, KeyKind kind) {
  return kind == KeyKind::kAddressList ? settings.Address : settings.Keyword;
}

// Integers and the named values stored as numbers: kept within the key's Min..Max.
template <typename Number>
void ReadNumber(const IniFile& ini, std::string_view section, const SettingsKey& key, Number& value) {
  const int stored = ini.ReadInteger(section, key.Key, static_cast<int>(value));
  value = static_cast<Number>(std::clamp(stored, key.Min, key.Max));
}

template <typename Number>
void WriteNumber(IniFile& ini, std::string_view section, const SettingsKey& key, Number& value) {
  value = static_cast<Number>(std::clamp(static_cast<int>(value), key.Min, key.Max));
  ini.WriteInteger(section, key.Key, static_cast<int>(value));
}

template <typename... Forms>
struct Overloaded : Forms... {
  using Forms::operator()...;
};
// Spelled out for compilers that do not deduce an aggregate's arguments by themselves.
template <typename... Forms>
Overloaded(Forms...) -> Overloaded<Forms...>;

void ReadMember(const IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings) {
  std::visit(
      Overloaded{
          [](std::monostate) {},
          [&](bool Settings::*flag) { settings.*flag = ini.ReadBool(section, key.Key, settings.*flag); },
          [&](std::string Settings::*text) { settings.*text = ini.ReadString(section, key.Key, settings.*text); },
          [&](auto number) { ReadNumber(ini, section, key, settings.*number); },
      },
      key.Member);
}

void WriteMember(IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings) {
  std::visit(Overloaded{
                 [](std::monostate) {},
                 [&](bool Settings::*flag) { ini.WriteBool(section, key.Key, settings.*flag); },
                 [&](std::string Settings::*text) { ini.WriteString(section, key.Key, settings.*text); },
                 [&](auto number) { WriteNumber(ini, section, key, settings.*number); },
             },
             key.Member);
}

void DropLeadingSlash(std::string& folder) {
  if (!folder.empty() && folder.front() == '/') folder.erase(0, 1);
}

void ReadHistory(const IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings) {
  ReadMember(ini, section, key, settings);
  int count = settings.*std::get<int Settings::*>(key.Member);
  std::array<std::string, kHistoryMax>& slots = HistoryOf(settings, key.Kind);
  for (int i = 0; i < count; ++i) {
    size_t slot = static_cast<size_t>(i);
    slots[slot] = ini.ReadString(section, NumberedKey(key.Key, slot), slots[slot]);
  }
}

void WriteHistory(IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings) {
  WriteMember(ini, section, key, settings);
  int count = settings.*std::get<int Settings::*>(key.Member);
  const std::array<std::string, kHistoryMax>& slots = HistoryOf(settings, key.Kind);
  for (int i = 0; i < count; ++i) {
    size_t slot = static_cast<size_t>(i);
    ini.WriteString(section, NumberedKey(key.Key, slot), slots[slot]);
  }
}

// A count of -1 (or none) keeps the built-in bindings; 0 means no bindings at all.
void ReadMouseActions(const IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings) {
  int count = ini.ReadInteger(section, key.Key, -1);
  if (count < 0) return;
  count = std::min(count, key.Max);
  settings.MouseAct.assign(static_cast<size_t>(count), TMouseActionType{});
  for (size_t i = 0; i < settings.MouseAct.size(); ++i) {
    settings.MouseAct[i] = ParseMouseAct(ini.ReadString(section, NumberedKey(key.Key, i), ""));
  }
}

void WriteMouseActions(IniFile& ini, std::string_view section, const SettingsKey& key, const Settings& settings) {
  ini.WriteInteger(section, key.Key, static_cast<int32_t>(settings.MouseAct.size()));
  for (size_t i = 0; i < settings.MouseAct.size(); ++i) {
    ini.WriteString(section, NumberedKey(key.Key, i), FormatMouseAct(settings.MouseAct[i]));
  }
}

std::string ColumnWidthKey(std::string_view prefix, size_t column) {
  return std::string(prefix) + std::to_string(column + 1);
}

void ReadKey(const IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings,
             const SettingsState& state) {
  switch (key.Kind) {
    case KeyKind::kRefreshTime: {
      std::string stored = ini.ReadString(section, key.Key, FormatRefreshTime(settings.RefreshTime));
      settings.RefreshTime = ParseRefreshTime(stored).value_or(settings.RefreshTime);
      break;
    }
    case KeyKind::kProxySetting:
      settings.ProxySetting = ReadCredential(ini.ReadString(section, key.Key, ""));
      break;
    case KeyKind::kFolderName:
      ReadMember(ini, section, key, settings);
      DropLeadingSlash(settings.FTPFolderName);
      break;
    case KeyKind::kSecureMode:
      if (ini.ReadBool(section, key.Key, false)) settings.SecureMode = true;
      break;
    case KeyKind::kDateMax:
      settings.DateMax = ini.ReadInteger(section, key.Key, kDateMaxUnset);
      // -1 stands for "never chosen" (a new installation, or an old file without the
      // key); the program then keeps items for two months.
      if (settings.DateMax == kDateMaxUnset) settings.DateMax = kDateMaxDefault;
      break;
    case KeyKind::kFormViewMode:
      if (!state.ViewModeFromCommandLine) ReadMember(ini, section, key, settings);
      break;
    case KeyKind::kAddressList:
    case KeyKind::kKeywordList:
      ReadHistory(ini, section, key, settings);
      break;
    case KeyKind::kMouseActList:
      ReadMouseActions(ini, section, key, settings);
      break;
    case KeyKind::kColumnWidths:
      for (size_t column = 0; column < kListColumns; ++column) {
        int& width = settings.LstWidth[column];
        width = ini.ReadInteger(section, ColumnWidthKey(key.Key, column), width);
      }
      break;
    default:
      ReadMember(ini, section, key, settings);
      break;
  }
}

void WriteKey(IniFile& ini, std::string_view section, const SettingsKey& key, Settings& settings,
              const SettingsState& state) {
  switch (key.Kind) {
    case KeyKind::kRefreshTime:
      ini.WriteString(section, key.Key, FormatRefreshTime(settings.RefreshTime));
      break;
    case KeyKind::kProxySetting: {
      const Credential& proxy = settings.ProxySetting;
      bool none = proxy.User.empty() && proxy.Password.empty();
      ini.WriteString(section, key.Key, none ? std::string() : StoreCredential(proxy));
      break;
    }
    case KeyKind::kFolderName:
      DropLeadingSlash(settings.FTPFolderName);
      WriteMember(ini, section, key, settings);
      break;
    case KeyKind::kFormViewMode:
      if (!state.ViewModeFromCommandLine) WriteMember(ini, section, key, settings);
      break;
    case KeyKind::kViewState:
      if (!settings.ViewSetSave) WriteMember(ini, section, key, settings);
      break;
    case KeyKind::kExtViewState:
      if (!settings.ExtViewSetSave) WriteMember(ini, section, key, settings);
      break;
    case KeyKind::kThemeName:
      break;  // written together with StyleName
    case KeyKind::kStyleName:
      WriteMember(ini, section, key, settings);
      ini.WriteString(section, "ThemeName", settings.ThemeName);
      break;
    case KeyKind::kAddressList:
    case KeyKind::kKeywordList:
      WriteHistory(ini, section, key, settings);
      break;
    case KeyKind::kMouseActList:
      WriteMouseActions(ini, section, key, settings);
      break;
    case KeyKind::kColumnWidths:
      for (size_t column = 0; column < kListColumns; ++column) {
        ini.WriteInteger(section, ColumnWidthKey(key.Key, column), settings.LstWidth[column]);
      }
      break;
    default:
      WriteMember(ini, section, key, settings);
      break;
  }
}

std::string DamagedSettingsText(const std::string& copy) {
  std::string where = text::J("元のファイルを別の名前で残すことはできませんでした。");
  if (!copy.empty()) {
    // Paths are UTF-8; the texts the user sees are code page 932.
    const std::string path = text::Utf8ToSjis(copy);
    where = text::J("元のファイルは次の名前で残しました: ") + (path.empty() ? copy : path);
  }
  return text::J("設定ファイル plover.ini が壊れているため、読み取れた設定だけを使用します。") + "\r\n" + where +
         "\r\n" +
         text::J(
             "設定を保存するまで、設定ファイルは書き換えず、記事の保存件数と保存期間による記事の削除もおこないません"
             "。");
}

// The leading run of an integer: blanks, a sign and decimal digits.
std::string_view IntegerPrefix(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && (text[end] == ' ' || text[end] == '\t')) ++end;
  if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return text.substr(0, end);
}

}  // namespace

void ReadSettings(const IniFile& ini, Settings& settings, const SettingsState& state) {
  for (const SettingsSection& section : SettingsSections()) {
    for (const SettingsKey& key : section.Keys) ReadKey(ini, section.Name, key, settings, state);
  }
}

void WriteSettings(IniFile& ini, Settings& settings, const SettingsState& state) {
  for (const SettingsSection& section : SettingsSections()) {
    if (section.ClearBeforeWrite) ini.ClearSection(section.Name);
    for (const SettingsKey& key : section.Keys) WriteKey(ini, section.Name, key, settings, state);
  }
}

bool LoadSettings(const std::string& path, Settings& settings, SettingsState& state, platform::Dialogs* dialogs) {
  SettingsFile file = OpenSettingsFile(path);
  ReadSettings(file.Ini(), settings, state);
  if (file.Unreadable()) return false;
  if (file.Damaged()) {
    // What could be read is used, and the user's file is kept under another name; the
    // limits that would drop items wait until the user has confirmed the settings.
    state.SettingsFileDamaged = true;
    state.DamagedSettingsCopy = SetAsideDamagedSettings(path, std::time(nullptr));
    settings.ItemLimitsHeld = true;
    if (dialogs != nullptr) {
      dialogs->ShowMessageBox(DamagedSettingsText(state.DamagedSettingsCopy), platform::MessageType::kInformation);
    }
  }
  state.SettingsLoaded = true;
  return true;
}

bool SaveSettings(const std::string& path, Settings& settings, SettingsState& state) {
  if (!state.SettingsLoaded) {
    state.SettingsSaveFailed = true;
    return false;
  }
  if (state.SettingsFileDamaged) return true;
  SettingsFile file = OpenSettingsFile(path);
  if (!PrepareForWriting(file, std::time(nullptr))) {
    state.SettingsSaveFailed = true;
    return false;
  }
  WriteSettings(file.Ini(), settings, state);
  if (!FlushSettingsFile(file)) {
    state.SettingsSaveFailed = true;
    return false;
  }
  return true;
}

void SettingsSavedByUser(Settings& settings, SettingsState& state) {
  state.SettingsFileDamaged = false;
  settings.ItemLimitsHeld = false;
}

bool PrepareForWriting(SettingsFile& file, std::time_t now) {
  if (!file.Damaged()) return true;
  if (SetAsideDamagedSettings(file.Path(), now).empty()) return false;
  file.DiscardDamagedContent();
  return true;
}

void SetViewStateAutomatic(Settings& settings, bool inViewMode) {
  (inViewMode ? settings.ExtViewSetSave : settings.ViewSetSave) = false;
}

bool SaveCurrentViewState(const std::string& path, Settings& settings, SettingsState& state, bool inViewMode) {
  bool& pinned = inViewMode ? settings.ExtViewSetSave : settings.ViewSetSave;
  pinned = false;
  bool saved = SaveSettings(path, settings, state);
  pinned = true;
  return saved;
}

std::string FormatRefreshTime(double value) {
  char buffer[64];
  std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<double> ParseRefreshTime(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  // A file written where the decimal point is a comma holds "45678,5".
  std::string number(text);
  std::replace(number.begin(), number.end(), ',', '.');
  double value = 0;
  const char* end = number.data() + number.size();
  std::from_chars_result result = std::from_chars(number.data(), end, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

TMouseActionType ParseMouseAct(std::string_view value) {
  std::string_view digits = value.substr(0, std::min<size_t>(value.size(), 3));
  std::optional<int32_t> command = ParseIniInteger(digits);
  if (!command) command = ParseIniInteger(IntegerPrefix(digits));
  TMouseActionType action;
  action.Command = command.value_or(0);
  if (value.size() > 3) action.Gesture = std::string(value.substr(3));
  return action;
}

std::string FormatMouseAct(const TMouseActionType& action) {
  bool negative = action.Command < 0;
  std::string digits = std::to_string(std::abs(static_cast<int64_t>(action.Command)));
  size_t width = negative ? 2 : 3;
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  std::string stored = negative ? "-" + digits : digits;
  if (stored.size() > 3) stored.erase(0, stored.size() - 3);
  return stored + action.Gesture;
}

}  // namespace settings
