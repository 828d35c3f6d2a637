// SPDX-License-Identifier: MIT
#include "shell/TabBehaviourSetting.h"

namespace shell {

int TabBehaviourSetting::TabBehaviour() const {
  // While tabs are restored every mode opens them in the background.
  if (restoring_) return kTabsNewInBackground;
  // A stored number that names no behaviour is kept in the settings and read as normal.
  const auto known = [](settings::TabBehaviour stored) {
    const int value = static_cast<int>(stored);
    return value >= kTabsNormal && value <= kTabsKeepSites ? value : kTabsNormal;
  };
  switch (settings_.FormViewMode) {
    case settings::kModeBrowser:
      return known(settings_.BrwTabLock);
    case settings::kModeView:
      // The paged view knows only the two ways of opening sites in a new tab.
      return settings_.EvwTabLock == settings::TabBehaviour::kNewInBackground ? kTabsNewInBackground
                                                                              : kTabsNewWithFocus;
    default:
      return known(settings_.TabLock);
  }
}

void TabBehaviourSetting::SetTabBehaviour(int behaviour) {
  if (behaviour < kTabsNormal || behaviour > kTabsKeepSites) return;
  const auto stored = static_cast<settings::TabBehaviour>(behaviour);
  switch (settings_.FormViewMode) {
    case settings::kModeBrowser:
      settings_.BrwTabLock = stored;
      break;
    case settings::kModeView:
      settings_.EvwTabLock = stored;
      break;
    default:
      settings_.TabLock = stored;
      break;
  }
  Show();
}

}  // namespace shell
