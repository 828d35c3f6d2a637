// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/TSiteList.h"

namespace store {

// Node kinds. The number is also the node's image in the tree and, for the kinds that are
// saved, its record kind in the data file.
inline constexpr int kKindGroup = 0;
inline constexpr int kKindChannel = 1;
inline constexpr int kKindStopped = 2;       // update runs skip it until it is resumed
inline constexpr int kKindSearch = 3;        // a saved search; its caption is its query
inline constexpr int kKindErrorLog = 7;      // the error log, outside the user's tree, never saved
inline constexpr int kKindUpdating = 8;      // a channel being fetched right now
inline constexpr int kKindError = 9;         // a channel whose last fetch in this run failed
inline constexpr int kKindItem = 10;         // only in the data file, for item records
inline constexpr int kKindKeepCurrent = -2;  // SetNodeKind: keep the kind, refresh the image

// The kinds that are channels and own a TSiteList: 1, 2, 8 and 9.
constexpr bool IsChannelKind(int kind) {
  return kind == kKindChannel || kind == kKindStopped || kind == kKindUpdating || kind == kKindError;
}

// The kind a node is saved as: the passing states of an update run (updating, failed) do
// not survive a save and load, so they are saved as an ordinary channel.
constexpr int StoredKind(int kind) {
  return (kind == kKindUpdating || kind == kKindError) ? kKindChannel : kind;
}

// A node of the channel tree. It owns its children and its data (the TSiteList of a
// channel or of the error log) and carries the totals of items and unread items of its
// own list and of everything below it. Only TChannelTree changes a node, so that every
// change reaches the observers and the totals stay summed up the tree.
class TTreeNodeExt {
 public:
  TTreeNodeExt(const TTreeNodeExt&) = delete;
  TTreeNodeExt& operator=(const TTreeNodeExt&) = delete;
  ~TTreeNodeExt() = default;

  const std::string& Caption() const { return caption_; }

  // The kind the node has and is saved by; the displayed image may differ from it (the
  // Bloglines icons), the kind never does.
  int Kind() const { return kind_; }
  int ImageIndex() const { return imageIndex_; }
  int SelectedIndex() const { return selectedIndex_; }

  // -1 normally; the loader sets 0 on a group that is to be expanded when it receives its
  // first child.
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int stateIndex) { stateIndex_ = stateIndex; }

  bool Expanded() const { return expanded_; }
  TTreeNodeExt* Parent() const { return parent_; }
  size_t ChildCount() const { return children_.size(); }
  bool HasChildren() const { return !children_.empty(); }
  TTreeNodeExt* Child(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }
  TTreeNodeExt* FirstChild() const { return Child(0); }
  TTreeNodeExt* LastChild() const { return children_.empty() ? nullptr : children_.back().get(); }

  // The position among its parent's children, or -1 for a top-level node (the tree knows
  // the order of those).
  long IndexInParent() const;
  TTreeNodeExt* NextSibling() const;
  TTreeNodeExt* PrevSibling() const;

  // Depth: 0 for a node without a parent, 1 for its children, and so on.
  int Level() const;

  // True when `ancestor` is this node or lies above it.
  bool IsSameOrBelow(const TTreeNodeExt* ancestor) const;

  // The channel or error log list; nullptr for groups and search items.
  TSiteList* Data() const { return data_.get(); }

  bool Bold() const { return bold_; }
  int32_t ItemTotal() const { return itemTotal_; }
  int32_t UnreadTotal() const { return unreadTotal_; }

  // Set on every node of a subtree while it is being deleted.
  bool Deleting() const { return deleting_; }

  bool IsSearchItem() const { return kind_ == kKindSearch; }

 private:
  friend class TChannelTree;

  TTreeNodeExt(std::string caption, int kind) : caption_(std::move(caption)), kind_(kind) {}

  std::string caption_;
  int kind_ = kKindGroup;
  int imageIndex_ = kKindGroup;
  int selectedIndex_ = kKindGroup;
  int stateIndex_ = -1;
  bool expanded_ = false;
  TTreeNodeExt* parent_ = nullptr;
  std::vector<std::unique_ptr<TTreeNodeExt>> children_;
  std::unique_ptr<TSiteList> data_;
  bool bold_ = false;
  int32_t itemTotal_ = 0;
  int32_t unreadTotal_ = 0;
  bool deleting_ = false;
};

}  // namespace store
