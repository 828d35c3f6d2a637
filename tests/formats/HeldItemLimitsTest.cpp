// SPDX-License-Identifier: MIT
// A damaged plover.ini costs no items: neither the merge of an update nor the save that
// follows it drops items by limits that are not the user's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/feeds/FeedRun.h"
#include "formats/feeds/ItemMerge.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"
#include "settings/SettingsStore.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace formats {
namespace {

constexpr int kStoredItems = 12500;
constexpr double kNow = 45500;  // the day of the update

// One run of the program over the data folder: its settings, store and data file.
struct ProgramRun {
  ProgramRun() {
    dataFile.SetClock([] { return std::time_t{1700000000}; });
  }

  store::TTreeNodeExt* Channel() { return store.Tree().RootNode()->Child(0); }

  settings::Settings settings = settings::DefaultSettings(0);
  store::ChannelStore store{settings};
  store::DataGuard guard;
  testsupport::ScriptedDialogs dialogs;
  store::RecoveryCounter counter{1};
  store::FeedDataFile dataFile{store, guard, dialogs, counter};
};

store::TSiteRecord Item(int number, double modified) {
  store::TSiteRecord item;
  item.title = "item " + std::to_string(number);
  item.link = "http://example.jp/" + std::to_string(number);
  item.pubdate = "a date";
  item.modified = modified;
  item.read = store::kStateRead;
  return item;
}

// The header of the main section of plover.ini broken: read as it stands, the file gives
// the default limits (100 items, 60 days), and the next update would cut a channel of
// 12,500 items to 100.
TEST(HeldItemLimitsTest, AnUpdateAfterADamagedSettingsFileKeepsEveryItem) {
  testsupport::TempDir dir;
  {
    // A user without item limits, with a year of items in one channel.
    ProgramRun before;
    before.settings.ItemMax = 0;
    before.settings.DateMax = 0;
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = "http://example.jp/feed";
    before.store.Tree().AddChild(before.store.Tree().RootNode(), "Feed", store::kKindChannel, std::move(list));
    for (int i = 0; i < kStoredItems; ++i) {
      before.store.AddItemToChannel(*before.Channel()->Data(), Item(i, kNow - 400 + i * 0.03));
    }
    ASSERT_EQ(before.dataFile.SaveChannelTree(dir.Path(), false), store::SaveResult::kSaved);
  }
  testsupport::WriteFile(dir / "plover.ini", "[Ev_Main\r\nItemMax=0\r\nDateMax=0\r\n");

  ProgramRun run;
  settings::SettingsState state;
  ASSERT_TRUE(settings::LoadSettings(dir / "plover.ini", run.settings, state, &run.dialogs));
  EXPECT_EQ(run.settings.ItemMax, 100);  // the user's 0 was lost with the header
  ASSERT_TRUE(run.dataFile.LoadChannelTree(dir.Path(), 0, false));
  store::TSiteList& channel = *run.Channel()->Data();
  ASSERT_EQ(channel.Count(), static_cast<size_t>(kStoredItems));

  // The update: a feed of 150 new items, the older half of them from long ago, and the
  // newest stored item.
  FeedRun merge(run.store, run.settings, channel);
  merge.Now = kNow;
  StartFeedRun(merge);
  for (int i = 0; i < 150 && !merge.Stop; ++i) MergeItem(Item(kStoredItems + i, kNow - i), merge);
  MergeItem(Item(kStoredItems - 1, kNow - 400 + (kStoredItems - 1) * 0.03), merge);
  EXPECT_EQ(channel.Count(), static_cast<size_t>(kStoredItems + 150));
  ASSERT_EQ(run.dataFile.SaveChannelTree(dir.Path(), false), store::SaveResult::kSaved);

  ProgramRun after;
  after.settings.ItemLimitsHeld = true;  // the file is still the damaged one
  ASSERT_TRUE(after.dataFile.LoadChannelTree(dir.Path(), 0, false));
  EXPECT_EQ(after.Channel()->Data()->Count(), static_cast<size_t>(kStoredItems + 150));
  EXPECT_EQ(after.Channel()->ItemTotal(), kStoredItems + 150);
}

}  // namespace
}  // namespace formats
