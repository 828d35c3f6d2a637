// SPDX-License-Identifier: MIT
#pragma once

namespace store {

class TTreeNodeExt;

// What the tree editor needs from the main window. The defaults do nothing, so a host
// without a window (plover-cli, tests) overrides only what it has.
class TreeEditHost {
 public:
  virtual ~TreeEditHost() = default;

  // Suspends (true) or resumes (false) the rule that marks a node's items read when the
  // user leaves it, so that a drop does not count as leaving the selected node.
  virtual void SuspendLeaveRule(bool /*suspend*/) {}

  // Selects the node in the tree view (its headline list is shown as for a click).
  virtual void SelectNode(TTreeNodeExt* /*node*/) {}

  // Starts in-place editing of the node's caption; the view ends it with
  // TreeEditor::RenameNode.
  virtual void StartCaptionEdit(TTreeNodeExt* /*node*/) {}

  // Builds the headline list of the selected node again.
  virtual void RebuildSelectedList() {}

  // Builds the Bloglines subscription list again when it is shown.
  virtual void RebuildBloglinesList() {}

  virtual void FocusTree() {}
};

}  // namespace store
