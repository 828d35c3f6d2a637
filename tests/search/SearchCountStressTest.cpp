// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <random>

#include "SearchFixture.h"
#include "formats/feeds/KeywordFilter.h"
#include "search/QuerySet.h"
#include "store/ItemStates.h"
#include "store/TTreeNodeExt.h"

namespace search::testing {
namespace {

// The counts a search item should show, worked out directly on the live tree.
SearchResult Expected(const store::TChannelTree& tree, const store::TTreeNodeExt* search,
                      const settings::Settings& settings) {
  SearchResult result;
  QuerySet queries;
  if (!queries.ParseQuery(search->Caption())) return result;
  const store::TTreeNodeExt* scope = settings.SearchAll ? tree.RootNode() : search->Parent();
  store::TChannelTree::ForEachNode(const_cast<store::TTreeNodeExt*>(scope), [&](store::TTreeNodeExt* node) {
    if (!store::IsChannelKind(node->Kind()) || node->Data() == nullptr) return;
    for (const auto& item : node->Data()->Items()) {
      const bool unread = item->read == store::kStateUnread;
      if (settings.SearchThread != settings::SearchDisplay::kAllCounts && !unread) continue;
      if (!queries.MatchQuerySet(formats::BuildSearchText(*item, settings), nullptr)) continue;
      ++result.itemTotal;
      if (unread) ++result.unreadTotal;
    }
  });
  return result;
}

// Edits the tree and its items (channels come and go, items are added, deleted and marked)
// while counts run on the worker, round after round; run under ThreadSanitizer this shows
// that the worker shares nothing with the main thread. At the end a quiet count must give
// exactly the counts of the tree as it is.
TEST_F(SearchFixture, CountsStayRightWhileTheTreeChanges) {
  settings.SearchThread = settings::SearchDisplay::kAllCounts;
  settings.SearchAll = false;
  settings.SearchDesc = true;
  std::mt19937 random(12345);
  const char* words[] = {"apple", "pie", "りんご", "ニュース", "banana", "tart"};
  auto word = [&] { return std::string(words[random() % 6]); };
  std::vector<store::TTreeNodeExt*> searches{Search(group, "apple pie"), Search(store.Tree().RootNode(), "りんご"),
                                             Search(group, "!tart"), Search(chanC->Parent(), "apple*tart")};
  std::vector<store::TTreeNodeExt*> channels{chanA, chanB, chanC};
  store::ItemStateContext states{store};
  count->SetSliceBudget(std::chrono::microseconds(50));
  for (int round = 0; round < 150; ++round) {
    count->Restart();
    loop.Advance(SearchCount::kDebounceMs);
    for (int step = 0; step < 20; ++step) {
      store::TTreeNodeExt* channel = channels[random() % channels.size()];
      switch (random() % 5) {
        case 0:
          for (int i = 0; i < 20; ++i) Add(channel, word() + " " + word(), random() % 2);
          break;
        case 1:
          if (channel->Data()->Count() > 0) store.DeleteItemFromChannel(*channel->Data(), 0);
          break;
        case 2:
          for (const auto& item : channel->Data()->Items())
            store::SetItemState(states, item.get(), random() % 2, store::Protection::kOverride);
          break;
        case 3:
          if (channels.size() > 3) {
            const size_t index = 3 + random() % (channels.size() - 3);
            store.DeleteNode(channels[index]);
            channels.erase(channels.begin() + static_cast<long>(index));
          }
          break;
        default:
          channels.push_back(Channel(random() % 2 ? group : store.Tree().RootNode(), "More"));
          for (int i = 0; i < 50; ++i) Add(channels.back(), word() + " " + word(), random() % 2);
      }
      loop.RunOne();
      if (step % 7 == 0) std::this_thread::yield();
    }
    if (round % 3 == 0) count->Stop();
    loop.RunPending();
  }
  WaitIdle();
  count->Restart();
  CountNow();
  for (store::TTreeNodeExt* search : searches) {
    const SearchResult expected = Expected(store.Tree(), search, settings);
    EXPECT_EQ(search->ItemTotal(), expected.itemTotal) << search->Caption();
    EXPECT_EQ(search->UnreadTotal(), expected.unreadTotal) << search->Caption();
  }
}

}  // namespace
}  // namespace search::testing
