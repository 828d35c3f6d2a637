// SPDX-License-Identifier: MIT
#include "ui/ChannelTreePane.h"

#include "store/ChannelTree.h"
#include "ui/ChannelTreeModel.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/QtEventLoop.h"

namespace ui {

ChannelTreePane::ChannelTreePane(store::TChannelTree& tree, QtEventLoop& loop, HeadlineListView& list, QWidget* parent)
    : tree_(tree), list_(list) {
  // The model belongs to the pane, which the window keeps until its widgets are gone.
  model_ = new ChannelTreeModel(tree, this);
  view_ = new ChannelTreeView(*model_, loop, parent);
}

ChannelTreePane::~ChannelTreePane() = default;

void ChannelTreePane::SetTreeEditor(store::TreeEditor* editor) {
  model_->SetTreeEditor(editor);
}

void ChannelTreePane::SelectRoot() {
  store::TTreeNodeExt* root = tree_.RootNode();
  view_->expand(model_->IndexOf(root));
  if (view_->CurrentNode() == root) {
    emit rootShownAgain(root);
  } else {
    view_->SelectNode(root);  // the view reports the new current node
  }
}

void ChannelTreePane::Expand(store::TTreeNodeExt* node) {
  view_->expand(model_->IndexOf(node));
}

void ChannelTreePane::ScrollIntoView(store::TTreeNodeExt* node) {
  view_->scrollTo(model_->IndexOf(node));
}

void ChannelTreePane::EndLabelEdit() {
  if (view_->IsEditing()) view_->setFocus();
}

bool ChannelTreePane::HasFocus() const {
  return view_->hasFocus();
}

bool ChannelTreePane::Hidden() const {
  return view_->isHidden();
}

void ChannelTreePane::SuspendLeaveRule(bool suspend) {
  list_.SetLeaveRuleSuspended(suspend);
}

void ChannelTreePane::SelectNode(store::TTreeNodeExt* node) {
  view_->SelectNode(node);
}

void ChannelTreePane::StartCaptionEdit(store::TTreeNodeExt* node) {
  view_->StartCaptionEdit(node);
}

void ChannelTreePane::RebuildSelectedList() {
  list_.ReloadList();
}

void ChannelTreePane::FocusTree() {
  view_->setFocus();
}

}  // namespace ui
