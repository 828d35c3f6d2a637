// SPDX-License-Identifier: MIT
// The row commands of the headline list: state changes, the read timer, the leave rule
// and deleting items.
#include <algorithm>

#include "present/HeadlineList.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace present {

namespace {

const std::string kCrLf = "\r\n";

// The end of the bulk questions, by action.
std::string QuestionSuffix(int action) {
  switch (action) {
    case store::kActionToRead:
      return text::J("の［未読］を［既読］に変更しますか？");
    case store::kActionToUnread:
      return text::J("の［既読］を［未読］に変更しますか？");
    case store::kActionProtect:
      return text::J("を［保護］に変更しますか？");
    default:
      return text::J("の［保護］を解除しますか？");
  }
}

bool KnownAction(int action) {
  return action >= store::kActionUnprotect && action <= store::kActionProtect;
}

}  // namespace

bool HeadlineList::SetRowState(size_t row, uint8_t state, store::Protection protection, RowRepaint repaint) {
  const bool changed = store::SetItemState(states_, Item(row), state, protection);
  if (changed && repaint == RowRepaint::kNow) view_.RepaintRow(row);
  return changed;
}

void HeadlineList::ToggleRowState(bool forward) {
  if (ErrorLogSelected() || selection_.Focused() < 0) return;
  const size_t row = static_cast<size_t>(selection_.Focused());
  const store::TSiteRecord* item = Item(row);
  if (item == nullptr) return;
  // Forward runs unread → read → protected → unread, backward the other way round. An
  // unknown state counts as unread.
  static constexpr uint8_t kForward[] = {store::kStateRead, store::kStateProtected, store::kStateUnread};
  static constexpr uint8_t kBackward[] = {store::kStateProtected, store::kStateUnread, store::kStateRead};
  const uint8_t current = item->read <= store::kStateProtected ? item->read : store::kStateUnread;
  const uint8_t next = forward ? kForward[current] : kBackward[current];
  if (SetRowState(row, next, store::Protection::kOverride)) {
    searchCount_.Restart();
    StatusText();
  }
}

void HeadlineList::ApplyToRows(const std::vector<size_t>& rows, int action) {
  // From the last row to the first, deselecting each, as the list has always done it.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const size_t row = *it;
    if (const store::TSiteRecord* item = Item(row)) {
      if (std::optional<uint8_t> target = store::BulkTargetState(action, item->read)) {
        SetRowState(row, *target, store::Protection::kOverride);
      }
    }
    selection_.Deselect(row);
  }
}

void HeadlineList::MarkSelectedRows(int action) {
  if (ErrorLogSelected() || !KnownAction(action) || selection_.Count() == 0) return;
  if (selection_.Count() == 1) {
    const int row = CommandRow();
    const store::TSiteRecord* item = Item(static_cast<size_t>(row));
    std::optional<uint8_t> target = store::DirectTargetState(action, item->read);
    if (target.has_value() && SetRowState(static_cast<size_t>(row), *target, store::Protection::kOverride)) {
      searchCount_.Restart();
      StatusText();
    }
    return;
  }
  searchCount_.Stop();
  ApplyToRows(selection_.SelectedRows(), action);
  view_.SelectionChanged();
  searchCount_.Restart();
  StatusText();
}

void HeadlineList::MarkAllRows(int action) {
  if (ErrorLogSelected() || !KnownAction(action)) return;
  if (settings_.DialogQues &&
      !dialogs_.AskYesCancel(text::J("全て") + QuestionSuffix(action), platform::MessageType::kConfirmation,
                             platform::DefaultAnswer::kYes)) {
    return;
  }
  searchCount_.Stop();
  const int focused = selection_.Focused();
  std::vector<size_t> rows(rows_.size());
  for (size_t row = 0; row < rows.size(); ++row) rows[row] = row;
  ApplyToRows(rows, action);
  if (ViewMode()) {
    ShowNode(selectedNode_, true);
  } else {
    if (focused >= 0) SelectRow(static_cast<size_t>(focused));
    view_.SelectionChanged();
    view_.FocusList();
  }
  searchCount_.Restart();
  StatusText();
}

void HeadlineList::MarkBelowNode(int action) {
  if (selectedNode_ == nullptr || ErrorLogSelected() || !KnownAction(action)) return;
  if (settings_.DialogQues &&
      !dialogs_.AskYesCancel(text::J("選択項目より下") + QuestionSuffix(action), platform::MessageType::kConfirmation,
                             platform::DefaultAnswer::kYes)) {
    return;
  }
  searchCount_.Stop();
  store::ApplyBulkActionBelow(states_, selectedNode_, action);
  ShowNode(selectedNode_, true);
  searchCount_.Restart();
  StatusText();
}

void HeadlineList::StartReadTimer(bool onEnter) {
  if (!startupFinished_) {
    selection_.StopReadTimer();
    return;
  }
  const bool listFocused = view_.Focus() == FocusArea::kList;
  if (selection_.StartReadTimer(settings_.KidokuTime, listDisplayDelay_, listFocused, onEnter)) ReadTimerFired();
}

void HeadlineList::ReadTimerFired() {
  if (ErrorLogSelected()) return;
  selection_.StopReadTimer();
  if (view_.Focus() != FocusArea::kList || selection_.Count() != 1) return;
  const int row = CommandRow();
  if (row >= 0 && SetRowState(static_cast<size_t>(row), store::kStateRead, store::Protection::kKeep)) {
    searchCount_.Restart();
    StatusText();
  }
}

void HeadlineList::LeaveNode(store::TTreeNodeExt* newNode) {
  if (leaveSuspended_) return;
  store::TTreeNodeExt* last = lastShownNode_;
  const bool departure = last != nullptr && last != newNode &&
                         !(last->Kind() == store::kKindGroup && newNode != nullptr && newNode->IsSameOrBelow(last));
  if (departure) {
    const int kind = last->Kind();
    const bool markableKind = kind == store::kKindGroup || kind == store::kKindChannel || kind == store::kKindStopped ||
                              kind == store::kKindSearch || kind == store::kKindUpdating || kind == store::kKindError;
    const int readChange = settings_.ReadChange;
    if (last != store_.Tree().RootNode() && markableKind && (readChange == 1 || readChange == 2) &&
        (kind != store::kKindGroup || readChange == 2) && last->UnreadTotal() > 0) {
      searchCount_.Stop();
      for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row]->read == store::kStateUnread)
          SetRowState(row, store::kStateRead, store::Protection::kOverride, RowRepaint::kLater);
      }
      view_.RowsReset(rows_.size());
      searchCount_.Restart();
    }
  }
  lastShownNode_ = newNode;
}

bool HeadlineList::DeleteRowItem(size_t row, bool allowProtected) {
  store::TSiteRecord* item = Item(row);
  if (item == nullptr || item->Owner == nullptr) return false;
  if (item->read == store::kStateProtected && !allowProtected) return false;
  store::TSiteList& owner = *item->Owner;
  const long index = owner.IndexOf(item);
  if (index < 0) return false;
  // The duplicate list may refer to the item: it goes before the item does.
  store_.DiscardDupList();
  if (item->read == store::kStateUnread) --unreadInList_;
  for (store::TSiteRecord*& entry : page_.PageList) {
    if (entry == item) entry = nullptr;
  }
  selection_.ForgetSelectedItem(item);
  rows_[row] = nullptr;
  store_.DeleteItemFromChannel(owner, static_cast<size_t>(index));
  return true;
}

bool HeadlineList::DeleteRow(size_t row, bool allowProtected) {
  if (!DeleteRowItem(row, allowProtected)) return false;
  const int focused = selection_.Focused();
  const size_t position = RemoveEmptyRows(focused >= 0 ? static_cast<size_t>(focused) : 0);
  selection_.SetFocused(focused >= 0 && position < rows_.size() ? static_cast<int>(position) : -1);
  view_.RowsReset(rows_.size());
  return true;
}

void HeadlineList::DeleteSelectedRows() {
  store::TTreeNodeExt* errorLog = store_.Tree().ErrorLogNode();
  if (errorLog != nullptr && selectedNode_ == errorLog) {
    editor_.DeleteNode(errorLog);
    return;
  }
  if (selection_.Focused() < 0 || selection_.Count() == 0) return;
  const std::string prefix = text::J("最近の記事の場合は更新時に再読込される場合があります。") + kCrLf;
  const bool single = selection_.Count() == 1;
  const std::string question = single
                                   ? prefix + kCrLf + text::J("選択されているヘッドラインリストの記事を削除しますか？")
                                   : prefix + text::J("［保護］されている記事は削除されません。") + kCrLf + kCrLf +
                                         text::J("選択されている複数のヘッドラインリストの記事を削除しますか？");
  if (settings_.DialogQues &&
      !dialogs_.AskYesCancel(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return;
  }
  searchCount_.Stop();
  bool deleted = false;
  const std::vector<size_t> selected = selection_.SelectedRows();
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) deleted = DeleteRowItem(*row, single) || deleted;
  const size_t position = RemoveEmptyRows(static_cast<size_t>(selection_.Focused()));
  selection_.SetFocused(-1);
  view_.RowsReset(rows_.size());
  if (deleted) {
    if (rows_.empty()) {
      ShowNode(selectedNode_, true);
    } else {
      SelectRow(std::min(position, rows_.size() - 1));
    }
  }
  searchCount_.Restart();
  StatusText();
}

}  // namespace present
