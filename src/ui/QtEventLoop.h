// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <map>
#include <memory>

#include "platform/EventLoop.h"

class QTimer;

namespace ui {

// The event loop of the desktop program: Qt's own. Posted tasks run as queued calls on
// the thread that made this object (the main thread); timers are QTimers; the tick is a
// monotonic clock started with the loop.
class QtEventLoop : public QObject, public platform::EventLoop {
  Q_OBJECT

 public:
  explicit QtEventLoop(QObject* parent = nullptr);
  ~QtEventLoop() override;

  void Post(Task task) override;
  TimerId StartTimer(int64_t intervalMs, platform::TimerKind kind, Task task) override;
  void StopTimer(TimerId id) override;
  int64_t TickMs() const override;

 private:
  struct Entry {
    QTimer* timer;
    std::shared_ptr<Task> task;  // shared, so that a timer may stop itself while it runs
  };

  void Fire(TimerId id);

  QElapsedTimer clock_;
  std::map<TimerId, Entry> timers_;
  TimerId nextId_ = 1;
};

}  // namespace ui
