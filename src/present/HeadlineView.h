// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace store {
class TTreeNodeExt;
}

namespace present {

// Which control of the main window has the keyboard focus.
enum class FocusArea { kList, kTree, kOther };

// What the headline list asks of the window. The window draws rows on demand from the
// list (CellText, RowIcon, RowBold) and reports the user's clicks and keys back; it
// decides nothing itself.
class HeadlineView {
 public:
  virtual ~HeadlineView() = default;

  // The rows were rebuilt or re-sorted: `rowCount` rows, every one to be drawn again.
  virtual void RowsReset(size_t rowCount) = 0;
  virtual void RepaintRow(size_t row) = 0;
  // The selection or the focused row changed.
  virtual void SelectionChanged() = 0;
  virtual void ScrollIntoView(size_t row) = 0;

  virtual FocusArea Focus() const = 0;
  virtual void FocusList() = 0;
  virtual void FocusTree() = 0;
  virtual void FocusBrowser() = 0;

  // Shows the node as selected in the tree view, without telling the list again.
  virtual void SelectTreeNode(store::TTreeNodeExt* node) = 0;

  // The first status panel, the text of the progress area and the progress area's tip.
  virtual void ShowStatus(const std::string& panel, const std::string& progress, const std::string& tip) = 0;

  // The read-state and date filter boxes and menu items show the current values again.
  virtual void FiltersChanged() {}

  // The browser pane of the main window.
  virtual bool BrowserShowsSummary() const = 0;
  virtual bool BrowserBusy() const = 0;
  virtual bool BrowserShowsPage(int64_t pageId) const = 0;
  virtual int BrowserClientHeight() const = 0;
  virtual int BrowserScrollTop() const = 0;
  virtual void ScrollBrowserBy(int pixels) = 0;

  // The delay after which the tree shows a newly selected node.
  virtual void SetTreeSelectionDelay(int /*ms*/) {}
};

}  // namespace present
