// SPDX-License-Identifier: MIT
#pragma once

#include "store/TreeEditHost.h"

namespace ui {

class ChannelTreeView;

// The tree editor's host on the desktop: selecting, renaming in place and focusing go to
// the tree view; what belongs to the main window (the lock of an update run, the leave
// rule, the headline and Bloglines lists) goes to the window's host when there is one.
class ChannelTreeHost : public store::TreeEditHost {
 public:
  explicit ChannelTreeHost(ChannelTreeView& view, store::TreeEditHost* window = nullptr)
      : view_(view), window_(window) {}

  bool UiLocked() const override;
  void SuspendLeaveRule(bool suspend) override;
  void SelectNode(store::TTreeNodeExt* node) override;
  void StartCaptionEdit(store::TTreeNodeExt* node) override;
  void RebuildSelectedList() override;
  void RebuildBloglinesList() override;
  void FocusTree() override;

 private:
  ChannelTreeView& view_;
  store::TreeEditHost* window_;
};

}  // namespace ui
