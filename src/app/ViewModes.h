// SPDX-License-Identifier: MIT
#pragma once

#include "settings/Settings.h"

// The four view modes of the main window (FormViewMode): which panes each shows and how
// the mode buttons move between them.
namespace app {

inline constexpr int kStandardMode = settings::kModeStandard;
inline constexpr int kListMode = settings::kModeList;
inline constexpr int kBrowserMode = settings::kModeBrowser;
inline constexpr int kViewMode = settings::kModeView;

// The panes a view mode shows. Standard mode shows all three; list mode enlarges the
// headline list by leaving the browser out; browser mode gives the whole window to the
// browser; view mode reads the paged headline view beside the channel tree, the list
// being out of sight.
struct PaneLayout {
  bool Tree = true;
  bool List = true;
  bool Browser = true;
  bool operator==(const PaneLayout&) const = default;
};

PaneLayout PanesForViewMode(settings::ViewMode viewMode);

// The mode after pressing the button of `requested` (list, browser or view mode) while
// `current` is on: a button switches between its own mode and standard mode, so pressing
// it again returns to standard mode. Any other request, or a stored value out of range,
// gives standard mode.
settings::ViewMode ToggledViewMode(settings::ViewMode current, settings::ViewMode requested);

// What the window does when the view mode changes: the toolbar layout of the old mode is
// kept, the new mode's layout is put up and its panes are shown.
class ViewModeView {
 public:
  virtual ~ViewModeView() = default;
  virtual void ApplyViewMode(int oldMode, int newMode) = 0;
};

}  // namespace app
