// SPDX-License-Identifier: MIT
#pragma once

#include "search/QuerySet.h"
#include "settings/Settings.h"

namespace store {
class TChannelTree;
class TTreeNodeExt;
struct TSiteRecord;
}  // namespace store

namespace search {

// The keyword alerts of an update run: every saved search is also an alert, and the run
// counts the new unread items that match one. The queries are compiled once at the start
// of the run from the tree as it is then.
class KeywordAlerts {
 public:
  KeywordAlerts(const store::TChannelTree& tree, const settings::Settings& settings)
      : tree_(tree), settings_(settings) {}

  // Compiles the captions of the search items: -1 when no alert exists (the run then tests
  // nothing), else 0, the start of the run's match count.
  int CompileAlertQueries() { return queries_.CompileAlertQueries(tree_); }

  // Whether a new item matches an alert whose search item's group holds `node` (the item's
  // channel); nullptr when alerts search the whole tree.
  bool MatchQuerySet(const store::TSiteRecord& item, const store::TTreeNodeExt* node) const;

 private:
  const store::TChannelTree& tree_;
  const settings::Settings& settings_;
  QuerySet queries_;
};

}  // namespace search
