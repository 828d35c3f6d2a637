// SPDX-License-Identifier: MIT
#include "shell/TabBehaviourSetting.h"

namespace shell {

settings::TabBehaviour TabBehaviourSetting::TabBehaviour() const {
  // While tabs are restored every mode opens them in the background.
  if (restoring_) return settings::TabBehaviour::kNewInBackground;
  // A stored number that names no behaviour is kept in the settings and read as normal.
  const auto known = [](settings::TabBehaviour stored) {
    return stored >= settings::TabBehaviour::kNormal && stored <= settings::TabBehaviour::kKeepSites
               ? stored
               : settings::TabBehaviour::kNormal;
  };
  switch (settings_.FormViewMode) {
    case settings::kModeBrowser:
      return known(settings_.BrwTabLock);
    case settings::kModeView:
      // The paged view knows only the two ways of opening sites in a new tab.
      return settings_.EvwTabLock == settings::TabBehaviour::kNewInBackground ? settings::TabBehaviour::kNewInBackground
                                                                              : settings::TabBehaviour::kNewWithFocus;
    default:
      return known(settings_.TabLock);
  }
}

void TabBehaviourSetting::SetTabBehaviour(settings::TabBehaviour behaviour) {
  if (behaviour < settings::TabBehaviour::kNormal || behaviour > settings::TabBehaviour::kKeepSites) return;
  switch (settings_.FormViewMode) {
    case settings::kModeBrowser:
      settings_.BrwTabLock = behaviour;
      break;
    case settings::kModeView:
      settings_.EvwTabLock = behaviour;
      break;
    default:
      settings_.TabLock = behaviour;
      break;
  }
  Show();
}

}  // namespace shell
