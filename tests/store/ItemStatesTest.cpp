// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Files.h"
#include "store/ItemStates.h"
#include "store/journal/RecoveryJournal.h"
#include "support/ManualEventLoop.h"
#include "support/TempDir.h"

namespace store {
namespace {

// Writes down what the store tells its observers, in order.
class RecordingObserver : public ItemStateObserver {
 public:
  struct Call {
    std::string kind;  // "requested" or "changed"
    const TSiteRecord* item;
    uint8_t state;  // the requested state, or the old one of a change
    bool operator==(const Call&) const = default;
  };

  void ItemStateRequested(const TSiteRecord* item, uint8_t state) override {
    calls.push_back({"requested", item, state});
  }
  void ItemStateChanged(const TSiteRecord& item, uint8_t old) override { calls.push_back({"changed", &item, old}); }

  std::vector<Call> calls;
};

// RootNode > Group > Feed (channel, recovery number 7) with one unread and one protected
// item.
class ItemStatesTest : public ::testing::Test {
 protected:
  ItemStatesTest() {
    group = store.Tree().AddChild(store.Tree().RootNode(), "Group", kKindGroup);
    auto list = std::make_unique<TSiteList>();
    list->recovery = 7;
    feed = store.Tree().AddChild(group, "Feed", kKindChannel, std::move(list));
    unread = Add("A", kStateUnread);
    protectedItem = Add("B", kStateProtected);
    store.ClearModified();
    context.AddObserver(&observer);
  }

  TSiteRecord* Add(const std::string& title, uint8_t read) {
    TSiteRecord record;
    record.title = title;
    record.link = "http://example.com/" + title;
    record.read = read;
    return store.AddItemToChannel(*feed->Data(), record);
  }

  settings::Settings settings;
  ChannelStore store{settings};
  ItemStateContext context{store};
  RecordingObserver observer;
  TTreeNodeExt* group = nullptr;
  TTreeNodeExt* feed = nullptr;
  TSiteRecord* unread = nullptr;
  TSiteRecord* protectedItem = nullptr;
};

TEST_F(ItemStatesTest, ReadingAnItemLowersEveryTotalMarksModifiedAndJournalsIt) {
  testsupport::ManualEventLoop loop;
  testsupport::TempDir folder;
  platform::CreateFolders(folder / "system");
  RecoveryJournal journal(loop, folder.Path());
  journal.OpenJournal();
  context.journal = &journal;

  EXPECT_TRUE(SetItemState(context, unread, kStateRead, Protection::kOverride));

  EXPECT_EQ(unread->read, kStateRead);
  for (TTreeNodeExt* node : {feed, group, store.Tree().RootNode()}) EXPECT_EQ(node->UnreadTotal(), 0);
  EXPECT_EQ(observer.calls, (std::vector<RecordingObserver::Call>{{"requested", unread, kStateRead},
                                                                  {"changed", unread, kStateUnread}}));
  EXPECT_TRUE(store.DataModified());
  EXPECT_TRUE(journal.JournalFlushPending()) << "the record waits for the timer's flush";
  EXPECT_EQ(testsupport::ReadFile(journal.JournalPath()), "0.10\r\n1\r\n7\tA\thttp://example.com/A\r\n");
}

TEST_F(ItemStatesTest, UnchangedStateReportsNothingButTheObserversHearOfTheRequest) {
  EXPECT_FALSE(SetItemState(context, unread, kStateUnread, Protection::kOverride));
  EXPECT_FALSE(store.DataModified());
  EXPECT_FALSE(SetItemState(context, nullptr, kStateRead, Protection::kOverride));
  EXPECT_EQ(observer.calls, (std::vector<RecordingObserver::Call>{{"requested", unread, kStateUnread},
                                                                  {"requested", nullptr, kStateRead}}));
}

TEST_F(ItemStatesTest, KeepProtectedLeavesAProtectedItemAloneYetReportsAChange) {
  EXPECT_TRUE(SetItemState(context, protectedItem, kStateRead, Protection::kKeep));
  EXPECT_EQ(protectedItem->read, kStateProtected);
  EXPECT_FALSE(store.DataModified());
  EXPECT_EQ(observer.calls, (std::vector<RecordingObserver::Call>{{"requested", protectedItem, kStateRead}}));

  EXPECT_TRUE(SetItemState(context, protectedItem, kStateRead, Protection::kOverride));
  EXPECT_EQ(protectedItem->read, kStateRead);
  EXPECT_EQ(feed->UnreadTotal(), 1) << "protected to read does not touch the unread totals";
}

TEST_F(ItemStatesTest, MarkingUnreadRaisesTotalsAndTellsTheObservers) {
  EXPECT_TRUE(SetItemState(context, protectedItem, kStateUnread, Protection::kOverride));
  EXPECT_EQ(store.Tree().RootNode()->UnreadTotal(), 2);
  EXPECT_EQ(observer.calls, (std::vector<RecordingObserver::Call>{{"requested", protectedItem, kStateUnread},
                                                                  {"changed", protectedItem, kStateProtected}}));
}

TEST_F(ItemStatesTest, EveryObserverHearsUntilItIsRemoved) {
  RecordingObserver second;
  context.AddObserver(&second);
  context.AddObserver(&second);  // once only
  SetItemState(context, unread, kStateRead, Protection::kOverride);
  EXPECT_EQ(second.calls.size(), 2u);
  context.RemoveObserver(&second);
  SetItemState(context, unread, kStateUnread, Protection::kOverride);
  EXPECT_EQ(second.calls.size(), 2u);
  EXPECT_EQ(observer.calls.size(), 4u);
}

TEST_F(ItemStatesTest, ErrorLogEntryLeavesTheFailingChannelsTotalsAlone) {
  TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  TSiteRecord entry;
  entry.title = "error";
  entry.StatusEntry = 1;
  TSiteRecord* logged = errorLog->Data()->AddItem(entry);
  logged->Owner = feed->Data();
  EXPECT_TRUE(SetItemState(context, logged, kStateRead, Protection::kOverride));
  EXPECT_EQ(feed->UnreadTotal(), 1);
  EXPECT_EQ(observer.calls.back(), (RecordingObserver::Call{"changed", logged, kStateUnread}))
      << "the headline list counts an error log entry's state like any row's";
}

// One row per action and starting state: the bulk rule and the single-row rule.
struct ActionCase {
  int action;
  uint8_t from;
  std::optional<uint8_t> bulk;
  std::optional<uint8_t> direct;
};

class ActionRules : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionRules, GiveTheExpectedState) {
  const ActionCase& c = GetParam();
  EXPECT_EQ(BulkTargetState(c.action, c.from), c.bulk);
  EXPECT_EQ(DirectTargetState(c.action, c.from), c.direct);
}

constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    AllActions, ActionRules,
    ::testing::Values(ActionCase{kActionToRead, 0, 1, 1}, ActionCase{kActionToRead, 1, kNone, 1},
                      ActionCase{kActionToRead, 2, kNone, 1}, ActionCase{kActionToRead, 5, 1, 1},
                      ActionCase{kActionToUnread, 0, kNone, 0}, ActionCase{kActionToUnread, 1, 0, 0},
                      ActionCase{kActionToUnread, 2, kNone, 0}, ActionCase{kActionProtect, 0, 2, 2},
                      ActionCase{kActionProtect, 1, 2, 2}, ActionCase{kActionProtect, 2, 2, 2},
                      ActionCase{kActionUnprotect, 0, kNone, kNone}, ActionCase{kActionUnprotect, 1, kNone, kNone},
                      ActionCase{kActionUnprotect, 2, 1, 1}, ActionCase{7, 0, kNone, kNone}),
    [](const ::testing::TestParamInfo<ActionCase>& info) {
      const int action = info.param.action;
      std::string name = action < 0    ? "Unprotect"
                         : action == 0 ? "ToUnread"
                         : action == 1 ? "ToRead"
                         : action == 2 ? "Protect"
                                       : "Unknown";
      return name + "From" + std::to_string(info.param.from);
    });

TEST_F(ItemStatesTest, BulkBelowANodeReachesEveryChannelOfItsSubtreeOnly) {
  TTreeNodeExt* other =
      store.Tree().AddChild(store.Tree().RootNode(), "Other", kKindChannel, std::make_unique<TSiteList>());
  TSiteRecord record;
  record.title = "elsewhere";
  TSiteRecord* outside = store.AddItemToChannel(*other->Data(), record);
  store.Tree().AddChild(group, "Search", kKindSearch);

  EXPECT_EQ(ApplyBulkActionBelow(context, group, kActionToRead), 1u);
  EXPECT_EQ(unread->read, kStateRead);
  // Each item below the node is put through the one state change; the protected one is
  // left alone by the rule before any change is asked for.
  EXPECT_EQ(observer.calls, (std::vector<RecordingObserver::Call>{{"requested", unread, kStateRead},
                                                                  {"changed", unread, kStateUnread}}));
  EXPECT_EQ(protectedItem->read, kStateProtected);
  EXPECT_EQ(outside->read, kStateUnread);
  EXPECT_EQ(store.Tree().RootNode()->UnreadTotal(), 1);
}

}  // namespace
}  // namespace store
