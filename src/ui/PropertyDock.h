// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QAction;
class QDockWidget;
class QMainWindow;

namespace app {
class ChannelProperties;
}

namespace ui {

class BrowserPane;
class ChannelTreeView;
class HeadlineListView;
class PropertyPanel;

// The property panel of the channel shown, in a dock of the main window: it shows the
// properties of the selected headline's channel or of the selected node whenever either
// changes while it is open, and applies the user's changes through the controller's rules.
class PropertyDock : public QObject {
  Q_OBJECT

 public:
  PropertyDock(QMainWindow& window, app::ChannelProperties& properties, ChannelTreeView& tree, HeadlineListView& list,
               BrowserPane& browser);

  PropertyPanel& Panel() const { return *panel_; }
  // "プロパティ" (SB_PropertySet): shows and hides the dock.
  QAction& ToggleAction() const { return *toggle_; }

 private:
  void Show();

  app::ChannelProperties& properties_;
  ChannelTreeView& tree_;
  HeadlineListView& list_;
  BrowserPane& browser_;
  PropertyPanel* panel_ = nullptr;
  QDockWidget* dock_ = nullptr;
  QAction* toggle_ = nullptr;
  bool placed_ = false;  // the floating panel was put beside the list once
};

}  // namespace ui
