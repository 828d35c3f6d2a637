// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

class QDBusPendingCallWatcher;

namespace ui {

// Tells the program when the system is about to sleep and when it has woken up, from the
// PrepareForSleep signal of the login manager (logind) on the given bus. On a bus that is
// not connected, or one without the login manager, it stays silent and prints nothing.
//
// So that the save before sleeping can finish, the watch holds a "delay" lock of the login
// manager while the system is awake: the system waits (a few seconds at most) until the
// lock is given back. Whoever saves on Suspending calls ReleaseSleepDelay when the save is
// done; the lock is taken again after each wake-up. When the lock cannot be had, the
// signals still come, only without the wait.
class SleepWatch : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kService = "org.freedesktop.login1";
  static constexpr const char* kPath = "/org/freedesktop/login1";
  static constexpr const char* kInterface = "org.freedesktop.login1.Manager";

  explicit SleepWatch(QDBusConnection bus, QObject* parent = nullptr);
  ~SleepWatch() override;

  // True when the bus was connected and the signal is being listened to.
  bool Watching() const { return watching_; }
  // True while the delay lock is held.
  bool HoldsSleepDelay() const { return delay_.isValid(); }
  // Gives the delay lock back, so that the system may go to sleep now. Harmless when no
  // lock is held.
  void ReleaseSleepDelay();

 signals:
  // The system is about to suspend or hibernate.
  void Suspending();
  // The system has woken up again.
  void Resumed();

 private slots:
  void PrepareForSleep(bool start);

 private:
  void TakeSleepDelay();
  void SleepDelayAnswered(QDBusPendingCallWatcher* call);

  QDBusConnection bus_;
  bool watching_ = false;
  bool sleeping_ = false;
  QDBusPendingCallWatcher* pendingDelay_ = nullptr;
  QDBusUnixFileDescriptor delay_;
};

}  // namespace ui
