// SPDX-License-Identifier: MIT
// Moving through the headline list and the tree (next unread item, the list's keys),
// opening a row's page and the status texts.
#include <string>

#include "present/HeadlineList.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace present {

std::string HeadlineList::TreeCountsText() const {
  int groups = 0, activeChannels = 0, channels = 0;
  store::TChannelTree::ForEachNode(store_.Tree().RootNode(), [&](store::TTreeNodeExt* node) {
    if (node->Kind() == store::kKindGroup && node->Parent() != nullptr) ++groups;
    if (store::IsChannelKind(node->Kind())) {
      ++channels;
      if (node->Kind() != store::kKindStopped) ++activeChannels;
    }
  });
  std::string out = " - ";
  if (groups > 0) out += text::J(" グループ: ") + std::to_string(groups);
  if (channels > 0) out += text::J(" チャンネル: ") + std::to_string(activeChannels) + "/" + std::to_string(channels);
  const int searches = store_.Tree().SearchItemCount();
  if (searches > 0) out += text::J(" 検索: ") + std::to_string(searches);
  return out;
}

std::string HeadlineList::StatusPanel() const {
  if (view_.Focus() == FocusArea::kList) {
    const int row = CommandRow();
    return row >= 0 ? " " + ItemAddress(*rows_[static_cast<size_t>(row)]) : text::J(" 登録がありません");
  }
  const store::TTreeNodeExt* node = selectedNode_;
  if (node == nullptr) return text::J(" 選択されていません");
  if (node == store_.Tree().RootNode()) return " " + node->Caption();
  if (store::IsChannelKind(node->Kind()) && node->Data() != nullptr) return " " + node->Data()->Site.link;
  if (node->Kind() == store::kKindGroup) return " " + text::J("グループ : ") + node->Caption();
  if (node->IsSearchItem()) return " " + text::J("検索項目 : ") + node->Caption();
  return " " + node->Caption();
}

std::string HeadlineList::StatusTip() const {
  const int row = CommandRow();
  if (view_.Focus() == FocusArea::kList && row >= 0) {
    return std::to_string(row + 1) + "/" + std::to_string(rows_.size()) + text::J("件 未読 ") +
           std::to_string(UnreadInList()) + text::J("件");
  }
  if (selectedNode_ != nullptr && selectedNode_->ItemTotal() > 0) {
    return std::to_string(selectedNode_->ItemTotal()) + text::J("件 未読 ") +
           std::to_string(selectedNode_->UnreadTotal()) + text::J("件");
  }
  return std::string();
}

void HeadlineList::StatusText() {
  if (BrowserMode()) {
    view_.ShowStatus(std::string(), "Browser-mode", std::string());
    return;
  }
  std::string panel = StatusPanel();
  if (storeLoaded_) panel += TreeCountsText();
  view_.ShowStatus(panel, std::string(), StatusTip());
}

void HeadlineList::StatusTextIfIdle() {
  if (shuttingDown_ || !windowReady_ || lock_.UiLocked()) return;
  StatusText();
}

UnreadSeeker::Filters HeadlineList::SeekFilters() const {
  UnreadSeeker::Filters filters;
  if (KeywordActive()) filters.keyword = keywordText_;
  filters.readFilter = ReadFilter();
  filters.dateFilter = DateFilter();
  filters.now = now_ ? now_() : 0;
  return filters;
}

int HeadlineList::FindUnreadRow(bool firstRound) const {
  return UnreadSeeker::FindUnreadRow(rows_, firstRound ? CommandRow() : -1, UpwardOrder());
}

void HeadlineList::MoveToNode(store::TTreeNodeExt* node, bool autoSelect) {
  view_.SelectTreeNode(node);
  LeaveNode(node);
  selectedNode_ = node;
  ShowNode(node, autoSelect);
}

bool HeadlineList::SeekNextUnread(bool strict) {
  if (selectedNode_ == nullptr) {
    dialogs_.Beep();
    return false;
  }
  const bool viewMode = ViewMode();
  for (bool firstRound = true;; firstRound = false) {
    if (viewMode) {
      if (!view_.BrowserShowsPage(page_.PageId)) {
        dialogs_.Beep();
        return false;
      }
      if (renderer_.PageNext(page_)) return true;
    }
    const int kind = selectedNode_->Kind();
    if (!viewMode && (!strict || store::IsChannelKind(kind) || (kind == store::kKindGroup && settings_.SeekGroup))) {
      const int row = FindUnreadRow(firstRound);
      if (row >= 0) {
        SelectRow(static_cast<size_t>(row), true);
        return true;
      }
    }
    store::TTreeNodeExt* next = seeker_.NextUnreadNode(selectedNode_, SeekFilters());
    if (next == nullptr) {
      dialogs_.Beep();
      return false;
    }
    if (viewMode) view_.FocusBrowser();
    // The unread row is chosen in the next round: a row selected on the way would start
    // the read timer, and with no delay each channel passed would lose an unread item.
    MoveToNode(next, false);
    if (viewMode || selectedNode_ != next) return true;
  }
}

void HeadlineList::MoveOneRow() {
  const int row = CommandRow();
  const int count = static_cast<int>(rows_.size());
  int target = -1;
  if (UpwardOrder()) {
    target = row < 0 ? count - 1 : row - 1;
  } else {
    target = row < 0 ? (count > 0 ? 0 : -1) : (row + 1 < count ? row + 1 : -1);
  }
  if (target >= 0) {
    SelectRow(static_cast<size_t>(target));
    return;
  }
  if (store::TTreeNodeExt* next = seeker_.NextNodeWithItems(selectedNode_)) {
    MoveToNode(next, true);
  } else {
    dialogs_.Beep();
  }
}

void HeadlineList::SpaceKey(KeyModifiers modifiers) {
  const bool noAddin = (StandardMode() && settings_.NormalNoAddin) || (ListMode() && settings_.ListNoAddin);
  if (modifiers.None() && noAddin) modifiers.ctrl = true;
  if ((view_.BrowserShowsSummary() && modifiers.None()) || (modifiers.shift && modifiers.ctrl)) {
    if (!view_.BrowserBusy()) OpenRowPage(false, modifiers.shift);
    return;
  }
  const int height = view_.BrowserClientHeight();
  const int step = height - 80 < 100 ? height / 3 : height - 80;
  const bool upwards = modifiers.shift && !modifiers.ctrl && !modifiers.alt;
  const int before = view_.BrowserScrollTop();
  view_.ScrollBrowserBy(upwards ? -step : step);
  if (modifiers.shift || view_.BrowserScrollTop() != before) return;
  // The page was at its end already: go on to the next headline.
  if (settings_.FolderSeek) {
    SeekNextUnread(false);
  } else {
    MoveOneRow();
  }
}

bool HeadlineList::ListViewKeyDown(ListKey key, KeyModifiers modifiers) {
  listDisplayDelay_ = kListDelayKeyboardMs;
  view_.SetTreeSelectionDelay(kTreeDelayKeyboardMs);
  switch (key) {
    case ListKey::kEnter:
      if (CommandRow() >= 0) {
        OpenRowPage(true, modifiers.shift);
      } else if (!rows_.empty()) {
        SelectRow(0);
      }
      return true;
    case ListKey::kSpace:
      SpaceKey(modifiers);
      return true;
    case ListKey::kLeft:
    case ListKey::kRight:
      if (!modifiers.None()) return false;
      ToggleRowState(key == ListKey::kRight);
      return true;
    case ListKey::kDelete:
      if (!modifiers.None() || lock_.UiLocked()) return false;
      DeleteSelectedRows();
      return true;
  }
  return false;
}

void HeadlineList::OpenRowPage(bool byEnter, bool shiftHeld) {
  if (ErrorLogSelected()) return;
  selection_.StopReadTimer();
  const int row = CommandRow();
  if (row < 0) return;
  store::TSiteRecord& item = *rows_[static_cast<size_t>(row)];
  if (ListMode() || !byEnter || view_.BrowserShowsSummary() || shiftHeld) {
    std::string address = ItemAddress(item);
    if (item.Owner != nullptr && item.Owner->entojp != 0) address = renderer_.Translate(address, item.Owner);
    if (opener_.Open(address)) {
      SetRowState(static_cast<size_t>(row), store::kStateRead, store::Protection::kKeep);
      StatusText();
    }
  } else {
    renderer_.RenderSummaryPage(item);
  }
  searchCount_.Restart();
}

}  // namespace present
