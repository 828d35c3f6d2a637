// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace store {

class TTreeNodeExt;
struct TSiteRecord;

// What a view of the channel tree is told, so that it repaints exactly the nodes that
// changed. Every call comes on the main thread, after the change (NodeRemoving before
// it). The defaults do nothing, so a view overrides only what it shows.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;

  // A node was created and linked in (with its data, without children).
  virtual void NodeAdded(TTreeNodeExt* /*node*/) {}

  // A node is about to be destroyed. Called for every node of a deleted subtree, the
  // subtree's top first, while the whole subtree is still linked in and marked Deleting.
  virtual void NodeRemoving(TTreeNodeExt* /*node*/) {}

  // The deleted subtree is gone; it stood at `index` among the children of `parent`
  // (among the top-level nodes when `parent` is nullptr).
  virtual void NodeRemoved(TTreeNodeExt* /*parent*/, size_t /*index*/) {}

  // A node (with its subtree) now stands under another parent or at another place; it
  // stood at `oldIndex` under `oldParent` before.
  virtual void NodeMoved(TTreeNodeExt* /*node*/, TTreeNodeExt* /*oldParent*/, size_t /*oldIndex*/) {}

  // An item is about to be destroyed (a deleted headline, an item the merge replaced).
  virtual void ItemRemoving(const TSiteRecord* /*item*/) {}

  // A node's channel data (its items with it) is about to be taken away: the channel
  // became a group.
  virtual void DataReleasing(TTreeNodeExt* /*node*/) {}

  virtual void CaptionChanged(TTreeNodeExt* /*node*/) {}

  // The kind or the displayed image changed.
  virtual void KindChanged(TTreeNodeExt* /*node*/) {}

  // ItemTotal or UnreadTotal changed, so the displayed caption did. Not called while the
  // tree's paint lock is held; BulkUpdateEnded follows instead.
  virtual void CountsChanged(TTreeNodeExt* /*node*/) {}

  virtual void BoldChanged(TTreeNodeExt* /*node*/) {}
  virtual void ExpandedChanged(TTreeNodeExt* /*node*/) {}

  // The paint lock went back to 0: repaint the whole tree once.
  virtual void BulkUpdateEnded() {}
};

}  // namespace store
