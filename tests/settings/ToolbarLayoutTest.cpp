// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "settings/ToolbarLayout.h"

namespace settings {
namespace {

using D = ToolbarDock;

const IniFile::Section* FindSection(const IniFile& ini, const std::string& name) {
  for (const IniFile::Section& section : ini.Sections()) {
    if (section.Name == name) return &section;
  }
  return nullptr;
}

std::vector<std::string> LinesOf(const IniFile& ini, const std::string& name) {
  std::vector<std::string> lines;
  if (const IniFile::Section* section = FindSection(ini, name)) {
    for (const IniFile::Entry& entry : section->Entries) lines.push_back(entry.Key + "=" + entry.Value);
  }
  return lines;
}

const ToolbarPlace& PlaceOf(const std::vector<ToolbarPlace>& places, std::string_view name) {
  for (const ToolbarPlace& place : places) {
    if (place.Name == name) return place;
  }
  throw std::runtime_error("no toolbar " + std::string(name));
}

// A layout that uses every field: docks on all sides, a floating toolbar and a floating
// tool window, hidden toolbars, rows with gaps and extreme coordinates.
std::vector<ToolbarPlace> VariedLayout() {
  std::vector<ToolbarPlace> places;
  int i = 0;
  for (std::string_view name : kToolbarNames) {
    ToolbarPlace place;
    place.Name = std::string(name);
    place.Visible = i % 3 != 1;
    place.DockedTo = std::array{D::Dock_Top, D::Dock_Bottom, D::Dock_Left, D::Dock_Right}[i % 4];
    place.LastDock = place.DockedTo;
    place.DockRow = i * 7 % 5;
    place.DockPos = i * 113;
    place.FloatLeft = -1200 + i;
    place.FloatTop = 30 * i;
    if (place.IsToolWindow()) {
      place.ClientWidth = 300 + i;
      place.ClientHeight = 20 + i;
    } else {
      place.FloatRightX = i * 10;
    }
    places.push_back(place);
    ++i;
  }
  ToolbarPlace& floating = places[4];  // ToolBar_Button
  floating.DockedTo = D::Dock_None;
  floating.LastDock = D::Dock_Right;
  ToolbarPlace& floatingWindow = places[3];  // ToolWindow_Google
  floatingWindow.DockedTo = D::Dock_None;
  floatingWindow.LastDock = D::Dock_Bottom;
  floatingWindow.FloatLeft = kMinFloatCoordinate;
  floatingWindow.FloatTop = kMaxFloatCoordinate;
  return places;
}

TEST(ToolbarLayoutTest, EachModeReadsBackWhatItWroteInItsOwnSections) {
  const std::vector<ToolbarPlace> layout = VariedLayout();
  for (int mode = 1; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    const std::string prefix(ToolbarLayoutPrefix(mode));
    IniFile ini;
    // A stale key of an earlier layout, and a section that must stay where it is.
    ini.WriteString(prefix + "ToolBar_Link", "Stale", "1");
    ini.WriteString("Ev_Main", "ItemMax", "42");
    WriteToolbarLayout(ini, mode, layout);

    IniFile reread;
    reread.Parse(ini.Render());
    EXPECT_EQ(ReadToolbarLayout(reread, mode), layout);
    EXPECT_EQ(reread.SectionNames().size(), 13u);
    EXPECT_EQ(reread.SectionNames()[0], prefix + "ToolBar_Link");
    EXPECT_EQ(reread.SectionNames()[1], "Ev_Main");
    EXPECT_EQ(LinesOf(reread, prefix + "ToolBar_Button"),
              (std::vector<std::string>{"Rev=2000", "Visible=0", "DockedTo=", "LastDock=Dock_Right", "DockRow=3",
                                        "DockPos=452", "FloatLeft=-1196", "FloatTop=120", "FloatRightX=40"}));
    EXPECT_EQ(LinesOf(reread, prefix + "ToolWindow_Address"),
              (std::vector<std::string>{"Rev=2000", "Visible=1", "DockedTo=Dock_Left", "LastDock=Dock_Left",
                                        "DockRow=4", "DockPos=226", "FloatLeft=-1198", "FloatTop=60", "ClientWidth=302",
                                        "ClientHeight=22"}));
    // The other modes' layouts are not touched, and do not read this one.
    for (int other = 1; other <= 4; ++other) {
      if (other == mode) continue;
      EXPECT_FALSE(reread.SectionExists(std::string(ToolbarLayoutPrefix(other)) + "ToolBar_Menu"));
      EXPECT_NE(ReadToolbarLayout(reread, other), layout);
    }
  }
}

TEST(ToolbarLayoutTest, PrefixesAndHiddenToolbarsFollowTheViewMode) {
  EXPECT_EQ(ToolbarLayoutPrefix(1), "Sz_");
  EXPECT_EQ(ToolbarLayoutPrefix(2), "Sz_List_");
  EXPECT_EQ(ToolbarLayoutPrefix(3), "Sz_Brow_");
  EXPECT_EQ(ToolbarLayoutPrefix(4), "Sz_Evw_");
  // A damaged FormViewMode is standard mode, whose layout hides nothing.
  EXPECT_EQ(ToolbarLayoutPrefix(0), "Sz_");
  EXPECT_EQ(ToolbarLayoutPrefix(5), "Sz_");
  EXPECT_EQ(ToolbarLayoutPrefix(-1), "Sz_");

  const std::set<std::string> browserHidden = {"ToolBar_Button", "ToolBar_Setup", "ToolBar_Koudoku", "ToolBar_Time",
                                               "ToolBar_Ken"};
  const std::set<std::string> listHidden = {"ToolBar_Browser", "ToolWindow_Address", "ToolBar_Link"};
  for (int mode : {-1, 0, 1, 2, 3, 4, 5}) {
    for (std::string_view name : kToolbarNames) {
      SCOPED_TRACE(std::to_string(mode) + " " + std::string(name));
      bool expected = (mode == 3 && browserHidden.contains(std::string(name))) ||
                      (mode == 2 && listHidden.contains(std::string(name)));
      EXPECT_EQ(HiddenInViewMode(mode, name), expected);
      ToolbarPlace place;
      place.Name = std::string(name);
      EXPECT_EQ(ShownInViewMode(place, mode), !expected);
      place.Visible = false;
      EXPECT_FALSE(ShownInViewMode(place, mode));
    }
  }
}

// The built-in layout that a first start and a layout reset write into plover.ini.
IniFile DefaultLayoutFile() {
  const std::filesystem::path path =
      std::filesystem::path(PLOVER_TEST_DATA "../../../data/plover.ini").lexically_normal();
  IniFile ini;
  EXPECT_TRUE(ini.Load(path.string())) << path;
  return ini;
}

TEST(ToolbarLayoutTest, DefaultLayoutReadsAndRewritesUnchangedForEveryMode) {
  const IniFile defaults = DefaultLayoutFile();
  ASSERT_EQ(defaults.SectionNames().size(), 48u);
  for (int mode = 1; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    const std::vector<ToolbarPlace> places = ReadToolbarLayout(defaults, mode);
    // Writing the layout back reproduces every section key for key.
    IniFile rewritten = defaults;
    WriteToolbarLayout(rewritten, mode, places);
    for (const IniFile::Section& section : defaults.Sections()) {
      EXPECT_EQ(LinesOf(rewritten, section.Name), LinesOf(defaults, section.Name)) << section.Name;
    }
    // Every toolbar has a place of its own on the top dock, and a mode shows what it
    // uses: the stored visibility already agrees with the toolbars the mode hides.
    std::set<std::pair<int, int>> spots;
    for (const ToolbarPlace& place : places) {
      EXPECT_EQ(place.DockedTo, D::Dock_Top) << place.Name;
      EXPECT_TRUE(spots.insert({place.DockRow, place.DockPos}).second) << place.Name;
      EXPECT_EQ(place.Visible, !HiddenInViewMode(mode, place.Name)) << place.Name;
    }
    const std::vector<DockRows> docks = ArrangeRows(places);
    EXPECT_EQ(docks[0].Rows.size(), 5u);
    EXPECT_EQ(places[docks[0].Rows[0][0]].Name, "ToolBar_Menu");
  }
}

// Writes a well-formed section for every toolbar of standard mode (rows 0 to 11, one
// toolbar a row), then the lines of `damaged` as the section of `name`.
IniFile LayoutWithSection(std::string_view name, const std::vector<std::string>& damaged) {
  std::vector<ToolbarPlace> places;
  for (std::string_view each : kToolbarNames) {
    ToolbarPlace place;
    place.Name = std::string(each);
    place.DockRow = static_cast<int>(places.size());
    places.push_back(place);
  }
  IniFile ini;
  WriteToolbarLayout(ini, 1, places);
  ini.EraseSection("Sz_" + std::string(name));
  std::string bytes = ini.Render() + "[Sz_" + std::string(name) + "]\r\n";
  for (const std::string& line : damaged) bytes += line + "\r\n";
  ini.Parse(bytes);
  return ini;
}

TEST(ToolbarLayoutTest, DamagedValuesAreClampedOrFallBackToDefaults) {
  struct Case {
    const char* what;
    std::string_view name;
    std::vector<std::string> lines;
    std::function<void(const ToolbarPlace&)> check;
  };
  const Case cases[] = {
      {"numbers out of range are clamped",
       "ToolBar_Ken",
       {"DockRow=-5", "DockPos=9999999", "FloatLeft=-99999", "FloatTop=0x7FFFFFFF", "FloatRightX=-3"},
       [](const ToolbarPlace& p) {
         EXPECT_EQ(p.DockRow, 0);
         EXPECT_EQ(p.DockPos, kMaxDockPos);
         EXPECT_EQ(p.FloatLeft, kMinFloatCoordinate);
         EXPECT_EQ(p.FloatTop, kMaxFloatCoordinate);
         EXPECT_EQ(p.FloatRightX, 0);
       }},
      {"a huge row is clamped",
       "ToolBar_Ken",
       {"DockRow=2147483647"},
       [](const ToolbarPlace& p) { EXPECT_EQ(p.DockRow, kMaxDockRow); }},
      {"tool window sizes are clamped",
       "ToolWindow_Address",
       {"ClientWidth=-1", "ClientHeight=99999999"},
       [](const ToolbarPlace& p) {
         EXPECT_EQ(p.ClientWidth, 0);
         EXPECT_EQ(p.ClientHeight, kMaxToolbarSize);
       }},
      {"words where numbers belong keep the defaults, the row after the others",
       "ToolBar_Ken",
       {"Visible=yes", "DockRow=two", "DockPos=", "FloatLeft=1e3", "FloatTop=12px"},
       [](const ToolbarPlace& p) {
         EXPECT_TRUE(p.Visible);
         EXPECT_EQ(p.DockRow, 12);
         EXPECT_EQ(p.DockPos, 0);
         EXPECT_EQ(p.FloatLeft, 120);
         EXPECT_EQ(p.FloatTop, 120);
       }},
      {"an unknown dock returns to the last dock",
       "ToolBar_Ken",
       {"DockedTo=Dock_Middle", "LastDock=Dock_Left", "DockRow=1"},
       [](const ToolbarPlace& p) {
         EXPECT_EQ(p.DockedTo, D::Dock_Left);
         EXPECT_EQ(p.LastDock, D::Dock_Left);
       }},
      {"an unknown dock without a last dock is the top",
       "ToolBar_Ken",
       {"DockedTo=Dock_Middle", "LastDock=left"},
       [](const ToolbarPlace& p) {
         EXPECT_EQ(p.DockedTo, D::Dock_Top);
         EXPECT_EQ(p.LastDock, D::Dock_Top);
       }},
      {"docked: the last dock is the dock",
       "ToolBar_Ken",
       {"DockedTo=dock_bottom", "LastDock=Dock_Right"},
       [](const ToolbarPlace& p) {
         EXPECT_EQ(p.DockedTo, D::Dock_Bottom);
         EXPECT_EQ(p.LastDock, D::Dock_Bottom);
       }},
      {"floating without a usable last dock returns to the top",
       "ToolBar_Ken",
       {"Visible=2", "DockedTo=Dock_None", "LastDock=Dock_None"},
       [](const ToolbarPlace& p) {
         EXPECT_TRUE(p.Visible);
         EXPECT_TRUE(p.IsFloating());
         EXPECT_EQ(p.LastDock, D::Dock_Top);
       }},
      {"a section of another revision is ignored",
       "ToolBar_Ken",
       {"Rev=1999", "Visible=0", "DockedTo=Dock_Left", "DockRow=0"},
       [](const ToolbarPlace& p) {
         EXPECT_TRUE(p.Visible);
         EXPECT_EQ(p.DockedTo, D::Dock_Top);
         EXPECT_EQ(p.DockRow, 12);
       }},
      {"the wrong kind's size keys are not read",
       "ToolBar_Ken",
       {"ClientWidth=400", "DockRow=5"},
       [](const ToolbarPlace& p) { EXPECT_EQ(p.ClientWidth, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<ToolbarPlace> places = ReadToolbarLayout(LayoutWithSection(c.name, c.lines), 1);
    ASSERT_EQ(places.size(), kToolbarNames.size());
    c.check(PlaceOf(places, c.name));
  }
}

TEST(ToolbarLayoutTest, MissingSectionsGetRowsOfTheirOwnAfterTheStoredOnes) {
  IniFile ini;
  ini.Parse(
      "[Sz_ToolBar_Menu]\r\nDockRow=3\r\nDockPos=40\r\n"
      "[sz_toolbar_ken]\r\nVisible=0\r\nDockedTo=Dock_Left\r\nDockRow=6\r\n"
      "[Sz_ToolBar_Time]\r\nDockedTo=Dock_Left\r\nDockRow=oops\r\n"
      "[Sz_List_ToolBar_Link]\r\nDockRow=50\r\n");
  const std::vector<ToolbarPlace> places = ReadToolbarLayout(ini, 1);
  ASSERT_EQ(places.size(), 12u);
  for (size_t i = 0; i < places.size(); ++i) {
    EXPECT_EQ(places[i].Name, kToolbarNames[i]);
  }
  EXPECT_EQ(PlaceOf(places, "ToolBar_Menu").DockRow, 3);
  EXPECT_EQ(PlaceOf(places, "ToolBar_Menu").DockPos, 40);
  EXPECT_FALSE(PlaceOf(places, "ToolBar_Ken").Visible);
  // Another mode's section does not count; the missing toolbars follow row 3 in order.
  EXPECT_EQ(PlaceOf(places, "ToolBar_Browser").DockRow, 4);
  EXPECT_EQ(PlaceOf(places, "ToolBar_Link").DockRow, 5);
  EXPECT_EQ(PlaceOf(places, "ToolBar_Koudoku").DockRow, 12);
  EXPECT_TRUE(PlaceOf(places, "ToolBar_Koudoku").Visible);
  // A toolbar on the left with a broken row goes after the left dock's rows.
  EXPECT_EQ(PlaceOf(places, "ToolBar_Time").DockedTo, D::Dock_Left);
  EXPECT_EQ(PlaceOf(places, "ToolBar_Time").DockRow, 7);

  const std::vector<DockRows> docks = ArrangeRows(places);
  ASSERT_EQ(docks.size(), 4u);
  EXPECT_EQ(docks[0].Rows.size(), 10u) << "each toolbar of the top dock on a row of its own";
  EXPECT_EQ(docks[2].Rows, (std::vector<std::vector<size_t>>{{5}, {10}}));

  // An empty file gives the twelve toolbars, visible, one under the other at the top.
  const std::vector<ToolbarPlace> fresh = ReadToolbarLayout(IniFile(), 2);
  for (size_t i = 0; i < fresh.size(); ++i) {
    EXPECT_TRUE(fresh[i].Visible);
    EXPECT_EQ(fresh[i].DockedTo, D::Dock_Top);
    EXPECT_EQ(fresh[i].DockRow, static_cast<int>(i));
  }
}

TEST(ToolbarLayoutTest, RowsCloseGapsAndKeepTiesInTheGivenOrder) {
  auto place = [](const char* name, D dock, int row, int pos) {
    ToolbarPlace p;
    p.Name = name;
    p.DockedTo = dock;
    p.LastDock = dock == D::Dock_None ? D::Dock_Right : dock;
    p.DockRow = row;
    p.DockPos = pos;
    return p;
  };
  const std::vector<ToolbarPlace> places = {
      place("a", D::Dock_Top, 40, 0),     // 0
      place("b", D::Dock_Top, 7, 300),    // 1
      place("c", D::Dock_Top, 7, 10),     // 2
      place("d", D::Dock_Top, 7, 300),    // 3: ties with b, comes after it
      place("e", D::Dock_Bottom, 2, 0),   // 4
      place("f", D::Dock_None, 1, 5),     // 5: floating, keeps its slot on the right
      place("g", D::Dock_Right, 1, 0),    // 6
      place("h", D::Dock_Top, 0, 500),    // 7
      place("i", D::Dock_Bottom, 0, 99),  // 8
  };
  const std::vector<DockRows> expected = {
      {D::Dock_Top, {{7}, {2, 1, 3}, {0}}},
      {D::Dock_Bottom, {{8}, {4}}},
      {D::Dock_Left, {}},
      {D::Dock_Right, {{6, 5}}},
  };
  EXPECT_EQ(ArrangeRows(places), expected);
  EXPECT_EQ(ArrangeRows({}).size(), 4u);
}

TEST(ToolbarLayoutTest, FloatingToolbarIsKeptOnTheDesktop) {
  const ScreenRect desktop{-1920, 0, 3840, 1080};
  struct Case {
    int left, top, width, height;
    ScreenRect desktop;
    ScreenRect expected;
  };
  const Case cases[] = {
      {100, 200, 300, 30, desktop, {100, 200, 300, 30}},
      {-1920, 1050, 300, 30, desktop, {-1920, 1050, 300, 30}},
      {kMaxFloatCoordinate, kMaxFloatCoordinate, 300, 30, desktop, {1620, 1050, 300, 30}},
      {kMinFloatCoordinate, -40, 300, 30, desktop, {-1920, 0, 300, 30}},
      // Wider than the desktop: its left edge on the desktop's.
      {500, 10, 5000, 30, desktop, {-1920, 10, 5000, 30}},
      // No desktop known: as stored.
      {kMaxFloatCoordinate, -40, 300, 30, {}, {kMaxFloatCoordinate, -40, 300, 30}},
  };
  for (const Case& c : cases) {
    ToolbarPlace place;
    place.FloatLeft = c.left;
    place.FloatTop = c.top;
    EXPECT_EQ(FloatingRect(place, c.width, c.height, c.desktop), c.expected) << c.left << "," << c.top;
  }
}

}  // namespace
}  // namespace settings
