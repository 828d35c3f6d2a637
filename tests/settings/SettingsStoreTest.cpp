// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <optional>
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

using SettingsStoreTest = SettingsFixture;

TEST_F(SettingsStoreTest, MissingFileGivesTheDefaults) {
  Settings settings = LoadFresh();
  EXPECT_TRUE(state_.SettingsLoaded);
  EXPECT_FALSE(testsupport::FileExists(Path())) << "loading never creates the file";
  EXPECT_EQ(settings, DefaultSettings(kTestNow));
  EXPECT_EQ(settings.DateMax, 60);
  EXPECT_EQ(settings.MhtSaveRun, 1488022959);  // 2024-05-17 13:45:30
  EXPECT_EQ(settings.AddressMax, 3);
  EXPECT_EQ(settings.Address[0], "https://www.google.co.jp/");
  EXPECT_EQ(settings.Address[1], "https://www.yahoo.co.jp/");
  EXPECT_EQ(settings.Address[2], "https://b.hatena.ne.jp/");
  const std::vector<TMouseActionType> builtIn = {
      {text::J("←"), 0},   {text::J("→"), 1},   {text::J("↑"), 5},   {text::J("↓"), 6},
      {text::J("←↑"), 20}, {text::J("←↓"), 23}, {text::J("→↑"), 13}, {text::J("→↓"), 25},
  };
  EXPECT_EQ(settings.MouseAct, builtIn);
}

TEST_F(SettingsStoreTest, ReadsWhatPeoplesFilesHold) {
  Settings settings = LoadFrom(
      "; written by hand\r\n"
      "\r\n"
      "[ev_main]\n"
      "itemmax=55\n"
      "  TREEBOLD = 0\n"
      "DateMax=-1\r\n"                        // the unset marker gives the usual 60
      "ListFontSize=big\r\n"                  // not a number: the default stays
      "HTTPTimeout=0x1E\r\n"                  // hexadecimal
      "MhtImages=yes\r\n"                     // not a number either
      "MidokuSave=2\r\n"                      // any number but 0 is true
      "HomePage= http://a.example/?x=1 \r\n"  // the raw text after the first "="
      "[EV_SECURE]\r\n"
      "securemode=1\r\n");
  EXPECT_EQ(settings.ItemMax, 55);
  EXPECT_FALSE(settings.TreeBold);
  EXPECT_EQ(settings.DateMax, 60);
  EXPECT_EQ(settings.ListFontSize, 9);
  EXPECT_EQ(settings.HTTPTimeout, 30);
  EXPECT_TRUE(settings.MhtImages);
  EXPECT_TRUE(settings.MidokuSave);
  EXPECT_EQ(settings.HomePage, " http://a.example/?x=1 ");
  EXPECT_TRUE(settings.SecureMode);
}

struct ClampCase {
  const char* name;
  const char* file;
  std::function<int(const Settings&)> value;
  int expected;
};

class SettingsClampTest : public SettingsFixture, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(SettingsClampTest, KeepsValuesInRange) {
  const ClampCase& c = GetParam();
  EXPECT_EQ(c.value(LoadFrom(c.file)), c.expected);
}

const ClampCase kClampCases[] = {
    {"AddressMaxAbove20", "[Ev_Address]\nAddressMax=35\n", [](const Settings& s) { return s.AddressMax; }, 20},
    {"AddressMaxNegative", "[Ev_Address]\nAddressMax=-4\n", [](const Settings& s) { return s.AddressMax; }, 0},
    {"KeywordMaxAbove20", "[Ev_Keyword]\nKeywordMax=21\n", [](const Settings& s) { return s.KeywordMax; }, 20},
    {"TrayRefreshTimeLow", "[Ev_Main]\nTrayRefreshTime=5\n", [](const Settings& s) { return s.TrayRefreshTime; }, 60},
    {"TrayRefreshTimeHigh", "[Ev_Main]\nTrayRefreshTime=1000\n", [](const Settings& s) { return s.TrayRefreshTime; },
     300},
    {"TrayRefreshTimeInRange", "[Ev_Main]\nTrayRefreshTime=90\n", [](const Settings& s) { return s.TrayRefreshTime; },
     90},
    {"EvwSeekMaxZero", "[Ev_Main]\nEvwSeekMax=0\n", [](const Settings& s) { return s.EvwSeekMax; }, 1},
    {"EvwSeekMaxHigh", "[Ev_Main]\nEvwSeekMax=51\n", [](const Settings& s) { return s.EvwSeekMax; }, 50},
    {"HttpThreadMaxZero", "[Ev_Main]\nHttpThreadMax=0\n", [](const Settings& s) { return s.HttpThreadMax; }, 1},
    {"SortNumHigh", "[Sz_ViewMode]\nSortNum=9\n", [](const Settings& s) { return s.SortNum; }, 5},
    {"EvwSortNumNegative", "[Sz_ViewMode]\nEvwSortNum=-1\n", [](const Settings& s) { return s.EvwSortNum; }, 0},
    {"FormViewModeZero", "[Sz_ViewMode]\nFormViewMode=0\n", [](const Settings& s) { return s.FormViewMode; }, 1},
    {"FormViewModeHigh", "[Sz_ViewMode]\nFormViewMode=9\n", [](const Settings& s) { return s.FormViewMode; }, 4},
    {"MouseActMaxHuge", "[Ev_Action]\nMouseActMax=2000000000\n",
     [](const Settings& s) { return static_cast<int>(s.MouseAct.size()); }, 1000},
};

INSTANTIATE_TEST_SUITE_P(Clamps, SettingsClampTest, ::testing::ValuesIn(kClampCases),
                         [](const ::testing::TestParamInfo<ClampCase>& info) { return info.param.name; });

TEST_F(SettingsStoreTest, ValuesSetOutOfRangeInMemoryAreClampedOnSaving) {
  Settings settings = LoadFresh();
  settings.AddressMax = 25;
  settings.KeywordMax = -3;
  settings.TrayRefreshTime = 5;
  settings.EvwSeekMax = 99;
  Save(settings);
  IniFile saved = ParsedIni();
  EXPECT_EQ(saved.ReadInteger("Ev_Address", "AddressMax", 0), 20);
  EXPECT_TRUE(saved.ValueExists("Ev_Address", "Address20"));
  EXPECT_EQ(saved.ReadInteger("Ev_Keyword", "KeywordMax", 1), 0);
  EXPECT_FALSE(saved.ValueExists("Ev_Keyword", "Keyword1"));
  EXPECT_EQ(saved.ReadInteger("Ev_Main", "TrayRefreshTime", 0), 60);
  EXPECT_EQ(saved.ReadInteger("Ev_Main", "EvwSeekMax", 0), 50);
  EXPECT_EQ(settings.AddressMax, 20) << "memory agrees with the file";
  EXPECT_EQ(settings.TrayRefreshTime, 60);
}

TEST_F(SettingsStoreTest, LongAddressHistoryIsCutTo20AndRewrittenWithoutStaleEntries) {
  std::string file = "[Ev_Address]\r\nAddressMax=35\r\n";
  for (int i = 1; i <= 35; ++i) file += "Address" + std::to_string(i) + "=http://site" + std::to_string(i) + "/\r\n";
  Settings settings = LoadFrom(file);
  EXPECT_EQ(settings.AddressMax, 20);
  EXPECT_EQ(settings.Address[19], "http://site20/");

  Save(settings);
  IniFile saved = ParsedIni();
  EXPECT_EQ(saved.ReadInteger("Ev_Address", "AddressMax", 0), 20);
  EXPECT_EQ(saved.ReadString("Ev_Address", "Address20", ""), "http://site20/");
  EXPECT_FALSE(saved.ValueExists("Ev_Address", "Address21"));
  EXPECT_FALSE(saved.ValueExists("Ev_Address", "Address35"));

  // A shorter list leaves no entry of the longer one behind.
  settings.AddressMax = 2;
  Save(settings);
  saved = ParsedIni();
  EXPECT_TRUE(saved.ValueExists("Ev_Address", "Address2"));
  EXPECT_FALSE(saved.ValueExists("Ev_Address", "Address3"));
}

TEST_F(SettingsStoreTest, GestureBindingCount) {
  const std::vector<TMouseActionType> builtIn = BuiltInMouseActions();
  EXPECT_EQ(LoadFrom("[Ev_Action]\r\nMouseAction=1\r\n").MouseAct, builtIn);
  EXPECT_EQ(LoadFrom("[Ev_Action]\r\nMouseActMax=-1\r\nMouseAct1=003x\r\n").MouseAct, builtIn);
  EXPECT_EQ(LoadFrom("[Ev_Action]\r\nMouseActMax=-7\r\n").MouseAct, builtIn);
  EXPECT_TRUE(LoadFrom("[Ev_Action]\r\nMouseActMax=0\r\nMouseAct1=003x\r\n").MouseAct.empty());

  Settings two = LoadFrom("[Ev_Action]\r\nMouseActMax=2\r\nMouseAct1=007" + text::J("↑↓") + "\r\n");
  EXPECT_EQ(two.MouseAct, (std::vector<TMouseActionType>{{text::J("↑↓"), 7}, {"", 0}}));

  // An empty list stays empty through a save, rather than coming back as the built-in one.
  Settings none = LoadFrom("[Ev_Action]\r\nMouseActMax=0\r\n");
  Save(none);
  EXPECT_EQ(ParsedIni().ReadInteger("Ev_Action", "MouseActMax", -1), 0);
  EXPECT_TRUE(LoadFresh().MouseAct.empty());
}

TEST(MouseActTest, ParsesAndFormatsBindings) {
  struct Case {
    std::string stored;
    int command;
    std::string gesture;
  };
  const Case reads[] = {
      {"007" + text::J("↑↓"), 7, text::J("↑↓")}, {"029" + text::J("←"), 29, text::J("←")}, {"7", 7, ""}, {"", 0, ""},
      {"1x2" + text::J("→"), 1, text::J("→")},  // cut at the first invalid character
      {"abc" + text::J("↓"), 0, text::J("↓")},  // nothing left: 0
      {"-05" + text::J("↓"), -5, text::J("↓")},  {" 12" + text::J("↓"), 12, text::J("↓")},
  };
  for (const Case& c : reads) {
    TMouseActionType action = ParseMouseAct(c.stored);
    EXPECT_EQ(action.Command, c.command) << c.stored;
    EXPECT_EQ(action.Gesture, c.gesture) << c.stored;
  }
  const Case writes[] = {
      {"007" + text::J("←"), 7, text::J("←")},
      {"000", 0, ""},
      {"029" + text::J("→↓"), 29, text::J("→↓")},
      {"234" + text::J("↑"), 1234, text::J("↑")},  // only the last three digits are kept
      {"-05", -5, ""},
  };
  for (const Case& c : writes) EXPECT_EQ(FormatMouseAct({c.gesture, c.command}), c.stored) << c.command;
}

TEST_F(SettingsStoreTest, FtpFolderNeverStartsWithASlash) {
  Settings settings = LoadFrom("[Ev_FTP]\r\nFTPFolderName=/feeds\r\n");
  EXPECT_EQ(settings.FTPFolderName, "feeds");
  Save(settings);
  EXPECT_EQ(ParsedIni().ReadString("Ev_FTP", "FTPFolderName", ""), "feeds");

  settings.FTPFolderName = "/typed/in/dialog";
  Save(settings);
  EXPECT_EQ(settings.FTPFolderName, "typed/in/dialog");
  EXPECT_EQ(ParsedIni().ReadString("Ev_FTP", "FTPFolderName", ""), "typed/in/dialog");
}

TEST_F(SettingsStoreTest, CredentialsAreScrambledOnDisk) {
  Settings settings = LoadFresh();
  settings.ProxySetting = {"a", ""};
  Save(settings);
  EXPECT_EQ(ParsedIni().ReadString("Ev_Main", "ProxySetting", ""), ScrambleText(std::string("a\0", 2)));

  settings.ProxySetting = {"", ""};
  Save(settings);
  EXPECT_EQ(ParsedIni().ReadString("Ev_Main", "ProxySetting", "x"), "");

  // The proxy pair is plain in memory; the FTP and Bloglines pairs stay as stored and are
  // read where they are used.
  settings.ProxySetting = {text::J("プロキシ利用者"), "proxy-secret"};
  settings.FTPUserName = StoreCredential({"ftpuser", "ftp-secret"});
  settings.BloglinesUser = StoreCredential({"me@example.com", "blog-secret"});
  Save(settings);
  const std::string bytes = ReadIni();
  for (const char* secret : {"proxy-secret", "ftp-secret", "blog-secret", "ftpuser"}) {
    EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " is in the file in plain";
  }
  Settings reloaded = LoadFresh();
  EXPECT_EQ(reloaded.ProxySetting, (Credential{text::J("プロキシ利用者"), "proxy-secret"}));
  EXPECT_EQ(reloaded.FTPUserName, settings.FTPUserName);
  EXPECT_EQ(ReadCredential(reloaded.FTPUserName), (Credential{"ftpuser", "ftp-secret"}));
  EXPECT_EQ(ReadCredential(reloaded.BloglinesUser), (Credential{"me@example.com", "blog-secret"}));
}

TEST_F(SettingsStoreTest, PinnedViewKeepsItsStoredSortState) {
  Settings settings = LoadFrom("[Sz_ViewMode]\r\nViewSetSave=1\r\nSortNum=2\r\nDateMode=3\r\n");
  ASSERT_EQ(settings.SortNum, 2);
  settings.SortNum = 5;
  settings.DateMode = 7;
  settings.EvwSortNum = 1;  // the view mode's state is not pinned
  Save(settings);
  IniFile saved = ParsedIni();
  EXPECT_EQ(saved.ReadInteger("Sz_ViewMode", "SortNum", 0), 2);
  EXPECT_EQ(saved.ReadInteger("Sz_ViewMode", "DateMode", 0), 3);
  EXPECT_EQ(saved.ReadInteger("Sz_ViewMode", "EvwSortNum", 0), 1);
  EXPECT_FALSE(saved.ValueExists("Sz_ViewMode", "SortUpDown")) << "a pinned key is not written at all";
}

TEST_F(SettingsStoreTest, ViewStateCommands) {
  Settings settings = LoadFresh();
  settings.EvwSortNum = 4;
  settings.EvwMidokuOnly = 0;
  // "現在の状態を保存" in view mode stores the state once and pins it.
  ASSERT_TRUE(SaveCurrentViewState(Path(), settings, state_, true));
  EXPECT_TRUE(settings.ExtViewSetSave);
  EXPECT_FALSE(settings.ViewSetSave);
  settings.EvwSortNum = 2;
  ASSERT_TRUE(SaveSettings(Path(), settings, state_));
  Settings restarted = LoadFresh();
  EXPECT_EQ(restarted.EvwSortNum, 4);
  EXPECT_EQ(restarted.EvwMidokuOnly, 0);
  EXPECT_TRUE(restarted.ExtViewSetSave);

  // "ソート/フィルタは自動" stores the state at every save again.
  SetViewStateAutomatic(settings, true);
  EXPECT_FALSE(settings.ExtViewSetSave);
  ASSERT_TRUE(SaveSettings(Path(), settings, state_));
  EXPECT_EQ(LoadFresh().EvwSortNum, 2);
}

TEST_F(SettingsStoreTest, CommandLineViewModeIsNeitherReadNorWritten) {
  WriteIni("[Sz_ViewMode]\r\nFormViewMode=2\r\n");
  Settings settings = DefaultSettings(kTestNow);
  settings.FormViewMode = 4;  // "-s" on the command line
  SettingsState state;
  state.ViewModeFromCommandLine = true;
  ASSERT_TRUE(LoadSettings(Path(), settings, state));
  EXPECT_EQ(settings.FormViewMode, 4);
  ASSERT_TRUE(SaveSettings(Path(), settings, state));
  EXPECT_EQ(ParsedIni().ReadInteger("Sz_ViewMode", "FormViewMode", 0), 2);
}

TEST_F(SettingsStoreTest, UnknownKeysAndSectionsSurviveASave) {
  WriteIni("[Ev_Extension]\r\nProgramTitle=" + text::J("ぷろばー") +
           "\r\n"
           "[Ev_Main]\r\nFutureKey=kept as it is \r\nitemmax=70\r\n"
           "[Ev_Action]\r\nMouseActMax=1\r\nMouseAct1=001" +
           text::J("→") +
           "\r\n"
           "[Sz_ToolBar_Browser]\r\nRev=2000\r\nDockRow=2\r\n"
           "[Sz_RssMainForm]\r\nszLeft=10\r\n"
           "[MyNotes]\r\nWhatever=" +
           text::J("日本語") + "\r\n");
  Settings settings = LoadFresh();
  EXPECT_EQ(settings.ItemMax, 70);
  settings.ItemMax = 80;
  Save(settings);

  IniFile saved = ParsedIni();
  EXPECT_EQ(saved.ReadString("Ev_Extension", "ProgramTitle", ""), text::J("ぷろばー"));
  EXPECT_EQ(saved.ReadString("Ev_Main", "FutureKey", ""), "kept as it is ");
  EXPECT_EQ(saved.ReadInteger("Ev_Main", "ItemMax", 0), 80);
  EXPECT_EQ(saved.ReadString("Sz_ToolBar_Browser", "DockRow", ""), "2");
  EXPECT_EQ(saved.ReadString("Sz_RssMainForm", "szLeft", ""), "10");
  EXPECT_EQ(saved.ReadString("MyNotes", "Whatever", ""), text::J("日本語"));
  EXPECT_EQ(saved.ReadString("Ev_Action", "MouseAct1", ""), "001" + text::J("→"));
  // The sections keep their places, rewritten list sections too; new ones follow them.
  std::vector<std::string> names = saved.SectionNames();
  ASSERT_GE(names.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 7),
            (std::vector<std::string>{"Ev_Extension", "Ev_Main", "Ev_Action", "Sz_ToolBar_Browser", "Sz_RssMainForm",
                                      "MyNotes", "Ev_Secure"}));
  // Saving again changes nothing.
  const std::string bytes = ReadIni();
  Save(settings);
  EXPECT_EQ(ReadIni(), bytes);
  // The key written again replaced the old one rather than adding a second.
  size_t itemMaxKeys = 0;
  for (const auto& entry : saved.Sections()[1].Entries) itemMaxKeys += entry.Key == "ItemMax" || entry.Key == "itemmax";
  EXPECT_EQ(itemMaxKeys, 1u);
}

TEST(RefreshTimeTest, IsDecimalTextWithAPoint) {
  for (double value : {0.0, 45678.5, 45678.123456789012, -1.25, 1e-9, 2958465.99999}) {
    std::string stored = FormatRefreshTime(value);
    EXPECT_EQ(stored.find(','), std::string::npos) << stored;
    EXPECT_EQ(ParseRefreshTime(stored), value) << stored;
  }
  EXPECT_EQ(FormatRefreshTime(45678.5), "45678.5");
  struct Case {
    const char* stored;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"45678.5", 45678.5},  {"45678,5", 45678.5},  {" 12.25 ", 12.25},      {"1e3", 1000.0},
      {"45678", 45678.0},    {"", std::nullopt},    {"abc", std::nullopt},   {"12.5x", std::nullopt},
      {"nan", std::nullopt}, {"inf", std::nullopt}, {"1e999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRefreshTime(c.stored), c.value) << c.stored;
}

TEST_F(SettingsStoreTest, RefreshTimeThatDoesNotParseKeepsTheValue) {
  EXPECT_EQ(LoadFrom("[Ev_Main]\r\nRefreshTime=45678.25\r\n").RefreshTime, 45678.25);
  EXPECT_EQ(LoadFrom("[Ev_Main]\r\nRefreshTime=yesterday\r\n").RefreshTime, 0.0);
}

TEST(DosPackedDateTimeTest, PacksLocalTime) {
  // Year 44 since 1980, May, 17th, 13:45, 30 / 2 seconds.
  EXPECT_EQ(DosPackedDateTime(2024, 5, 17, 13, 45, 30),
            (44 << 25) | (5 << 21) | (17 << 16) | (13 << 11) | (45 << 5) | 15);
  EXPECT_EQ(DosPackedDateTime(1970, 1, 1, 0, 0, 0), (1 << 21) | (1 << 16)) << "before 1980 counts as 1980";
  EXPECT_LT(DosPackedDateTime(2050, 1, 1, 0, 0, 0), 0) << "the top bit is the sign in the file";
}

}  // namespace
}  // namespace settings
