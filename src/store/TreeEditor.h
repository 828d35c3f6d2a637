// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/UiLock.h"
#include "store/DropPosition.h"
#include "store/ItemStates.h"
#include "store/SearchCountControl.h"
#include "store/TreeEditHost.h"

namespace store {

// The user's edits of the channel tree: new groups and search items, renaming, deleting,
// moving by drag and drop, and sorting a group. Each edit keeps the totals of the
// ancestors right, marks the data modified and stops the saved-search count while the
// tree changes.
class TreeEditor {
 public:
  // `lock` tells whether an update run or a dialog holds the user interface: the tree is
  // then neither renamed nor moved.
  TreeEditor(ItemStateContext& states, platform::Dialogs& dialogs, SearchCountControl& searchCount, TreeEditHost& host,
             const platform::UiLock& lock);

  // Creates "新しいグループ" (or, with `searchItem`, "新しい検索項目") as the first child of
  // the selected group, or in front of any other selected node, selects it and starts
  // editing its caption. Only inside the user's tree; nullptr otherwise.
  TTreeNodeExt* CreateGroupNode(TTreeNodeExt* selected, bool searchItem);

  // True while an update run holds the user interface: the tree is then not edited.
  bool UiLocked() const { return lock_.UiLocked(); }

  // Whether the node's caption may be edited: below RootNode, and not while an update run
  // has locked the user interface.
  bool CanRename(const TTreeNodeExt* node) const;

  // Starts editing the caption in place (the tree then shows bare captions). False when
  // the node may not be renamed.
  bool BeginRename(TTreeNodeExt* node);

  // Ends an edit: a caption different from the old one is taken and marks the data
  // modified (a search item's count is then refreshed); nothing (the edit was cancelled)
  // keeps the old one. Returns whether the caption changed.
  bool RenameNode(TTreeNodeExt* node, const std::optional<std::string>& caption);

  // Whether the node may be deleted: a node of the user's tree below RootNode, or the
  // error log.
  bool CanDelete(const TTreeNodeExt* node) const;

  // Asks (when DialogQues is on) and deletes the node with its subtree, protected items
  // included. Returns whether it was deleted.
  bool DeleteNode(TTreeNodeExt* node);

  // Whether `node` may be dropped on `target`: both in the user's tree, the node below
  // RootNode, the target neither the node nor inside it.
  bool CanDrop(const TTreeNodeExt* node, const TTreeNodeExt* target) const;

  // The drop: moves the node before, after or into the target, its totals moving with
  // it and the target's expansion kept. Returns whether it moved.
  bool MoveNode(TTreeNodeExt* node, TTreeNodeExt* target, DropPosition position);

  // Asks, then sorts the node's children by caption, through every level below it.
  // Captions are ordered case-sensitively by their code page 932 bytes.
  bool SortGroup(TTreeNodeExt* node);

 private:
  bool InUserTree(const TTreeNodeExt* node) const;
  void SortChildren(TTreeNodeExt* node);
  void PlaceNode(TTreeNodeExt* node, TTreeNodeExt* target, DropPosition position);

  ChannelStore& store_;
  platform::Dialogs& dialogs_;
  SearchCountControl& searchCount_;
  TreeEditHost& host_;
  const platform::UiLock& lock_;
};

}  // namespace store
