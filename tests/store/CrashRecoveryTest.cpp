// SPDX-License-Identifier: MIT
// Item states changed after the last save come back after a crash.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DataFileSupport.h"
#include "store/journal/JournalFormat.h"
#include "store/journal/RecoveryJournal.h"
#include "support/ManualEventLoop.h"

namespace store::testing {
namespace {

// A run with its journal, started the way the program starts.
struct JournalledRun : ProgramRun {
  explicit JournalledRun(const std::string& folder) : ProgramRun(folder), journal(loop, folder) {
    dataFile.SetJournal(&journal);
  }

  // The start-up sequence: the previous run is checked, the journal opened, the tree loaded.
  bool Start(bool agreeToRepair) {
    dialogs.Answer(agreeToRepair);
    const bool abnormal = journal.CheckPreviousRun(dialogs);
    journal.OpenJournal();
    EXPECT_TRUE(Load());
    return abnormal;
  }

  // What the state command does: the new state, the counts, the journal record.
  void SetState(TSiteRecord& item, uint8_t state) {
    const uint8_t old = item.read;
    item.read = state;
    store.AdjustCountsForStateChange(item, old, state);
    journal.WriteJournal(JournalKey(item), state, false);
    store.SetModified();
  }

  TSiteRecord& Item(size_t channel, size_t index) { return *Root()->Child(channel)->Data()->ItemAt(index); }

  testsupport::ManualEventLoop loop;
  RecoveryJournal journal;
};

class CrashRecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A saved tree to start from: two channels of three unread items; the second has a
    // title with a line break.
    JournalledRun first(dir.Path());
    AddChannel(first.store, first.Root(), "A", 3);
    AddChannel(first.store, first.Root(), "B", 3);
    first.Root()->Child(1)->Data()->ItemAt(2)->title = "B\r\nbroken";
    first.store.SetModified();
    ASSERT_EQ(first.Save(), SaveResult::kSaved);
    first.journal.CloseJournal();
  }

  // Changes states, some twice, and "crashes": the objects go without a clean end.
  void ChangeStatesAndCrash() {
    auto run = std::make_unique<JournalledRun>(dir.Path());
    EXPECT_FALSE(run->Start(false));
    run->SetState(run->Item(0, 0), kStateRead);
    run->SetState(run->Item(0, 1), kStateRead);
    run->SetState(run->Item(0, 1), kStateUnread);
    run->SetState(run->Item(0, 1), kStateRead);  // the last state wins
    run->SetState(run->Item(1, 2), kStateProtected);
    EXPECT_EQ(run->Root()->UnreadTotal(), 3);
  }

  void ExpectStatesBack(JournalledRun& run) {
    EXPECT_TRUE(run.journal.RepairUpdatePending());
    EXPECT_EQ(run.Item(0, 0).read, kStateRead);
    EXPECT_EQ(run.Item(0, 1).read, kStateRead);
    EXPECT_EQ(run.Item(0, 2).read, kStateUnread);
    EXPECT_EQ(run.Item(1, 2).read, kStateProtected);
    EXPECT_EQ(run.Root()->ItemTotal(), 6);
    EXPECT_EQ(run.Root()->UnreadTotal(), 3);
    EXPECT_EQ(run.Root()->Child(0)->UnreadTotal(), 1);
    EXPECT_TRUE(run.store.DataModified());  // the replayed states still have to be saved
  }

  testsupport::TempDir dir;
};

TEST_F(CrashRecoveryTest, StatesComeBackAfterACrash) {
  ChangeStatesAndCrash();
  JournalledRun next(dir.Path());
  EXPECT_TRUE(next.Start(true));
  ExpectStatesBack(next);

  // Saved and restarted, the journal starts empty and the states are in the file.
  ASSERT_EQ(next.Save(), SaveResult::kSaved);
  next.journal.CloseJournal();
  next.journal.OpenJournal();
  EXPECT_EQ(testsupport::ReadFile(next.journal.JournalPath()), "");
}

TEST_F(CrashRecoveryTest, StatesComeBackAfterACrashInTheMiddleOfASave) {
  ChangeStatesAndCrash();
  const std::string saved = testsupport::ReadFile(dir / "plover.dat");
  testsupport::WriteFile(dir / "plover.tmp", saved.substr(0, saved.size() / 2));
  JournalledRun next(dir.Path());
  EXPECT_TRUE(next.Start(true));
  ExpectStatesBack(next);
  ASSERT_EQ(next.Save(), SaveResult::kSaved);
  EXPECT_FALSE(testsupport::FileExists(dir / "plover.tmp"));
}

TEST_F(CrashRecoveryTest, DecliningTheRepairStartsAsSaved) {
  ChangeStatesAndCrash();
  JournalledRun next(dir.Path());
  EXPECT_FALSE(next.Start(false));
  EXPECT_FALSE(next.journal.RepairUpdatePending());
  EXPECT_EQ(next.Root()->UnreadTotal(), 6);
  EXPECT_FALSE(next.store.DataModified());
}

}  // namespace
}  // namespace store::testing
