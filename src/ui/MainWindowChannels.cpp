// SPDX-License-Identifier: MIT
// Adding channels from the window (the add command, drops on the tree, feed links of the
// pages) and the property panel of the channel shown.
#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

#include "shell/BrowserTabs.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelSettingsFields.h"
#include "ui/ChannelTreeModel.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/InputForm.h"
#include "ui/MainWindow.h"
#include "ui/PropertyPanel.h"
#include "ui/QtText.h"

namespace ui {
void MainWindow::BuildChannelRegistration() {
  controller_->SetAddChannelHost(this);
  addChannelAction_ = AddCommand("チャンネル(Feed/OPML)の追加(&R)...", [this] { controller_->AddChannelCommand(); });
  addChannelAction_->setIconText(J("追加"));
  addChannelAction_->setObjectName(QStringLiteral("Tb_Add"));
  editActions_.push_back(addChannelAction_);
  connect(browser_, &BrowserPane::AddChannelRequested, this,
          [this](const QString& address) { controller_->AddChannel(FromQString(address)); });
  connect(treeView_, &ChannelTreeView::addressDropped, this,
          [this](const QString& dropped, bool file, store::TTreeNodeExt* node) {
            raise();
            activateWindow();
            controller_->DropOnTree(file ? PathFromQString(dropped) : FromQString(dropped), file, node);
          });

  propertyPanel_ = new PropertyPanel(this);
  propertyDock_ = new QDockWidget(J("プロパティ"), this);
  propertyDock_->setObjectName(QStringLiteral("PL_PropertySet"));
  propertyDock_->setWidget(propertyPanel_);
  propertyDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                             QDockWidget::DockWidgetFloatable);
  addDockWidget(Qt::RightDockWidgetArea, propertyDock_);
  // Docked, the panel would take its width from the headline list and cut its columns:
  // it floats over the browser side until the user docks it.
  propertyDock_->setFloating(true);
  propertyDock_->hide();
  propertyAction_ = propertyDock_->toggleViewAction();
  propertyAction_->setText(J("プロパティ"));
  propertyAction_->setObjectName(QStringLiteral("SB_PropertySet"));
  connect(propertyDock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible) return;
    if (propertyDock_->isFloating() && !propertyPlaced_) {
      // The first time, at the top right of the browser pane, where it hides no headline.
      propertyPlaced_ = true;
      propertyDock_->adjustSize();
      const QPoint corner = browser_->mapToGlobal(QPoint(browser_->width(), 0));
      propertyDock_->move(corner.x() - propertyDock_->width(), corner.y());
    }
    ShowProperties();
  });
  connect(propertyPanel_, &PropertyPanel::ApplyRequested, this, [this] {
    controller_->Properties().ApplyChannelProperties(ListItem(), TreeNode(), propertyPanel_->Values());
    ShowProperties();
  });
  connect(treeView_, &ChannelTreeView::nodeSelected, this, [this] { ShowProperties(); });
  connect(listView_, &HeadlineListView::RowSelectionChanged, this, [this] { ShowProperties(); });
}

void MainWindow::ShowProperties() {
  if (propertyPanel_ == nullptr || !propertyDock_->isVisible()) return;
  propertyPanel_->Show(controller_->Properties().Fill(ListItem(), TreeNode()));
  propertyPanel_->Fields().SetAutoDownloadHint(ToQString(controller_->Properties().AutoDownloadHint()));
}

store::TSiteRecord* MainWindow::ListItem() const {
  const present::HeadlineList& list = controller_->Headlines();
  const int row = list.FocusedRow();
  return row >= 0 && list.SelectedCount() > 0 ? list.Item(static_cast<size_t>(row)) : nullptr;
}

bool MainWindow::TreeShown() const {
  return !treeView_->isHidden() && session_.Settings().FormViewMode != app::kListMode;
}

void MainWindow::ExpandNode(store::TTreeNodeExt* node) {
  treeView_->expand(treeModel_->IndexOf(node));
}

std::unique_ptr<app::InputFormView> MainWindow::CreateInputForm() {
  InputForm::Options options;
  options.bloglinesSync = session_.Settings().BloglinesSync;
  options.openInTab = [this](const std::string& address) {
    shell::BrowserTabs& tabs = controller_->Tabs();
    const shell::ViewId view = tabs.OpenTab(std::string(), true, false);
    tabs.Navigate(view, address, 0);
  };
  auto form = std::make_unique<InputForm>(this, std::move(options));
  if (inputFormCreated_) inputFormCreated_(*form);
  return form;
}

}  // namespace ui
