// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>

namespace store {

// Hands out the recovery numbers that a save gives to channels that have none yet. The
// application owns one for the whole run, seeded from the local time at start in the
// packed file date-time form, so numbers given in different runs rarely meet; each number
// is the counter after one more step.
class RecoveryCounter {
 public:
  explicit RecoveryCounter(uint32_t seed) : value_(seed) {}

  // A counter seeded from the local time of `startTime`.
  static RecoveryCounter FromStartTime(std::time_t startTime);

  // Steps the counter and returns its new value. 0 is skipped: it means "no number yet".
  uint32_t Next();

  uint32_t Value() const { return value_; }

 private:
  uint32_t value_;
};

}  // namespace store
