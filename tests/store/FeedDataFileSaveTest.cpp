// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "store/LocalClock.h"
#include "store/datafile/BackupFiles.h"
#include "store/datafile/DataFileFormat.h"

namespace store::testing {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

void SetLastWrite(const std::string& path, std::time_t when) {
  const utimbuf times{when, when};
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

class SaveTest : public ::testing::Test {
 protected:
  SaveTest() {
    AddChannel(run.store, run.Root(), "Feed", 3, 1);
    run.store.SetModified();
  }

  testsupport::TempDir dir;
  ProgramRun run{dir.Path()};
};

TEST_F(SaveTest, ReplacesTheDataFileThroughTheTemporaryFile) {
  WriteFile(dir / "plover.dat", "old");
  WriteFile(dir / "plover.tmp", "half of an earlier save");
  ASSERT_EQ(run.Save(), SaveResult::kSaved);
  const std::string saved = ReadFile(dir / "plover.dat");
  EXPECT_EQ(saved.rfind("[000001]\r\nflag:001020\r\nitemtotal:3\r\n*\r\nflag:001001\r\ndispname:Feed\r\n", 0), 0u);
  EXPECT_FALSE(FileExists(dir / "plover.tmp"));
  EXPECT_FALSE(run.store.DataModified());

  // Nothing changed since: nothing is written.
  WriteFile(dir / "plover.dat", "untouched");
  EXPECT_EQ(run.Save(), SaveResult::kNotNeeded);
  run.store.SetModified();
  run.guard.SetXmlParserMissing();
  EXPECT_EQ(run.Save(), SaveResult::kBlocked);
  EXPECT_EQ(ReadFile(dir / "plover.dat"), "untouched");
  EXPECT_TRUE(run.dialogs.shown.empty());
}

// A failed save leaves plover.dat as it was and the data still modified, so the next
// save point writes the changes instead of finding nothing to do.
TEST_F(SaveTest, AFailedSaveKeepsTheDataModifiedForTheNextTry) {
  const std::string openFailed = "データがオープンできません 書き込みの権限が無い可能性があります。";
  for (const std::string blocker : {"plover.tmp", "plover.dat"}) {
    // A folder in the way cannot be deleted or replaced by a file.
    std::filesystem::remove(dir / blocker);
    WriteFile(dir / (blocker + "/keep"), "x");
    run.dialogs.shown.clear();
    EXPECT_EQ(run.Save(), SaveResult::kFailed) << blocker;
    ASSERT_EQ(run.dialogs.shown.size(), 1u);
    EXPECT_EQ(run.dialogs.shown[0].text, openFailed);
    EXPECT_TRUE(run.store.DataModified());
    std::filesystem::remove_all(dir / blocker);
    EXPECT_EQ(run.Save(), SaveResult::kSaved) << blocker;
    EXPECT_FALSE(FileExists(dir / "plover.tmp"));
    run.store.SetModified();
  }
}

TEST_F(SaveTest, AWriteErrorNamesTheChannelAndLeavesTheOldFile) {
  AddChannel(run.store, run.Root(), "Second", 200, 2);
  WriteFile(dir / "plover.dat", "old data");
  // A file size limit makes the writes fail like a full disk.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const SaveResult result = run.Save();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, SaveResult::kFailed);
  ASSERT_EQ(run.dialogs.shown.size(), 1u);
  EXPECT_EQ(run.dialogs.shown[0].text,
            "サイト名 : Second\r\nURL : http://example.com/Second\r\n\r\n"
            "データが正しく保存できませんでした ディスクに問題があるか破損したFeedデータを受信した可能性があります。");
  EXPECT_EQ(ReadFile(dir / "plover.dat"), "old data");
  EXPECT_FALSE(FileExists(dir / "plover.tmp"));
  EXPECT_TRUE(run.store.DataModified());
}

TEST_F(SaveTest, BackupsKeepTheFirstFileOfADateAndTheNewestSeven) {
  const std::time_t day = FixtureNow();
  for (int i = 1; i <= 7; ++i) WriteFile(dir / BackupFileName(day - i * 86400), "backup " + std::to_string(i));
  WriteFile(dir / "plover.dat", "first of the day");
  SetLastWrite(dir / "plover.dat", day);
  ASSERT_EQ(run.Save(true), SaveResult::kSaved);
  const std::string todays = dir / BackupFileName(day);
  EXPECT_EQ(ReadFile(todays), "first of the day");
  EXPECT_FALSE(FileExists(dir / BackupFileName(day - 7 * 86400)));  // the oldest of eight went
  EXPECT_EQ(ListBackupFiles(dir.Path()).size(), kBackupsKept);

  // A second save of the same date keeps the first backup; a save without backup makes none.
  SetLastWrite(dir / "plover.dat", day);
  run.store.SetModified();
  ASSERT_EQ(run.Save(true), SaveResult::kSaved);
  EXPECT_EQ(ReadFile(todays), "first of the day");
  SetLastWrite(dir / "plover.dat", day + 86400);
  run.store.SetModified();
  ASSERT_EQ(run.Save(false), SaveResult::kSaved);
  EXPECT_FALSE(FileExists(dir / BackupFileName(day + 86400)));
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// The data file holds the user's credentials: it is readable by the user alone, also when
// the file it replaces was not, and so is the backup of that file.
TEST_F(SaveTest, TheDataFileAndItsBackupAreTheUsersAlone) {
  const std::time_t day = FixtureNow();
  WriteFile(dir / "plover.dat", "written by an older version");
  ASSERT_EQ(::chmod((dir / "plover.dat").c_str(), 0644), 0);
  SetLastWrite(dir / "plover.dat", day);
  ASSERT_EQ(run.Save(true), SaveResult::kSaved);
  EXPECT_EQ(ModeOf(dir / "plover.dat"), 0600u);
  EXPECT_EQ(ReadFile(dir / BackupFileName(day)), "written by an older version");
  EXPECT_EQ(ModeOf(dir / BackupFileName(day)), 0600u);
}

// Until the folder is flushed, the rename that put the new plover.dat in place may be lost
// to a power cut: an error there is a failed save, and the next save point tries again.
TEST_F(SaveTest, AnErrorFlushingTheFolderFailsTheSave) {
  WriteFile(dir / "plover.dat", "old data");
  std::vector<std::string> flushed;
  run.dataFile.SetFolderSync([&flushed](const std::string& folder) {
    flushed.push_back(folder);
    errno = EIO;
    return false;
  });
  EXPECT_EQ(run.Save(), SaveResult::kFailed);
  EXPECT_EQ(flushed, std::vector<std::string>{dir.Path()});
  ASSERT_EQ(run.dialogs.shown.size(), 1u);
  EXPECT_EQ(run.dialogs.shown[0].text,
            "データの保存を完了できませんでした。\r\n"
            "データフォルダへの書き込みをディスクに確定できませんでした (ディスクに問題がある可能性があります)。");
  EXPECT_TRUE(run.store.DataModified());
  EXPECT_FALSE(FileExists(dir / "plover.tmp"));

  run.dataFile.SetFolderSync([](const std::string&) { return true; });
  EXPECT_EQ(run.Save(), SaveResult::kSaved);
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_EQ(run.dialogs.shown.size(), 1u);
}

// A file that its own loader refuses would make the data folder unloadable: a tree deeper
// than the loader reads is not saved at all.
TEST_F(SaveTest, ATreeDeeperThanTheLoaderReadsIsNotSaved) {
  TTreeNodeExt* group = run.Root();
  for (int depth = 1; depth <= datafile::kMaxDepth; ++depth) {
    group = run.store.Tree().AddChild(group, "G" + std::to_string(depth), kKindGroup);
  }
  // A group at the deepest depth is still fine, as long as it holds nothing.
  ASSERT_EQ(run.Save(), SaveResult::kSaved);
  const std::string saved = ReadFile(dir / "plover.dat");
  ProgramRun reloaded(dir.Path());
  EXPECT_TRUE(reloaded.Load());
  EXPECT_EQ(reloaded.Root()->ItemTotal(), 3);

  AddChannel(run.store, group, "TooDeep", 2);
  EXPECT_EQ(run.Save(), SaveResult::kFailed);
  ASSERT_EQ(run.dialogs.shown.size(), 1u);
  EXPECT_EQ(run.dialogs.shown[0].text,
            "フォルダの階層が深すぎるためデータを保存できませんでした (200 階層まで)。\r\n"
            "フォルダ : G200\r\nこのフォルダの中身を浅い階層へ移動してください。");
  EXPECT_EQ(ReadFile(dir / "plover.dat"), saved);
  EXPECT_FALSE(FileExists(dir / "plover.tmp"));
  EXPECT_TRUE(run.store.DataModified());
}

TEST(BackupFilesTest, ListsMatchingFilesInDateOrder) {
  testsupport::TempDir dir;
  for (const char* name : {"feed20080103.bak.dat", "feed20080101.bak.dat", "FEED20080102.BAK.DAT", "feed.bak.dat",
                           "feed20080101.bak.dat.part", "other.bak.dat", "plover.dat"}) {
    WriteFile(dir / name, "x");
  }
  WriteFile(dir / "feed20080104.bak.dat/inside", "a folder is not a backup");
  EXPECT_EQ(ListBackupFiles(dir.Path()), (std::vector<std::string>{"feed.bak.dat", "feed20080101.bak.dat",
                                                                   "FEED20080102.BAK.DAT", "feed20080103.bak.dat"}));
  EXPECT_EQ(BackupFileName(FixtureNow()), "feed20080103.bak.dat");
}

}  // namespace
}  // namespace store::testing
