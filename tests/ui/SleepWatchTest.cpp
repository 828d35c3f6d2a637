// SPDX-License-Identifier: MIT
// The sleep watch against a real message bus of its own: a private dbus-daemon, with a
// small stand-in for the login manager that hands out delay locks (pipes whose far end
// shows when the lock is given back) and announces sleep and wake-up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "ui/SleepWatch.h"

namespace ui {
namespace {

// Processes Qt's events until `done` holds; the limit only keeps a broken test from hanging.
bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// A message bus daemon of the test's own, ended with the test.
class PrivateBus {
 public:
  static bool Available() { return !QStandardPaths::findExecutable("dbus-daemon").isEmpty(); }

  PrivateBus() {
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    QByteArray line;
    QElapsedTimer waited;
    waited.start();
    while (!line.endsWith('\n') && waited.elapsed() < 5000 && daemon_.waitForReadyRead(1000)) {
      line += daemon_.readAllStandardOutput();
    }
    address_ = QString::fromUtf8(line.trimmed());
  }
  ~PrivateBus() {
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000)) {
      daemon_.kill();
      daemon_.waitForFinished(3000);
    }
  }

  const QString& Address() const { return address_; }

 private:
  QProcess daemon_;
  QString address_;
};

// One connection to the private bus, closed with the object.
class BusClient {
 public:
  explicit BusClient(const QString& address)
      : name_(QStringLiteral("sleep-watch-test-%1").arg(++count_)),
        bus_(QDBusConnection::connectToBus(address, name_)) {}
  ~BusClient() { QDBusConnection::disconnectFromBus(name_); }

  QDBusConnection& Bus() { return bus_; }

  void EmitPrepareForSleep(bool start) {
    QDBusMessage signal =
        QDBusMessage::createSignal(SleepWatch::kPath, SleepWatch::kInterface, QStringLiteral("PrepareForSleep"));
    signal << start;
    bus_.send(signal);
  }

 private:
  static inline int count_ = 0;
  QString name_;
  QDBusConnection bus_;
};

struct InhibitCall {
  QString what;
  QString who;
  QString mode;
};

// The part of the login manager the watch uses. Each lock is the write end of a pipe; the
// read end stays here, and it reports a hang-up once every copy of the lock is closed.
class FakeLogind : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  explicit FakeLogind(bool refuseLocks) : refuseLocks_(refuseLocks) {}
  ~FakeLogind() override {
    for (int fd : readEnds_) ::close(fd);
  }

  const std::vector<InhibitCall>& Calls() const { return calls_; }
  size_t LocksGiven() const { return readEnds_.size(); }

  bool Released(size_t lock) const {
    pollfd watched{readEnds_.at(lock), POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & POLLHUP) != 0;
  }

 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
    Q_UNUSED(why);
    calls_.push_back({what, who, mode});
    if (refuseLocks_) {
      sendErrorReply(QDBusError::AccessDenied, QStringLiteral("not allowed"));
      return {};
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return {};
    QDBusUnixFileDescriptor lock(ends[1]);  // a copy of the write end goes out
    ::close(ends[1]);
    readEnds_.push_back(ends[0]);
    return lock;
  }

 private:
  bool refuseLocks_;
  std::vector<InhibitCall> calls_;
  std::vector<int> readEnds_;
};

class Counter : public QObject {
  Q_OBJECT

 public:
  int count = 0;

 public slots:
  void Count() { ++count; }
};

// The bus with the login manager's name and object on it, and the connection the watch
// listens on.
struct SleepBus {
  explicit SleepBus(bool refuseLocks) : logind(refuseLocks) {
    registered = daemon.Address().size() > 0 && logindClient.Bus().registerService(SleepWatch::kService) &&
                 logindClient.Bus().registerObject(SleepWatch::kPath, &logind, QDBusConnection::ExportAllSlots);
  }

  PrivateBus daemon;
  FakeLogind logind;
  BusClient logindClient{daemon.Address()};
  BusClient watchClient{daemon.Address()};
  bool registered = false;
};

constexpr char kNoDaemon[] = "dbus-daemon is not installed (Debian package dbus-daemon; tools/setup installs it)";

TEST(SleepWatchTest, HoldsTheDelayLockUntilTheSaveAndTakesItAgainAfterWakingUp) {
  if (!PrivateBus::Available()) GTEST_SKIP() << kNoDaemon;
  SleepBus bus(false);
  ASSERT_TRUE(bus.registered) << "no private bus, or the login manager's name was taken";
  ASSERT_TRUE(bus.watchClient.Bus().connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing);
  auto watch = std::make_unique<SleepWatch>(bus.watchClient.Bus());
  int suspending = 0;
  int resumed = 0;
  bool heldWhileSaving = false;
  QObject::connect(watch.get(), &SleepWatch::Suspending, [&] {
    ++suspending;
    heldWhileSaving = watch->HoldsSleepDelay();
  });
  QObject::connect(watch.get(), &SleepWatch::Resumed, [&] { ++resumed; });
  EXPECT_TRUE(watch->Watching());

  ASSERT_TRUE(ProcessUntil([&] { return watch->HoldsSleepDelay(); }));
  ASSERT_EQ(bus.logind.Calls().size(), 1u);
  EXPECT_EQ(bus.logind.Calls()[0].what, "sleep");
  EXPECT_EQ(bus.logind.Calls()[0].who, "Plover");
  EXPECT_EQ(bus.logind.Calls()[0].mode, "delay");
  EXPECT_FALSE(bus.logind.Released(0));

  bus.logindClient.EmitPrepareForSleep(true);
  ASSERT_TRUE(ProcessUntil([&] { return suspending == 1; }));
  EXPECT_TRUE(heldWhileSaving);
  EXPECT_FALSE(bus.logind.Released(0));  // the system still waits for the save
  watch->ReleaseSleepDelay();
  EXPECT_FALSE(watch->HoldsSleepDelay());
  EXPECT_TRUE(ProcessUntil([&] { return bus.logind.Released(0); }));

  bus.logindClient.EmitPrepareForSleep(false);
  ASSERT_TRUE(ProcessUntil([&] { return resumed == 1; }));
  ASSERT_TRUE(ProcessUntil([&] { return watch->HoldsSleepDelay(); }));
  ASSERT_EQ(bus.logind.LocksGiven(), 2u);
  EXPECT_FALSE(bus.logind.Released(1));
  EXPECT_EQ(suspending, 1);

  // A program that ends does not keep the next sleep waiting.
  watch.reset();
  EXPECT_TRUE(ProcessUntil([&] { return bus.logind.Released(1); }));
}

TEST(SleepWatchTest, WithoutALockStillReportsSleepButOnlyFromTheLoginManager) {
  if (!PrivateBus::Available()) GTEST_SKIP() << kNoDaemon;
  SleepBus bus(true);
  ASSERT_TRUE(bus.registered) << "no private bus, or the login manager's name was taken";
  SleepWatch watch(bus.watchClient.Bus());
  Counter suspending;
  Counter resumed;
  QObject::connect(&watch, &SleepWatch::Suspending, &suspending, &Counter::Count);
  QObject::connect(&watch, &SleepWatch::Resumed, &resumed, &Counter::Count);
  ASSERT_TRUE(ProcessUntil([&] { return bus.logind.Calls().size() == 1; }));

  // Another program sends the same signal, then a marker: when the marker has arrived, the
  // forged signal would have too.
  BusClient impostor(bus.daemon.Address());
  Counter marker;
  ASSERT_TRUE(bus.watchClient.Bus().connect(QString(), "/test", "org.plover.Test", "Mark", &marker, SLOT(Count())));
  // The match rule travels ahead of the connection's next call: once the bus has answered
  // one, it has the rule, and the marker cannot pass it by.
  ASSERT_TRUE(bus.watchClient.Bus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus")).isValid());
  impostor.EmitPrepareForSleep(true);
  impostor.Bus().send(QDBusMessage::createSignal("/test", "org.plover.Test", "Mark"));
  ASSERT_TRUE(ProcessUntil([&] { return marker.count == 1; }));
  EXPECT_EQ(suspending.count, 0);

  bus.logindClient.EmitPrepareForSleep(true);
  ASSERT_TRUE(ProcessUntil([&] { return suspending.count == 1; }));
  EXPECT_FALSE(watch.HoldsSleepDelay());
  watch.ReleaseSleepDelay();
  bus.logindClient.EmitPrepareForSleep(false);
  ASSERT_TRUE(ProcessUntil([&] { return resumed.count == 1; }));
  // Each wake-up tries for a lock again.
  EXPECT_TRUE(ProcessUntil([&] { return bus.logind.Calls().size() == 2; }));
  EXPECT_FALSE(watch.HoldsSleepDelay());
}

// Counts every message Qt prints while it lives.
class PrintedMessages {
 public:
  PrintedMessages() { previous_ = qInstallMessageHandler(&PrintedMessages::Handle); }
  ~PrintedMessages() { qInstallMessageHandler(previous_); }
  int Count() const { return count_; }

 private:
  static void Handle(QtMsgType, const QMessageLogContext&, const QString&) { ++count_; }

  static inline std::atomic<int> count_{0};
  QtMessageHandler previous_ = nullptr;
};

void ExpectSilence(const QDBusConnection& bus, bool watching) {
  PrintedMessages printed;
  const int before = printed.Count();
  {
    SleepWatch watch(bus);
    EXPECT_EQ(watch.Watching(), watching);
    // The refused lock (when there is a bus) comes back within this time.
    ProcessUntil([] { return false; }, 300);
    EXPECT_FALSE(watch.HoldsSleepDelay());
  }
  EXPECT_EQ(printed.Count(), before);
}

TEST(SleepWatchTest, ABusThatIsNotConnectedIsIgnoredSilently) {
  const QString name = QStringLiteral("sleep-watch-test-nowhere");
  const QDBusConnection bus = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), name);
  ASSERT_FALSE(bus.isConnected());
  ExpectSilence(bus, false);
  QDBusConnection::disconnectFromBus(name);
}

TEST(SleepWatchTest, ABusWithoutTheLoginManagerIsIgnoredSilently) {
  if (!PrivateBus::Available()) GTEST_SKIP() << kNoDaemon;
  PrivateBus daemon;
  BusClient client(daemon.Address());
  ASSERT_TRUE(client.Bus().isConnected());
  ExpectSilence(client.Bus(), true);
}

}  // namespace
}  // namespace ui

#include "SleepWatchTest.moc"
