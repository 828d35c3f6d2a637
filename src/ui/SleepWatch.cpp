// SPDX-License-Identifier: MIT
#include "ui/SleepWatch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace ui {

SleepWatch::SleepWatch(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
  // Without a bus there is nothing to listen to; the program simply gets no power events.
  if (!bus_.isConnected()) return;
  // Naming the service makes the bus deliver the signal only from the login manager, so
  // another program cannot make this one believe the system goes to sleep.
  watching_ = bus_.connect(kService, kPath, kInterface, "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
  if (watching_) TakeSleepDelay();
}

SleepWatch::~SleepWatch() {
  if (watching_) bus_.disconnect(kService, kPath, kInterface, "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
}

void SleepWatch::ReleaseSleepDelay() {
  // Dropping the last copy of the descriptor closes it, which is how the lock is given back.
  delay_ = QDBusUnixFileDescriptor();
}

void SleepWatch::PrepareForSleep(bool start) {
  if (start) {
    sleeping_ = true;
    emit Suspending();
  } else {
    sleeping_ = false;
    // A lock still held here was never given back; it no longer delays anything, and the
    // next sleep gets a fresh one.
    ReleaseSleepDelay();
    TakeSleepDelay();
    emit Resumed();
  }
}

void SleepWatch::TakeSleepDelay() {
  if (pendingDelay_ != nullptr || HoldsSleepDelay()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
  call << QStringLiteral("sleep") << QStringLiteral("Plover") << QStringLiteral("Saving the feed data")
       << QStringLiteral("delay");
  // The answer is awaited without blocking: a slow login manager must not hold up the
  // window.
  pendingDelay_ = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(pendingDelay_, &QDBusPendingCallWatcher::finished, this, &SleepWatch::SleepDelayAnswered);
}

void SleepWatch::SleepDelayAnswered(QDBusPendingCallWatcher* call) {
  pendingDelay_ = nullptr;
  call->deleteLater();
  const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
  // A refusal only means the system will not wait for the save. A lock that arrives while
  // the system is already going to sleep is dropped at once: it would only hold the sleep
  // up without a save behind it.
  if (reply.isError() || sleeping_) return;
  delay_ = reply.value();
}

}  // namespace ui
