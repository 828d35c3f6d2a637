// SPDX-License-Identifier: MIT
#include "ui/QtEventLoop.h"

#include <QMetaObject>
#include <QTimer>
#include <utility>

namespace ui {

QtEventLoop::QtEventLoop(QObject* parent) : QObject(parent) {
  clock_.start();
}

QtEventLoop::~QtEventLoop() {
  for (auto& [id, entry] : timers_) delete entry.timer;
}

void QtEventLoop::Post(Task task) {
  // A queued call on this object runs on its thread, whichever thread posts it; one that
  // is still queued when the object goes is dropped by Qt.
  QMetaObject::invokeMethod(
      this, [task = std::move(task)]() { task(); }, Qt::QueuedConnection);
}

platform::EventLoop::TimerId QtEventLoop::StartTimer(int64_t intervalMs, platform::TimerKind kind, Task task) {
  const TimerId id = nextId_++;
  auto* timer = new QTimer(this);
  timer->setTimerType(Qt::PreciseTimer);
  timer->setSingleShot(kind == platform::TimerKind::kOnce);
  timer->setInterval(std::chrono::milliseconds(intervalMs < 0 ? 0 : intervalMs));
  connect(timer, &QTimer::timeout, this, [this, id]() { Fire(id); });
  timers_.emplace(id, Entry{timer, std::make_shared<Task>(std::move(task))});
  timer->start();
  return id;
}

void QtEventLoop::StopTimer(TimerId id) {
  const auto entry = timers_.find(id);
  if (entry == timers_.end()) return;
  entry->second.timer->stop();
  // Deleted later: the timer may be stopping itself from its own timeout.
  entry->second.timer->deleteLater();
  timers_.erase(entry);
}

int64_t QtEventLoop::TickMs() const {
  return clock_.elapsed();
}

void QtEventLoop::Fire(TimerId id) {
  const auto entry = timers_.find(id);
  if (entry == timers_.end()) return;
  const std::shared_ptr<Task> task = entry->second.task;
  if (entry->second.timer->isSingleShot()) StopTimer(id);
  (*task)();
}

}  // namespace ui
