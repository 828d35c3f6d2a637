// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "shell/BrowserTabsView.h"

namespace shell {

// The commands hidden in the generated pages' links ("varnholt:" addresses), subscribing
// to "feed:" addresses, handing "enclosure:" addresses to the media program, and the
// marking of an item as read when its link is followed from a headline page.
class PageCommands {
 public:
  virtual ~PageCommands() = default;

  // Offered every address a view is about to show and every address a page asks a new
  // window for. True when it was a command and has been carried out: the navigation is
  // then cancelled.
  virtual bool HandleInternalLink(const std::string& address, ViewId view) = 0;

  // A navigation starts in the active view while neither tree has the keyboard focus.
  virtual void LinkOpened(const std::string& address) = 0;
};

}  // namespace shell
