// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TabsFixture.h"
#include "shell/private/TabCaption.h"
#include "text/Literal.h"

namespace shell::testing {
namespace {

using TabListTest = TabsFixture;

TEST_F(TabListTest, StartShowsOneSummaryTabWithoutTabRow) {
  const ViewId first = Start();
  ASSERT_EQ(tabs.TabCount(), 1u);
  EXPECT_EQ(view.location[first], kSummary);
  EXPECT_TRUE(tabs.ShowsSummary(first));
  EXPECT_EQ(tabs.TabAt(0).caption, kSummary);
  EXPECT_FALSE(view.rowVisible);
  EXPECT_EQ(view.windowCaption, "Plover");
  EXPECT_EQ(view.addressText, "");
  ExpectRowMirrorsList();
}

struct CloseCase {
  const char* name;
  int active;  // of the tabs 0, 1, 2
  bool tabDelLeft;
  int takesOver;  // the tab (by its position before the close) that becomes active
};

class CloseActiveTabTest : public TabsFixture, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseActiveTabTest, ActivatesTheNeighbourTheRuleNames) {
  const CloseCase& c = GetParam();
  settings.TabDelLeft = c.tabDelLeft;
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.ActivateTab(c.active);
  tabs.CloseTab(c.active);
  EXPECT_EQ(tabs.ActiveView(), views[static_cast<size_t>(c.takesOver)]);
  EXPECT_EQ(view.focused, views[static_cast<size_t>(c.takesOver)]);
  std::vector<ViewId> left = views;
  left.erase(left.begin() + c.active);
  EXPECT_EQ(ListViews(), left);
  EXPECT_EQ(view.detached, std::set<ViewId>{views[static_cast<size_t>(c.active)]});
  ExpectRowMirrorsList();
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseActiveTabTest,
                         ::testing::Values(CloseCase{"LastTabGoesLeft", 2, false, 1},
                                           CloseCase{"MiddleGoesRightWithoutTabDelLeft", 1, false, 2},
                                           CloseCase{"MiddleGoesLeftWithTabDelLeft", 1, true, 0},
                                           CloseCase{"FirstGoesRightEvenWithTabDelLeft", 0, true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TabListTest, ClosingAnInactiveTabKeepsTheActiveOne) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.CloseTab(0);
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{views[1], views[2]}));
  EXPECT_EQ(tabs.ActiveView(), views[2]);
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, CloseTabRefusesTheLastTabBadIndexesAndLockedTabs) {
  const ViewId first = Start();
  tabs.CloseTab(0);
  EXPECT_EQ(ListViews(), std::vector<ViewId>{first});
  const ViewId site = OpenSite("http://a.example/");
  for (int index : {-1, 2, 99}) tabs.CloseTab(index);
  tabs.ToggleTabLock(1);
  tabs.CloseTab(1);
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{first, site}));
  EXPECT_TRUE(view.detached.empty());
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, LockedTabSurvivesEveryWayOfClosing) {
  using Closer = std::function<void(BrowserTabs&, ViewId locked)>;
  const std::vector<std::pair<const char*, Closer>> closers = {
      {"close all others", [](BrowserTabs& list, ViewId) { list.CloseOtherTabs(OtherTabs::kAll); }},
      {"close right", [](BrowserTabs& list, ViewId) { list.CloseOtherTabs(OtherTabs::kRight); }},
      {"close left", [](BrowserTabs& list, ViewId) { list.CloseOtherTabs(OtherTabs::kLeft); }},
      {"window.close inactive", [](BrowserTabs& list, ViewId locked) { list.WindowCloseRequested(locked); }},
      {"ctrl click",
       [](BrowserTabs& list, ViewId locked) { list.TabClicked(list.IndexOf(locked), TabClick::kLeft, false, true); }},
      {"middle click", [](BrowserTabs& list,
                          ViewId locked) { list.TabClicked(list.IndexOf(locked), TabClick::kMiddle, false, false); }},
      {"window.close active",
       [](BrowserTabs& list, ViewId locked) {
         list.ActivateTab(list.IndexOf(locked));
         list.WindowCloseRequested(locked);
       }},
  };
  for (const auto& [name, close] : closers) {
    for (int lockedAt : {0, 2}) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(lockedAt));
      FakeTabsView freshView;
      BrowserTabs list(Services(freshView));
      list.Start();
      for (int i = 0; i < 2; ++i) list.OpenTab("", true, false);
      list.ActivateTab(1);
      const ViewId locked = list.TabAt(static_cast<size_t>(lockedAt)).view;
      list.ToggleTabLock(lockedAt);
      close(list, locked);
      ASSERT_GE(list.IndexOf(locked), 0);
      EXPECT_TRUE(list.TabAt(static_cast<size_t>(list.IndexOf(locked))).Locked);
      EXPECT_FALSE(freshView.detached.count(locked));
      EXPECT_EQ(freshView.navigations.size(), 1u) << "the locked tab was not reset either";
    }
  }
}

TEST_F(TabListTest, CloseOtherTabsKeepsTheActiveTabAndTheOtherSide) {
  struct Case {
    OtherTabs which;
    std::vector<int> kept;  // positions of the five tabs, the active one at 2
  };
  for (const Case& c :
       {Case{OtherTabs::kAll, {2}}, Case{OtherTabs::kRight, {0, 1, 2}}, Case{OtherTabs::kLeft, {2, 3, 4}}}) {
    SCOPED_TRACE(static_cast<int>(c.which));
    FakeTabsView freshView;
    BrowserTabs list(Services(freshView));
    list.Start();
    std::vector<ViewId> views{list.ActiveView()};
    for (int i = 0; i < 4; ++i) views.push_back(list.OpenTab("", true, false));
    list.ActivateTab(2);
    list.CloseOtherTabs(c.which);
    std::vector<ViewId> expected;
    for (int position : c.kept) expected.push_back(views[static_cast<size_t>(position)]);
    std::vector<ViewId> left;
    for (size_t i = 0; i < list.TabCount(); ++i) left.push_back(list.TabAt(i).view);
    EXPECT_EQ(left, expected);
    EXPECT_EQ(list.ActiveView(), views[2]);
    EXPECT_EQ(freshView.RowViews(), expected);
    EXPECT_EQ(freshView.rowActive, list.ActiveIndex());
    EXPECT_EQ(freshView.detached.size(), 5 - expected.size());
  }
}

TEST_F(TabListTest, TabRowShowsForTwoTabsOrOneLockedTab) {
  Start();
  EXPECT_FALSE(view.rowVisible);
  tabs.ToggleTabLock(0);
  EXPECT_TRUE(view.rowVisible);
  EXPECT_TRUE(view.row[0].locked);
  tabs.ToggleTabLock(0);
  EXPECT_FALSE(view.rowVisible);
  OpenSite("http://a.example/");
  EXPECT_TRUE(view.rowVisible);
  tabs.CloseTab(1);
  EXPECT_FALSE(view.rowVisible);
}

TEST_F(TabListTest, ClosedViewsAreDestroyedNewestFirstThreeSecondsAfterTheLastClose) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/", "http://c.example/"});
  tabs.CloseTab(3);
  loop.Advance(2000);
  tabs.CloseTab(1);
  EXPECT_EQ(tabs.DeleteList(), (std::vector<ViewId>{views[3], views[1]}));
  loop.Advance(2999);
  EXPECT_TRUE(view.destroyed.empty());
  loop.Advance(1);
  EXPECT_EQ(view.destroyed, (std::vector<ViewId>{views[1], views[3]}));
  EXPECT_TRUE(tabs.DeleteList().empty());
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
}

TEST_F(TabListTest, ClosedViewsReportNothingMore) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.CloseTab(1);
  const std::vector<FakeTabsView::RowTab> row = view.row;
  EXPECT_FALSE(tabs.BeforeNavigate(views[1], "http://c.example/", NavigationKind::kLinkClicked, true));
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "http://c.example/", true), kNoView);
  tabs.TitleChanged(views[1], "Gone");
  tabs.WindowCloseRequested(views[1]);
  EXPECT_EQ(view.row, row);
  EXPECT_EQ(tabs.TabCount(), 2u);
}

TEST_F(TabListTest, OpenTabPlacesTheTabByTabAddAndAtFront) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.ActivateTab(0);
  const ViewId right = tabs.OpenTab("", true, false);
  EXPECT_EQ(tabs.IndexOf(right), 1);
  settings.TabAdd = true;
  tabs.ActivateTab(0);
  const ViewId end = tabs.OpenTab("", true, false);
  EXPECT_EQ(tabs.IndexOf(end), 4);
  const ViewId front = tabs.OpenTab("", true, true);
  EXPECT_EQ(tabs.IndexOf(front), 0);
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{front, views[0], right, views[1], views[2], end}));
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, OpenTabTakesTheFocusUnlessBehaviourTwoAndNoFocus) {
  const ViewId first = Start();
  settings.TabLock = settings::TabBehaviour::kNewInBackground;
  const ViewId behind = tabs.OpenTab("Loading...", false, false);
  EXPECT_EQ(tabs.ActiveView(), first);
  EXPECT_EQ(view.rowActive, 0);
  const ViewId focused = tabs.OpenTab("Loading...", true, false);
  EXPECT_EQ(tabs.ActiveView(), focused);
  settings.TabLock = settings::TabBehaviour::kNormal;
  const ViewId normal = tabs.OpenTab("Loading...", false, false);
  EXPECT_EQ(tabs.ActiveView(), normal);
  EXPECT_EQ(view.securityApplied[behind], 1);
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, CycleWrapsRoundAndMoveKeepsTheActiveTab) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.CycleTab(0);
  EXPECT_EQ(tabs.ActiveView(), views[0]);
  tabs.CycleTab(1);
  EXPECT_EQ(tabs.ActiveView(), views[2]);
  tabs.CycleTab(1);
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  tabs.TabDropped(1);  // onto itself
  EXPECT_EQ(ListViews(), views);
  tabs.TabDropped(0);
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{views[1], views[0], views[2]}));
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  tabs.MoveTab(0, 2);
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{views[0], views[2], views[1]}));
  tabs.MoveTab(0, 3);  // beyond the list
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, MouseOnTheTabRow) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/", "http://c.example/"});
  tabs.TabClicked(1, TabClick::kLeft, false, false);
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  tabs.TabClicked(2, TabClick::kRight, false, false);
  EXPECT_EQ(tabs.ActiveView(), views[2]);
  tabs.TabClicked(0, TabClick::kLeftDouble, false, false);
  EXPECT_TRUE(tabs.TabAt(0).Locked);
  tabs.TabClicked(3, TabClick::kLeft, true, false);  // Shift on an inactive tab only activates it
  EXPECT_EQ(tabs.TabCount(), 4u);
  EXPECT_EQ(tabs.ActiveView(), views[3]);
  tabs.TabClicked(1, TabClick::kLeft, false, false);
  tabs.TabClicked(1, TabClick::kLeft, true, false);  // Shift on the active tab closes those right of it
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{views[0], views[1]}));
  tabs.TabClicked(1, TabClick::kMiddle, false, false);
  EXPECT_EQ(ListViews(), std::vector<ViewId>{views[0]});
  ExpectRowMirrorsList();
}

TEST(TabCaptionTest, CutsAtTwentySixBytesAndDoublesAmpersands) {
  const std::string ellipsis = text::J("…");
  EXPECT_EQ(PrepareTabCaption("123456789012345678901234567890"), "12345678901234567890123456" + ellipsis);
  EXPECT_EQ(PrepareTabCaption("12345678901234567890123456"), "12345678901234567890123456");
  // The 26th byte begins a double-byte character: the cut falls before it.
  const std::string kanji = text::J("あいうえおかきくけこさしすせそ");
  EXPECT_EQ(PrepareTabCaption("1" + kanji), "1" + kanji.substr(0, 24) + ellipsis);
  EXPECT_EQ(PrepareTabCaption("Q&A"), "Q&&A");
  EXPECT_EQ(PrepareTabCaption("Smile &#128512; & go"), "Smile &#128512; && go");
  EXPECT_EQ(CaptionForTitle("PLOVER://page/summary"), kSummary);
}

TEST_F(TabListTest, TitleDrivesTabCaptionAndWindowState) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  tabs.TitleChanged(views[1], "News & Views: a title longer than the tab");
  EXPECT_EQ(view.row[1].caption, "News && Views: a title long" + text::J("…"));
  EXPECT_EQ(view.windowCaption, "News & Views: a title longer than the tab - [Plover]");
  EXPECT_EQ(view.addressText, "http://a.example/");
  tabs.LoadStarted(views[0]);  // the busy animation follows the active view only
  EXPECT_FALSE(view.busy);
  tabs.LoadStarted(views[1]);
  EXPECT_TRUE(view.busy);
  tabs.LoadFinished(views[1]);
  EXPECT_FALSE(view.busy);
  tabs.CommandStateChanged(views[1], true, true);
  EXPECT_TRUE(view.backEnabled && view.forwardEnabled && view.refreshEnabled);
  tabs.ToggleTabLock(1);
  EXPECT_FALSE(view.backEnabled || view.forwardEnabled || view.refreshEnabled);
  tabs.TitleChanged(views[0], kSummary);
  EXPECT_EQ(view.row[0].caption, kSummary);
  tabs.ActivateTab(0);
  EXPECT_EQ(view.windowCaption, "Plover");
  EXPECT_EQ(view.addressText, "");
  ExpectRowMirrorsList();
}

TEST_F(TabListTest, TabBehaviourFollowsTheViewMode) {
  Start();
  struct Case {
    int mode;
    int stored;
    int effective;
  };
  for (const Case& c : {Case{1, 3, 3}, Case{2, 2, 2}, Case{3, 1, 1}, Case{4, 0, 1}, Case{4, 2, 2}, Case{4, 3, 1}}) {
    settings.FormViewMode = c.mode;
    tabs.SetTabBehaviour(static_cast<settings::TabBehaviour>(c.stored));
    EXPECT_EQ(tabs.TabBehaviour(), static_cast<settings::TabBehaviour>(c.effective)) << c.mode << " " << c.stored;
    EXPECT_EQ(view.behaviourImage, c.effective);
  }
  // List mode stores into the standard setting.
  EXPECT_EQ(settings.TabLock, settings::TabBehaviour::kNewInBackground);
  EXPECT_EQ(settings.BrwTabLock, settings::TabBehaviour::kNewWithFocus);
  EXPECT_EQ(settings.EvwTabLock, settings::TabBehaviour::kKeepSites);
  settings.FormViewMode = 1;
  settings.TabLock = static_cast<settings::TabBehaviour>(7);
  EXPECT_EQ(tabs.TabBehaviour(), settings::TabBehaviour::kNormal);
}

}  // namespace
}  // namespace shell::testing
