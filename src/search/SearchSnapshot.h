// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/Settings.h"

namespace store {
class TChannelTree;
class TSiteList;
class TTreeNodeExt;
}  // namespace store

namespace search {

// What the count of one item needs: the searched fields (empty when not searched) and
// whether it is unread.
struct SnapshotItem {
  std::string title;
  std::string creator;
  std::string category;
  std::string description;
  bool unread = false;
};

// A saved search as the count sees it: its query text and the channels it searches, a
// range of SearchSnapshot::channels (a subtree's channels stand together in tree order).
struct SnapshotSearch {
  const store::TTreeNodeExt* node = nullptr;  // a key for the results; never dereferenced off the main thread
  std::string caption;
  size_t firstChannel = 0;
  size_t endChannel = 0;
};

// An immutable copy of what counting the saved searches reads, so that the count can run
// on another thread while the main thread goes on changing the tree.
struct SearchSnapshot {
  std::vector<SnapshotSearch> searches;
  std::vector<std::vector<SnapshotItem>> channels;  // the tree's channels in tree order
};

// The counts of one saved search.
struct SearchResult {
  int32_t itemTotal = 0;
  int32_t unreadTotal = 0;
};

// Takes the snapshot on the main thread, a slice at a time, so that a large tree never
// holds the window up: the plan (the saved searches and the channel list) is made at once,
// the items are copied by CopySome. Between slices the tree must not lose channels or
// items; the owner cancels the snapshot when it hears of such a change.
class SnapshotBuilder {
 public:
  SnapshotBuilder(const store::TChannelTree& tree, const settings::Settings& settings);

  // Copies items until the budget is spent; true once every item is copied.
  bool CopySome(std::chrono::steady_clock::duration budget);

  bool Done() const { return channel_ >= lists_.size(); }
  SearchSnapshot Take() { return std::move(snapshot_); }

 private:
  void Plan(const store::TTreeNodeExt* node);
  void CopyItem(size_t channel, size_t index);

  const settings::Settings& settings_;
  bool allItems_;                               // every item is examined, not only the unread ones
  std::vector<const store::TSiteList*> lists_;  // parallel to snapshot_.channels; nullptr when no search covers it
  size_t channel_ = 0;
  size_t item_ = 0;
  SearchSnapshot snapshot_;
};

// Counts every saved search of the snapshot: each item's search text is built once and
// tested against every search whose channels hold it. Nothing when `current` moved away
// from `generation` on the way (the count was cancelled). Safe on any thread.
std::optional<std::vector<SearchResult>> CountMatches(const SearchSnapshot& snapshot,
                                                      const std::atomic<uint64_t>& current, uint64_t generation);

}  // namespace search
