// SPDX-License-Identifier: MIT
#include "shell/TabFeeds.h"

#include "shell/PageAddress.h"

namespace shell {

void TabFeeds::PageLoaded(ViewId view, const LoadedPage& page) {
  BrowserTab* tab = list_.Find(view);
  if (tab == nullptr || list_.Closing()) return;
  // The program's own pages offer no feeds, whatever the view read on them.
  if (page.specialView || IsSummaryAddress(page.address)) return;
  tab->FeedFoundState = DiscoverFeeds(page, settings_.AutoAtom, tab->FoundFeeds, tab->FeedFoundState);
  if (view == list_.ActiveView()) list_.ShowFeedFound();
}

const std::vector<std::string>& TabFeeds::FoundFeeds(ViewId view) const {
  static const std::vector<std::string> kNone;
  const BrowserTab* tab = list_.Find(view);
  return tab == nullptr ? kNone : tab->FoundFeeds;
}

void TabFeeds::ForgetFoundFeeds(ViewId view) {
  BrowserTab* tab = list_.Find(view);
  if (tab == nullptr) return;
  const bool shown = tab->FeedFoundState != kFeedFoundNothing || !tab->FoundFeeds.empty();
  tab->FoundFeeds.clear();
  tab->FeedFoundState = kFeedFoundNothing;
  if (shown && view == list_.ActiveView()) list_.ShowFeedFound();
}

}  // namespace shell
