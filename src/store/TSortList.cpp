// SPDX-License-Identifier: MIT
#include "store/TSortList.h"

#include <algorithm>
#include <new>

namespace store {

void TSortList::Sort() {
  if (!compare_ || items_.empty()) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const TSiteRecord* a, const TSiteRecord* b) { return compare_(*a, *b) < 0; });
}

bool TSortList::Find(const TSiteRecord& key, size_t& index, bool firstMatch) const {
  index = 0;
  if (!compare_) return false;
  bool found = false;
  long lo = 0;
  long hi = static_cast<long>(items_.size()) - 1;
  while (hi >= lo) {
    long mid = (lo + hi) / 2;
    int result = compare_(*items_[static_cast<size_t>(mid)], key);
    if (result < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (result == 0) {
        found = true;
        // Without firstMatch any equal entry will do, and setting lo ends the loop on it.
        if (!firstMatch) lo = mid;
      }
    }
  }
  index = static_cast<size_t>(lo);
  return found;
}

bool TSortList::AddUnique(TSiteRecord* item) {
  try {
    size_t index = 0;
    if (Find(*item, index, true)) return false;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), item);
    return true;
  } catch (const std::exception&) {
    return true;
  }
}

bool TSortList::Remove(const TSiteRecord* item) {
  auto last = std::remove(items_.begin(), items_.end(), item);
  bool removed = last != items_.end();
  items_.erase(last, items_.end());
  return removed;
}

}  // namespace store
