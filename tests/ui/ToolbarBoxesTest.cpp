// SPDX-License-Identifier: MIT
// The boxes of the window's toolbars: the keyword box narrows the headline list and keeps
// its history across a restart, and the address box follows the page's feeds.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "WindowFixture.h"
#include "present/HeadlineList.h"
#include "shell/BrowserTabs.h"
#include "support/LoopbackServer.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeView.h"
#include "ui/WebTabs.h"

namespace ui {
namespace {

class ToolbarBoxesTest : public testing::Test {
 protected:
  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(ToolbarBoxesTest, TheKeywordBoxNarrowsTheListTogglesWithCtrlYAndKeepsItsHistory) {
  MakeFolderWithTwoItems(dir, dialogs);
  {
    WindowOnFolder opened(dir, dialogs);
    MainWindow& window = opened.window;
    window.show();
    present::HeadlineList& list = window.Controller().Headlines();
    store::TTreeNodeExt* channel = opened.session.Tree().RootNode()->FirstChild();
    window.TreeView().SelectNode(channel);
    ASSERT_TRUE(ProcessUntil([&] { return list.SelectedNode() == channel && list.RowCount() == 2; }));

    // Full-width letters in the box still find the half-width title.
    QComboBox& box = window.KeywordBox();
    box.lineEdit()->setText(QString::fromUtf8("ＵＮＲＥＡＤ"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(ProcessUntil([&] { return list.RowCount() == 1; }));
    EXPECT_EQ(list.Item(0)->title, "unread");
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.itemText(0), QString::fromUtf8("ＵＮＲＥＡＤ"));

    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(ProcessUntil([&] { return list.RowCount() == 2; }));
    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(ProcessUntil([&] { return list.RowCount() == 1; }));
    EXPECT_TRUE(opened.Close());
  }
  WindowOnFolder again(dir, dialogs);
  ASSERT_EQ(again.window.KeywordBox().count(), 1);
  EXPECT_EQ(again.window.KeywordBox().itemText(0), QString::fromUtf8("ＵＮＲＥＡＤ"));
  EXPECT_TRUE(again.Close());
}

TEST_F(ToolbarBoxesTest, AnAddressTypedIntoTheBoxOpensAndAPageAnnouncingAFeedTurnsTheBoxYellow) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/plain", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><head><title>plain</title></head><body>no feed</body></html>", "text/html");
  });
  server.Routes().Get("/news/index.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(
        "<html><head><title>news</title>"
        "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"RSS\" href=\"feed.rdf\"></head>"
        "<body>news</body></html>",
        "text/html");
  });
  server.Start();
  MakeFolderWithTwoItems(dir, dialogs);
  WindowOnFolder opened(dir, dialogs);
  MainWindow& window = opened.window;
  window.show();
  shell::BrowserTabs& tabs = window.Controller().Tabs();
  QComboBox& box = window.AddressBox();
  const auto baseColour = [&box] { return box.lineEdit()->palette().color(QPalette::Base); };
  const int storedEntries = box.count();  // the default history
  EXPECT_TRUE(box.toolTip().startsWith(QString::fromUtf8("アドレスバー (Alt+D)")));

  for (const std::string path : {"/plain", "/news/index.html"}) {
    box.lineEdit()->setText(QString::fromStdString(server.Url(path)));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(ProcessUntil([&] {
      return window.Browser().Tabs().Location(tabs.ActiveView()) == server.Url(path) && !window.Browser().Busy();
    }));
  }
  ASSERT_TRUE(ProcessUntil([&] { return !tabs.ActiveFoundFeeds().empty(); }));
  EXPECT_EQ(tabs.ActiveFoundFeeds().front(), server.Url("/news/feed.rdf"));
  EXPECT_EQ(baseColour(), QColor(0xFF, 0xFF, 0xBE));
  EXPECT_TRUE(box.toolTip().startsWith(QString::fromUtf8("Feedデータを発見しました")));
  // Both addresses went into the history, the latest first.
  ASSERT_EQ(box.count(), storedEntries + 2);
  EXPECT_EQ(box.itemText(0).toStdString(), server.Url("/news/index.html"));
  EXPECT_EQ(box.itemText(1).toStdString(), server.Url("/plain"));

  // Leaving the page forgets its feeds.
  box.lineEdit()->setText(QString::fromStdString(server.Url("/plain")));
  QTest::keyClick(box.lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(ProcessUntil([&] { return tabs.ActiveFoundFeeds().empty() && baseColour() == QColor(Qt::white); }));
  EXPECT_TRUE(opened.Close());
}

}  // namespace
}  // namespace ui
