// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/DataSession.h"
#include "app/Resources.h"
#include "app/private/EmbeddedFiles.h"
#include "settings/SettingsFile.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

Environment FakeEnvironment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(AppDataFolder, PrefersAnAbsoluteXdgDataHomeAndFallsBackToHome) {
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", "/x/data/"}, {"HOME", "/home/u"}})), "/x/data");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", "relative"}, {"HOME", "/home/u"}})),
            "/home/u/.local/share");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", ""}, {"HOME", "/home/u/"}})), "/home/u/.local/share");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({})), "");
}

// Each case writes plover.drv (or none) and resolves one line; "<program>" in the
// expectation stands for the program folder.
struct DriveCase {
  const char* name;
  const char* content;  // nullptr: no plover.drv
  int line;
  std::string expected;
};

class ResolveDataFolderCases : public testing::TestWithParam<DriveCase> {};

TEST_P(ResolveDataFolderCases, FindsTheFolder) {
  const DriveCase& c = GetParam();
  testsupport::TempDir program;
  if (c.content) testsupport::WriteFile(program / "plover.drv", c.content);
  std::string expected = c.expected;
  if (expected.rfind("<program>", 0) == 0) expected = program.Path() + expected.substr(9);

  const DataFolderLocation location = ResolveDataFolder(program.Path(), c.line, "/home/u/.local/share");
  EXPECT_EQ(location.DataFolder, expected);
  EXPECT_EQ(location.IniFileName, expected + "plover.ini");
}

const DriveCase kDriveCases[] = {
    {"NoFileMeansTheProgramFolder", nullptr, 1, "<program>"},
    {"LowerCasePlaceholderWithNoInstallTakesTheOnlyLine", "[appdata]/Plover\r\n", 2, "/home/u/.local/share/Plover/"},
    {"FirstLine", "/srv/first\r\n/srv/second\r\n", 1, "/srv/first/"},
    {"SecondLine", "/srv/first\r\n/srv/second\r\n", 2, "/srv/second/"},
    {"LastLineWithoutLineEnd", "/srv/first\n/srv/second", 2, "/srv/second/"},
    {"TrailingSlashIsNotDoubled", "/srv/data/\r\n", 1, "/srv/data/"},
    {"MixedCasePlaceholderInTheMiddle", "/mnt/[AppData]/x\r\n", 1, "/mnt/home/u/.local/share/x/"},
    {"RelativeToTheProgramFolder", "data/../store\r\n", 1, "<program>store/"},
    {"EmptyFile", "", 1, "<program>"},
    {"EmptyChosenLine", "/srv/first\r\n\r\n", 2, "<program>"},
    {"ByteOrderMarkIgnored", "\xEF\xBB\xBF/srv/bom\r\n", 1, "/srv/bom/"},
    {"Utf8LineKept", "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\r\n", 1, "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF/"},
    {"Cp932LineDecoded", "/srv/\x83\x66\x81\x5B\x83\x5E\r\n", 1, "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF/"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResolveDataFolderCases, testing::ValuesIn(kDriveCases),
                         [](const testing::TestParamInfo<DriveCase>& info) { return info.param.name; });

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

const std::string kMadePrivate = "データフォルダを他のユーザーから読めないように変更しました: ";

// The data folder holds credentials: one that others may read is made the user's alone,
// and the user is told once; a private one is left alone without a word.
TEST(DataFolderPermissions, AnOpenFolderIsMadePrivateWithANotice) {
  testsupport::TempDir root;
  const std::string folder = root / "Plover/";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  testsupport::ScriptedDialogs dialogs;
  EXPECT_TRUE(MakeDataFolderPrivate(folder, dialogs));
  EXPECT_EQ(ModeOf(folder), 0700u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "message");
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kInformation);
  EXPECT_EQ(dialogs.shown[0].text, kMadePrivate + folder);

  EXPECT_FALSE(MakeDataFolderPrivate(folder, dialogs));
  EXPECT_FALSE(MakeDataFolderPrivate(root / "missing/", dialogs));
  EXPECT_EQ(dialogs.shown.size(), 1u);

  // Data kept next to the program: that folder is the program's, and stays as installed.
  const std::string program = RunningProgramFolder();
  const mode_t before = ModeOf(program);
  EXPECT_FALSE(MakeDataFolderPrivate(program, dialogs));
  EXPECT_EQ(ModeOf(program), before);
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

// The built-in files: the data folder, its system folder and every file in them are the
// user's alone, and the settings file the program starts with is one it trusts.
TEST(DataFolderPermissions, TheBuiltInFilesAreWrittenForTheUserAlone) {
  testsupport::TempDir root;
  const std::string program = root / "bin/";
  const std::string data = root / "share/Plover/";
  testsupport::ScriptedDialogs dialogs;
  EXPECT_TRUE(ExtractResources(program, data, false, dialogs).empty());
  EXPECT_EQ(ModeOf(data), 0700u);
  EXPECT_EQ(ModeOf(data + "system"), 0700u);
  for (const ResourceEntry& entry : BuiltInFiles()) {
    if (entry.folder != ResourceFolder::kProgram) {
      EXPECT_EQ(ModeOf(ResourcePath(entry, program, data)), 0600u) << entry.fileName;
    }
  }
  EXPECT_TRUE(dialogs.shown.empty()) << "a folder made now is private from the start";

  const EmbeddedFile* settings = FindEmbeddedFile("plover.ini");
  ASSERT_NE(settings, nullptr);
  EXPECT_FALSE(settings::SettingsBytesLookDamaged(settings->Bytes()));

  // An older version made the folder readable by everyone: the next start closes it.
  ASSERT_EQ(::chmod(data.c_str(), 0755), 0);
  EXPECT_TRUE(ExtractResources(program, data, false, dialogs).empty());
  EXPECT_EQ(ModeOf(data), 0700u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kMadePrivate + data);
}

// Opening the folder, as both front ends do for every command: the folder is made private,
// and a damaged settings file is reported and holds the item limits.
TEST(DataFolderPermissions, OpeningTheFolderMakesItPrivateAndReportsADamagedSettingsFile) {
  testsupport::TempDir root;
  const std::string data = root / "Plover/";
  testsupport::WriteFile(data + "plover.ini", std::string("[Ev_Main]\r\nItemMax=0\0\0", 21));
  ASSERT_EQ(::chmod(data.c_str(), 0755), 0);
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  DataSession session(data, loop, dialogs);
  EXPECT_EQ(ModeOf(data), 0700u);
  EXPECT_TRUE(session.SettingsReadable());
  EXPECT_TRUE(session.Settings().ItemLimitsHeld);
  EXPECT_TRUE(session.SettingsState().SettingsFileDamaged);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, kMadePrivate + data);
  EXPECT_EQ(dialogs.shown[1].text.rfind("設定ファイル plover.ini が壊れているため、", 0), 0u);
  EXPECT_EQ(ModeOf(session.SettingsState().DamagedSettingsCopy), 0600u);
}

}  // namespace
}  // namespace app
