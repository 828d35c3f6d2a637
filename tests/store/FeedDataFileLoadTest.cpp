// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "platform/Files.h"
#include "store/datafile/BackupFiles.h"
#include "store/datafile/DataFileWriter.h"

namespace store::testing {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

const std::string kMainQuestion =
    "前回に更新したデータに問題が発見されました\r\n直近のバックアップファイルを使用してデータの修復を試みますか？";
const std::string kBackupQuestion =
    "バックアップファイルに問題が発見されました\r\n次のバックアップファイルを使用してデータの修復を試みますか？";
const std::string kRepairFailed =
    "データの修復を試みましたが残念ながら失敗しました。\r\n"
    "ディスクに問題があるか破損したフィードデータを受信した可能性があります。";

// A data file with one channel captioned `caption` and `items` items.
std::string DataWith(const std::string& caption, int items = 1) {
  std::string bytes = "[000001]\r\nflag:001001\r\ndispname:" + caption + "\r\nrecovery:1\r\n*\r\n";
  for (int i = 0; i < items; ++i) bytes += "flag:001010\r\ntitle:" + caption + std::to_string(i) + "\r\n*\r\n";
  return bytes;
}

// The same file as this program writes it: with the record of its item total after the
// header.
std::string WithItemTotal(const std::string& bytes, int items) {
  return bytes.substr(0, 10) + "flag:001020\r\nitemtotal:" + std::to_string(items) + "\r\n*\r\n" + bytes.substr(10);
}

// Says 2 nodes but holds 1: the count check fails.
std::string Damaged(const std::string& caption) {
  std::string bytes = DataWith(caption);
  bytes[6] = '2';
  return bytes;
}

// Every file of the folder with its bytes, to prove that a load changed none of them.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : platform::ListFiles(folder)) files[name] = ReadFile(folder + name);
  return files;
}

class LoadTest : public ::testing::Test {
 protected:
  void Backup(int daysAgo, const std::string& bytes) {
    WriteFile(dir / BackupFileName(FixtureNow() - daysAgo * 86400), bytes);
  }
  std::string FirstCaption() { return run.Root()->HasChildren() ? run.Root()->Child(0)->Caption() : ""; }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& shown : run.dialogs.shown) texts.push_back(shown.text);
    return texts;
  }

  testsupport::TempDir dir;
  ProgramRun run{dir.Path()};
};

TEST_F(LoadTest, NoDataFileIsAnEmptyFirstStart) {
  EXPECT_TRUE(run.Load());
  EXPECT_FALSE(run.Root()->HasChildren());
  EXPECT_TRUE(run.dialogs.shown.empty());
}

TEST_F(LoadTest, AStaleTemporaryFileIsNeverLoaded) {
  WriteFile(dir / "plover.dat", DataWith("Saved"));
  WriteFile(dir / "plover.tmp", DataWith("HalfWritten").substr(0, 30));
  EXPECT_TRUE(run.Load());
  EXPECT_EQ(FirstCaption(), "Saved");
  EXPECT_FALSE(run.store.DataModified());
}

TEST_F(LoadTest, ADamagedFileFallsBackToTheNewestGoodBackup) {
  const std::string main = Damaged("Main");
  WriteFile(dir / "plover.dat", main);
  Backup(3, DataWith("Older"));
  Backup(1, Damaged("Newest"));
  run.dialogs.Answer(true);
  run.dialogs.Answer(true);
  EXPECT_TRUE(run.Load());
  EXPECT_EQ(FirstCaption(), "Older");
  EXPECT_EQ(run.Root()->ItemTotal(), 1);  // only the good file's items
  EXPECT_EQ(Texts(), (std::vector<std::string>{kMainQuestion, kBackupQuestion}));
  EXPECT_FALSE(run.dialogs.shown[0].defaultNo);
  EXPECT_TRUE(run.store.DataModified());
  EXPECT_FALSE(run.guard.XmlParserMissing());

  // The damaged file is kept under another name before a save may replace it.
  const std::string aside = dir / "plover.dat.damaged-20080103-120000";
  EXPECT_EQ(ReadFile(aside), main);
  ASSERT_EQ(run.Save(), SaveResult::kSaved);
  EXPECT_EQ(ReadFile(aside), main);
  EXPECT_EQ(ReadFile(dir / "plover.dat"), WithItemTotal(DataWith("Older"), 1));
}

TEST_F(LoadTest, DecliningTheRepairBlocksEverySave) {
  WriteFile(dir / "plover.dat", Damaged("Main"));
  Backup(1, DataWith("Backup"));
  const auto before = Snapshot(dir.Path());
  run.dialogs.Answer(false);
  EXPECT_FALSE(run.Load());
  EXPECT_TRUE(run.guard.XmlParserMissing());
  run.store.SetModified();
  EXPECT_EQ(run.Save(true), SaveResult::kBlocked);
  EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST_F(LoadTest, WhenTheLastBackupFailsTooNothingIsSaved) {
  WriteFile(dir / "plover.dat", Damaged("Main"));
  Backup(1, Damaged("Backup"));
  run.dialogs.Answer(true);
  EXPECT_FALSE(run.Load());
  EXPECT_EQ(Texts(), (std::vector<std::string>{kMainQuestion, kRepairFailed}));
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_TRUE(run.guard.XmlParserMissing());
}

TEST_F(LoadTest, WithoutBackupsYesKeepsWhatWasReadBeforeTheDamage) {
  WriteFile(dir / "plover.dat", "[000009]\r\n" + DataWith("Partial").substr(10));
  run.dialogs.Answer(true);
  EXPECT_TRUE(run.Load());
  EXPECT_EQ(FirstCaption(), "Partial");
  EXPECT_TRUE(run.store.DataModified());
  EXPECT_EQ(run.Save(), SaveResult::kSaved);
}

TEST_F(LoadTest, TheRepairAttemptsStartWithTheBackupsOrWithTheChosenFile) {
  WriteFile(dir / "plover.dat", DataWith("Main"));
  Backup(1, DataWith("Backup"));
  EXPECT_TRUE(run.Load(1));
  EXPECT_EQ(FirstCaption(), "Backup");
  std::filesystem::remove(dir / "plover.dat");  // the backups are tried without it too
  run.store.ClearUserTree();
  EXPECT_TRUE(run.Load(1));
  EXPECT_EQ(FirstCaption(), "Backup");
  EXPECT_TRUE(run.dataFile.LoadChannelTree(dir / BackupFileName(FixtureNow() - 86400), -1, true));
  EXPECT_EQ(FirstCaption(), "Backup");
  EXPECT_TRUE(run.Root()->Expanded());
  WriteFile(dir / "chosen.dat", Damaged("Chosen"));
  EXPECT_FALSE(run.dataFile.LoadChannelTree(dir / "chosen.dat", -1, true));
  EXPECT_EQ(Texts(), std::vector<std::string>{kRepairFailed});
}

// Damaged main files of every sort: the user is asked, a No leaves every stored file as
// it was, a Yes loads the backup and keeps the main file's bytes under another name.
// The bytes are made when the case runs, not when the test program starts: every test
// runs in a process of its own, and a large case would otherwise be built for each one.
struct BadInput {
  const char* name;
  std::string (*make)();
};

// What the program writes for two channels, cut right after an item record of the last
// channel: every record is whole and the count of nodes matches; only the item total
// tells that items are missing.
std::string CutAtAnItemBoundary() {
  settings::Settings settings;
  settings.ItemMax = 0;
  settings.DateMax = 0;
  ChannelStore store{settings};
  AddChannel(store, store.Tree().RootNode(), "First", 2, 1);
  AddChannel(store, store.Tree().RootNode(), "Last", 5, 2);
  RecoveryCounter counter{1};
  const std::string bytes = SerializeChannelTree(store.Tree(), settings, 39450.5, counter);
  return bytes.substr(0, bytes.rfind("flag:001010\r\n"));
}

std::string Binary() {
  std::mt19937 random(7);
  std::string bytes(64 * 1024, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return "[000001]" + bytes;
}

class BadInputTest : public LoadTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithoutTouchingTheStoredFiles) {
  const std::string bytes = GetParam().make();
  WriteFile(dir / "plover.dat", bytes);
  Backup(1, DataWith("Backup", 2));
  const auto before = Snapshot(dir.Path());
  run.dialogs.Answer(false);
  EXPECT_FALSE(run.Load());
  run.store.SetModified();
  EXPECT_EQ(run.Save(true), SaveResult::kBlocked);
  EXPECT_EQ(Snapshot(dir.Path()), before);

  ProgramRun second(dir.Path());
  second.dialogs.Answer(true);
  EXPECT_TRUE(second.Load());
  EXPECT_EQ(second.Root()->Child(0)->Caption(), "Backup");
  EXPECT_EQ(ReadFile(dir / "plover.dat"), bytes);
  EXPECT_EQ(ReadFile(dir / "plover.dat.damaged-20080103-120000"), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedFiles, BadInputTest,
    ::testing::Values(BadInput{"Empty", [] { return std::string(); }},
                      BadInput{"Truncated", [] { return DataWith("Cut", 3).substr(0, 20); }},
                      BadInput{"TruncatedBeforeALaterNode", [] { return DataWith("A") + "flag:001000\r\ndispn"; }},
                      BadInput{"ZeroFilled", [] { return std::string(8192, '\0'); }}, BadInput{"Binary", Binary},
                      BadInput{"HugeLine", [] { return "[000001]\r\n" + std::string(24 << 20, 'x'); }},
                      BadInput{"HugeDepth", [] { return std::string("[000001]\r\nflag:999001\r\n*\r\n"); }},
                      BadInput{"CutAtAnItemBoundary", CutAtAnItemBoundary}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace store::testing
