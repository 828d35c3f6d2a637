// SPDX-License-Identifier: MIT
#include "store/TTreeNodeExt.h"

namespace store {

long TTreeNodeExt::IndexInParent() const {
  if (parent_ == nullptr) return -1;
  const auto& siblings = parent_->children_;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() == this) return static_cast<long>(i);
  }
  return -1;
}

TTreeNodeExt* TTreeNodeExt::NextSibling() const {
  long index = IndexInParent();
  return index < 0 ? nullptr : parent_->Child(static_cast<size_t>(index) + 1);
}

TTreeNodeExt* TTreeNodeExt::PrevSibling() const {
  long index = IndexInParent();
  return index <= 0 ? nullptr : parent_->Child(static_cast<size_t>(index) - 1);
}

int TTreeNodeExt::Level() const {
  int level = 0;
  for (const TTreeNodeExt* node = parent_; node != nullptr; node = node->parent_) ++level;
  return level;
}

bool TTreeNodeExt::IsSameOrBelow(const TTreeNodeExt* ancestor) const {
  for (const TTreeNodeExt* node = this; node != nullptr; node = node->parent_) {
    if (node == ancestor) return true;
  }
  return false;
}

}  // namespace store
