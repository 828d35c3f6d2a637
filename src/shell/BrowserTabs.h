// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "present/OpenPage.h"
#include "shell/BrowserTab.h"
#include "shell/BrowserTabsServices.h"
#include "shell/BrowserTabsView.h"
#include "shell/FeedDiscovery.h"
#include "shell/PageRouter.h"
#include "shell/SecureAddressCheck.h"
#include "shell/SummaryReset.h"
#include "shell/TabBehaviourSetting.h"
#include "shell/TabFeeds.h"
#include "shell/TabList.h"
#include "shell/TabSession.h"
#include "shell/ViewEvents.h"

namespace shell {

// The browser area as the rest of the program sees it: the tab list (TabList), the tab
// behaviour of the view mode (TabBehaviourSetting), the rules that decide where a page
// opens (PageRouter), the views' events (ViewEvents), the feeds the pages offer
// (TabFeeds), bringing a view back to the summary (SummaryReset) and plover.tab
// (TabSession), put together over one set of services. It tells the view what to show and
// answers the views' events. Main thread only.
class BrowserTabs : public present::OpenPage {
 public:
  explicit BrowserTabs(BrowserTabsServices services);
  BrowserTabs(const BrowserTabs&) = delete;
  BrowserTabs& operator=(const BrowserTabs&) = delete;
  ~BrowserTabs() override = default;

  // The main window is being created: its first tab, showing the summary.
  void Start() { list_.Start(); }
  // The program is closing: pages may close their windows from now on, and every view
  // (of the tabs and of the deferred destruction list) is destroyed.
  void Shutdown();
  // The settings changed: tab row lines, the tab behaviour button and every view's
  // security options follow them.
  void ApplySettings() { list_.ApplySettings(); }

  // The tab list.
  size_t TabCount() const { return list_.TabCount(); }
  const BrowserTab& TabAt(size_t index) const { return list_.TabAt(index); }
  int IndexOf(ViewId view) const { return list_.IndexOf(view); }
  int ActiveIndex() const { return list_.ActiveIndex(); }
  ViewId ActiveView() const { return list_.ActiveView(); }
  // Whether the view's current location is the summary address.
  bool ShowsSummary(ViewId view) const { return list_.ShowsSummary(view); }
  // Views of closed tabs waiting for their destruction, oldest first.
  const std::vector<ViewId>& DeleteList() const { return list_.DeleteList(); }

  ViewId OpenTab(const std::string& caption, bool focus, bool atFront) {
    return list_.OpenTab(caption, focus, atFront);
  }
  void CloseTab(int index) { list_.CloseTab(index); }
  void CloseOtherTabs(OtherTabs which) { list_.CloseOtherTabs(which); }
  void ToggleTabLock(int index) { list_.ToggleTabLock(index); }
  void ActivateTab(int index) { list_.ActivateTab(index); }
  // 0 to the right, 1 to the left, wrapping round at the ends.
  void CycleTab(int direction) { list_.CycleTab(direction); }
  void MoveTab(int from, int to) { list_.MoveTab(from, to); }
  void TabClicked(int index, TabClick click, bool shift, bool ctrl) { list_.TabClicked(index, click, shift, ctrl); }
  // The dragged active tab was dropped onto the tab at `onto`.
  void TabDropped(int onto) { list_.MoveTab(list_.ActiveIndex(), onto); }
  // Navigations the tab still expects before it shows its real page.
  void SetPendingLoads(ViewId view, int32_t count) { list_.SetPendingLoads(view, count); }

  // The tab behaviour of the current view mode, and the menu of the tab behaviour
  // button, which stores a value into the setting of the current view mode.
  settings::TabBehaviour TabBehaviour() const { return behaviour_.TabBehaviour(); }
  void SetTabBehaviour(settings::TabBehaviour behaviour) { behaviour_.SetTabBehaviour(behaviour); }

  // The one entry for showing an address. `view` may be kNoView. True when the address
  // was accepted (shown in a tab or handed to the other browser).
  bool OpenPage(ViewId view, const std::string& address, int flags, bool focus) {
    return router_.OpenPage(view, address, flags, focus);
  }
  // present::OpenPage: an address for the active view.
  bool Open(const std::string& address) override { return router_.OpenPage(ActiveView(), address, 0, false); }
  // An address typed into the address box: it passes the secure-mode filter and goes to
  // the active tab, whatever the tab behaviour says. False when it was refused.
  bool OpenTypedAddress(const std::string& address) { return router_.OpenTypedAddress(address); }
  void Navigate(ViewId view, const std::string& address, int flags) { router_.Navigate(view, address, flags); }
  // Stops the view and shows the summary in it. With `wait`, `done` runs once the view
  // shows the summary, or after 100 looks 30 ms apart, with whether it got there;
  // without, `done` runs at once with whether the view shows the summary already.
  void ResetToBlank(ViewId view, bool wait, std::function<void(bool shown)> done = {}) {
    resets_.ResetToBlank(view, wait, std::move(done));
  }

  // The views' events. BeforeNavigate is asked for every navigation of a view's main
  // frame and returns whether it may go on; NewWindowRequested returns the view whose tab
  // the new window becomes, or kNoView to refuse it. `userInitiated` tells whether the
  // user's own action (a click, a form sent, back or forward) started it.
  bool BeforeNavigate(ViewId view, const std::string& address, NavigationKind kind, bool userInitiated) {
    return events_.BeforeNavigate(view, address, kind, userInitiated);
  }
  ViewId NewWindowRequested(ViewId view, const std::string& address, bool userInitiated) {
    return events_.NewWindowRequested(view, address, userInitiated);
  }
  void WindowCloseRequested(ViewId view) { events_.WindowCloseRequested(view); }
  void TitleChanged(ViewId view, const std::string& title) { list_.TitleChanged(view, title); }
  void CommandStateChanged(ViewId view, bool canGoBack, bool canGoForward) {
    list_.CommandStateChanged(view, canGoBack, canGoForward);
  }
  void LoadStarted(ViewId view) { list_.LoadStarted(view); }
  // A failed load too: its page is what the view shows now.
  void LoadFinished(ViewId view) { list_.LoadFinished(view); }
  // A page or frame of the view finished loading: its feeds join the tab's FoundFeeds,
  // and the active tab shows what it found.
  void PageLoaded(ViewId view, const LoadedPage& page) { feeds_.PageLoaded(view, page); }

  // The feeds found on the view's page (empty for an unknown view), and those of the
  // active tab.
  const std::vector<std::string>& FoundFeeds(ViewId view) const { return feeds_.FoundFeeds(view); }
  const std::vector<std::string>& ActiveFoundFeeds() const { return feeds_.FoundFeeds(ActiveView()); }

  // plover.tab in the data folder.
  void SaveTabs() { session_.SaveTabs(); }
  void RestoreTabs() { session_.RestoreTabs(); }

 private:
  // In the order of construction: each part is built on those before it.
  TabBehaviourSetting behaviour_;
  TabList list_;
  SecureAddressCheck secureCheck_;
  SummaryReset resets_;
  TabFeeds feeds_;
  PageRouter router_;
  TabSession session_;
  ViewEvents events_;
};

}  // namespace shell
