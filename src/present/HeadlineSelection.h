// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/EventLoop.h"
#include "store/TSiteRecord.h"

namespace present {

// The selected rows of the headline list, its focused row, and the read timer that marks
// the one selected row read after the reading delay. The rows themselves belong to the
// list: this class keeps one flag per row, in the rows' order.
class HeadlineSelection {
 public:
  HeadlineSelection(platform::EventLoop& loop, std::function<void()> readTimerFired);

  // A fresh list of `rows` rows, none selected and none focused.
  void Reset(size_t rows);

  // Makes `row` the only selected row and the focused one.
  void SelectOnly(size_t row);

  // Selects `rows` (those below `rowCount`, each once) and focuses `focusedRow` when it is
  // a row, else none.
  void SelectSet(const std::vector<size_t>& rows, int focusedRow, size_t rowCount);

  bool IsSelected(size_t row) const { return row < selected_.size() && selected_[row] != 0; }
  size_t Count() const { return count_; }
  int Focused() const { return focused_; }
  void SetFocused(int row) { focused_ = row; }
  void Deselect(size_t row);

  // The row a command acts on: the focused row when it is selected, else the first
  // selected row; -1 without a selection.
  int CommandRow() const;

  // The selected rows, first to last.
  std::vector<size_t> SelectedRows() const;

  // Follows a new order of the rows: `order[i]` is the old position of the new row i.
  void Reorder(const std::vector<size_t>& order);

  // Drops the flags of the rows that `rows` marks with nullptr, keeping the others in
  // order (the caller compacts `rows` the same way). Returns the new position of the
  // row at `position` (or of the first kept row after it).
  size_t RemoveRows(const std::vector<store::TSiteRecord*>& rows, size_t position);

  // Whether `item` differs from the item selected last, which it then becomes. Only a
  // newly selected item starts the read timer.
  bool TakeSelectedItem(const store::TSiteRecord* item);
  void ForgetSelectedItem(const store::TSiteRecord* item);
  void ClearSelectedItem() { lastSelectedItem_ = nullptr; }

  // The read timer. With a reading delay (`delaySeconds` > 0) it runs for the delay less
  // the list's display delay, which has passed already when the row appears; with no
  // delay it waits 400 ms while the list has no focus, 200 ms when the list has just
  // gained it, and otherwise fires at once (the result is then true and the caller marks
  // the row). A negative delay never marks a row.
  bool StartReadTimer(int delaySeconds, int listDisplayDelay, bool listFocused, bool onEnter);
  void StopReadTimer() { readTimer_.Stop(); }
  bool ReadTimerActive() const { return readTimer_.Enabled(); }

 private:
  std::vector<uint8_t> selected_;
  size_t count_ = 0;
  int focused_ = -1;
  const store::TSiteRecord* lastSelectedItem_ = nullptr;  // compared, never read
  platform::Timer readTimer_;
};

}  // namespace present
