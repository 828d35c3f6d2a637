// SPDX-License-Identifier: MIT
#include "platform/PlainEventLoop.h"

#include <algorithm>

namespace platform {

void PlainEventLoop::Post(Task task) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
  }
  wake_.notify_one();
}

EventLoop::TimerId PlainEventLoop::StartTimer(int64_t intervalMs, TimerKind kind, Task task) {
  const bool repeating = kind == TimerKind::kRepeating;
  // A repeating timer of 0 ms would keep the loop busy forever; 1 ms is the shortest.
  const Clock::duration interval = std::chrono::milliseconds(std::max<int64_t>(intervalMs, repeating ? 1 : 0));
  TimerId id;
  {
    std::lock_guard lock(mutex_);
    id = nextId_++;
    timers_[id] = TimerEntry{Clock::now() + interval, interval, repeating, std::make_shared<Task>(std::move(task))};
  }
  wake_.notify_one();
  return id;
}

void PlainEventLoop::StopTimer(TimerId id) {
  std::shared_ptr<Task> task;  // destroyed after the lock is released
  std::lock_guard lock(mutex_);
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  task = std::move(it->second.task);
  timers_.erase(it);
}

int64_t PlainEventLoop::TickMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void PlainEventLoop::Run() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (RunOneReady(lock)) continue;
    auto next = EarliestTimer();
    if (next == timers_.end()) {
      wake_.wait(lock);
    } else {
      wake_.wait_until(lock, next->second.due);
    }
  }
  quit_ = false;
}

void PlainEventLoop::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

void PlainEventLoop::RunUntilIdle() {
  std::unique_lock lock(mutex_);
  while (RunOneReady(lock)) {
  }
}

std::map<EventLoop::TimerId, PlainEventLoop::TimerEntry>::iterator PlainEventLoop::EarliestTimer() {
  // Ties go to the timer started first, which has the lower id.
  return std::min_element(timers_.begin(), timers_.end(),
                          [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
}

bool PlainEventLoop::RunOneReady(std::unique_lock<std::mutex>& lock) {
  if (!posted_.empty()) {
    Task task = std::move(posted_.front());
    posted_.pop_front();
    lock.unlock();
    task();
    task = nullptr;
    lock.lock();
    return true;
  }
  const Clock::time_point now = Clock::now();
  auto next = EarliestTimer();
  if (next == timers_.end() || next->second.due > now) return false;
  std::shared_ptr<Task> task = next->second.task;
  if (next->second.repeating) {
    // A timer that fell more than one interval behind does not fire in a burst to catch up.
    TimerEntry& entry = next->second;
    entry.due += entry.interval;
    if (entry.due <= now) entry.due = now + entry.interval;
  } else {
    timers_.erase(next);
  }
  lock.unlock();
  (*task)();
  task.reset();
  lock.lock();
  return true;
}

}  // namespace platform
