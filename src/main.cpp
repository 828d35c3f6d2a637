// SPDX-License-Identifier: MIT
// plover: the desktop program. The start-up finds the data folder, writes the built-in
// files, makes sure this is the only copy on that folder and, after a log-on start, waits
// its pause; then the main window takes over.

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/Startup.h"
#include "platform/InterruptWatch.h"
#include "ui/DesktopStart.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"
#include "ui/SleepWatch.h"

namespace {

constexpr int kSignalCheckMs = 200;

}  // namespace

int main(int argc, char** argv) {
  ui::PrepareWebEngine();
  QApplication application(argc, argv);
  ui::SpeakJapanese(application);
  QApplication::setQuitOnLastWindowClosed(false);

  ui::QtEventLoop loop;
  ui::QtDialogs dialogs("Plover");
  ui::DesktopSession desktop;
  std::unique_ptr<ui::MainWindow>& window = desktop.window;

  app::Startup startup(loop, dialogs,
                       app::Startup::Callbacks{[&] { desktop.Open(startup.State(), loop, dialogs); },
                                               [&] {
                                                 if (window) window->ComeForward();
                                               }});
  app::StartupInputs inputs;
  inputs.ProgramFolder = app::RunningProgramFolder();
  inputs.Arguments.assign(argv + 1, argv + argc);
  inputs.AppDataFolder = app::AppDataFolder(app::ProcessEnvironment());
  inputs.Now = std::time(nullptr);
  if (startup.Run(inputs) != app::StartupOutcome::kGoOn) return 0;

  // SIGTERM, SIGHUP and the end of the desktop session end the program through its save
  // routine, as the end of a Windows session does.
  platform::InterruptWatch endSignals;
  QTimer signalCheck;
  QObject::connect(&signalCheck, &QTimer::timeout, [&] {
    if (!endSignals.Interrupted() || !window) return;
    signalCheck.stop();
    window->EndProgram();
  });
  signalCheck.start(kSignalCheckMs);
  QObject::connect(&application, &QGuiApplication::commitDataRequest, [&](QSessionManager&) {
    if (window) window->EndProgram();
  });

  // Before the system sleeps the program saves, and the login manager waits for that
  // save; after waking the periodic update starts again. Without a system bus (a
  // container, a session without logind) this stays silent.
  ui::SleepWatch sleep(QDBusConnection::systemBus());
  QObject::connect(&sleep, &ui::SleepWatch::Suspending, [&] {
    if (window) window->SystemSuspending();
    sleep.ReleaseSleepDelay();
  });
  QObject::connect(&sleep, &ui::SleepWatch::Resumed, [&] {
    if (window) window->SystemResumed();
  });

  const int status = QApplication::exec();
  window.reset();
  desktop.session.reset();
  return status;
}
