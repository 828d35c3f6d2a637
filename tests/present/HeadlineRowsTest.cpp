// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "HeadlineFixture.h"

namespace present::testing {
namespace {

using store::kStateProtected;
using store::kStateRead;
using store::kStateUnread;

using HeadlineRowsTest = HeadlineFixture;

TEST_F(HeadlineRowsTest, ReadTimerMarksTheRowReadAfterTheDelayLessTheDisplayDelay) {
  store::TSiteRecord* item = Add(chanA, "a");
  Add(chanA, "b", kStateRead);
  settings.KidokuTime = 3;
  list.SelectNode(chanA);
  list.SetListDisplayDelay(200);
  list.SelectRow(1);
  list.SelectRow(0);
  loop.Advance(2799);
  EXPECT_EQ(item->read, kStateUnread);
  loop.Advance(1);
  EXPECT_EQ(item->read, kStateRead);
  EXPECT_EQ(chanA->UnreadTotal(), 0);
}

TEST_F(HeadlineRowsTest, ReadTimerOffAtOnceAndOnFocus) {
  store::TSiteRecord* a = Add(chanA, "a", kStateUnread, 1);
  store::TSiteRecord* b = Add(chanA, "b", kStateUnread, 2);
  settings.KidokuTime = -1;
  list.SelectNode(chanA);
  loop.Advance(60000);
  EXPECT_EQ(a->read, kStateUnread) << "-1 never marks";

  settings.KidokuTime = 0;
  list.SelectRow(1);
  EXPECT_EQ(b->read, kStateRead) << "0 marks the row selected in the focused list at once";

  settings.KidokuTime = -1;
  list.SelectRow(0);
  settings.KidokuTime = 0;
  ASSERT_EQ(a->read, kStateUnread);
  list.ListFocusGained();
  loop.Advance(199);
  EXPECT_EQ(a->read, kStateUnread);
  loop.Advance(1);
  EXPECT_EQ(a->read, kStateRead) << "200 ms after the list gained the focus";
}

TEST_F(HeadlineRowsTest, ReadTimerLeavesAProtectedItemProtectedButADirectCommandReadsIt) {
  store::TSiteRecord* item = Add(chanA, "p", kStateProtected);
  settings.KidokuTime = 1;
  list.SelectNode(chanA);
  loop.Advance(5000);
  EXPECT_EQ(item->read, kStateProtected);
  list.MarkSelectedRows(store::kActionToRead);
  EXPECT_EQ(item->read, kStateRead);
}

TEST_F(HeadlineRowsTest, ToUnreadOnSeveralRowsLeavesProtectedAndUnreadAlone) {
  Add(chanA, "u", kStateUnread, 1);
  Add(chanA, "r", kStateRead, 2);
  Add(chanA, "p", kStateProtected, 3);
  list.SelectNode(chanA);
  list.SelectRows({0, 1, 2}, 1);
  list.MarkSelectedRows(store::kActionToUnread);
  std::vector<uint8_t> states;
  for (size_t row = 0; row < list.RowCount(); ++row) states.push_back(list.Item(row)->read);
  EXPECT_EQ(states, (std::vector<uint8_t>{kStateUnread, kStateUnread, kStateProtected}));
  EXPECT_EQ(list.SelectedCount(), 0u);
  EXPECT_EQ(list.FocusedRow(), 1);
  EXPECT_EQ(list.UnreadInList(), 2);
}

TEST_F(HeadlineRowsTest, BulkQuestionsCarryTheActionsSuffix) {
  Add(chanA, "u");
  Add(chanB, "v");
  list.SelectNode(chanA);
  dialogs.Answer(false);
  list.MarkAllRows(store::kActionToRead);
  EXPECT_EQ(chanA->UnreadTotal(), 1);
  dialogs.Answer(true);
  list.MarkAllRows(store::kActionProtect);
  EXPECT_EQ(list.Item(0)->read, kStateProtected);

  list.SelectNode(group);
  dialogs.Answer(true);
  list.MarkBelowNode(store::kActionToRead);
  EXPECT_EQ(group->UnreadTotal(), 0);

  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[0].text, "全ての［未読］を［既読］に変更しますか？");
  EXPECT_EQ(dialogs.shown[1].text, "全てを［保護］に変更しますか？");
  EXPECT_EQ(dialogs.shown[2].text, "選択項目より下の［未読］を［既読］に変更しますか？");
  EXPECT_EQ(dialogs.shown[2].kind, "yescancel");
}

TEST_F(HeadlineRowsTest, ToggleCyclesForwardAndBackward) {
  store::TSiteRecord* item = Add(chanA, "a");
  list.SelectNode(chanA);
  std::vector<uint8_t> forward, backward;
  for (int i = 0; i < 3; ++i) {
    list.ListViewKeyDown(ListKey::kRight, {});
    forward.push_back(item->read);
  }
  for (int i = 0; i < 3; ++i) {
    list.ListViewKeyDown(ListKey::kLeft, {});
    backward.push_back(item->read);
  }
  EXPECT_EQ(forward, (std::vector<uint8_t>{kStateRead, kStateProtected, kStateUnread}));
  EXPECT_EQ(backward, (std::vector<uint8_t>{kStateProtected, kStateRead, kStateUnread}));
  EXPECT_FALSE(list.ListViewKeyDown(ListKey::kRight, KeyModifiers{false, true, false})) << "Ctrl+Right is not ours";
}

TEST_F(HeadlineRowsTest, AStateChangeMadeElsewhereStopsTheReadTimerAndKeepsTheUnreadCount) {
  store::TSiteRecord* a = Add(chanA, "a", kStateUnread, 1);
  store::TSiteRecord* b = Add(chanA, "b", kStateUnread, 2);
  settings.KidokuTime = 3;
  list.SelectNode(chanA);
  list.SelectRow(0);
  ASSERT_TRUE(list.ReadTimerActive());
  ASSERT_EQ(list.UnreadInList(), 2);
  EXPECT_FALSE(list.ListChanged());

  // The page commands change states through the store, not through the list.
  EXPECT_TRUE(store::SetItemState(states, b, kStateRead, store::Protection::kOverride));
  EXPECT_FALSE(list.ReadTimerActive());
  EXPECT_TRUE(list.ListChanged());
  EXPECT_EQ(list.UnreadInList(), 1);
  loop.Advance(5000);
  EXPECT_EQ(a->read, kStateUnread) << "the stopped timer marks nothing";

  EXPECT_EQ(store::ApplyBulkActionBelow(states, group, store::kActionToUnread), 1u);
  EXPECT_EQ(list.UnreadInList(), 2);
}

TEST_F(HeadlineRowsTest, MarkingAnItemUnreadElsewhereKeepsTheLeaveRuleFromUndoingIt) {
  settings.ReadChange = 1;
  store::TSiteRecord* item = Add(chanA, "a", kStateRead);
  Add(chanC, "c");
  list.SelectNode(chanA);
  ASSERT_EQ(list.LastShownNode(), chanA);
  store::SetItemState(states, item, kStateUnread, store::Protection::kOverride);
  EXPECT_EQ(list.LastShownNode(), nullptr);
  list.SelectNode(chanC);
  EXPECT_EQ(item->read, kStateUnread);
}

TEST_F(HeadlineRowsTest, DeletingTheLastShownNodeForgetsIt) {
  Add(chanA, "a");
  list.SelectNode(chanA);
  list.SelectNode(chanC);
  ASSERT_EQ(list.LastShownNode(), chanC);
  settings.DialogQues = false;
  ASSERT_TRUE(editor.DeleteNode(chanC));
  EXPECT_EQ(list.LastShownNode(), nullptr);
}

struct LeaveCase {
  const char* name;
  int readChange;
  bool leaveGroup;  // leave Group (shown as a whole) instead of ChanA
  bool intoOwnChannel;
  bool marks;
};

class LeaveRule : public HeadlineFixture, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveRule, MarksTheShownRowsOnlyOnARealDeparture) {
  const LeaveCase& c = GetParam();
  settings.ReadChange = c.readChange;
  store::TSiteRecord* item = Add(chanA, "a");
  Add(chanC, "c");
  store::TTreeNodeExt* left = c.leaveGroup ? group : chanA;
  list.SelectNode(left);
  list.SelectNode(c.intoOwnChannel ? chanA : chanC);
  EXPECT_EQ(item->read, c.marks ? kStateRead : kStateUnread);
  EXPECT_EQ(list.LastShownNode(), c.intoOwnChannel ? chanA : chanC);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeaveRule,
                         ::testing::Values(LeaveCase{"ChannelOff", 0, false, false, false},
                                           LeaveCase{"ChannelOn", 1, false, false, true},
                                           LeaveCase{"GroupWithChannelsOnly", 1, true, false, false},
                                           LeaveCase{"GroupWithGroups", 2, true, false, true},
                                           LeaveCase{"GroupIntoItsOwnChannel", 2, true, true, false}),
                         [](const ::testing::TestParamInfo<LeaveCase>& info) { return std::string(info.param.name); });

TEST_F(HeadlineRowsTest, DeletingSeveralRowsSkipsProtectedOnesButOneProtectedRowGoes) {
  Add(chanA, "u", kStateUnread, 1);
  Add(chanA, "p", kStateProtected, 2);
  Add(chanA, "r", kStateRead, 3);
  list.SelectNode(chanA);
  list.SelectRows({0, 1, 2}, 0);
  dialogs.Answer(true);
  list.DeleteSelectedRows();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"p"}));
  EXPECT_EQ(chanA->Data()->Count(), 1u);
  EXPECT_EQ(Root()->ItemTotal(), 1);
  EXPECT_EQ(Root()->UnreadTotal(), 0);
  EXPECT_EQ(list.FocusedRow(), 0) << "the row at the old focus position";
  EXPECT_EQ(dialogs.shown.at(0).text,
            "最近の記事の場合は更新時に再読込される場合があります。\r\n［保護］されている記事は削除されません。\r\n\r\n"
            "選択されている複数のヘッドラインリストの記事を削除しますか？");

  dialogs.Answer(true);
  list.DeleteSelectedRows();
  EXPECT_EQ(chanA->Data()->Count(), 0u);
  EXPECT_EQ(dialogs.shown.at(1).text,
            "最近の記事の場合は更新時に再読込される場合があります。\r\n\r\n"
            "選択されているヘッドラインリストの記事を削除しますか？");
  EXPECT_TRUE(store.DataModified());
}

TEST_F(HeadlineRowsTest, DeleteKeyOnTheErrorLogDeletesTheWholeLog) {
  store::TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  store::TSiteRecord entry;
  entry.title = "failed";
  entry.StatusEntry = 1;
  errorLog->Data()->AddItem(entry);
  list.SelectNode(errorLog);
  ASSERT_EQ(list.RowCount(), 1u);
  dialogs.Answer(true);
  EXPECT_TRUE(list.ListViewKeyDown(ListKey::kDelete, {}));
  EXPECT_EQ(store.Tree().ErrorLogNode(), nullptr);
  EXPECT_EQ(list.RowCount(), 0u);
  EXPECT_EQ(list.SelectedNode(), nullptr);
}

TEST_F(HeadlineRowsTest, SeekNextUnreadSkipsAChannelWhoseUnreadItemsAreTooOld) {
  settings.DateMode = 3;
  Add(chanA, "a-read", kStateRead, 1);
  Add(chanB, "b-old", kStateUnread, 5);
  Add(chanC, "c-new", kStateUnread, 1);
  list.SelectNode(chanA);
  EXPECT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(list.SelectedNode(), chanC);
  EXPECT_EQ(view.treeSelection, chanC);
  EXPECT_EQ(list.Item(static_cast<size_t>(list.FocusedRow()))->title, "c-new");
  EXPECT_FALSE(list.SeekNextUnread(true));
  EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(HeadlineRowsTest, SeekNextUnreadWithoutReadDelayReadsOnlyTheRowItStopsAt) {
  settings.KidokuTime = 0;
  view.focus = FocusArea::kList;
  Add(chanA, "a", kStateRead, 1);
  Add(chanB, "b1", kStateUnread, 1);
  Add(chanB, "b2", kStateUnread, 2);
  Add(chanC, "c", kStateUnread, 1);
  list.SelectNode(chanA);
  EXPECT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(list.SelectedNode(), chanB);
  EXPECT_EQ(chanB->UnreadTotal(), 1);  // the row it stopped at, read at once
  EXPECT_EQ(chanC->UnreadTotal(), 1);
}

TEST_F(HeadlineRowsTest, SeekGroupDecidesWhetherAGroupsOwnListIsSearched) {
  Add(chanA, "a", kStateUnread, 2);
  Add(chanB, "b", kStateUnread, 1);
  settings.SeekGroup = false;
  list.SelectNode(Root());
  list.SelectNode(group);
  ASSERT_EQ(list.RowCount(), 2u);
  list.SelectRow(0);
  EXPECT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(list.SelectedNode(), chanA) << "walks into the group's first channel with unread items";

  settings.SeekGroup = true;
  list.SelectNode(group);
  list.SelectRow(0);
  EXPECT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(list.SelectedNode(), group) << "the group's own list first";
  EXPECT_EQ(list.FocusedRow(), 1);
}

TEST_F(HeadlineRowsTest, SpaceAtThePageEndSelectsTheNextRowThenTheNextChannel) {
  settings.FolderSeek = false;
  Add(chanA, "a1", kStateUnread, 1);
  Add(chanA, "a2", kStateUnread, 2);
  Add(chanB, "b1", kStateRead, 1);
  list.SelectNode(chanA);
  ASSERT_EQ(list.FocusedRow(), 0);
  view.scrollEnd = 1000;
  EXPECT_TRUE(list.ListViewKeyDown(ListKey::kSpace, {}));
  EXPECT_EQ(view.scrollTop, 420) << "one step of the client height less 80";
  EXPECT_EQ(list.FocusedRow(), 0);
  view.scrollTop = 1000;
  list.ListViewKeyDown(ListKey::kSpace, {});
  EXPECT_EQ(list.FocusedRow(), 1);
  list.ListViewKeyDown(ListKey::kSpace, {});
  EXPECT_EQ(list.SelectedNode(), chanB);
}

TEST_F(HeadlineRowsTest, EnterOpensTheItemsPageOrRendersItsSummaryAgain) {
  store::TSiteRecord* item = Add(chanA, "a", kStateProtected);
  list.SelectNode(chanA);
  renderer.summaries.clear();
  view.showsSummary = false;
  list.ListViewKeyDown(ListKey::kEnter, {});
  EXPECT_EQ(renderer.summaries.size(), 1u);
  EXPECT_TRUE(opener.opened.empty());

  view.showsSummary = true;
  list.ListViewKeyDown(ListKey::kEnter, {});
  EXPECT_EQ(opener.opened, (std::vector<std::string>{"http://ChanA.example/a"}));
  EXPECT_EQ(item->read, kStateProtected) << "opening keeps protection";
}

}  // namespace
}  // namespace present::testing
