// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "present/HeadlineView.h"
#include "present/OpenPage.h"
#include "present/PageRenderer.h"

namespace cli {

// The headline list without a window: it draws nothing, has no focus to move and no
// browser beside it. Commands that only read the list's rows use it as it is; one that
// catches the list's pages overrides what the browser would say.
class QuietHeadlineView : public present::HeadlineView {
 public:
  void RowsReset(size_t) override {}
  void RepaintRow(size_t) override {}
  void SelectionChanged() override {}
  void ScrollIntoView(size_t) override {}
  present::FocusArea Focus() const override { return present::FocusArea::kList; }
  void FocusList() override {}
  void FocusTree() override {}
  void FocusBrowser() override {}
  void SelectTreeNode(store::TTreeNodeExt*) override {}
  void ShowStatus(const std::string&, const std::string&, const std::string&) override {}
  bool BrowserShowsSummary() const override { return false; }
  bool BrowserBusy() const override { return false; }
  bool BrowserShowsPage(int64_t) const override { return false; }
  int BrowserClientHeight() const override { return 0; }
  int BrowserScrollTop() const override { return 0; }
  void ScrollBrowserBy(int) override {}
};

// The list draws nothing and opens no page: a command that only reads its rows or changes
// their states needs no more.
class SilentList : public QuietHeadlineView, public present::PageRenderer, public present::OpenPage {
 public:
  // The tree has the focus, so that no row counts as read for being looked at.
  present::FocusArea Focus() const override { return present::FocusArea::kTree; }
  void RenderSummaryPage(store::TSiteRecord&) override {}
  void RenderMessagePage(store::TTreeNodeExt*) override {}
  void RenderViewPage(present::PageState&) override {}
  bool PageNext(present::PageState&) override { return false; }
  bool Open(const std::string&) override { return false; }
};

}  // namespace cli
