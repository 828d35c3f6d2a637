// SPDX-License-Identifier: MIT
#include "ui/ToolbarPlacement.h"

#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace ui {

namespace {

using settings::ToolbarDock;
using settings::ToolbarPlace;

Qt::ToolBarArea AreaOf(ToolbarDock dock) {
  switch (dock) {
    case ToolbarDock::Dock_Bottom:
      return Qt::BottomToolBarArea;
    case ToolbarDock::Dock_Left:
      return Qt::LeftToolBarArea;
    case ToolbarDock::Dock_Right:
      return Qt::RightToolBarArea;
    default:
      return Qt::TopToolBarArea;
  }
}

std::optional<ToolbarDock> DockOf(Qt::ToolBarArea area) {
  switch (area) {
    case Qt::TopToolBarArea:
      return ToolbarDock::Dock_Top;
    case Qt::BottomToolBarArea:
      return ToolbarDock::Dock_Bottom;
    case Qt::LeftToolBarArea:
      return ToolbarDock::Dock_Left;
    case Qt::RightToolBarArea:
      return ToolbarDock::Dock_Right;
    default:
      return std::nullopt;
  }
}

QToolBar* FindToolBar(QMainWindow& window, const std::string& name) {
  return window.findChild<QToolBar*>(QString::fromStdString(name), Qt::FindDirectChildrenOnly);
}

// The size a floating toolbar takes: the stored one where it is set, never below what
// the toolbar needs.
QSize FloatingSize(const QToolBar& bar, const ToolbarPlace& place) {
  QSize natural = bar.sizeHint().expandedTo(bar.minimumSizeHint());
  QSize size = natural;
  int storedWidth = place.IsToolWindow() ? place.ClientWidth : place.FloatRightX;
  if (storedWidth > 0) size.setWidth(std::max(storedWidth, bar.minimumSizeHint().width()));
  if (place.IsToolWindow() && place.ClientHeight > 0) {
    size.setHeight(std::max(place.ClientHeight, bar.minimumSizeHint().height()));
  }
  return size;
}

void Float(QMainWindow& window, QToolBar& bar, const ToolbarPlace& place) {
  // A floating toolbar is a frameless tool window of its main window, as Qt makes it
  // when the user drags one off its dock.
  bar.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  bar.setOrientation(Qt::Horizontal);
  QSize size = FloatingSize(bar, place);
  settings::ScreenRect desktop;
  if (QScreen* screen = window.screen()) {
    QRect all = screen->virtualGeometry();
    desktop = {all.x(), all.y(), all.width(), all.height()};
  }
  settings::ScreenRect rect = settings::FloatingRect(place, size.width(), size.height(), desktop);
  bar.setGeometry(rect.Left, rect.Top, rect.Width, rect.Height);
}

// A floating toolbar's corner, and its size where it is not the natural one, so that a
// toolbar at its natural size keeps following its contents.
void CaptureFloating(const QToolBar& bar, ToolbarDock dock, ToolbarPlace& place) {
  place.DockedTo = ToolbarDock::Dock_None;
  place.LastDock = dock;
  place.FloatLeft = std::clamp(bar.x(), settings::kMinFloatCoordinate, settings::kMaxFloatCoordinate);
  place.FloatTop = std::clamp(bar.y(), settings::kMinFloatCoordinate, settings::kMaxFloatCoordinate);
  const QSize natural = bar.sizeHint().expandedTo(bar.minimumSizeHint());
  auto stored = [](int size, int naturalSize) {
    return size == naturalSize ? 0 : std::min(size, settings::kMaxToolbarSize);
  };
  if (place.IsToolWindow()) {
    place.ClientWidth = stored(bar.width(), natural.width());
    place.ClientHeight = stored(bar.height(), natural.height());
  } else {
    place.FloatRightX = stored(bar.width(), natural.width());
  }
}

// A docked toolbar's place in its dock, from its geometry.
struct DockedBar {
  size_t Index = 0;
  ToolbarDock Dock = ToolbarDock::Dock_Top;
  // Grows with the distance of the toolbar's row from the window's edge.
  int Across = 0;
  // Grows along the row from the dock's start.
  int Along = 0;
};

// Fills in where the toolbar lies in its dock.
void Measure(const QRect& geometry, bool rightToLeft, DockedBar& bar) {
  switch (bar.Dock) {
    case ToolbarDock::Dock_Bottom:
      bar.Across = -geometry.bottom();
      break;
    case ToolbarDock::Dock_Left:
      bar.Across = geometry.left();
      break;
    case ToolbarDock::Dock_Right:
      bar.Across = -geometry.right();
      break;
    default:
      bar.Across = geometry.top();
      break;
  }
  bool horizontal = bar.Dock == ToolbarDock::Dock_Top || bar.Dock == ToolbarDock::Dock_Bottom;
  if (!horizontal) {
    bar.Along = geometry.top();
  } else {
    bar.Along = rightToLeft ? -geometry.right() : geometry.left();
  }
}

// Numbers rows from the window's edge and positions from the start of the dock.
void StoreRows(std::vector<ToolbarPlace>& places, const std::vector<DockedBar>& docked) {
  for (ToolbarDock dock :
       {ToolbarDock::Dock_Top, ToolbarDock::Dock_Bottom, ToolbarDock::Dock_Left, ToolbarDock::Dock_Right}) {
    std::set<int> rows;
    int start = 0;
    bool any = false;
    for (const DockedBar& bar : docked) {
      if (bar.Dock != dock) continue;
      rows.insert(bar.Across);
      start = any ? std::min(start, bar.Along) : bar.Along;
      any = true;
    }
    for (const DockedBar& bar : docked) {
      if (bar.Dock != dock) continue;
      ToolbarPlace& place = places[bar.Index];
      place.DockRow = static_cast<int>(std::distance(rows.begin(), rows.find(bar.Across)));
      place.DockPos = std::clamp(bar.Along - start, 0, settings::kMaxDockPos);
    }
  }
}

// The geometry Qt gives each docked toolbar, hidden ones included. A hidden toolbar keeps
// its slot in its row but gets no geometry; for the time of the measurement it is laid
// out as if shown (its size kept while hidden), then the layout is put back. Nothing is
// shown or painted meanwhile, and the window's own size limits are not touched.
std::map<QToolBar*, QRect> DockedGeometries(QMainWindow& window, const std::vector<QToolBar*>& bars) {
  QLayout* layout = window.layout();
  QRect area = layout->geometry().isValid() ? layout->geometry() : window.rect();
  std::vector<std::pair<QToolBar*, QSizePolicy>> retained;
  for (QToolBar* bar : bars) {
    if (!bar->isHidden() || bar->sizePolicy().retainSizeWhenHidden()) continue;
    retained.emplace_back(bar, bar->sizePolicy());
    QSizePolicy policy = bar->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    bar->setSizePolicy(policy);
  }
  layout->setGeometry(area);
  std::map<QToolBar*, QRect> geometries;
  for (QToolBar* bar : bars) geometries[bar] = bar->geometry();
  for (auto& [bar, policy] : retained) bar->setSizePolicy(policy);
  if (!retained.empty()) layout->setGeometry(area);
  return geometries;
}

}  // namespace

void ApplyToolbarLayout(QMainWindow& window, const std::vector<ToolbarPlace>& places, int viewMode) {
  std::vector<QToolBar*> bars;
  for (const ToolbarPlace& place : places) bars.push_back(FindToolBar(window, place.Name));
  // Adding a toolbar moves it to the end of the dock's last row, and every row starts
  // with a break of its own, so the rows come out in order after whatever the dock held
  // before; a toolbar is not taken out and hidden first, which would flicker and toggle
  // its visibility for those who watch it.
  for (const settings::DockRows& dock : settings::ArrangeRows(places)) {
    const Qt::ToolBarArea area = AreaOf(dock.Dock);
    for (const std::vector<size_t>& row : dock.Rows) {
      bool rowStarted = false;
      for (size_t index : row) {
        QToolBar* bar = bars[index];
        if (!bar) continue;
        if (!rowStarted) window.addToolBarBreak(area);
        rowStarted = true;
        if (bar->isWindow()) bar->setWindowFlags(Qt::Widget);
        window.addToolBar(area, bar);
      }
    }
  }
  for (size_t i = 0; i < places.size(); ++i) {
    if (!bars[i]) continue;
    if (places[i].IsFloating()) Float(window, *bars[i], places[i]);
    bars[i]->setVisible(settings::ShownInViewMode(places[i], viewMode));
  }
}

std::vector<ToolbarPlace> CaptureToolbarLayout(QMainWindow& window, const std::vector<ToolbarPlace>& previous) {
  std::vector<ToolbarPlace> places;
  std::vector<QToolBar*> dockedBars;
  std::vector<DockedBar> docked;
  for (std::string_view name : settings::kToolbarNames) {
    auto earlier =
        std::find_if(previous.begin(), previous.end(), [&](const ToolbarPlace& p) { return p.Name == name; });
    ToolbarPlace& place = places.emplace_back(earlier != previous.end() ? *earlier : ToolbarPlace{});
    place.Name = std::string(name);
    QToolBar* bar = FindToolBar(window, place.Name);
    // A toolbar the window does not manage has no place to tell.
    std::optional<ToolbarDock> dock = bar ? DockOf(window.toolBarArea(bar)) : std::nullopt;
    if (!dock) continue;
    place.Visible = !bar->isHidden();
    if (bar->isFloating()) {
      CaptureFloating(*bar, *dock, place);
      continue;
    }
    place.DockedTo = *dock;
    place.LastDock = *dock;
    dockedBars.push_back(bar);
    docked.push_back({places.size() - 1, *dock, 0, 0});
  }
  std::map<QToolBar*, QRect> geometries = DockedGeometries(window, dockedBars);
  const bool rightToLeft = window.layoutDirection() == Qt::RightToLeft;
  for (size_t i = 0; i < docked.size(); ++i) Measure(geometries[dockedBars[i]], rightToLeft, docked[i]);
  StoreRows(places, docked);
  return places;
}

}  // namespace ui
