// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <vector>

#include "formats/feeds/KeywordFilter.h"

namespace store {
class TChannelTree;
class TTreeNodeExt;
}  // namespace store

namespace search {

// One parsed query and the part of the tree it searches: nullptr searches everywhere.
struct QueryGroup {
  formats::KeywordGroup Keywords;
  const store::TTreeNodeExt* Scope = nullptr;
};

// Whether `scope` covers `node`: always when either is nullptr, else when `scope` is one of
// the node's ancestors (the node itself does not count; the walk ends at the top level).
bool ScopeContains(const store::TTreeNodeExt* scope, const store::TTreeNodeExt* node);

// A list of queries, each a group of the keyword language with its scope. An item matches
// the set when one group whose scope covers the item's channel matches its search text.
// The headline list, the saved-search count and the keyword alerts all filter through
// this one type.
class QuerySet {
 public:
  // Appends one group for `text`; nothing (false) when the text holds no term.
  bool ParseQuery(std::string_view text, const store::TTreeNodeExt* scope = nullptr);

  void Clear() { groups_.clear(); }
  bool Empty() const { return groups_.empty(); }
  const std::vector<QueryGroup>& Groups() const { return groups_; }

  // True when a group whose scope contains `node` matches the folded search text.
  // A `node` of nullptr lies inside every scope.
  bool MatchQuerySet(std::string_view searchText, const store::TTreeNodeExt* node) const;

  // Replaces the set with the captions of every search item of the tree, in tree order,
  // each scoped to the search item's parent. -1 when no group resulted, else 0.
  int CompileAlertQueries(const store::TChannelTree& tree);

 private:
  std::vector<QueryGroup> groups_;
};

}  // namespace search
