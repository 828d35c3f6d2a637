// SPDX-License-Identifier: MIT
#include "present/UnreadSeeker.h"

#include "present/HeadlineColumns.h"
#include "store/TSiteList.h"
#include "store/TTreeNodeExt.h"

namespace present {

bool UnreadSeeker::InUserTree(const store::TTreeNodeExt* node) const {
  return node != nullptr && !node->Deleting() && node->IsSameOrBelow(tree_.RootNode());
}

bool UnreadSeeker::ItemQualifies(const store::TSiteRecord& item, const Filters& filters) const {
  if (item.read != store::kStateUnread) return false;
  if (!query_.Empty() && !query_.Matches(item)) return false;
  return ReadFilterPasses(filters.readFilter, item.read) &&
         DateFilterPasses(filters.dateFilter, item.modified, filters.now);
}

bool UnreadSeeker::NodeQualifies(const store::TTreeNodeExt* node, const Filters& filters) const {
  if (node->IsSearchItem() || node->UnreadTotal() < 1) return false;
  if (node->Data() != nullptr) {
    for (const auto& item : node->Data()->Items()) {
      if (ItemQualifies(*item, filters)) return true;
    }
    return false;
  }
  if (!settings_.SeekGroup) return false;
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    if (NodeQualifies(node->Child(i), filters)) return true;
  }
  return false;
}

store::TTreeNodeExt* UnreadSeeker::NextInUserTree(const store::TTreeNodeExt* node, bool descend) const {
  if (descend && node->HasChildren()) return node->FirstChild();
  const store::TTreeNodeExt* root = tree_.RootNode();
  for (const store::TTreeNodeExt* n = node; n != nullptr && n != root; n = n->Parent()) {
    if (store::TTreeNodeExt* sibling = n->NextSibling()) return sibling;
  }
  return nullptr;
}

store::TTreeNodeExt* UnreadSeeker::NextUnreadNode(const store::TTreeNodeExt* from, const Filters& filters) const {
  if (!InUserTree(from)) from = tree_.RootNode();
  query_.Clear();
  if (!filters.keyword.empty()) query_.Parse(filters.keyword);
  store::TTreeNodeExt* found = nullptr;
  store::TTreeNodeExt* node = NextInUserTree(from, true);
  while (node != nullptr && found == nullptr) {
    // Nothing unread below a node: its whole subtree is passed over.
    if (node->UnreadTotal() < 1 && !node->IsSearchItem()) {
      node = NextInUserTree(node, false);
    } else if (NodeQualifies(node, filters)) {
      found = node;
    } else {
      node = NextInUserTree(node, true);
    }
  }
  query_.Clear();
  return found;
}

store::TTreeNodeExt* UnreadSeeker::NextNodeWithItems(const store::TTreeNodeExt* from) const {
  if (!InUserTree(from)) from = tree_.RootNode();
  for (store::TTreeNodeExt* node = NextInUserTree(from, true); node != nullptr; node = NextInUserTree(node, true)) {
    if (store::IsChannelKind(node->Kind()) && node->Data() != nullptr && node->Data()->Count() > 0) return node;
  }
  return nullptr;
}

int UnreadSeeker::FindUnreadRow(const std::vector<store::TSiteRecord*>& rows, int from, bool upward) {
  const int count = static_cast<int>(rows.size());
  if (upward) {
    for (int row = from >= 0 ? from - 1 : count - 1; row >= 0; --row) {
      if (rows[static_cast<size_t>(row)]->read == store::kStateUnread) return row;
    }
  } else {
    for (int row = from >= 0 ? from + 1 : 0; row < count; ++row) {
      if (rows[static_cast<size_t>(row)]->read == store::kStateUnread) return row;
    }
  }
  return -1;
}

}  // namespace present
