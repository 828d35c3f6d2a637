// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

#include "app/MainController.h"
#include "app/MainWindowView.h"
#include "fetch/ModifierKeys.h"
#include "fetch/UpdateRunView.h"
#include "store/TreeEditHost.h"

class QAction;
class QLabel;
class QProgressBar;
class QSplitter;

namespace ui {

class BrowserPane;
class ChannelTreeHost;
class ChannelTreeModel;
class ChannelTreeView;
class HeadlineListView;
class HeadlineTableModel;
class QtEventLoop;

// The main window: the channel tree, the headline list and the browser pane, with the
// toolbar, the menus, the status bar and the notification-area icon. It shows what the
// controllers below tell it and forwards the user's actions to them; it decides nothing.
class MainWindow : public QMainWindow,
                   public app::MainWindowView,
                   public fetch::UpdateRunView,
                   public store::TreeEditHost,
                   public fetch::ModifierKeys {
  Q_OBJECT

 public:
  MainWindow(QtEventLoop& loop, app::DataSession& session, const app::StartupState& startup);
  ~MainWindow() override;

  app::MainController& Controller() { return *controller_; }

  // Brings the window up from the notification area (a second start asks for this).
  void ComeForward();

  // app::MainWindowView
  void SetTitle(const std::string& title) override;
  void ApplyStoredLayout() override;
  void ShowWindow() override;
  void HideWindow() override;
  bool IsMinimised() const override;
  void MinimiseToTray() override;
  void ShowTrayIcon(bool shown) override;
  void StopTrayAnimation() override {}
  void SelectRootNode() override;
  void StopViewTimers() override {}
  void CloseAllTabs() override {}
  void EndApplication() override;

  // fetch::UpdateRunView
  bool Minimised() const override { return IsMinimised(); }
  bool Closing() const override { return closing_; }
  store::TTreeNodeExt* SelectedNode() const override;
  void EndLabelEdit() override;
  void HideProgress() override;
  void ShowProgress(int done, int total) override;
  void FinishProgress() override;
  std::string StatusText() const override;
  void SetStatusText(const std::string& text) override;
  void ShowChecking(const std::string& text) override;
  std::string Title() const override;
  void SetTrayPicture(fetch::TrayPicture picture) override;
  void SetTrayTip(const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void SetUpdateButtonCaption(const std::string& caption) override;
  void LockUserInterface(bool background, bool busy) override;
  void UnlockUserInterface() override;
  void SetCursor(fetch::RunCursor cursor) override;
  void RepaintTree() override {}
  void ScrollIntoView(store::TTreeNodeExt* node) override;
  void ReloadItemList() override;

  // store::TreeEditHost (the parts the window holds; the tree view does the rest)
  bool UiLocked() const override { return uiLocked_; }
  void SuspendLeaveRule(bool suspend) override;
  void RebuildSelectedList() override;

  // fetch::ModifierKeys
  bool ShiftHeld() const override;
  bool CtrlHeld() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildToolbar();
  void BuildTray();
  void UpdateTrayMenu();
  void TrayShowClicked();

  QtEventLoop& loop_;
  app::DataSession& session_;
  std::string title_;
  ChannelTreeModel* treeModel_ = nullptr;
  ChannelTreeView* treeView_ = nullptr;
  std::unique_ptr<ChannelTreeHost> treeHost_;
  HeadlineListView* listView_ = nullptr;
  HeadlineTableModel* tableModel_ = nullptr;
  BrowserPane* browser_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  QAction* updateAction_ = nullptr;
  QAction* updateSelectionAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QAction* resumeAction_ = nullptr;
  QAction* trayShowAction_ = nullptr;
  QAction* trayUpdateAction_ = nullptr;
  QAction* trayEndAction_ = nullptr;
  bool uiLocked_ = false;
  bool closing_ = false;
  bool ending_ = false;
  std::unique_ptr<app::MainController> controller_;
};

}  // namespace ui
