// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/UiLock.h"
#include "present/HeadlineColumns.h"
#include "present/HeadlineOrder.h"
#include "present/HeadlineRowBuilder.h"
#include "present/HeadlineSelection.h"
#include "present/HeadlineView.h"
#include "present/ListQuery.h"
#include "present/OpenPage.h"
#include "present/PageRenderer.h"
#include "present/PageState.h"
#include "present/UnreadSeeker.h"
#include "settings/Settings.h"
#include "store/ItemStates.h"
#include "store/SearchCountControl.h"
#include "store/TreeEditor.h"
#include "store/TreeObserver.h"

namespace present {

// The keys the headline list handles itself.
enum class ListKey { kEnter, kSpace, kLeft, kRight, kDelete };

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool None() const { return !shift && !ctrl && !alt; }
};

// Whether a row's state change redraws the row at once, or leaves it to a redraw of the
// whole list that follows.
enum class RowRepaint { kNow, kLater };

// Everything the headline list works with. The application owns each of them.
struct HeadlineServices {
  store::ItemStateContext& states;
  store::TreeEditor& editor;
  settings::Settings& settings;
  platform::EventLoop& loop;
  platform::Dialogs& dialogs;
  store::SearchCountControl& searchCount;
  HeadlineView& view;
  PageRenderer& renderer;
  OpenPage& opener;
  ListQuery& query;
  const platform::UiLock& lock;  // while it is held, rows are not deleted and the status waits
  std::function<double()> now;   // the local date-time, days since 1899-12-30
};

// The headline list of the main window: the items of the selected tree node, narrowed by
// the keyword box and the read-state and date filters, sorted by a column, with the
// selection, the read timer, the leave rule and the row commands. The list holds
// references to items owned by their channels; it listens to the tree so that it never
// keeps a reference to a deleted item, and to the item states so that its read timer,
// its redraw and its unread count follow every change, whoever makes it. It composes the
// row building, the selection with the read timer, and the unread seeking.
class HeadlineList : public store::TreeObserver, public store::ItemStateObserver {
 public:
  static constexpr int kListDelayKeyboardMs = 200;
  static constexpr int kTreeDelayKeyboardMs = 400;

  explicit HeadlineList(HeadlineServices services);
  HeadlineList(const HeadlineList&) = delete;
  HeadlineList& operator=(const HeadlineList&) = delete;
  ~HeadlineList() override;

  // The main window's life: nothing is shown before it is ready or while it closes, and
  // the read timer waits for the end of the start-up sequence.
  void SetWindowReady(bool ready) { windowReady_ = ready; }
  void SetStartupFinished(bool finished) { startupFinished_ = finished; }
  void SetShuttingDown(bool shuttingDown) { shuttingDown_ = shuttingDown; }
  // The channel data has been loaded: the status panel then shows the tree's counts.
  void SetStoreLoaded(bool loaded) { storeLoaded_ = loaded; }

  // The keyword box: its toggle and its text.
  void SetKeywordFilter(bool on, std::string text);
  // Set while the view-mode page is rebuilt for "Show All": no read-state or date filter.
  void SetShowAllMode(bool on) { showAllMode_ = on; }

  // The tree selection moved to `node`: the leave rule, then the node's list.
  void SelectNode(store::TTreeNodeExt* node);
  store::TTreeNodeExt* SelectedNode() const { return selectedNode_; }
  void LeaveNode(store::TTreeNodeExt* newNode);
  void SetLeaveRuleSuspended(bool suspended) { leaveSuspended_ = suspended; }
  // The node the list showed last, for the rule that marks a node's items read when the
  // user leaves it; nullptr once an item was marked unread or the node went away.
  store::TTreeNodeExt* LastShownNode() const { return lastShownNode_; }

  // Builds the rows (and the page list in view mode) for `node` and shows them.
  void ShowNode(store::TTreeNodeExt* node, bool autoSelect);
  // Set by every state change of an item since the rows were built: the list redraws on
  // its next refresh.
  bool ListChanged() const { return listChanged_; }

  // Sort and filters of the current view mode.
  int SortColumn() const;
  bool SortAscending() const;
  int ReadFilter() const;
  int DateFilter() const;
  HeadlineOrder Order() const { return HeadlineOrder(SortColumn(), SortAscending()); }
  int CompareItems(const store::TSiteRecord& a, const store::TSiteRecord& b) const;
  void SortByColumn(int column);
  void SetReadFilter(int value);
  void SetDateFilterIndex(int index);

  // Rows, for drawing. CellText writes into the caller's buffer.
  size_t RowCount() const { return rows_.size(); }
  store::TSiteRecord* Item(size_t row) const { return row < rows_.size() ? rows_[row] : nullptr; }
  int32_t UnreadInList() const { return unreadInList_; }
  void CellText(size_t row, int column, std::string& out) const;
  RowIcon Icon(size_t row) const;
  bool RowBold(size_t row) const;

  // Selection. SelectRow makes one row the selection (as a click does); `atOnce` shows
  // its page without the display delay. SelectRows takes a selection of several rows.
  int FocusedRow() const { return selection_.Focused(); }
  bool IsSelected(size_t row) const { return selection_.IsSelected(row); }
  size_t SelectedCount() const { return selection_.Count(); }
  void SelectRow(size_t row, bool atOnce = false);
  void SelectRows(const std::vector<size_t>& rows, int focusedRow);
  void SetListDisplayDelay(int ms) { listDisplayDelay_ = ms; }
  int ListDisplayDelay() const { return listDisplayDelay_; }
  void ListFocusGained() { StartReadTimer(true); }

  void StatusText();
  // Redraws the row of `item` when the list shows it (its state changed elsewhere).
  void RepaintItem(const store::TSiteRecord* item);
  PageState& Page() { return page_; }

  // Item states of rows.
  bool SetRowState(size_t row, uint8_t state, store::Protection protection, RowRepaint repaint = RowRepaint::kNow);
  void ToggleRowState(bool forward);
  void MarkSelectedRows(int action);
  void MarkAllRows(int action);
  void MarkBelowNode(int action);
  void StartReadTimer(bool onEnter);
  void ReadTimerFired();
  bool ReadTimerActive() const { return selection_.ReadTimerActive(); }
  void DeleteSelectedRows();
  bool DeleteRow(size_t row, bool allowProtected);

  // Moving and opening.
  bool SeekNextUnread(bool strict);
  bool ListViewKeyDown(ListKey key, KeyModifiers modifiers);
  void OpenRowPage(bool byEnter, bool shiftHeld = false);

  // The item's own address: its link resolved against its channel's site.
  static std::string ItemAddress(const store::TSiteRecord& item);

  void NodeRemoving(store::TTreeNodeExt* node) override;
  void ItemRemoving(const store::TSiteRecord* item) override;
  void DataReleasing(store::TTreeNodeExt* node) override;
  // The status bar counts channels and groups and shows the selected node's totals: any
  // change of the tree refreshes it, once per burst of changes.
  void NodeAdded(store::TTreeNodeExt*) override { ScheduleStatusText(); }
  void NodeRemoved(store::TTreeNodeExt*, size_t) override { ScheduleStatusText(); }
  void NodeMoved(store::TTreeNodeExt*, store::TTreeNodeExt*, size_t) override { ScheduleStatusText(); }
  void CaptionChanged(store::TTreeNodeExt*) override { ScheduleStatusText(); }
  void KindChanged(store::TTreeNodeExt*) override { ScheduleStatusText(); }
  void CountsChanged(store::TTreeNodeExt*) override { ScheduleStatusText(); }
  void BulkUpdateEnded() override { ScheduleStatusText(); }

  void ItemStateRequested(const store::TSiteRecord* item, uint8_t state) override;
  void ItemStateChanged(const store::TSiteRecord& item, uint8_t old) override;

 private:
  settings::ViewMode Mode() const { return settings::ViewModeOf(settings_.FormViewMode); }
  bool ViewMode() const { return Mode() == settings::ViewMode::kView; }
  bool StandardMode() const { return Mode() == settings::ViewMode::kStandard; }
  bool ListMode() const { return Mode() == settings::ViewMode::kList; }
  bool BrowserMode() const { return Mode() == settings::ViewMode::kBrowser; }
  bool ErrorLogSelected() const;
  bool InUserTree(const store::TTreeNodeExt* node) const;
  bool KeywordActive() const;
  bool UpwardOrder() const;
  int CommandRow() const;
  void ClearRows();
  RowFilters CurrentFilters() const;
  UnreadSeeker::Filters SeekFilters() const;
  std::vector<store::TSiteRecord*> KeepCurrentPage() const;
  void FinishPageList(std::vector<store::TSiteRecord*> kept);
  void AutoSelect(store::TTreeNodeExt* node);
  void ShowFocusedRow();
  void ForgetItems(const std::function<bool(const store::TSiteRecord*)>& doomed);
  size_t RemoveEmptyRows(size_t position);
  bool DeleteRowItem(size_t row, bool allowProtected);
  void ApplyToRows(const std::vector<size_t>& rows, int action);
  // The deferred refresh: an update run that holds the window shows its progress there.
  // Many tree changes come in a burst: one posted task serves them all.
  void ScheduleStatusText();
  void StatusTextIfIdle();
  std::string StatusPanel() const;
  std::string StatusTip() const;
  std::string TreeCountsText() const;
  int FindUnreadRow(bool firstRound) const;
  void SpaceKey(KeyModifiers modifiers);
  void MoveOneRow();
  void MoveToNode(store::TTreeNodeExt* node, bool autoSelect);

  store::ItemStateContext& states_;
  store::ChannelStore& store_;
  store::TreeEditor& editor_;
  settings::Settings& settings_;
  platform::EventLoop& loop_;
  platform::Dialogs& dialogs_;
  store::SearchCountControl& searchCount_;
  HeadlineView& view_;
  PageRenderer& renderer_;
  OpenPage& opener_;
  ListQuery& query_;
  const platform::UiLock& lock_;
  std::function<double()> now_;

  HeadlineRowBuilder builder_;
  HeadlineSelection selection_;
  UnreadSeeker seeker_;
  platform::Timer listTimer_;
  // Main thread only: tells a posted status refresh that the list has gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool statusPending_ = false;
  std::vector<store::TSiteRecord*> rows_;
  int32_t unreadInList_ = 0;
  bool listChanged_ = false;
  store::TTreeNodeExt* lastShownNode_ = nullptr;
  PageState page_;
  store::TTreeNodeExt* selectedNode_ = nullptr;
  store::TTreeNodeExt* shownNode_ = nullptr;
  int listDisplayDelay_ = 0;
  std::string keywordText_;
  bool keywordOn_ = false;
  bool showAllMode_ = false;
  bool windowReady_ = false;
  bool startupFinished_ = false;
  bool shuttingDown_ = false;
  bool storeLoaded_ = false;
  bool building_ = false;
  bool leaveSuspended_ = false;
};

}  // namespace present
