// SPDX-License-Identifier: MIT
#include "search/SearchSnapshot.h"

#include "formats/feeds/KeywordFilter.h"
#include "search/QuerySet.h"
#include "store/ChannelTree.h"
#include "store/TSiteList.h"
#include "store/TTreeNodeExt.h"

namespace search {
namespace {

// How many items are copied or counted between two looks at the clock or the cancel flag.
constexpr size_t kItemsPerCheck = 64;

}  // namespace

SnapshotBuilder::SnapshotBuilder(const store::TChannelTree& tree, const settings::Settings& settings)
    : settings_(settings), allItems_(settings.SearchThread == settings::SearchDisplay::kAllCounts) {
  Plan(tree.RootNode());
  if (settings.SearchAll) {
    for (SnapshotSearch& search : snapshot_.searches) {
      search.firstChannel = 0;
      search.endChannel = lists_.size();
    }
  }
  // Channels no search looks at are not copied.
  std::vector<int> covering(lists_.size() + 1, 0);
  for (const SnapshotSearch& search : snapshot_.searches) {
    ++covering[search.firstChannel];
    --covering[search.endChannel];
  }
  int depth = 0;
  for (size_t i = 0; i < lists_.size(); ++i) {
    depth += covering[i];
    if (depth == 0) lists_[i] = nullptr;
  }
  snapshot_.channels.resize(lists_.size());
}

// Collects the channels in tree order; a search item searches the channels of its parent's
// whole subtree, which is the range of channels collected while its parent is walked.
void SnapshotBuilder::Plan(const store::TTreeNodeExt* node) {
  const size_t first = lists_.size();
  std::vector<size_t> ownSearches;
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    const store::TTreeNodeExt* child = node->Child(i);
    if (child->IsSearchItem()) {
      ownSearches.push_back(snapshot_.searches.size());
      snapshot_.searches.push_back(SnapshotSearch{child, child->Caption(), 0, 0});
    } else if (store::IsChannelKind(child->Kind()) && child->Data() != nullptr) {
      lists_.push_back(child->Data());
    } else if (child->HasChildren()) {
      Plan(child);
    }
  }
  for (size_t index : ownSearches) {
    snapshot_.searches[index].firstChannel = first;
    snapshot_.searches[index].endChannel = lists_.size();
  }
}

void SnapshotBuilder::CopyItem(size_t channel, size_t index) {
  const store::TSiteRecord& item = *lists_[channel]->Items()[index];
  const bool unread = item.read == store::kStateUnread;
  if (!allItems_ && !unread) return;
  const formats::SearchFields fields = formats::SelectSearchFields(item, settings_);
  snapshot_.channels[channel].push_back(SnapshotItem{std::string(fields.title), std::string(fields.creator),
                                                     std::string(fields.category), std::string(fields.description),
                                                     unread});
}

bool SnapshotBuilder::CopySome(std::chrono::steady_clock::duration budget) {
  const auto deadline = std::chrono::steady_clock::now() + budget;
  size_t sinceCheck = 0;
  while (channel_ < lists_.size()) {
    const store::TSiteList* list = lists_[channel_];
    if (list == nullptr || item_ >= list->Count()) {
      ++channel_;
      item_ = 0;
      continue;
    }
    CopyItem(channel_, item_++);
    if (++sinceCheck == kItemsPerCheck) {
      sinceCheck = 0;
      if (std::chrono::steady_clock::now() >= deadline) break;
    }
  }
  return Done();
}

std::optional<std::vector<SearchResult>> CountMatches(const SearchSnapshot& snapshot,
                                                      const std::atomic<uint64_t>& current, uint64_t generation) {
  const size_t searchCount = snapshot.searches.size();
  std::vector<SearchResult> results(searchCount);
  std::vector<QuerySet> queries(searchCount);
  for (size_t s = 0; s < searchCount; ++s) queries[s].ParseQuery(snapshot.searches[s].caption);
  std::vector<size_t> covering;
  size_t sinceCheck = 0;
  for (size_t c = 0; c < snapshot.channels.size(); ++c) {
    covering.clear();
    for (size_t s = 0; s < searchCount; ++s) {
      const SnapshotSearch& search = snapshot.searches[s];
      if (!queries[s].Empty() && search.firstChannel <= c && c < search.endChannel) covering.push_back(s);
    }
    if (covering.empty()) continue;
    for (const SnapshotItem& item : snapshot.channels[c]) {
      if (++sinceCheck == kItemsPerCheck) {
        sinceCheck = 0;
        if (current.load(std::memory_order_relaxed) != generation) return std::nullopt;
      }
      const std::string searchText =
          formats::BuildSearchText(formats::SearchFields{item.title, item.creator, item.category, item.description});
      for (size_t s : covering) {
        if (!queries[s].MatchQuerySet(searchText, nullptr)) continue;
        ++results[s].itemTotal;
        if (item.unread) ++results[s].unreadTotal;
      }
    }
  }
  if (current.load(std::memory_order_relaxed) != generation) return std::nullopt;
  return results;
}

}  // namespace search
