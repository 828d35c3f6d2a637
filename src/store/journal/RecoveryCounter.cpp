// SPDX-License-Identifier: MIT
#include "store/journal/RecoveryCounter.h"

#include "store/LocalClock.h"

namespace store {

RecoveryCounter RecoveryCounter::FromStartTime(std::time_t startTime) {
  return RecoveryCounter(PackedFileDateTime(startTime));
}

uint32_t RecoveryCounter::Next() {
  ++value_;
  // After the counter wraps, 0 would read back as "not yet assigned" and be replaced at
  // every save, so it is never handed out.
  if (value_ == 0) ++value_;
  return value_;
}

}  // namespace store
