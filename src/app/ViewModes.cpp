// SPDX-License-Identifier: MIT
#include "app/ViewModes.h"

namespace app {

PaneLayout PanesForViewMode(int viewMode) {
  switch (viewMode) {
    case kListMode:
      return {.Tree = true, .List = true, .Browser = false};
    case kBrowserMode:
      return {.Tree = false, .List = false, .Browser = true};
    case kViewMode:
      return {.Tree = true, .List = false, .Browser = true};
    default:
      return {};
  }
}

int ToggledViewMode(int current, int requested) {
  if (requested != kListMode && requested != kBrowserMode && requested != kViewMode) return kStandardMode;
  return current == requested ? kStandardMode : requested;
}

}  // namespace app
