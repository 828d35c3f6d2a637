// SPDX-License-Identifier: MIT
// The main window's toolbars go where a stored layout puts them, and come back from the
// window as the same rows in the same order.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QToolBar>
#include <map>
#include <string>
#include <vector>

#include "ui/ToolbarPlacement.h"

namespace ui {
namespace {

using settings::ToolbarDock;
using settings::ToolbarPlace;
using D = ToolbarDock;

// The toolbars the test window has: some of the twelve, and one of another name.
const std::vector<std::string> kPresent = {"ToolBar_Menu",    "ToolBar_Button",     "ToolBar_Ken",
                                           "ToolBar_Browser", "ToolWindow_Address", "Toolbar_Mode"};

class ToolbarWindow : public ::testing::Test {
 protected:
  ToolbarWindow() {
    window_.setCentralWidget(new QLabel(QStringLiteral("centre")));
    for (const std::string& name : kPresent) AddBar(name);
    other_ = AddBar("SomeOtherBar");
    window_.resize(1000, 700);
    window_.show();
    Settle();
  }

  QToolBar* AddBar(const std::string& name) {
    auto* bar = new QToolBar(QString::fromStdString(name));
    bar->setObjectName(QString::fromStdString(name));
    for (int i = 0; i < 3; ++i) bar->addAction(QString::fromStdString(name.substr(0, 6)) + QString::number(i));
    window_.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
  }

  QToolBar* Bar(const std::string& name) {
    return window_.findChild<QToolBar*>(QString::fromStdString(name), Qt::FindDirectChildrenOnly);
  }

  static void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  void Apply(const std::vector<ToolbarPlace>& places, int mode) {
    ApplyToolbarLayout(window_, places, mode);
    Settle();
  }

  QMainWindow window_;
  QToolBar* other_ = nullptr;
};

ToolbarPlace Place(const std::string& name, D dock, int row, int pos, bool visible = true) {
  ToolbarPlace place;
  place.Name = name;
  place.DockedTo = dock;
  place.LastDock = dock;
  place.DockRow = row;
  place.DockPos = pos;
  place.Visible = visible;
  return place;
}

// The rows of each dock as toolbar names, for the toolbars the window has: what a
// placement must reproduce.
std::map<D, std::vector<std::vector<std::string>>> RowsByName(const std::vector<ToolbarPlace>& places) {
  std::map<D, std::vector<std::vector<std::string>>> result;
  for (const settings::DockRows& dock : settings::ArrangeRows(places)) {
    for (const std::vector<size_t>& row : dock.Rows) {
      std::vector<std::string> names;
      for (size_t index : row) {
        const ToolbarPlace& place = places[index];
        bool present = std::find(kPresent.begin(), kPresent.end(), place.Name) != kPresent.end();
        if (present && !place.IsFloating()) names.push_back(place.Name);
      }
      if (!names.empty()) result[dock.Dock].push_back(names);
    }
  }
  return result;
}

const ToolbarPlace& Find(const std::vector<ToolbarPlace>& places, const std::string& name) {
  return *std::find_if(places.begin(), places.end(), [&](const ToolbarPlace& p) { return p.Name == name; });
}

TEST_F(ToolbarWindow, CaptureGivesBackTheRowsAndOrderThatWereApplied) {
  // Each layout is applied over the one before, so toolbars move between docks and rows.
  const std::vector<std::vector<ToolbarPlace>> layouts = {
      {Place("ToolBar_Menu", D::Dock_Top, 0, 0), Place("ToolBar_Button", D::Dock_Top, 3, 0),
       Place("ToolBar_Ken", D::Dock_Top, 3, 500), Place("ToolWindow_Address", D::Dock_Top, 3, 200),
       Place("Toolbar_Mode", D::Dock_Bottom, 1, 0), Place("ToolBar_Browser", D::Dock_Left, 0, 0),
       // Sections without a toolbar in this window are passed over.
       Place("ToolBar_Time", D::Dock_Top, 0, 10), Place("ToolBar_Koudoku", D::Dock_Right, 0, 0)},
      {Place("ToolBar_Menu", D::Dock_Bottom, 0, 0), Place("ToolBar_Button", D::Dock_Right, 2, 0),
       Place("ToolBar_Ken", D::Dock_Right, 2, 0), Place("ToolWindow_Address", D::Dock_Top, 9, 0),
       Place("Toolbar_Mode", D::Dock_Top, 9, 0), Place("ToolBar_Browser", D::Dock_Bottom, 5, 0)},
      {Place("ToolBar_Menu", D::Dock_Top, 0, 0), Place("ToolBar_Button", D::Dock_Top, 1, 0),
       Place("ToolBar_Ken", D::Dock_Top, 2, 0), Place("ToolWindow_Address", D::Dock_Top, 3, 0),
       Place("Toolbar_Mode", D::Dock_Top, 4, 0), Place("ToolBar_Browser", D::Dock_Top, 5, 0)},
  };
  for (size_t i = 0; i < layouts.size(); ++i) {
    SCOPED_TRACE(i);
    Apply(layouts[i], 1);
    const std::vector<ToolbarPlace> captured = CaptureToolbarLayout(window_, layouts[i]);
    ASSERT_EQ(captured.size(), settings::kToolbarNames.size());
    EXPECT_EQ(RowsByName(captured), RowsByName(layouts[i]));
    for (const std::string& name : kPresent) {
      EXPECT_TRUE(Bar(name)->isVisible()) << name;
      EXPECT_EQ(Find(captured, name).DockedTo, Find(layouts[i], name).DockedTo) << name;
    }
    // Toolbars of other names stay in the window.
    EXPECT_EQ(window_.toolBarArea(other_), Qt::TopToolBarArea);
    // What the window shows is a layout that puts it up again unchanged, read back at
    // once, before the window has had events to lay itself out.
    ApplyToolbarLayout(window_, captured, 1);
    EXPECT_EQ(CaptureToolbarLayout(window_, captured), captured);
    Settle();
  }
  // A toolbar that comes first in its row sits at the start of the dock, the next after it.
  Apply(layouts[0], 1);
  const std::vector<ToolbarPlace> captured = CaptureToolbarLayout(window_, layouts[0]);
  EXPECT_EQ(Find(captured, "ToolBar_Button").DockPos, 0);
  EXPECT_GT(Find(captured, "ToolWindow_Address").DockPos, 0);
  EXPECT_GT(Find(captured, "ToolBar_Ken").DockPos, Find(captured, "ToolWindow_Address").DockPos);
  // Sections the window has no toolbar for keep what they held.
  EXPECT_EQ(Find(captured, "ToolBar_Koudoku"), Find(layouts[0], "ToolBar_Koudoku"));
  EXPECT_EQ(Find(captured, "ToolBar_Setup").Name, "ToolBar_Setup");
}

TEST_F(ToolbarWindow, ViewModesHideTheirToolbarsWhichKeepTheirPlaces) {
  const std::vector<ToolbarPlace> layout = {
      Place("ToolBar_Menu", D::Dock_Top, 0, 0),          Place("ToolBar_Button", D::Dock_Top, 1, 0),
      Place("ToolBar_Ken", D::Dock_Top, 1, 300),         Place("ToolWindow_Address", D::Dock_Top, 2, 0),
      Place("Toolbar_Mode", D::Dock_Top, 2, 400, false), Place("ToolBar_Browser", D::Dock_Top, 1, 100)};
  struct Case {
    int mode;
    std::vector<std::string> hidden;
  };
  const Case cases[] = {
      {1, {"Toolbar_Mode"}},
      {2, {"Toolbar_Mode", "ToolBar_Browser", "ToolWindow_Address"}},
      {3, {"Toolbar_Mode", "ToolBar_Button", "ToolBar_Ken"}},
      {4, {"Toolbar_Mode"}},
  };
  // The menu bar is shown in every mode: putting a layout up must not hide it on the way.
  QSignalSpy menuShownOrHidden(Bar("ToolBar_Menu"), &QToolBar::visibilityChanged);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Apply(layout, c.mode);
    std::map<std::string, QRect> shownAt;
    for (const std::string& name : kPresent) {
      bool hidden = std::find(c.hidden.begin(), c.hidden.end(), name) != c.hidden.end();
      EXPECT_EQ(Bar(name)->isHidden(), hidden) << name;
      if (!hidden) shownAt[name] = Bar(name)->geometry();
    }
    // Hidden toolbars are stored hidden, in the row and order they hold.
    const std::vector<ToolbarPlace> captured = CaptureToolbarLayout(window_, layout);
    EXPECT_EQ(RowsByName(captured), RowsByName(layout));
    for (const std::string& name : c.hidden) EXPECT_FALSE(Find(captured, name).Visible) << name;
    // Measuring the hidden toolbars leaves them hidden, the shown ones where they were
    // and the window as it was.
    for (const std::string& name : c.hidden) EXPECT_TRUE(Bar(name)->isHidden()) << name;
    for (const auto& [name, geometry] : shownAt) EXPECT_EQ(Bar(name)->geometry(), geometry) << name;
    EXPECT_EQ(window_.size(), QSize(1000, 700));
  }
  EXPECT_EQ(menuShownOrHidden.count(), 0);
}

TEST_F(ToolbarWindow, FloatingToolbarsFloatAtTheirCornerAndDockAgain) {
  ToolbarPlace mode = Place("Toolbar_Mode", D::Dock_None, 0, 0);
  mode.LastDock = D::Dock_Left;
  mode.FloatLeft = 150;
  mode.FloatTop = 160;
  ToolbarPlace address = Place("ToolWindow_Address", D::Dock_None, 1, 0);
  address.LastDock = D::Dock_Bottom;
  address.FloatLeft = 20;
  address.FloatTop = 30;
  address.ClientWidth = 420;
  // Stored far off the desktop, as on a monitor that is gone.
  ToolbarPlace ken = Place("ToolBar_Ken", D::Dock_None, 0, 0);
  ken.FloatLeft = settings::kMaxFloatCoordinate;
  ken.FloatTop = settings::kMaxFloatCoordinate;
  const std::vector<ToolbarPlace> layout = {
      Place("ToolBar_Menu", D::Dock_Top, 0, 0),      mode, address, ken, Place("ToolBar_Button", D::Dock_Top, 1, 0),
      Place("ToolBar_Browser", D::Dock_Bottom, 0, 0)};
  Apply(layout, 1);

  QToolBar* modeBar = Bar("Toolbar_Mode");
  EXPECT_TRUE(modeBar->isFloating());
  EXPECT_TRUE(modeBar->isVisible());
  EXPECT_EQ(modeBar->pos(), QPoint(150, 160));
  EXPECT_EQ(window_.toolBarArea(modeBar), Qt::LeftToolBarArea);
  EXPECT_TRUE(Bar("ToolWindow_Address")->isFloating());
  EXPECT_EQ(Bar("ToolWindow_Address")->width(), 420);
  const QRect desktop = window_.screen()->virtualGeometry();
  EXPECT_TRUE(desktop.contains(Bar("ToolBar_Ken")->geometry())) << desktop.width() << "x" << desktop.height();
  EXPECT_FALSE(Bar("ToolBar_Menu")->isFloating());

  const std::vector<ToolbarPlace> captured = CaptureToolbarLayout(window_, layout);
  const ToolbarPlace& modeBack = Find(captured, "Toolbar_Mode");
  EXPECT_TRUE(modeBack.IsFloating());
  EXPECT_EQ(modeBack.LastDock, D::Dock_Left);
  EXPECT_EQ(modeBack.FloatLeft, 150);
  EXPECT_EQ(modeBack.FloatTop, 160);
  EXPECT_EQ(modeBack.FloatRightX, 0) << "a toolbar at its natural width stores none";
  const ToolbarPlace& addressBack = Find(captured, "ToolWindow_Address");
  EXPECT_EQ(addressBack.LastDock, D::Dock_Bottom);
  EXPECT_EQ(addressBack.ClientWidth, 420);
  EXPECT_EQ(Find(captured, "ToolBar_Ken").FloatLeft, Bar("ToolBar_Ken")->x());
  EXPECT_EQ(RowsByName(captured), RowsByName(layout));

  // Docked again: the toolbars leave their windows and join their rows.
  const std::vector<ToolbarPlace> docked = {
      Place("ToolBar_Menu", D::Dock_Top, 0, 0),        Place("Toolbar_Mode", D::Dock_Left, 0, 0),
      Place("ToolWindow_Address", D::Dock_Top, 0, 50), Place("ToolBar_Ken", D::Dock_Top, 1, 0),
      Place("ToolBar_Button", D::Dock_Bottom, 0, 0),   Place("ToolBar_Browser", D::Dock_Bottom, 0, 10)};
  Apply(docked, 1);
  for (const char* name : {"Toolbar_Mode", "ToolWindow_Address", "ToolBar_Ken"}) {
    EXPECT_FALSE(Bar(name)->isFloating()) << name;
    EXPECT_TRUE(Bar(name)->isVisible()) << name;
  }
  EXPECT_EQ(window_.toolBarArea(Bar("Toolbar_Mode")), Qt::LeftToolBarArea);
  EXPECT_EQ(RowsByName(CaptureToolbarLayout(window_, docked)), RowsByName(docked));
}

}  // namespace
}  // namespace ui
