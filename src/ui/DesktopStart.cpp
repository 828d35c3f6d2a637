// SPDX-License-Identifier: MIT
#include "ui/DesktopStart.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>

#include "ui/PageScheme.h"

namespace ui {

void PrepareWebEngine() {
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterPageScheme();
}

void DesktopSession::Open(const app::StartupState& state, QtEventLoop& loop, QtDialogs& dialogs) {
  session = std::make_unique<app::DataSession>(state.DataFolder, loop, dialogs);
  dialogs.SetTitle(session->Settings().ProgramTitle);
  window = std::make_unique<MainWindow>(loop, *session, state);
  dialogs.SetParent(window.get());
  window->Controller().Start();
}

}  // namespace ui
