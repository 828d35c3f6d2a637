// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "store/TSiteRecord.h"

namespace store {

// A sorted list of references to items. It owns nothing: whoever destroys an item it may
// refer to must first remove the item from it or throw the list away.
class TSortList {
 public:
  // Orders an entry of the list against a key: negative, zero or positive.
  using CompareFunction = std::function<int(const TSiteRecord& item, const TSiteRecord& key)>;

  TSortList() = default;
  explicit TSortList(CompareFunction compare) : compare_(std::move(compare)) {}

  // Appends without keeping the order; call Sort afterwards.
  void Add(TSiteRecord* item) { items_.push_back(item); }

  // Sorts with the compare function; does nothing without one.
  void Sort();

  // Binary search for `key`. Returns whether an equal entry exists; `index` receives the
  // first of several equal entries with `firstMatch`, otherwise the position of one equal
  // entry, and the insertion position when nothing was found. Without a compare function
  // nothing is found, at position 0.
  bool Find(const TSiteRecord& key, size_t& index, bool firstMatch) const;

  // Inserts `item` at its place unless an equal entry exists. Returns true when it was
  // inserted, false when an equal entry was there (the list is unchanged then). A failure
  // inside also returns true, so the item is never taken for a duplicate by mistake.
  bool AddUnique(TSiteRecord* item);

  // Removes every reference to `item`; returns whether there was one.
  bool Remove(const TSiteRecord* item);

  size_t Count() const { return items_.size(); }
  TSiteRecord* At(size_t index) const { return index < items_.size() ? items_[index] : nullptr; }
  void Clear() { items_.clear(); }

 private:
  std::vector<TSiteRecord*> items_;
  CompareFunction compare_;
};

}  // namespace store
