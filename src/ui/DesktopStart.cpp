// SPDX-License-Identifier: MIT
#include "ui/DesktopStart.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <string>

#include "ui/PageScheme.h"

namespace ui {

void PrepareWebEngine() {
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  // The engine's error pages, menus and status texts follow the program's language, not
  // the machine's locale (often C.UTF-8, which would make them English).
  const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
  std::string engineFlags = flags != nullptr ? flags : "";
  if (engineFlags.find("--lang=") == std::string::npos) {
    engineFlags += engineFlags.empty() ? "--lang=ja" : " --lang=ja";
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", engineFlags.c_str(), 1);
  }
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterPageScheme();
}

void SpeakJapanese(QCoreApplication& application) {
  // Qt's own texts (the buttons of message boxes, the file choosers, the context menus of
  // edit boxes) in Japanese whatever the locale.
  auto* translator = new QTranslator(&application);
  if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

void DesktopSession::Open(const app::StartupState& state, QtEventLoop& loop, QtDialogs& dialogs) {
  session = std::make_unique<app::DataSession>(state.DataFolder, loop, dialogs);
  dialogs.SetTitle(session->Settings().ProgramTitle);
  window = std::make_unique<MainWindow>(loop, *session, state);
  dialogs.SetParent(window.get());
  window->Start();
}

}  // namespace ui
