// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// Whether the user interface is locked: an update run or a dialog holds it, and the
// commands that would change the tree, the list or the runs wait until it is free. Every
// host answers this one question in one place (the window keeps the state; plover-cli has
// no window and is never locked), and every part that must respect the lock is given it.
class UiLock {
 public:
  virtual ~UiLock() = default;

  virtual bool UiLocked() const = 0;
};

}  // namespace platform
