// SPDX-License-Identifier: MIT
#include "ui/MainWindowFrame.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QSystemTrayIcon>

#include "settings/Settings.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreePane.h"
#include "ui/QtText.h"
#include "ui/TrayIcon.h"
#include "ui/WindowLayout.h"
#include "ui/WindowState.h"

namespace ui {

MainWindowFrame::MainWindowFrame(QMainWindow& window, WindowState& state, const settings::Settings& settings,
                                 TrayIcon& tray, ChannelTreePane& tree, BrowserPane& browser, WindowLayout& layout)
    : window_(window),
      state_(state),
      settings_(settings),
      tray_(tray),
      tree_(tree),
      browser_(browser),
      layout_(layout) {}

void MainWindowFrame::ComeForward() {
  window_.showNormal();
  window_.raise();
  window_.activateWindow();
}

void MainWindowFrame::ToggleShown() {
  if (state_.Minimised()) {
    ComeForward();
  } else {
    MinimiseToTray();
  }
}

void MainWindowFrame::SetTitle(const std::string& title) {
  state_.SetTitle(title);
  // The caption alone: a program name that Qt appends to every caption would keep a
  // passing caption ("更新中･･･") after the pages have put theirs in place.
  window_.setWindowTitle(ToQString(title));
}

void MainWindowFrame::ApplyStoredLayout() {
  layout_.ApplyStoredLayout();
}

void MainWindowFrame::ShowWindow() {
  if (layout_.StartMaximised()) {
    window_.showMaximized();
  } else {
    window_.show();
  }
}

void MainWindowFrame::HideWindow() {
  layout_.KeepPaneSizes(settings_.FormViewMode);
  window_.hide();
  QCoreApplication::processEvents();
}

void MainWindowFrame::MinimiseToTray() {
  // Without a notification area the window is only minimised, so it can always be found.
  layout_.KeepPaneSizes(settings_.FormViewMode);
  if (QSystemTrayIcon::isSystemTrayAvailable() && tray_.Visible()) {
    window_.hide();
  } else {
    window_.showMinimized();
  }
}

void MainWindowFrame::ShowTrayIcon(bool shown) {
  tray_.Show(shown);
}

void MainWindowFrame::SelectRootNode() {
  tree_.SelectRoot();
}

void MainWindowFrame::CloseAllTabs() {
  browser_.CloseAllTabs();
}

void MainWindowFrame::EndApplication() {
  state_.SetEnding();
  QCoreApplication::quit();
}

}  // namespace ui
