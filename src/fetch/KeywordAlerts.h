// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace store {
struct TSiteRecord;
class TTreeNodeExt;
}  // namespace store

namespace fetch {

// The keyword alerts an update run tests new items against. Until saved searches and
// alerts are built there are none: the compile step says so and no item is tested.
class KeywordAlerts {
 public:
  virtual ~KeywordAlerts() = default;

  // Prepares the alert queries at the start of a run: -1 when no alert exists (the run
  // then tests nothing), else 0, the start of the run's match count.
  virtual int CompileAlertQueries() { return -1; }

  // Whether a new item matches an alert. `scope` is the item's channel node, or nullptr
  // when alerts search the whole tree.
  virtual bool MatchQuerySet(const store::TSiteRecord& /*item*/, const store::TTreeNodeExt* /*scope*/) { return false; }
};

}  // namespace fetch
