// SPDX-License-Identifier: MIT
// The main window comes up on a data folder, shows the tree and the headlines, updates
// from a server on the loopback address and saves when it is closed.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "support/LoopbackServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/ChannelTreeModel.h"
#include "ui/MainWindow.h"
#include "ui/QtEventLoop.h"

namespace ui {
namespace {

bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(MainWindowTest, ComesUpUpdatesShowsTheHeadlinesAndSavesOnClose) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>ニュース</title>"
        "<link>http://example.jp/</link><item><title>一</title><link>about:blank</link></item></channel></rss>",
        "application/rss+xml");
  });
  server.Start();
  testsupport::TempDir dir;
  // TrayRefreshMode 1: an update at start, and closing ends the program.
  testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=1\r\nKidokuTime=-1\r\n");
  QtEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  {
    app::DataSession earlier(dir.Path(), loop, dialogs);
    ASSERT_TRUE(earlier.Open(app::DataAccess::kReadWrite));
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = server.Url("/feed.xml");
    earlier.Tree().AddChild(earlier.Tree().RootNode(), "feed", store::kKindChannel, std::move(list));
    earlier.Store().SetModified();
    ASSERT_EQ(earlier.Save(false), store::SaveResult::kSaved);
    earlier.Close();
  }

  app::StartupState startup;
  app::DataSession session(dir.Path(), loop, dialogs);
  MainWindow window(loop, session, startup);
  window.Controller().Start();
  EXPECT_TRUE(window.isVisible());
  ASSERT_TRUE(ProcessUntil([&] { return window.Controller().Lifecycle().DataLoaded(); }));
  ASSERT_TRUE(ProcessUntil([&] { return !window.Controller().Run().Running(); }));
  EXPECT_EQ(session.Tree().RootNode()->ItemTotal(), 1);
  ASSERT_TRUE(ProcessUntil([&] { return window.Controller().Headlines().RowCount() == 1; }));

  QCloseEvent close;
  QCoreApplication::sendEvent(&window, &close);
  EXPECT_TRUE(close.isAccepted());
  EXPECT_TRUE(dialogs.shown.empty());
  app::DataSession next(dir.Path(), loop, dialogs);
  ASSERT_TRUE(next.Open(app::DataAccess::kReadOnly));
  EXPECT_EQ(next.Tree().RootNode()->ItemTotal(), 1);
}

}  // namespace
}  // namespace ui
