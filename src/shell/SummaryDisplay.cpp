// SPDX-License-Identifier: MIT
#include "shell/SummaryDisplay.h"

#include "shell/PageAddress.h"

namespace shell {

ViewId SummaryDisplay::TargetView() {
  const ViewId active = tabs_.ActiveView();
  if (active == kNoView || tabs_.ShowsSummary(active)) return active;
  const BrowserTab& tab = tabs_.TabAt(static_cast<size_t>(tabs_.IndexOf(active)));
  const bool keepSite = tab.Locked || tabs_.TabBehaviour() == settings::TabBehaviour::kKeepSites;
  if (!keepSite) return active;
  for (size_t index = 0; index < tabs_.TabCount(); ++index) {
    if (tabs_.ShowsSummary(tabs_.TabAt(index).view)) {
      tabs_.ActivateTab(static_cast<int>(index));
      return tabs_.TabAt(index).view;
    }
  }
  return tabs_.OpenTab("", true, true);
}

void SummaryDisplay::ShowSummaryPage(const present::SummaryPage& page) {
  server_.ServeSummaryPage(page.Html);
  shownPageId_ = page.PageId;
  const ViewId view = TargetView();
  // Loading the summary address again shows the page just served.
  if (view != kNoView) tabs_.ResetToBlank(view, false);
  DropStaleSummaries(view);
}

void SummaryDisplay::DropStaleSummaries(ViewId shown) {
  // Every other tab on the summary address still shows an older page: one headline page
  // is enough, so such a tab goes, unless the user locked it, which shows the new page.
  for (size_t index = tabs_.TabCount(); index-- > 0;) {
    const BrowserTab& tab = tabs_.TabAt(index);
    if (tab.view == shown || !tabs_.ShowsSummary(tab.view)) continue;
    if (tab.Locked) {
      tabs_.ResetToBlank(tab.view, false);
    } else {
      tabs_.CloseTab(static_cast<int>(index));
    }
  }
}

bool SummaryDisplay::ShowsPage(int64_t pageId) const {
  return pageId != 0 && pageId == shownPageId_ && tabs_.ShowsSummary(tabs_.ActiveView());
}

}  // namespace shell
