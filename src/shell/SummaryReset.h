// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/EventLoop.h"
#include "shell/BrowserTabsView.h"
#include "shell/TabList.h"

namespace shell {

// Brings a tab's view back to the summary, and waits for it to get there when asked: the
// view loads from the event loop, so the wait looks at it on a timer.
class SummaryReset {
 public:
  static constexpr int64_t kResetStepMs = 30;
  static constexpr int kResetMaxSteps = 100;

  SummaryReset(platform::EventLoop& loop, BrowserTabsView& view, const TabList& list)
      : loop_(loop), view_(view), list_(list) {}
  SummaryReset(const SummaryReset&) = delete;
  SummaryReset& operator=(const SummaryReset&) = delete;
  ~SummaryReset() { Cancel(); }

  // Stops the view and shows the summary in it. With `wait`, `done` runs once the view
  // shows the summary, or after 100 looks 30 ms apart, with whether it got there;
  // without, `done` runs at once with whether the view shows the summary already.
  void ResetToBlank(ViewId view, bool wait, std::function<void(bool shown)> done = {});
  // Drops every wait without running its `done`: the program is closing.
  void Cancel();

 private:
  struct ResetWait {
    ViewId view;
    int looksLeft;
    std::function<void(bool)> done;
    platform::EventLoop::TimerId timer = 0;
  };

  void LookForSummary(uint64_t key);

  platform::EventLoop& loop_;
  BrowserTabsView& view_;
  const TabList& list_;
  std::map<uint64_t, ResetWait> resetWaits_;
  uint64_t nextResetKey_ = 1;
};

}  // namespace shell
