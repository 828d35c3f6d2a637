// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/MainController.h"
#include "ui/KeyboardModifiers.h"
#include "ui/WindowState.h"

class QComboBox;
class QSplitter;
class QWebEngineProfile;

namespace ui {

class AddChannelView;
class BrowserBar;
class BrowserPane;
class ChannelTreePane;
class ChannelTreeView;
class CommandBar;
class HeadlineListView;
class HeadlineTableModel;
class InputForm;
class KeywordBar;
class MainWindowFrame;
class PropertyDock;
class PropertyPanel;
class QtEventLoop;
class TrayIcon;
class UpdateProgress;
class WindowLayout;

// The main window: a frame that owns its views and lays them out. The channel tree, the
// headline list, the browser pane, the tray icon, the status bar, the layout and the
// command bars are each their own view of the controllers below; the window only makes
// them, places them and connects their Qt signals.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(QtEventLoop& loop, app::DataSession& session, const app::StartupState& startup);
  ~MainWindow() override;

  // The window's life begins: first show, start-up timer, data.
  void Start() { controller_->Start(); }
  // The end of the program through its save routine (a signal, the end of the session).
  void EndProgram() { controller_->EndProgram(); }
  // Brings the window up from the notification area (a second start asks for this).
  void ComeForward();

  // The system is about to sleep (the program saves), or woke up again.
  void SystemSuspending() { controller_->PowerSuspend(); }
  void SystemResumed() { controller_->PowerResume(); }

  // The parts tests and the screenshot helper look at.
  app::MainController& Controller() { return *controller_; }
  ChannelTreeView& TreeView() const;
  HeadlineListView& ListView() const { return *listView_; }
  BrowserPane& Browser() const { return *browser_; }
  UpdateProgress& Progress() const { return *progress_; }
  QComboBox& ReadFilterBox() const;
  QComboBox& DateFilterBox() const;
  QComboBox& KeywordBox() const;
  QComboBox& AddressBox() const;
  PropertyPanel& Properties() const;
  QAction& PropertyAction() const;
  // A command of the menus by its caption without the access key, e.g. "名前の変更";
  // nullptr when there is none.
  QAction* FindCommand(const QString& caption) const;
  // Tests see each registration dialog before it is shown.
  void SetInputFormCreated(std::function<void(InputForm&)> created);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The views that work with the controller's parts, made once the controller has them.
  void MakePartViews(app::MainController& controller, const app::MainParts& parts);
  void ConnectPanes(app::MainController& controller);
  void ConnectBars(app::MainController& controller);

  QtEventLoop& loop_;
  app::DataSession& session_;
  WindowState state_{*this};
  KeyboardModifiers keys_;
  QWebEngineProfile* profile_ = nullptr;
  QSplitter* mainSplit_ = nullptr;
  QSplitter* sideSplit_ = nullptr;
  HeadlineListView* listView_ = nullptr;
  HeadlineTableModel* tableModel_ = nullptr;
  BrowserPane* browser_ = nullptr;
  std::unique_ptr<ChannelTreePane> tree_;
  TrayIcon* tray_ = nullptr;
  std::unique_ptr<WindowLayout> layout_;
  std::unique_ptr<MainWindowFrame> frame_;
  UpdateProgress* progress_ = nullptr;
  AddChannelView* addChannel_ = nullptr;
  PropertyDock* propertyDock_ = nullptr;
  CommandBar* commands_ = nullptr;
  KeywordBar* keywordBar_ = nullptr;
  BrowserBar* browserBar_ = nullptr;
  std::unique_ptr<app::MainController> controller_;
};

}  // namespace ui
