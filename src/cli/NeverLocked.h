// SPDX-License-Identifier: MIT
#pragma once

#include "platform/UiLock.h"

namespace cli {

// plover-cli has no window that an update run or a dialog could hold, so the commands
// that the desktop program withholds while its window is locked always go ahead here.
class NeverLocked final : public platform::UiLock {
 public:
  bool UiLocked() const override { return false; }
};

}  // namespace cli
