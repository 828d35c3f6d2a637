// SPDX-License-Identifier: MIT
// The headline pages in the window's browser tabs: a page renders from the style, its
// protection mark works without a reload, sites open by the tab rules, and tabs come back
// after a restart.
#include <gtest/gtest.h>

#include <QWebEngineView>

#include "WindowFixture.h"
#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"
#include "support/LoopbackServer.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeView.h"
#include "ui/WebTabs.h"

namespace ui {
namespace {

class BrowserWindowTest : public testing::Test {
 protected:
  BrowserWindowTest() {
    server.Routes().Get(R"(/(\w+))", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content("<html><head><title>" + request.matches[1].str() + "</title></head><body>site</body></html>",
                           "text/html");
    });
    server.Start();
  }

  // Selects the channel in the tree and waits until the active view shows its headline
  // page (the unread headline's text is on it).
  static bool SelectChannel(WindowOnFolder& opened) {
    MainWindow& window = opened.window;
    store::TTreeNodeExt* channel = opened.session.Tree().RootNode()->FirstChild();
    window.TreeView().SelectNode(channel);
    return ProcessUntil([&] {
      QWebEngineView* view = window.Browser().ActiveView();
      return window.Controller().Headlines().SelectedNode() == channel && view != nullptr &&
             window.Browser().ShowsSummary() && !window.Browser().Busy() &&
             RunScript(*view, QStringLiteral("document.body ? document.body.innerHTML : ''"))
                 .toString()
                 .contains(QLatin1String("about unread"));
    });
  }

  testsupport::LoopbackServer server;
  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(BrowserWindowTest, TheProtectionMarkWorksOnTheShownPageWithoutAReload) {
  MakeFolderWithTwoItems(dir, dialogs, "[Sz_ViewMode]\r\nFormViewMode=4\r\n");
  WindowOnFolder opened(dir, dialogs);
  MainWindow& window = opened.window;
  ASSERT_TRUE(SelectChannel(opened));
  QWebEngineView& view = *window.Browser().ActiveView();
  EXPECT_TRUE(
      RunScript(view, QStringLiteral("document.body.innerHTML")).toString().contains(QLatin1String("about unread")));

  ASSERT_FALSE(window.Controller().Headlines().Page().PageList.empty());
  store::TSiteRecord* unread = window.Controller().Headlines().Page().PageList.front();
  ASSERT_EQ(unread->title, "unread");
  RunScript(view, QStringLiteral("window.notReloaded = true;"));
  RunScript(view, QStringLiteral("document.querySelector('a[href=\"varnholt:hrfeed_check#0\"]').click();"));
  ASSERT_TRUE(ProcessUntil([&] { return unread->read == store::kStateProtected; }));
  EXPECT_TRUE(ProcessUntil([&] {
    return RunScript(view, QStringLiteral("document.getElementsByName('rec0')[0].src"))
        .toString()
        .endsWith(QLatin1String("/system/flag_p.gif"));
  }));
  EXPECT_TRUE(RunScript(view, QStringLiteral("window.notReloaded === true")).toBool());
  EXPECT_TRUE(opened.Close());
}

TEST_F(BrowserWindowTest, SitesOpenBehindUnderTabLockTwoAndComeBackAfterARestart) {
  MakeFolderWithTwoItems(dir, dialogs, "LinkOpen=0\r\n[Sz_ViewMode]\r\nTabLock=2\r\nRestoreTab=2\r\n", server.Url("/"));
  {
    WindowOnFolder opened(dir, dialogs);
    MainWindow& window = opened.window;
    ASSERT_TRUE(SelectChannel(opened));
    shell::BrowserTabs& tabs = window.Controller().Tabs();
    RunScript(*window.Browser().ActiveView(), QStringLiteral("document.querySelector('a.anchor_item_title').click();"));
    ASSERT_TRUE(ProcessUntil([&] { return tabs.TabCount() == 2 && tabs.TabAt(1).caption == "unread"; }));
    EXPECT_EQ(tabs.ActiveIndex(), 0);  // the headline page keeps its tab and the focus
    EXPECT_TRUE(tabs.ShowsSummary(tabs.ActiveView()));
    EXPECT_TRUE(opened.Close());
  }
  ASSERT_TRUE(testsupport::FileExists(dir / "plover.tab"));
  WindowOnFolder again(dir, dialogs);
  shell::BrowserTabs& tabs = again.window.Controller().Tabs();
  ASSERT_TRUE(ProcessUntil([&] { return tabs.TabCount() == 2 && tabs.TabAt(1).caption == "unread"; }));
  EXPECT_EQ(again.window.Browser().Tabs().Location(tabs.TabAt(1).view), server.Url("/unread"));
  EXPECT_TRUE(again.Close());
}

}  // namespace
}  // namespace ui
