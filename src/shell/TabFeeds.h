// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "settings/Settings.h"
#include "shell/FeedDiscovery.h"
#include "shell/TabList.h"

namespace shell {

// The feeds the tabs' pages offer: found after every load, forgotten at every navigation,
// shown in the address bar for the active tab.
class TabFeeds {
 public:
  TabFeeds(const settings::Settings& settings, TabList& list) : settings_(settings), list_(list) {}

  // A page or frame of the view finished loading: its feeds join the tab's FoundFeeds,
  // and the active tab shows what it found.
  void PageLoaded(ViewId view, const LoadedPage& page);
  // The feeds found on the view's page (empty for an unknown view).
  const std::vector<std::string>& FoundFeeds(ViewId view) const;
  // The view starts a navigation: what its old page offered goes.
  void ForgetFoundFeeds(ViewId view);

 private:
  const settings::Settings& settings_;
  TabList& list_;
};

}  // namespace shell
