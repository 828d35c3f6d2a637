// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

#include "store/TSiteRecord.h"

namespace present {

// The sort order of the headline list for one sort column and direction. Ties go by
// `modified` and then by `ListIndex`, the order of collection, so that equal rows never
// change places between two sorts.
class HeadlineOrder {
 public:
  HeadlineOrder(int column, bool ascending) : column_(column), ascending_(ascending) {}

  // Negative when `a` comes first, positive when `b` does, 0 for the same place.
  int CompareItems(const store::TSiteRecord& a, const store::TSiteRecord& b) const;

  // The positions of `items` in sorted order. Text keys are prepared once for the whole
  // list, so a hundred thousand rows sort without folding case in every comparison.
  std::vector<size_t> SortedOrder(const std::vector<store::TSiteRecord*>& items) const;

  // Sorts the items in place.
  void Sort(std::vector<store::TSiteRecord*>& items) const;

 private:
  int column_;
  bool ascending_;
};

}  // namespace present
