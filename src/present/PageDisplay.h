// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace present {

// One finished summary page.
struct SummaryPage {
  // The complete document, code page 932, with its character set declared in a meta
  // element, the style's CSS in a style element of the head and the cleaned body.
  std::string Html;
  std::string Caption;  // the pane's tab caption, "概要"
  // The id of the view-mode page list the page shows (the page commands compare it); 0
  // for a page outside view mode.
  int64_t PageId = 0;
  bool ScrollToTop = true;
};

// The browser pane as the headline pages see it. The desktop program serves the page
// under a scheme of its own and remembers its id; tests keep the last page.
class PageDisplay {
 public:
  virtual ~PageDisplay() = default;

  virtual void ShowSummaryPage(const SummaryPage& page) = 0;

  // Whether the pane still shows the summary page with this id: the user may have
  // followed a link away from it since, or a newer page replaced it.
  virtual bool ShowsPage(int64_t pageId) const = 0;
};

}  // namespace present
