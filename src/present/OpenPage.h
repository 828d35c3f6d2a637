// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace present {

// The one entry for showing an address in the browser pane (tab routing decides where).
class OpenPage {
 public:
  virtual ~OpenPage() = default;

  // True when the page was accepted for display.
  virtual bool Open(const std::string& address) = 0;
};

}  // namespace present
