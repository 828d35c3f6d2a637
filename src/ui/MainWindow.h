// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AddChannelDialog.h"
#include "app/MainController.h"
#include "app/MainWindowView.h"
#include "app/ViewModes.h"
#include "fetch/ModifierKeys.h"
#include "fetch/UpdateRunView.h"
#include "settings/IniFile.h"
#include "settings/SaveAllHost.h"
#include "shell/BrowserTabsHost.h"
#include "store/TreeEditHost.h"

class QAction;
class QActionGroup;
class QColor;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QWebEngineProfile;

namespace ui {

class BrowserPane;
class ChannelTreeHost;
class ChannelTreeModel;
class ChannelTreeView;
class HeadlineListView;
class HeadlineTableModel;
class InputForm;
class PropertyPanel;
class QtEventLoop;

// The main window: the channel tree, the headline list and the browser pane, with the
// toolbar, the menus, the status bar and the notification-area icon. It shows what the
// controllers below tell it and forwards the user's actions to them; it decides nothing.
class MainWindow : public QMainWindow,
                   public app::MainWindowView,
                   public fetch::UpdateRunView,
                   public store::TreeEditHost,
                   public fetch::ModifierKeys,
                   public app::ViewModeView,
                   public settings::SaveAllHost,
                   public shell::BrowserTabsHost,
                   public app::AddChannelHost {
  Q_OBJECT

 public:
  MainWindow(QtEventLoop& loop, app::DataSession& session, const app::StartupState& startup);
  ~MainWindow() override;

  app::MainController& Controller() { return *controller_; }

  // Brings the window up from the notification area (a second start asks for this).
  void ComeForward();

  // The system is about to sleep (the program saves), or woke up again.
  void SystemSuspending() { controller_->PowerSuspend(); }
  void SystemResumed() { controller_->PowerResume(); }

  // The parts tests and the screenshot helper look at.
  ChannelTreeView& TreeView() const { return *treeView_; }
  HeadlineListView& ListView() const { return *listView_; }
  BrowserPane& Browser() const { return *browser_; }
  QComboBox& ReadFilterBox() const { return *readFilterBox_; }
  QComboBox& DateFilterBox() const { return *dateFilterBox_; }
  QComboBox& KeywordBox() const { return *keywordBox_; }
  QComboBox& AddressBox() const { return *addressBox_; }
  // A command of the menus by its caption without the access key, e.g. "名前の変更";
  // nullptr when there is none.
  QAction* FindCommand(const QString& caption) const;

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
  void CloseAllTabs() override;
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

  // fetch::ModifierKeys, shell::BrowserTabsHost
  bool ShiftHeld() const override;
  bool CtrlHeld() const override;

  // shell::BrowserTabsHost
  bool TreeHasFocus() const override;
  void LeaveListMode() override;

  // app::AddChannelHost (SelectedNode and EndLabelEdit above serve it too)
  bool UserInterfaceLocked() const override { return uiLocked_; }
  bool TreeShown() const override;
  void ExpandNode(store::TTreeNodeExt* node) override;
  std::unique_ptr<app::InputFormView> CreateInputForm() override;
  // Tests see each registration dialog before it is shown.
  void SetInputFormCreated(std::function<void(InputForm&)> created) { inputFormCreated_ = std::move(created); }
  PropertyPanel& Properties() const { return *propertyPanel_; }
  QAction& PropertyAction() const { return *propertyAction_; }

  // app::ViewModeView
  void ApplyViewMode(int oldMode, int newMode) override;

  // settings::SaveAllHost
  std::vector<int> ListColumnWidths() override;
  std::vector<std::string> AddressBoxItems() override { return addressHistory_; }
  std::vector<std::string> KeywordBoxItems() override;
  std::optional<std::string> CurrentThemeName() override { return std::nullopt; }
  void WriteLayout(settings::IniFile& ini) override;
  bool SaveCustomLists() override { return true; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildActions();
  void BuildTreeActions();
  void BuildListActions();
  void BuildViewActions();
  void BuildMenus();
  void BuildFilterMenus(QMenu* view);
  void BuildToolbars();
  void BuildTray();
  void BuildContextMenus();
  void BuildStyleMenu(QMenu* view);
  void BuildTabMenu();
  void BuildBrowserToolbar();
  void BuildAddressBox();
  void BuildKeywordBox();
  void BuildChannelRegistration();
  void ShowProperties();
  store::TSiteRecord* ListItem() const;
  void ShowKeywordBox();
  void ResetHistories();
  void OpenTypedAddress(const std::string& address);
  void ShowFeedFound(const QColor& colour, const QString& hint, bool feedIcon);
  void ShowAddressHistory();
  void ShowOptionMenu(store::TSiteRecord* item);
  void OpenStyleDownloadPage();
  QAction* AddCommand(const char* caption, const std::function<void()>& run);
  void UpdateTrayMenu();
  void TrayShowClicked();
  void ShowFilters();
  void ShowSortColumn(QMenu* menu);
  void ShowViewMode();
  void EnableEditing(bool enabled);
  store::TTreeNodeExt* TreeNode() const;

  // The geometry of the window and of its panes, and the toolbars of each view mode.
  void ReadGeometry();
  void WriteGeometry(settings::IniFile& ini);
  void ShowPanes(int viewMode);
  // Takes the panes' sizes into the kept layout while `shownMode` shows them as they are.
  void KeepPaneSizes(int shownMode);
  void RestorePaneSizes();
  void LoadToolbars(int viewMode);
  void KeepToolbars(int viewMode);

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
  bool startMaximised_ = false;
  QSplitter* sideSplit_ = nullptr;
  QSplitter* mainSplit_ = nullptr;
  QComboBox* readFilterBox_ = nullptr;
  QComboBox* dateFilterBox_ = nullptr;
  QActionGroup* readFilterGroup_ = nullptr;
  QActionGroup* dateFilterGroup_ = nullptr;
  QAction* modeActions_[3] = {};  // list, browser and view mode
  QList<QAction*> treeActions_;   // new group, new search item, rename, delete, sort
  QList<QAction*> belowActions_;  // the states of everything below the selected node
  QList<QAction*> rowActions_;    // the headline menu: the selected rows' states, then all rows'
  QList<QAction*> editActions_;   // withdrawn while an update run holds the window
  QWebEngineProfile* profile_ = nullptr;
  QMenu* tabMenu_ = nullptr;
  bool propertyPlaced_ = false;  // the floating property panel was put beside the list once
  QMenu* treeMenu_ = nullptr;
  QMenu* listMenu_ = nullptr;
  // The toolbar layouts of all four view modes, as stored; the current mode's is taken
  // from the window when the mode changes and when the layout is saved.
  settings::IniFile toolbarLayouts_;
  QAction* updateAction_ = nullptr;
  QAction* updateSelectionAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QAction* resumeAction_ = nullptr;
  QAction* trayShowAction_ = nullptr;
  QAction* trayUpdateAction_ = nullptr;
  QAction* trayEndAction_ = nullptr;
  QComboBox* addressBox_ = nullptr;  // CB_Address
  std::vector<std::string> addressHistory_;
  QLabel* feedIcon_ = nullptr;
  QComboBox* keywordBox_ = nullptr;      // CB_Keyword
  QAction* addChannelAction_ = nullptr;  // Tb_Add
  QAction* propertyAction_ = nullptr;    // SB_PropertySet
  QDockWidget* propertyDock_ = nullptr;
  PropertyPanel* propertyPanel_ = nullptr;
  std::function<void(InputForm&)> inputFormCreated_;
  QAction* keywordToggle_ = nullptr;  // SB_Keyword
  bool uiLocked_ = false;
  bool closing_ = false;
  bool ending_ = false;
  std::unique_ptr<app::MainController> controller_;
};

}  // namespace ui
