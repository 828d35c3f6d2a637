// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "present/OpenPage.h"
#include "settings/Settings.h"
#include "shell/BrowserTab.h"
#include "shell/BrowserTabsHost.h"
#include "shell/BrowserTabsView.h"
#include "shell/FeedDiscovery.h"
#include "shell/OfflineCopyLookup.h"
#include "shell/OtherBrowser.h"
#include "shell/PageCommands.h"
#include "shell/SecureAddressCheck.h"

namespace shell {

// Everything the tab list works with. The application owns each of them.
struct BrowserTabsServices {
  settings::Settings& settings;
  platform::EventLoop& loop;
  platform::Dialogs& dialogs;
  BrowserTabsView& view;
  BrowserTabsHost& host;
  PageCommands& pageCommands;
  OfflineCopyLookup& offlineCopies;
  OtherBrowser& otherBrowser;
  std::string dataFolder;  // where plover.tab lives
};

// The mouse on the tab row.
enum class TabClick { kLeft, kLeftDouble, kMiddle, kRight };

// Which tabs CloseOtherTabs closes besides the locked and the active one.
enum class OtherTabs { kAll = 0, kRight = 1, kLeft = 2 };

// The tab behaviour values: where sites open.
inline constexpr int kTabsNormal = 0;
inline constexpr int kTabsNewWithFocus = 1;
inline constexpr int kTabsNewInBackground = 2;
inline constexpr int kTabsKeepSites = 3;

// The browser area's tab list and the rules that decide where a page opens: in the same
// tab, in a new tab or in the other browser. It tells the view what to show and answers
// the views' events. Main thread only.
class BrowserTabs : public present::OpenPage {
 public:
  static constexpr int64_t kDeleteListDelayMs = 3000;  // Timer_DeleteList
  static constexpr int64_t kResetStepMs = 30;
  static constexpr int kResetMaxSteps = 100;
  static constexpr const char* kLoadingCaption = "Loading...";
  static constexpr const char* kTabFileName = "plover.tab";

  explicit BrowserTabs(BrowserTabsServices services);
  BrowserTabs(const BrowserTabs&) = delete;
  BrowserTabs& operator=(const BrowserTabs&) = delete;
  ~BrowserTabs() override;

  // The main window is being created: its first tab, showing the summary.
  void Start();
  // The program is closing: pages may close their windows from now on, and every view
  // (of the tabs and of the deferred destruction list) is destroyed.
  void Shutdown();
  // The settings changed: tab row lines, the tab behaviour button and every view's
  // security options follow them.
  void ApplySettings();

  // The tab list.
  size_t TabCount() const { return tabs_.size(); }
  const BrowserTab& TabAt(size_t index) const { return tabs_.at(index); }
  int IndexOf(ViewId view) const;
  int ActiveIndex() const { return IndexOf(active_); }
  ViewId ActiveView() const { return active_; }
  // Whether the view's current location is the summary address.
  bool ShowsSummary(ViewId view) const;
  // Views of closed tabs waiting for their destruction, oldest first.
  const std::vector<ViewId>& DeleteList() const { return deleteList_; }

  ViewId OpenTab(const std::string& caption, bool focus, bool atFront);
  void CloseTab(int index);
  void CloseOtherTabs(OtherTabs which);
  void ToggleTabLock(int index);
  void ActivateTab(int index);
  // 0 to the right, 1 to the left, wrapping round at the ends.
  void CycleTab(int direction);
  void MoveTab(int from, int to);
  void TabClicked(int index, TabClick click, bool shift, bool ctrl);
  // The dragged active tab was dropped onto the tab at `onto`.
  void TabDropped(int onto) { MoveTab(ActiveIndex(), onto); }
  // Navigations the tab still expects before it shows its real page.
  void SetPendingLoads(ViewId view, int32_t count);

  // The tab behaviour of the current view mode, and the menu of the tab behaviour
  // button, which stores a value into the setting of the current view mode.
  int TabBehaviour() const;
  void SetTabBehaviour(int behaviour);

  // The one entry for showing an address. `view` may be kNoView. True when the address
  // was accepted (shown in a tab or handed to the other browser).
  bool OpenPage(ViewId view, const std::string& address, int flags, bool focus);
  // present::OpenPage: an address for the active view.
  bool Open(const std::string& address) override { return OpenPage(active_, address, 0, false); }
  // An address typed into the address box: it passes the secure-mode filter and goes to
  // the active tab, whatever the tab behaviour says. False when it was refused.
  bool OpenTypedAddress(const std::string& address);
  void Navigate(ViewId view, const std::string& address, int flags);
  // Stops the view and shows the summary in it. With `wait`, `done` runs once the view
  // shows the summary, or after 100 looks 30 ms apart, with whether it got there;
  // without, `done` runs at once with whether the view shows the summary already.
  void ResetToBlank(ViewId view, bool wait, std::function<void(bool shown)> done = {});

  // The views' events. BeforeNavigate is asked for every navigation of a view's main
  // frame and returns whether it may go on; NewWindowRequested returns the view whose tab
  // the new window becomes, or kNoView to refuse it. `userInitiated` tells whether the
  // user's own action (a click, a form sent, back or forward) started it.
  bool BeforeNavigate(ViewId view, const std::string& address, NavigationKind kind, bool userInitiated);
  ViewId NewWindowRequested(ViewId view, const std::string& address, bool userInitiated);
  void WindowCloseRequested(ViewId view);
  void TitleChanged(ViewId view, const std::string& title);
  void CommandStateChanged(ViewId view, bool canGoBack, bool canGoForward);
  void LoadStarted(ViewId view);
  void LoadFinished(ViewId view);  // a failed load too: its page is what the view shows now
  // A page or frame of the view finished loading: its feeds join the tab's FoundFeeds,
  // and the active tab shows what it found.
  void PageLoaded(ViewId view, const LoadedPage& page);

  // The feeds found on the view's page (empty for an unknown view), and those of the
  // active tab.
  const std::vector<std::string>& FoundFeeds(ViewId view) const;
  const std::vector<std::string>& ActiveFoundFeeds() const { return FoundFeeds(active_); }

  // plover.tab in the data folder.
  void SaveTabs();
  void RestoreTabs();

 private:
  struct ResetWait {
    ViewId view;
    int looksLeft;
    std::function<void(bool)> done;
    platform::EventLoop::TimerId timer = 0;
  };

  BrowserTab* Find(ViewId view);
  int ViewMode() const { return settings_.FormViewMode; }
  bool ShowsNeitherSummaryNorEmpty(ViewId view) const;
  bool OtherBrowserWanted() const;
  bool AddinRefusedFromSummary() const;
  bool NeedsNewTab(ViewId view) const;
  // Where a navigation of the active view goes: on in the view, to a new tab (or the other
  // browser) through OpenPage, or nowhere.
  enum class ActiveRoute { kHere, kElsewhere, kRefuse };
  ActiveRoute RouteOfActiveView(ViewId view, NavigationKind kind, bool userInitiated);
  bool OpenElsewhere(const std::string& address);

  int InsertPosition(bool atFront) const;
  void RemoveTabAt(int index);
  void Detach(ViewId view);
  void DestroyDeleteList();
  void Renumber();
  void UpdateTabRow();
  void UpdateWindowState();
  void ShowFeedFound();
  void ForgetFoundFeeds(ViewId view);
  void SetActive(int index);
  void HandleWindowClose(ViewId view);
  void LookForSummary(uint64_t key);

  settings::Settings& settings_;
  platform::EventLoop& loop_;
  platform::Dialogs& dialogs_;
  BrowserTabsView& view_;
  BrowserTabsHost& host_;
  PageCommands& pageCommands_;
  OfflineCopyLookup& offlineCopies_;
  OtherBrowser& otherBrowser_;
  SecureAddressCheck secureCheck_;
  std::string dataFolder_;

  std::vector<BrowserTab> tabs_;
  ViewId active_ = kNoView;
  ViewId nextView_ = 1;
  std::vector<ViewId> deleteList_;
  platform::Timer deleteTimer_;
  std::deque<ViewId> closeRequests_;
  bool handlingClose_ = false;
  bool closing_ = false;
  bool restoring_ = false;
  std::map<uint64_t, ResetWait> resetWaits_;
  uint64_t nextResetKey_ = 1;
};

}  // namespace shell
