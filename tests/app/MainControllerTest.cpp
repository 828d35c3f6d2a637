// SPDX-License-Identifier: MIT
// The rules behind the main window wired together, without a window: a start that
// updates against a server on the loopback address, the headline list of the result, and
// the end that saves it.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/MainController.h"
#include "present/HeadlineFakes.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

class QuietWindow : public MainWindowView {
 public:
  void SetTitle(const std::string&) override {}
  void ApplyStoredLayout() override {}
  void ShowWindow() override { shown = true; }
  void HideWindow() override {}
  bool IsMinimised() const override { return false; }
  void MinimiseToTray() override {}
  void ShowTrayIcon(bool) override {}
  void StopTrayAnimation() override {}
  void SelectRootNode() override {}
  void StopViewTimers() override {}
  void CloseAllTabs() override {}
  void EndApplication() override { ended = true; }
  bool shown = false;
  bool ended = false;
};

constexpr char kFeed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>ニュース</title>"
    "<link>http://example.jp/</link><item><title>一</title><link>http://example.jp/1</link></item>"
    "<item><title>二</title><link>http://example.jp/2</link></item></channel></rss>";

class MainControllerTest : public testing::Test {
 protected:
  MainControllerTest() {
    server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFeed, "application/rss+xml");
    });
    server.Start();
  }

  // A saved data folder with one channel on the test server; the program updates at start.
  void MakeFolder() {
    testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=1\r\n");
    DataSession earlier(dir.Path(), loop, dialogs);
    ASSERT_TRUE(earlier.Open(DataAccess::kReadWrite));
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = server.Url("/feed.xml");
    earlier.Tree().AddChild(earlier.Tree().RootNode(), "feed", store::kKindChannel, std::move(list));
    earlier.Store().SetModified();
    ASSERT_EQ(earlier.Save(false), store::SaveResult::kSaved);
    earlier.Close();
  }

  // Runs the loop, its clock and the workers' threads until the update run is over.
  bool RunUntilIdle(MainController& controller) {
    for (int i = 0; i < 500; ++i) {
      loop.Advance(fetch::UpdateRun::kWaitIntervalMs);
      if (!controller.Run().Running()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  testsupport::LoopbackServer server;
  QuietWindow window;
  fetch::UpdateRunView runView;
  present::testing::FakeView headlines;
  present::testing::FakeRenderer pages;
  present::testing::FakeOpener opener;
  store::TreeEditHost treeHost;
  fetch::ModifierKeys keys;
};

TEST_F(MainControllerTest, AStartUpdatesShowsTheHeadlinesAndTheEndSavesThem) {
  MakeFolder();
  StartupState startup;
  DataSession session(dir.Path(), loop, dialogs);
  MainController controller(loop, session, startup,
                            MainViews{window, runView, headlines, pages, opener, treeHost, keys});
  controller.Start();
  EXPECT_TRUE(window.shown);
  loop.Advance(1);  // the start-up timer: data, then the update of TrayRefreshMode 1
  ASSERT_TRUE(controller.Lifecycle().DataLoaded());
  ASSERT_TRUE(controller.Run().Running());
  ASSERT_TRUE(RunUntilIdle(controller));
  EXPECT_EQ(server.Requests().size(), 1u);

  store::TTreeNodeExt* root = session.Tree().RootNode();
  EXPECT_EQ(root->UnreadTotal(), 2);
  controller.TreeSelectionChanged(root);
  EXPECT_EQ(controller.Headlines().RowCount(), 2u);
  EXPECT_EQ(headlines.rows, 2u);
  // The selected headline may have been read already (the read delay of the settings).
  const int32_t unread = root->UnreadTotal();

  EXPECT_TRUE(controller.CloseRequested());  // TrayRefreshMode 1 ends on close
  EXPECT_TRUE(window.ended);
  EXPECT_FALSE(testsupport::FileExists(dir / "system/recovery.dat"));
  DataSession next(dir.Path(), loop, dialogs);
  ASSERT_TRUE(next.Open(DataAccess::kReadOnly));
  EXPECT_EQ(next.Tree().RootNode()->ItemTotal(), 2);
  EXPECT_EQ(next.Tree().RootNode()->UnreadTotal(), unread);
  EXPECT_NE(next.Settings().RefreshTime, 0);  // the settings were saved with the run's time
}

}  // namespace
}  // namespace app
