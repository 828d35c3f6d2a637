// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace app {

// What the main window does for its lifecycle. The desktop program implements it with
// its widgets; tests record the calls.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  virtual void SetTitle(const std::string& title) = 0;  // the window's and the program's caption
  // The parts of the window that depend on settings: geometry, link buttons, list
  // columns, histories, view mode.
  virtual void ApplyStoredLayout() = 0;
  virtual void ShowWindow() = 0;
  // Hides the window at once, so that the user sees it go before a long save.
  virtual void HideWindow() = 0;
  // Minimises into the notification area (or, without one, to the task bar).
  virtual void MinimiseToTray() = 0;
  virtual void ShowTrayIcon(bool shown) = 0;
  virtual void StopTrayAnimation() = 0;
  // Selects the headline node of the channel tree and shows its headline list.
  virtual void SelectRootNode() = 0;
  virtual void StopViewTimers() = 0;  // the tree's and the list's timers
  virtual void CloseAllTabs() = 0;
  // Ends the application's event loop; the process then exits.
  virtual void EndApplication() = 0;
};

}  // namespace app
