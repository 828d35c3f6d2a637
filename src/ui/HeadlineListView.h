// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QString>
#include <QTableView>
#include <vector>

#include "present/HeadlineView.h"
#include "store/TTreeNodeExt.h"

namespace present {
class HeadlineList;
}
namespace settings {
struct Settings;
}

namespace ui {

class HeadlineBrowserPane;
class HeadlineTableModel;

// The headline list on screen. It shows the list's rows through a HeadlineTableModel and
// hands every click and key that means something to the list: a header click sorts, a
// click on a row's icon cycles its state, the row keys go to ListViewKeyDown, and the
// selection is kept equal on both sides. What the list asks of the window (focus, status
// texts, the browser pane, the tree selection) is answered here or passed on as signals
// that the main window connects.
class HeadlineListView : public QTableView, public present::HeadlineView {
  Q_OBJECT

 public:
  // The width of the icon column, which the user cannot change.
  static constexpr int kStateColumnWidth = 23;
  // The display delay of a row selected by a mouse click.
  static constexpr int kListDelayClickMs = 1;

  explicit HeadlineListView(settings::Settings& settings, QWidget* parent = nullptr);
  ~HeadlineListView() override;

  // Connects the view to its list and to the model over that list. The list is created
  // with this view as its window, so the two meet only after both exist.
  void Attach(present::HeadlineList& list, HeadlineTableModel& model);

  // The browser pane the Space key pages through (none: an empty page that cannot scroll).
  void SetBrowserPane(HeadlineBrowserPane* pane) { pane_ = pane; }
  // The controls of the main window the list moves the focus to and asks about.
  void SetFocusPartners(QWidget* tree, QWidget* browser);

  // The node whose headlines the list shows (nullptr before the list is attached), the
  // list built again for it after a run or an edit changed its items, and the leave rule
  // held back while a drop on the tree is not a leave.
  store::TTreeNodeExt* SelectedNode() const;
  void ReloadList();
  void SetLeaveRuleSuspended(bool suspend);
  // The item of the focused row while rows are selected, or nullptr.
  store::TSiteRecord* FocusedItem() const;

  // Font size, header, grid lines and column widths from the settings, as they are now.
  void ApplySettings();
  // The widths of columns 1 to 5, as stored in LstWidth_1 … LstWidth_5.
  std::vector<int> ListColumnWidths() const;
  void StoreColumnWidths();

  // present::HeadlineView
  void RowsReset(size_t rowCount) override;
  void RepaintRow(size_t row) override;
  void SelectionChanged() override;
  void ScrollIntoView(size_t row) override;
  present::FocusArea Focus() const override;
  void FocusList() override;
  void FocusTree() override;
  void FocusBrowser() override;
  void SelectTreeNode(store::TTreeNodeExt* node) override;
  void ShowStatus(const std::string& panel, const std::string& progress, const std::string& tip) override;
  void FiltersChanged() override;
  bool BrowserShowsSummary() const override;
  bool BrowserBusy() const override;
  bool BrowserShowsPage(int64_t pageId) const override;
  int BrowserClientHeight() const override;
  int BrowserScrollTop() const override;
  void ScrollBrowserBy(int pixels) override;
  void SetTreeSelectionDelay(int ms) override;

 signals:
  // The status bar's first panel, the progress area's text and its tip.
  void StatusChanged(const QString& panel, const QString& progress, const QString& tip);
  // The tree view is to show `node` as selected without telling the list again.
  void TreeNodeSelectionRequested(store::TTreeNodeExt* node);
  // The filter boxes and menu items are to show the list's current filters again.
  void FiltersShown();
  // The tree's delay before it shows a newly selected node.
  void TreeSelectionDelayRequested(int ms);
  // The list's selected rows changed.
  void RowSelectionChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void HeaderClicked(int column);
  void SelectionToList(bool currentOnly);
  void ShowSortIndicator();

  settings::Settings& settings_;
  present::HeadlineList* list_ = nullptr;
  QPointer<HeadlineTableModel> model_;
  HeadlineBrowserPane* pane_ = nullptr;
  QPointer<QWidget> tree_;
  QPointer<QWidget> browser_;
  bool syncing_ = false;  // set while the view takes over the list's selection
};

}  // namespace ui
