// SPDX-License-Identifier: MIT
#include "ui/AddChannelView.h"

#include <QAction>
#include <QMainWindow>

#include "app/MainController.h"
#include "app/ViewModes.h"
#include "settings/Settings.h"
#include "shell/BrowserTabs.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreePane.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/InputForm.h"
#include "ui/QtText.h"

namespace ui {

AddChannelView::AddChannelView(app::MainController& controller, Parts parts) : QObject(&parts.window), parts_(parts) {
  controller.SetAddChannelHost(this);
  // The action belongs to the window, where FindCommand finds it.
  addAction_ = new QAction(J("チャンネル(Feed/OPML)の追加(&R)..."), &parts.window);
  connect(addAction_, &QAction::triggered, this, [&controller] { controller.AddChannelCommand(); });
  addAction_->setIconText(J("追加"));
  addAction_->setObjectName(QStringLiteral("Tb_Add"));
  connect(&parts.browser, &BrowserPane::AddChannelRequested, this,
          [&controller](const QString& address) { controller.AddChannel(FromQString(address)); });
  connect(&parts.tree.View(), &ChannelTreeView::addressDropped, this,
          [this, &controller](const QString& dropped, bool file, store::TTreeNodeExt* node) {
            parts_.window.raise();
            parts_.window.activateWindow();
            controller.DropOnTree(file ? PathFromQString(dropped) : FromQString(dropped), file, node);
          });
}

void AddChannelView::EndLabelEdit() {
  parts_.tree.EndLabelEdit();
}

bool AddChannelView::TreeShown() const {
  return !parts_.tree.Hidden() && parts_.settings.FormViewMode != app::kListMode;
}

store::TTreeNodeExt* AddChannelView::SelectedNode() const {
  return parts_.list.SelectedNode();
}

void AddChannelView::ExpandNode(store::TTreeNodeExt* node) {
  parts_.tree.Expand(node);
}

std::unique_ptr<app::InputFormView> AddChannelView::CreateInputForm() {
  InputForm::Options options;
  options.bloglinesSync = parts_.settings.BloglinesSync;
  options.openInTab = [this](const std::string& address) {
    const shell::ViewId view = parts_.tabs.OpenTab(std::string(), true, false);
    parts_.tabs.Navigate(view, address, 0);
  };
  auto form = std::make_unique<InputForm>(&parts_.window, std::move(options));
  if (inputFormCreated_) inputFormCreated_(*form);
  return form;
}

}  // namespace ui
