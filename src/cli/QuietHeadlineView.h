// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "present/HeadlineView.h"

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

}  // namespace cli
