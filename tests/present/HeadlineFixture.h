// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace present::testing {

// A window without a display: it records what the list asks of it and reports a browser
// pane whose scroll position the test sets.
class FakeView : public HeadlineView {
 public:
  void RowsReset(size_t rowCount) override { rows = rowCount; }
  void RepaintRow(size_t row) override { repainted.push_back(row); }
  void SelectionChanged() override {}
  void ScrollIntoView(size_t row) override { scrolledTo = static_cast<int>(row); }
  FocusArea Focus() const override { return focus; }
  void FocusList() override { focus = FocusArea::kList; }
  void FocusTree() override { focus = FocusArea::kTree; }
  void FocusBrowser() override { focus = FocusArea::kOther; }
  void SelectTreeNode(store::TTreeNodeExt* node) override { treeSelection = node; }
  void ShowStatus(const std::string& p, const std::string& progress, const std::string& t) override {
    panel = p;
    progressText = progress;
    tip = t;
  }
  bool BrowserShowsSummary() const override { return showsSummary; }
  bool BrowserBusy() const override { return false; }
  bool BrowserShowsPage(int64_t pageId) const override { return pageId == shownPageId; }
  int BrowserClientHeight() const override { return 500; }
  int BrowserScrollTop() const override { return scrollTop; }
  void ScrollBrowserBy(int pixels) override { scrollTop = std::min(std::max(scrollTop + pixels, 0), scrollEnd); }

  size_t rows = 0;
  std::vector<size_t> repainted;
  int scrolledTo = -1;
  FocusArea focus = FocusArea::kList;
  store::TTreeNodeExt* treeSelection = nullptr;
  std::string panel, progressText, tip;
  bool showsSummary = false;
  int64_t shownPageId = -1;
  int scrollTop = 0;
  int scrollEnd = 0;
};

class FakeRenderer : public PageRenderer {
 public:
  void RenderSummaryPage(store::TSiteRecord& item) override { summaries.push_back(&item); }
  void RenderMessagePage(store::TTreeNodeExt* node) override { messages.push_back(node); }
  void RenderViewPage(PageState&) override { ++viewPages; }
  bool PageNext(PageState&) override { return false; }
  std::vector<store::TSiteRecord*> summaries;
  std::vector<store::TTreeNodeExt*> messages;
  int viewPages = 0;
};

class FakeOpener : public OpenPage {
 public:
  bool Open(const std::string& address) override {
    opened.push_back(address);
    return accept;
  }
  std::vector<std::string> opened;
  bool accept = true;
};

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
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = caption + " feed";
    data->Site.link = "http://" + caption + ".example/";
    return store.Tree().AddChild(parent, caption, store::kKindChannel, std::move(data));
  }

  store::TSiteRecord* Add(store::TTreeNodeExt* channel, const std::string& title, uint8_t read = 0,
                          double ageDays = 1) {
    store::TSiteRecord record;
    record.title = title;
    record.link = title;
    record.read = read;
    record.modified = kNow - ageDays;
    return store.AddItemToChannel(*channel->Data(), record);
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
  store::TreeEditor editor{states, dialogs, searchCount, editHost};
  FakeView view;
  FakeRenderer renderer;
  FakeOpener opener;
  KeywordListQuery query{settings};
  HeadlineList list{HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view, renderer, opener,
                                     query, folder.Path(), [] { return kNow; }}};
  store::TTreeNodeExt* group = nullptr;
  store::TTreeNodeExt* chanA = nullptr;
  store::TTreeNodeExt* chanB = nullptr;
  store::TTreeNodeExt* chanC = nullptr;
};

}  // namespace present::testing
