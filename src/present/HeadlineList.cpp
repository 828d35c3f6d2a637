// SPDX-License-Identifier: MIT
#include "present/HeadlineList.h"

#include <algorithm>

#include "platform/Files.h"
#include "present/PageFill.h"
#include "store/TTreeNodeExt.h"
#include "text/Convert.h"
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
      dataFolder_(platform::WithSlash(std::move(services.dataFolder))),
      now_(std::move(services.now)),
      readTimer_(services.loop, 0, false, [this] { ReadTimerFired(); }),
      listTimer_(services.loop, 0, false, [this] { ShowFocusedRow(); }),
      statusTimer_(services.loop, 0, false, [this] { StatusTextIfIdle(); }) {
  states_.readTimer = &readTimer_;
  store_.Tree().AddObserver(this);
}

HeadlineList::~HeadlineList() {
  store_.Tree().RemoveObserver(this);
  if (states_.readTimer == &readTimer_) states_.readTimer = nullptr;
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
  if (focusedRow_ >= 0 && IsSelected(static_cast<size_t>(focusedRow_))) return focusedRow_;
  for (size_t row = 0; row < selected_.size(); ++row) {
    if (selected_[row] != 0) return static_cast<int>(row);
  }
  return -1;
}

void HeadlineList::SelectNode(store::TTreeNodeExt* node) {
  LeaveNode(node);
  selectedNode_ = node;
  ShowNode(node, true);
}

void HeadlineList::ClearRows() {
  rows_.clear();
  selected_.clear();
  selectedCount_ = 0;
  focusedRow_ = -1;
  page_.PageList.clear();
  states_.ListUnreadCount = 0;
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
  listIndex_ = 0;
  buildNow_ = now_ ? now_() : 0;
  if (node != nullptr && (InUserTree(node) || node == store_.Tree().ErrorLogNode())) {
    query_.Clear();
    if (!node->IsSearchItem()) {
      if (KeywordActive()) query_.Parse(keywordText_);
      CollectItems(node, !store::IsChannelKind(node->Kind()), true);
    } else {
      query_.Parse(node->Caption());
      CollectItems(settings_.SearchAll ? store_.Tree().RootNode() : node->Parent(), true, false);
    }
    query_.Clear();
    Order().Sort(rows_);
  }
  selected_.assign(rows_.size(), 0);
  states_.listChanged = false;
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

void HeadlineList::CollectItems(store::TTreeNodeExt* node, bool recurse, bool applyQuery) {
  if (node == nullptr) return;
  if (store::TSiteList* list = node->Data()) {
    const bool errorLog = node == store_.Tree().ErrorLogNode();
    for (const auto& item : list->Items()) CollectItem(*item, errorLog, applyQuery);
    return;
  }
  if (!recurse) return;
  for (size_t i = 0; i < node->ChildCount(); ++i) CollectItems(node->Child(i), true, applyQuery);
}

void HeadlineList::CheckWebArchive(store::TSiteRecord& item) {
  if (item.mht.empty()) return;
  if (platform::FileExists(dataFolder_ + "system/mhtml/" + text::SjisToUtf8(item.mht))) return;
  item.mht.clear();
  store_.SetModified();
}

void HeadlineList::CollectItem(store::TSiteRecord& item, bool errorLogEntry, bool applyQuery) {
  CheckWebArchive(item);
  item.ListIndex = ++listIndex_;
  const bool viewMode = ViewMode();
  if (errorLogEntry) {
    rows_.push_back(&item);
    if (viewMode) page_.PageList.push_back(&item);
    return;
  }
  const bool queryApplies = !query_.Empty();
  if (queryApplies && !query_.Matches(item)) return;
  // A keyword typed into the box shows every match whatever its state or age; a search
  // item's own query still goes through the list's filters.
  if (!showAllMode_ && !(applyQuery && queryApplies)) {
    if (!ReadFilterPasses(ReadFilter(), item.read)) return;
    if (!DateFilterPasses(DateFilter(), item.modified, buildNow_)) return;
  }
  if (viewMode && (showAllMode_ || (applyQuery && queryApplies) || shownNode_ != store_.Tree().RootNode())) {
    page_.PageList.push_back(&item);
  }
  rows_.push_back(&item);
  if (item.read == store::kStateUnread) ++states_.ListUnreadCount;
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
  std::fill(selected_.begin(), selected_.end(), 0);
  selected_[row] = 1;
  selectedCount_ = 1;
  focusedRow_ = static_cast<int>(row);
  view_.SelectionChanged();
  view_.ScrollIntoView(row);
  StatusText();
  const bool newRow = rows_[row] != lastSelectedItem_;
  lastSelectedItem_ = rows_[row];
  if (!ViewMode()) {
    listTimer_.Stop();
    if (atOnce || listDisplayDelay_ <= 0) {
      ShowFocusedRow();
    } else {
      listTimer_.SetInterval(listDisplayDelay_);
      listTimer_.Start();
    }
  }
  if (newRow && (settings_.FormViewMode == 1 || ListMode())) StartReadTimer(false);
}

void HeadlineList::SelectRows(const std::vector<size_t>& rows, int focusedRow) {
  if (rows.size() == 1) {
    SelectRow(rows.front());
    return;
  }
  std::fill(selected_.begin(), selected_.end(), 0);
  selectedCount_ = 0;
  for (size_t row : rows) {
    if (row < selected_.size() && selected_[row] == 0) {
      selected_[row] = 1;
      ++selectedCount_;
    }
  }
  focusedRow_ = focusedRow >= 0 && static_cast<size_t>(focusedRow) < rows_.size() ? focusedRow : -1;
  // The read timer and the delayed page belong to a single selected row.
  readTimer_.Stop();
  listTimer_.Stop();
  view_.SelectionChanged();
  StatusText();
}

void HeadlineList::ShowFocusedRow() {
  listTimer_.Stop();
  const int row = CommandRow();
  if (row >= 0 && selectedCount_ == 1) renderer_.RenderSummaryPage(*rows_[static_cast<size_t>(row)]);
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
  std::vector<uint8_t> selected;
  rows.reserve(rows_.size());
  selected.reserve(rows_.size());
  int focused = -1;
  for (size_t index : order) {
    if (static_cast<int>(index) == focusedRow_) focused = static_cast<int>(rows.size());
    rows.push_back(rows_[index]);
    selected.push_back(selected_[index]);
  }
  rows_.swap(rows);
  selected_.swap(selected);
  focusedRow_ = focused;
  view_.RowsReset(rows_.size());
  view_.SelectionChanged();
  if (focusedRow_ >= 0) view_.ScrollIntoView(static_cast<size_t>(focusedRow_));
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
  if (states_.LastShownNode != nullptr && states_.LastShownNode->IsSameOrBelow(node)) states_.LastShownNode = nullptr;
  if (shownGoes) {
    shownNode_ = nullptr;
    ClearRows();
    page_.PageList.clear();
    lastSelectedItem_ = nullptr;
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
      if (row == lastSelectedItem_) lastSelectedItem_ = nullptr;
      if (row->read == store::kStateUnread) --states_.ListUnreadCount;
      row = nullptr;
      removed = true;
    }
  }
  if (!removed) return;
  const size_t focus = focusedRow_ >= 0 ? static_cast<size_t>(focusedRow_) : 0;
  const size_t position = RemoveEmptyRows(focus);
  focusedRow_ =
      focusedRow_ >= 0 && position < rows_.size() && selected_[position] != 0 ? static_cast<int>(position) : -1;
  view_.RowsReset(rows_.size());
  view_.SelectionChanged();
}

size_t HeadlineList::RemoveEmptyRows(size_t position) {
  size_t kept = 0;
  size_t newPosition = 0;
  selectedCount_ = 0;
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (row == position) newPosition = kept;
    if (rows_[row] == nullptr) continue;
    rows_[kept] = rows_[row];
    selected_[kept] = selected_[row];
    selectedCount_ += selected_[kept];
    ++kept;
  }
  if (position >= rows_.size()) newPosition = kept;
  rows_.resize(kept);
  selected_.resize(kept);
  return newPosition;
}

}  // namespace present
