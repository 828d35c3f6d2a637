// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "settings/SettingsFile.h"
#include "settings/SettingsFixture.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"
#include "settings/TControlSize.h"
#include "text/Literal.h"

namespace settings {
namespace {

using namespace std::string_literals;

std::string PseudoRandomBytes(size_t length, uint32_t seed) {
  std::string bytes;
  bytes.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes += static_cast<char>(seed >> 16);
  }
  return bytes;
}

std::string Utf16Le(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (char ch : ascii) {
    bytes += ch;
    bytes += '\0';
  }
  return bytes;
}

std::string HugeFile() {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "[Junk" + std::to_string(i) + "]\r\nKey=value\r\n";
  bytes += "[Long]\r\nValue=" + std::string(4 << 20, 'x') + "\r\n";
  return bytes + "[Ev_Main]\r\nItemMax=42\r\n";
}

struct BadInput {
  const char* name;
  std::function<std::string()> bytes;
  std::function<void(const Settings&)> check;
  bool damaged;  // not what a settings file holds: set aside, limits held
};

class BadInputTest : public SettingsFixture, public ::testing::WithParamInterface<BadInput> {};

// Whatever the file holds, loading gives a usable record, and a save followed by a load
// gives the same record again. A file that does not look like a settings file holds the
// item limits until the settings are saved; the file saved then is a good one.
TEST_P(BadInputTest, LoadsAndSavesSafely) {
  Settings loaded = LoadFrom(GetParam().bytes());
  EXPECT_TRUE(state_.SettingsLoaded);
  EXPECT_EQ(state_.SettingsFileDamaged, GetParam().damaged);
  EXPECT_EQ(loaded.ItemLimitsHeld, GetParam().damaged);
  loaded.ItemLimitsHeld = false;
  GetParam().check(loaded);
  Settings saved = loaded;
  Save(saved);
  EXPECT_EQ(saved, loaded);
  EXPECT_EQ(LoadFresh(), loaded);
  EXPECT_FALSE(state_.SettingsFileDamaged);
}

const BadInput kBadInputs[] = {
    {"Empty", [] { return std::string(); }, [](const Settings& s) { EXPECT_EQ(s, DefaultSettings(kTestNow)); }, true},
    {"Utf16", [] { return Utf16Le("[Ev_Main]\r\nItemMax=5\r\n"); },
     [](const Settings& s) { EXPECT_EQ(s, DefaultSettings(kTestNow)); }, true},
    // UTF-8 rather than Shift_JIS: the bytes are kept as they are.
    {"Utf8", [] { return "[Ev_Main]\r\nHomePage=http://例え.jp/\r\n"; },
     [](const Settings& s) { EXPECT_EQ(s.HomePage, "http://例え.jp/"); }, false},
    {"Binary", [] { return PseudoRandomBytes(4096, 7) + "\r\n[Ev_Main]\r\nItemMax=42\r\n"; },
     [](const Settings& s) { EXPECT_EQ(s.ItemMax, 42); }, true},
    {"TruncatedLine", [] { return "[Ev_Main]\r\nItemMax=50\r\nDateMax=3"; },
     [](const Settings& s) {
       EXPECT_EQ(s.ItemMax, 50);
       EXPECT_EQ(s.DateMax, 3);
     },
     false},
    {"TruncatedSection", [] { return "[Ev_Main]\r\nItemMax=50\r\n[Ev_Sec"; },
     [](const Settings& s) { EXPECT_EQ(s.ItemMax, 50); }, true},
    {"TruncatedCharacter", [] { return "[Ev_Main]\r\nHomePage=" + text::J("日本").substr(0, 3); },
     [](const Settings& s) { EXPECT_EQ(s.HomePage, text::J("日本").substr(0, 3)); }, false},
    {"NulBytes", [] { return "[Ev_Main]\r\nItem\0Max=5\r\nItemMax=6\0\r\n"s; },
     [](const Settings& s) { EXPECT_EQ(s.ItemMax, 6); }, true},
    {"Huge", HugeFile, [](const Settings& s) { EXPECT_EQ(s.ItemMax, 42); }, false},
};

INSTANTIATE_TEST_SUITE_P(Files, BadInputTest, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<BadInput>& info) { return info.param.name; });

// Ways a settings file can be there and still not be readable. The tests run as any user,
// root included, so permissions are not among them.
struct UnreadableKind {
  const char* name;
  std::function<void(const std::string& path)> make;
  std::function<bool(const std::string& path)> unchanged;
};

const UnreadableKind kUnreadableKinds[] = {
    {"TooLarge",
     [](const std::string& path) {
       testsupport::WriteFile(path, "[Ev_Main]\r\nItemMax=7\r\n" + std::string(kMaxSettingsFileSize, ';'));
     },
     [](const std::string& path) {
       return std::filesystem::file_size(path) == kMaxSettingsFileSize + 22 &&
              testsupport::ReadFile(path).starts_with("[Ev_Main]\r\nItemMax=7\r\n;;;");
     }},
    {"Folder", [](const std::string& path) { std::filesystem::create_directory(path); },
     [](const std::string& path) { return std::filesystem::is_directory(path); }},
    {"Pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
     [](const std::string& path) { return std::filesystem::is_fifo(path); }},
};

class UnreadableFileTest : public SettingsFixture, public ::testing::WithParamInterface<UnreadableKind> {};

TEST_P(UnreadableFileTest, IsNeverReplaced) {
  GetParam().make(Path());
  EXPECT_TRUE(OpenSettingsFile(Path()).Unreadable());

  Settings settings = DefaultSettings(kTestNow);
  SettingsState state;
  EXPECT_FALSE(LoadSettings(Path(), settings, state));
  EXPECT_FALSE(state.SettingsLoaded) << "defaults must never be saved over the user's file";
  EXPECT_EQ(settings, DefaultSettings(kTestNow));
  EXPECT_FALSE(SaveSettings(Path(), settings, state));
  EXPECT_TRUE(state.SettingsSaveFailed);

  // Loaded earlier, unreadable now: the save still leaves the file alone.
  state = SettingsState{};
  state.SettingsLoaded = true;
  EXPECT_FALSE(SaveSettings(Path(), settings, state));
  EXPECT_TRUE(state.SettingsSaveFailed);
  EXPECT_FALSE(MainWindowSize(1920, 1080).WriteSize(Path()));
  EXPECT_EQ(LoadStartupSettings(Path()).Pausetime, 20);
  EXPECT_TRUE(GetParam().unchanged(Path()));
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableFileTest, ::testing::ValuesIn(kUnreadableKinds),
                         [](const ::testing::TestParamInfo<UnreadableKind>& info) { return info.param.name; });

using SettingsFileTest = SettingsFixture;

std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST_F(SettingsFileTest, CrashDuringASaveLeavesTheOldFileWhole) {
  // What a crash in the middle of a save leaves: the old file, and a temporary file
  // beside it that was never renamed.
  WriteIni("[Ev_Main]\r\nItemMax=42\r\n");
  testsupport::WriteFile(dir_ / "plover.ini.tmp", "[Ev_Main]\r\nItemMa");
  testsupport::WriteFile(dir_ / ".plover.ini.tmp-AbC123", "[Ev_Main]\r\n");
  Settings settings = LoadFresh();
  EXPECT_EQ(settings.ItemMax, 42);

  settings.ItemMax = 43;
  Save(settings);
  EXPECT_EQ(LoadFresh().ItemMax, 43);
  EXPECT_EQ(FolderEntries(dir_.Path()),
            (std::set<std::string>{"plover.ini", "plover.ini.tmp", ".plover.ini.tmp-AbC123"}))
      << "a save leaves no temporary file of its own behind";
}

TEST_F(SettingsFileTest, FailedWriteIsReported) {
  const std::string path = dir_ / "gone/plover.ini";
  Settings settings = DefaultSettings(kTestNow);
  SettingsState state;
  ASSERT_TRUE(LoadSettings(path, settings, state)) << "a missing file is no failure";
  EXPECT_FALSE(SaveSettings(path, settings, state));
  EXPECT_TRUE(state.SettingsSaveFailed);
  EXPECT_FALSE(testsupport::FileExists(dir_ / "gone"));
}

TEST_F(SettingsFileTest, NothingIsWrittenBeforeTheSettingsWereLoaded) {
  WriteIni("[Ev_Main]\r\nItemMax=42\r\n");
  Settings settings = DefaultSettings(kTestNow);
  SettingsState state;
  EXPECT_FALSE(SaveSettings(Path(), settings, state));
  EXPECT_TRUE(state.SettingsSaveFailed);
  EXPECT_EQ(ReadIni(), "[Ev_Main]\r\nItemMax=42\r\n");
}

TEST_F(SettingsFileTest, FlushAppendsTrailingBytesAsTheyAre) {
  SettingsFile file = OpenSettingsFile(Path());
  EXPECT_EQ(file.FileOrigin(), SettingsFile::Origin::kMissing);
  file.Ini().WriteInteger("Ev_A", "K", 1);
  ASSERT_TRUE(FlushSettingsFile(file, "[Sz_Tail]\nRaw=1"));
  EXPECT_EQ(ReadIni(), "[Ev_A]\r\nK=1\r\n\r\n[Sz_Tail]\nRaw=1");
  EXPECT_EQ(OpenSettingsFile(Path()).FileOrigin(), SettingsFile::Origin::kRead);
}

}  // namespace
}  // namespace settings
