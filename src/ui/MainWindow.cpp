// SPDX-License-Identifier: MIT
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleHints>
#include <QToolBar>
#include <QWebEngineProfile>

#include "fetch/UpdateTexts.h"
#include "text/Literal.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeHost.h"
#include "ui/ChannelTreeModel.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/HeadlineTableModel.h"
#include "ui/QtEventLoop.h"
#include "ui/QtText.h"
#include "ui/WebTabs.h"

namespace ui {
MainWindow::MainWindow(QtEventLoop& loop, app::DataSession& session, const app::StartupState& startup)
    : loop_(loop), session_(session) {
  // The panes: the channel tree on the left, the headline list above the browser pane.
  // The browser's profile keeps cookies, storage and cache in the data folder; it outlives
  // every page of it.
  profile_ = new QWebEngineProfile(QStringLiteral("Plover"), this);
  profile_->setPersistentStoragePath(PathToQString(session.DataFolder() + "system/browser"));
  profile_->setCachePath(PathToQString(session.DataFolder() + "system/browser/cache"));
  mainSplit_ = new QSplitter(Qt::Horizontal, this);
  treeModel_ = new ChannelTreeModel(session.Tree(), this);
  treeView_ = new ChannelTreeView(*treeModel_, loop, mainSplit_);
  treeHost_ = std::make_unique<ChannelTreeHost>(*treeView_, this);
  sideSplit_ = new QSplitter(Qt::Vertical, mainSplit_);
  listView_ = new HeadlineListView(session.Settings(), sideSplit_);
  browser_ = new BrowserPane(*profile_, session.Settings(), session.DataFolder() + "system", sideSplit_);
  mainSplit_->setStretchFactor(1, 3);
  sideSplit_->setStretchFactor(1, 2);
  setCentralWidget(mainSplit_);

  controller_ =
      std::make_unique<app::MainController>(loop, session, startup,
                                            app::MainViews{*this, *this, *listView_, browser_->Tabs(), *this, *browser_,
                                                           *browser_, *treeHost_, *this, *this, *this});
  browser_->Attach(controller_->Tabs(), controller_->Display());
  treeModel_->SetTreeEditor(&controller_->Editor());
  tableModel_ =
      new HeadlineTableModel(controller_->Headlines(), session.Settings(), session.DataFolder() + "system/", this);
  listView_->Attach(controller_->Headlines(), *tableModel_);
  listView_->SetBrowserPane(browser_);
  listView_->SetFocusPartners(treeView_, browser_);

  statusPanel_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setMaximumWidth(160);
  progress_->hide();
  statusBar()->addWidget(statusPanel_, 1);
  statusBar()->addPermanentWidget(progress_);

  connect(treeView_, &ChannelTreeView::nodeSelected, this,
          [this](store::TTreeNodeExt* node) { controller_->TreeSelectionChanged(node); });
  connect(listView_, &HeadlineListView::StatusChanged, this,
          [this](const QString& panel, const QString&, const QString& tip) {
            statusPanel_->setText(panel);
            progress_->setToolTip(tip);
          });
  connect(listView_, &HeadlineListView::TreeNodeSelectionRequested, this,
          [this](store::TTreeNodeExt* node) { treeView_->SelectNode(node); });
  connect(listView_, &HeadlineListView::FiltersShown, this, [this] { ShowFilters(); });
  connect(&browser_->Tabs(), &WebTabs::WindowCaptionChanged, this,
          [this](const QString& caption) { setWindowTitle(caption); });
  connect(&browser_->Tabs(), &WebTabs::NavigateStatusChanged, this,
          [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  connect(browser_, &BrowserPane::OptionMenuRequested, this,
          [this](store::TSiteRecord* item) { ShowOptionMenu(item); });

  BuildActions();
  BuildChannelRegistration();
  BuildMenus();
  BuildToolbars();
  BuildContextMenus();
  BuildTabMenu();
  BuildBrowserToolbar();
  BuildTray();

  // Sized to most of the screen until the stored geometry is applied.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(area.width() * 9 / 10, area.height() * 9 / 10);
  }
}

MainWindow::~MainWindow() {
  // The views refer to the controller's list and editor: they go first.
  treeModel_->SetTreeEditor(nullptr);
  delete centralWidget();
  controller_.reset();
}

void MainWindow::BuildTray() {
  tray_ =
      new QSystemTrayIcon(windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : windowIcon(), this);
  auto* menu = new QMenu(this);
  trayShowAction_ = menu->addAction(J("表示(&V)"));
  connect(trayShowAction_, &QAction::triggered, this, [this] { TrayShowClicked(); });
  menu->addSeparator();
  trayUpdateAction_ = menu->addAction(J("更新(&R)"));
  connect(trayUpdateAction_, &QAction::triggered, this, [this] { controller_->UpdateAll(fetch::RunSender::kMenu); });
  QAction* settingsAction = menu->addAction(J("設定(&S)..."));
  settingsAction->setEnabled(false);  // the settings dialog comes later
  menu->addSeparator();
  trayEndAction_ = menu->addAction(J("終了(&X)"));
  connect(trayEndAction_, &QAction::triggered, this, [this] { controller_->EndProgram(); });
  connect(menu, &QMenu::aboutToShow, this, [this] { UpdateTrayMenu(); });
  tray_->setContextMenu(menu);
  // A left click shows or hides the window, unless it completes a double click.
  auto* lastClick = new QElapsedTimer();
  connect(tray_, &QObject::destroyed, this, [lastClick] { delete lastClick; });
  connect(tray_, &QSystemTrayIcon::activated, this, [this, lastClick](QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger) return;
    const bool quick =
        lastClick->isValid() && lastClick->elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
    lastClick->restart();
    if (!quick) TrayShowClicked();
  });
}

void MainWindow::UpdateTrayMenu() {
  trayShowAction_->setText(IsMinimised() ? J("表示(&V)") : J("閉じる(&C)"));
  const int mode = session_.Settings().TrayRefreshMode;
  trayEndAction_->setText(mode >= 2 ? J("常駐終了(&X)") : J("終了(&X)"));
  trayUpdateAction_->setEnabled(!uiLocked_);
}

void MainWindow::TrayShowClicked() {
  if (IsMinimised()) {
    ComeForward();
  } else {
    MinimiseToTray();
  }
}

void MainWindow::ComeForward() {
  showNormal();
  raise();
  activateWindow();
}

void MainWindow::SetTitle(const std::string& title) {
  title_ = title;
  // The caption alone: a program name that Qt appends to every caption would keep a
  // passing caption ("更新中･･･") after the pages have put theirs in place.
  setWindowTitle(ToQString(title));
}

void MainWindow::ShowWindow() {
  if (startMaximised_) {
    showMaximized();
  } else {
    show();
  }
}

void MainWindow::HideWindow() {
  KeepPaneSizes(session_.Settings().FormViewMode);
  hide();
  QCoreApplication::processEvents();
}

bool MainWindow::IsMinimised() const {
  return isMinimized() || !isVisible();
}

void MainWindow::MinimiseToTray() {
  // Without a notification area the window is only minimised, so it can always be found.
  KeepPaneSizes(session_.Settings().FormViewMode);
  if (QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible()) {
    hide();
  } else {
    showMinimized();
  }
}

void MainWindow::ShowTrayIcon(bool shown) {
  tray_->setVisible(shown && QSystemTrayIcon::isSystemTrayAvailable());
}

void MainWindow::SelectRootNode() {
  store::TTreeNodeExt* root = session_.Tree().RootNode();
  treeView_->expand(treeModel_->IndexOf(root));
  if (treeView_->CurrentNode() == root) {
    controller_->TreeSelectionChanged(root);
  } else {
    treeView_->SelectNode(root);  // the view reports the new current node
  }
}

void MainWindow::EndApplication() {
  ending_ = true;
  QCoreApplication::quit();
}

store::TTreeNodeExt* MainWindow::SelectedNode() const {
  return controller_->Headlines().SelectedNode();
}

void MainWindow::EndLabelEdit() {
  if (treeView_->IsEditing()) treeView_->setFocus();
}

void MainWindow::HideProgress() {
  progress_->hide();
}

void MainWindow::ShowProgress(int done, int total) {
  progress_->setMaximum(total > 0 ? total : 1);
  progress_->setValue(done);
  progress_->show();
}

void MainWindow::FinishProgress() {
  progress_->setValue(progress_->maximum());
}

std::string MainWindow::StatusText() const {
  return FromQString(statusPanel_->text());
}

void MainWindow::SetStatusText(const std::string& text) {
  statusPanel_->setText(ToQString(text));
}

void MainWindow::ShowChecking(const std::string& text) {
  statusPanel_->setText(ToQString(text));
}

std::string MainWindow::Title() const {
  return title_;
}

void MainWindow::SetTrayPicture(fetch::TrayPicture picture) {
  const QStyle::StandardPixmap icon = picture == fetch::TrayPicture::kAccess     ? QStyle::SP_BrowserReload
                                      : picture == fetch::TrayPicture::kNewItems ? QStyle::SP_MessageBoxInformation
                                                                                 : QStyle::SP_ComputerIcon;
  tray_->setIcon(style()->standardIcon(icon));
}

void MainWindow::SetTrayTip(const std::string& tip) {
  tray_->setToolTip(ToQString(tip));
}

void MainWindow::ShowBalloon(const std::string& title, const std::string& text) {
  if (tray_->isVisible() && QSystemTrayIcon::supportsMessages()) {
    tray_->showMessage(ToQString(title), ToQString(text));
  } else {
    statusBar()->showMessage(ToQString(text), 10000);
  }
}

void MainWindow::SetUpdateButtonCaption(const std::string& caption) {
  updateAction_->setText(ToQString(caption));
}

void MainWindow::LockUserInterface(bool background, bool busy) {
  uiLocked_ = true;
  listView_->SetUiLocked(true);
  updateSelectionAction_->setEnabled(false);
  stopAction_->setEnabled(false);
  resumeAction_->setEnabled(false);
  updateAction_->setEnabled(background);
  EnableEditing(false);
  if (busy) centralWidget()->setEnabled(false);
}

void MainWindow::UnlockUserInterface() {
  uiLocked_ = false;
  listView_->SetUiLocked(false);
  for (QAction* action : {updateAction_, updateSelectionAction_, stopAction_, resumeAction_}) action->setEnabled(true);
  EnableEditing(true);
  centralWidget()->setEnabled(true);
}

void MainWindow::SetCursor(fetch::RunCursor cursor) {
  QGuiApplication::restoreOverrideCursor();
  if (cursor == fetch::RunCursor::kBackgroundBusy) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  if (cursor == fetch::RunCursor::kHourglass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::ScrollIntoView(store::TTreeNodeExt* node) {
  treeView_->scrollTo(treeModel_->IndexOf(node));
}

void MainWindow::ReloadItemList() {
  present::HeadlineList& list = controller_->Headlines();
  if (list.SelectedNode() != nullptr) list.ShowNode(list.SelectedNode(), true);
}

void MainWindow::SuspendLeaveRule(bool suspend) {
  controller_->Headlines().SetLeaveRuleSuspended(suspend);
}

void MainWindow::RebuildSelectedList() {
  ReloadItemList();
}

bool MainWindow::ShiftHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool MainWindow::TreeHasFocus() const {
  return treeView_->hasFocus();
}

void MainWindow::LeaveListMode() {
  if (session_.Settings().FormViewMode == app::kListMode) controller_->SwitchViewMode(app::kListMode);
}

void MainWindow::CloseAllTabs() {
  controller_->Tabs().Shutdown();
}

bool MainWindow::CtrlHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ending_) {
    event->accept();
    return;
  }
  closing_ = true;
  const bool ends = controller_->CloseRequested();
  closing_ = false;
  if (ends) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Minimising goes into the notification area when there is one.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->isVisible()) {
    loop_.Post([this] { hide(); });
  }
}

}  // namespace ui
