// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Settings.h"
#include "shell/BrowserTabsView.h"

namespace shell {

// The tab behaviour of the current view mode, read from and stored into the setting of
// that mode, and the button that shows it. While tabs are restored every mode behaves as
// if it opened them in the background.
class TabBehaviourSetting {
 public:
  TabBehaviourSetting(settings::Settings& settings, BrowserTabsView& view) : settings_(settings), view_(view) {}

  settings::TabBehaviour TabBehaviour() const;
  // The menu of the tab behaviour button: stores a value into the setting of the current
  // view mode and shows what that mode does now.
  void SetTabBehaviour(settings::TabBehaviour behaviour);
  // The tab behaviour button shows the behaviour of the current mode.
  void Show() { view_.ShowTabBehaviour(TabBehaviour()); }

  bool Restoring() const { return restoring_; }
  void SetRestoring(bool restoring) { restoring_ = restoring; }

 private:
  settings::Settings& settings_;
  BrowserTabsView& view_;
  bool restoring_ = false;
};

}  // namespace shell
