// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "formats/FeedTestSupport.h"
#include "formats/feeds/ItemMerge.h"
#include "text/Literal.h"

namespace formats::testing {
namespace {

using store::TSiteRecord;

TSiteRecord Item(const std::string& title, const std::string& link, const std::string& desc = {}) {
  TSiteRecord item;
  item.title = title;
  item.link = link;
  item.desc = desc;
  item.modified = Day(2024, 5, 1);
  return item;
}

class Merge : public FeedFixture, public ::testing::Test {
 protected:
  Merge() : node_(AddChannel()), channel_(ChannelOf(node_)) {}

  TSiteRecord* Store(TSiteRecord item, uint8_t read = store::kStateUnread) {
    item.read = read;
    return store.AddItemToChannel(channel_, item);
  }

  // A run over the channel as it is now, as feed processing starts one.
  std::unique_ptr<FeedRun> Start() {
    auto run = std::make_unique<FeedRun>(store, settings, channel_);
    run->Now = TestNow();
    run->Totals = &totals;
    run->Media.Queue = &media;
    StartFeedRun(*run);
    return run;
  }

  void ExpectCountsMatchItems() {
    int32_t unread = 0;
    for (const auto& item : channel_.Items()) unread += item->read == store::kStateUnread ? 1 : 0;
    EXPECT_EQ(node_->ItemTotal(), static_cast<int32_t>(channel_.Count()));
    EXPECT_EQ(node_->UnreadTotal(), unread);
  }

  store::TTreeNodeExt* node_;
  store::TSiteList& channel_;
};

// The table of what a re-fetched version of a stored item does.
struct VersionCase {
  const char* name;
  bool datecomp;
  uint8_t storedRead;
  const char* storedDate;  // pubdate of the stored version
  const char* newDate;     // pubdate of the fetched version
  double newDayOffset;     // the fetched version's modified, relative to the stored one
  const char* newDesc;     // the stored description is "old"
  const char* keptDesc;    // the description of the one item left ("" when there are two)
  uint8_t keptRead;
  bool changed;
};

class MergeVersion : public Merge, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(MergeVersion, DecidesBetweenStoredAndFetched) {
  const VersionCase& c = GetParam();
  channel_.datecomp = c.datecomp;
  TSiteRecord stored = Item("Title", "http://a/1", "old");
  stored.pubdate = c.storedDate;
  Store(stored, c.storedRead);
  auto run = Start();
  TSiteRecord fetched = Item("TITLE", "HTTP://A/1", c.newDesc);
  fetched.pubdate = c.newDate;
  fetched.modified = stored.modified + c.newDayOffset;
  MergeItem(fetched, *run);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->desc, c.keptDesc);
  EXPECT_EQ(channel_.ItemAt(0)->read, c.keptRead);
  EXPECT_EQ(run->Changed, c.changed);
  ExpectCountsMatchItems();
}

INSTANTIATE_TEST_SUITE_P(
    Merge, MergeVersion,
    ::testing::Values(VersionCase{"SameItemKnown", false, 1, "d1", "d1", 0, "old", "old", 1, false},
                      VersionCase{"ChangedTextWithoutDateCompare", false, 1, "d1", "d1", 0, "new", "old", 1, false},
                      VersionCase{"ChangedTextReplaces", true, 1, "d1", "d1", 0, "new", "new", 0, true},
                      VersionCase{"NewerDateReplaces", true, 1, "d1", "d2", 1, "old", "old", 0, true},
                      VersionCase{"OlderDateWithSameTextKnown", true, 1, "d1", "d2", -1, "old", "old", 1, false},
                      VersionCase{"MissingDateWithSameTextKnown", true, 1, "", "d2", 1, "old", "old", 1, false},
                      VersionCase{"ProtectedWithNewDateStays", true, 2, "d1", "d2", 1, "old", "old", 2, false},
                      VersionCase{"ProtectedWithChangedTextReplaced", true, 2, "d1", "d1", 0, "new", "new", 0, true}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

// Items stored while dates were read less well: the pubdate text is the same, only its
// reading (the item's modified value) now differs, earlier or later. Such an item is the
// one the reader knows, with or without datecomp, read or unread: it is neither replaced
// nor announced again.
struct RereadCase {
  const char* name;
  const char* pubdate;
  bool rfc822;
  double oldReading;  // what the stored item got when it was first fetched, at UTC+9
};

class MergeReread : public Merge, public ::testing::WithParamInterface<std::tuple<RereadCase, bool, uint8_t>> {};

TEST_P(MergeReread, StoredItemIsNotNewAgain) {
  const auto& [c, datecomp, read] = GetParam();
  channel_.datecomp = datecomp;
  TSiteRecord stored = Item("Title", "http://a/1", "text");
  stored.pubdate = c.pubdate;
  stored.modified = c.oldReading;
  Store(stored, read);
  auto run = Start();
  TSiteRecord fetched = Item("Title", "http://a/1", "text");
  fetched.pubdate = c.pubdate;
  fetched.modified = run->ParseDate(c.pubdate, c.rfc822);
  ASSERT_NE(fetched.modified, c.oldReading) << "the date must read differently now";
  MergeItem(fetched, *run);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->modified, c.oldReading);
  EXPECT_EQ(channel_.ItemAt(0)->read, read);
  EXPECT_FALSE(run->Changed);
  EXPECT_FALSE(run->NewUnread);
  EXPECT_EQ(run->AddedCount, 0u);
  ExpectCountsMatchItems();
}

INSTANTIATE_TEST_SUITE_P(
    Merge, MergeReread,
    ::testing::Combine(::testing::Values(
                           // A named zone taken as UTC: now five hours later.
                           RereadCase{"NamedZone", "Tue, 10 Mar 2015 08:30:00 EST", true, Day(2015, 3, 10, 17, 30)},
                           // Unreadable without the day name: the stored date was the fetch's own moment.
                           RereadCase{"WithoutDayName", "14 Feb 2011 09:00:00 GMT", true, Day(2024, 5, 31, 12)},
                           // The minutes of the offset were dropped: now half an hour earlier.
                           RereadCase{"OffsetMinutes", "2024-05-01T10:00:00+05:30", false, Day(2024, 5, 1, 14)},
                           // A date alone was local midnight, now UTC midnight.
                           RereadCase{"DateAlone", "2024-05-01", false, Day(2024, 5, 1)},
                           // 24:00 was the start of the day, now its end.
                           RereadCase{"EndOfDay", "2024-05-01T24:00:00Z", false, Day(2024, 5, 1, 9)}),
                       ::testing::Bool(), ::testing::Values(store::kStateUnread, store::kStateRead)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_DateCompare" : "") +
             (std::get<2>(info.param) == store::kStateRead ? "_Read" : "_Unread");
    });

TEST_F(Merge, UnchangedRefetchStopsPastHalfOfTheStoredItems) {
  for (int i = 0; i < 10; ++i) Store(Item("t" + std::to_string(i), "l" + std::to_string(i), "d"));
  Store(Item("kept", "k"), store::kStateProtected);  // protected items do not count
  auto run = Start();
  EXPECT_EQ(run->StopThreshold, 5u);
  for (int i = 0; i < 10 && !run->Stop; ++i)
    MergeItem(Item("t" + std::to_string(i), "l" + std::to_string(i), "d"), *run);
  EXPECT_TRUE(run->Stop);
  EXPECT_EQ(run->TitledCount, 6u);
  EXPECT_FALSE(run->Changed);
  EXPECT_EQ(channel_.Count(), 11u);
}

TEST_F(Merge, ChangedTextsDoNotStopTheRead) {
  for (int i = 0; i < 4; ++i) Store(Item("t" + std::to_string(i), "l" + std::to_string(i), "d"));
  auto run = Start();
  for (int i = 0; i < 4; ++i) MergeItem(Item("t" + std::to_string(i), "l" + std::to_string(i), "changed"), *run);
  EXPECT_FALSE(run->Stop);
}

TEST_F(Merge, NewItemsStandAfterOlderOnesInReverseDocumentOrderAndCount) {
  Store(Item("old", "o"), store::kStateRead);
  auto run = Start();
  MergeItem(Item("first", "1"), *run);
  MergeItem(Item("second", "2"), *run);
  ASSERT_EQ(channel_.Count(), 3u);
  EXPECT_EQ(channel_.ItemAt(0)->title, "old");
  EXPECT_EQ(channel_.ItemAt(1)->title, "second");
  EXPECT_EQ(channel_.ItemAt(2)->title, "first");
  EXPECT_EQ(channel_.ItemAt(2)->Owner, &channel_);
  EXPECT_TRUE(run->NewUnread);
  EXPECT_EQ(totals.NewItemCount, 2);
  EXPECT_TRUE(store.DataModified());
  ExpectCountsMatchItems();
}

TEST_F(Merge, ItemLimitTakesTheFirstItemsOfTheDocument) {
  channel_.itemmax = 3;
  auto run = Start();
  for (int i = 0; i < 10 && !run->Stop; ++i) MergeItem(Item("t" + std::to_string(i), "l"), *run);
  ASSERT_EQ(channel_.Count(), 3u);
  EXPECT_EQ(channel_.ItemAt(0)->title, "t2");
  EXPECT_EQ(channel_.ItemAt(2)->title, "t0");
}

TEST_F(Merge, AgeLimitDropsOnlyDatedItems) {
  channel_.datemax = 7;
  auto run = Start();
  TSiteRecord old = Item("dated", "1");
  old.modified = TestNow() - 8;
  old.pubdate = "eight days ago";
  MergeItem(old, *run);
  TSiteRecord undated = Item("undated", "2");
  undated.modified = TestNow() - 8;
  MergeItem(undated, *run);
  TSiteRecord recent = Item("recent", "3");
  recent.modified = TestNow() - 6.9;
  recent.pubdate = "recent";
  MergeItem(recent, *run);
  ASSERT_EQ(channel_.Count(), 2u);
  EXPECT_EQ(channel_.ItemAt(0)->title, "recent");
  EXPECT_EQ(channel_.ItemAt(1)->title, "undated");
}

TEST_F(Merge, HtmlChannelsKnowItemsByTitleAndByLinkOnlyWithPattern) {
  channel_.htmlrss = 1;
  auto run = Start();
  MergeItem(Item("same", "http://a/1"), *run);
  MergeItem(Item("SAME", "http://a/2"), *run);
  EXPECT_EQ(channel_.Count(), 1u);
  channel_.regexpr = "<a href=\"({link}.*?)\">({title}.*?)</a>";
  MergeItem(Item("same", "http://a/2"), *run);
  MergeItem(Item("same", "HTTP://A/2"), *run);
  EXPECT_EQ(channel_.Count(), 2u);
}

TEST_F(Merge, NoreadChannelTakesItemsRead) {
  channel_.noread = 1;
  auto run = Start();
  MergeItem(Item("t", "l"), *run);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->read, store::kStateRead);
  EXPECT_TRUE(run->Changed);
  EXPECT_FALSE(run->NewUnread);
  EXPECT_EQ(totals.NewItemCount, 0);
  ExpectCountsMatchItems();
}

TEST_F(Merge, KeywordFilterDropsItems) {
  channel_.keyword = "apple !pie";
  auto run = Start();
  MergeItem(Item("Apple tart", "1"), *run);
  MergeItem(Item("apple pie", "2"), *run);
  MergeItem(Item("banana", "3"), *run);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->title, "Apple tart");
}

// A journal that gives every item back as protected.
class ProtectAll : public store::ItemStateReplay {
 public:
  bool ReplayItemState(TSiteRecord& item) override {
    ++calls;
    EXPECT_NE(item.Owner, nullptr);
    item.read = store::kStateProtected;
    return true;
  }
  int calls = 0;
};

TEST_F(Merge, JournalGivesTheStateBack) {
  ProtectAll journal;
  auto run = Start();
  run->Journal = &journal;
  store.ClearModified();
  MergeItem(Item("t", "l"), *run);
  EXPECT_EQ(journal.calls, 1);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->read, store::kStateProtected);
  EXPECT_FALSE(run->NewUnread);
  EXPECT_TRUE(store.DataModified());
  ExpectCountsMatchItems();
}

TEST_F(Merge, EnclosuresGoToTheMediaQueueWhenTheChannelAsks) {
  channel_.encflag = 1;
  channel_.Site.title = " Radio ";
  auto run = Start();
  TSiteRecord item = Item("t", "l");
  item.enclose = " http://a/ep.mp3 ";
  MergeItem(item, *run);
  EXPECT_TRUE(media.Empty());  // the media program is not installed
  EXPECT_FALSE(totals.EnclosurePending);
  run->Media.PodhallInstalled = true;
  item.title = "t2";
  MergeItem(item, *run);
  ASSERT_EQ(media.Size(), 1u);
  EXPECT_EQ(media.Entries().front(), "http://a/ep.mp3\tRadio");
  EXPECT_TRUE(totals.EnclosurePending);
}

TEST_F(Merge, CrossChannelDuplicateArrivesRead) {
  settings.DupAction = 1;
  store::TTreeNodeExt* other = AddChannel("http://other/feed");
  store.AddItemToChannel(ChannelOf(other), Item("shared", "http://x/1"));
  store.RebuildDupList();
  auto run = Start();
  MergeItem(Item("shared", "http://x/1"), *run);
  MergeItem(Item("own", "http://x/2"), *run);
  ASSERT_EQ(channel_.Count(), 2u);
  EXPECT_EQ(channel_.ItemAt(1)->read, store::kStateRead);
  EXPECT_EQ(channel_.ItemAt(0)->read, store::kStateUnread);
  EXPECT_EQ(totals.NewItemCount, 1);
  ExpectCountsMatchItems();
}

TEST_F(Merge, CrossChannelDuplicateKeepsAStateTheJournalGaveBack) {
  settings.DupAction = 2;
  store::TTreeNodeExt* other = AddChannel("http://other/feed");
  store.AddItemToChannel(ChannelOf(other), Item("shared", "http://x/1"));
  store.RebuildDupList();
  ProtectAll journal;
  auto run = Start();
  run->Journal = &journal;
  MergeItem(Item("shared", "http://x/1"), *run);
  ASSERT_EQ(channel_.Count(), 1u);
  EXPECT_EQ(channel_.ItemAt(0)->read, store::kStateProtected);
  ExpectCountsMatchItems();
}

// Synchronisation marks kept in memory.
class MemorySync : public SyncMarks {
 public:
  bool RecordsMarks() const override { return true; }
  std::optional<SyncFeedRecord> FindFeed(std::string_view address) const override {
    if (address != stored.feedrss) return std::nullopt;
    return stored;
  }
  void StoreFeed(std::string_view address, const SyncFeedRecord& record) override {
    storedFor = address;
    written = record;
  }
  SyncFeedRecord stored;
  std::string storedFor;
  std::optional<SyncFeedRecord> written;
};

TEST_F(Merge, ItemsSeenElsewhereArriveReadAndTheRecordIsWritten) {
  settings.FTPSync = true;
  settings.FTPServerName = "ftp.example.jp";
  MemorySync sync;
  sync.stored.feedrss = "http://example.com/feed.xml";
  sync.stored.items = {SyncTopItem{"seen", "http://a/2"}, SyncTopItem{"older", "http://a/0"}};
  auto run = Start();
  run->Sync = &sync;
  run->SyncRecord = sync.FindFeed(channel_.Site.rdfurl);
  MergeItem(Item("newest", "http://a/3"), *run);
  MergeItem(Item("seen", "http://a/2"), *run);
  ASSERT_EQ(channel_.Count(), 2u);
  // The mark holds for the rest of the document: everything from the seen item on is read.
  EXPECT_EQ(channel_.ItemAt(0)->read, store::kStateRead);
  EXPECT_EQ(channel_.ItemAt(1)->read, store::kStateUnread);
  run->Header.rdfurl = channel_.Site.rdfurl;
  run->Header.title = "Feed";
  StoreSyncRecord(*run);
  ASSERT_TRUE(sync.written);
  EXPECT_EQ(sync.storedFor, "http://example.com/feed.xml");
  EXPECT_EQ(sync.written->items[0], (SyncTopItem{"newest", "http://a/3"}));
  EXPECT_EQ(sync.written->items[1], (SyncTopItem{"seen", "http://a/2"}));
  EXPECT_EQ(sync.written->feedtitle, "Feed");
  EXPECT_EQ(sync.written->modified, TestNow());
}

TEST_F(Merge, SyncRecordKeepsTheOldTopItemWhenOnlyOneItemWasRead) {
  settings.FTPSync = true;
  settings.FTPServerName = "ftp.example.jp";
  MemorySync sync;
  sync.stored.feedrss = "http://example.com/feed.xml";
  sync.stored.items = {SyncTopItem{"before", "http://a/1"}, SyncTopItem{}};
  auto run = Start();
  run->Sync = &sync;
  run->SyncRecord = sync.FindFeed(channel_.Site.rdfurl);
  MergeItem(Item("only", "http://a/9"), *run);
  StoreSyncRecord(*run);
  ASSERT_TRUE(sync.written);
  EXPECT_EQ(sync.written->items[1], (SyncTopItem{"before", "http://a/1"}));
  settings.FTPServerName.clear();  // not configured: nothing is recorded
  sync.written.reset();
  StoreSyncRecord(*run);
  EXPECT_FALSE(sync.written);
}

// The channel's items in list order as "title|link|description|state".
std::vector<std::string> Listing(const store::TSiteList& channel) {
  std::vector<std::string> lines;
  for (const auto& item : channel.Items()) {
    lines.push_back(item->title + "|" + item->link + "|" + item->desc + "|" + std::to_string(item->read));
  }
  return lines;
}

// Stored items that share a title or a link, items without a link, titles that differ in
// the case of full-width letters, links whose double-byte characters hold letter bytes: a
// re-fetch finds a stored version by title and link exactly as comparing it with every
// stored item in turn would. Items of the same document are no stored versions.
TEST_F(Merge, ARefetchKnowsStoredItemsByTitleAndLinkAlone) {
  const std::string kana = "http://a/\x83\x41";  // a katakana letter whose trail byte is "A"
  for (const auto& [title, link] : std::vector<std::pair<std::string, std::string>>{{"Same", "http://a/1"},
                                                                                    {"Same", "http://a/2"},
                                                                                    {"Other", "http://a/1"},
                                                                                    {"NoLink", ""},
                                                                                    {text::J("ＦＵＬＬ"), "http://a/f"},
                                                                                    {"Kana", kana}}) {
    Store(Item(title, link, "d"), store::kStateRead);
  }
  auto run = Start();
  for (const auto& [title, link] : std::vector<std::pair<std::string, std::string>>{
           {"same", "HTTP://A/2"},               // the second stored item
           {"Same", "http://a/3"},               // a title stored twice, with a new link
           {"other", "http://A/1"},              // the link of the first, the title of the third
           {"nolink", ""},                       // no link on either side
           {"NoLink", "http://a/x"},             // a link where the stored one has none
           {text::J("ｆｕｌｌ"), "http://a/F"},  // full-width small letters
           {"KANA", "HTTP://A/\x83\x41"},        // the letter byte of the katakana as it is
           {"Kana", "http://a/\x83\x61"},        // another katakana: another link
           {"Same", "http://a/3"}}) {            // again in the same document: added again
    MergeItem(Item(title, link, "d"), *run);
  }
  EXPECT_EQ(
      Listing(channel_),
      (std::vector<std::string>{"Same|http://a/1|d|1", "Same|http://a/2|d|1", "Other|http://a/1|d|1", "NoLink||d|1",
                                text::J("ＦＵＬＬ") + "|http://a/f|d|1", "Kana|" + kana + "|d|1", "Same|http://a/3|d|0",
                                "Kana|http://a/\x83\x61|d|0", "NoLink|http://a/x|d|0", "Same|http://a/3|d|0"}));
  EXPECT_EQ(run->AddedCount, 4u);
  ExpectCountsMatchItems();
}

// With datecomp on, every stored version that differs is replaced, in one go, and one
// that is the same as the fetched item keeps all of them.
TEST_F(Merge, EveryChangedStoredVersionIsReplacedUnlessOneIsUnchanged) {
  channel_.datecomp = 1;
  Store(Item("T", "l", "old1"), store::kStateRead);
  Store(Item("X", "x", "x"), store::kStateRead);
  Store(Item("t", "L", "old2"), store::kStateProtected);
  Store(Item("U", "u", "before"), store::kStateRead);
  Store(Item("U", "u", "after"), store::kStateRead);
  auto run = Start();
  MergeItem(Item("T", "l", "new"), *run);
  MergeItem(Item("U", "u", "after"), *run);
  EXPECT_EQ(Listing(channel_), (std::vector<std::string>{"X|x|x|1", "U|u|before|1", "U|u|after|1", "T|l|new|0"}));
  EXPECT_EQ(run->PreviousCount, 3u);

  // The replaced versions are gone for the rest of the document, the new one is no
  // stored version: the same item again is added once more.
  MergeItem(Item("t", "l", "newer"), *run);
  EXPECT_EQ(Listing(channel_),
            (std::vector<std::string>{"X|x|x|1", "U|u|before|1", "U|u|after|1", "t|l|newer|0", "T|l|new|0"}));
  ExpectCountsMatchItems();
}

// An HTML channel knows every item it holds by title, those of this document too, and by
// link as well once it has a pattern.
TEST_F(Merge, HtmlChannelsKnowTheItemsOfTheDocumentToo) {
  channel_.htmlrss = 1;
  Store(Item("A", "l1"), store::kStateRead);
  Store(Item("a", "l2"), store::kStateRead);
  auto run = Start();
  MergeItem(Item("A", "l9"), *run);  // known by its title
  MergeItem(Item("B", ""), *run);
  MergeItem(Item("b", "x"), *run);  // the item just added
  EXPECT_EQ(Listing(channel_), (std::vector<std::string>{"A|l1||1", "a|l2||1", "B|||0"}));
  channel_.regexpr = "<a href=\"({link}.*?)\">({title}.*?)</a>";
  MergeItem(Item("a", "L1"), *run);  // title and link, the link in any case
  MergeItem(Item("A", "l3"), *run);
  MergeItem(Item("A", "l3"), *run);
  MergeItem(Item("B", "x"), *run);
  EXPECT_EQ(Listing(channel_), (std::vector<std::string>{"A|l1||1", "a|l2||1", "B|x||0", "A|l3||0", "B|||0"}));
}

TEST_F(Merge, SortByDateKeepsRecordsInPlace) {
  TSiteRecord late = Item("late", "1");
  late.modified = Day(2024, 5, 3);
  TSiteRecord* lateRecord = Store(late);
  TSiteRecord* earlyRecord = Store(Item("early", "2"));
  SortItemsByDate(channel_);
  EXPECT_EQ(channel_.ItemAt(0), earlyRecord);
  EXPECT_EQ(channel_.ItemAt(1), lateRecord);
}

}  // namespace
}  // namespace formats::testing
