// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/DataSession.h"
#include "store/journal/JournalFormat.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace app {
namespace {

using store::SaveResult;
using store::TTreeNodeExt;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using text::J;

const std::string kRepairQuestion =
    "前回、Ploverは正常な終了がおこなわれませんでした。\r\nデータの更新と修復をおこないますか？";

// A channel with three unread items below RootNode.
TTreeNodeExt* AddChannel(DataSession& session, const std::string& caption) {
  auto list = std::make_unique<store::TSiteList>();
  list->Site.rdfurl = "http://example.jp/" + caption + ".xml";
  TTreeNodeExt* node =
      session.Tree().AddChild(session.Tree().RootNode(), caption, store::kKindChannel, std::move(list));
  for (int i = 0; i < 3; ++i) {
    store::TSiteRecord item;
    item.title = caption + std::to_string(i);
    item.link = "http://example.jp/" + caption + "/" + std::to_string(i);
    session.Store().AddItemToChannel(*node->Data(), item);
  }
  return node;
}

// What the state command does to an item: new state, counts, journal record.
void SetState(DataSession& session, store::TSiteRecord& item, uint8_t state) {
  const uint8_t old = item.read;
  item.read = state;
  session.Store().AdjustCountsForStateChange(item, old, state);
  session.Journal().WriteJournal(store::JournalKey(item), state, false);
  session.Store().SetModified();
}

class DataSessionTest : public ::testing::Test {
 protected:
  std::unique_ptr<DataSession> NewSession() { return std::make_unique<DataSession>(dir.Path(), loop, dialogs); }

  // A saved folder with one channel of three unread items; the session ended cleanly.
  void SaveOneChannel() {
    auto session = NewSession();
    ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
    AddChannel(*session, "feed");
    ASSERT_EQ(session->Save(false), SaveResult::kSaved);
    session->Close();
  }

  std::string JournalPath() const { return dir / "system/recovery.dat"; }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(DataSessionTest, SavesRestartTheJournalAndTheCleanEndRemovesIt) {
  auto session = NewSession();
  EXPECT_TRUE(session->SettingsReadable());
  ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
  EXPECT_TRUE(session->Journal().IsOpen());
  TTreeNodeExt* channel = AddChannel(*session, "feed");
  ASSERT_EQ(session->Save(false), SaveResult::kSaved);
  EXPECT_EQ(session->Save(false), SaveResult::kNotNeeded);

  SetState(*session, *channel->Data()->ItemAt(0), store::kStateRead);
  EXPECT_NE(ReadFile(JournalPath()), "");
  ASSERT_EQ(session->Save(true), SaveResult::kSaved);
  EXPECT_EQ(ReadFile(JournalPath()), "");  // the data file holds the state now

  session->Close();
  EXPECT_FALSE(FileExists(JournalPath()));
  EXPECT_TRUE(dialogs.shown.empty());

  auto next = NewSession();
  EXPECT_FALSE(next->PreviousRunLeftJournal());
  ASSERT_TRUE(next->Open(DataAccess::kReadWrite));
  EXPECT_EQ(next->Tree().RootNode()->ItemTotal(), 3);
  EXPECT_EQ(next->Tree().RootNode()->UnreadTotal(), 2);
}

TEST_F(DataSessionTest, AnEndWithoutACompletedSaveKeepsTheJournal) {
  SaveOneChannel();
  {
    auto session = NewSession();
    ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
    SetState(*session, *session->Tree().RootNode()->Child(0)->Data()->ItemAt(1), store::kStateProtected);
    session->Close();  // no save ran: the state is only in the journal
  }
  EXPECT_TRUE(FileExists(JournalPath()));
  auto next = NewSession();
  EXPECT_TRUE(next->PreviousRunLeftJournal());
  dialogs.Answer(true);
  ASSERT_TRUE(next->Open(DataAccess::kReadWrite));
  EXPECT_EQ(next->Tree().RootNode()->Child(0)->Data()->ItemAt(1)->read, store::kStateProtected);
}

TEST_F(DataSessionTest, StatesChangedBeforeACrashComeBack) {
  SaveOneChannel();
  {
    auto crashed = NewSession();
    ASSERT_TRUE(crashed->Open(DataAccess::kReadWrite));
    store::TSiteList& list = *crashed->Tree().RootNode()->Child(0)->Data();
    SetState(*crashed, *list.ItemAt(0), store::kStateRead);
    SetState(*crashed, *list.ItemAt(2), store::kStateProtected);
    // The session goes without Close, as in a crash.
  }
  auto next = NewSession();
  EXPECT_TRUE(next->PreviousRunLeftJournal());
  dialogs.Answer(true);
  ASSERT_TRUE(next->Open(DataAccess::kReadWrite));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kRepairQuestion);
  EXPECT_TRUE(next->Journal().RepairUpdatePending());

  store::TSiteList& list = *next->Tree().RootNode()->Child(0)->Data();
  EXPECT_EQ(list.ItemAt(0)->read, store::kStateRead);
  EXPECT_EQ(list.ItemAt(1)->read, store::kStateUnread);
  EXPECT_EQ(list.ItemAt(2)->read, store::kStateProtected);
  EXPECT_EQ(next->Tree().RootNode()->UnreadTotal(), 1);
  EXPECT_TRUE(next->Store().DataModified());
}

// A save that fails leaves the journal as it is: it still holds what plover.dat lacks.
TEST_F(DataSessionTest, AFailedSaveKeepsTheJournal) {
  SaveOneChannel();
  auto session = NewSession();
  ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
  SetState(*session, *session->Tree().RootNode()->Child(0)->Data()->ItemAt(1), store::kStateRead);
  const std::string journal = ReadFile(JournalPath());
  // A folder in the way of the temporary file makes the save fail.
  WriteFile(dir / "plover.tmp/blocker", "x");

  EXPECT_EQ(session->Save(false), SaveResult::kFailed);
  EXPECT_EQ(ReadFile(JournalPath()), journal);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "データがオープンできません 書き込みの権限が無い可能性があります。");
}

// A plover.ini that is there but cannot be read (far larger than any the program writes)
// is never replaced, and the channel data of such a run is not saved either.
TEST_F(DataSessionTest, AnUnreadableSettingsFileIsLeftAloneAndNothingIsSaved) {
  const std::string ini = "[Ev_Main]\r\nItemMax=500\r\n" + std::string(17u << 20, ';');
  WriteFile(dir / "plover.ini", ini);
  auto session = NewSession();
  EXPECT_FALSE(session->SettingsReadable());
  EXPECT_FALSE(session->SettingsState().SettingsLoaded);
  ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
  AddChannel(*session, "feed");
  EXPECT_EQ(session->Save(true), SaveResult::kBlocked);
  session->Close();
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
  EXPECT_TRUE(ReadFile(dir / "plover.ini") == ini);
}

// A look at the folder, as while another copy works on it: the journal of that copy and
// the older data file stay as they are, and nothing can be saved.
TEST_F(DataSessionTest, ReadingTouchesNeitherTheJournalNorTheOlderDataFile) {
  const std::string journal = "0.10\r\n1\r\nkey\r\n";
  WriteFile(JournalPath(), journal);
  const std::string legacy =
      J("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><data><plover><version>1.00</version></plover>"
        "<item><flag>1</flag><dispname>古いチャンネル</dispname><item><flag>10</flag><title>a</title></item>"
        "</item></data>");
  WriteFile(dir / "plover.def", legacy);

  auto session = NewSession();
  ASSERT_TRUE(session->Open(DataAccess::kReadOnly));
  ASSERT_EQ(session->Tree().RootNode()->ChildCount(), 1u);
  EXPECT_EQ(session->Tree().RootNode()->Child(0)->Caption(), J("古いチャンネル"));
  EXPECT_EQ(session->Tree().RootNode()->UnreadTotal(), 1);
  session->Store().SetModified();
  EXPECT_EQ(session->Save(true), SaveResult::kBlocked);
  EXPECT_EQ(session->DataFile().SaveChannelTree(dir.Path(), false), SaveResult::kBlocked);
  session->Close();

  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(ReadFile(JournalPath()), journal);
  EXPECT_EQ(ReadFile(dir / "plover.def"), legacy);
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
  EXPECT_FALSE(FileExists(dir / "サイトデータ.opml"));
}

TEST_F(DataSessionTest, LoadingForgetsTheWebArchivesWhoseFilesAreGone) {
  {
    auto session = NewSession();
    ASSERT_TRUE(session->Open(DataAccess::kReadWrite));
    TTreeNodeExt* feed = AddChannel(*session, "feed");
    const auto& items = feed->Data()->Items();
    items[0]->mht = "kept.mht";
    items[1]->mht = "lost.mht";
    ASSERT_EQ(session->Save(false), SaveResult::kSaved);
    session->Close();
  }
  WriteFile(dir / "system/mhtml/kept.mht", "archive");

  for (DataAccess access : {DataAccess::kReadOnly, DataAccess::kReadWrite}) {
    auto session = NewSession();
    ASSERT_TRUE(session->Open(access));
    const auto& items = session->Tree().RootNode()->Child(0)->Data()->Items();
    EXPECT_EQ(items[0]->mht, "kept.mht");
    EXPECT_EQ(items[1]->mht, "");
    EXPECT_TRUE(session->Store().DataModified()) << "the loaded data changed";
    session->Close();
  }
}

}  // namespace
}  // namespace app
