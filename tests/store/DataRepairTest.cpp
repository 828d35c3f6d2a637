// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "store/datafile/BackupFiles.h"
#include "store/journal/DataRepair.h"
#include "support/ManualEventLoop.h"

namespace store::testing {
namespace {

using testsupport::WriteFile;

class RecordingHost : public RepairHost {
 public:
  void StopSearchCount() override { calls.push_back("stop"); }
  void ShowRoot() override { calls.push_back("root:" + std::to_string(rootChildren())); }
  std::function<size_t()> rootChildren;
  std::vector<std::string> calls;
};

std::string DataWith(const std::string& caption) {
  return "[000001]\r\nflag:001001\r\ndispname:" + caption + "\r\nrecovery:3\r\n*\r\nflag:001010\r\ntitle:x\r\n*\r\n";
}

class RepairTest : public ::testing::Test {
 protected:
  RepairTest() {
    host.rootChildren = [this] { return run.Root()->ChildCount(); };
    run.dataFile.SetJournal(&journal);
    WriteFile(dir / "plover.dat", DataWith("Current"));
    EXPECT_TRUE(run.Load());
    journal.OpenJournal();
    journal.WriteJournal("3\tx\t", kStateRead, true);
    run.store.SetModified();
  }

  std::string Caption() { return run.Root()->HasChildren() ? run.Root()->Child(0)->Caption() : ""; }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  ProgramRun run{dir.Path()};
  RecoveryJournal journal{loop, dir.Path()};
  RecordingHost host;
  RepairContext context{dir.Path(), run.dialogs, run.store, run.dataFile, journal, host};
};

TEST_F(RepairTest, TheCommandsAreEnabledOnlyWithABackup) {
  EXPECT_FALSE(RepairMenuOpened(dir.Path()));
  WriteFile(dir / "feed20080101.bak.dat", DataWith("Backup"));
  EXPECT_TRUE(RepairMenuOpened(dir.Path()));
}

TEST_F(RepairTest, AutomaticRepairAsksTwiceAndLoadsTheNewestBackup) {
  WriteFile(dir / "feed20080101.bak.dat", DataWith("Older"));
  WriteFile(dir / "feed20080102.bak.dat", DataWith("Newest"));
  for (bool secondAnswer : {false, true}) {
    run.dialogs.shown.clear();
    run.dialogs.Answer(true);
    run.dialogs.Answer(secondAnswer);
    EXPECT_EQ(RepairFromBackups(context), secondAnswer);
  }
  ASSERT_EQ(run.dialogs.shown.size(), 2u);
  EXPECT_EQ(run.dialogs.shown[0].text,
            "バックアップファイルを使用してデータの修復を実行しますか？\r\n"
            "(現在読み込まれているデータは破棄されますのでご注意ください)");
  EXPECT_EQ(run.dialogs.shown[1].text, "本当に実行してもよろしいですか？");
  EXPECT_EQ(Caption(), "Newest");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"stop", "root:0", "root:1"}));
  // The restored data is as saved: nothing to save until something changes, and the
  // journal starts again.
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_EQ(testsupport::ReadFile(journal.JournalPath()), "");
}

TEST_F(RepairTest, DecliningTheFirstQuestionChangesNothing) {
  WriteFile(dir / "feed20080101.bak.dat", DataWith("Backup"));
  run.dialogs.Answer(false);
  EXPECT_FALSE(RepairFromBackups(context));
  EXPECT_EQ(Caption(), "Current");
  EXPECT_TRUE(run.store.DataModified());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(RepairTest, AChosenBackupIsLoadedAsItIs) {
  const std::string chosen = dir / "feed20080101.bak.dat";
  WriteFile(chosen, DataWith("Chosen"));
  run.dialogs.AnswerFile(std::nullopt);
  EXPECT_FALSE(RepairFromChosenBackup(context));
  EXPECT_EQ(Caption(), "Current");
  run.dialogs.AnswerFile(chosen);
  EXPECT_TRUE(RepairFromChosenBackup(context));
  EXPECT_EQ(run.dialogs.shown.back().text, "バックアップファイルの選択");
  EXPECT_EQ(Caption(), "Chosen");
  EXPECT_TRUE(run.Root()->Expanded());
  EXPECT_FALSE(run.store.DataModified());
}

}  // namespace
}  // namespace store::testing
