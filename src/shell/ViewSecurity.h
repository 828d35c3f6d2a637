// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Settings.h"

namespace shell {

// What a browser view may load and run. The headline pages follow the list-view settings;
// sites follow the secure-mode settings while secure mode is on and are free otherwise.
struct ViewSecurity {
  bool Scripts = true;  // scripts, and the plug-ins and objects that stand for Java and ActiveX
  bool Frames = true;
  bool Video = true;
  bool Sound = true;
  bool Images = true;

  bool operator==(const ViewSecurity&) const = default;
};

ViewSecurity SecurityFor(const settings::Settings& settings, bool showsSummary);

}  // namespace shell
