// SPDX-License-Identifier: MIT
#include "present/HeadlineSelection.h"

#include <algorithm>

namespace present {

HeadlineSelection::HeadlineSelection(platform::EventLoop& loop, std::function<void()> readTimerFired)
    : readTimer_(loop, 0, platform::TimerKind::kOnce, std::move(readTimerFired)) {}

void HeadlineSelection::Reset(size_t rows) {
  selected_.assign(rows, 0);
  count_ = 0;
  focused_ = -1;
}

void HeadlineSelection::SelectOnly(size_t row) {
  std::fill(selected_.begin(), selected_.end(), 0);
  selected_[row] = 1;
  count_ = 1;
  focused_ = static_cast<int>(row);
}

void HeadlineSelection::SelectSet(const std::vector<size_t>& rows, int focusedRow, size_t rowCount) {
  std::fill(selected_.begin(), selected_.end(), 0);
  count_ = 0;
  for (size_t row : rows) {
    if (row < selected_.size() && selected_[row] == 0) {
      selected_[row] = 1;
      ++count_;
    }
  }
  focused_ = focusedRow >= 0 && static_cast<size_t>(focusedRow) < rowCount ? focusedRow : -1;
}

void HeadlineSelection::Deselect(size_t row) {
  if (selected_[row] != 0) {
    selected_[row] = 0;
    --count_;
  }
}

int HeadlineSelection::CommandRow() const {
  if (focused_ >= 0 && IsSelected(static_cast<size_t>(focused_))) return focused_;
  for (size_t row = 0; row < selected_.size(); ++row) {
    if (selected_[row] != 0) return static_cast<int>(row);
  }
  return -1;
}

std::vector<size_t> HeadlineSelection::SelectedRows() const {
  std::vector<size_t> rows;
  for (size_t row = 0; row < selected_.size(); ++row) {
    if (selected_[row] != 0) rows.push_back(row);
  }
  return rows;
}

void HeadlineSelection::Reorder(const std::vector<size_t>& order) {
  std::vector<uint8_t> selected;
  selected.reserve(order.size());
  int focused = -1;
  for (size_t index : order) {
    if (static_cast<int>(index) == focused_) focused = static_cast<int>(selected.size());
    selected.push_back(selected_[index]);
  }
  selected_.swap(selected);
  focused_ = focused;
}

size_t HeadlineSelection::RemoveRows(const std::vector<store::TSiteRecord*>& rows, size_t position) {
  size_t kept = 0;
  size_t newPosition = 0;
  count_ = 0;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (row == position) newPosition = kept;
    if (rows[row] == nullptr) continue;
    selected_[kept] = selected_[row];
    count_ += selected_[kept];
    ++kept;
  }
  if (position >= rows.size()) newPosition = kept;
  selected_.resize(kept);
  return newPosition;
}

bool HeadlineSelection::TakeSelectedItem(const store::TSiteRecord* item) {
  const bool newItem = item != lastSelectedItem_;
  lastSelectedItem_ = item;
  return newItem;
}

void HeadlineSelection::ForgetSelectedItem(const store::TSiteRecord* item) {
  if (item == lastSelectedItem_) lastSelectedItem_ = nullptr;
}

bool HeadlineSelection::StartReadTimer(int delaySeconds, int listDisplayDelay, bool listFocused, bool onEnter) {
  readTimer_.Stop();
  if (delaySeconds < 0) return false;
  if (delaySeconds > 0) {
    readTimer_.SetInterval(std::max<int64_t>(int64_t{delaySeconds} * 1000 - listDisplayDelay, 1));
    readTimer_.Start();
    return false;
  }
  if (!listFocused) {
    readTimer_.SetInterval(400);
    readTimer_.Start();
  } else if (onEnter) {
    readTimer_.SetInterval(200);
    readTimer_.Start();
  } else {
    return true;
  }
  return false;
}

}  // namespace present
