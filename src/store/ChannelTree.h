// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "store/TSiteList.h"
#include "store/TTreeNodeExt.h"

namespace store {

class TSortList;
class TreeObserver;

// The displayed image of a node under the Bloglines icon rule: a channel fetched through
// a Bloglines item address shows the service's icons instead of its kind's, chosen by
// whether such channels are fetched from their own address (`bloglinesClone`).
int BloglinesImageIndex(int kind, bool isBloglinesItemAddress, bool bloglinesClone);

// The channel tree as the program holds it, without any drawing: RootNode
// ("ヘッドライン") with the user's groups, channels and search items below it, and the
// error log ("エラーログ") beside it once an error was logged. Every change goes through
// here so the totals stay summed up the tree and the observers hear of it.
//
// Deleting through the tree destroys items: the caller must first discard any list of
// item references (the duplicate list), or use ChannelStore, which does.
class TChannelTree {
 public:
  explicit TChannelTree(const settings::Settings& settings);
  TChannelTree(const TChannelTree&) = delete;
  TChannelTree& operator=(const TChannelTree&) = delete;
  ~TChannelTree();

  TTreeNodeExt* RootNode() const { return topLevel_.front().get(); }

  // The error log node, or nullptr while no error has been logged.
  TTreeNodeExt* ErrorLogNode() const { return errorLog_; }

  // The error log node, created (as the last top-level node, with an empty list) when it
  // does not exist yet.
  TTreeNodeExt* EnsureErrorLogNode();

  // The nodes without a parent: RootNode first, then the error log when it exists.
  size_t TopLevelCount() const { return topLevel_.size(); }
  TTreeNodeExt* TopLevelNode(size_t index) const;

  void AddObserver(TreeObserver* observer);
  void RemoveObserver(TreeObserver* observer);

  // Node creation under a parent of the tree (or, for InsertBefore, beside a sibling that
  // has a parent). `data` is the channel's list; its Node is set to the new node. The new
  // node shows `kind` (after the Bloglines icon rule). Returns nullptr, and creates
  // nothing, for a missing or deleting parent or sibling.
  TTreeNodeExt* AddChild(TTreeNodeExt* parent, std::string caption, int kind,
                         std::unique_ptr<TSiteList> data = nullptr);
  TTreeNodeExt* AddChildFirst(TTreeNodeExt* parent, std::string caption, int kind,
                              std::unique_ptr<TSiteList> data = nullptr);
  TTreeNodeExt* InsertBefore(TTreeNodeExt* sibling, std::string caption, int kind,
                             std::unique_ptr<TSiteList> data = nullptr);

  // Moves `node` with its subtree under `newParent`, in front of `before` (a child of
  // `newParent`), or as its last child when `before` is nullptr. Refused (false) for the
  // top-level nodes, for a target inside the node's own subtree and for deleting nodes.
  // The totals of the old and new ancestors are not touched (ChannelStore::MoveNode moves
  // them along).
  bool MoveNode(TTreeNodeExt* node, TTreeNodeExt* newParent, TTreeNodeExt* before);

  // Deletes the node with its subtree: every node of it is marked Deleting and reported
  // with NodeRemoving, search items lower the search item count, and the nodes' lists
  // with their items are destroyed. Error log entries that point at a destroyed channel
  // lose that pointer. RootNode cannot be deleted (false). The totals of the ancestors
  // are not touched (ChannelStore::DeleteNode removes them first).
  bool DeleteNode(TTreeNodeExt* node);

  // Takes the channel list away from a node (a channel that became a group) and hands it
  // to the caller. Error log entries that point at it lose that pointer. The totals are
  // not touched (ChannelStore::ReleaseChannelData removes them first).
  std::unique_ptr<TSiteList> DetachData(TTreeNodeExt* node);

  // Tells the observers that an item of a channel is about to be destroyed.
  void NotifyItemRemoving(const TSiteRecord* item);

  // Deletes every node below RootNode and clears its totals and bold state.
  void ClearUserTree();

  void SetCaption(TTreeNodeExt* node, std::string caption);
  void SetExpanded(TTreeNodeExt* node, bool expanded);

  // The loader's expansion restore: a group marked with state index 0 is expanded when it
  // receives its first child, and the mark is cleared.
  void ExpandIfMarked(TTreeNodeExt* parent);

  // Adds `delta` to ItemTotal of the node and of every ancestor.
  void AddItemCount(TTreeNodeExt* node, int32_t delta);

  // Adds `delta` to UnreadTotal of the node and of every ancestor and recomputes their
  // bold state; with 0 it only recomputes bold and repaints.
  void AddUnreadCount(TTreeNodeExt* node, int32_t delta);

  void SetNodeBold(TTreeNodeExt* node, bool bold);

  // Gives the node a new kind (kKindKeepCurrent keeps it) and its image by the Bloglines
  // icon rule. Does nothing for nullptr or a deleting node.
  void SetNodeKind(TTreeNodeExt* node, int kind);

  // Stores the result of counting a search item's matches and recomputes bold up the
  // tree. The counts of a search item are not summed into its ancestors.
  void SetSearchItemCounts(TTreeNodeExt* node, int32_t itemTotal, int32_t unreadTotal);

  // Recomputes the bold state of the node and its whole subtree, after the bold settings
  // changed.
  void RefreshTreeBold(TTreeNodeExt* node);

  // The bold state AddUnreadCount gives a node, and the one RefreshTreeBold gives it.
  bool UnreadBold(const TTreeNodeExt* node) const;
  bool RefreshedBold(const TTreeNodeExt* node) const;

  // Expands every collapsed node with children from `node` up to the top.
  void ExpandAncestors(TTreeNodeExt* node);

  // Begins (true) or ends (false) a bulk update. While the lock count is above 0, count
  // changes are not reported one by one; ending the last lock reports BulkUpdateEnded.
  // Ending more often than begun leaves the count at 0.
  void LockTreePaint(bool lock);
  int PaintLockCount() const { return paintLock_; }

  // Appends every item of every channel at or below `node` (search items and the error
  // log contribute nothing) to `list`, unsorted.
  void CollectAllItems(const TTreeNodeExt* node, TSortList& list) const;

  static TTreeNodeExt* TopLevelAncestor(TTreeNodeExt* node);

  // The text the view shows for a node: the caption with the counts appended as the node's
  // kind and the SearchThread setting say; the caption alone while a caption is edited.
  std::string DisplayedCaption(const TTreeNodeExt* node) const;
  void SetCaptionEditing(bool editing) { captionEditing_ = editing; }
  bool CaptionEditing() const { return captionEditing_; }

  // The node after `node` in pre-order over the whole tree (children first, then the next
  // sibling, then the next sibling of an ancestor, across the top-level nodes), or nullptr
  // after the last one. Lets an update run walk the tree one channel at a time.
  TTreeNodeExt* NextNode(const TTreeNodeExt* node) const;

  // Calls `visit` for `node` and every node below it, in pre-order. `visit` must not add
  // or delete nodes.
  static void ForEachNode(TTreeNodeExt* node, const std::function<void(TTreeNodeExt*)>& visit);

  // The number of search items in the tree, kept by the tree itself as nodes become or
  // stop being search items.
  int SearchItemCount() const { return searchItemCount_; }

  const settings::Settings& Settings() const { return settings_; }

 private:
  TTreeNodeExt* LinkNew(TTreeNodeExt* parent, size_t index, std::string caption, int kind,
                        std::unique_ptr<TSiteList> data);
  int ImageFor(const TTreeNodeExt* node) const;
  void ForgetErrorLogOwners(const TSiteList* list);
  template <typename Call>
  void Notify(Call call);

  const settings::Settings& settings_;
  std::vector<std::unique_ptr<TTreeNodeExt>> topLevel_;
  TTreeNodeExt* errorLog_ = nullptr;
  std::vector<TreeObserver*> observers_;
  int paintLock_ = 0;
  int searchItemCount_ = 0;
  bool captionEditing_ = false;
};

}  // namespace store
