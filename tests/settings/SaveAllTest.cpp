// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/SaveAll.h"
#include "settings/SaveAllHost.h"
#include "settings/SettingsFixture.h"
#include "settings/TControlSize.h"
#include "support/ScriptedDialogs.h"
#include "text/Literal.h"

namespace settings {
namespace {

constexpr const char* kSaveFailedText =
    "Ploverの環境データの一部が保存できませんでした。\r\n書き込みの権限が無い可能性があります。";

// The main window as the save-all sees it.
class FakeWindow : public SaveAllHost {
 public:
  std::vector<int> ListColumnWidths() override { return widths; }
  std::vector<std::string> AddressBoxItems() override { return addresses; }
  std::vector<std::string> KeywordBoxItems() override { return keywords; }
  std::optional<std::string> CurrentThemeName() override { return theme; }
  void WriteLayout(IniFile& ini) override {
    if (throwInLayout) throw std::runtime_error("toolbar toolkit failed");
    geometry.WriteSize(ini);
    ini.WriteInteger("Sz_ToolBar_Browser", "DockRow", 3);
  }
  bool SaveCustomLists() override {
    ++customListSaves;
    return customListsSaved;
  }

  std::vector<int> widths = {120, 300, 90};
  std::vector<std::string> addresses = {"http://one.example/", "http://two.example/"};
  std::vector<std::string> keywords = {text::J("猫")};
  std::optional<std::string> theme = "Office";
  TControlSize geometry = MainWindowSize(1000, 800);
  bool throwInLayout = false;
  bool customListsSaved = true;
  int customListSaves = 0;
};

class SaveAllTest : public SettingsFixture {
 protected:
  void SaveAll(Settings& settings) { SaveAllSettings(Path(), settings, state_, window_, dialogs_, layout_); }

  FakeWindow window_;
  testsupport::ScriptedDialogs dialogs_;
  std::string layout_ = "[Sz_ToolBar_Browser]\r\nRev=2000\r\nDockRow=1\r\n[Sz_Evw_ToolBar_Menu]\r\nRev=2000\r\n";
};

TEST_F(SaveAllTest, TakesOverTheWindowAndWritesOneFile) {
  WriteIni("[Ev_Main]\r\nItemMax=42\r\n[Sz_Headlist]\r\nLstWidth_4=77\r\n");
  Settings settings = LoadFresh();
  state_.SettingsSaveFailed = true;  // from an earlier save
  window_.addresses.clear();
  for (int i = 0; i < 25; ++i) window_.addresses.push_back("http://site" + std::to_string(i) + "/");
  window_.theme.reset();
  settings.ThemeName = "Office";
  SaveAll(settings);

  EXPECT_FALSE(state_.SettingsSaveFailed);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(window_.customListSaves, 1);
  EXPECT_EQ(settings.LstWidth, (std::array<int, 5>{120, 300, 90, 77, 100})) << "missing columns keep their width";
  EXPECT_EQ(settings.AddressMax, 20);
  EXPECT_EQ(settings.Address[19], "http://site19/");
  EXPECT_EQ(settings.KeywordMax, 1);
  EXPECT_EQ(settings.ThemeName, "Default") << "no theme selected";

  Settings reloaded = LoadFresh();
  EXPECT_EQ(reloaded, settings);
  IniFile saved = ParsedIni();
  EXPECT_EQ(saved.ReadInteger("Sz_RssMainForm", "szWidth", 0), 900);
  EXPECT_EQ(saved.ReadInteger("Sz_ToolBar_Browser", "DockRow", 0), 3);
  EXPECT_EQ(saved.ReadInteger("Ev_Main", "ItemMax", 0), 42);
}

TEST_F(SaveAllTest, FailuresAreReportedOnce) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    bool fileWritten;
  };
  const Case cases[] = {
      {"custom lists", [this] { window_.customListsSaved = false; }, true},
      {"toolbar layout", [this] { window_.throwInLayout = true; }, false},
      {"settings never loaded", [this] { state_.SettingsLoaded = false; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni("[Ev_Main]\r\nItemMax=42\r\n");
    Settings settings = LoadFresh();
    settings.ItemMax = 43;
    window_ = FakeWindow();
    dialogs_.shown.clear();
    c.arrange();
    SaveAll(settings);
    EXPECT_TRUE(state_.SettingsSaveFailed);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].kind, "message");
    EXPECT_EQ(dialogs_.shown[0].text, kSaveFailedText);
    EXPECT_EQ(dialogs_.shown[0].type, platform::MessageType::kInformation);
    IniFile saved = ParsedIni();
    EXPECT_EQ(saved.SectionExists("Sz_RssMainForm"), c.fileWritten);
    // Keyed settings are only written from loaded ones.
    EXPECT_EQ(saved.ReadInteger("Ev_Main", "ItemMax", 0), c.fileWritten && state_.SettingsLoaded ? 43 : 42);
  }
}

TEST_F(SaveAllTest, UnwritableFileIsReported) {
  Settings settings = DefaultSettings(kTestNow);
  state_.SettingsLoaded = true;
  SaveAllSettings(dir_ / "gone/plover.ini", settings, state_, window_, dialogs_, layout_);
  EXPECT_TRUE(state_.SettingsSaveFailed);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, kSaveFailedText);
  EXPECT_EQ(window_.customListSaves, 1) << "the custom lists are a file of their own";
}

TEST_F(SaveAllTest, LayoutResetIsAskedFor) {
  dialogs_.Answer(false);
  EXPECT_FALSE(RequestLayoutReset(dialogs_, state_));
  EXPECT_FALSE(state_.LayoutResetPending);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "yescancel");
  EXPECT_EQ(dialogs_.shown[0].text, "画面レイアウトやスタイルなどを初期状態に戻しますか？");
  EXPECT_EQ(dialogs_.shown[0].type, platform::MessageType::kConfirmation);

  dialogs_.Answer(true);
  EXPECT_TRUE(RequestLayoutReset(dialogs_, state_));
  EXPECT_TRUE(state_.LayoutResetPending);
  ASSERT_EQ(dialogs_.shown.size(), 3u);
  EXPECT_EQ(dialogs_.shown[2].kind, "message");
  EXPECT_EQ(dialogs_.shown[2].text, "次の起動時より反映されます。");
  EXPECT_EQ(dialogs_.shown[2].type, platform::MessageType::kInformation);
}

TEST_F(SaveAllTest, LayoutResetLeavesOnlyTheDefaultLayout) {
  WriteIni(
      "[Ev_Main]\r\nItemMax=42\r\n"
      "[Sz_ViewMode]\r\nSortNum=4\r\nStyleName=Dark\r\n"
      "[Sz_Headlist]\r\nLstWidth_1=10\r\n"
      "[sz_lowercase]\r\nA=1\r\n[SZ_UPPER]\r\nA=1\r\n[Sz_List_ToolBar_Link]\r\nRev=1\r\n"
      "[Sz]\r\nNotALayout=1\r\n[Size]\r\nNotALayout=1\r\n");
  Settings settings = LoadFresh();
  ASSERT_EQ(settings.SortNum, 4);
  state_.LayoutResetPending = true;
  SaveAll(settings);
  ASSERT_FALSE(state_.SettingsSaveFailed);

  const std::string bytes = ReadIni();
  EXPECT_TRUE(bytes.ends_with(layout_)) << "the default layout is appended byte for byte";
  IniFile saved = ParsedIni();
  std::vector<std::string> layoutSections;
  for (const std::string& name : saved.SectionNames()) {
    if (name.size() >= 3 && (name[0] == 'S' || name[0] == 's') && (name[1] == 'Z' || name[1] == 'z') &&
        name[2] == '_') {
      layoutSections.push_back(name);
    }
  }
  EXPECT_EQ(layoutSections, (std::vector<std::string>{"Sz_ToolBar_Browser", "Sz_Evw_ToolBar_Menu"}));
  EXPECT_EQ(saved.ReadInteger("Sz_ToolBar_Browser", "DockRow", 0), 1) << "the window's layout was not kept";
  EXPECT_TRUE(saved.SectionExists("Sz"));
  EXPECT_TRUE(saved.SectionExists("Size"));

  // The next start reads the defaults of sort, style and columns, and the rest as saved.
  const SettingsState runState = state_;
  Settings restarted = LoadFresh();
  state_ = runState;
  const Settings defaults = DefaultSettings(kTestNow);
  EXPECT_EQ(restarted.SortNum, defaults.SortNum);
  EXPECT_EQ(restarted.StyleName, defaults.StyleName);
  EXPECT_EQ(restarted.LstWidth, defaults.LstWidth);
  EXPECT_EQ(restarted.ItemMax, 42);

  // The reset stays pending for the rest of the run: a later save-all gives the same file.
  SaveAll(settings);
  EXPECT_EQ(ReadIni(), bytes);
}

}  // namespace
}  // namespace settings
