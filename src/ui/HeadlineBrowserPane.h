// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace ui {

// What the headline list needs to know about the browser pane of the main window: the
// Space key pages through it and opens a row's page only while it shows the summary. The
// main window supplies it; until then the list view answers as if the pane showed an
// empty page that cannot scroll.
class HeadlineBrowserPane {
 public:
  virtual ~HeadlineBrowserPane() = default;

  virtual bool ShowsSummary() const = 0;
  virtual bool Busy() const = 0;
  virtual bool ShowsPage(int64_t pageId) const = 0;
  virtual int ClientHeight() const = 0;
  virtual int ScrollTop() const = 0;
  virtual void ScrollBy(int pixels) = 0;
};

}  // namespace ui
