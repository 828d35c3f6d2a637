// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TabsFixture.h"
#include "text/Literal.h"

namespace shell::testing {
namespace {

const std::string kItem = "http://item.example/entry?id=1";

enum class Shown { kSummary, kSite, kEmpty };
enum class Where { kSameTab, kNewTabInFront, kNewTabBehind, kOtherBrowser };

struct RouteCase {
  const char* name;
  int mode;
  int behaviour;  // stored into the setting of the mode
  bool noAddin;   // the mode's NoAddin setting
  Shown shown;
  bool shift = false;
  bool ctrl = false;
  bool locked = false;
  Where where = Where::kSameTab;
};

class OpenPageRouteTest : public TabsFixture, public ::testing::WithParamInterface<RouteCase> {};

// The headline list opens an item's address for the active tab, in every mode and tab
// behaviour.
TEST_P(OpenPageRouteTest, OpensWhereTheModeAndBehaviourSay) {
  const RouteCase& c = GetParam();
  Start();
  if (c.shown == Shown::kSite) OpenSite("http://site.example/");
  if (c.shown == Shown::kEmpty) tabs.OpenTab("", true, false);
  if (c.locked) tabs.ToggleTabLock(tabs.ActiveIndex());
  settings.FormViewMode = c.mode;
  settings.TabLock = settings.BrwTabLock = settings.EvwTabLock = settings::TabBehaviour::kNormal;
  tabs.SetTabBehaviour(static_cast<settings::TabBehaviour>(c.behaviour));
  settings.ListNoAddin = c.mode == 2 && c.noAddin;
  settings.NormalNoAddin = c.mode == 1 && c.noAddin;
  settings.EvwNoAddin = c.mode == 4 && c.noAddin;
  host.shift = c.shift;
  host.ctrl = c.ctrl;
  const ViewId before = tabs.ActiveView();
  const size_t count = tabs.TabCount();

  EXPECT_TRUE(tabs.Open(kItem));
  Settle();

  if (c.where == Where::kOtherBrowser) {
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{kItem});
    EXPECT_EQ(tabs.TabCount(), count);
    EXPECT_NE(view.location[before], kItem);
    return;
  }
  EXPECT_TRUE(launcher.started.empty());
  if (c.where == Where::kSameTab) {
    EXPECT_EQ(tabs.TabCount(), count);
    EXPECT_EQ(view.location[before], kItem);
    return;
  }
  ASSERT_EQ(tabs.TabCount(), count + 1);
  const ViewId added = tabs.TabAt(static_cast<size_t>(tabs.IndexOf(before) + 1)).view;
  EXPECT_EQ(view.location[added], kItem);
  EXPECT_NE(view.location[before], kItem);
  EXPECT_EQ(tabs.ActiveView(), c.where == Where::kNewTabInFront ? added : before);
  EXPECT_EQ(tabs.TabAt(static_cast<size_t>(tabs.IndexOf(added))).caption, "Loading...");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenPageRouteTest,
    ::testing::Values(
        RouteCase{"StandardNormalSummary", 1, 0, false, Shown::kSummary},
        RouteCase{"StandardOneSummary", 1, 1, false, Shown::kSummary, false, false, false, Where::kNewTabInFront},
        RouteCase{"StandardTwoSummary", 1, 2, false, Shown::kSummary, false, false, false, Where::kNewTabBehind},
        RouteCase{"StandardOneSite", 1, 1, false, Shown::kSite},
        RouteCase{"StandardThreeSite", 1, 3, false, Shown::kSite, false, false, false, Where::kNewTabInFront},
        RouteCase{"StandardThreeSummary", 1, 3, false, Shown::kSummary},
        RouteCase{"StandardThreeEmpty", 1, 3, false, Shown::kEmpty},
        RouteCase{"StandardNoAddin", 1, 0, true, Shown::kSummary, false, false, false, Where::kOtherBrowser},
        RouteCase{"ListNoAddin", 2, 0, true, Shown::kSummary, false, false, false, Where::kOtherBrowser},
        RouteCase{"ListWithAddin", 2, 0, false, Shown::kSummary},
        RouteCase{"BrowserOneSummary", 3, 1, false, Shown::kSummary},
        RouteCase{"BrowserTwoLocked", 3, 2, false, Shown::kSite, false, false, true, Where::kNewTabBehind},
        RouteCase{"ViewZeroActsAsOne", 4, 0, false, Shown::kSummary, false, false, false, Where::kNewTabInFront},
        RouteCase{"ViewTwoSummary", 4, 2, false, Shown::kSummary, false, false, false, Where::kNewTabBehind},
        RouteCase{"ViewThreeActsAsOne", 4, 3, false, Shown::kSummary, false, false, false, Where::kNewTabInFront},
        RouteCase{"ViewNoAddin", 4, 1, true, Shown::kSummary, false, false, false, Where::kOtherBrowser},
        RouteCase{"ShiftWantsNewTab", 1, 0, false, Shown::kSite, true, false, false, Where::kNewTabInFront},
        RouteCase{"CtrlShiftWantsOtherBrowser", 1, 0, false, Shown::kSite, true, true, false, Where::kOtherBrowser},
        RouteCase{"LockedWantsNewTab", 1, 0, false, Shown::kSite, false, false, true, Where::kNewTabInFront}),
    [](const auto& info) { return std::string(info.param.name); });

using PageRoutingTest = TabsFixture;

TEST_F(PageRoutingTest, ListModeSwitchesToStandardBeforeShowingAPage) {
  Start();
  settings.FormViewMode = 2;
  settings.ListNoAddin = false;
  EXPECT_TRUE(tabs.Open(kItem));
  EXPECT_EQ(host.listModeLeft, 1);
  EXPECT_EQ(settings.FormViewMode, 1);
}

TEST_F(PageRoutingTest, HeadlineLinkWithBehaviourTwoOpensBehindAndKeepsTheHeadlinePage) {
  const ViewId summary = Start();
  settings.TabLock = settings::TabBehaviour::kNewInBackground;
  EXPECT_FALSE(Follow(summary, kItem));
  ASSERT_EQ(tabs.TabCount(), 2u);
  const ViewId site = tabs.TabAt(1).view;
  EXPECT_EQ(view.location[summary], kSummary);
  EXPECT_EQ(view.location[site], kItem);
  EXPECT_EQ(tabs.ActiveView(), summary);
  EXPECT_EQ(commands.linksOpened, std::vector<std::string>{kItem});
}

TEST_F(PageRoutingTest, BehaviourThreeNeverReplacesASiteByTheNextItem) {
  Start();
  settings.TabLock = settings::TabBehaviour::kKeepSites;
  EXPECT_TRUE(tabs.Open(kItem));  // the summary tab takes the first site
  Settle();
  EXPECT_EQ(tabs.TabCount(), 1u);
  EXPECT_TRUE(tabs.Open("http://item.example/entry?id=2"));
  Settle();
  ASSERT_EQ(tabs.TabCount(), 2u);
  EXPECT_EQ(view.location[tabs.TabAt(0).view], kItem);
  EXPECT_EQ(view.location[tabs.TabAt(1).view], "http://item.example/entry?id=2");
}

TEST_F(PageRoutingTest, CommandAddressesAreHandedOverAndNeverShown) {
  const std::vector<ViewId> views = StartWith({"http://site.example/"});
  const size_t navigations = view.navigations.size();
  for (const std::string address :
       {"varnholt:hrfeed_check#3", "feed:http://blog.example/rss", " ENCLOSURE:http://a/b.mp3"}) {
    SCOPED_TRACE(address);
    for (ViewId from : views) {
      EXPECT_FALSE(Follow(from, address));
      EXPECT_EQ(commands.offered.back(), address);
      EXPECT_EQ(tabs.NewWindowRequested(from, address, true), kNoView);
    }
    // Also where ordinary addresses would go to the other browser.
    settings.NormalNoAddin = true;
    EXPECT_EQ(tabs.Open(address), address.starts_with("varnholt:"));
    EXPECT_EQ(commands.offered.back(), address);
    settings.NormalNoAddin = false;
  }
  EXPECT_EQ(tabs.TabCount(), 2u);
  EXPECT_EQ(view.navigations.size(), navigations);
  EXPECT_EQ(view.location[views[1]], "http://site.example/");
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(PageRoutingTest, LockedTabSendsTheUsersNavigationsElsewhereAndHoldsItsPage) {
  const std::vector<ViewId> views = StartWith({"http://locked.example/"});
  tabs.ToggleTabLock(1);
  EXPECT_TRUE(Follow(views[1], "http://locked.example/next", NavigationKind::kRedirect, false));
  EXPECT_TRUE(Follow(views[1], "http://locked.example/next", NavigationKind::kReload, false));
  EXPECT_FALSE(Follow(views[1], "http://ads.example/", NavigationKind::kOther, false));
  EXPECT_EQ(tabs.TabCount(), 2u);
  EXPECT_FALSE(Follow(views[1], kItem));
  ASSERT_EQ(tabs.TabCount(), 3u);
  EXPECT_EQ(view.location[views[1]], "http://locked.example/next");
  EXPECT_EQ(view.location[tabs.TabAt(2).view], kItem);
  settings.FormViewMode = 3;  // browser mode leaves a locked tab's navigations in place
  tabs.ActivateTab(1);
  EXPECT_TRUE(Follow(views[1], "http://locked.example/other"));
  EXPECT_EQ(tabs.TabCount(), 3u);
}

TEST_F(PageRoutingTest, InactiveViewsNavigateFreelyAndCountDownPendingLoads) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  commands.linksOpened.clear();
  tabs.SetPendingLoads(views[0], 2);
  settings.TabLock = settings::TabBehaviour::kNewWithFocus;
  EXPECT_TRUE(Follow(views[0], "http://b.example/"));
  EXPECT_EQ(tabs.TabAt(0).PendingLoads, 1);
  EXPECT_EQ(tabs.TabAt(0).TabAddress, "http://b.example/");
  EXPECT_TRUE(commands.linksOpened.empty());
  host.treeFocus = true;
  EXPECT_TRUE(Follow(views[1], "http://c.example/"));
  EXPECT_TRUE(commands.linksOpened.empty());
  host.treeFocus = false;
  EXPECT_TRUE(Follow(views[1], "http://d.example/"));
  EXPECT_EQ(commands.linksOpened, std::vector<std::string>{"http://d.example/"});
  EXPECT_EQ(tabs.TabCount(), 2u);
}

TEST_F(PageRoutingTest, OfflineCopyIsShownInsteadOfTheSite) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  copies.copies["http://saved.example/"] = "file:///data/mht/saved.mht";
  copies.looked.clear();
  EXPECT_FALSE(Follow(views[1], "http://saved.example/"));
  EXPECT_EQ(view.location[views[1]], "file:///data/mht/saved.mht");
  EXPECT_EQ(copies.looked, std::vector<std::string>{"http://saved.example/"});  // not the copy itself
  host.ctrl = host.shift = true;
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "http://saved.example/", true), kNoView);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{"file:///data/mht/saved.mht"});
}

TEST_F(PageRoutingTest, SecureModeStopsPagesFromOpeningOtherSchemes) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  settings.SecureMode = true;
  EXPECT_FALSE(Follow(views[1], "file:///etc/passwd", NavigationKind::kOther, false));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(Follow(views[1], "file:///etc/passwd"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "セキュアモードでは \"http:\" \"https:\" \"ftp:\" \"feed:\" から始まるアドレスしか開きません。\r\n\r\n> "
            "file:///etc/passwd");
  EXPECT_FALSE(tabs.Open("javascript:alert(1)"));
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_TRUE(Follow(views[1], "https://b.example/"));
  tabs.ResetToBlank(views[1], false);  // the program's own page passes in secure mode too
  Settle();
  EXPECT_EQ(view.location[views[1]], kSummary);
}

TEST_F(PageRoutingTest, NavigateUsesHomePageAndKeepsHeadlinePagesOutOfHistory) {
  const ViewId summary = Start();
  tabs.Navigate(summary, "http://a.example/", 0);
  EXPECT_EQ(view.navigations.back().flags, kNavNoHistory);
  EXPECT_EQ(view.navigateStatus, " Navigate : http://a.example/");
  EXPECT_TRUE(view.busy);
  Settle();
  tabs.Navigate(summary, "http://b.example/", kNavOpenInNewWindow);
  EXPECT_EQ(view.navigations.back().flags, kNavOpenInNewWindow);
  settings.HomePage = "http://home.example/";
  tabs.Navigate(summary, "", 0);
  EXPECT_EQ(view.navigations.back().address, "http://home.example/");
  // A home page that is a command address is carried out, not shown.
  settings.HomePage = "varnholt:hrfeed_showall";
  const size_t navigations = view.navigations.size();
  tabs.Navigate(summary, "", 0);
  EXPECT_EQ(view.navigations.size(), navigations);
  EXPECT_EQ(commands.offered.back(), "varnholt:hrfeed_showall");
  settings.HomePage.clear();
  tabs.Navigate(summary, "", 0);
  EXPECT_EQ(view.navigations.back().address, "about:blank");
  EXPECT_EQ(view.navigateStatus, " GoHome");
}

TEST_F(PageRoutingTest, NewWindowInSecureModeAsksFirst) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  settings.SecureMode = true;
  dialogs.Answer(false);
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "http://popup.example/", true), kNoView);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "yescancel");
  EXPECT_EQ(dialogs.shown[0].text,
            "ブラウザから新しいウィンドウが要求されましたが[セキュリティモード]で実行中の為\r\n"
            "意図しないウィンドウの場合は遮断[キャンセル]を推奨します。\r\n\r\n"
            "表示する場合は[はい] 遮断する場合は[キャンセル]を選択してください。");
  EXPECT_EQ(tabs.TabCount(), 2u);
  dialogs.Answer(true);
  const ViewId opened = tabs.NewWindowRequested(views[1], "http://popup.example/", true);
  ASSERT_NE(opened, kNoView);
  EXPECT_EQ(tabs.IndexOf(opened), 2);
  EXPECT_EQ(tabs.ActiveView(), opened);
  EXPECT_EQ(tabs.TabAt(2).caption, "Loading...");
  // A refused address gets the filter's message after the question.
  dialogs.Answer(true);
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "file:///etc/passwd", true), kNoView);
  EXPECT_EQ(dialogs.shown.back().kind, "message");
  EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
}

// A question shows a window that lets other events in: here the requesting page closes
// itself while the question is open, and its request comes to nothing.
TEST_F(PageRoutingTest, NewWindowOfATabClosedDuringTheQuestionIsRefused) {
  struct ClosingDialogs : testsupport::ScriptedDialogs {
    std::function<void()> meanwhile;
    bool AskYesCancel(const std::string& text, platform::MessageType type,
                      platform::DefaultAnswer defaultAnswer) override {
      meanwhile();
      return ScriptedDialogs::AskYesCancel(text, type, defaultAnswer);
    }
  } closingDialogs;
  FakeTabsView otherView;
  BrowserTabs list(
      BrowserTabsServices{settings, loop, closingDialogs, otherView, host, commands, copies, other, dir.Path()});
  list.Start();
  const ViewId asking = list.OpenTab("", true, false);
  closingDialogs.meanwhile = [&] { list.WindowCloseRequested(asking); };
  closingDialogs.Answer(true);
  settings.SecureMode = true;
  EXPECT_EQ(list.NewWindowRequested(asking, "http://popup.example/", true), kNoView);
  EXPECT_EQ(list.TabCount(), 1u);
}

TEST_F(PageRoutingTest, NewWindowRouting) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  // Pop-ups a page opens by itself are blocked without a question.
  settings.SecureMode = true;
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "http://popup.example/", false), kNoView);
  settings.SecureMode = false;
  settings.TabLock = settings::TabBehaviour::kNewInBackground;
  const ViewId behind = tabs.NewWindowRequested(views[1], "http://popup.example/", true);
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  EXPECT_EQ(tabs.IndexOf(behind), 2);
  host.ctrl = host.shift = true;
  EXPECT_EQ(tabs.NewWindowRequested(views[1], "http://other.example/", true), kNoView);
  host.ctrl = host.shift = false;
  // Standard mode with NormalNoAddin: from the headline page to the other browser.
  settings.NormalNoAddin = true;
  EXPECT_EQ(tabs.NewWindowRequested(views[0], "http://item.example/", true), kNoView);
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(launcher.started[0].arguments[0], "http://other.example/");
  EXPECT_EQ(launcher.started[1].arguments[0], "http://item.example/");
  EXPECT_EQ(tabs.TabCount(), 3u);
}

TEST_F(PageRoutingTest, WindowCloseResetsTheOnlyTabAndClosesOthers) {
  const ViewId first = Start();
  OpenSite("http://a.example/");
  tabs.CloseTab(1);
  Follow(first, "http://b.example/");
  tabs.WindowCloseRequested(first);
  EXPECT_EQ(view.stopped, std::vector<ViewId>{first});
  Settle();
  EXPECT_EQ(view.location[first], kSummary);
  EXPECT_EQ(tabs.TabCount(), 1u);

  const ViewId a = OpenSite("http://a.example/");
  const ViewId b = OpenSite("http://b.example/");
  tabs.WindowCloseRequested(a);  // inactive: removed, the active tab stays
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{first, b}));
  EXPECT_EQ(tabs.ActiveView(), b);
  tabs.WindowCloseRequested(b);
  EXPECT_EQ(ListViews(), std::vector<ViewId>{first});
  EXPECT_EQ(tabs.ActiveView(), first);
  ExpectRowMirrorsList();

  tabs.ToggleTabLock(0);  // a locked only tab is not reset either
  tabs.WindowCloseRequested(first);
  EXPECT_EQ(view.stopped.size(), 1u);
}

TEST_F(PageRoutingTest, WindowCloseRequestsArrivingMeanwhileAreQueued) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/", "http://c.example/"});
  std::vector<size_t> countsSeen;
  view.onDetach = [&](ViewId detached) {
    // Detaching one view makes another page ask to close: it waits for the first close.
    countsSeen.push_back(tabs.TabCount());
    if (detached == views[3]) tabs.WindowCloseRequested(views[1]);
  };
  tabs.WindowCloseRequested(views[3]);
  EXPECT_EQ(countsSeen, (std::vector<size_t>{3, 2}));
  EXPECT_EQ(ListViews(), (std::vector<ViewId>{views[0], views[2]}));
  ExpectRowMirrorsList();
}

TEST_F(PageRoutingTest, ShutdownDestroysEveryViewAndIgnoresPages) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  tabs.CloseTab(2);
  tabs.Shutdown();
  EXPECT_TRUE(view.live.empty());
  EXPECT_EQ(view.destroyed.front(), views[2]);
  EXPECT_EQ(tabs.TabCount(), 0u);
  EXPECT_FALSE(tabs.Open(kItem));
  tabs.WindowCloseRequested(views[0]);
  loop.Advance(5000);
  EXPECT_EQ(view.destroyed.size(), 3u);
}

TEST_F(PageRoutingTest, ResetToBlankWaitsForTheSummaryInThirtyMillisecondSteps) {
  const std::vector<ViewId> views = StartWith({"http://a.example/", "http://b.example/"});
  std::vector<bool> results;
  tabs.ResetToBlank(views[1], true, [&](bool shown) { results.push_back(shown); });
  tabs.ResetToBlank(views[2], true, [&](bool shown) { results.push_back(shown); });
  loop.Advance(100);
  EXPECT_TRUE(results.empty());
  // The engine gets to the first view only now; the next look sees it.
  view.location[views[1]] = kSummary;
  loop.Advance(19);
  EXPECT_TRUE(results.empty());
  loop.Advance(1);
  EXPECT_EQ(results, std::vector<bool>{true});
  // The other view never gets there: the looks end after 100 of them, 3000 ms in all.
  loop.Advance(3000 - 120 - 1);
  EXPECT_EQ(results.size(), 1u);
  loop.Advance(1);
  EXPECT_EQ(results, (std::vector<bool>{true, false}));
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
}

TEST_F(PageRoutingTest, WaitsForTheSummaryEndUnansweredWhenTheProgramCloses) {
  const std::vector<ViewId> views = StartWith({"http://a.example/"});
  std::vector<bool> results;
  tabs.ResetToBlank(views[1], true, [&](bool shown) { results.push_back(shown); });
  tabs.Shutdown();
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
  loop.Advance(5000);
  EXPECT_TRUE(results.empty());

  // A tab list that goes away while it waits leaves no look behind either.
  {
    FakeTabsView otherView;
    BrowserTabs other(Services(otherView));
    other.Start();
    other.ResetToBlank(other.ActiveView(), true, [&](bool shown) { results.push_back(shown); });
    EXPECT_EQ(loop.ActiveTimerCount(), 1u);
  }
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
  loop.Advance(5000);
  EXPECT_TRUE(results.empty());
}

}  // namespace
}  // namespace shell::testing
