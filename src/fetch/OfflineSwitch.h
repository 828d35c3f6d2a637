// SPDX-License-Identifier: MIT
#pragma once

namespace fetch {

// The system's offline state, which the user may have switched on, and the way back
// online. This system has no such switch: it is always online, which is what the defaults
// say. A desktop that has one (a network manager) overrides both.
class OfflineSwitch {
 public:
  virtual ~OfflineSwitch() = default;

  virtual bool IsOffline() const { return false; }

  // Switches the system online; true when it is online afterwards.
  virtual bool GoOnline() { return true; }
};

}  // namespace fetch
