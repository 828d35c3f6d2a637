// SPDX-License-Identifier: MIT
// plover: the desktop program. The start-up finds the data folder, writes the built-in
// files, makes sure this is the only copy on that folder and, after a log-on start, waits
// its pause; then the main window takes over.
#include <unistd.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/DataSession.h"
#include "app/Startup.h"
#include "platform/InterruptWatch.h"
#include "ui/MainWindow.h"
#include "ui/PageScheme.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"
#include "ui/SleepWatch.h"

namespace {

constexpr int kSignalCheckMs = 200;

}  // namespace

int main(int argc, char** argv) {
  // The web engine's sandbox refuses to run as root; people who start the reader as root
  // (a container, a rescue system) still get their pages.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  // The web engine shares its drawing contexts with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The program's own pages have a scheme of their own, known before the engine starts.
  ui::RegisterPageScheme();
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  ui::QtEventLoop loop;
  ui::QtDialogs dialogs("Plover");
  std::unique_ptr<app::DataSession> session;
  std::unique_ptr<ui::MainWindow> window;

  app::Startup startup(loop, dialogs,
                       app::Startup::Callbacks{[&] {
                                                 const app::StartupState& state = startup.State();
                                                 session = std::make_unique<app::DataSession>(state.DataFolder, loop,
                                                                                              dialogs);
                                                 dialogs.SetTitle(session->Settings().ProgramTitle);
                                                 window = std::make_unique<ui::MainWindow>(loop, *session, state);
                                                 dialogs.SetParent(window.get());
                                                 window->Controller().Start();
                                               },
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
    window->Controller().EndProgram();
  });
  signalCheck.start(kSignalCheckMs);
  QObject::connect(&application, &QGuiApplication::commitDataRequest, [&](QSessionManager&) {
    if (window) window->Controller().EndProgram();
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
  session.reset();
  return status;
}
