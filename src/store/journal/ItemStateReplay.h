// SPDX-License-Identifier: MIT
#pragma once

#include "store/TSiteRecord.h"

namespace store {

// Gives an item that is being loaded or merged the state recorded for it since the last
// save, when the previous run ended abnormally. The recovery journal implements it; the
// loader and the merge take it as a pointer that may be null (no journal, no replay).
class ItemStateReplay {
 public:
  virtual ~ItemStateReplay() = default;

  // Called after the item's Owner is set. Sets `read` from the record and returns true
  // when that changed it (the caller then marks the data modified).
  virtual bool ReplayItemState(TSiteRecord& item) = 0;
};

}  // namespace store
