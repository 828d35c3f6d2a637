// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "DataFileSupport.h"
#include "store/journal/JournalFormat.h"
#include "store/journal/RecoveryJournal.h"
#include "support/ManualEventLoop.h"

namespace store::testing {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

const std::string kRepairQuestion =
    "前回、Ploverは正常な終了がおこなわれませんでした。\r\nデータの更新と修復をおこないますか？";

class JournalTest : public ::testing::Test {
 protected:
  std::string Path() { return dir / "system/recovery.dat"; }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  RecoveryJournal journal{loop, dir.Path()};
};

TEST_F(JournalTest, RecordsStatesAndEndsCleanly) {
  journal.OpenJournal();
  EXPECT_TRUE(journal.RecoveryTimerEnabled());
  EXPECT_EQ(ReadFile(Path()), "");  // nothing until the first record
  journal.WriteJournal("7\tTitle\r\nwith a break\tlink", kStateRead, false);
  journal.WriteJournal("7\tOther\tlink2", kStateProtected, false);
  // Each record is in the file at once; the key lost its line break.
  EXPECT_EQ(ReadFile(Path()), "0.10\r\n1\r\n7\tTitlewith a break\tlink\r\n2\r\n7\tOther\tlink2\r\n");
  EXPECT_TRUE(journal.JournalFlushPending());
  loop.Advance(RecoveryJournal::kFlushIntervalMs - 1);
  EXPECT_TRUE(journal.JournalFlushPending());
  loop.Advance(1);
  EXPECT_FALSE(journal.JournalFlushPending());
  journal.WriteJournal("7\tNow\tlink", kStateUnread, true);
  EXPECT_FALSE(journal.JournalFlushPending());

  journal.CloseJournal();
  EXPECT_FALSE(FileExists(Path()));
  EXPECT_FALSE(journal.RecoveryTimerEnabled());
  EXPECT_FALSE(journal.CheckPreviousRun(dialogs));  // a clean end asks nothing
  EXPECT_TRUE(dialogs.shown.empty());
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// The journal names the items the user read: it is the user's alone, and so is the folder
// it is made in.
TEST_F(JournalTest, TheJournalAndItsFolderAreTheUsersAlone) {
  journal.OpenJournal();
  journal.WriteJournal("7\tTitle\tlink", kStateRead, true);
  EXPECT_EQ(ModeOf(dir / "system"), 0700u);
  EXPECT_EQ(ModeOf(Path()), 0600u);
}

TEST_F(JournalTest, AnEmptyJournalIsNoAbnormalEnd) {
  WriteFile(Path(), "");
  EXPECT_FALSE(journal.CheckPreviousRun(dialogs));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JournalTest, TheRepairQuestionDecidesAboutReplayAndUpdate) {
  WriteFile(Path(), "0.10\r\n1\r\n7\tT\tL\r\n");
  dialogs.Answer(false);
  EXPECT_FALSE(journal.CheckPreviousRun(dialogs));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "yescancel");
  EXPECT_EQ(dialogs.shown[0].text, kRepairQuestion);
  EXPECT_FALSE(dialogs.shown[0].defaultNo);
  EXPECT_FALSE(journal.RepairUpdatePending());
  EXPECT_EQ(journal.PendingReplay(), nullptr);
  journal.OpenJournal();  // declined: the old journal is simply emptied
  EXPECT_EQ(ReadFile(Path()), "");
}

TEST_F(JournalTest, AJournalOfAnotherVersionAsksButReplaysNothing) {
  WriteFile(Path(), "0.09\r\n1\r\n7\tT\tL\r\n");
  dialogs.Answer(true);
  EXPECT_TRUE(journal.CheckPreviousRun(dialogs));
  EXPECT_TRUE(journal.RepairUpdatePending());
  EXPECT_EQ(journal.PendingReplay(), nullptr);
}

TEST(JournalFormatTest, LaterRecordsWinAndKeysIgnoreCase) {
  const std::optional<ReplayMap> map =
      ParseJournal("0.10\r\n1\r\n7\tTitle\tL\r\n0\r\n7\tTITLE\tl\r\n2\r\n8\tOther\tL\r\n9\r\n8\tBadState\tL\r\n1\r\n");
  ASSERT_TRUE(map);
  EXPECT_EQ(map->Size(), 2u);
  EXPECT_EQ(map->Find("7\ttitle\tL"), kStateUnread);
  EXPECT_EQ(map->Find("8\tother\tl"), kStateProtected);
  EXPECT_FALSE(map->Find("8\tBadState\tL"));  // no such state: the record is skipped
  EXPECT_FALSE(ParseJournal("0.1\r\n"));
  EXPECT_FALSE(ParseJournal(""));
  EXPECT_EQ(ParseJournal("0.10")->Size(), 0u);
  // Lone CRs and LFs end lines too, as a text file is read.
  EXPECT_EQ(ParseJournal("0.10\n1\r7\tA\tB")->Find("7\tA\tB"), kStateRead);
}

TEST(JournalFormatTest, TheKeyIsChannelNumberTitleAndLinkWithoutLineBreaks) {
  TSiteList channel;
  channel.recovery = -1;  // stored unsigned
  TSiteRecord item;
  item.title = "A\r\nB";
  item.link = "http://x/\n";
  item.Owner = &channel;
  EXPECT_EQ(JournalKey(item), "4294967295\tAB\thttp://x/");
}

TEST_F(JournalTest, ReplayGivesEachStateOnceAndJournalsItAgain) {
  WriteFile(Path(), "0.10\r\n1\r\n5\tT\tL\r\n");
  dialogs.Answer(true);
  ASSERT_TRUE(journal.CheckPreviousRun(dialogs));
  journal.OpenJournal();
  TSiteList channel;
  channel.recovery = 5;
  TSiteRecord item;
  item.title = "t";  // the case differs from the record
  item.link = "L";
  EXPECT_FALSE(journal.ReplayItemState(item));  // no Owner yet
  item.Owner = &channel;
  EXPECT_TRUE(journal.ReplayItemState(item));
  EXPECT_EQ(item.read, kStateRead);
  EXPECT_EQ(ReadFile(Path()), "0.10\r\n1\r\n5\tt\tL\r\n");
  item.read = kStateUnread;
  EXPECT_FALSE(journal.ReplayItemState(item));  // the entry was used up
  EXPECT_EQ(journal.PendingReplay()->Size(), 0u);
  journal.CloseJournal();
  EXPECT_EQ(journal.PendingReplay(), nullptr);
}

}  // namespace
}  // namespace store::testing
