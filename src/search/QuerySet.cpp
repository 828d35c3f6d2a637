// SPDX-License-Identifier: MIT
#include "search/QuerySet.h"

#include "store/ChannelTree.h"
#include "store/TTreeNodeExt.h"

namespace search {

bool ScopeContains(const store::TTreeNodeExt* scope, const store::TTreeNodeExt* node) {
  if (scope == nullptr || node == nullptr) return true;
  for (const store::TTreeNodeExt* n = node->Parent(); n != nullptr; n = n->Parent()) {
    if (n == scope) return true;
  }
  return false;
}

bool QuerySet::ParseQuery(std::string_view text, const store::TTreeNodeExt* scope) {
  std::optional<formats::KeywordGroup> group = formats::ParseKeywordGroup(text);
  if (!group) return false;
  groups_.push_back(QueryGroup{std::move(*group), scope});
  return true;
}

bool QuerySet::MatchQuerySet(std::string_view searchText, const store::TTreeNodeExt* node) const {
  for (const QueryGroup& group : groups_) {
    if (!ScopeContains(group.Scope, node)) continue;
    if (formats::MatchKeywordGroup(group.Keywords, searchText)) return true;
  }
  return false;
}

int QuerySet::CompileAlertQueries(const store::TChannelTree& tree) {
  Clear();
  store::TChannelTree::ForEachNode(tree.RootNode(), [this](store::TTreeNodeExt* node) {
    if (node->IsSearchItem()) ParseQuery(node->Caption(), node->Parent());
  });
  return Empty() ? -1 : 0;
}

}  // namespace search
