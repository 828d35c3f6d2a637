// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/TSortList.h"
#include "store/TreeEditor.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "text/Convert.h"

namespace store {
namespace {

class CountingSearch : public SearchCountControl {
 public:
  void Stop() override { ++stops; }
  void Restart() override { ++restarts; }
  void SearchItemCaptionChanged(TTreeNodeExt*) override { ++captionChanges; }
  int stops = 0, restarts = 0, captionChanges = 0;
};

class RecordingHost : public TreeEditHost {
 public:
  void SuspendLeaveRule(bool suspend) override { suspensions.push_back(suspend); }
  void SelectNode(TTreeNodeExt* node) override { selected = node; }
  void StartCaptionEdit(TTreeNodeExt* node) override { editing = node; }
  void RebuildSelectedList() override { ++rebuilds; }
  std::vector<bool> suspensions;
  TTreeNodeExt* selected = nullptr;
  TTreeNodeExt* editing = nullptr;
  int rebuilds = 0;
};

// RootNode > A (group: Feed5 with 5 unread of 6) , B (group: Other with 2 unread), Loose
// (channel, 1 unread).
class TreeEditorTest : public ::testing::Test {
 protected:
  TreeEditorTest() {
    TChannelTree& tree = store.Tree();
    groupA = tree.AddChild(tree.RootNode(), "A", kKindGroup);
    groupB = tree.AddChild(tree.RootNode(), "B", kKindGroup);
    loose = Channel(tree.RootNode(), "Loose", 1, 0);
    feed5 = Channel(groupA, "Feed5", 5, 1);
    other = Channel(groupB, "Other", 2, 0);
    store.ClearModified();
  }

  TTreeNodeExt* Channel(TTreeNodeExt* parent, const std::string& caption, int unread, int read) {
    TTreeNodeExt* node = store.Tree().AddChild(parent, caption, kKindChannel, std::make_unique<TSiteList>());
    for (int i = 0; i < unread + read; ++i) {
      TSiteRecord record;
      record.title = caption + std::to_string(i);
      record.link = "http://example.com/" + record.title;
      record.read = i < unread ? kStateUnread : kStateRead;
      store.AddItemToChannel(*node->Data(), record);
    }
    return node;
  }

  std::vector<std::string> Captions(const TTreeNodeExt* parent) const {
    std::vector<std::string> out;
    for (size_t i = 0; i < parent->ChildCount(); ++i) out.push_back(parent->Child(i)->Caption());
    return out;
  }

  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  settings::Settings settings;
  ChannelStore store{settings};
  ItemStateContext context{store};
  testsupport::ScriptedDialogs dialogs;
  CountingSearch search;
  RecordingHost host;
  testsupport::ManualUiLock lock;
  TreeEditor editor{context, dialogs, search, host, lock};
  TTreeNodeExt* groupA = nullptr;
  TTreeNodeExt* groupB = nullptr;
  TTreeNodeExt* loose = nullptr;
  TTreeNodeExt* feed5 = nullptr;
  TTreeNodeExt* other = nullptr;
};

struct DropCase {
  const char* name;
  int kind;
  bool topLevel;
  bool hasChildren;
  int y;
  DropPosition expected;
};

class DropPositions : public ::testing::TestWithParam<DropCase> {};

TEST_P(DropPositions, FollowTheRowsThirdsOrHalves) {
  const DropCase& c = GetParam();
  EXPECT_EQ(DropPositionAt(c.kind, c.topLevel, c.hasChildren, c.y, 18), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DropPositions,
    ::testing::Values(DropCase{"GroupTop", kKindGroup, false, true, 0, DropPosition::kBefore},
                      DropCase{"GroupUpperThirdEnd", kKindGroup, false, true, 5, DropPosition::kBefore},
                      DropCase{"GroupMiddleStart", kKindGroup, false, true, 6, DropPosition::kInto},
                      DropCase{"GroupMiddleEnd", kKindGroup, false, false, 11, DropPosition::kInto},
                      DropCase{"GroupLowerThird", kKindGroup, false, true, 12, DropPosition::kAfter},
                      DropCase{"ChannelUpperHalf", kKindChannel, false, false, 8, DropPosition::kBefore},
                      DropCase{"ChannelLowerHalf", kKindChannel, false, false, 9, DropPosition::kAfter},
                      DropCase{"SearchLowerHalf", kKindSearch, false, false, 17, DropPosition::kAfter},
                      DropCase{"TopLevelWithChildren", kKindGroup, true, true, 0, DropPosition::kInto},
                      DropCase{"TopLevelEmpty", kKindGroup, true, false, 9, DropPosition::kNone}),
    [](const ::testing::TestParamInfo<DropCase>& info) { return std::string(info.param.name); });

TEST_F(TreeEditorTest, MovingAChannelBetweenGroupsMovesItsUnreadTotal) {
  ASSERT_EQ(groupA->UnreadTotal(), 5);
  ASSERT_EQ(Root()->UnreadTotal(), 8);
  ASSERT_TRUE(editor.MoveNode(feed5, other, DropPosition::kBefore));

  EXPECT_EQ(groupA->UnreadTotal(), 0);
  EXPECT_EQ(groupA->ItemTotal(), 0);
  EXPECT_EQ(groupB->UnreadTotal(), 7);
  EXPECT_EQ(groupB->ItemTotal(), 8);
  EXPECT_EQ(Root()->UnreadTotal(), 8);
  EXPECT_EQ(Captions(groupB), (std::vector<std::string>{"Feed5", "Other"}));
  EXPECT_TRUE(store.DataModified());
  EXPECT_EQ(host.suspensions, (std::vector<bool>{true, false}));
  EXPECT_EQ(search.stops, 1);
  EXPECT_EQ(search.restarts, 1);
  EXPECT_EQ(store.Tree().PaintLockCount(), 0);
  EXPECT_TRUE(groupA->Bold() == false && groupB->Bold());
}

TEST_F(TreeEditorTest, DropPositionsPlaceTheNode) {
  ASSERT_TRUE(editor.MoveNode(loose, groupB, DropPosition::kInto));
  EXPECT_EQ(Captions(groupB), (std::vector<std::string>{"Loose", "Other"}));
  ASSERT_TRUE(editor.MoveNode(loose, other, DropPosition::kAfter));
  EXPECT_EQ(Captions(groupB), (std::vector<std::string>{"Other", "Loose"}));
  ASSERT_TRUE(editor.MoveNode(loose, groupA, DropPosition::kBefore));
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Loose", "A", "B"}));
  ASSERT_TRUE(editor.MoveNode(loose, Root(), DropPosition::kInto));
  EXPECT_EQ(Root()->UnreadTotal(), 8);
}

TEST_F(TreeEditorTest, RefusedDrops) {
  TTreeNodeExt* inner = store.Tree().AddChild(groupA, "Inner", kKindGroup);
  EXPECT_FALSE(editor.MoveNode(groupA, inner, DropPosition::kInto)) << "onto its own child";
  EXPECT_FALSE(editor.MoveNode(groupA, groupA, DropPosition::kAfter));
  EXPECT_FALSE(editor.MoveNode(Root(), groupA, DropPosition::kInto));
  EXPECT_FALSE(editor.MoveNode(loose, Root(), DropPosition::kBefore));
  EXPECT_FALSE(editor.MoveNode(loose, groupA, DropPosition::kNone));
  TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  EXPECT_FALSE(editor.MoveNode(loose, errorLog, DropPosition::kInto));
  lock.locked = true;
  EXPECT_FALSE(editor.MoveNode(loose, groupB, DropPosition::kInto));
  EXPECT_FALSE(store.DataModified());
  EXPECT_EQ(search.stops, 0);
}

TEST_F(TreeEditorTest, TheTargetKeepsItsExpansionUnlessGroupsOpenOnMoves) {
  settings.TreeOpen = 0;
  ASSERT_TRUE(editor.MoveNode(loose, groupB, DropPosition::kInto));
  EXPECT_FALSE(groupB->Expanded());
  settings.TreeOpen = 1;
  ASSERT_TRUE(editor.MoveNode(loose, groupA, DropPosition::kInto));
  EXPECT_TRUE(groupA->Expanded());
}

TEST_F(TreeEditorTest, AMovedSearchItemKeepsItsCountsAndRebuildsTheListOnANewParent) {
  TTreeNodeExt* search = store.Tree().AddChild(groupA, "query", kKindSearch);
  store.Tree().SetSearchItemCounts(search, 9, 4);
  ASSERT_TRUE(editor.MoveNode(search, feed5, DropPosition::kAfter));
  EXPECT_EQ(host.rebuilds, 0) << "same parent";
  ASSERT_TRUE(editor.MoveNode(search, groupB, DropPosition::kInto));
  EXPECT_EQ(host.rebuilds, 1);
  EXPECT_EQ(search->UnreadTotal(), 4);
  EXPECT_EQ(groupB->UnreadTotal(), 2) << "a search item's counts are its own";
  EXPECT_EQ(groupA->UnreadTotal(), 5);
}

TEST_F(TreeEditorTest, DeletingAGroupTakesItsTotalsOffTheAncestors) {
  settings.DupAction = 1;
  store.RebuildDupList();
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(groupA));

  EXPECT_EQ(Root()->UnreadTotal(), 3);
  EXPECT_EQ(Root()->ItemTotal(), 3);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"B", "Loose"}));
  EXPECT_EQ(store.DupList(), nullptr);
  EXPECT_TRUE(store.DataModified());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "選択されているチャンネルリストの項目を削除しますか？\r\n(［保護］が含まれる場合でも全て削除します)");
  EXPECT_EQ(dialogs.shown[0].kind, "yescancel");
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kConfirmation);
  EXPECT_FALSE(dialogs.shown[0].defaultNo);
}

TEST_F(TreeEditorTest, DeleteAskedAndCancelledOrWithoutQuestion) {
  dialogs.Answer(false);
  EXPECT_FALSE(editor.DeleteNode(loose));
  EXPECT_EQ(Root()->ChildCount(), 3u);
  EXPECT_FALSE(store.DataModified());

  settings.DialogQues = false;
  EXPECT_TRUE(editor.DeleteNode(loose));
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_FALSE(editor.DeleteNode(Root()));
}

TEST_F(TreeEditorTest, DeletingTheErrorLogAsksItsOwnQuestion) {
  TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(errorLog));
  EXPECT_EQ(store.Tree().ErrorLogNode(), nullptr);
  EXPECT_EQ(dialogs.shown.at(0).text, "ステータス項目を全て削除しますか？");
  EXPECT_EQ(Root()->UnreadTotal(), 8);
}

TEST_F(TreeEditorTest, NewGroupsAndSearchItemsGoIntoGroupsOrBeforeOtherNodes) {
  TTreeNodeExt* group = editor.CreateGroupNode(groupB, false);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(groupB->FirstChild(), group);
  EXPECT_EQ(text::SjisToUtf8(group->Caption()), "新しいグループ");
  EXPECT_EQ(host.selected, group);
  EXPECT_EQ(host.editing, group);
  EXPECT_TRUE(store.Tree().CaptionEditing());
  editor.RenameNode(group, std::nullopt);

  TTreeNodeExt* query = editor.CreateGroupNode(loose, true);
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->NextSibling(), loose);
  EXPECT_EQ(query->Kind(), kKindSearch);
  EXPECT_EQ(text::SjisToUtf8(query->Caption()), "新しい検索項目");
  EXPECT_EQ(store.Tree().SearchItemCount(), 1);
  EXPECT_TRUE(store.DataModified());

  EXPECT_EQ(editor.CreateGroupNode(store.Tree().EnsureErrorLogNode(), false), nullptr);
}

TEST_F(TreeEditorTest, RenameMarksModifiedOnlyWhenTheCaptionChanged) {
  ASSERT_TRUE(editor.BeginRename(loose));
  EXPECT_FALSE(editor.RenameNode(loose, std::string("Loose")));
  EXPECT_FALSE(store.DataModified());
  EXPECT_FALSE(store.Tree().CaptionEditing());
  EXPECT_EQ(search.restarts, 1) << "every end of an edit restarts the count";

  EXPECT_TRUE(editor.RenameNode(loose, std::string("Renamed")));
  EXPECT_EQ(loose->Caption(), "Renamed");
  EXPECT_TRUE(store.DataModified());

  TTreeNodeExt* query = store.Tree().AddChild(Root(), "old query", kKindSearch);
  EXPECT_TRUE(editor.RenameNode(query, std::string("new query")));
  EXPECT_EQ(search.captionChanges, 1);

  EXPECT_FALSE(editor.CanRename(Root()));
  EXPECT_FALSE(editor.CanRename(store.Tree().EnsureErrorLogNode()));
  lock.locked = true;
  EXPECT_FALSE(editor.BeginRename(loose));
}

TEST_F(TreeEditorTest, SortGroupOrdersEveryLevelByCaseSensitiveBytes) {
  TTreeNodeExt* inner = store.Tree().AddChild(groupB, "a-inner", kKindGroup);
  store.Tree().AddChild(inner, "b", kKindGroup);
  store.Tree().AddChild(inner, "B", kKindGroup);
  store.Tree().AddChild(inner, "a", kKindGroup);
  dialogs.Answer(true);
  ASSERT_TRUE(editor.SortGroup(Root()));

  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"A", "B", "Loose"}));
  EXPECT_EQ(Captions(groupB), (std::vector<std::string>{"Other", "a-inner"})) << "upper case first";
  EXPECT_EQ(Captions(inner), (std::vector<std::string>{"B", "a", "b"}));
  EXPECT_EQ(dialogs.shown.at(0).text,
            "選択されているグループの中を名前でソートしますか？\r\n(ソート結果は保存されます)");
  EXPECT_TRUE(store.DataModified());
  EXPECT_EQ(Root()->UnreadTotal(), 8);

  dialogs.Answer(false);
  store.ClearModified();
  EXPECT_FALSE(editor.SortGroup(Root()));
  EXPECT_FALSE(store.DataModified());
}

}  // namespace
}  // namespace store
