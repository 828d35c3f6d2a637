// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "SearchFixture.h"
#include "store/TTreeNodeExt.h"

namespace search::testing {
namespace {

class SearchCountTest : public SearchFixture {
 protected:
  void SetUp() override {
    Add(chanA, "apple pie");
    Add(chanA, "apple tart", store::kStateRead);
    Add(chanB, "green apple");
    Add(chanC, "apple juice");
    Add(chanC, "banana");
  }
};

TEST_F(SearchCountTest, BurstOfRestartsLeadsToOneCount) {
  settings.SearchThread = settings::SearchDisplay::kAllCounts;
  store::TTreeNodeExt* apple = Search(group, "apple");
  for (int i = 0; i < 5; ++i) {
    count->Restart();
    loop.Advance(SearchCount::kDebounceMs - 100);
  }
  EXPECT_EQ(count->Stats().countsStarted, 0);
  CountNow();
  EXPECT_EQ(count->Stats().countsStarted, 1);
  EXPECT_EQ(count->Stats().countsStored, 1);
  // SearchAll is on by default: ChanC's juice counts too.
  EXPECT_EQ(apple->ItemTotal(), 4);
  EXPECT_EQ(apple->UnreadTotal(), 3);
  EXPECT_EQ(Caption(apple), "apple (3/4)");
}

TEST_F(SearchCountTest, ScopeIsTheParentWhenSearchAllIsOff) {
  settings.SearchThread = settings::SearchDisplay::kAllCounts;
  settings.SearchAll = false;
  store::TTreeNodeExt* inGroup = Search(group, "apple");
  store::TTreeNodeExt* atRoot = Search(store.Tree().RootNode(), "apple");
  store::TTreeNodeExt* empty = Search(group, " ! ");
  count->Restart();
  CountNow();
  EXPECT_EQ(inGroup->ItemTotal(), 3);
  EXPECT_EQ(inGroup->UnreadTotal(), 2);
  EXPECT_EQ(atRoot->ItemTotal(), 4);
  EXPECT_EQ(empty->ItemTotal(), 0);
}

TEST_F(SearchCountTest, NothingWithoutSearchItems) {
  count->Restart();
  EXPECT_FALSE(count->TimerActive());
  loop.Advance(SearchCount::kDebounceMs * 2);
  EXPECT_EQ(count->Stats().countsStarted, 0);
}

TEST_F(SearchCountTest, StopDuringCountStoresNothing) {
  store::TTreeNodeExt* apple = Search(group, "apple");
  count->Restart();
  loop.Advance(SearchCount::kDebounceMs);
  ASSERT_EQ(count->SearchRunState(), SearchCount::kCounting);
  count->Stop();
  EXPECT_TRUE(count->Interrupted());
  WaitIdle();
  EXPECT_EQ(count->Stats().countsStored, 0);
  EXPECT_EQ(apple->ItemTotal(), 0);
  // A restart clears the mark and counts afresh.
  count->Restart();
  EXPECT_FALSE(count->Interrupted());
  CountNow();
  EXPECT_EQ(apple->UnreadTotal(), 3);
}

TEST_F(SearchCountTest, RestartWhileCountingCancelsAndCountsAgain) {
  settings.SearchThread = settings::SearchDisplay::kAllCounts;
  store::TTreeNodeExt* apple = Search(group, "apple");
  count->Restart();
  loop.Advance(SearchCount::kDebounceMs);
  // An item arrives while the first count runs; that count must not be the last word.
  Add(chanB, "apple cider");
  count->Restart();
  loop.Advance(SearchCount::kDebounceMs);
  WaitIdle();
  loop.Advance(SearchCount::kDebounceMs);
  WaitIdle();
  EXPECT_GE(count->Stats().countsStarted, 2);
  EXPECT_EQ(apple->ItemTotal(), 5);
}

// What a search item shows and whether it is bold, for each SearchThread choice, when its
// matches are all read and when some are unread.
struct DisplayCase {
  const char* name;
  settings::SearchDisplay searchThread;
  bool withUnread;
  const char* caption;
  bool bold;
};

class SearchItemDisplay : public SearchFixture, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(SearchItemDisplay, CaptionAndBold) {
  settings.SearchThread = GetParam().searchThread;
  settings.TreeBold = false;
  Add(chanA, "pie one", store::kStateRead);
  Add(chanB, "pie two", store::kStateRead);
  if (GetParam().withUnread) Add(chanC, "pie three");
  store::TTreeNodeExt* pie = Search(group, "pie");
  count->Restart();
  CountNow();
  EXPECT_EQ(Caption(pie), GetParam().caption);
  EXPECT_EQ(pie->Bold(), GetParam().bold);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SearchItemDisplay,
    ::testing::Values(DisplayCase{"AllCountsAllRead", settings::SearchDisplay::kAllCounts, false, "pie (0/2)", false},
                      DisplayCase{"AllCountsSomeUnread", settings::SearchDisplay::kAllCounts, true, "pie (1/3)", false},
                      DisplayCase{"UnreadCountAllRead", settings::SearchDisplay::kUnreadCount, false, "pie", false},
                      DisplayCase{"UnreadCountSomeUnread", settings::SearchDisplay::kUnreadCount, true, "pie (1)",
                                  false},
                      DisplayCase{"HighlightAllRead", settings::SearchDisplay::kHighlight, false, "pie", false},
                      DisplayCase{"HighlightSomeUnread", settings::SearchDisplay::kHighlight, true, "pie", true}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

TEST_F(SearchCountTest, OnlyUnreadItemsAreExaminedBelowAllCounts) {
  settings.SearchThread = settings::SearchDisplay::kUnreadCount;
  store::TTreeNodeExt* apple = Search(group, "apple");
  count->Restart();
  CountNow();
  EXPECT_EQ(apple->ItemTotal(), 3);
  EXPECT_EQ(apple->UnreadTotal(), 3);
}

TEST_F(SearchCountTest, HighlightStopsAtTheFirstSiblingWithUnreadMatches) {
  settings.SearchThread = settings::SearchDisplay::kHighlight;
  store::TTreeNodeExt* first = Search(group, "apple");
  store::TTreeNodeExt* second = Search(group, "banana");
  store::TTreeNodeExt* nested = Search(store.Tree().AddChild(group, "Inner", store::kKindGroup), "juice");
  store::TTreeNodeExt* elsewhere = Search(store.Tree().RootNode(), "juice");
  count->Restart();
  CountNow();
  EXPECT_TRUE(first->Bold());
  EXPECT_EQ(second->UnreadTotal(), 0);
  EXPECT_EQ(nested->UnreadTotal(), 0);
  EXPECT_EQ(elsewhere->UnreadTotal(), 1);
  EXPECT_TRUE(elsewhere->Bold());
}

TEST_F(SearchCountTest, BoldReachesAncestorsWithTreeBold) {
  settings.SearchThread = settings::SearchDisplay::kUnreadCount;
  settings.TreeBold = true;
  store::TTreeNodeExt* apple = Search(group, "apple");
  count->Restart();
  CountNow();
  EXPECT_TRUE(apple->Bold());
  // The search item's counts are not summed into the group.
  EXPECT_EQ(group->ItemTotal(), 3);
}

TEST_F(SearchCountTest, DestroyedWhileCountingLeavesNothingBehind) {
  Search(group, "apple");
  count->Restart();
  loop.Advance(SearchCount::kDebounceMs);
  count.reset();
  // A result the worker posted before it was joined finds nobody.
  loop.RunPending();
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
}

TEST_F(SearchCountTest, CaptionChangeRefreshesTheNodeLater) {
  store::TTreeNodeExt* apple = Search(group, "apple");
  store::TTreeNodeExt* other = Search(group, "other");
  std::vector<store::TTreeNodeExt*> refreshed;
  count->SetCaptionRefresh([&](store::TTreeNodeExt* node) { refreshed.push_back(node); });
  count->SearchItemCaptionChanged(apple);
  loop.Advance(SearchCount::kCaptionRefreshMs - 1);
  EXPECT_TRUE(refreshed.empty());
  loop.Advance(1);
  EXPECT_EQ(refreshed, std::vector<store::TTreeNodeExt*>{apple});
  count->SearchItemCaptionChanged(other);
  store.DeleteNode(other);
  loop.Advance(SearchCount::kCaptionRefreshMs);
  EXPECT_EQ(refreshed.size(), 1u);
}

}  // namespace
}  // namespace search::testing

namespace search::testing {
namespace {

TEST_F(SearchFixture, SnapshotInSlicesSurvivesADeletedChannel) {
  settings.SearchThread = settings::SearchDisplay::kAllCounts;
  Add(chanA, "apple pie");
  store::TTreeNodeExt* apple = Search(group, "apple");
  store::TTreeNodeExt* big = Channel(group, "Big");
  for (int i = 0; i < 2000; ++i) Add(big, "apple " + std::to_string(i));
  count->SetSliceBudget(std::chrono::nanoseconds(0));
  count->Restart();
  loop.Advance(SearchCount::kDebounceMs);
  ASSERT_TRUE(loop.RunOne());
  ASSERT_EQ(count->SearchRunState(), SearchCount::kCounting);
  const int slicesBefore = count->Stats().slices;
  EXPECT_GE(slicesBefore, 2);
  // The snapshot is part-way through the big channel when it goes away.
  store.DeleteNode(big);
  EXPECT_EQ(count->SearchRunState(), SearchCount::kIdle);
  loop.RunPending();
  EXPECT_EQ(count->Stats().slices, slicesBefore);
  EXPECT_EQ(apple->ItemTotal(), 0);
  // The change itself asked for a fresh count.
  CountNow();
  EXPECT_EQ(apple->ItemTotal(), 1);
}

}  // namespace
}  // namespace search::testing
