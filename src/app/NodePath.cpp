// SPDX-License-Identifier: MIT
#include "app/NodePath.h"

namespace app {
namespace {

store::TTreeNodeExt* FindBelow(store::TTreeNodeExt* node, std::string_view path) {
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    store::TTreeNodeExt* child = node->Child(i);
    const std::string& caption = child->Caption();
    if (path == caption) return child;
    // "/" is no trail byte of code page 932, so a match here is never half a character.
    if (path.size() > caption.size() && path.starts_with(caption) && path[caption.size()] == '/') {
      if (store::TTreeNodeExt* found = FindBelow(child, path.substr(caption.size() + 1))) return found;
    }
  }
  return nullptr;
}

}  // namespace

store::TTreeNodeExt* FindNodeByPath(const store::TChannelTree& tree, std::string_view path) {
  if (path.starts_with('/')) path.remove_prefix(1);
  if (path.empty()) return tree.RootNode();
  return FindBelow(tree.RootNode(), path);
}

}  // namespace app
