// SPDX-License-Identifier: MIT
#include "ui/ChannelTreeHost.h"

#include "ui/ChannelTreeView.h"

namespace ui {

bool ChannelTreeHost::UiLocked() const {
  return window_ != nullptr && window_->UiLocked();
}

void ChannelTreeHost::SuspendLeaveRule(bool suspend) {
  if (window_ != nullptr) window_->SuspendLeaveRule(suspend);
}

void ChannelTreeHost::SelectNode(store::TTreeNodeExt* node) {
  view_.SelectNode(node);
}

void ChannelTreeHost::StartCaptionEdit(store::TTreeNodeExt* node) {
  view_.StartCaptionEdit(node);
}

void ChannelTreeHost::RebuildSelectedList() {
  if (window_ != nullptr) window_->RebuildSelectedList();
}

void ChannelTreeHost::RebuildBloglinesList() {
  if (window_ != nullptr) window_->RebuildBloglinesList();
}

void ChannelTreeHost::FocusTree() {
  view_.setFocus();
}

}  // namespace ui
