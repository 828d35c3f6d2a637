// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "present/PageDisplay.h"
#include "shell/BrowserTabs.h"

namespace shell {

// Keeps the generated page for the views to load: the desktop serves it under its page
// scheme at the summary address.
class SummaryPageServer {
 public:
  virtual ~SummaryPageServer() = default;
  virtual void ServeSummaryPage(const std::string& html) = 0;  // code page 932
};

// The headline pages' way into the browser tabs. A new page is shown in the active tab,
// unless that tab holds a site it must keep (it is locked, or the tab behaviour keeps
// sites): then in the first tab that shows the summary, or in a new tab at the front,
// which becomes the active one. Other tabs left on an older page are closed.
class SummaryDisplay : public present::PageDisplay {
 public:
  SummaryDisplay(BrowserTabs& tabs, SummaryPageServer& server) : tabs_(tabs), server_(server) {}

  void ShowSummaryPage(const present::SummaryPage& page) override;
  bool ShowsPage(int64_t pageId) const override;

 private:
  ViewId TargetView();
  void DropStaleSummaries(ViewId shown);

  BrowserTabs& tabs_;
  SummaryPageServer& server_;
  int64_t shownPageId_ = 0;
};

}  // namespace shell
