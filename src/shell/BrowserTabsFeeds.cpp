// SPDX-License-Identifier: MIT
// The feeds the tabs' pages offer: found after every load, forgotten at every navigation,
// shown in the address bar for the active tab.
#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"

namespace shell {

void BrowserTabs::PageLoaded(ViewId view, const LoadedPage& page) {
  BrowserTab* tab = Find(view);
  if (tab == nullptr || closing_) return;
  // The program's own pages offer no feeds, whatever the view read on them.
  if (page.specialView || IsSummaryAddress(page.address)) return;
  tab->FeedFoundState = DiscoverFeeds(page, settings_.AutoAtom, tab->FoundFeeds, tab->FeedFoundState);
  if (view == active_) ShowFeedFound();
}

const std::vector<std::string>& BrowserTabs::FoundFeeds(ViewId view) const {
  static const std::vector<std::string> kNone;
  const int index = IndexOf(view);
  return index < 0 ? kNone : tabs_[static_cast<size_t>(index)].FoundFeeds;
}

void BrowserTabs::ForgetFoundFeeds(ViewId view) {
  BrowserTab* tab = Find(view);
  if (tab == nullptr) return;
  const bool shown = tab->FeedFoundState != kFeedFoundNothing || !tab->FoundFeeds.empty();
  tab->FoundFeeds.clear();
  tab->FeedFoundState = kFeedFoundNothing;
  if (shown && view == active_) ShowFeedFound();
}

void BrowserTabs::ShowFeedFound() {
  const BrowserTab* tab = Find(active_);
  if (tab == nullptr) return;
  const FeedFoundLook look = FeedFoundAppearance(tab->FeedFoundState);
  view_.ShowFeedFound(tab->FeedFoundState, look.rgb, look.hint, !tab->FoundFeeds.empty());
}

}  // namespace shell
