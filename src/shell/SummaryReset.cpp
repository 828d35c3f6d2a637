// SPDX-License-Identifier: MIT
#include "shell/SummaryReset.h"

#include <string>
#include <utility>

#include "shell/PageAddress.h"

namespace shell {

void SummaryReset::ResetToBlank(ViewId view, bool wait, std::function<void(bool shown)> done) {
  if (list_.IndexOf(view) < 0) {
    if (done) done(false);
    return;
  }
  view_.Stop(view);
  view_.Navigate(view, std::string(kSummaryAddress), 0);
  if (!wait) {
    if (done) done(list_.ShowsSummary(view));
    return;
  }
  const uint64_t key = nextResetKey_++;
  ResetWait& entry = resetWaits_[key];
  entry = ResetWait{view, kResetMaxSteps, std::move(done)};
  entry.timer = loop_.StartTimer(kResetStepMs, platform::TimerKind::kOnce, [this, key] { LookForSummary(key); });
}

void SummaryReset::Cancel() {
  for (const auto& [key, wait] : resetWaits_) loop_.StopTimer(wait.timer);
  resetWaits_.clear();
}

void SummaryReset::LookForSummary(uint64_t key) {
  const auto it = resetWaits_.find(key);
  if (it == resetWaits_.end()) return;
  ResetWait& wait = it->second;
  --wait.looksLeft;
  const bool shown = list_.ShowsSummary(wait.view);
  if (shown || wait.looksLeft <= 0 || list_.IndexOf(wait.view) < 0) {
    std::function<void(bool)> done = std::move(wait.done);
    resetWaits_.erase(it);
    if (done) done(shown);
    return;
  }
  wait.timer = loop_.StartTimer(kResetStepMs, platform::TimerKind::kOnce, [this, key] { LookForSummary(key); });
}

}  // namespace shell
