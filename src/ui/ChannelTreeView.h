// SPDX-License-Identifier: MIT
#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>
#include <utility>

#include "platform/EventLoop.h"
#include "store/DropPosition.h"

class QMimeData;

namespace store {
class TTreeNodeExt;
}

namespace ui {

class ChannelTreeModel;

// The channel tree on screen. It shows the model and forwards the user's actions to the
// tree editor: F2 and Ctrl+A rename the selected node in place, Delete deletes it, and a
// dragged node lands where the thirds of the row under the pointer say. The expansion of
// every node is kept in step with the store both ways.
class ChannelTreeView : public QTreeView {
  Q_OBJECT

 public:
  // A group under a dragged node opens after the pointer rested on it this long.
  static constexpr int64_t kAutoExpandMs = 1500;
  // While a dragged node is near the upper or lower edge, the tree scrolls one line this
  // often.
  static constexpr int64_t kAutoScrollMs = 100;

  ChannelTreeView(ChannelTreeModel& model, platform::EventLoop& loop, QWidget* parent = nullptr);
  ~ChannelTreeView() override;

  ChannelTreeModel& Model() const { return model_; }

  store::TTreeNodeExt* CurrentNode() const;

  // Whether a caption is being edited in place.
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

  // Selects the node (opening its ancestors) as a click would.
  void SelectNode(store::TTreeNodeExt* node);

  // Renames the node in place when the editor allows it; false otherwise.
  bool StartRename(store::TTreeNodeExt* node);

  // Opens the in-place editor on a node whose rename the editor has already begun.
  bool StartCaptionEdit(store::TTreeNodeExt* node);

  // The row and drop position under a point of the viewport while a node is dragged:
  // the row's kind and its rectangle decide, through the tree editor's thirds rule.
  std::pair<QModelIndex, store::DropPosition> DropTargetAt(const QPoint& viewportPos) const;

  // The insertion mark currently shown during a drag (an invalid index when none).
  std::pair<QModelIndex, store::DropPosition> InsertionMark() const { return {markIndex_, markPosition_}; }

  // Expands every node the store has expanded (after the model was built anew).
  void ApplyStoredExpansion();

 signals:
  void nodeSelected(store::TTreeNodeExt* node);
  // An address, a link or a file was dropped on the row of `node` (`file`: `dropped` is a
  // local path).
  void addressDropped(const QString& dropped, bool file, store::TTreeNodeExt* node);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Whether a drag from elsewhere brings an address or a file.
  static bool ExternalDrop(const QMimeData& data);
  void ApplyExpansionBelow(const QModelIndex& parent);
  void FollowFocus(const QModelIndex& current, const QModelIndex& previous);
  void ClearDrag();
  void HoverRow(const QModelIndex& index);
  void ExpandHoveredGroup();
  void AutoScrollStep();
  int AutoScrollDirection() const;

  ChannelTreeModel& model_;
  QPersistentModelIndex markIndex_;
  store::DropPosition markPosition_ = store::DropPosition::kNone;
  QPersistentModelIndex hovered_;
  QPoint dragPos_;
  platform::Timer expandTimer_;
  platform::Timer scrollTimer_;
};

}  // namespace ui
