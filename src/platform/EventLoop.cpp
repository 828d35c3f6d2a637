// SPDX-License-Identifier: MIT
#include "platform/EventLoop.h"

namespace platform {

void Timer::Start() {
  Stop();
  id_ = loop_.StartTimer(intervalMs_, kind_, [this] {
    if (kind_ == TimerKind::kOnce) id_ = 0;
    onTimer_();
  });
}

void Timer::Stop() {
  if (id_ != 0) {
    loop_.StopTimer(id_);
    id_ = 0;
  }
}

void Timer::SetInterval(int64_t intervalMs) {
  intervalMs_ = intervalMs;
  if (Enabled()) Start();
}

}  // namespace platform
