// SPDX-License-Identifier: MIT
#include "fetch/ChannelVisits.h"

#include <algorithm>
#include <cstdint>

#include "store/DateTime.h"

namespace fetch {

using store::TTreeNodeExt;

void ChannelVisits::StartPass(store::TChannelTree& tree, int pass) {
  pass_ = pass;
  cursor_ = 0;
  nodes_.clear();
  for (TTreeNodeExt* node = tree.RootNode(); node != nullptr; node = tree.NextNode(node)) nodes_.push_back(node);
}

void ChannelVisits::StartSelection(TTreeNodeExt* node) {
  pass_ = 1;
  cursor_ = 0;
  nodes_.clear();
  store::TChannelTree::ForEachNode(node, [this](TTreeNodeExt* visited) { nodes_.push_back(visited); });
}

bool ChannelVisits::PassConsiders(int kind) const {
  if (pass_ == 2) return kind == store::kKindError;
  return kind == store::kKindChannel || kind == store::kKindUpdating || kind == store::kKindError;
}

int ChannelVisits::CountConsidered() const {
  return static_cast<int>(std::count_if(nodes_.begin(), nodes_.end(), [this](const TTreeNodeExt* node) {
    return node->Data() != nullptr && PassConsiders(node->Kind());
  }));
}

int ChannelVisits::CountSelected(SelectionMode mode) const {
  int count = 0;
  for (const TTreeNodeExt* visited : nodes_) {
    const int kind = visited->Kind();
    if (visited->Data() == nullptr) continue;
    if ((mode == SelectionMode::kUpdate && Fetchable(kind)) ||
        (mode == SelectionMode::kResume && kind == store::kKindStopped)) {
      ++count;
    }
  }
  return count;
}

bool ChannelVisits::Fetchable(int kind) {
  return kind == store::kKindChannel || kind == store::kKindUpdating || kind == store::kKindError;
}

bool ChannelVisits::Due(const store::TSiteList& channel, double runStart, int defaultMinutes) {
  if (channel.client == 0) return true;
  const int interval = channel.refresh != 0 ? channel.refresh : defaultMinutes;
  const int64_t minutes = store::MillisecondsBetween(channel.client, runStart) / 60'000;
  return minutes >= interval;
}

void ChannelVisits::Forget(TTreeNodeExt* node) {
  std::replace(nodes_.begin(), nodes_.end(), node, static_cast<TTreeNodeExt*>(nullptr));
}

}  // namespace fetch
