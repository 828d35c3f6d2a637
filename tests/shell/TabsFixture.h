// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TabsFakes.h"
#include "settings/Settings.h"
#include "shell/BrowserTabs.h"
#include "shell/OtherBrowser.h"
#include "shell/PageAddress.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace shell::testing {

inline const std::string kSummary(kSummaryAddress);

// A tab list over fake views whose navigations the test lets happen (Settle), with an
// xdg-open on the search path of the other browser.
class TabsFixture : public ::testing::Test {
 protected:
  TabsFixture() {
    testsupport::WriteFile(dir / "bin/xdg-open", "#!/bin/sh\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
  }

  BrowserTabsServices Services(FakeTabsView& tabView) {
    return BrowserTabsServices{settings, loop, dialogs, tabView, host, commands, copies, other, dir.Path()};
  }

  // The engine's side of every navigation the views were asked for: each passes
  // BeforeNavigate as a load of the program's own and, when allowed, becomes what the
  // view shows.
  void Settle() { Settle(tabs, view, settled_); }
  static void Settle(BrowserTabs& list, FakeTabsView& tabView, size_t& settled) {
    for (; settled < tabView.navigations.size(); ++settled) {
      const FakeTabsView::Navigation navigation = tabView.navigations[settled];
      if (tabView.detached.count(navigation.view)) continue;
      if (list.BeforeNavigate(navigation.view, navigation.address, NavigationKind::kTyped, false)) {
        tabView.location[navigation.view] = navigation.address;
        list.LoadFinished(navigation.view);
      }
    }
  }

  // A navigation a page or the user starts in a view; true when it went ahead.
  bool Follow(ViewId target, const std::string& address, NavigationKind kind = NavigationKind::kLinkClicked,
              bool userInitiated = true) {
    const bool go = tabs.BeforeNavigate(target, address, kind, userInitiated);
    if (go) {
      view.location[target] = address;
      tabs.LoadFinished(target);
    }
    Settle();
    return go;
  }

  // The first tab, showing the summary.
  ViewId Start() {
    tabs.Start();
    Settle();
    return tabs.ActiveView();
  }

  // A new active tab right of the active one, showing `address`.
  ViewId OpenSite(const std::string& address) {
    const ViewId opened = tabs.OpenTab("", true, false);
    tabs.Navigate(opened, address, 0);
    Settle();
    return opened;
  }

  // The summary tab and one site tab per address, the last one active.
  std::vector<ViewId> StartWith(const std::vector<std::string>& sites) {
    std::vector<ViewId> views{Start()};
    for (const std::string& site : sites) views.push_back(OpenSite(site));
    return views;
  }

  std::vector<ViewId> ListViews() const {
    std::vector<ViewId> views;
    for (size_t i = 0; i < tabs.TabCount(); ++i) views.push_back(tabs.TabAt(i).view);
    return views;
  }

  // The tab row shows exactly the tab list, numbered from 0, with its active tab in front.
  void ExpectRowMirrorsList() const {
    ASSERT_EQ(view.row.size(), tabs.TabCount());
    for (size_t i = 0; i < tabs.TabCount(); ++i) {
      const BrowserTab& tab = tabs.TabAt(i);
      EXPECT_EQ(view.row[i], (FakeTabsView::RowTab{tab.view, tab.caption, tab.Locked})) << "tab " << i;
      EXPECT_EQ(tab.Tag, static_cast<int>(i));
    }
    EXPECT_EQ(view.rowActive, tabs.ActiveIndex());
    EXPECT_EQ(view.shown, tabs.ActiveView());
  }

  settings::Settings settings;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  testsupport::TempDir dir;
  FakeTabsView view;
  FakeHost host{settings.FormViewMode};
  FakePageCommands commands;
  FakeOfflineCopies copies;
  RecordingLauncher launcher;
  OtherBrowser other{launcher, dir.Path() + "bin"};
  BrowserTabs tabs{Services(view)};

 private:
  size_t settled_ = 0;
};

}  // namespace shell::testing
