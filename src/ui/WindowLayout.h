// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ViewModes.h"
#include "settings/IniFile.h"
#include "settings/SaveAllHost.h"

class QMainWindow;
class QSplitter;
class QWidget;

namespace app {
class DataSession;
}

namespace ui {

class BrowserBar;
class CommandBar;
class HeadlineListView;
class KeywordBar;

// The main window's layout: its geometry and the sizes of its panes, which panes each view
// mode shows, and the toolbars of each view mode, all kept in plover.ini. It is the view
// of the view modes and what the save of all settings asks of the window.
class WindowLayout : public settings::SaveAllHost, public app::ViewModeView {
 public:
  // The panes: the tree beside `sideSplit`, which holds the list above the browser.
  struct Panes {
    QSplitter& mainSplit;
    QSplitter& sideSplit;
    QWidget& tree;
    HeadlineListView& list;
    QWidget& browser;
  };

  WindowLayout(QMainWindow& window, app::DataSession& session, Panes panes);

  // The bars whose state the layout shows and saves; they are made after the controller
  // behind the window.
  void AttachBars(CommandBar& commands, const BrowserBar& browser, const KeywordBar& keywords);

  // The stored geometry, panes and toolbars, then the view mode's buttons, the list's
  // settings and the filters.
  void ApplyStoredLayout();
  // Whether the stored geometry was maximised.
  bool StartMaximised() const { return startMaximised_; }
  // Takes the panes' sizes into the kept layout while `shownMode` shows them as they are.
  void KeepPaneSizes(int shownMode);

  // app::ViewModeView
  void ApplyViewMode(int oldMode, int newMode) override;

  // settings::SaveAllHost
  std::vector<int> ListColumnWidths() override;
  std::vector<std::string> AddressBoxItems() override;
  std::vector<std::string> KeywordBoxItems() override;
  std::optional<std::string> CurrentThemeName() override { return std::nullopt; }
  void WriteLayout(settings::IniFile& ini) override;
  bool SaveCustomLists() override { return true; }

 private:
  void ReadGeometry();
  void WriteGeometry(settings::IniFile& ini);
  void ShowPanes(int viewMode);
  void RestorePaneSizes();
  void LoadToolbars(int viewMode);
  void KeepToolbars(int viewMode);

  QMainWindow& window_;
  app::DataSession& session_;
  Panes panes_;
  CommandBar* commands_ = nullptr;
  const BrowserBar* browserBar_ = nullptr;
  const KeywordBar* keywordBar_ = nullptr;
  bool startMaximised_ = false;
  // The toolbar layouts of all four view modes, as stored; the current mode's is taken
  // from the window when the mode changes and when the layout is saved.
  settings::IniFile toolbarLayouts_;
};

}  // namespace ui
