// SPDX-License-Identifier: MIT
#pragma once

#include <climits>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "settings/Settings.h"

// The layout of plover.ini as a table: which sections the loader reads, in which order,
// and which member of the settings record each key fills. Loading and saving both walk
// this one table, so the two can never disagree about a key.
namespace settings {

// How a key moves between the file and the record.
enum class KeyKind {
  kPlain,         // the member as it is; integers are kept within Min..Max
  kRefreshTime,   // the double RefreshTime as decimal text with "."
  kProxySetting,  // the proxy pair, plain in memory and scrambled in the file
  kFolderName,    // FTPFolderName: a leading "/" is dropped both ways
  kSecureMode,    // reading can only switch secure mode on
  kDateMax,       // read with -1 as default; -1 becomes 60
  kFormViewMode,  // left alone when the command line chose the view mode
  kViewState,     // written only while ViewSetSave is false
  kExtViewState,  // written only while ExtViewSetSave is false
  kThemeName,     // written right after StyleName
  kStyleName,     // written followed by ThemeName
  kAddressList,   // AddressMax, then Address1 ... Address<n>
  kKeywordList,   // KeywordMax, then Keyword1 ... Keyword<n>
  kMouseActList,  // MouseActMax, then MouseAct1 ... MouseAct<n>
  kColumnWidths,  // LstWidth_1 ... LstWidth_5
};

// The named values are stored as their numbers, like the integers.
using KeyMember = std::variant<std::monostate, int Settings::*, bool Settings::*, std::string Settings::*,
                               TrayMode Settings::*, SearchDisplay Settings::*, TabBehaviour Settings::*>;

struct SettingsKey {
  std::string_view Key;
  KeyMember Member;
  KeyKind Kind = KeyKind::kPlain;
  int Min = INT_MIN;
  int Max = INT_MAX;
};

struct SettingsSection {
  std::string_view Name;
  std::span<const SettingsKey> Keys;
  // Sections of numbered lists are emptied before they are written, so that no entry
  // beyond the new count survives from an earlier, longer list.
  bool ClearBeforeWrite = false;
};

// Most gesture bindings read from a file. The count comes from the file, and a damaged
// or hostile count must not make the program reserve memory for billions of entries.
inline constexpr int kMouseActLimit = 1000;

// The sections LoadSettings reads, in the order it reads them, each with its keys in order.
std::span<const SettingsSection> SettingsSections();

}  // namespace settings
