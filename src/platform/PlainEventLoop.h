// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/EventLoop.h"

namespace platform {

// The event loop of the headless front end: a queue of posted tasks that any thread may
// fill, and timers on the steady clock. The thread that calls Run() is the main thread.
class PlainEventLoop : public EventLoop {
 public:
  PlainEventLoop() = default;
  PlainEventLoop(const PlainEventLoop&) = delete;
  PlainEventLoop& operator=(const PlainEventLoop&) = delete;

  void Post(Task task) override;
  TimerId StartTimer(int64_t intervalMs, TimerKind kind, Task task) override;
  void StopTimer(TimerId id) override;
  int64_t TickMs() const override;

  // Runs posted tasks and due timers, waiting for more, until Quit() is called.
  void Run();

  // Makes Run() return after the task in progress. Safe from any thread; a Quit() that
  // comes before Run() makes the next Run() return at once.
  void Quit();

  // Runs the posted tasks and the timers already due, including what they post, and
  // returns as soon as nothing is ready; it never waits.
  void RunUntilIdle();

 private:
  using Clock = std::chrono::steady_clock;
  struct TimerEntry {
    Clock::time_point due;
    Clock::duration interval;
    bool repeating;
    std::shared_ptr<Task> task;  // shared, so a timer may stop itself while it runs
  };

  // Runs one ready task or timer with the lock released; false when nothing was ready.
  bool RunOneReady(std::unique_lock<std::mutex>& lock);
  std::map<TimerId, TimerEntry>::iterator EarliestTimer();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> posted_;
  std::map<TimerId, TimerEntry> timers_;
  TimerId nextId_ = 1;
  bool quit_ = false;
};

}  // namespace platform
