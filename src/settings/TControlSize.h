// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "settings/IniFile.h"

namespace settings {

// Which part of a control's geometry is kept.
enum class TControlSizeStyle {
  cssAll,      // position, size and (for controls other than windows) visibility
  cssSize,     // position and size
  cssVisible,  // visibility only
};

// A rectangle on the screen, in pixels.
struct ScreenRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const ScreenRect&) const = default;
};

// What the window system tells about the place of a control when its geometry is restored.
struct ScreenInfo {
  ScreenRect WorkArea;        // the work area of the window's monitor (or the primary screen)
  ScreenRect VirtualDesktop;  // all monitors together; an empty one means no clamping
  int ParentWidth = 0;        // a control's parent client size; 0 means no limit
  int ParentHeight = 0;
  bool Resizable = true;  // a window with a sizeable border
};

// The kept geometry of one window or control, as plain data: the user interface fills it
// from the control before WriteSize and applies it to the control after ReadSize. It is
// stored in the section "Sz_" + ControlName with the keys szLeft, szTop, szWidth, szHeight,
// szWindowState (1 when maximised) and szVisible.
class TControlSize {
 public:
  std::string ControlName;
  bool IsForm = true;  // a top-level window rather than a control inside one
  TControlSizeStyle Style = TControlSizeStyle::cssAll;
  bool ScreenSenter = false;  // centre a window on its work area before restoring

  // The normal (not maximised) rectangle, the window state and the visibility.
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Maximized = false;
  bool Visible = true;

  std::string SectionName() const { return "Sz_" + ControlName; }

  // Restores the geometry from `ini`; what is not stored keeps its current value, and so
  // does a stored width or height that is not positive. A window with ScreenSenter is
  // first centred on the work area: horizontally, and a third of the free height down. A
  // window's rectangle is then kept inside the virtual desktop, and a window that cannot
  // be resized keeps its size and takes only the position. A control takes its visibility
  // (cssAll, cssVisible) and its rectangle (cssAll, cssSize), its size limited to the
  // parent's client size.
  void ReadSize(const IniFile& ini, const ScreenInfo& screen);

  // Rewrites the section with the current geometry: for a window szWindowState and the
  // normal rectangle (nothing for cssVisible); for a control szVisible (cssAll, cssVisible)
  // and the rectangle (cssAll, cssSize).
  void WriteSize(IniFile& ini) const;

  // The same against the settings file at `path`, each with its own read of the file.
  // Failures are ignored (the geometry then stays as it is); the results tell whether the
  // file was read or written, for callers that care.
  bool ReadSize(const std::string& path, const ScreenInfo& screen);
  bool WriteSize(const std::string& path) const;
};

// The geometry keeper of the main window: section Sz_RssMainForm, position and size,
// centred before restoring, with the size set to 90% of the screen's, so that a first
// start opens a window of that size, centred horizontally and a third of the free height
// down.
TControlSize MainWindowSize(int screenWidth, int screenHeight);

}  // namespace settings
