// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/AddChannelDialog.h"

class QAction;
class QMainWindow;

namespace app {
class MainController;
}
namespace settings {
struct Settings;
}
namespace shell {
class BrowserTabs;
}

namespace ui {

class BrowserPane;
class ChannelTreePane;
class HeadlineListView;
class InputForm;

// Registering channels from the window: the add command, addresses dropped on the tree
// and the feed links of the pages go to the controller, and the registration dialog asks
// this view for its form and for the tree.
class AddChannelView : public QObject, public app::AddChannelHost {
  Q_OBJECT

 public:
  struct Parts {
    QMainWindow& window;
    const settings::Settings& settings;
    shell::BrowserTabs& tabs;
    ChannelTreePane& tree;
    HeadlineListView& list;
    BrowserPane& browser;
  };

  AddChannelView(app::MainController& controller, Parts parts);

  // "チャンネル(Feed/OPML)の追加(&R)..." (Tb_Add).
  QAction& AddAction() const { return *addAction_; }
  // Tests see each registration dialog before it is shown.
  void SetInputFormCreated(std::function<void(InputForm&)> created) { inputFormCreated_ = std::move(created); }

  // app::AddChannelHost
  void EndLabelEdit() override;
  bool TreeShown() const override;
  store::TTreeNodeExt* SelectedNode() const override;
  void ExpandNode(store::TTreeNodeExt* node) override;
  std::unique_ptr<app::InputFormView> CreateInputForm() override;

 private:
  Parts parts_;
  QAction* addAction_ = nullptr;
  std::function<void(InputForm&)> inputFormCreated_;
};

}  // namespace ui
