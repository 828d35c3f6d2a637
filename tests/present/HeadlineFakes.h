// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "present/HeadlineList.h"
#include "store/ChannelStore.h"

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

// A channel captioned `caption` under `parent`, with a feed title and link of its own.
inline store::TTreeNodeExt* AddTestChannel(store::ChannelStore& store, store::TTreeNodeExt* parent,
                                           const std::string& caption) {
  auto data = std::make_unique<store::TSiteList>();
  data->Site.title = caption + " feed";
  data->Site.link = "http://" + caption + ".example/";
  return store.Tree().AddChild(parent, caption, store::kKindChannel, std::move(data));
}

// An item of `channel` titled and linked `title`, `ageDays` old at `now`.
inline store::TSiteRecord* AddTestItem(store::ChannelStore& store, store::TTreeNodeExt* channel,
                                       const std::string& title, uint8_t read, double now, double ageDays) {
  store::TSiteRecord record;
  record.title = title;
  record.link = title;
  record.read = read;
  record.modified = now - ageDays;
  return store.AddItemToChannel(*channel->Data(), record);
}

}  // namespace present::testing
