// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "app/private/Migration.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

const std::string kMoveQuestion =
    "既にプログラムフォルダにデータが存在します。\r\n"
    "Windows Vista以降のOSで使用するために Users フォルダにデータを移動します。\r\n"
    "[はい]でデータの移動 [いいえ]でデータの移動はおこなわずにバックアップします。\r\n"
    "バックアップ先 : ";
const std::string kOverwriteWarning =
    "\r\n\r\n【注意】 既に Users フォルダにデータが存在します [はい]を選択すると上書きされます。";
const std::string kSureQuestion = "本当によろしいですか？ [いいえ]でこの作業をスキップすることもできます。";

// An old installation: data and program files side by side in the program folder.
class MigrationTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(source + "plover.dat", "channels");
    WriteFile(source + "plover.drv", "[APPDATA]/Plover\r\n");
    WriteFile(source + "plover.ini", "[Ev_Main]\r\n");
    WriteFile(source + "PLOVER.CST", "custom");
    WriteFile(source + "plover.exe", "program");
    WriteFile(source + "Plover.TXT", "readme");
    WriteFile(source + "other.txt", "not ours");
    WriteFile(source + "system/styles/a.hrstyle", "style");
    WriteFile(source + "system/xml.png", "png");
  }

  void ExpectProgramFilesStay() {
    for (const char* name : {"plover.exe", "Plover.TXT", "plover.drv", "other.txt"}) {
      EXPECT_TRUE(FileExists(source + name)) << name;
    }
  }

  void ExpectMovedTo(const std::string& target) {
    EXPECT_EQ(ReadFile(target + "plover.dat"), "channels");
    EXPECT_EQ(ReadFile(target + "PLOVER.CST"), "custom");
    EXPECT_TRUE(FileExists(target + "plover.ini"));
    EXPECT_EQ(ReadFile(target + "system/styles/a.hrstyle"), "style");
    for (const char* name : {"plover.dat", "PLOVER.CST", "plover.ini", "system"}) {
      EXPECT_FALSE(std::filesystem::exists(source + name)) << name;
    }
    for (const char* name : {"plover.exe", "Plover.TXT", "plover.drv", "other.txt"}) {
      EXPECT_FALSE(FileExists(target + name)) << name;
    }
    ExpectProgramFilesStay();
    // Temporary files of the copies are gone.
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
  }

  testsupport::TempDir root;
  std::string source = root / "program/";
  std::string destination = root / "users/Plover/";
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(MigrationTest, YesMovesTheDataAfterTwoQuestions) {
  dialogs.Answer(true);
  dialogs.Answer(true);
  EXPECT_TRUE(MigrateDataFolder(source, destination, dialogs));

  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, kMoveQuestion + source + "backup");
  EXPECT_EQ(dialogs.shown[1].text, kSureQuestion);
  for (const auto& shown : dialogs.shown) {
    EXPECT_EQ(shown.kind, "yesno");
    EXPECT_EQ(shown.type, platform::MessageType::kConfirmation);
    EXPECT_FALSE(shown.defaultNo);
  }
  ExpectMovedTo(destination);
}

TEST_F(MigrationTest, ExistingDataIsWarnedAboutThenOverwrittenAndMerged) {
  WriteFile(destination + "plover.dat", "newer");
  WriteFile(destination + "system/xml.png", "old png");
  WriteFile(destination + "system/recovery.dat", "journal");
  dialogs.Answer(true);
  dialogs.Answer(true);
  EXPECT_TRUE(MigrateDataFolder(source, destination, dialogs));

  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown[0].text, kMoveQuestion + source + "backup" + kOverwriteWarning);
  ExpectMovedTo(destination);
  EXPECT_EQ(ReadFile(destination + "system/xml.png"), "png");
  EXPECT_EQ(ReadFile(destination + "system/recovery.dat"), "journal");
}

TEST_F(MigrationTest, NoBacksUpInsideTheProgramFolder) {
  dialogs.Answer(false);
  dialogs.Answer(true);
  EXPECT_TRUE(MigrateDataFolder(source, destination, dialogs));
  ExpectMovedTo(source + "backup/");
  EXPECT_FALSE(FileExists(destination + "plover.dat"));
}

TEST_F(MigrationTest, SecondNoSkipsTheWholeMove) {
  dialogs.Answer(true);
  dialogs.Answer(false);
  EXPECT_TRUE(MigrateDataFolder(source, destination, dialogs));
  EXPECT_TRUE(FileExists(source + "plover.dat"));
  EXPECT_TRUE(FileExists(source + "system/xml.png"));
  EXPECT_FALSE(FileExists(destination + "plover.dat"));
}

TEST_F(MigrationTest, NothingIsAskedWithoutBothMarkerFiles) {
  std::filesystem::remove(source + "plover.drv");
  EXPECT_TRUE(MigrateDataFolder(source, destination, dialogs));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(FileExists(source + "plover.dat"));
}

TEST_F(MigrationTest, TheSameFolderIsLeftAlone) {
  // Copying each file onto itself and then deleting the source would lose the data.
  EXPECT_TRUE(MigrateDataFolder(source, root / "program/./", dialogs));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(ReadFile(source + "plover.dat"), "channels");
}

TEST_F(MigrationTest, AFailingFileDoesNotStopTheOthers) {
  std::filesystem::create_directories(destination + "plover.ini");  // a folder where the file should go
  dialogs.Answer(true);
  dialogs.Answer(true);
  EXPECT_FALSE(MigrateDataFolder(source, destination, dialogs));
  EXPECT_TRUE(FileExists(source + "plover.ini"));  // kept, since its copy failed
  EXPECT_EQ(ReadFile(destination + "plover.dat"), "channels");
  EXPECT_EQ(ReadFile(destination + "PLOVER.CST"), "custom");
  EXPECT_FALSE(FileExists(source + "plover.dat"));
  EXPECT_EQ(ReadFile(destination + "system/xml.png"), "png");
}

TEST_F(MigrationTest, AnUncreatableTargetFails) {
  WriteFile(root / "users", "a file in the way");
  EXPECT_FALSE(MigrateDataFolder(source, destination, dialogs));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(FileExists(source + "plover.dat"));
}

}  // namespace
}  // namespace app
