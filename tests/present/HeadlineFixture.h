// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HeadlineFakes.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace present::testing {

// Root > Group (ChanA, ChanB) and Root > ChanC, each channel built by the test. "Now" is
// day 45000.5; items get their age in days.
class HeadlineFixture : public ::testing::Test {
 protected:
  static constexpr double kNow = 45000.5;

  HeadlineFixture() {
    settings.KidokuTime = -1;
    store::TChannelTree& tree = store.Tree();
    group = tree.AddChild(tree.RootNode(), "Group", store::kKindGroup);
    chanA = Channel(group, "ChanA");
    chanB = Channel(group, "ChanB");
    chanC = Channel(tree.RootNode(), "ChanC");
    list.SetWindowReady(true);
    list.SetStartupFinished(true);
  }

  store::TTreeNodeExt* Channel(store::TTreeNodeExt* parent, const std::string& caption) {
    return AddTestChannel(store, parent, caption);
  }

  store::TSiteRecord* Add(store::TTreeNodeExt* channel, const std::string& title, uint8_t read = 0,
                          double ageDays = 1) {
    return AddTestItem(store, channel, title, read, kNow, ageDays);
  }

  std::vector<std::string> Titles() const {
    std::vector<std::string> out;
    for (size_t row = 0; row < list.RowCount(); ++row) out.push_back(list.Item(row)->title);
    return out;
  }

  store::TTreeNodeExt* Root() { return store.Tree().RootNode(); }

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
  FakeView view;
  FakeRenderer renderer;
  FakeOpener opener;
  KeywordListQuery query{settings};
  HeadlineList list{HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view, renderer, opener,
                                     query, lock, [] { return kNow; }}};
  store::TTreeNodeExt* group = nullptr;
  store::TTreeNodeExt* chanA = nullptr;
  store::TTreeNodeExt* chanB = nullptr;
  store::TTreeNodeExt* chanC = nullptr;
};

}  // namespace present::testing
