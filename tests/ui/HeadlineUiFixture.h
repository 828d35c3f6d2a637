// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHeaderView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/Resources.h"
#include "platform/Files.h"
#include "present/HeadlineFakes.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "ui/HeadlineBrowserPane.h"
#include "ui/HeadlineListView.h"
#include "ui/HeadlineTableModel.h"

namespace ui::testing {

// The model of the fixture: the real one, noting which rows it was asked to draw.
class RecordingTableModel : public HeadlineTableModel {
 public:
  using HeadlineTableModel::HeadlineTableModel;

  QVariant data(const QModelIndex& index, int role) const override {
    if (index.isValid()) askedRows.push_back(index.row());
    return HeadlineTableModel::data(index, role);
  }

  mutable std::vector<int> askedRows;
};

// A browser pane whose answers the test sets.
class TestPane : public HeadlineBrowserPane {
 public:
  bool ShowsSummary() const override { return showsSummary; }
  bool Busy() const override { return false; }
  bool ShowsPage(int64_t) const override { return false; }
  int ClientHeight() const override { return 500; }
  int ScrollTop() const override { return scrollTop; }
  void ScrollBy(int pixels) override { scrollTop += pixels; }

  bool showsSummary = false;
  int scrollTop = 0;
};

// The headline list on screen over a real list: Root > Group (ChanA, ChanB) and Root >
// ChanC, the state images written into the data folder as the program does, "now" is day
// 45000.5 and items get their age in days.
class HeadlineUiFixture : public ::testing::Test {
 protected:
  static constexpr double kNow = 45000.5;

  HeadlineUiFixture() {
    settings.KidokuTime = -1;
    store::TChannelTree& tree = store.Tree();
    group = tree.AddChild(tree.RootNode(), "Group", store::kKindGroup);
    chanA = Channel(group, "ChanA");
    chanB = Channel(group, "ChanB");
    chanC = Channel(tree.RootNode(), "ChanC");
    list.SetWindowReady(true);
    list.SetStartupFinished(true);
    view.Attach(list, model);
    view.resize(640, 320);
  }

  store::TTreeNodeExt* Channel(store::TTreeNodeExt* parent, const std::string& caption) {
    return present::testing::AddTestChannel(store, parent, caption);
  }

  store::TSiteRecord* Add(store::TTreeNodeExt* channel, const std::string& title, uint8_t read = 0,
                          double ageDays = 1) {
    return present::testing::AddTestItem(store, channel, title, read, kNow, ageDays);
  }

  // Writes the built-in images into the data folder's "system/" folder, as the program
  // does at start-up, and gives that folder.
  static std::string WriteSystemFiles(const std::string& dataFolder, platform::Dialogs& dialogs) {
    for (const app::ResourceEntry& entry : app::BuiltInFiles()) {
      if (entry.folder == app::ResourceFolder::kDataSystem) {
        app::ExtractResource(entry.fileName, app::ResourcePath(entry, dataFolder, dataFolder), true, dialogs);
      }
    }
    return dataFolder + "system/";
  }

  store::TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  // The titles as the view shows them, top to bottom.
  std::vector<QString> ShownTitles() const {
    std::vector<QString> titles;
    for (int row = 0; row < model.rowCount(); ++row) {
      titles.push_back(model.data(model.index(row, present::kColumnTitle), Qt::DisplayRole).toString());
    }
    return titles;
  }

  // The rows selected on screen.
  std::vector<int> ShownSelection() const {
    std::vector<int> rows;
    for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  QPoint CellCenter(int row, int column) const { return view.visualRect(model.index(row, column)).center(); }

  void ShowView() {
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  testsupport::TempDir folder;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::ItemStateContext states{store};
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  store::SearchCountControl searchCount;
  store::TreeEditHost editHost;
  testsupport::ManualUiLock lock;
  store::TreeEditor editor{states, dialogs, searchCount, editHost, lock};
  HeadlineListView view{settings};
  present::testing::FakeRenderer renderer;
  present::testing::FakeOpener opener;
  present::KeywordListQuery query{settings};
  present::HeadlineList list{present::HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view,
                                                       renderer, opener, query, lock, [] { return kNow; }}};
  std::string systemFolder = WriteSystemFiles(folder.Path(), dialogs);
  RecordingTableModel model{list, settings, systemFolder};
  store::TTreeNodeExt* group = nullptr;
  store::TTreeNodeExt* chanA = nullptr;
  store::TTreeNodeExt* chanB = nullptr;
  store::TTreeNodeExt* chanC = nullptr;
};

}  // namespace ui::testing
