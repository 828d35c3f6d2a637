// SPDX-License-Identifier: MIT
#include "app/ViewModes.h"

namespace app {

PaneLayout PanesForViewMode(settings::ViewMode viewMode) {
  switch (viewMode) {
    case settings::ViewMode::kList:
      return {.Tree = true, .List = true, .Browser = false};
    case settings::ViewMode::kBrowser:
      return {.Tree = false, .List = false, .Browser = true};
    case settings::ViewMode::kView:
      return {.Tree = true, .List = false, .Browser = true};
    default:
      return {};
  }
}

settings::ViewMode ToggledViewMode(settings::ViewMode current, settings::ViewMode requested) {
  using settings::ViewMode;
  if (requested != ViewMode::kList && requested != ViewMode::kBrowser && requested != ViewMode::kView) {
    return ViewMode::kStandard;
  }
  return current == requested ? ViewMode::kStandard : requested;
}

}  // namespace app
