// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Whether a timer fires once or until it is stopped.
enum class TimerKind {
  kOnce,
  kRepeating,
};

// The main thread's loop, as the host supplies it. Core code never sleeps and never pumps
// messages: where it has to wait, it posts a task or starts a timer and carries on from
// there. The desktop program implements this with Qt, plover-cli with a plain queue, and
// the tests with a loop whose clock they advance by hand.
class EventLoop {
 public:
  using TimerId = uint64_t;
  using Task = std::function<void()>;

  virtual ~EventLoop() = default;

  // Runs the task on the main thread, after the current task. Safe from any thread.
  virtual void Post(Task task) = 0;

  // Starts a timer that calls the task on the main thread after `intervalMs`, once, or
  // every `intervalMs` for a repeating one. Returns an id that is never 0. Main thread
  // only.
  virtual TimerId StartTimer(int64_t intervalMs, TimerKind kind, Task task) = 0;

  // Stops a timer; unknown or finished ids are ignored. Main thread only.
  virtual void StopTimer(TimerId id) = 0;

  // A millisecond tick that only moves forwards (like a tick counter).
  virtual int64_t TickMs() const = 0;
};

// A named timer of a controller: start, restart and stop by name, as the program's
// timers are handled. Stopping an idle timer does nothing; starting a running one
// restarts it.
class Timer {
 public:
  Timer(EventLoop& loop, int64_t intervalMs, TimerKind kind, EventLoop::Task onTimer)
      : loop_(loop), intervalMs_(intervalMs), kind_(kind), onTimer_(std::move(onTimer)) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer() { Stop(); }

  void Start();
  void Stop();
  bool Enabled() const { return id_ != 0; }
  int64_t Interval() const { return intervalMs_; }
  void SetInterval(int64_t intervalMs);

 private:
  EventLoop& loop_;
  int64_t intervalMs_;
  TimerKind kind_;
  EventLoop::Task onTimer_;
  EventLoop::TimerId id_ = 0;
};

}  // namespace platform
