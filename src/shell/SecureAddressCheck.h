// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace shell {

// The filter in front of every page the browser is asked to open. In secure mode only
// addresses of the web ("http:", "https:", "ftp:") and the program's own "feed:" and
// "enclosure:" addresses pass, so that a feed cannot make the browser run a script address
// or open a local file; outside secure mode everything passes.
class SecureAddressCheck {
 public:
  SecureAddressCheck(const settings::Settings& settings, platform::Dialogs& dialogs)
      : settings_(settings), dialogs_(dialogs) {}

  // Whether the address may be opened. A refused address is named in an error message
  // when `showMessage` is set.
  bool Check(const std::string& address, bool showMessage);

  // The rule alone: whether the address passes in secure mode. An empty address passes
  // (it means the home page); trailing blanks are ignored and letter case does not count.
  static bool AllowedInSecureMode(const std::string& address);

 private:
  const settings::Settings& settings_;
  platform::Dialogs& dialogs_;
};

}  // namespace shell
