// SPDX-License-Identifier: MIT
#include "ui/WindowLayout.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>

#include "app/DataSession.h"
#include "settings/TControlSize.h"
#include "settings/ToolbarLayout.h"
#include "ui/BrowserBar.h"
#include "ui/CommandBar.h"
#include "ui/HeadlineListView.h"
#include "ui/KeywordBar.h"
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

WindowLayout::WindowLayout(QMainWindow& window, app::DataSession& session, Panes panes)
    : window_(window), session_(session), panes_(panes) {}

void WindowLayout::AttachBars(CommandBar& commands, const BrowserBar& browser, const KeywordBar& keywords) {
  commands_ = &commands;
  browserBar_ = &browser;
  keywordBar_ = &keywords;
}

void WindowLayout::ApplyStoredLayout() {
  toolbarLayouts_.Clear();
  toolbarLayouts_.Load(session_.IniFileName());  // a missing file leaves the defaults
  ReadGeometry();
  const int mode = session_.Settings().FormViewMode;
  LoadToolbars(mode);
  ShowPanes(mode);
  if (commands_ != nullptr) commands_->ShowViewMode();
  panes_.list.ApplySettings();
  if (commands_ != nullptr) commands_->ShowFilters();
}

void WindowLayout::ReadGeometry() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  settings::TControlSize window = settings::MainWindowSize(area.width(), area.height());
  settings::ScreenInfo info;
  info.WorkArea = ToScreenRect(area);
  if (screen != nullptr) info.VirtualDesktop = ToScreenRect(screen->availableVirtualGeometry());
  window.ReadSize(toolbarLayouts_, info);
  window_.resize(window.Width, window.Height);
  window_.move(window.Left, window.Top);
  startMaximised_ = window.Maximized;

  // The panes are sized against the window's new size.
  settings::TControlSize tree = PaneSize("PL_Tree", window_.width() / 4, 0);
  settings::TControlSize list = PaneSize("PL_List", 0, window_.height() / 3);
  info.ParentWidth = window.Width;
  info.ParentHeight = window.Height;
  tree.ReadSize(toolbarLayouts_, info);
  list.ReadSize(toolbarLayouts_, info);
  panes_.mainSplit.resize(window.Width, window.Height);
  panes_.sideSplit.resize(window.Width - tree.Width, window.Height);
  panes_.mainSplit.setSizes(SplitAt(panes_.mainSplit, std::max(tree.Width, 1)));
  panes_.sideSplit.setSizes(SplitAt(panes_.sideSplit, std::max(list.Height, 1)));
}

void WindowLayout::WriteGeometry(settings::IniFile& ini) {
  settings::TControlSize window = settings::MainWindowSize(0, 0);
  const QRect normal =
      window_.isMaximized() || window_.isMinimized() ? window_.normalGeometry() : QRect(window_.pos(), window_.size());
  window.Left = normal.left();
  window.Top = normal.top();
  window.Width = normal.width();
  window.Height = normal.height();
  window.Maximized = window_.isMaximized();
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

void WindowLayout::KeepPaneSizes(int shownMode) {
  // Only standard mode shows the panes at the sizes the user gave them: the other modes
  // enlarge or hide them, and a window in the notification area has no sizes at all.
  if (shownMode != app::kStandardMode || !window_.isVisible() || window_.isMinimized()) return;
  if (panes_.tree.isVisible()) PaneSize("PL_Tree", panes_.tree.width(), 0).WriteSize(toolbarLayouts_);
  if (panes_.list.isVisible()) PaneSize("PL_List", 0, panes_.list.height()).WriteSize(toolbarLayouts_);
}

void WindowLayout::ShowPanes(int viewMode) {
  const app::PaneLayout panes = app::PanesForViewMode(settings::ViewModeOf(viewMode));
  panes_.tree.setVisible(panes.Tree);
  panes_.list.setVisible(panes.List);
  panes_.browser.setVisible(panes.Browser);
  panes_.sideSplit.setVisible(panes.List || panes.Browser);
}

void WindowLayout::RestorePaneSizes() {
  // Back in standard mode, the panes take the sizes they had there.
  const int tree = toolbarLayouts_.ReadInteger("Sz_PL_Tree", "szWidth", 0);
  const int list = toolbarLayouts_.ReadInteger("Sz_PL_List", "szHeight", 0);
  if (tree > 0) panes_.mainSplit.setSizes(SplitAt(panes_.mainSplit, tree));
  if (list > 0) panes_.sideSplit.setSizes(SplitAt(panes_.sideSplit, list));
}

void WindowLayout::LoadToolbars(int viewMode) {
  ApplyToolbarLayout(window_, settings::ReadToolbarLayout(toolbarLayouts_, viewMode), viewMode);
}

void WindowLayout::KeepToolbars(int viewMode) {
  const std::vector<settings::ToolbarPlace> applied = settings::ReadToolbarLayout(toolbarLayouts_, viewMode);
  settings::WriteToolbarLayout(toolbarLayouts_, viewMode, CaptureToolbarLayout(window_, applied));
}

void WindowLayout::ApplyViewMode(int oldMode, int newMode) {
  KeepPaneSizes(oldMode);
  KeepToolbars(oldMode);
  LoadToolbars(newMode);
  ShowPanes(newMode);
  if (newMode == app::kStandardMode) RestorePaneSizes();
  if (commands_ != nullptr) commands_->ShowViewMode();
}

void WindowLayout::WriteLayout(settings::IniFile& ini) {
  WriteGeometry(ini);
  const int current = session_.Settings().FormViewMode;
  KeepToolbars(current);
  for (int mode = app::kStandardMode; mode <= app::kViewMode; ++mode)
    settings::WriteToolbarLayout(ini, mode, settings::ReadToolbarLayout(toolbarLayouts_, mode));
}

std::vector<int> WindowLayout::ListColumnWidths() {
  return panes_.list.ListColumnWidths();
}

std::vector<std::string> WindowLayout::AddressBoxItems() {
  return browserBar_ != nullptr ? browserBar_->AddressHistory() : std::vector<std::string>{};
}

std::vector<std::string> WindowLayout::KeywordBoxItems() {
  return keywordBar_ != nullptr ? keywordBar_->History() : std::vector<std::string>{};
}

}  // namespace ui
