// SPDX-License-Identifier: MIT
// A plover.ini that does not look like a settings file is set aside, the user is told, and
// neither the file nor the item limits are trusted until the user saves the settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/SaveAll.h"
#include "settings/SaveAllHost.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFixture.h"
#include "settings/SettingsStore.h"
#include "settings/TControlSize.h"
#include "support/ScriptedDialogs.h"
#include "text/Literal.h"

namespace settings {
namespace {

using namespace std::string_literals;

struct LookCase {
  const char* name;
  std::string bytes;
  bool damaged;
};

class LookTest : public ::testing::TestWithParam<LookCase> {};

TEST_P(LookTest, TellsASettingsFileFromOtherBytes) {
  EXPECT_EQ(SettingsBytesLookDamaged(GetParam().bytes), GetParam().damaged);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LookTest,
    ::testing::Values(
        // What a crash during a write that was not atomic leaves, and other files of nothing.
        LookCase{"Empty", "", true}, LookCase{"BlanksAndComments", "\r\n  \r\n; notes\r\n", true},
        LookCase{"NulBytes", "[Ev_Main]\r\nItemMax=0\r\n\0\0\0\0"s, true},
        LookCase{"ControlBytes", "[Ev_Main]\r\nItemMax=0\x01\x02\x1b\r\n", true},
        LookCase{"Utf16", "\xFF\xFE[\0E\0v\0_\0M\0a\0i\0n\0]\0"s, true},
        LookCase{"HeaderWithoutClosingBracket", "[Ev_Main\r\nItemMax=0\r\n", true},
        LookCase{"HeaderWithoutOpeningBracket", "[Ev_Secure]\r\nSilent=1\r\nEv_Main]\r\nItemMax=0\r\n", true},
        LookCase{"EmptyHeader", "[Ev_Main]\r\n[]\r\nItemMax=0\r\n", true},
        LookCase{"NoSectionOfTheProgram", "[Notes]\r\nA=1\r\n", true},
        LookCase{"PlainText", "Dear diary,\r\ntoday I read feeds.\r\n", true},
        LookCase{"MainSettings", "[Ev_Main]\r\nItemMax=0\r\n", false},
        // The settings file the program writes at its first start holds only the layout.
        LookCase{"LayoutOnlyInAnyCase", "[sz_toolbar_browser]\r\nRev=2000\r\n", false},
        LookCase{"BracketsInValues", "[Ev_Main]\r\nHomePage=[x]\r\nSearchEngine=a]\r\nKey=[b\r\n", false},
        LookCase{"BlanksAroundEverything", "  [ Ev_Main ]  \r\n\tItemMax=1\r\n", false},
        LookCase{"LoneCarriageReturns", "[Ev_Main]\rItemMax=1\r", false},
        LookCase{"Cp932Text", "[Ev_Keyword]\r\nKeyword1=" + text::J("日本語の表示") + "\r\n", false},
        LookCase{"OtherSectionsBeside", "[Notes]\r\nA=1\r\n[Ev_FTP]\r\nFTPSync=0\r\n", false}),
    [](const ::testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

// The main window as the save-all sees it: nothing to take over, a layout to write.
class QuietWindow : public SaveAllHost {
 public:
  std::vector<int> ListColumnWidths() override { return {}; }
  std::vector<std::string> AddressBoxItems() override { return {}; }
  std::vector<std::string> KeywordBoxItems() override { return {}; }
  std::optional<std::string> CurrentThemeName() override { return "Default"; }
  void WriteLayout(IniFile& ini) override { ini.WriteInteger("Sz_ToolBar_Browser", "DockRow", 3); }
  bool SaveCustomLists() override {
    ++customListSaves;
    return true;
  }
  int customListSaves = 0;
};

class DamagedSettingsTest : public SettingsFixture {
 protected:
  // The names of the copies beside plover.ini.
  std::vector<std::string> Copies() const {
    std::vector<std::string> copies;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
      const std::string name = entry.path().filename();
      if (name.rfind("plover.ini.damaged-", 0) == 0) copies.push_back(dir_ / name);
    }
    return copies;
  }

  testsupport::ScriptedDialogs dialogs_;
};

// The header of the main settings broken: the user's limits are lost with it, and the
// defaults would cut every channel to 100 items.
const std::string kBrokenHeader =
    "[Ev_Extension]\r\nProgramTitle=Plover\r\n[Ev_Main\r\nItemMax=0\r\nDateMax=0\r\n[Ev_Secure]\r\nSecureMode=1\r\n";

TEST_F(DamagedSettingsTest, IsSetAsideReadAsFarAsItGoesAndTheUserIsTold) {
  WriteIni(kBrokenHeader);
  Settings settings = DefaultSettings(kTestNow);
  SettingsState state;
  ASSERT_TRUE(LoadSettings(Path(), settings, state, &dialogs_));
  EXPECT_TRUE(state.SettingsLoaded);
  EXPECT_TRUE(state.SettingsFileDamaged);
  EXPECT_TRUE(settings.ItemLimitsHeld);
  EXPECT_EQ(settings.ItemMax, 100);  // lost with its header
  EXPECT_TRUE(settings.SecureMode);  // read where the file is whole

  ASSERT_EQ(Copies(), std::vector<std::string>{state.DamagedSettingsCopy});
  EXPECT_EQ(testsupport::ReadFile(state.DamagedSettingsCopy), kBrokenHeader);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "message");
  EXPECT_EQ(dialogs_.shown[0].type, platform::MessageType::kInformation);
  EXPECT_EQ(dialogs_.shown[0].text,
            "設定ファイル plover.ini が壊れているため、読み取れた設定だけを使用します。\r\n"
            "元のファイルは次の名前で残しました: " +
                state.DamagedSettingsCopy +
                "\r\n設定を保存するまで、設定ファイルは書き換えず、記事の保存件数と保存期間による記事の削除もおこないま"
                "せん。");

  // Every save leaves the file as it is, and that is no failure.
  EXPECT_TRUE(SaveSettings(Path(), settings, state));
  EXPECT_FALSE(state.SettingsSaveFailed);
  EXPECT_FALSE(MainWindowSize(1920, 1080).WriteSize(Path()));
  QuietWindow window;
  SaveAllSettings(Path(), settings, state, window, dialogs_, "[Sz_Reset]\r\n");
  EXPECT_FALSE(state.SettingsSaveFailed);
  EXPECT_EQ(window.customListSaves, 1) << "the custom lists are files of their own";
  EXPECT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(ReadIni(), kBrokenHeader);
}

TEST_F(DamagedSettingsTest, TheNextStartFindsItAgainAndKeepsOneCopy) {
  WriteIni(kBrokenHeader);
  Settings first = DefaultSettings(kTestNow);
  SettingsState firstState;
  ASSERT_TRUE(LoadSettings(Path(), first, firstState, &dialogs_));
  Settings second = DefaultSettings(kTestNow);
  SettingsState secondState;
  ASSERT_TRUE(LoadSettings(Path(), second, secondState, &dialogs_));
  EXPECT_TRUE(second.ItemLimitsHeld);
  EXPECT_EQ(secondState.DamagedSettingsCopy, firstState.DamagedSettingsCopy);
  EXPECT_EQ(Copies().size(), 1u);
  EXPECT_EQ(dialogs_.shown.size(), 2u);

  // Damaged differently: that is a copy of its own.
  WriteIni("");
  Settings third = DefaultSettings(kTestNow);
  SettingsState thirdState;
  ASSERT_TRUE(LoadSettings(Path(), third, thirdState, &dialogs_));
  EXPECT_EQ(Copies().size(), 2u);
  EXPECT_EQ(testsupport::ReadFile(thirdState.DamagedSettingsCopy), "");
}

// Saved by the user, the settings are the user's again: the hold ends and a good file
// replaces the damaged one, whose copy stays.
TEST_F(DamagedSettingsTest, SavedByTheUserTheSettingsAreTrustedAgain) {
  WriteIni(kBrokenHeader);
  Settings settings = DefaultSettings(kTestNow);
  SettingsState state;
  ASSERT_TRUE(LoadSettings(Path(), settings, state, &dialogs_));
  settings.ItemMax = 500;
  SettingsSavedByUser(settings, state);
  EXPECT_FALSE(settings.ItemLimitsHeld);
  EXPECT_FALSE(state.SettingsFileDamaged);
  QuietWindow window;
  SaveAllSettings(Path(), settings, state, window, dialogs_, "");
  EXPECT_FALSE(state.SettingsSaveFailed);

  Settings reloaded = LoadFresh();
  EXPECT_FALSE(state_.SettingsFileDamaged);
  EXPECT_FALSE(reloaded.ItemLimitsHeld);
  EXPECT_EQ(reloaded.ItemMax, 500);
  EXPECT_TRUE(reloaded.SecureMode);
  EXPECT_EQ(ParsedIni().ReadInteger("Sz_ToolBar_Browser", "DockRow", 0), 3);
  EXPECT_EQ(ReadIni().find("[Ev_Main\r\n"), std::string::npos) << "the broken header went with the damaged file";
  ASSERT_EQ(Copies().size(), 1u);
  EXPECT_EQ(testsupport::ReadFile(Copies()[0]), kBrokenHeader);
}

// Read well at the start and damaged since: the settings in memory are the user's and are
// saved, but the bytes found are kept under another name first.
TEST_F(DamagedSettingsTest, AFileDamagedSinceTheStartIsSetAsideBeforeItIsReplaced) {
  Settings settings = LoadFrom("[Ev_Main]\r\nItemMax=0\r\n");
  EXPECT_FALSE(settings.ItemLimitsHeld);
  const std::string garbage = "\0\0\0\0\0\0\0\0"s;
  WriteIni(garbage);
  ASSERT_TRUE(SaveSettings(Path(), settings, state_));
  EXPECT_EQ(ParsedIni().ReadInteger("Ev_Main", "ItemMax", -1), 0);
  ASSERT_EQ(Copies().size(), 1u);
  EXPECT_EQ(testsupport::ReadFile(Copies()[0]), garbage);
}

}  // namespace
}  // namespace settings
