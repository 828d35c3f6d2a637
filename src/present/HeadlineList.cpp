// SPDX-License-Identifier: MIT
#include "present/HeadlineList.h"

#include <algorithm>

#include "present/PageFill.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace present {

namespace {

int ClampColumn(int column) {
  return column >= 0 && column < kColumnCount ? column : kColumnModified;
}

}  // namespace

HeadlineList::HeadlineList(HeadlineServices services)
    : states_(services.states),
      store_(services.states.store),
      editor_(services.editor),
      settings_(services.settings),
      loop_(services.loop),
      dialogs_(services.dialogs),
      searchCount_(services.searchCount),
      view_(services.view),
      renderer_(services.renderer),
      opener_(services.opener),
      query_(services.query),
      lock_(services.lock),
      now_(std::move(services.now)),
      builder_(services.states.store.Tree(), services.query),
      selection_(services.loop, [this] { ReadTimerFired(); }),
      seeker_(services.states.store.Tree(), services.settings, services.query),
      listTimer_(services.loop, 0, platform::TimerKind::kOnce, [this] { ShowFocusedRow(); }) {
  states_.AddObserver(this);
  store_.Tree().AddObserver(this);
}

HeadlineList::~HeadlineList() {
  *alive_ = false;
  store_.Tree().RemoveObserver(this);
  states_.RemoveObserver(this);
}

void HeadlineList::ItemStateRequested(const store::TSiteRecord* item, uint8_t state) {
  // Any explicit state change makes the read timer moot.
  selection_.StopReadTimer();
  if (item == nullptr) return;
  listChanged_ = true;
  // Marking an item unread is a deliberate choice: leaving its node must not undo it.
  if (item->read != state && state == store::kStateUnread) lastShownNode_ = nullptr;
}

void HeadlineList::ItemStateChanged(const store::TSiteRecord& item, uint8_t old) {
  if (item.read == store::kStateUnread) {
    ++unreadInList_;
  } else if (old == store::kStateUnread) {
    --unreadInList_;
  }
}

void HeadlineList::ScheduleStatusText() {
  if (statusPending_) return;
  statusPending_ = true;
  loop_.Post([this, alive = alive_] {
    if (!*alive) return;
    statusPending_ = false;
    StatusTextIfIdle();
  });
}

void HeadlineList::SetKeywordFilter(bool on, std::string text) {
  keywordOn_ = on;
  keywordText_ = std::move(text);
}

int HeadlineList::SortColumn() const {
  return ClampColumn(ViewMode() ? settings_.EvwSortNum : settings_.SortNum);
}

bool HeadlineList::SortAscending() const {
  return ViewMode() ? settings_.EvwSortUpDown : settings_.SortUpDown;
}

int HeadlineList::ReadFilter() const {
  return ViewMode() ? settings_.EvwMidokuOnly : settings_.MidokuOnly;
}

int HeadlineList::DateFilter() const {
  return ViewMode() ? settings_.EvwDateMode : settings_.DateMode;
}

int HeadlineList::CompareItems(const store::TSiteRecord& a, const store::TSiteRecord& b) const {
  return Order().CompareItems(a, b);
}

bool HeadlineList::ErrorLogSelected() const {
  return selectedNode_ != nullptr && selectedNode_ == store_.Tree().ErrorLogNode();
}

bool HeadlineList::InUserTree(const store::TTreeNodeExt* node) const {
  return node != nullptr && !node->Deleting() && node->IsSameOrBelow(store_.Tree().RootNode());
}

bool HeadlineList::KeywordActive() const {
  return keywordOn_ && !showAllMode_ && !keywordText_.empty();
}

bool HeadlineList::UpwardOrder() const {
  const int column = SortColumn();
  return !settings_.CursorTop && (column == kColumnState || column == kColumnModified) && SortAscending();
}

int HeadlineList::CommandRow() const {
  return selection_.CommandRow();
}

RowFilters HeadlineList::CurrentFilters() const {
  RowFilters filters;
  filters.viewMode = ViewMode();
  filters.showAll = showAllMode_;
  filters.readFilter = ReadFilter();
  filters.dateFilter = DateFilter();
  filters.now = now_ ? now_() : 0;
  if (KeywordActive()) filters.keyword = keywordText_;
  filters.searchAll = settings_.SearchAll;
  return filters;
}

void HeadlineList::SelectNode(store::TTreeNodeExt* node) {
  LeaveNode(node);
  selectedNode_ = node;
  ShowNode(node, true);
}

void HeadlineList::ClearRows() {
  rows_.clear();
  selection_.Reset(0);
  page_.PageList.clear();
  unreadInList_ = 0;
  listTimer_.Stop();
}

void HeadlineList::ShowNode(store::TTreeNodeExt* node, bool autoSelect) {
  if (shuttingDown_ || !windowReady_ || building_) return;
  building_ = true;
  searchCount_.Stop();
  const bool viewMode = ViewMode();
  std::vector<store::TSiteRecord*> kept;
  if (viewMode && node != shownNode_ && !page_.PageList.empty()) kept = KeepCurrentPage();
  ClearRows();
  shownNode_ = node;
  if (node != nullptr && (InUserTree(node) || node == store_.Tree().ErrorLogNode())) {
    CollectedRows collected{std::move(rows_), std::move(page_.PageList), 0};
    builder_.Collect(node, CurrentFilters(), collected);
    rows_ = std::move(collected.rows);
    page_.PageList = std::move(collected.pageList);
    unreadInList_ = collected.unread;
    Order().Sort(rows_);
  }
  selection_.Reset(rows_.size());
  listChanged_ = false;
  view_.RowsReset(rows_.size());
  if (viewMode) {
    FinishPageList(std::move(kept));
    renderer_.RenderViewPage(page_);
  } else if (autoSelect && settings_.NoListSelect == 0) {
    AutoSelect(node);
  }
  building_ = false;
  searchCount_.Restart();
  StatusText();
}

std::vector<store::TSiteRecord*> HeadlineList::KeepCurrentPage() const {
  const size_t pageSize = static_cast<size_t>(std::clamp(settings_.EvwSeekMax, 1, 50));
  std::vector<store::TSiteRecord*> kept;
  for (size_t i = page_.PageStart; i < page_.PageList.size() && kept.size() < pageSize; ++i) {
    kept.push_back(page_.PageList[i]);
  }
  kept.resize(pageSize, nullptr);
  return kept;
}

void HeadlineList::FinishPageList(std::vector<store::TSiteRecord*> kept) {
  Order().Sort(page_.PageList);
  if (page_.PageList.empty()) kept.clear();
  page_.PageList.insert(page_.PageList.begin(), kept.begin(), kept.end());
  page_.PageFirst = page_.PageStart = kept.size();
  page_.PageId = loop_.TickMs();
}

void HeadlineList::AutoSelect(store::TTreeNodeExt* node) {
  if (rows_.empty()) {
    renderer_.RenderMessagePage(node);
    return;
  }
  const size_t row = UpwardOrder() ? rows_.size() - 1 : 0;
  const store::TSiteRecord* item = rows_[row];
  // A channel that opens its items' own pages would open one by itself: only show the row.
  if (item->Owner != nullptr && item->Owner->linkop != 0) {
    view_.ScrollIntoView(row);
    return;
  }
  SelectRow(row);
}

void HeadlineList::SelectRow(size_t row, bool atOnce) {
  if (row >= rows_.size()) return;
  selection_.SelectOnly(row);
  view_.SelectionChanged();
  view_.ScrollIntoView(row);
  StatusText();
  const bool newRow = selection_.TakeSelectedItem(rows_[row]);
  if (!ViewMode()) {
    listTimer_.Stop();
    if (atOnce || listDisplayDelay_ <= 0) {
      ShowFocusedRow();
    } else {
      listTimer_.SetInterval(listDisplayDelay_);
      listTimer_.Start();
    }
  }
  if (newRow && (StandardMode() || ListMode())) StartReadTimer(false);
}

void HeadlineList::SelectRows(const std::vector<size_t>& rows, int focusedRow) {
  if (rows.size() == 1) {
    SelectRow(rows.front());
    return;
  }
  selection_.SelectSet(rows, focusedRow, rows_.size());
  // The read timer and the delayed page belong to a single selected row.
  selection_.StopReadTimer();
  listTimer_.Stop();
  view_.SelectionChanged();
  StatusText();
}

void HeadlineList::ShowFocusedRow() {
  listTimer_.Stop();
  const int row = CommandRow();
  if (row >= 0 && selection_.Count() == 1) renderer_.RenderSummaryPage(*rows_[static_cast<size_t>(row)]);
}

void HeadlineList::RepaintItem(const store::TSiteRecord* item) {
  const auto found = std::find(rows_.begin(), rows_.end(), item);
  if (found != rows_.end()) view_.RepaintRow(static_cast<size_t>(found - rows_.begin()));
}

void HeadlineList::SortByColumn(int column) {
  if (column >= 0 && column < kColumnCount) {
    int& sortNum = ViewMode() ? settings_.EvwSortNum : settings_.SortNum;
    bool& ascending = ViewMode() ? settings_.EvwSortUpDown : settings_.SortUpDown;
    if (column == sortNum) ascending = !ascending;
    sortNum = column;
  }
  const std::vector<size_t> order = Order().SortedOrder(rows_);
  std::vector<store::TSiteRecord*> rows;
  rows.reserve(rows_.size());
  for (size_t index : order) rows.push_back(rows_[index]);
  rows_.swap(rows);
  selection_.Reorder(order);
  view_.RowsReset(rows_.size());
  view_.SelectionChanged();
  if (selection_.Focused() >= 0) view_.ScrollIntoView(static_cast<size_t>(selection_.Focused()));
}

void HeadlineList::SetReadFilter(int value) {
  (ViewMode() ? settings_.EvwMidokuOnly : settings_.MidokuOnly) = value;
  view_.FiltersChanged();
  ShowNode(selectedNode_, true);
}

void HeadlineList::SetDateFilterIndex(int index) {
  (ViewMode() ? settings_.EvwDateMode : settings_.DateMode) = DateFilterValue(index);
  view_.FiltersChanged();
  ShowNode(selectedNode_, true);
}

void HeadlineList::CellText(size_t row, int column, std::string& out) const {
  out.clear();
  const store::TSiteRecord* item = Item(row);
  if (item == nullptr) return;
  switch (column) {
    case kColumnModified:
      FormatListDate(item->modified, out);
      break;
    case kColumnTitle:
      out.assign(item->title);
      break;
    case kColumnChannel:
      if (item->Owner != nullptr && item->Owner->Node != nullptr) out.assign(item->Owner->Node->Caption());
      break;
    case kColumnCategory:
      out.assign(item->category);
      break;
    case kColumnCreator:
      out.assign(item->creator);
      break;
    default:
      break;
  }
}

RowIcon HeadlineList::Icon(size_t row) const {
  const store::TSiteRecord* item = Item(row);
  return item != nullptr ? RowIconFor(*item) : RowIcon::kRead;
}

bool HeadlineList::RowBold(size_t row) const {
  const store::TSiteRecord* item = Item(row);
  return settings_.ListBold && item != nullptr && item->StatusEntry == 0 && item->read != store::kStateRead &&
         item->read != store::kStateProtected;
}

std::string HeadlineList::ItemAddress(const store::TSiteRecord& item) {
  const std::string& site = item.Owner != nullptr ? item.Owner->Site.link : std::string();
  // The same address the item's page links to, so the list and the page agree.
  return PageItemAddress(site, item.link);
}

void HeadlineList::NodeRemoving(store::TTreeNodeExt* node) {
  // The whole subtree is handled when its top is reported; its nodes follow one by one.
  if (node->Parent() != nullptr && node->Parent()->Deleting()) return;
  const bool shownGoes = shownNode_ != nullptr && shownNode_->IsSameOrBelow(node);
  if (selectedNode_ != nullptr && selectedNode_->IsSameOrBelow(node)) selectedNode_ = nullptr;
  if (lastShownNode_ != nullptr && lastShownNode_->IsSameOrBelow(node)) lastShownNode_ = nullptr;
  if (shownGoes) {
    shownNode_ = nullptr;
    ClearRows();
    page_.PageList.clear();
    selection_.ClearSelectedItem();
    view_.RowsReset(0);
    return;
  }
  std::unordered_set<const store::TSiteList*> lists;
  const bool errorLog = node == store_.Tree().ErrorLogNode();
  store::TChannelTree::ForEachNode(node, [&lists](store::TTreeNodeExt* n) {
    if (n->Data() != nullptr) lists.insert(n->Data());
  });
  // Error log entries point at the failing channel but live in the error log's list.
  ForgetItems([&](const store::TSiteRecord* item) {
    return item->StatusEntry != 0 ? errorLog : lists.count(item->Owner) != 0;
  });
}

void HeadlineList::ItemRemoving(const store::TSiteRecord* item) {
  ForgetItems([item](const store::TSiteRecord* entry) { return entry == item; });
}

void HeadlineList::DataReleasing(store::TTreeNodeExt* node) {
  const store::TSiteList* list = node->Data();
  ForgetItems([list](const store::TSiteRecord* entry) { return entry->StatusEntry == 0 && entry->Owner == list; });
}

void HeadlineList::ForgetItems(const std::function<bool(const store::TSiteRecord*)>& doomed) {
  for (store::TSiteRecord*& entry : page_.PageList) {
    if (entry != nullptr && doomed(entry)) entry = nullptr;
  }
  bool removed = false;
  for (store::TSiteRecord*& row : rows_) {
    if (row != nullptr && doomed(row)) {
      selection_.ForgetSelectedItem(row);
      if (row->read == store::kStateUnread) --unreadInList_;
      row = nullptr;
      removed = true;
    }
  }
  if (!removed) return;
  const int focused = selection_.Focused();
  const size_t position = RemoveEmptyRows(focused >= 0 ? static_cast<size_t>(focused) : 0);
  selection_.SetFocused(
      focused >= 0 && position < rows_.size() && selection_.IsSelected(position) ? static_cast<int>(position) : -1);
  view_.RowsReset(rows_.size());
  view_.SelectionChanged();
}

size_t HeadlineList::RemoveEmptyRows(size_t position) {
  const size_t newPosition = selection_.RemoveRows(rows_, position);
  rows_.erase(std::remove(rows_.begin(), rows_.end(), nullptr), rows_.end());
  return newPosition;
}

}  // namespace present
