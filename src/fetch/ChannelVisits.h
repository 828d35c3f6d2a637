// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

#include "store/ChannelTree.h"

namespace fetch {

// What a selected update does with the channels under its node.
enum class SelectionMode {
  kUpdate = 0,  // fetch every channel that is not stopped
  kStop = 1,    // stop every subscription
  kResume = 2,  // fetch the stopped channels again; a success resumes them
};

// The nodes an update run visits and which of them it fetches. The nodes are fixed, in
// tree order, when a pass starts: one deleted on the way becomes a gap (Forget), and
// channels added on the way wait for the next run. A cursor walks through them.
class ChannelVisits {
 public:
  // The whole tree, for pass 1 of a full run or for pass 2, which tries the failed
  // channels once more.
  void StartPass(store::TChannelTree& tree, int pass);
  // The nodes under `node` (itself included), for a selected update.
  void StartSelection(store::TTreeNodeExt* node);

  int Pass() const { return pass_; }
  // Whether the current pass of a full run fetches a node of that kind.
  bool PassConsiders(int kind) const;
  // The nodes with a channel that the pass fetches.
  int CountConsidered() const;
  // The nodes with a channel that a selected update of that mode fetches.
  int CountSelected(SelectionMode mode) const;

  // A channel that may be fetched: neither stopped nor a group.
  static bool Fetchable(int kind);
  // Whether a timer run fetches the channel: never fetched yet, or its refresh interval
  // (`defaultMinutes` when it has none of its own) passed since its last fetch.
  static bool Due(const store::TSiteList& channel, double runStart, int defaultMinutes);

  bool AtEnd() const { return cursor_ >= nodes_.size(); }
  // The node under the cursor; nullptr when it was deleted since the pass started.
  store::TTreeNodeExt* Current() const { return nodes_[cursor_]; }
  void Next() { ++cursor_; }

  // A node that is being deleted is never visited.
  void Forget(store::TTreeNodeExt* node);

 private:
  std::vector<store::TTreeNodeExt*> nodes_;  // in tree order
  size_t cursor_ = 0;
  int pass_ = 0;
};

}  // namespace fetch
