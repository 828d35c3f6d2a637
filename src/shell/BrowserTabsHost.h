// SPDX-License-Identifier: MIT
#pragma once

namespace shell {

// What the tab list asks of the rest of the main window.
class BrowserTabsHost {
 public:
  virtual ~BrowserTabsHost() = default;

  // The modifier keys held right now.
  virtual bool ShiftHeld() const = 0;
  virtual bool CtrlHeld() const = 0;
  // Whether the channel tree or the favourites tree has the keyboard focus.
  virtual bool TreeHasFocus() const = 0;
  // The list mode button's action while list mode is on: back to standard mode. The
  // host changes FormViewMode in the settings.
  virtual void LeaveListMode() = 0;
};

}  // namespace shell
