// SPDX-License-Identifier: MIT
#include "settings/TControlSize.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "settings/SettingsFile.h"

namespace settings {

namespace {

// Stored and screen values are arbitrary 32-bit numbers; the sums are made in 64 bits
// and the results brought back into range.
int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

ScreenRect ReadRect(const IniFile& ini, const std::string& section, ScreenRect current) {
  ScreenRect rect = current;
  rect.Left = ini.ReadInteger(section, "szLeft", current.Left);
  rect.Top = ini.ReadInteger(section, "szTop", current.Top);
  // A window of no size cannot be seen or grabbed again: such a value is damage.
  int width = ini.ReadInteger(section, "szWidth", current.Width);
  int height = ini.ReadInteger(section, "szHeight", current.Height);
  if (width > 0) rect.Width = width;
  if (height > 0) rect.Height = height;
  return rect;
}

void WriteRect(IniFile& ini, const std::string& section, const TControlSize& size) {
  ini.WriteInteger(section, "szLeft", size.Left);
  ini.WriteInteger(section, "szTop", size.Top);
  ini.WriteInteger(section, "szWidth", size.Width);
  ini.WriteInteger(section, "szHeight", size.Height);
}

// Moves one edge range [start, start + length) inside [areaStart, areaStart + areaLength).
void ClampSpan(int& start, int& length, int areaStart, int areaLength) {
  int64_t limitedLength = std::min<int64_t>(length, areaLength);
  int64_t areaEnd = static_cast<int64_t>(areaStart) + areaLength;
  int64_t first = start;
  if (first + limitedLength > areaEnd) first = areaEnd - limitedLength;
  first = std::max<int64_t>(first, areaStart);
  start = ToInt(first);
  length = ToInt(limitedLength);
}

ScreenRect ClampIntoDesktop(ScreenRect rect, const ScreenRect& desktop) {
  if (desktop.Width <= 0 || desktop.Height <= 0) return rect;
  ClampSpan(rect.Left, rect.Width, desktop.Left, desktop.Width);
  ClampSpan(rect.Top, rect.Height, desktop.Top, desktop.Height);
  return rect;
}

}  // namespace

void TControlSize::ReadSize(const IniFile& ini, const ScreenInfo& screen) {
  const std::string section = SectionName();
  if (IsForm && ScreenSenter) {
    const ScreenRect& area = screen.WorkArea;
    Left = ToInt(area.Left + (static_cast<int64_t>(area.Width) - Width) / 2);
    Top = ToInt(area.Top + (static_cast<int64_t>(area.Height) - Height) / 3);
  }
  ScreenRect rect{Left, Top, Width, Height};
  if (Style != TControlSizeStyle::cssVisible) rect = ReadRect(ini, section, rect);
  if (IsForm) {
    // A window of fixed size keeps it; its position is clamped for the size it has.
    if (!screen.Resizable) {
      rect.Width = Width;
      rect.Height = Height;
    }
    rect = ClampIntoDesktop(rect, screen.VirtualDesktop);
    Left = rect.Left;
    Top = rect.Top;
    Width = rect.Width;
    Height = rect.Height;
    Maximized = ini.ReadInteger(section, "szWindowState", Maximized ? 1 : 0) != 0;
    return;
  }
  if (Style != TControlSizeStyle::cssSize) Visible = ini.ReadBool(section, "szVisible", Visible);
  if (Style == TControlSizeStyle::cssVisible) return;
  if (screen.ParentWidth > 0) rect.Width = std::min(rect.Width, screen.ParentWidth);
  if (screen.ParentHeight > 0) rect.Height = std::min(rect.Height, screen.ParentHeight);
  Left = rect.Left;
  Top = rect.Top;
  Width = rect.Width;
  Height = rect.Height;
}

void TControlSize::WriteSize(IniFile& ini) const {
  const std::string section = SectionName();
  if (IsForm && Style == TControlSizeStyle::cssVisible) {
    ini.EraseSection(section);
    return;
  }
  // Emptied rather than erased: the section keeps its place, so saves do not reorder the file.
  ini.ClearSection(section);
  if (IsForm) {
    ini.WriteInteger(section, "szWindowState", Maximized ? 1 : 0);
    WriteRect(ini, section, *this);
    return;
  }
  if (Style != TControlSizeStyle::cssSize) ini.WriteBool(section, "szVisible", Visible);
  if (Style != TControlSizeStyle::cssVisible) WriteRect(ini, section, *this);
}

bool TControlSize::ReadSize(const std::string& path, const ScreenInfo& screen) {
  try {
    SettingsFile file = OpenSettingsFile(path);
    ReadSize(file.Ini(), screen);
    return file.FileOrigin() == SettingsFile::Origin::kRead;
  } catch (...) {
    // Restoring a window's geometry is a convenience; the window keeps what it has.
    return false;
  }
}

bool TControlSize::WriteSize(const std::string& path) const {
  try {
    SettingsFile file = OpenSettingsFile(path);
    WriteSize(file.Ini());
    return FlushSettingsFile(file);
  } catch (...) {
    return false;
  }
}

TControlSize MainWindowSize(int screenWidth, int screenHeight) {
  TControlSize size;
  size.ControlName = "RssMainForm";
  size.IsForm = true;
  size.Style = TControlSizeStyle::cssSize;
  size.ScreenSenter = true;
  size.Width = ToInt(static_cast<int64_t>(screenWidth) * 9 / 10);
  size.Height = ToInt(static_cast<int64_t>(screenHeight) * 9 / 10);
  return size;
}

}  // namespace settings
