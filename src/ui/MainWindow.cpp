// SPDX-License-Identifier: MIT
#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QWebEngineProfile>

#include "ui/AddChannelView.h"
#include "ui/BrowserBar.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreePane.h"
#include "ui/ChannelTreeView.h"
#include "ui/CommandBar.h"
#include "ui/HeadlineListView.h"
#include "ui/HeadlineTableModel.h"
#include "ui/KeywordBar.h"
#include "ui/MainWindowFrame.h"
#include "ui/PropertyDock.h"
#include "ui/QtEventLoop.h"
#include "ui/QtText.h"
#include "ui/TrayIcon.h"
#include "ui/UpdateProgress.h"
#include "ui/WebTabs.h"
#include "ui/WindowLayout.h"

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
  listView_ = new HeadlineListView(session.Settings());
  tree_ = std::make_unique<ChannelTreePane>(session.Tree(), loop, *listView_, mainSplit_);
  sideSplit_ = new QSplitter(Qt::Vertical, mainSplit_);
  sideSplit_->addWidget(listView_);
  browser_ = new BrowserPane(*profile_, session.Settings(), session.DataFolder() + "system", sideSplit_);
  browser_->SetTree(&tree_->View());
  mainSplit_->setStretchFactor(1, 3);
  sideSplit_->setStretchFactor(1, 2);
  setCentralWidget(mainSplit_);

  const QIcon trayIcon = windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : windowIcon();
  tray_ = new TrayIcon(trayIcon, state_, session.Settings(), this);
  layout_ = std::make_unique<WindowLayout>(
      *this, session, WindowLayout::Panes{*mainSplit_, *sideSplit_, tree_->View(), *listView_, *browser_});
  frame_ = std::make_unique<MainWindowFrame>(*this, state_, session.Settings(), *tray_, *tree_, *browser_, *layout_);
  progress_ = new UpdateProgress(*statusBar(), state_, *frame_, *tray_, *tree_, *listView_);

  controller_ = std::make_unique<app::MainController>(
      loop, session, startup,
      app::MainViews{*frame_, *progress_, *listView_, browser_->Tabs(), *browser_, *browser_, *browser_, *tree_, keys_,
                     *layout_, *layout_, state_},
      [this](app::MainController& controller, const app::MainParts& parts) { MakePartViews(controller, parts); });

  // Sized to most of the screen until the stored geometry is applied.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(area.width() * 9 / 10, area.height() * 9 / 10);
  }
}

MainWindow::~MainWindow() {
  // The views refer to the controller's list and editor: they go first.
  tree_->SetTreeEditor(nullptr);
  delete centralWidget();
  controller_.reset();
}

void MainWindow::MakePartViews(app::MainController& controller, const app::MainParts& parts) {
  browser_->Attach(parts.Tabs, parts.Display);
  tree_->SetTreeEditor(&parts.Editor);
  tableModel_ = new HeadlineTableModel(parts.Headlines, session_.Settings(), session_.DataFolder() + "system/", this);
  listView_->Attach(parts.Headlines, *tableModel_);
  listView_->SetBrowserPane(browser_);
  listView_->SetFocusPartners(&tree_->View(), browser_);
  ConnectPanes(controller);

  addChannel_ = new AddChannelView(
      controller, AddChannelView::Parts{*this, session_.Settings(), parts.Tabs, *tree_, *listView_, *browser_});
  propertyDock_ = new PropertyDock(*this, parts.Properties, tree_->View(), *listView_, *browser_);
  commands_ = new CommandBar(controller, parts,
                             CommandBar::Targets{*this, session_, state_, tree_->View(), *listView_, *browser_, keys_,
                                                 addChannel_->AddAction(), propertyDock_->ToggleAction()});
  keywordBar_ = new KeywordBar(*this, parts.Keywords);
  browserBar_ = new BrowserBar(*this, session_, parts.Tabs, *browser_);
  layout_->AttachBars(*commands_, *browserBar_, *keywordBar_);
  ConnectBars(controller);
}

void MainWindow::ConnectPanes(app::MainController& controller) {
  connect(&tree_->View(), &ChannelTreeView::nodeSelected, this,
          [&controller](store::TTreeNodeExt* node) { controller.TreeSelectionChanged(node); });
  connect(tree_.get(), &ChannelTreePane::rootShownAgain, this,
          [&controller](store::TTreeNodeExt* root) { controller.TreeSelectionChanged(root); });
  connect(listView_, &HeadlineListView::StatusChanged, this,
          [this](const QString& panel, const QString&, const QString& tip) { progress_->ShowListStatus(panel, tip); });
  connect(listView_, &HeadlineListView::TreeNodeSelectionRequested, this,
          [this](store::TTreeNodeExt* node) { tree_->View().SelectNode(node); });
  connect(listView_, &HeadlineListView::FiltersShown, this, [this] { commands_->ShowFilters(); });
  connect(&browser_->Tabs(), &WebTabs::WindowCaptionChanged, this,
          [this](const QString& caption) { setWindowTitle(caption); });
  connect(&browser_->Tabs(), &WebTabs::NavigateStatusChanged, this,
          [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  connect(browser_, &BrowserPane::OptionMenuRequested, this,
          [this](store::TSiteRecord* item) { browserBar_->ShowOptionMenu(item); });
  connect(browser_, &BrowserPane::ListModeLeft, this, [&controller] { controller.SwitchViewMode(app::kListMode); });
}

void MainWindow::ConnectBars(app::MainController& controller) {
  connect(progress_, &UpdateProgress::locked, this, [this](bool background, bool busy) {
    commands_->Lock(background);
    if (busy) centralWidget()->setEnabled(false);
  });
  connect(progress_, &UpdateProgress::unlocked, this, [this] {
    commands_->Unlock();
    centralWidget()->setEnabled(true);
  });
  connect(progress_, &UpdateProgress::updateCaptionChanged, commands_, &CommandBar::SetUpdateCaption);
  connect(commands_, &CommandBar::historiesResetRequested, this,
          [this] { keywordBar_->ResetHistories(session_.Dialogs(), [this] { browserBar_->ClearAddressHistory(); }); });
  connect(tray_, &TrayIcon::showClicked, this, [this] { frame_->ToggleShown(); });
  connect(tray_, &TrayIcon::updateClicked, this, [&controller] { controller.UpdateAll(fetch::RunSender::kMenu); });
  connect(tray_, &TrayIcon::endClicked, this, [&controller] { controller.EndProgram(); });
}

void MainWindow::ComeForward() {
  frame_->ComeForward();
}

ChannelTreeView& MainWindow::TreeView() const {
  return tree_->View();
}

QComboBox& MainWindow::ReadFilterBox() const {
  return commands_->ReadFilterBox();
}

QComboBox& MainWindow::DateFilterBox() const {
  return commands_->DateFilterBox();
}

QComboBox& MainWindow::KeywordBox() const {
  return keywordBar_->Box();
}

QComboBox& MainWindow::AddressBox() const {
  return browserBar_->AddressBox();
}

PropertyPanel& MainWindow::Properties() const {
  return propertyDock_->Panel();
}

QAction& MainWindow::PropertyAction() const {
  return propertyDock_->ToggleAction();
}

QAction* MainWindow::FindCommand(const QString& caption) const {
  return ui::FindCommand(*this, caption);
}

void MainWindow::SetInputFormCreated(std::function<void(InputForm&)> created) {
  addChannel_->SetInputFormCreated(std::move(created));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (state_.Ending()) {
    event->accept();
    return;
  }
  state_.SetClosing(true);
  const bool ends = controller_->CloseRequested();
  state_.SetClosing(false);
  if (ends) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Minimising goes into the notification area when there is one.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->Visible()) {
    loop_.Post([this] { hide(); });
  }
}

}  // namespace ui
