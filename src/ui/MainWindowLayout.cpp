// SPDX-License-Identifier: MIT
// The main window's layout: its geometry and the sizes of its panes, which panes each view
// mode shows, and the toolbars of each view mode, all kept in plover.ini.
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>

#include "settings/TControlSize.h"
#include "settings/ToolbarLayout.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/MainWindow.h"
#include "ui/ToolbarPlacement.h"

namespace ui {
namespace {

// The kept sizes of the panes: the width of the channel tree and the height of the
// headline list.
settings::TControlSize PaneSize(const char* name, int width, int height) {
  settings::TControlSize size;
  size.ControlName = name;
  size.IsForm = false;
  size.Style = settings::TControlSizeStyle::cssSize;
  size.Width = width;
  size.Height = height;
  return size;
}

settings::ScreenRect ToScreenRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// The two sizes of a splitter with a first pane of `first` pixels.
QList<int> SplitAt(const QSplitter& splitter, int first) {
  const int whole = splitter.orientation() == Qt::Horizontal ? splitter.width() : splitter.height();
  return {first, std::max(whole - first, 1)};
}

}  // namespace

void MainWindow::ApplyStoredLayout() {
  toolbarLayouts_.Clear();
  toolbarLayouts_.Load(session_.IniFileName());  // a missing file leaves the defaults
  ReadGeometry();
  const int mode = session_.Settings().FormViewMode;
  LoadToolbars(mode);
  ShowPanes(mode);
  ShowViewMode();
  listView_->ApplySettings();
  ShowFilters();
}

void MainWindow::ReadGeometry() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  settings::TControlSize window = settings::MainWindowSize(area.width(), area.height());
  settings::ScreenInfo info;
  info.WorkArea = ToScreenRect(area);
  if (screen != nullptr) info.VirtualDesktop = ToScreenRect(screen->availableVirtualGeometry());
  window.ReadSize(toolbarLayouts_, info);
  resize(window.Width, window.Height);
  move(window.Left, window.Top);
  startMaximised_ = window.Maximized;

  // The panes are sized against the window's new size.
  settings::TControlSize tree = PaneSize("PL_Tree", width() / 4, 0);
  settings::TControlSize list = PaneSize("PL_List", 0, height() / 3);
  info.ParentWidth = window.Width;
  info.ParentHeight = window.Height;
  tree.ReadSize(toolbarLayouts_, info);
  list.ReadSize(toolbarLayouts_, info);
  mainSplit_->resize(window.Width, window.Height);
  sideSplit_->resize(window.Width - tree.Width, window.Height);
  mainSplit_->setSizes(SplitAt(*mainSplit_, std::max(tree.Width, 1)));
  sideSplit_->setSizes(SplitAt(*sideSplit_, std::max(list.Height, 1)));
}

void MainWindow::WriteGeometry(settings::IniFile& ini) {
  settings::TControlSize window = settings::MainWindowSize(0, 0);
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : QRect(pos(), size());
  window.Left = normal.left();
  window.Top = normal.top();
  window.Width = normal.width();
  window.Height = normal.height();
  window.Maximized = isMaximized();
  window.WriteSize(ini);
  // The panes' sizes are those of standard mode as it was last seen.
  KeepPaneSizes(session_.Settings().FormViewMode);
  if (toolbarLayouts_.SectionExists("Sz_PL_Tree")) {
    PaneSize("PL_Tree", toolbarLayouts_.ReadInteger("Sz_PL_Tree", "szWidth", 0), 0).WriteSize(ini);
  }
  if (toolbarLayouts_.SectionExists("Sz_PL_List")) {
    PaneSize("PL_List", 0, toolbarLayouts_.ReadInteger("Sz_PL_List", "szHeight", 0)).WriteSize(ini);
  }
}

void MainWindow::KeepPaneSizes(int shownMode) {
  // Only standard mode shows the panes at the sizes the user gave them: the other modes
  // enlarge or hide them, and a window in the notification area has no sizes at all.
  if (shownMode != app::kStandardMode || !isVisible() || isMinimized()) return;
  if (treeView_->isVisible()) PaneSize("PL_Tree", treeView_->width(), 0).WriteSize(toolbarLayouts_);
  if (listView_->isVisible()) PaneSize("PL_List", 0, listView_->height()).WriteSize(toolbarLayouts_);
}

void MainWindow::ShowPanes(int viewMode) {
  const app::PaneLayout panes = app::PanesForViewMode(viewMode);
  treeView_->setVisible(panes.Tree);
  listView_->setVisible(panes.List);
  browser_->setVisible(panes.Browser);
  sideSplit_->setVisible(panes.List || panes.Browser);
}

void MainWindow::RestorePaneSizes() {
  // Back in standard mode, the panes take the sizes they had there.
  const int tree = toolbarLayouts_.ReadInteger("Sz_PL_Tree", "szWidth", 0);
  const int list = toolbarLayouts_.ReadInteger("Sz_PL_List", "szHeight", 0);
  if (tree > 0) mainSplit_->setSizes(SplitAt(*mainSplit_, tree));
  if (list > 0) sideSplit_->setSizes(SplitAt(*sideSplit_, list));
}

void MainWindow::LoadToolbars(int viewMode) {
  ApplyToolbarLayout(*this, settings::ReadToolbarLayout(toolbarLayouts_, viewMode), viewMode);
}

void MainWindow::KeepToolbars(int viewMode) {
  const std::vector<settings::ToolbarPlace> applied = settings::ReadToolbarLayout(toolbarLayouts_, viewMode);
  settings::WriteToolbarLayout(toolbarLayouts_, viewMode, CaptureToolbarLayout(*this, applied));
}

void MainWindow::ApplyViewMode(int oldMode, int newMode) {
  KeepPaneSizes(oldMode);
  KeepToolbars(oldMode);
  LoadToolbars(newMode);
  ShowPanes(newMode);
  if (newMode == app::kStandardMode) RestorePaneSizes();
  ShowViewMode();
}

void MainWindow::WriteLayout(settings::IniFile& ini) {
  WriteGeometry(ini);
  const int current = session_.Settings().FormViewMode;
  KeepToolbars(current);
  for (int mode = app::kStandardMode; mode <= app::kViewMode; ++mode)
    settings::WriteToolbarLayout(ini, mode, settings::ReadToolbarLayout(toolbarLayouts_, mode));
}

std::vector<int> MainWindow::ListColumnWidths() {
  return listView_->ListColumnWidths();
}

}  // namespace ui
