// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <string>

#include "app/DataSession.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"
#include "ui/QtEventLoop.h"

namespace ui {

// Processes Qt's events until `done` holds. The time limit only keeps a broken test from
// hanging: a loaded machine under a sanitizer may take long, so it is far beyond any wait
// a passing test needs.
inline bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// Runs a script of the test in the program's own world of the view's page (it works with
// the page's scripts switched off) and waits for its result.
inline QVariant RunScript(QWebEngineView& view, const QString& script) {
  QVariant result;
  bool done = false;
  view.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  ProcessUntil([&] { return done; });
  return result;
}

// A window started on a data folder, through the start-up timer.
class WindowOnFolder {
 public:
  WindowOnFolder(const testsupport::TempDir& dir, testsupport::ScriptedDialogs& dialogs)
      : session(dir.Path(), loop, dialogs), window(loop, session, startup) {
    window.Controller().Start();
    EXPECT_TRUE(ProcessUntil([&] { return !window.Controller().Lifecycle().StartupRunning(); }));
  }

  bool Close() {
    QCloseEvent close;
    QCoreApplication::sendEvent(&window, &close);
    return close.isAccepted();
  }

  QtEventLoop loop;
  app::StartupState startup;
  app::DataSession session;
  MainWindow window;
};

// A folder holding one channel with an unread and a read item (linked to `links` when
// given); nothing is updated at start and closing ends the program. `settings` follows
// the lines of the main settings section: more of its keys, then other sections.
inline void MakeFolderWithTwoItems(const testsupport::TempDir& dir, testsupport::ScriptedDialogs& dialogs,
                                   const std::string& settings = "", const std::string& link = "") {
  testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=0\r\nKidokuTime=-1\r\n" + settings);
  QtEventLoop loop;
  app::DataSession earlier(dir.Path(), loop, dialogs);
  ASSERT_TRUE(earlier.Open(app::DataAccess::kReadWrite));
  store::TTreeNodeExt* node = earlier.Tree().AddChild(earlier.Tree().RootNode(), "feed", store::kKindChannel,
                                                      std::make_unique<store::TSiteList>());
  for (uint8_t read : {uint8_t{0}, uint8_t{1}}) {
    store::TSiteRecord item;
    item.title = read != 0 ? "read" : "unread";
    item.desc = "about " + item.title;
    item.link = link.empty() ? std::string() : link + item.title;
    item.read = read;
    earlier.Store().AddItemToChannel(*node->Data(), item);
  }
  ASSERT_EQ(earlier.Save(false), store::SaveResult::kSaved);
  earlier.Close();
}

}  // namespace ui
