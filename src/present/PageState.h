// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace store {
struct TSiteRecord;
}

namespace present {

// The view-mode page list: the items of the selected node after the entries of the last
// page read in the node before it (nullptr stands for an empty slot), the first index of
// the current page and of the node's own items, and the id of this build, which the
// browser remembers so that commands of an older page are refused.
struct PageState {
  std::vector<store::TSiteRecord*> PageList;
  size_t PageFirst = 0;
  size_t PageStart = 0;
  int64_t PageId = 0;
};

}  // namespace present
