// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "settings/IniFile.h"
#include "settings/TControlSize.h"
#include "support/TempDir.h"

namespace settings {
namespace {

ScreenRect RectOf(const TControlSize& size) {
  return {size.Left, size.Top, size.Width, size.Height};
}

std::set<std::string> KeysOf(const IniFile& ini, const std::string& section) {
  std::set<std::string> keys;
  for (const IniFile::Section& s : ini.Sections()) {
    if (s.Name != section) continue;
    for (const IniFile::Entry& entry : s.Entries) keys.insert(entry.Key);
  }
  return keys;
}

const ScreenRect kDesktop = {0, 0, 1920, 1080};

TEST(TControlSizeTest, MainWindowFirstOpensAt90PercentCentredAThirdDown) {
  testsupport::TempDir dir;
  struct Case {
    ScreenRect workArea;
    ScreenRect expected;
  };
  const Case cases[] = {
      // A panel at the bottom: centred horizontally, a third of the free height down.
      {{0, 0, 1920, 1040}, {96, 22, 1728, 972}},
      // A panel on the left moves the window with the work area.
      {{64, 0, 1856, 1080}, {128, 36, 1728, 972}},
  };
  for (const Case& c : cases) {
    TControlSize size = MainWindowSize(1920, 1080);
    EXPECT_EQ(size.SectionName(), "Sz_RssMainForm");
    EXPECT_FALSE(size.ReadSize(dir / "plover.ini", ScreenInfo{c.workArea, kDesktop}));
    EXPECT_EQ(RectOf(size), c.expected);
    EXPECT_FALSE(size.Maximized);
  }
}

TEST(TControlSizeTest, MainWindowComesBackAsItWasLeft) {
  testsupport::TempDir dir;
  TControlSize closing = MainWindowSize(1920, 1080);
  closing.Left = 100;
  closing.Top = 50;
  closing.Width = 800;
  closing.Height = 600;
  closing.Maximized = true;
  testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nItemMax=42\r\n[Sz_RssMainForm]\r\nszStale=1\r\n");
  ASSERT_TRUE(closing.WriteSize(dir / "plover.ini"));

  TControlSize opening = MainWindowSize(1920, 1080);
  EXPECT_TRUE(opening.ReadSize(dir / "plover.ini", ScreenInfo{kDesktop, kDesktop}));
  EXPECT_EQ(RectOf(opening), (ScreenRect{100, 50, 800, 600}));
  EXPECT_TRUE(opening.Maximized);

  IniFile file;
  file.Parse(testsupport::ReadFile(dir / "plover.ini"));
  EXPECT_EQ(file.ReadInteger("Ev_Main", "ItemMax", 0), 42) << "the rest of the file stays";
  EXPECT_EQ(KeysOf(file, "Sz_RssMainForm"),
            (std::set<std::string>{"szWindowState", "szLeft", "szTop", "szWidth", "szHeight"}));
}

struct ClampCase {
  const char* name;
  ScreenRect desktop;
  std::string stored;
  bool resizable;
  ScreenRect expected;
};

class WindowClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(WindowClampTest, KeepsTheWindowOnTheDesktop) {
  const ClampCase& c = GetParam();
  IniFile ini;
  ini.Parse("[Sz_Form]\r\n" + c.stored);
  TControlSize size;
  size.ControlName = "Form";
  size.Style = TControlSizeStyle::cssSize;
  size.Width = 500;
  size.Height = 400;
  ScreenInfo screen{c.desktop, c.desktop};
  screen.Resizable = c.resizable;
  size.ReadSize(ini, screen);
  EXPECT_EQ(RectOf(size), c.expected);
}

const ClampCase kClampCases[] = {
    {"Inside", kDesktop, "szLeft=100\nszTop=100\nszWidth=400\nszHeight=300\n", true, {100, 100, 400, 300}},
    {"OffTheRight", kDesktop, "szLeft=1800\nszTop=900\nszWidth=400\nszHeight=300\n", true, {1520, 780, 400, 300}},
    {"OffTheLeft", kDesktop, "szLeft=-500\nszTop=-50\nszWidth=400\nszHeight=300\n", true, {0, 0, 400, 300}},
    {"LargerThanTheDesktop", kDesktop, "szLeft=10\nszTop=10\nszWidth=3000\nszHeight=2000\n", true, {0, 0, 1920, 1080}},
    {"OnTheLeftMonitor",
     {-1280, 0, 3200, 1080},
     "szLeft=-1000\nszTop=100\nszWidth=400\nszHeight=300\n",
     true,
     {-1000, 100, 400, 300}},
    {"FixedSize", kDesktop, "szLeft=1800\nszTop=100\nszWidth=100\nszHeight=100\n", false, {1420, 100, 500, 400}},
    {"NoSize", kDesktop, "szLeft=10\nszTop=10\nszWidth=0\nszHeight=-5\n", true, {10, 10, 500, 400}},
    {"Extremes",
     kDesktop,
     "szLeft=2147483647\nszTop=-2147483648\nszWidth=2147483647\nszHeight=2147483647\n",
     true,
     {0, 0, 1920, 1080}},
    {"NoDesktopKnown", {}, "szLeft=5000\nszTop=5000\nszWidth=400\nszHeight=300\n", true, {5000, 5000, 400, 300}},
};

INSTANTIATE_TEST_SUITE_P(Windows, WindowClampTest, ::testing::ValuesIn(kClampCases),
                         [](const ::testing::TestParamInfo<ClampCase>& info) { return info.param.name; });

TEST(TControlSizeTest, StylesDecideWhatIsKept) {
  struct Case {
    TControlSizeStyle style;
    bool isForm;
    std::set<std::string> written;
    bool visibleRead;
    bool rectRead;
  };
  const std::set<std::string> rect = {"szLeft", "szTop", "szWidth", "szHeight"};
  std::set<std::string> visibleAndRect = rect;
  visibleAndRect.insert("szVisible");
  std::set<std::string> stateAndRect = rect;
  stateAndRect.insert("szWindowState");
  const Case cases[] = {
      {TControlSizeStyle::cssAll, false, visibleAndRect, true, true},
      {TControlSizeStyle::cssSize, false, rect, false, true},
      {TControlSizeStyle::cssVisible, false, {"szVisible"}, true, false},
      {TControlSizeStyle::cssSize, true, stateAndRect, false, true},
      {TControlSizeStyle::cssVisible, true, {}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style) * 2 + c.isForm);
    TControlSize size;
    size.ControlName = "PL_Panel";
    size.IsForm = c.isForm;
    size.Style = c.style;
    size.Left = 1;
    size.Top = 2;
    size.Width = 30;
    size.Height = 40;

    IniFile ini;
    ini.Parse("[Sz_PL_Panel]\r\nszOld=1\r\n");
    size.WriteSize(ini);
    EXPECT_EQ(KeysOf(ini, "Sz_PL_Panel"), c.written);

    ini.Parse("[Sz_PL_Panel]\r\nszVisible=0\r\nszLeft=10\r\nszTop=20\r\nszWidth=500\r\nszHeight=100\r\n");
    ScreenInfo screen;
    screen.ParentWidth = 300;
    screen.ParentHeight = 200;
    size.ReadSize(ini, screen);
    EXPECT_EQ(size.Visible, !c.visibleRead);
    // A control is limited to its parent's client area.
    const ScreenRect expected = c.rectRead ? ScreenRect{10, 20, c.isForm ? 500 : 300, 100} : ScreenRect{1, 2, 30, 40};
    EXPECT_EQ(RectOf(size), expected);
  }
}

}  // namespace
}  // namespace settings
