// SPDX-License-Identifier: MIT
#include "present/HeadlineOrder.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>

#include "present/HeadlineColumns.h"
#include "store/TSiteList.h"
#include "text/Compare.h"

namespace present {

namespace {

bool IsTextColumn(int column) {
  return column >= kColumnTitle && column <= kColumnCreator;
}

std::string_view KeyText(const store::TSiteRecord& item, int column) {
  switch (column) {
    case kColumnTitle:
      return item.title;
    case kColumnChannel:
      return item.Owner != nullptr ? std::string_view(item.Owner->Site.title) : std::string_view();
    case kColumnCategory:
      return item.category;
    case kColumnCreator:
      return item.creator;
    default:
      return std::string_view();
  }
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// The tie-breaks shared by both ways of comparing.
int CompareTies(const store::TSiteRecord& a, const store::TSiteRecord& b) {
  if (a.modified != b.modified) return a.modified < b.modified ? -1 : 1;
  if (a.ListIndex != b.ListIndex) return a.ListIndex < b.ListIndex ? -1 : 1;
  return 0;
}

}  // namespace

int HeadlineOrder::CompareItems(const store::TSiteRecord& a, const store::TSiteRecord& b) const {
  int result = 0;
  if (column_ == kColumnState) {
    result = Sign(static_cast<int>(b.read) - static_cast<int>(a.read));
  } else if (IsTextColumn(column_)) {
    result = text::CompareTextJ(KeyText(a, column_), KeyText(b, column_));
  }
  if (result == 0) result = CompareTies(a, b);
  return ascending_ ? result : -result;
}

std::vector<size_t> HeadlineOrder::SortedOrder(const std::vector<store::TSiteRecord*>& items) const {
  std::vector<size_t> order(items.size());
  std::iota(order.begin(), order.end(), size_t{0});
  if (!IsTextColumn(column_)) {
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return CompareItems(*items[a], *items[b]) < 0; });
    return order;
  }
  // Every key in one buffer: a hundred thousand separate strings cost more in allocation
  // than the comparisons themselves.
  size_t total = 0;
  for (const store::TSiteRecord* item : items) total += KeyText(*item, column_).size() * 2;
  std::string keys;
  keys.reserve(total);
  std::vector<size_t> starts(items.size() + 1);
  for (size_t i = 0; i < items.size(); ++i) {
    starts[i] = keys.size();
    AppendSortKey(KeyText(*items[i], column_), keys);
  }
  starts[items.size()] = keys.size();
  const std::string_view all(keys);
  auto key = [&](size_t i) { return all.substr(starts[i], starts[i + 1] - starts[i]); };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    int result = Sign(key(a).compare(key(b)));
    if (result == 0) result = CompareTies(*items[a], *items[b]);
    return ascending_ ? result < 0 : result > 0;
  });
  return order;
}

void HeadlineOrder::Sort(std::vector<store::TSiteRecord*>& items) const {
  std::vector<size_t> order = SortedOrder(items);
  std::vector<store::TSiteRecord*> sorted;
  sorted.reserve(items.size());
  for (size_t index : order) sorted.push_back(items[index]);
  items.swap(sorted);
}

}  // namespace present
