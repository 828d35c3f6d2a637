// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TreeFixture.h"
#include "store/BloglinesAddress.h"
#include "store/ChannelTree.h"
#include "store/TSortList.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace store::testing {
namespace {

using ChannelTreeTest = TreeFixture;

TEST_F(ChannelTreeTest, StartsWithTheHeadlineRootAndMakesTheErrorLogOnDemand) {
  TTreeNodeExt* root = Tree().RootNode();
  EXPECT_EQ(root->Caption(), text::J("ヘッドライン"));
  EXPECT_EQ(root->Kind(), kKindGroup);
  EXPECT_EQ(root->StateIndex(), -1);
  EXPECT_EQ(Tree().ErrorLogNode(), nullptr);

  TTreeNodeExt* log = Tree().EnsureErrorLogNode();
  EXPECT_EQ(log, Tree().EnsureErrorLogNode());
  EXPECT_EQ(log->Caption(), text::J("エラーログ"));
  EXPECT_EQ(log->Kind(), kKindErrorLog);
  EXPECT_EQ(log->Parent(), nullptr);
  ASSERT_NE(log->Data(), nullptr);
  EXPECT_EQ(log->Data()->Node, log);
  EXPECT_EQ(Tree().TopLevelNode(1), log);
  EXPECT_EQ(feed->Data()->Node, feed);
}

TEST_F(ChannelTreeTest, CountsRiseAndFallThroughEveryAncestor) {
  for (const char* title : {"a", "b", "c"}) ASSERT_NE(store.AddItemToChannel(*feed->Data(), Item(title)), nullptr);
  store.AddItemToChannel(*feed->Data(), Item("old", kStateRead));
  for (TTreeNodeExt* node : {feed, inner, outer, Tree().RootNode()}) {
    EXPECT_EQ(node->UnreadTotal(), 3) << node->Caption();
    EXPECT_EQ(node->ItemTotal(), 4) << node->Caption();
  }

  TSiteRecord* first = feed->Data()->ItemAt(0);
  first->read = kStateRead;
  store.AdjustCountsForStateChange(*first, kStateUnread, kStateRead);
  store.AdjustCountsForStateChange(*first, kStateRead, kStateProtected);  // read and protected count the same
  for (TTreeNodeExt* node : {feed, inner, outer, Tree().RootNode()}) EXPECT_EQ(node->UnreadTotal(), 2);

  first->read = kStateUnread;
  store.AdjustCountsForStateChange(*first, kStateProtected, kStateUnread);
  EXPECT_EQ(Tree().RootNode()->UnreadTotal(), 3);

  ASSERT_TRUE(store.DeleteItemFromChannel(*feed->Data(), 3));  // the read one
  ASSERT_TRUE(store.DeleteItemFromChannel(*feed->Data(), 0));  // an unread one
  EXPECT_FALSE(store.DeleteItemFromChannel(*feed->Data(), 2));
  EXPECT_EQ(Tree().RootNode()->ItemTotal(), 2);
  EXPECT_EQ(Tree().RootNode()->UnreadTotal(), 2);
  EXPECT_TRUE(store.DataModified());
}

TEST_F(ChannelTreeTest, BoldFollowsTreeBoldAndSearchThread) {
  settings.TreeBold = false;
  settings.SearchThread = settings::SearchDisplay::kHighlight;
  TTreeNodeExt* search = Tree().AddChild(outer, "query", kKindSearch);
  Tree().SetSearchItemCounts(search, 5, 2);
  EXPECT_TRUE(search->Bold());
  EXPECT_EQ(outer->ItemTotal(), 0);  // a search item's counts are its own

  Tree().AddUnreadCount(feed, 1);
  EXPECT_TRUE(feed->Bold());
  EXPECT_TRUE(outer->Bold());
  Tree().RefreshTreeBold(Tree().RootNode());
  EXPECT_FALSE(feed->Bold());
  EXPECT_FALSE(outer->Bold());
  EXPECT_TRUE(search->Bold());  // search items keep the AddUnreadCount rule

  settings.SearchThread = settings::SearchDisplay::kUnreadCount;
  Tree().AddUnreadCount(feed, 1);
  EXPECT_FALSE(inner->Bold());
  Tree().SetSearchItemCounts(search, 5, 2);
  EXPECT_FALSE(search->Bold());

  settings.TreeBold = true;
  Tree().RefreshTreeBold(Tree().RootNode());
  EXPECT_TRUE(inner->Bold());
  Tree().AddUnreadCount(feed, -2);
  EXPECT_FALSE(inner->Bold());
  EXPECT_FALSE(Tree().RootNode()->Bold());
}

TEST_F(ChannelTreeTest, DisplayedCaptions) {
  TTreeNodeExt* search = Tree().AddChild(outer, "query", kKindSearch);
  Tree().SetSearchItemCounts(search, 12, 3);
  TTreeNodeExt* emptySearch = Tree().AddChild(outer, "nothing", kKindSearch);
  TTreeNodeExt* log = Tree().EnsureErrorLogNode();
  Tree().AddItemCount(log, 4);
  Tree().AddItemCount(feed, 12);
  Tree().AddUnreadCount(feed, 3);
  TTreeNodeExt* empty = Tree().AddChild(outer, "Empty", kKindChannel, std::make_unique<TSiteList>());

  EXPECT_EQ(Tree().DisplayedCaption(outer), "Outer (3/12)");
  EXPECT_EQ(Tree().DisplayedCaption(Tree().RootNode()), text::J("ヘッドライン") + " (3/12)");
  EXPECT_EQ(Tree().DisplayedCaption(empty), "Empty");
  EXPECT_EQ(Tree().DisplayedCaption(log), text::J("エラーログ"));
  for (int kind : {kKindStopped, kKindUpdating, kKindError}) {
    Tree().SetNodeKind(feed, kind);
    EXPECT_EQ(Tree().DisplayedCaption(feed), "Feed (3/12)") << kind;
  }
  const std::pair<settings::SearchDisplay, std::string> searchCases[] = {
      {settings::SearchDisplay::kHighlight, "query"},
      {settings::SearchDisplay::kUnreadCount, "query (3)"},
      {settings::SearchDisplay::kAllCounts, "query (3/12)"}};
  for (const auto& [searchThread, expected] : searchCases) {
    settings.SearchThread = searchThread;
    EXPECT_EQ(Tree().DisplayedCaption(search), expected);
    EXPECT_EQ(Tree().DisplayedCaption(emptySearch), "nothing");
  }
  Tree().SetCaptionEditing(true);
  EXPECT_EQ(Tree().DisplayedCaption(outer), "Outer");
  EXPECT_EQ(Tree().DisplayedCaption(search), "query");
}

TEST(NodeKindTest, UpdatingAndFailedChannelsAreStoredAsChannels) {
  const std::pair<int, int> cases[] = {{kKindGroup, kKindGroup},      {kKindChannel, kKindChannel},
                                       {kKindStopped, kKindStopped},  {kKindSearch, kKindSearch},
                                       {kKindUpdating, kKindChannel}, {kKindError, kKindChannel}};
  for (const auto& [kind, stored] : cases) EXPECT_EQ(StoredKind(kind), stored) << kind;
  for (int kind = -2; kind <= 18; ++kind) {
    bool channel = kind == 1 || kind == 2 || kind == 8 || kind == 9;
    EXPECT_EQ(IsChannelKind(kind), channel) << kind;
  }
}

TEST(BloglinesTest, IconRuleAndAddressTests) {
  struct Case {
    int kind;
    int plain;
    int clone;
  };
  const Case cases[] = {{1, 11, 15}, {2, 12, 12}, {8, 13, 16}, {9, 14, 17}, {0, 11, 15}};
  for (const Case& c : cases) {
    EXPECT_EQ(BloglinesImageIndex(c.kind, true, false), c.plain) << c.kind;
    EXPECT_EQ(BloglinesImageIndex(c.kind, true, true), c.clone) << c.kind;
    EXPECT_EQ(BloglinesImageIndex(c.kind, false, true), c.kind) << c.kind;
  }
  const std::string item = "http://rpc.bloglines.com/getitems?s=42";
  EXPECT_TRUE(IsBloglinesItemAddress(item, true));
  EXPECT_FALSE(IsBloglinesItemAddress(item, false));
  EXPECT_FALSE(IsBloglinesItemAddress("HTTP://rpc.bloglines.com/getitems?s=42", true));
  EXPECT_FALSE(IsBloglinesItemAddress("http://rpc.bloglines.com/GetItems?s=42", true));
  EXPECT_FALSE(IsBloglinesItemAddress("http://rpc.bloglines.com/listsubs", true));
  EXPECT_TRUE(IsBloglinesListAddress("http://rpc.bloglines.com/listsubs", true));
  EXPECT_TRUE(IsBloglinesAddress("http://rpc.bloglines.com/listsubs", true));
}

TEST_F(ChannelTreeTest, BloglinesIconsChangeTheImageButNotTheKind) {
  settings.BloglinesSync = true;
  feed->Data()->Site.rdfurl = "http://rpc.bloglines.com/getitems?s=7";
  Tree().SetNodeKind(feed, kKindKeepCurrent);
  EXPECT_EQ(feed->Kind(), kKindChannel);
  EXPECT_EQ(feed->ImageIndex(), 11);
  EXPECT_EQ(feed->SelectedIndex(), 11);

  settings.BloglinesClone = true;
  Tree().SetNodeKind(feed, kKindUpdating);
  EXPECT_EQ(feed->Kind(), kKindUpdating);
  EXPECT_EQ(feed->ImageIndex(), 16);

  settings.BloglinesSync = false;
  Tree().SetNodeKind(feed, kKindKeepCurrent);
  EXPECT_EQ(feed->ImageIndex(), kKindUpdating);
  EXPECT_EQ(observer.CountOf("Kind:Feed"), 3u);
  Tree().SetNodeKind(feed, kKindKeepCurrent);
  EXPECT_EQ(observer.CountOf("Kind:Feed"), 3u);  // nothing changed, nothing to repaint
  Tree().SetNodeKind(nullptr, kKindChannel);
}

TEST_F(ChannelTreeTest, PaintLockHoldsBackCountRepaints) {
  Tree().LockTreePaint(true);
  Tree().LockTreePaint(true);
  Tree().AddItemCount(feed, 5);
  Tree().AddUnreadCount(feed, 5);
  EXPECT_EQ(observer.CountOf("Counts"), 0u);
  EXPECT_EQ(observer.CountOf("Bold"), 4u);  // bold is still reported
  Tree().LockTreePaint(false);
  EXPECT_EQ(observer.CountOf("BulkEnded"), 0u);
  Tree().LockTreePaint(false);
  EXPECT_EQ(observer.CountOf("BulkEnded"), 1u);
  Tree().LockTreePaint(false);
  Tree().LockTreePaint(false);
  EXPECT_EQ(Tree().PaintLockCount(), 0);
  EXPECT_EQ(observer.CountOf("BulkEnded"), 1u);

  Tree().LockTreePaint(true);
  EXPECT_EQ(Tree().PaintLockCount(), 1);  // unbalanced ends did not go below 0
  Tree().LockTreePaint(false);

  Tree().AddItemCount(feed, 1);
  EXPECT_EQ(observer.CountOf("Counts"), 4u);  // feed, inner, outer, root
}

TEST_F(ChannelTreeTest, DeletingASubtreeReportsEveryNodeAndFreesItsData) {
  TTreeNodeExt* search = Tree().AddChild(inner, "query", kKindSearch);
  TTreeNodeExt* sibling = Tree().AddChild(outer, "Sibling", kKindGroup);
  EXPECT_EQ(Tree().SearchItemCount(), 1);
  TTreeNodeExt* log = Tree().EnsureErrorLogNode();
  TSiteRecord entry;
  entry.StatusEntry = 1;
  TSiteRecord* logged = log->Data()->AddItem(entry);
  logged->Owner = feed->Data();
  observer.events.clear();

  EXPECT_TRUE(Tree().DeleteNode(inner));
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"Removing:Inner", "Removing:Feed", "Removing:query", "Removed:Outer#0"}));
  EXPECT_EQ(observer.removingWhileDeleting, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Tree().SearchItemCount(), 0);
  EXPECT_EQ(outer->ChildCount(), 1u);
  EXPECT_EQ(outer->FirstChild(), sibling);
  EXPECT_EQ(logged->Owner, nullptr);  // no pointer to the destroyed channel is left
  (void)search;

  EXPECT_FALSE(Tree().DeleteNode(Tree().RootNode()));
  EXPECT_TRUE(Tree().DeleteNode(log));
  EXPECT_EQ(Tree().ErrorLogNode(), nullptr);
  EXPECT_EQ(Tree().TopLevelCount(), 1u);
  EXPECT_EQ(observer.events.back(), "Removed:-#1");
}

TEST_F(ChannelTreeTest, StoreDeletionTakesTheTotalsAway) {
  for (int i = 0; i < 10; ++i) store.AddItemToChannel(*feed->Data(), Item("i" + std::to_string(i)));
  TTreeNodeExt* search = Tree().AddChild(Tree().RootNode(), "query", kKindSearch);
  Tree().SetSearchItemCounts(search, 4, 4);
  store.ClearModified();

  EXPECT_TRUE(store.DeleteNode(search));
  EXPECT_EQ(Tree().RootNode()->UnreadTotal(), 10);
  EXPECT_TRUE(store.DeleteNode(outer));
  EXPECT_EQ(Tree().RootNode()->UnreadTotal(), 0);
  EXPECT_EQ(Tree().RootNode()->ItemTotal(), 0);
  EXPECT_FALSE(Tree().RootNode()->Bold());
  EXPECT_TRUE(store.DataModified());
  EXPECT_FALSE(store.DeleteNode(Tree().RootNode()));
}

TEST_F(ChannelTreeTest, MovingCarriesTheTotalsToTheNewAncestors) {
  TTreeNodeExt* other = Tree().AddChild(Tree().RootNode(), "Other", kKindGroup);
  TTreeNodeExt* first = Tree().AddChild(other, "First", kKindGroup);
  for (int i = 0; i < 3; ++i) store.AddItemToChannel(*feed->Data(), Item("i" + std::to_string(i)));

  EXPECT_TRUE(store.MoveNode(feed, other, first));
  EXPECT_EQ(other->FirstChild(), feed);
  EXPECT_EQ(other->UnreadTotal(), 3);
  EXPECT_EQ(outer->UnreadTotal(), 0);
  EXPECT_EQ(inner->ItemTotal(), 0);
  EXPECT_EQ(Tree().RootNode()->UnreadTotal(), 3);

  // A group cannot go into its own subtree, nor beside a node that is not a child of the target.
  EXPECT_FALSE(store.MoveNode(outer, inner, nullptr));
  EXPECT_FALSE(store.MoveNode(other, outer, feed));
  EXPECT_FALSE(store.MoveNode(Tree().RootNode(), outer, nullptr));
  EXPECT_FALSE(store.MoveNode(feed, Tree().EnsureErrorLogNode(), nullptr));
  EXPECT_EQ(other->UnreadTotal(), 3);
  EXPECT_EQ(Tree().RootNode()->ItemTotal(), 3);

  EXPECT_TRUE(Tree().MoveNode(feed, other, nullptr));
  EXPECT_EQ(other->LastChild(), feed);
}

TEST_F(ChannelTreeTest, ExpansionHelpers) {
  TTreeNodeExt* leafGroup = Tree().AddChild(inner, "Leaf", kKindGroup);
  Tree().ExpandAncestors(leafGroup);
  EXPECT_FALSE(leafGroup->Expanded());  // no children, nothing to open
  EXPECT_TRUE(inner->Expanded());
  EXPECT_TRUE(outer->Expanded());
  EXPECT_TRUE(Tree().RootNode()->Expanded());

  leafGroup->SetStateIndex(0);
  Tree().ExpandIfMarked(leafGroup);
  EXPECT_TRUE(leafGroup->Expanded());
  EXPECT_EQ(leafGroup->StateIndex(), -1);
  Tree().SetExpanded(leafGroup, false);
  Tree().ExpandIfMarked(leafGroup);
  EXPECT_FALSE(leafGroup->Expanded());
}

TEST_F(ChannelTreeTest, WalksAndCollectsInTreeOrder) {
  TTreeNodeExt* second = Tree().AddChild(outer, "Second", kKindStopped, std::make_unique<TSiteList>());
  TTreeNodeExt* firstChild = Tree().AddChildFirst(outer, "Zeroth", kKindSearch);
  Tree().InsertBefore(second, "Between", kKindGroup);
  Tree().EnsureErrorLogNode();
  Tree().EnsureErrorLogNode()->Data()->AddItem(Item("error"));
  feed->Data()->AddItem(Item("f1"));
  second->Data()->AddItem(Item("s1"));

  std::vector<std::string> order;
  for (TTreeNodeExt* n = Tree().RootNode(); n != nullptr; n = Tree().NextNode(n)) order.push_back(n->Caption());
  EXPECT_EQ(order, (std::vector<std::string>{text::J("ヘッドライン"), "Outer", "Zeroth", "Inner", "Feed", "Between",
                                             "Second", text::J("エラーログ")}));
  EXPECT_EQ(TChannelTree::TopLevelAncestor(feed), Tree().RootNode());
  EXPECT_EQ(feed->Level(), 3);
  EXPECT_EQ(firstChild->NextSibling(), inner);

  TSortList all;
  Tree().CollectAllItems(Tree().RootNode(), all);
  ASSERT_EQ(all.Count(), 2u);
  EXPECT_EQ(all.At(0)->title, "f1");
  EXPECT_EQ(all.At(1)->title, "s1");
}

TEST_F(ChannelTreeTest, SearchItemCountFollowsTheKinds) {
  TTreeNodeExt* a = Tree().AddChild(outer, "a", kKindSearch);
  TTreeNodeExt* b = Tree().AddChild(outer, "b", kKindGroup);
  Tree().SetNodeKind(b, kKindSearch);
  EXPECT_EQ(Tree().SearchItemCount(), 2);
  Tree().SetNodeKind(a, kKindGroup);
  EXPECT_EQ(Tree().SearchItemCount(), 1);
  store.ClearUserTree();
  EXPECT_EQ(Tree().SearchItemCount(), 0);
  EXPECT_FALSE(Tree().RootNode()->HasChildren());
}

}  // namespace
}  // namespace store::testing
