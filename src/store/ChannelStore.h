// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "settings/Settings.h"
#include "store/ChannelTree.h"
#include "store/TSiteList.h"
#include "store/TSortList.h"

namespace store {

// The channels and items of the program, as the application owns them: the channel tree,
// the flag that the data must be saved, and the duplicate list of the update run. Its
// helpers keep the tree's totals right and the duplicate list free of destroyed items, so
// callers that add, delete or move one thing at a time go through here.
class ChannelStore {
 public:
  explicit ChannelStore(const settings::Settings& settings);
  ChannelStore(const ChannelStore&) = delete;
  ChannelStore& operator=(const ChannelStore&) = delete;
  ~ChannelStore();

  TChannelTree& Tree() { return tree_; }
  const TChannelTree& Tree() const { return tree_; }
  const settings::Settings& Settings() const { return settings_; }

  // Set by every change that must reach the data file; cleared by the save.
  bool DataModified() const { return dataModified_; }
  void SetModified() { dataModified_ = true; }
  void ClearModified() { dataModified_ = false; }

  // Builds the duplicate list from every item of the user's tree when DupAction is on and
  // the list does not exist yet; throws it away when DupAction is off. An existing list is
  // kept: it grows with the items CheckDuplicate adds.
  void RebuildDupList();

  // Throws the duplicate list away. Done before anything destroys items it may hold.
  void DiscardDupList() { dupList_.reset(); }

  // The duplicate list, or nullptr while there is none.
  const TSortList* DupList() const { return dupList_.get(); }

  // For a freshly added item: true when an item with the same duplicate key is in the
  // duplicate list already; otherwise the item joins the list. False without a list.
  bool CheckDuplicate(TSiteRecord* item);

  // Adds a copy of `record` to the channel (appended, or at `index`) and raises the item
  // and unread totals of the channel's node and its ancestors. Sets DataModified. Returns
  // the new item, or nullptr when it could not be added (nothing changed then).
  TSiteRecord* AddItemToChannel(TSiteList& list, const TSiteRecord& record);
  TSiteRecord* InsertItemToChannel(TSiteList& list, size_t index, const TSiteRecord& record);

  // Lowers the totals, takes the item out of the duplicate list and destroys it.
  // Sets DataModified. False (nothing changed) for an index out of range.
  bool DeleteItemFromChannel(TSiteList& list, size_t index);

  // The unread totals after an item's state went from `oldState` to `newState`: leaving
  // unread lowers them by one, becoming unread raises them; read and protected count the
  // same. The item's channel is found through its Owner.
  void AdjustCountsForStateChange(const TSiteRecord& item, uint8_t oldState, uint8_t newState);

  // Deletes a node with its subtree: its totals leave its ancestors (a search item's are
  // its own), the duplicate list is discarded, the subtree is destroyed. Sets
  // DataModified. False for RootNode, nullptr or a node already being deleted.
  bool DeleteNode(TTreeNodeExt* node);

  // Moves a node as TChannelTree::MoveNode does and takes its totals from the old
  // ancestors to the new ones. Sets DataModified when it moved.
  bool MoveNode(TTreeNodeExt* node, TTreeNodeExt* newParent, TTreeNodeExt* before);

  // Destroys the channel list of a node whose channel became a group: its items leave the
  // totals and the duplicate list is discarded. Sets DataModified.
  void ReleaseChannelData(TTreeNodeExt* node);

  // Empties the user's tree (before loading another data file).
  void ClearUserTree();

  // The gone counter after a fetch of the channel answered `httpStatus`. 200 and 304
  // clear it. 404 and 410 (unless the fetch resumed a stopped channel) count at most once
  // in 24 hours; the seventh count clears the counter and stops the channel. Returns true
  // when this answer stopped the channel.
  bool ApplyGoneRule(TSiteList& list, int httpStatus, bool isResume, double now);

 private:
  const settings::Settings& settings_;
  TChannelTree tree_;
  // Declared after the tree so that it goes first: it refers to the tree's items.
  std::unique_ptr<TSortList> dupList_;
  bool dataModified_ = false;
};

// How many counted 404 or 410 answers stop a channel.
inline constexpr uint8_t kGoneLimit = 7;

}  // namespace store
