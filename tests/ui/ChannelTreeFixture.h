// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLoggingCategory>
#include <memory>
#include <string>
#include <vector>

#include "store/ChannelStore.h"
#include "store/ItemStates.h"
#include "store/TreeEditor.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "text/Literal.h"
#include "ui/ChannelTreeModel.h"

namespace ui {

// Collects what the model tester reports, so that a broken signal sequence fails the
// test that caused it instead of ending the whole run.
class ModelTesterLog {
 public:
  ModelTesterLog() {
    Messages().clear();
    previous_ = qInstallMessageHandler(&ModelTesterLog::Handle);
  }
  ~ModelTesterLog() { qInstallMessageHandler(previous_); }
  static std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
  }

 private:
  static void Handle(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::string(context.category) == "qt.modeltest") {
      Messages().push_back(message.toStdString());
    }
  }
  QtMessageHandler previous_ = nullptr;
};

// RootNode > ニュース (group: 日本語チャンネル with 3 unread of 12) , B (group: Other with
// 1 unread), query (search item). The model tester watches every signal.
class ChannelTreeFixture : public ::testing::Test {
 protected:
  ChannelTreeFixture() {
    store::TChannelTree& tree = store.Tree();
    news = tree.AddChild(tree.RootNode(), text::J("ニュース"), store::kKindGroup);
    feed = Channel(news, text::J("日本語チャンネル"), 3, 9);
    groupB = tree.AddChild(tree.RootNode(), "B", store::kKindGroup);
    other = Channel(groupB, "Other", 1, 0);
    search = tree.AddChild(tree.RootNode(), "query", store::kKindSearch);
    store.ClearModified();
    model = std::make_unique<ChannelTreeModel>(tree);
    model->SetTreeEditor(&editor);
    tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                        QAbstractItemModelTester::FailureReportingMode::Warning);
  }

  ~ChannelTreeFixture() override {
    tester.reset();
    EXPECT_TRUE(ModelTesterLog::Messages().empty()) << ModelTesterLog::Messages().front();
  }

  store::TTreeNodeExt* Channel(store::TTreeNodeExt* parent, const std::string& caption, int unread, int read) {
    store::TTreeNodeExt* node =
        store.Tree().AddChild(parent, caption, store::kKindChannel, std::make_unique<store::TSiteList>());
    for (int i = 0; i < unread + read; ++i) {
      store::TSiteRecord record;
      record.title = caption + std::to_string(i);
      record.link = "http://example.com/" + std::to_string(i);
      record.read = i < unread ? store::kStateUnread : store::kStateRead;
      store.AddItemToChannel(*node->Data(), record);
    }
    return node;
  }

  store::TTreeNodeExt* Root() { return store.Tree().RootNode(); }
  QString Shown(const store::TTreeNodeExt* node) const { return model->IndexOf(node).data().toString(); }

  ModelTesterLog log;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::ItemStateContext context{store};
  testsupport::ScriptedDialogs dialogs;
  store::SearchCountControl searchCount;
  store::TreeEditHost host;
  testsupport::ManualUiLock lock;
  store::TreeEditor editor{context, dialogs, searchCount, host, lock};
  store::TTreeNodeExt* news = nullptr;
  store::TTreeNodeExt* feed = nullptr;
  store::TTreeNodeExt* groupB = nullptr;
  store::TTreeNodeExt* other = nullptr;
  store::TTreeNodeExt* search = nullptr;
  std::unique_ptr<ChannelTreeModel> model;
  std::unique_ptr<QAbstractItemModelTester> tester;
};

}  // namespace ui
