// SPDX-License-Identifier: MIT
#include "settings/ToolbarLayout.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>

#include "platform/Ascii.h"
#include "settings/Settings.h"

namespace settings {

namespace {

// Indexed by FormViewMode; index 0 stands for any value out of range.
constexpr std::array<std::string_view, 5> kPrefixes = {"Sz_", "Sz_", "Sz_List_", "Sz_Brow_", "Sz_Evw_"};

constexpr std::array<std::string_view, 5> kHiddenInBrowserMode = {"ToolBar_Button", "ToolBar_Setup", "ToolBar_Koudoku",
                                                                  "ToolBar_Time", "ToolBar_Ken"};
constexpr std::array<std::string_view, 3> kHiddenInListMode = {"ToolBar_Browser", "ToolWindow_Address", "ToolBar_Link"};

constexpr std::array<ToolbarDock, 4> kDocks = {ToolbarDock::Dock_Top, ToolbarDock::Dock_Bottom, ToolbarDock::Dock_Left,
                                               ToolbarDock::Dock_Right};

struct DockText {
  ToolbarDock Dock;
  std::string_view Text;
};

constexpr std::array<DockText, 5> kDockTexts = {{{ToolbarDock::Dock_Top, "Dock_Top"},
                                                 {ToolbarDock::Dock_Bottom, "Dock_Bottom"},
                                                 {ToolbarDock::Dock_Left, "Dock_Left"},
                                                 {ToolbarDock::Dock_Right, "Dock_Right"},
                                                 {ToolbarDock::Dock_None, "Dock_None"}}};

// The dock a stored text names. An empty text is a floating toolbar, and so is
// "Dock_None", which hand-edited files may hold; anything else names no dock.
std::optional<ToolbarDock> ParseDock(std::string_view text) {
  if (text.empty()) return ToolbarDock::Dock_None;
  for (const DockText& entry : kDockTexts) {
    if (platform::EqualsAsciiNoCase(text, entry.Text)) return entry.Dock;
  }
  return std::nullopt;
}

std::optional<ToolbarDock> ReadDock(const IniFile& ini, const std::string& section, std::string_view key) {
  if (!ini.ValueExists(section, key)) return std::nullopt;
  return ParseDock(ini.ReadString(section, key, ""));
}

std::optional<int> ReadNumber(const IniFile& ini, const std::string& section, std::string_view key, int low, int high) {
  std::optional<int32_t> value = ParseIniInteger(ini.ReadString(section, key, ""));
  if (!value) return std::nullopt;
  return std::clamp<int>(*value, low, high);
}

void ReadDocks(const IniFile& ini, const std::string& section, ToolbarPlace& place) {
  std::optional<ToolbarDock> last = ReadDock(ini, section, "LastDock");
  std::optional<ToolbarDock> docked = ReadDock(ini, section, "DockedTo");
  bool lastUsable = last && *last != ToolbarDock::Dock_None;
  // Without a dock it can use, the toolbar stays where it last was docked, else at the top.
  place.DockedTo = docked ? *docked : (lastUsable ? *last : ToolbarDock::Dock_Top);
  if (!place.IsFloating()) {
    place.LastDock = place.DockedTo;
  } else {
    place.LastDock = lastUsable ? *last : ToolbarDock::Dock_Top;
  }
}

// Reads one section into `place`, which keeps its defaults for what the section does not
// hold; the result tells whether the section gave a usable DockRow.
bool ReadPlace(const IniFile& ini, const std::string& section, ToolbarPlace& place) {
  if (!ini.SectionExists(section)) return false;
  // A section laid out by another revision of the format is not understood.
  if (ini.ReadInteger(section, "Rev", kToolbarLayoutRev) != kToolbarLayoutRev) return false;
  place.Visible = ini.ReadBool(section, "Visible", place.Visible);
  ReadDocks(ini, section, place);
  place.DockPos = ReadNumber(ini, section, "DockPos", 0, kMaxDockPos).value_or(place.DockPos);
  place.FloatLeft =
      ReadNumber(ini, section, "FloatLeft", kMinFloatCoordinate, kMaxFloatCoordinate).value_or(place.FloatLeft);
  place.FloatTop =
      ReadNumber(ini, section, "FloatTop", kMinFloatCoordinate, kMaxFloatCoordinate).value_or(place.FloatTop);
  if (place.IsToolWindow()) {
    place.ClientWidth = ReadNumber(ini, section, "ClientWidth", 0, kMaxToolbarSize).value_or(place.ClientWidth);
    place.ClientHeight = ReadNumber(ini, section, "ClientHeight", 0, kMaxToolbarSize).value_or(place.ClientHeight);
  } else {
    place.FloatRightX = ReadNumber(ini, section, "FloatRightX", 0, kMaxToolbarSize).value_or(place.FloatRightX);
  }
  std::optional<int> row = ReadNumber(ini, section, "DockRow", 0, kMaxDockRow);
  if (row) place.DockRow = *row;
  return row.has_value();
}

// Gives each toolbar without a row one of its own after the rows used in its dock, in
// the order of the list, so that a toolbar missing from the file cannot cover another.
void PlaceRowless(std::vector<ToolbarPlace>& places, const std::vector<bool>& hasRow) {
  for (ToolbarDock dock : kDocks) {
    int next = 0;
    for (size_t i = 0; i < places.size(); ++i) {
      if (hasRow[i] && places[i].Area() == dock) next = std::max(next, places[i].DockRow + 1);
    }
    for (size_t i = 0; i < places.size(); ++i) {
      if (!hasRow[i] && places[i].Area() == dock) places[i].DockRow = next++;
    }
  }
}

// Moves [start, start + length) inside [areaStart, areaStart + areaLength) as far as it fits.
int ClampStart(int start, int length, int areaStart, int areaLength) {
  int64_t areaEnd = static_cast<int64_t>(areaStart) + areaLength;
  int64_t first = std::min<int64_t>(start, areaEnd - std::min(length, areaLength));
  return static_cast<int>(std::max<int64_t>(first, areaStart));
}

}  // namespace

std::string_view ToolbarLayoutPrefix(int viewMode) {
  bool known = viewMode >= 1 && viewMode < static_cast<int>(kPrefixes.size());
  return kPrefixes[known ? static_cast<size_t>(viewMode) : 0];
}

std::string_view DockName(ToolbarDock dock) {
  if (dock == ToolbarDock::Dock_None) return "";
  for (const DockText& entry : kDockTexts) {
    if (entry.Dock == dock) return entry.Text;
  }
  return "";
}

std::vector<ToolbarPlace> ReadToolbarLayout(const IniFile& ini, int viewMode) {
  const std::string prefix(ToolbarLayoutPrefix(viewMode));
  std::vector<ToolbarPlace> places;
  std::vector<bool> hasRow;
  for (std::string_view name : kToolbarNames) {
    ToolbarPlace place;
    place.Name = std::string(name);
    bool hasUsableRow = ReadPlace(ini, prefix + place.Name, place);
    places.push_back(place);
    hasRow.push_back(hasUsableRow);
  }
  PlaceRowless(places, hasRow);
  return places;
}

void WriteToolbarLayout(IniFile& ini, int viewMode, const std::vector<ToolbarPlace>& places) {
  const std::string prefix(ToolbarLayoutPrefix(viewMode));
  for (const ToolbarPlace& place : places) {
    const std::string section = prefix + place.Name;
    // Emptied rather than erased: the section keeps its place, so saves do not reorder
    // the file, and no key of an earlier layout survives.
    ini.ClearSection(section);
    ToolbarDock last = place.IsFloating() ? place.LastDock : place.DockedTo;
    if (last == ToolbarDock::Dock_None) last = ToolbarDock::Dock_Top;
    ini.WriteInteger(section, "Rev", kToolbarLayoutRev);
    ini.WriteBool(section, "Visible", place.Visible);
    ini.WriteString(section, "DockedTo", DockName(place.DockedTo));
    ini.WriteString(section, "LastDock", DockName(last));
    ini.WriteInteger(section, "DockRow", place.DockRow);
    ini.WriteInteger(section, "DockPos", place.DockPos);
    ini.WriteInteger(section, "FloatLeft", place.FloatLeft);
    ini.WriteInteger(section, "FloatTop", place.FloatTop);
    if (place.IsToolWindow()) {
      ini.WriteInteger(section, "ClientWidth", place.ClientWidth);
      ini.WriteInteger(section, "ClientHeight", place.ClientHeight);
    } else {
      ini.WriteInteger(section, "FloatRightX", place.FloatRightX);
    }
  }
}

bool HiddenInViewMode(int viewMode, std::string_view name) {
  auto contains = [name](const auto& names) { return std::find(names.begin(), names.end(), name) != names.end(); };
  if (viewMode == kModeBrowser) return contains(kHiddenInBrowserMode);
  if (viewMode == kModeList) return contains(kHiddenInListMode);
  return false;
}

bool ShownInViewMode(const ToolbarPlace& place, int viewMode) {
  return place.Visible && !HiddenInViewMode(viewMode, place.Name);
}

std::vector<DockRows> ArrangeRows(const std::vector<ToolbarPlace>& places) {
  std::vector<DockRows> docks;
  for (ToolbarDock dock : kDocks) {
    std::vector<size_t> members;
    for (size_t i = 0; i < places.size(); ++i) {
      if (places[i].Area() == dock) members.push_back(i);
    }
    // Equal numbers keep the order of the list, which is the order of the sections.
    std::sort(members.begin(), members.end(), [&places](size_t a, size_t b) {
      return std::tie(places[a].DockRow, places[a].DockPos, a) < std::tie(places[b].DockRow, places[b].DockPos, b);
    });
    DockRows rows{dock, {}};
    for (size_t k = 0; k < members.size(); ++k) {
      bool newRow = k == 0 || places[members[k]].DockRow != places[members[k - 1]].DockRow;
      if (newRow) rows.Rows.emplace_back();
      rows.Rows.back().push_back(members[k]);
    }
    docks.push_back(std::move(rows));
  }
  return docks;
}

ScreenRect FloatingRect(const ToolbarPlace& place, int width, int height, const ScreenRect& desktop) {
  ScreenRect rect{place.FloatLeft, place.FloatTop, std::max(width, 0), std::max(height, 0)};
  if (desktop.Width <= 0 || desktop.Height <= 0) return rect;
  rect.Left = ClampStart(rect.Left, rect.Width, desktop.Left, desktop.Width);
  rect.Top = ClampStart(rect.Top, rect.Height, desktop.Top, desktop.Height);
  return rect;
}

}  // namespace settings
