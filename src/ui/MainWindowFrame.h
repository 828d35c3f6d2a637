// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "app/MainWindowView.h"

class QMainWindow;

namespace settings {
struct Settings;
}

namespace ui {

class BrowserPane;
class ChannelTreePane;
class TrayIcon;
class WindowLayout;
class WindowState;

// The main window as a whole, as its lifecycle sees it: the caption, showing, hiding,
// minimising into the notification area and ending. The tray, the root node of the tree,
// the tabs and the stored layout are those views' business; this only hands the
// lifecycle's calls on to them.
class MainWindowFrame : public app::MainWindowView {
 public:
  MainWindowFrame(QMainWindow& window, WindowState& state, const settings::Settings& settings, TrayIcon& tray,
                  ChannelTreePane& tree, BrowserPane& browser, WindowLayout& layout);

  // Brings the window up from the notification area (a second start asks for this).
  void ComeForward();
  // The tray's show command: the window comes forward when minimised, and goes into the
  // notification area otherwise.
  void ToggleShown();

  // app::MainWindowView
  void SetTitle(const std::string& title) override;
  void ApplyStoredLayout() override;
  void ShowWindow() override;
  void HideWindow() override;
  void MinimiseToTray() override;
  void ShowTrayIcon(bool shown) override;
  void StopTrayAnimation() override {}
  void SelectRootNode() override;
  void StopViewTimers() override {}
  void CloseAllTabs() override;
  void EndApplication() override;

 private:
  QMainWindow& window_;
  WindowState& state_;
  const settings::Settings& settings_;
  TrayIcon& tray_;
  ChannelTreePane& tree_;
  BrowserPane& browser_;
  WindowLayout& layout_;
};

}  // namespace ui
