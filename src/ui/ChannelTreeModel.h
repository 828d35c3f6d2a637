// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <map>
#include <unordered_map>
#include <vector>

#include "store/DropPosition.h"
#include "store/TreeObserver.h"

class QMimeData;

namespace store {
class TChannelTree;
class TTreeNodeExt;
class TreeEditor;
}  // namespace store

namespace ui {

// The channel tree as a Qt item model: RootNode and, once it exists, the error log at the
// top level, with the user's groups, channels and search items below. Captions, counts,
// bold state and images come from the store as they are; edits and drops go to the tree
// editor, which decides whether they happen.
//
// The store tells its observers after a node was added or moved, but Qt wants to hear
// before. So the model keeps its own copy of the shape of the tree (parents and child
// order) and changes that copy between the begin and end signals; the nodes themselves
// are the store's.
class ChannelTreeModel : public QAbstractItemModel, public store::TreeObserver {
  Q_OBJECT

 public:
  // The MIME type of a dragged node. It carries the process, the model and the node, so
  // that nothing but a drag out of this model in this process is ever taken as a node.
  static constexpr const char* kNodeMimeType = "application/x-plover-tree-node";

  explicit ChannelTreeModel(store::TChannelTree& tree, QObject* parent = nullptr);
  ~ChannelTreeModel() override;

  // The editor that renames, moves and decides what may be edited; without one the tree
  // is shown read-only.
  void SetTreeEditor(store::TreeEditor* editor) { editor_ = editor; }
  store::TreeEditor* TreeEditor() const { return editor_; }
  store::TChannelTree& Tree() const { return tree_; }

  store::TTreeNodeExt* NodeAt(const QModelIndex& index) const;
  QModelIndex IndexOf(const store::TTreeNodeExt* node) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  // The node a drag of this model carries, or nullptr for anything else (another
  // process, another model, a node deleted since the drag began).
  store::TTreeNodeExt* NodeFromMime(const QMimeData* data) const;

  // Whether the dragged node may land at `position` of `target`, and the move itself.
  bool CanDropAt(const store::TTreeNodeExt* node, const QModelIndex& target, store::DropPosition position) const;
  bool DropNode(const QMimeData* data, const QModelIndex& target, store::DropPosition position);

  // An in-place edit of the node's caption was opened (the editor's BeginRename already
  // allowed it) or closed. Closing without a new caption ends the edit in the editor as
  // cancelled. The whole tree repaints, as it shows bare captions while editing.
  void BeginCaptionEdit(store::TTreeNodeExt* node);
  void EndCaptionEdit();

  // Repaints every row once, keeping rows, selection and expansion as they are.
  void RepaintAll();

  // store::TreeObserver
  void NodeAdded(store::TTreeNodeExt* node) override;
  void NodeRemoving(store::TTreeNodeExt* node) override;
  void NodeRemoved(store::TTreeNodeExt* parent, size_t index) override;
  void NodeMoved(store::TTreeNodeExt* node, store::TTreeNodeExt* oldParent, size_t oldIndex) override;
  void CaptionChanged(store::TTreeNodeExt* node) override;
  void KindChanged(store::TTreeNodeExt* node) override;
  void CountsChanged(store::TTreeNodeExt* node) override;
  void BoldChanged(store::TTreeNodeExt* node) override;
  void ExpandedChanged(store::TTreeNodeExt* node) override;
  void BulkUpdateEnded() override;

 signals:
  // The store expanded or collapsed a node; the view follows.
  void nodeExpansionChanged(const QModelIndex& index, bool expanded);

 private:
  struct Branch {
    store::TTreeNodeExt* parent = nullptr;
    std::vector<store::TTreeNodeExt*> children;
  };

  void Rebuild();
  void AddBranch(store::TTreeNodeExt* node);
  const std::vector<store::TTreeNodeExt*>& ChildrenOf(const store::TTreeNodeExt* parent) const;
  std::vector<store::TTreeNodeExt*>* MutableChildrenOf(const store::TTreeNodeExt* parent);
  bool Knows(const store::TTreeNodeExt* node) const;
  int RowOf(const store::TTreeNodeExt* node) const;
  void RowChanged(const store::TTreeNodeExt* node, const QList<int>& roles);
  void RepaintChildren(const store::TTreeNodeExt* parent);
  QIcon IconFor(int imageIndex) const;
  mutable std::map<int, QIcon> icons_;  // by image index

  store::TChannelTree& tree_;
  store::TreeEditor* editor_ = nullptr;
  std::vector<store::TTreeNodeExt*> topLevel_;
  std::unordered_map<const store::TTreeNodeExt*, Branch> branches_;
  std::vector<store::TTreeNodeExt*> removing_;  // the subtree being deleted, its top first
  store::TTreeNodeExt* renaming_ = nullptr;
};

}  // namespace ui
