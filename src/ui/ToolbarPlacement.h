// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "settings/ToolbarLayout.h"

class QMainWindow;

// Puts the main window's toolbars where a stored layout says and reads their places back.
// The toolbars are the window's QToolBars whose objectName is one of the twelve toolbar
// names; a name the window has no toolbar for is passed over, and toolbars of other
// names are left where they are.
namespace ui {

// Re-adds each toolbar dock by dock and row by row, with a break before every row, so
// that rows and their order come out as stored (Qt packs a row, so DockPos orders the
// toolbars of a row but does not move them apart). A floating toolbar is counted in the
// dock it goes back to and floats at its stored corner, kept on the desktop, at its
// stored width (FloatRightX, or ClientWidth and ClientHeight for a tool window) when that
// is set. Each toolbar then shows or hides as the layout and the view mode say.
void ApplyToolbarLayout(QMainWindow& window, const std::vector<settings::ToolbarPlace>& places, int viewMode);

// The places of the twelve toolbars as the window shows them: the dock, the row counted
// from the window's edge, the position along the row, floating geometry and visibility.
// Hidden toolbars keep the place Qt holds for them in their row. What the window cannot
// tell (where a docked toolbar floats next, the row a floating one returns to, the
// stored size of a docked tool window) and toolbars the window does not have come from
// `previous`, the layout that was applied, or from the defaults.
std::vector<settings::ToolbarPlace> CaptureToolbarLayout(QMainWindow& window,
                                                         const std::vector<settings::ToolbarPlace>& previous);

}  // namespace ui
