// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"
#include "settings/TControlSize.h"

namespace settings {

// The edge of the main window a toolbar is docked to. Dock_None is a floating toolbar;
// in the settings file it is written as an empty DockedTo.
enum class ToolbarDock { Dock_None, Dock_Top, Dock_Bottom, Dock_Left, Dock_Right };

// The stored place of one toolbar of the main window, one section per toolbar and view
// mode. Rows are counted from the window's edge outwards and may have gaps; DockPos is
// the pixel position along the row and only orders the toolbars of a row.
struct ToolbarPlace {
  std::string Name;
  bool Visible = true;
  ToolbarDock DockedTo = ToolbarDock::Dock_Top;
  // The dock a floating toolbar goes back to; never Dock_None, and the same as DockedTo
  // while the toolbar is docked.
  ToolbarDock LastDock = ToolbarDock::Dock_Top;
  int DockRow = 0;
  int DockPos = 0;
  // The top-left corner of the toolbar while it floats, in screen pixels.
  int FloatLeft = 120;
  int FloatTop = 120;
  // The width of a floating toolbar; 0 leaves it at its natural width.
  int FloatRightX = 0;
  // The size of a tool window (a toolbar holding one resizable box); 0 means natural.
  int ClientWidth = 0;
  int ClientHeight = 0;

  bool IsToolWindow() const { return Name.starts_with("ToolWindow_"); }
  bool IsFloating() const { return DockedTo == ToolbarDock::Dock_None; }
  // The dock the toolbar is in, or for a floating one the dock it goes back to.
  ToolbarDock Area() const { return IsFloating() ? LastDock : DockedTo; }

  bool operator==(const ToolbarPlace&) const = default;
};

// The main window's toolbars, in the order their sections are read and written.
inline constexpr std::array<std::string_view, 12> kToolbarNames = {
    "ToolBar_Browser", "ToolBar_Link",       "ToolWindow_Address", "ToolWindow_Google",
    "ToolBar_Button",  "ToolBar_Ken",        "Toolbar_Mode",       "ToolBar_Setup",
    "ToolBar_Menu",    "ToolWindow_Animate", "ToolBar_Time",       "ToolBar_Koudoku"};

// The layout format the sections are written in; a section of another revision is not
// read.
inline constexpr int kToolbarLayoutRev = 2000;

// Stored numbers are clamped into these ranges: a damaged file must not push a toolbar
// out of reach or make row arithmetic overflow.
inline constexpr int kMaxDockRow = 999;
inline constexpr int kMaxDockPos = 32767;
inline constexpr int kMinFloatCoordinate = -32768;
inline constexpr int kMaxFloatCoordinate = 32767;
inline constexpr int kMaxToolbarSize = 32767;

// The section name prefix of a view mode (FormViewMode): "Sz_" for standard mode (1),
// "Sz_List_" for list mode (2), "Sz_Brow_" for browser mode (3), "Sz_Evw_" for view mode
// (4). A mode out of range is taken as standard mode.
std::string_view ToolbarLayoutPrefix(int viewMode);

// The stored text of a dock ("Dock_Top" …, empty for Dock_None).
std::string_view DockName(ToolbarDock dock);

// The places of the twelve toolbars in the order of kToolbarNames. What a section does
// not hold, or holds in a form that does not parse, keeps its default: visible, docked at
// the top, and, without a usable DockRow, on a row of its own after the rows the others
// use in that dock. A section of another revision is ignored as a whole. Numbers are
// clamped to the ranges above.
std::vector<ToolbarPlace> ReadToolbarLayout(const IniFile& ini, int viewMode);

// Rewrites the section of each place under the view mode's prefix: the keys of the
// section are replaced (its place in the file is kept), Rev is written as 2000, and a
// tool window gets ClientWidth and ClientHeight where a toolbar gets FloatRightX.
void WriteToolbarLayout(IniFile& ini, int viewMode, const std::vector<ToolbarPlace>& places);

// Whether a view mode hides a toolbar whatever its layout says: browser mode has no use
// for the headline buttons, list mode none for the browser's bars.
bool HiddenInViewMode(int viewMode, std::string_view name);

// Whether the toolbar is shown when its mode's layout is put up: the stored visibility,
// unless the mode hides the toolbar.
bool ShownInViewMode(const ToolbarPlace& place, int viewMode);

// The toolbars of one dock as rows from the window's edge outwards, each row in its order
// along the dock; the numbers are indexes into the places given to ArrangeRows.
struct DockRows {
  ToolbarDock Dock = ToolbarDock::Dock_Top;
  std::vector<std::vector<size_t>> Rows;

  bool operator==(const DockRows&) const = default;
};

// The four docks (top, bottom, left, right, each present even when empty) with their
// toolbars in the order a window adds them: rows by DockRow (gaps closed), a row by
// DockPos, toolbars with equal numbers in the order given. A floating toolbar is counted
// in the dock it goes back to, so that it keeps its place there.
std::vector<DockRows> ArrangeRows(const std::vector<ToolbarPlace>& places);

// Where a floating toolbar of the given size goes: its stored corner, moved so that the
// whole toolbar lies inside the desktop (as far as it fits), so that a toolbar left on a
// monitor that is gone can be reached again. An empty desktop means no limit.
ScreenRect FloatingRect(const ToolbarPlace& place, int width, int height, const ScreenRect& desktop);

}  // namespace settings
