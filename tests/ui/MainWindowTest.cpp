// SPDX-License-Identifier: MIT
// The main window comes up on a data folder, shows the tree and the headlines, updates
// from a server on the loopback address and saves when it is closed.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <map>
#include <memory>

#include "WindowFixture.h"
#include "settings/IniFile.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeModel.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/MainWindow.h"
#include "ui/QtEventLoop.h"
#include "ui/UpdateProgress.h"

namespace ui {
namespace {

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

TEST(MainWindowTest, ViewModeFiltersToolbarsAndPaneSizesAreKeptAcrossARestart) {
  int standardListHeight = 0;
  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
  MakeFolderWithTwoItems(dir, dialogs);
  {
    WindowOnFolder first(dir, dialogs);
    MainWindow& window = first.window;
    ASSERT_TRUE(ProcessUntil([&] { return window.Controller().Headlines().RowCount() == 2; }));

    standardListHeight = window.ListView().height();
    ASSERT_GT(standardListHeight, 0);
    QAction* listMode = window.FindCommand(QString::fromUtf8("リストモード"));
    ASSERT_NE(listMode, nullptr);
    listMode->trigger();
    // List mode gives the list the browser's place.
    ASSERT_TRUE(ProcessUntil([&] { return window.ListView().height() > standardListHeight; }));
    EXPECT_TRUE(listMode->isChecked());
    EXPECT_FALSE(window.Browser().isVisibleTo(&window));
    EXPECT_TRUE(window.ListView().isVisibleTo(&window));

    // The box and the menu choose the same filter and show each other's choice.
    emit window.ReadFilterBox().activated(2);  // unread only
    EXPECT_EQ(window.Controller().Headlines().RowCount(), 1u);
    QAction* protectedOnly = window.FindCommand(QString::fromUtf8("保護"));
    ASSERT_NE(protectedOnly, nullptr);
    protectedOnly->trigger();
    EXPECT_EQ(window.ReadFilterBox().currentIndex(), 3);
    EXPECT_EQ(window.Controller().Headlines().RowCount(), 0u);

    auto* modes = window.findChild<QToolBar*>(QStringLiteral("Toolbar_Mode"));
    ASSERT_NE(modes, nullptr);
    window.addToolBar(Qt::BottomToolBarArea, modes);
    EXPECT_TRUE(first.Close());
  }
  settings::IniFile ini;
  ASSERT_TRUE(ini.Load(dir.Path() + "plover.ini"));
  EXPECT_EQ(ini.ReadString("Sz_List_Toolbar_Mode", "DockedTo", ""), "Dock_Bottom");
  EXPECT_EQ(ini.ReadString("Sz_Toolbar_Mode", "DockedTo", ""), "Dock_Top");
  EXPECT_TRUE(ini.SectionExists("Sz_RssMainForm"));
  // The window went into hiding in list mode: the list's height is standard mode's.
  EXPECT_EQ(ini.ReadInteger("Sz_PL_List", "szHeight", 0), standardListHeight);

  WindowOnFolder second(dir, dialogs);
  MainWindow& window = second.window;
  EXPECT_FALSE(window.Browser().isVisibleTo(&window));
  auto* modes = window.findChild<QToolBar*>(QStringLiteral("Toolbar_Mode"));
  EXPECT_EQ(window.toolBarArea(modes), Qt::BottomToolBarArea);
  EXPECT_EQ(window.ReadFilterBox().currentIndex(), 3);
  // Back to standard mode: its own toolbar layout and all three panes.
  window.FindCommand(QString::fromUtf8("リストモード"))->trigger();
  EXPECT_EQ(window.toolBarArea(modes), Qt::TopToolBarArea);
  EXPECT_TRUE(window.Browser().isVisibleTo(&window));
  EXPECT_EQ(window.ListView().height(), standardListHeight);
  EXPECT_TRUE(second.Close());
}

// A window on a folder of one channel with two items, as most tests here want it.
class OpenedWindowTest : public testing::Test {
 protected:
  static bool Made(const testsupport::TempDir& folder, testsupport::ScriptedDialogs& answers) {
    MakeFolderWithTwoItems(folder, answers);
    return true;
  }

  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
  bool made = Made(dir, dialogs);
  WindowOnFolder opened{dir, dialogs};
};

TEST_F(OpenedWindowTest, TheChannelCommandsEditTheTreeAndAreWithdrawnDuringAnUpdate) {
  MainWindow& window = opened.window;
  store::TChannelTree& tree = opened.session.Tree();
  QAction* newGroup = window.FindCommand(QString::fromUtf8("グループの追加"));
  ASSERT_NE(newGroup, nullptr);
  newGroup->trigger();
  ASSERT_EQ(tree.RootNode()->ChildCount(), 2u);
  EXPECT_TRUE(window.TreeView().IsEditing());  // the new group's caption is edited at once
  window.TreeView().setFocus();

  window.Progress().LockUserInterface(true, false);
  EXPECT_FALSE(newGroup->isEnabled());
  EXPECT_FALSE(window.FindCommand(QString::fromUtf8("削除"))->isEnabled());
  window.Progress().UnlockUserInterface();
  EXPECT_TRUE(newGroup->isEnabled());
  EXPECT_TRUE(opened.Close());
}

TEST_F(OpenedWindowTest, EveryMenuGivesEachAccessKeyToOneEntry) {
  const QList<QMenu*> menus = opened.window.findChildren<QMenu*>();
  ASSERT_GT(menus.size(), 5);
  for (const QMenu* menu : menus) {
    std::map<QChar, QString> keys;
    for (const QAction* action : menu->actions()) {
      const QString text = action->text();
      const qsizetype amp = text.indexOf(QLatin1Char('&'));
      if (amp < 0 || amp + 1 >= text.size()) continue;
      const QChar key = text.at(amp + 1).toUpper();
      const auto [at, fresh] = keys.emplace(key, text);
      EXPECT_TRUE(fresh) << menu->title().toStdString() << ": " << at->second.toStdString() << " / "
                         << text.toStdString();
    }
  }
  EXPECT_TRUE(opened.Close());
}

TEST_F(OpenedWindowTest, F2RenamesInTheTreeAndUpdatesEverywhereElse) {
  MainWindow& window = opened.window;
  QApplication::setActiveWindow(&window);
  settings::Settings& settings = opened.session.Settings();
  window.TreeView().SelectNode(opened.session.Tree().RootNode()->FirstChild());
  window.TreeView().setFocus();
  QTest::keyClick(&window.TreeView(), Qt::Key_F2);
  EXPECT_TRUE(window.TreeView().IsEditing());
  EXPECT_EQ(settings.RefreshTime, 0);  // no run visited a channel
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(window.TreeView().IsEditing());

  window.ListView().setFocus();
  QTest::keyClick(&window.ListView(), Qt::Key_F2);
  ASSERT_TRUE(ProcessUntil([&] { return !window.Controller().Run().Running(); }));
  EXPECT_NE(settings.RefreshTime, 0);
  // The run's caption is gone again, from the window and from the program's name.
  EXPECT_EQ(window.windowTitle(), QString::fromStdString(settings.ProgramTitle));
  EXPECT_FALSE(QGuiApplication::applicationDisplayName().contains(QString::fromUtf8("更新中")));
  EXPECT_TRUE(opened.Close());
}

}  // namespace
}  // namespace ui
