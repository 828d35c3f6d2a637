// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <memory>

#include "app/DataSession.h"
#include "app/Startup.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"

namespace ui {

// What the web engine needs before the QApplication exists: no sandbox when started as
// root (a container, a rescue system), drawing contexts shared with the widgets, and the
// scheme of the program's own pages.
// The engine is also told to speak Japanese.
void PrepareWebEngine();

// Right after the QApplication exists: Qt's own texts in Japanese.
void SpeakJapanese(QCoreApplication& application);

// The data session and the main window of the desktop program, made once the start-up
// has found the data folder.
struct DesktopSession {
  std::unique_ptr<app::DataSession> session;
  std::unique_ptr<MainWindow> window;

  // Opens the data folder of `state`, makes the window and starts its life.
  void Open(const app::StartupState& state, QtEventLoop& loop, QtDialogs& dialogs);
};

}  // namespace ui
