// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "settings/Settings.h"
#include "shell/BrowserTab.h"
#include "shell/BrowserTabsView.h"
#include "shell/TabBehaviourSetting.h"

namespace shell {

// The mouse on the tab row.
enum class TabClick { kLeft, kLeftDouble, kMiddle, kRight };

// Which tabs CloseOtherTabs closes besides the locked and the active one.
enum class OtherTabs { kAll = 0, kRight = 1, kLeft = 2 };

// The browser area's tabs: their order, captions and locks, which one is active, the tab
// row that mirrors them and the parts of the window that follow the active tab. A closed
// tab's view is detached at once and destroyed a while after the last close, so that an
// event it is still delivering finds it. Main thread only.
class TabList {
 public:
  static constexpr int64_t kDeleteListDelayMs = 3000;  // Timer_DeleteList
  static constexpr const char* kLoadingCaption = "Loading...";

  TabList(const settings::Settings& settings, platform::EventLoop& loop, BrowserTabsView& view,
          TabBehaviourSetting& behaviour);
  TabList(const TabList&) = delete;
  TabList& operator=(const TabList&) = delete;

  // The first tab, showing the summary.
  void Start();
  // The program is closing: every view (of the tabs and of the deferred destruction list)
  // is destroyed, and Closing() holds from now on.
  void Shutdown();
  bool Closing() const { return closing_; }
  // Tab row lines, the tab behaviour button and every view's security options follow the
  // settings.
  void ApplySettings();

  size_t TabCount() const { return tabs_.size(); }
  const BrowserTab& TabAt(size_t index) const { return tabs_.at(index); }
  int IndexOf(ViewId view) const;
  // The tab of a view, or null for a view the list does not hold (any more).
  BrowserTab* Find(ViewId view);
  const BrowserTab* Find(ViewId view) const;
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
  // Navigations the tab still expects before it shows its real page.
  void SetPendingLoads(ViewId view, int32_t count);

  // What the views report about themselves: the tab's caption and the window's parts
  // follow them.
  void TitleChanged(ViewId view, const std::string& title);
  void CommandStateChanged(ViewId view, bool canGoBack, bool canGoForward);
  void LoadStarted(ViewId view);
  void LoadFinished(ViewId view);

  // The window's caption, address box, navigation buttons and progress, and the address
  // bar's feed look, shown again for the active tab.
  void UpdateWindowState();
  void ShowFeedFound();

 private:
  int InsertPosition(bool atFront) const;
  void RemoveTabAt(int index);
  void Detach(ViewId view);
  void DestroyDeleteList();
  void Renumber();
  void UpdateTabRow();
  void SetActive(int index);

  const settings::Settings& settings_;
  BrowserTabsView& view_;
  TabBehaviourSetting& behaviour_;

  std::vector<BrowserTab> tabs_;
  ViewId active_ = kNoView;
  ViewId nextView_ = 1;
  std::vector<ViewId> deleteList_;
  platform::Timer deleteTimer_;
  bool closing_ = false;
};

}  // namespace shell
