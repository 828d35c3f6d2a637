// SPDX-License-Identifier: MIT
#pragma once

#include "fetch/ModifierKeys.h"

namespace ui {

// The modifier keys as the keyboard holds them right now, for the update run (Shift and
// Ctrl change how a run fetches) and the style commands.
class KeyboardModifiers : public fetch::ModifierKeys {
 public:
  bool ShiftHeld() const override;
  bool CtrlHeld() const override;
};

}  // namespace ui
