// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/BrowserTabsView.h"

namespace shell {

// One tab of the browser area, owning its view.
struct BrowserTab {
  ViewId view = kNoView;
  std::string caption;       // as the tab shows it
  std::string title;         // the document title the view reported last
  int32_t Tag = 0;           // the tab's position, renumbered after every change of the list
  bool Locked = false;       // page lock: cannot be closed, its own navigations open elsewhere
  int32_t PendingLoads = 0;  // navigations still expected before the real page; such a tab is not saved
  std::string TabAddress;    // the address of the last navigation started in the view
  bool CanGoBack = false;
  bool CanGoForward = false;
  // The feeds found on the page the tab shows (separators "-" included), the list of the
  // address box of the registration dialog; emptied when the tab starts a navigation.
  std::vector<std::string> FoundFeeds;
  int FeedFoundState = 0;  // kFeedFoundNothing, kFeedFoundLinks or kFeedFoundFeed
};

}  // namespace shell
