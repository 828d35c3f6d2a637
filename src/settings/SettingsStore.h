// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsState.h"

// Moving the whole settings record between plover.ini and memory.
namespace settings {

// Reads every key of the settings sections from `ini` into `settings`. Each key is read
// with the record's current value as its default, so a missing or unparsable key leaves
// the value alone. Besides: DateMax is read with -1 as default and -1 becomes 60; counts
// and ranges are clamped (AddressMax and KeywordMax to 0..20, MouseActMax to at most
// kMouseActLimit, EvwSeekMax 1..50, TrayRefreshTime 60..300, SortNum and EvwSortNum 0..5,
// FormViewMode 1..4, HttpThreadMax at least 1); ProxySetting is unscrambled; FTPFolderName
// loses a leading "/"; SecureMode can only be switched on; FormViewMode is skipped when
// the command line chose the view mode. ProgramTitle is not read here (see
// LoadStartupSettings).
void ReadSettings(const IniFile& ini, Settings& settings, const SettingsState& state);

// Writes every key of the settings sections from `settings` into `ini`, in the order they
// are read. The sections of numbered lists (Ev_Address, Ev_Keyword, Ev_Action,
// Sz_Headlist) are emptied first (they keep their place in the file); other keys in the
// file, known or not, stay. The sort and
// filter keys are left out while their view is pinned (ViewSetSave, ExtViewSetSave), and
// FormViewMode while the command line chose the mode. The clamps of ReadSettings are
// applied to the record too, and FTPFolderName loses a leading "/" in memory as well.
void WriteSettings(IniFile& ini, Settings& settings, const SettingsState& state);

// Opens the file at `path` and reads it with ReadSettings. Returns true and sets
// SettingsLoaded when the file was read or does not exist (all defaults then). When the
// file exists but cannot be read, the record holds the defaults and false is returned
// with SettingsLoaded left clear, so that no later save replaces the user's file with
// those defaults. A file that looks damaged (SettingsBytesLookDamaged) is read as far as
// it goes and set aside; SettingsFileDamaged and the record's ItemLimitsHeld are set, and
// the user is told through `dialogs` when there are any.
bool LoadSettings(const std::string& path, Settings& settings, SettingsState& state,
                  platform::Dialogs* dialogs = nullptr);

// Opens the file at `path`, writes the record with WriteSettings and flushes the file.
// Without SettingsLoaded nothing is written. Returns false, and sets SettingsSaveFailed,
// when nothing was written or the file could not be written. While the loaded file was
// damaged nothing is written either, and that is no failure: the file waits for the user
// to save the settings. A file found damaged only now is set aside before it is replaced.
bool SaveSettings(const std::string& path, Settings& settings, SettingsState& state);

// The user has seen and saved every value (the settings dialog closed with OK): the hold
// that a damaged file put on the item limits ends, and the next save replaces the file.
void SettingsSavedByUser(Settings& settings, SettingsState& state);

// Makes an opened file ready to take the record: a damaged one is set aside (at `now`) and
// its content given up. False when it could not be set aside; it is then left alone.
bool PrepareForWriting(SettingsFile& file, std::time_t now);

// The command "ソート/フィルタは自動": the sort and filter state of the current view (view
// mode when `inViewMode`, the other modes otherwise) is stored at every save again.
void SetViewStateAutomatic(Settings& settings, bool inViewMode);

// The command "現在の状態を保存": stores the current sort and filter state of the current
// view once, with SaveSettings, and pins it, so that later saves leave it alone and every
// start begins from it. Returns the result of SaveSettings.
bool SaveCurrentViewState(const std::string& path, Settings& settings, SettingsState& state, bool inViewMode);

// RefreshTime as stored: the shortest decimal text that reads back as the same double,
// with "." as the decimal point whatever the user's locale.
std::string FormatRefreshTime(double value);

// A stored RefreshTime: decimal text, "," accepted as the decimal point; nothing for text
// that is not a finite number.
std::optional<double> ParseRefreshTime(std::string_view text);

// A MouseAct value: the command index in the first three bytes (a text that does not
// parse is cut at its first invalid character and parsed again; an empty text gives 0),
// the gesture from the fourth byte on.
TMouseActionType ParseMouseAct(std::string_view value);

// The stored form of a binding: the command as exactly three digits (zero-padded, only
// the last three kept), then the gesture.
std::string FormatMouseAct(const TMouseActionType& action);

}  // namespace settings
