// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/EventLoop.h"

namespace testsupport {

// A deterministic event loop: nothing happens until the test runs the queue or moves the
// clock, and timers fire in the order of their due time.
class ManualEventLoop : public platform::EventLoop {
 public:
  void Post(Task task) override;
  TimerId StartTimer(int64_t intervalMs, platform::TimerKind kind, Task task) override;
  void StopTimer(TimerId id) override;
  int64_t TickMs() const override { return now_; }

  // Runs posted tasks (including those they post) until the queue is empty.
  void RunPending();

  // Runs posted tasks until `done` holds, waiting between them for tasks that other
  // threads (workers) post. The clock does not move. It waits as long as it takes: a
  // condition that never comes true is a hang, which the test's time-out reports.
  void RunUntil(const std::function<bool()>& done);

  // Moves the clock forward by `ms`, firing every timer that falls due on the way, each at
  // its own time, with posted tasks run after each one.
  void Advance(int64_t ms);

  bool TimerActive(TimerId id) const { return timers_.count(id) != 0; }
  size_t ActiveTimerCount() const { return timers_.size(); }

 private:
  struct TimerEntry {
    int64_t due;
    int64_t interval;
    bool repeating;
    Task task;
  };
  std::mutex mutex_;
  std::condition_variable postedOne_;
  std::deque<Task> posted_;
  std::map<TimerId, TimerEntry> timers_;
  TimerId nextId_ = 1;
  int64_t now_ = 100000;
};

}  // namespace testsupport
