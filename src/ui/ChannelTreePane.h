// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include "store/TreeEditHost.h"

class QWidget;

namespace store {
class TChannelTree;
class TreeEditor;
}  // namespace store

namespace ui {

class ChannelTreeModel;
class ChannelTreeView;
class HeadlineListView;
class QtEventLoop;

// The channel tree of the main window: the tree view and its model over the channel tree.
// It is the tree editor's host: selecting, renaming in place and focusing go to the view;
// the leave rule and the list built again belong to the headline list. The lock of an
// update run is the window's, which the editor is given directly.
class ChannelTreePane : public QObject, public store::TreeEditHost {
  Q_OBJECT

 public:
  // The view goes into `parent`.
  ChannelTreePane(store::TChannelTree& tree, QtEventLoop& loop, HeadlineListView& list, QWidget* parent);
  ~ChannelTreePane() override;

  ChannelTreeView& View() const { return *view_; }
  // The tree editor behind the view's drags, renames and delete key, once it exists;
  // nullptr before the editor goes.
  void SetTreeEditor(store::TreeEditor* editor);

  // Selects the headline node and shows its headline list, also when it is selected
  // already (rootShownAgain then asks for the list).
  void SelectRoot();
  void Expand(store::TTreeNodeExt* node);
  void ScrollIntoView(store::TTreeNodeExt* node);
  // Ends an edit of a caption in progress.
  void EndLabelEdit();
  bool HasFocus() const;
  bool Hidden() const;

  // store::TreeEditHost
  void SuspendLeaveRule(bool suspend) override;
  void SelectNode(store::TTreeNodeExt* node) override;
  void StartCaptionEdit(store::TTreeNodeExt* node) override;
  void RebuildSelectedList() override;
  void FocusTree() override;

 signals:
  // The headline node was asked for while it was selected already.
  void rootShownAgain(store::TTreeNodeExt* root);

 private:
  store::TChannelTree& tree_;
  HeadlineListView& list_;
  ChannelTreeModel* model_ = nullptr;
  ChannelTreeView* view_ = nullptr;
};

}  // namespace ui
