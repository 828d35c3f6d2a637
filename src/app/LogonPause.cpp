// SPDX-License-Identifier: MIT
#include "app/LogonPause.h"

namespace app {

LogonPause::LogonPause(platform::EventLoop& loop, std::function<void()> onReady)
    : loop_(loop),
      onReady_(std::move(onReady)),
      timer_(loop, kCheckIntervalMs, platform::TimerKind::kRepeating, [this] { Check(); }) {}

void LogonPause::Start(int64_t pauseMs) {
  if (cancelled_ || finished_) return;
  if (pauseMs <= 0) {
    // The callback runs from the loop, as it does after a wait, so that the caller has
    // finished its own start-up work before the window is made.
    loop_.Post([this, alive = std::weak_ptr<int>(alive_)] {
      if (!alive.expired()) Finish();
    });
    return;
  }
  startedMs_ = loop_.TickMs();
  pauseMs_ = pauseMs;
  timer_.Start();
}

void LogonPause::Cancel() {
  cancelled_ = true;
  timer_.Stop();
}

void LogonPause::Check() {
  if (loop_.TickMs() - startedMs_ >= pauseMs_) {
    timer_.Stop();
    Finish();
  }
}

void LogonPause::Finish() {
  if (cancelled_ || finished_) return;
  finished_ = true;
  if (onReady_) onReady_();
}

}  // namespace app
