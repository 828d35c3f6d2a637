// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/Credentials.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsFixture.h"
#include "settings/SettingsStore.h"
#include "text/Literal.h"

namespace settings {
namespace {

// Every key the program writes, in the order of the file, with the text a new
// installation stores and a different value that a user might have stored. An empty
// `other` marks a key that has no effect of its own (a list entry beyond the default
// count).
struct KeyRow {
  std::string section;
  std::string key;
  std::string stored;
  std::string other;
};

std::vector<KeyRow> AllKeys() {
  const std::string main = "Ev_Main", secure = "Ev_Secure", action = "Ev_Action", view = "Sz_ViewMode";
  return {
      {main, "Pausetime", "20", "5"},
      {main, "MhtSaveDate", "7", "3"},
      {main, "MhtSaveRun", "1488022959", "12345"},
      {main, "ScrapMhtFolder", "", "/srv/scraps"},
      {main, "ScraptFolderOpt", "0", "2"},
      {main, "MhtImages", "1", "0"},
      {main, "MhtBGSounds", "1", "0"},
      {main, "MhtObjects", "1", "0"},
      {main, "MhtStyleSheets", "1", "0"},
      {main, "MhtFrames", "1", "0"},
      {main, "EvwSeekMax", "12", "7"},
      {main, "SearchThread", "1", "2"},
      {main, "RefreshTime", "0", "45678.5"},
      {main, "AutoUpdate", "1", "0"},
      {main, "MidokuSave", "0", "1"},
      {main, "DupAction", "0", "2"},
      {main, "TreeOpen", "1", "3"},
      {main, "DialogQues", "1", "0"},
      {main, "ListBold", "1", "0"},
      {main, "TreeBold", "1", "0"},
      {main, "FolderSeek", "1", "0"},
      {main, "SearchAll", "1", "0"},
      {main, "Cscroll", "1", "0"},
      {main, "TreeFontSize", "9", "12"},
      {main, "ListFontSize", "9", "11"},
      {main, "ItemMax", "100", "50"},
      {main, "DateMax", "60", "30"},
      {main, "SearchEngine", "", "http://search.example/?q="},
      {main, "HomePage", "", "http://home.example/"},
      {main, "BrankStart", "1", "0"},
      {main, "TrayRefreshMode", "2", "3"},
      {main, "TrayRefreshTime", "60", "120"},
      {main, "TaskIconMode", "0", "1"},
      {main, "NoBalloon", "0", "2"},
      {main, "KidokuTime", "0", "-1"},
      {main, "NoTreeFocus", "0", "1"},
      {main, "NoListSelect", "0", "1"},
      {main, "LinkOpen", "0", "2"},
      {main, "ReadChange", "0", "1"},
      {main, "OneClickEdit", "0", "1"},
      {main, "SupportTags", "2", "1"},
      {main, "SearchTitle", "1", "0"},
      {main, "SearchDesc", "0", "1"},
      {main, "SearchCreate", "1", "0"},
      {main, "SearchCagory", "1", "0"},
      {main, "HTTPTimeout", "20", "45"},
      {main, "HTTPTotalTimeout", "300", "120"},
      {main, "ViewStyle", "0", "2"},
      {main, "ViewName", "", "/usr/bin/firefox"},
      {main, "MultiLineTab", "0", "1"},
      {main, "MaxDescription", "512", "0"},
      {main, "ListNoAddin", "1", "0"},
      {main, "NormalNoAddin", "0", "1"},
      {main, "EvwNoAddin", "0", "1"},
      {main, "SeekGroup", "0", "1"},
      {main, "HttpThreadMax", "8", "4"},
      {main, "InternetPreConfig", "1", "2"},
      {main, "ProxyServer", "", "proxy.example"},
      {main, "ProxyPort", "8080", "3128"},
      {main, "ProxySetting", "", StoreCredential({"user", "pass"})},
      {main, "ProxyAddUrl", "0", "1"},
      {main, "AutoAtom", "1", "0"},
      {main, "AutoPopup", "1", "0"},
      {secure, "SecureMode", "0", "1"},
      {secure, "ListNoScript", "1", "0"},
      {secure, "ListNoFrame", "1", "0"},
      {secure, "ListNoVideo", "1", "0"},
      {secure, "ListNoSound", "1", "0"},
      {secure, "ListNoImage", "0", "1"},
      {secure, "SecNoScript", "1", "0"},
      {secure, "SecNoFrame", "0", "1"},
      {secure, "SecNoVideo", "0", "1"},
      {secure, "SecNoSound", "0", "1"},
      {secure, "SecNoImage", "0", "1"},
      {secure, "Silent", "0", "1"},
      {secure, "ActiveXInstall", "1", "0"},
      {secure, "FileDownload", "1", "0"},
      {secure, "PopupBlock", "1", "0"},
      {secure, "LocalLockDown", "1", "0"},
      {secure, "ProtocolLockDown", "0", "1"},
      {secure, "BlockInputPrompt", "0", "1"},
      {"Ev_Address", "AddressMax", "3", "1"},
      {"Ev_Address", "Address1", "https://www.google.co.jp/", "http://typed.example/"},
      {"Ev_Address", "Address2", "https://www.yahoo.co.jp/", ""},
      {"Ev_Address", "Address3", "https://b.hatena.ne.jp/", ""},
      {"Ev_Keyword", "KeywordMax", "0", "2"},
      {action, "MouseAction", "0", "1"},
      {action, "MouseActMax", "8", "0"},
      {action, "MouseAct1", "000" + text::J("←"), ""},
      {action, "MouseAct2", "001" + text::J("→"), ""},
      {action, "MouseAct3", "005" + text::J("↑"), ""},
      {action, "MouseAct4", "006" + text::J("↓"), ""},
      {action, "MouseAct5", "020" + text::J("←↑"), ""},
      {action, "MouseAct6", "023" + text::J("←↓"), ""},
      {action, "MouseAct7", "013" + text::J("→↑"), ""},
      {action, "MouseAct8", "025" + text::J("→↓"), ""},
      {action, "MouseButtonLR", "0", "3"},
      {action, "MouseButtonRL", "0", "4"},
      {action, "MouseButtonLSU", "0", "5"},
      {action, "MouseButtonLSD", "0", "6"},
      {action, "MouseButtonRSU", "0", "7"},
      {action, "MouseButtonRSD", "0", "8"},
      {action, "MouseButtonMid", "0", "9"},
      {action, "MouseButtonFour", "1", "10"},
      {action, "MouseButtonFive", "2", "11"},
      {"Ev_FTP", "FTPSync", "0", "1"},
      {"Ev_FTP", "FTPSyncExt", "syn", "txt"},
      {"Ev_FTP", "FTPTimeOut", "10", "30"},
      {"Ev_FTP", "FTPPassive", "1", "0"},
      {"Ev_FTP", "FTPPort", "21", "2121"},
      {"Ev_FTP", "FTPServerName", "", "ftp.example"},
      {"Ev_FTP", "FTPFolderName", "", "feeds"},
      {"Ev_FTP", "FTPUserName", "", StoreCredential({"ftpuser", "secret"})},
      {"Ev_WebService", "Hatenabook", "1", "0"},
      {"Ev_WebService", "Delicious", "1", "0"},
      {"Ev_Bloglines", "BloglinesSync", "0", "1"},
      {"Ev_Bloglines", "BloglinesFlag", "1", "0"},
      {"Ev_Bloglines", "BloglinesClone", "0", "1"},
      {"Ev_Bloglines", "BloglinesDbl", "1", "0"},
      {"Ev_Bloglines", "BloglinesUser", "", StoreCredential({"me@example.com", "pw"})},
      {"Ev_Html", "HtmlExceptLen", "5", "8"},
      {"Sz_Headlist", "LstWidth_1", "110", "55"},
      {"Sz_Headlist", "LstWidth_2", "400", "56"},
      {"Sz_Headlist", "LstWidth_3", "100", "57"},
      {"Sz_Headlist", "LstWidth_4", "100", "58"},
      {"Sz_Headlist", "LstWidth_5", "100", "59"},
      {view, "ViewSetSave", "0", "1"},
      {view, "ExtViewSetSave", "0", "1"},
      {view, "AllowDrag", "1", "0"},
      {view, "BrowserIconB", "0", "1"},
      {view, "ToolCaption", "1", "0"},
      {view, "FormViewMode", "1", "3"},
      {view, "RestoreTab", "0", "2"},
      {view, "BrowserPanel", "1", "2"},
      {view, "ThemeName", "Default", "Dark"},
      {view, "StyleName", "Simple", "Plain"},
      {view, "GridLineColor", "1", "0"},
      {view, "ListHeader", "1", "0"},
      {view, "ListAdjust", "0", "1"},
      {view, "GridLines", "0", "1"},
      {view, "CursorTop", "0", "1"},
      {view, "TabLock", "0", "3"},
      {view, "EvwTabLock", "1", "2"},
      {view, "BrwTabLock", "0", "1"},
      {view, "TabAdd", "0", "1"},
      {view, "TabDelLeft", "1", "0"},
      {view, "SortNum", "0", "4"},
      {view, "EvwSortNum", "3", "1"},
      {view, "SortUpDown", "0", "1"},
      {view, "EvwSortUpDown", "1", "0"},
      {view, "DateMode", "0", "7"},
      {view, "EvwDateMode", "0", "3"},
      {view, "MidokuOnly", "0", "2"},
      {view, "EvwMidokuOnly", "2", "1"},
      {view, "AddDetail", "0", "1"},
  };
}

using KeyValues = std::map<std::string, std::string>;

KeyValues AllValues(const IniFile& ini) {
  KeyValues values;
  for (const IniFile::Section& section : ini.Sections()) {
    for (const IniFile::Entry& entry : section.Entries) values[section.Name + "/" + entry.Key] = entry.Value;
  }
  return values;
}

// A file holding the `other` value of every key that has one.
std::string FileOfOtherValues() {
  std::string bytes;
  std::string section;
  for (const KeyRow& row : AllKeys()) {
    if (row.other.empty()) continue;
    if (row.section != section) bytes += "[" + (section = row.section) + "]\r\n";
    bytes += row.key + "=" + row.other + "\r\n";
  }
  return bytes;
}

using SettingsTableTest = SettingsFixture;

TEST_F(SettingsTableTest, NewFileHoldsEveryKeyWithItsDefault) {
  Settings settings = DefaultSettings(kTestNow);
  Save(settings);
  KeyValues expected;
  for (const KeyRow& row : AllKeys()) expected[row.section + "/" + row.key] = row.stored;
  IniFile saved = ParsedIni();
  EXPECT_EQ(AllValues(saved), expected);
  EXPECT_EQ(saved.SectionNames(),
            (std::vector<std::string>{"Ev_Main", "Ev_Secure", "Ev_Address", "Ev_Keyword", "Ev_Action", "Ev_FTP",
                                      "Ev_WebService", "Ev_Bloglines", "Ev_Html", "Sz_Headlist", "Sz_ViewMode"}));
  // Shift_JIS with CR LF: no bare line feed anywhere, one blank line after each section.
  const std::string bytes = ReadIni();
  for (size_t pos = bytes.find('\n'); pos != std::string::npos; pos = bytes.find('\n', pos + 1)) {
    ASSERT_GT(pos, 0u);
    ASSERT_EQ(bytes[pos - 1], '\r') << "bare LF at " << pos;
  }
  EXPECT_TRUE(bytes.starts_with("[Ev_Main]\r\nPausetime=20\r\n"));
  EXPECT_TRUE(bytes.ends_with("AddDetail=0\r\n\r\n"));
  EXPECT_NE(bytes.find("StyleName=Simple\r\nThemeName=Default\r\n"), std::string::npos);
}

TEST_F(SettingsTableTest, EveryKeyHasAnEffectOfItsOwn) {
  const Settings defaults = DefaultSettings(kTestNow);
  std::vector<std::pair<std::string, Settings>> loaded;
  for (const KeyRow& row : AllKeys()) {
    if (row.other.empty()) continue;
    Settings settings = LoadFrom("[" + row.section + "]\r\n" + row.key + "=" + row.other + "\r\n");
    EXPECT_NE(settings, defaults) << row.key << " is not read";
    loaded.emplace_back(row.key, settings);
  }
  // Two keys that changed the same thing would be read into the same member.
  for (size_t i = 0; i < loaded.size(); ++i) {
    for (size_t j = i + 1; j < loaded.size(); ++j) {
      EXPECT_NE(loaded[i].second, loaded[j].second) << loaded[i].first << " and " << loaded[j].first;
    }
  }
}

TEST_F(SettingsTableTest, WholeRecordSurvivesSaveAndLoad) {
  Settings settings = LoadFrom(FileOfOtherValues());
  // Pinned views keep their sort keys out of the file; the pins have tests of their own.
  settings.ViewSetSave = false;
  settings.ExtViewSetSave = false;
  for (int i = 0; i < kHistoryMax; ++i) {
    settings.Address[static_cast<size_t>(i)] = "http://example.com/" + std::to_string(i) + text::J("/日本語");
    settings.Keyword[static_cast<size_t>(i)] = text::J("キーワード") + std::to_string(i);
  }
  settings.AddressMax = kHistoryMax;
  settings.KeywordMax = kHistoryMax;
  settings.MouseAct = {{text::J("↑↓←→"), 29}, {"", 4}, {text::J("→"), 0}};
  settings.ProxySetting = {text::J("ユーザー"), text::J("秘密") + " with spaces "};
  settings.RefreshTime = 45678.123456789012;
  settings.HomePage = "  http://spaces.example/  ";
  settings.ThemeName = text::J("テーマ");

  std::filesystem::remove(Path());
  Save(settings);
  Settings reloaded = LoadFresh();
  EXPECT_EQ(reloaded, settings);
  EXPECT_EQ(reloaded.RefreshTime, 45678.123456789012);
}

// The settings with named values keep their numbers: a named one reads as its name, and
// one that names nothing (a newer program's, a hand edit) stays as it was and is written
// back unchanged.
struct NamedValueCase {
  const char* key;
  std::string section;
  std::string stored;
  std::function<bool(const Settings&)> readAs;
};

class NamedValueTest : public SettingsFixture, public ::testing::WithParamInterface<NamedValueCase> {};

TEST_P(NamedValueTest, KeepsItsNumberThroughLoadAndSave) {
  const NamedValueCase& c = GetParam();
  Settings settings = LoadFrom("[" + c.section + "]\r\n" + c.key + "=" + c.stored + "\r\n");
  EXPECT_TRUE(c.readAs(settings));
  Save(settings);
  EXPECT_EQ(ParsedIni().ReadString(c.section, c.key, ""), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NamedValueTest,
    ::testing::Values(NamedValueCase{"TrayRefreshMode", "Ev_Main", "3",
                                     [](const Settings& s) {
                                       return s.TrayRefreshMode == TrayMode::kResidentPeriodic;
                                     }},
                      NamedValueCase{"TrayRefreshMode", "Ev_Main", "7",
                                     [](const Settings& s) { return IsResident(s.TrayRefreshMode); }},
                      NamedValueCase{"TrayRefreshMode", "Ev_Main", "-1",
                                     [](const Settings& s) { return !IsResident(s.TrayRefreshMode); }},
                      NamedValueCase{"SearchThread", "Ev_Main", "0",
                                     [](const Settings& s) { return s.SearchThread == SearchDisplay::kHighlight; }},
                      NamedValueCase{"SearchThread", "Ev_Main", "5",
                                     [](const Settings& s) { return static_cast<int>(s.SearchThread) == 5; }},
                      NamedValueCase{"TabLock", "Sz_ViewMode", "2",
                                     [](const Settings& s) { return s.TabLock == TabBehaviour::kNewInBackground; }},
                      NamedValueCase{"EvwTabLock", "Sz_ViewMode", "9",
                                     [](const Settings& s) { return static_cast<int>(s.EvwTabLock) == 9; }},
                      NamedValueCase{"BrwTabLock", "Sz_ViewMode", "-4",
                                     [](const Settings& s) { return static_cast<int>(s.BrwTabLock) == -4; }}),
    [](const ::testing::TestParamInfo<NamedValueCase>& info) {
      std::string name = std::string(info.param.key) + "_" + info.param.stored;
      for (char& c : name) {
        if (c == '-') c = 'm';
      }
      return name;
    });

}  // namespace
}  // namespace settings
