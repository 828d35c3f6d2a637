// SPDX-License-Identifier: MIT
#include "support/ManualEventLoop.h"

namespace testsupport {

void ManualEventLoop::Post(Task task) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
  }
  postedOne_.notify_all();
}

platform::EventLoop::TimerId ManualEventLoop::StartTimer(int64_t intervalMs, platform::TimerKind kind, Task task) {
  const TimerId id = nextId_++;
  timers_[id] = TimerEntry{now_ + intervalMs, intervalMs, kind == platform::TimerKind::kRepeating, std::move(task)};
  return id;
}

void ManualEventLoop::StopTimer(TimerId id) {
  timers_.erase(id);
}

void ManualEventLoop::RunPending() {
  for (;;) {
    Task task;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) return;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
  }
}

void ManualEventLoop::RunUntil(const std::function<bool()>& done) {
  for (;;) {
    RunPending();
    if (done()) return;
    std::unique_lock lock(mutex_);
    postedOne_.wait(lock, [this] { return !posted_.empty(); });
  }
}

void ManualEventLoop::Advance(int64_t ms) {
  const int64_t end = now_ + ms;
  RunPending();
  for (;;) {
    // The earliest timer due by the end; ties go to the one started first.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) next = it;
    }
    if (next == timers_.end()) break;
    now_ = std::max(now_, next->second.due);
    const TimerId id = next->first;
    Task task = next->second.task;
    if (next->second.repeating) {
      next->second.due = now_ + std::max<int64_t>(next->second.interval, 1);
    } else {
      timers_.erase(next);
    }
    (void)id;
    task();
    RunPending();
  }
  now_ = end;
}

}  // namespace testsupport
