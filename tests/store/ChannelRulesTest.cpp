// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TreeFixture.h"
#include "store/DateTime.h"
#include "store/ItemBounds.h"

namespace store::testing {
namespace {

constexpr double kDay = 40000;  // some day; the fraction is the time of day
constexpr double kHour = 1.0 / 24;
constexpr double kMinute = kHour / 60;

using GoneRuleTest = TreeFixture;

TEST_F(GoneRuleTest, CountsOncePerDayAndStopsOnTheSeventh) {
  TSiteList& list = *feed->Data();
  EXPECT_FALSE(store.ApplyGoneRule(list, 404, false, kDay + 10 * kHour));
  EXPECT_EQ(list.gonecount, 1);
  EXPECT_EQ(list.gonedate, kDay + 10 * kHour);
  EXPECT_TRUE(store.DataModified());

  store.ClearModified();
  store.ApplyGoneRule(list, 410, false, kDay + 20 * kHour);  // ten hours later: not again
  EXPECT_EQ(list.gonecount, 1);
  EXPECT_FALSE(store.DataModified());
  store.ApplyGoneRule(list, 404, false, kDay + 1 + 10 * kHour + kMinute);
  EXPECT_EQ(list.gonecount, 2);
  store.ApplyGoneRule(list, 404, false, kDay + 2 + 10 * kHour + kMinute);  // exactly 24 hours later
  EXPECT_EQ(list.gonecount, 3);
  store.ApplyGoneRule(list, 404, true, kDay + 5);  // a resume does not count
  store.ApplyGoneRule(list, 500, false, kDay + 5);
  EXPECT_EQ(list.gonecount, 3);

  for (int day = 3; day <= 5; ++day) EXPECT_FALSE(store.ApplyGoneRule(list, 404, false, kDay + day + 11 * kHour));
  EXPECT_EQ(list.gonecount, 6);
  EXPECT_EQ(feed->Kind(), kKindChannel);
  EXPECT_TRUE(store.ApplyGoneRule(list, 404, false, kDay + 6 + 11 * kHour));
  EXPECT_EQ(list.gonecount, 0);
  EXPECT_EQ(list.gonedate, 0);
  EXPECT_EQ(feed->Kind(), kKindStopped);
}

TEST_F(GoneRuleTest, AnAnswerClearsTheCounter) {
  TSiteList& list = *feed->Data();
  for (int status : {200, 304}) {
    store.ApplyGoneRule(list, 404, false, kDay);
    store.ClearModified();
    store.ApplyGoneRule(list, status, false, kDay + kHour);
    EXPECT_EQ(list.gonecount, 0) << status;
    EXPECT_EQ(list.gonedate, 0) << status;
    EXPECT_TRUE(store.DataModified()) << status;
    store.ClearModified();
    store.ApplyGoneRule(list, status, false, kDay + kHour);
    EXPECT_FALSE(store.DataModified()) << status;  // nothing to clear, nothing to save
  }
}

class ItemBoundsTest : public ::testing::Test {
 protected:
  // `count` items, oldest first, dated a day apart up to `now`, all read and with a date text.
  void Fill(size_t count) {
    for (size_t i = 0; i < count; ++i) {
      TSiteRecord record;
      record.title = "item" + std::to_string(i);
      record.modified = now - static_cast<double>(count - 1 - i);
      record.pubdate = "date";
      record.read = kStateRead;
      list.AddItem(record);
    }
  }
  std::vector<size_t> Written() {
    std::vector<bool> write = ItemsToWrite(list, settings, now);
    std::vector<size_t> indexes;
    for (size_t i = 0; i < write.size(); ++i) {
      if (write[i]) indexes.push_back(i);
    }
    return indexes;
  }
  static std::vector<size_t> Range(size_t first, size_t last) {
    std::vector<size_t> indexes;
    for (size_t i = first; i <= last; ++i) indexes.push_back(i);
    return indexes;
  }

  settings::Settings settings;
  TSiteList list;
  double now = kDay + 12 * kHour;
};

TEST_F(ItemBoundsTest, KeepsTheNewestItemsAndEveryProtectedOne) {
  settings.DateMax = 0;
  Fill(120);
  EXPECT_EQ(Written(), Range(20, 119));
  list.ItemAt(5)->read = kStateProtected;
  std::vector<size_t> expected = Range(20, 119);
  expected.insert(expected.begin(), 5);
  EXPECT_EQ(Written(), expected);
  EXPECT_EQ(Written().size(), 101u);

  list.itemmax = 10;  // the channel's own limit wins over ItemMax
  expected = Range(110, 119);
  expected.insert(expected.begin(), 5);
  EXPECT_EQ(Written(), expected);
  settings.ItemMax = 0;
  list.itemmax = 0;
  EXPECT_EQ(Written().size(), 120u);
}

TEST_F(ItemBoundsTest, DropsOldItemsOnlyWhenTheyHaveADateText) {
  settings.ItemMax = 0;
  settings.DateMax = 30;
  Fill(40);                            // ages 39 down to 0 days
  EXPECT_EQ(Written(), Range(9, 39));  // 30 whole days old is still kept
  list.ItemAt(0)->pubdate.clear();
  list.ItemAt(0)->modified = 1;  // a century old, but the feed gave no date
  std::vector<size_t> expected = Range(9, 39);
  expected.insert(expected.begin(), 0);
  EXPECT_EQ(Written(), expected);

  list.datemax = 35;
  EXPECT_EQ(Written().front(), 0u);
  EXPECT_EQ(Written()[1], 4u);
  settings.DateMax = -1;  // not yet given its default: no age limit
  list.datemax = 0;
  EXPECT_EQ(Written().size(), 40u);
}

TEST_F(ItemBoundsTest, MidokuSaveKeepsEveryUnreadItem) {
  settings.ItemMax = 10;
  settings.DateMax = 5;
  Fill(30);
  list.ItemAt(0)->read = kStateUnread;
  list.ItemAt(12)->read = kStateUnread;
  EXPECT_EQ(Written(), Range(24, 29));  // 5 days old is still kept
  settings.MidokuSave = true;
  std::vector<size_t> expected = {0, 12, 24, 25, 26, 27, 28, 29};
  EXPECT_EQ(Written(), expected);
}

// While the settings come from a damaged file, a save keeps every item: ItemMax, DateMax
// and MidokuSave may all be other than the user's. The channel's own limits come with the
// data file and still bound what the merge takes from a feed.
TEST_F(ItemBoundsTest, HeldLimitsKeepEveryItem) {
  settings.ItemMax = 10;
  settings.DateMax = 5;
  Fill(30);
  list.ItemAt(3)->read = kStateUnread;
  list.itemmax = 3;
  EXPECT_EQ(Written(), Range(27, 29));
  settings.ItemLimitsHeld = true;
  EXPECT_EQ(Written(), Range(0, 29));
  EXPECT_EQ(EffectiveItemLimit(list, settings), 3);
  list.itemmax = 0;
  EXPECT_EQ(EffectiveItemLimit(list, settings), 0);
  EXPECT_EQ(EffectiveAgeLimit(list, settings), 0);
  list.datemax = 7;
  EXPECT_EQ(EffectiveAgeLimit(list, settings), 7);
}

using ChannelListTest = TreeFixture;

TEST_F(ChannelListTest, ReleasingAChannelListTakesItsItemsOutOfTheTotals) {
  store.AddItemToChannel(*feed->Data(), Item("a"));
  store.AddItemToChannel(*feed->Data(), Item("b", kStateRead));
  settings.DupAction = 2;
  store.RebuildDupList();
  store.ReleaseChannelData(feed);
  EXPECT_EQ(feed->Data(), nullptr);
  EXPECT_EQ(store.DupList(), nullptr);  // it referred to the destroyed items
  for (const TTreeNodeExt* node : {feed, inner, outer, Tree().RootNode()}) {
    EXPECT_EQ(node->ItemTotal(), 0) << node->Caption();
    EXPECT_EQ(node->UnreadTotal(), 0) << node->Caption();
  }
}

TEST_F(ChannelListTest, DeletingAnItemKeepsTheDuplicateListWithoutIt) {
  settings.DupAction = 2;
  TSiteRecord* first = store.AddItemToChannel(*feed->Data(), Item("a"));
  store.AddItemToChannel(*feed->Data(), Item("b"));
  store.RebuildDupList();
  ASSERT_EQ(store.DupList()->Count(), 2u);
  ASSERT_TRUE(store.DeleteItemFromChannel(*feed->Data(), 0));
  ASSERT_NE(store.DupList(), nullptr);
  EXPECT_EQ(store.DupList()->Count(), 1u);
  EXPECT_NE(store.DupList()->At(0), first);
}

TEST_F(ChannelListTest, SortingKeepsEqualItemsInOrderAndRecordsInPlace) {
  TSiteList& list = *feed->Data();
  const double dates[] = {3, 1, 2, 1};
  std::vector<const TSiteRecord*> added;
  for (int i = 0; i < 4; ++i) {
    TSiteRecord record = Item(std::string(1, static_cast<char>('a' + i)));
    record.modified = dates[i];
    added.push_back(list.AddItem(record));
  }
  list.SortItems([](const TSiteRecord& a, const TSiteRecord& b) { return a.modified < b.modified; });
  const std::vector<const TSiteRecord*> expected = {added[1], added[3], added[2], added[0]};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(list.ItemAt(i), expected[i]) << i;
}

TEST(DateTimeTest, WholeDaysAndSpans) {
  EXPECT_EQ(WholeDaysBetween(kDay, kDay + 1), 1);
  EXPECT_EQ(WholeDaysBetween(kDay + 1, kDay), 1);
  EXPECT_EQ(WholeDaysBetween(kDay, kDay + 1 - kMinute), 0);
  EXPECT_EQ(WholeDaysBetween(kDay + 10 * kHour, kDay + 2 + 10 * kHour), 2);
  EXPECT_EQ(MillisecondsBetween(kDay + 10 * kHour, kDay + 1 + 10 * kHour), kMillisecondsPerDay);
  EXPECT_EQ(MillisecondsBetween(0, std::nan("")), 0);
  EXPECT_GT(WholeDaysBetween(0, 1e300), 1'000'000);
}

}  // namespace
}  // namespace store::testing
