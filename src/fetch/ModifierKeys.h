// SPDX-License-Identifier: MIT
#pragma once

namespace fetch {

// The modifier keys held while the user starts a run: Shift fetches without the stored
// Last-Modified dates, Ctrl fetches one channel after another while the window waits.
// The desktop program reads the keyboard; plover-cli answers from its options.
class ModifierKeys {
 public:
  virtual ~ModifierKeys() = default;
  virtual bool ShiftHeld() const { return false; }
  virtual bool CtrlHeld() const { return false; }
};

}  // namespace fetch
