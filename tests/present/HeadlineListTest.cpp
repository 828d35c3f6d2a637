// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>

#include "HeadlineFixture.h"
#include "platform/Files.h"
#include "text/Compare.h"
#include "text/Literal.h"

namespace present::testing {
namespace {

using store::kStateProtected;
using store::kStateRead;
using store::kStateUnread;

using HeadlineListTest = HeadlineFixture;

TEST(DateFilterTable, StoredValuesShowTheirChoiceAndChoicesStoreTheirDays) {
  const int expectedIndex[] = {0, 1, 2, 2, 3, 3, 3, 3};
  for (int value = 0; value < 8; ++value) EXPECT_EQ(DateFilterIndex(value), expectedIndex[value]) << value;
  EXPECT_EQ(DateFilterIndex(8), 0);
  EXPECT_EQ(DateFilterIndex(-1), 0);
  for (int index = 0; index < 4; ++index) EXPECT_EQ(DateFilterIndex(DateFilterValue(index)), index);
  EXPECT_EQ(DateFilterValue(2), 3);
}

TEST(ListDate, FormatsMonthDayHoursMinutes) {
  std::string out;
  FormatListDate(39449.5, out);  // 2008-01-02 12:00
  EXPECT_EQ(out, "01/02 12:00");
  FormatListDate(45000.0 + (23 * 60 + 59) / 1440.0, out);  // 2023-03-15 23:59
  EXPECT_EQ(out, "03/15 23:59");
  FormatListDate(std::nan(""), out);
  EXPECT_EQ(out, "");
}

TEST(SortKeys, OrderLikeTheCaseInsensitiveComparison) {
  const std::vector<std::string> texts = {
      "abc",           "ABD",  "ab",    "",  "Zeta", "zeta", text::J("ａｂｃ"), text::J("ＡＢＤ"),
      text::J("日本"), "\x82", "a\x81", "[", "_"};
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      std::string keyA, keyB;
      AppendSortKey(a, keyA);
      AppendSortKey(b, keyB);
      const int byKey = (keyA > keyB) - (keyA < keyB);
      EXPECT_EQ(byKey, text::CompareTextJ(a, b)) << a << " / " << b;
    }
  }
}

TEST_F(HeadlineListTest, DateFilterListsTwoPointNineDaysButNotThree) {
  Add(chanA, "young", kStateUnread, 2.9);
  Add(chanA, "old", kStateUnread, 3.0);
  settings.DateMode = 3;
  list.SelectNode(chanA);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"young"}));
  list.SetDateFilterIndex(0);
  EXPECT_EQ(list.RowCount(), 2u);
  EXPECT_EQ(settings.DateMode, 0);
}

TEST_F(HeadlineListTest, DefaultOrderPutsUnreadFirstNewestFirstAndSelectsTheTopRow) {
  Add(chanA, "read-new", kStateRead, 1);
  Add(chanB, "unread-old", kStateUnread, 5);
  Add(chanC, "unread-new", kStateUnread, 2);
  Add(chanA, "protected", kStateProtected, 3);
  list.SelectNode(Root());
  EXPECT_EQ(Titles(), (std::vector<std::string>{"unread-new", "unread-old", "read-new", "protected"}))
      << "column 0 descending: unread first, newest first within a state";
  EXPECT_EQ(list.FocusedRow(), 0);
  EXPECT_EQ(list.UnreadInList(), 2);
}

TEST_F(HeadlineListTest, SortingByTitleTwiceInvertsAndKeepsTheSelection) {
  Add(chanA, "beta");
  Add(chanA, "Alpha");
  Add(chanA, "gamma");
  list.SelectNode(chanA);
  list.SelectRow(2);
  store::TSiteRecord* selected = list.Item(2);

  list.SortByColumn(kColumnTitle);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"gamma", "beta", "Alpha"})) << "kept the descending flag";
  EXPECT_EQ(list.Item(static_cast<size_t>(list.FocusedRow())), selected);
  list.SortByColumn(kColumnTitle);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(list.Item(static_cast<size_t>(list.FocusedRow())), selected);
  EXPECT_TRUE(list.IsSelected(static_cast<size_t>(list.FocusedRow())));
  EXPECT_EQ(list.SelectedCount(), 1u);
  EXPECT_EQ(view.scrolledTo, list.FocusedRow());
  EXPECT_EQ(settings.SortNum, kColumnTitle);
  EXPECT_TRUE(settings.SortUpDown);
}

TEST_F(HeadlineListTest, EqualKeysKeepTheOrderOfCollection) {
  settings.SortNum = kColumnTitle;
  settings.SortUpDown = true;
  for (const char* channel : {"first", "second", "third"}) {
    store::TSiteRecord* item = Add(chanA, "same", kStateUnread, 1);
    item->creator = channel;
  }
  list.SelectNode(chanA);
  ASSERT_EQ(list.RowCount(), 3u);
  EXPECT_EQ(list.Item(0)->creator, "first");
  EXPECT_EQ(list.Item(2)->creator, "third");
  // The prepared keys and the item comparison agree on every pair.
  for (size_t a = 0; a + 1 < list.RowCount(); ++a) EXPECT_LT(list.CompareItems(*list.Item(a), *list.Item(a + 1)), 0);
}

TEST_F(HeadlineListTest, KeywordOverridesTheListFiltersForAChannelButNotForASearchItem) {
  Add(chanA, "news read", kStateRead, 1);
  Add(chanA, "news old", kStateUnread, 10);
  Add(chanA, "other", kStateUnread, 1);
  settings.MidokuOnly = 2;
  settings.DateMode = 7;
  list.SetKeywordFilter(true, "news");
  list.SelectNode(chanA);
  EXPECT_EQ(list.RowCount(), 2u) << "both matches, whatever their state and age";

  store::TTreeNodeExt* search = store.Tree().AddChild(Root(), "news", store::kKindSearch);
  list.SelectNode(search);
  EXPECT_EQ(list.RowCount(), 0u) << "a search item's query still goes through the filters";
  settings.DateMode = 0;
  list.SelectNode(search);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"news old"}));

  list.SetKeywordFilter(false, "news");
  list.SelectNode(chanA);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"other", "news old"}));
}

TEST_F(HeadlineListTest, BuildingRowsLeavesWebArchivesToTheLoad) {
  // The files are checked where the data is loaded: the rows show what the items hold,
  // and showing them changes no data.
  store::TSiteRecord* lost = Add(chanA, "lost");
  lost->mht = "lost.mht";
  store.ClearModified();
  list.SelectNode(chanA);
  EXPECT_EQ(lost->mht, "lost.mht");
  EXPECT_EQ(list.Icon(0), RowIcon::kUnreadArchive);
  EXPECT_FALSE(store.DataModified());
}

TEST_F(HeadlineListTest, ABurstOfTreeChangesRefreshesTheStatusOnce) {
  list.SelectNode(chanA);
  view.panel.clear();
  for (int i = 0; i < 3; ++i) Add(chanA, "new " + std::to_string(i));
  EXPECT_EQ(view.panel, "") << "the refresh waits for the loop";
  loop.RunPending();
  EXPECT_NE(view.panel, "");
  view.panel.clear();
  loop.RunPending();
  EXPECT_EQ(view.panel, "") << "one refresh served the whole burst";
  Add(chanA, "later");
  loop.RunPending();
  EXPECT_NE(view.panel, "") << "a later change refreshes again";
}

TEST_F(HeadlineListTest, AscendingByStateSelectsTheLastRowAndLinkChannelsOnlyScroll) {
  Add(chanA, "a", kStateUnread, 2);
  Add(chanA, "b", kStateUnread, 1);
  settings.SortUpDown = true;
  list.SelectNode(chanA);
  EXPECT_EQ(list.FocusedRow(), 1);
  ASSERT_EQ(renderer.summaries.size(), 1u) << "no display delay after a click on the tree";

  settings.CursorTop = true;
  list.SelectNode(chanA);
  EXPECT_EQ(list.FocusedRow(), 0);

  chanA->Data()->linkop = 1;
  view.scrolledTo = -1;
  list.SelectNode(chanA);
  EXPECT_EQ(list.SelectedCount(), 0u);
  EXPECT_EQ(view.scrolledTo, 0);

  list.SelectNode(chanB);
  EXPECT_EQ(renderer.messages, (std::vector<store::TTreeNodeExt*>{chanB}));
}

TEST_F(HeadlineListTest, CellsAndStatusTexts) {
  store::TSiteRecord* item = Add(chanA, "title", kStateUnread, 0);
  item->modified = 39449.5;
  item->link = "page.html";
  Add(chanA, "second", kStateRead);
  list.SelectNode(chanA);
  std::string cell;
  list.CellText(0, kColumnModified, cell);
  EXPECT_EQ(cell, "01/02 12:00");
  list.CellText(0, kColumnChannel, cell);
  EXPECT_EQ(cell, "ChanA");
  EXPECT_TRUE(list.RowBold(0));
  EXPECT_FALSE(list.RowBold(1));

  list.SetStoreLoaded(true);
  list.StatusText();
  EXPECT_EQ(view.panel, text::J(" http://ChanA.example/page.html -  グループ: 1 チャンネル: 3/3"));
  EXPECT_EQ(view.tip, text::J("1/2件 未読 1件"));
  view.focus = FocusArea::kTree;
  list.StatusText();
  EXPECT_EQ(view.panel.substr(0, 22), " http://ChanA.example/");
  EXPECT_EQ(view.tip, text::J("2件 未読 1件"));
  list.SelectNode(group);
  list.SetStoreLoaded(false);
  list.StatusText();
  EXPECT_EQ(view.panel, text::J(" グループ : Group"));
  settings.FormViewMode = 3;
  list.StatusText();
  EXPECT_EQ(view.panel, "");
  EXPECT_EQ(view.progressText, "Browser-mode");
}

TEST_F(HeadlineListTest, TheStatusFollowsTheSelectionAndEveryChangeOfTheTree) {
  store::TSiteRecord* first = Add(chanA, "first", kStateUnread, 0);
  first->link = "one.html";
  store::TSiteRecord* second = Add(chanA, "second", kStateUnread, 1);
  second->link = "two.html";
  list.SetStoreLoaded(true);
  list.SelectNode(chanA);  // the list comes up with its status, the first row selected
  EXPECT_EQ(view.panel, text::J(" http://ChanA.example/one.html -  グループ: 1 チャンネル: 3/3"));
  list.SelectRow(1);
  EXPECT_EQ(view.panel, text::J(" http://ChanA.example/two.html -  グループ: 1 チャンネル: 3/3"));
  EXPECT_EQ(view.tip, text::J("2/2件 未読 2件"));

  // Added, renamed and deleted nodes reach the counts once the burst is over.
  store::TTreeNodeExt* added = Channel(store.Tree().RootNode(), "ChanD");
  store.Tree().AddChild(store.Tree().RootNode(), "Other", store::kKindGroup);
  EXPECT_NE(view.panel.find(text::J("チャンネル: 3/3")), std::string::npos);
  loop.Advance(0);
  EXPECT_EQ(view.panel, text::J(" http://ChanA.example/two.html -  グループ: 2 チャンネル: 4/4"));
  ASSERT_TRUE(store.DeleteNode(added));
  loop.Advance(0);
  EXPECT_EQ(view.panel, text::J(" http://ChanA.example/two.html -  グループ: 2 チャンネル: 3/3"));
}

TEST_F(HeadlineListTest, ViewModeLeavesThePageListOfTheRootEmptyAndCarriesTheLastPageOver) {
  settings.FormViewMode = 4;
  settings.EvwMidokuOnly = 0;
  settings.EvwSeekMax = 3;
  Add(chanA, "a1");
  Add(chanA, "a2");
  Add(chanB, "b1");
  list.SelectNode(Root());
  EXPECT_EQ(list.RowCount(), 3u);
  EXPECT_TRUE(list.Page().PageList.empty());

  list.SelectNode(chanA);
  ASSERT_EQ(list.Page().PageList.size(), 2u);
  loop.Advance(5);
  list.SelectNode(chanB);
  const PageState& page = list.Page();
  ASSERT_EQ(page.PageList.size(), 4u) << "two kept entries, one empty slot, then the new node";
  EXPECT_EQ(page.PageList[0]->title, "a1");
  EXPECT_EQ(page.PageList[2], nullptr);
  EXPECT_EQ(page.PageList[3]->title, "b1");
  EXPECT_EQ(page.PageFirst, 3u);
  EXPECT_EQ(page.PageStart, 3u);
  EXPECT_EQ(page.PageId, loop.TickMs());
}

TEST_F(HeadlineListTest, DeletingANodeDropsItsRowsFromTheShownList) {
  Add(chanA, "a");
  Add(chanC, "c");
  list.SelectNode(Root());
  ASSERT_EQ(list.RowCount(), 2u);
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(group));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"c"}));
  EXPECT_EQ(list.UnreadInList(), 1);
  EXPECT_EQ(view.rows, 1u);
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(chanC));
  EXPECT_EQ(list.RowCount(), 0u);
}

TEST_F(HeadlineListTest, ItemsTheMergeRemovesOrAChannelLosesLeaveTheShownList) {
  Add(chanA, "a1");
  Add(chanA, "a2");
  Add(chanC, "c");
  list.SelectNode(Root());
  ASSERT_EQ(list.RowCount(), 3u);
  // An item replaced by a newer one of the same feed goes while the list shows it.
  ASSERT_TRUE(store.DeleteItemFromChannel(*chanA->Data(), 0));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"c", "a2"}));  // newest first
  EXPECT_EQ(list.UnreadInList(), 2);
  // A channel whose feed turned out to be an OPML list becomes a group: its items go.
  store.ReleaseChannelData(chanA);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"c"}));
  EXPECT_EQ(view.rows, 1u);
}

}  // namespace
}  // namespace present::testing
