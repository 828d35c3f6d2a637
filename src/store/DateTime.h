// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>
#include <cstdint>

// Date-times are days since 1899-12-30 in local time, the fraction being the time of day.
// Spans between two of them are measured in whole milliseconds, so that "exactly one day
// later" is one day and not a rounding error short of it.
namespace store {

inline constexpr int64_t kMillisecondsPerDay = 86'400'000;

// Milliseconds from `from` to `to` (negative when `to` is earlier). A value that is not a
// number gives 0; spans beyond any real date are clamped instead of overflowing.
inline int64_t MillisecondsBetween(double from, double to) {
  double span = (to - from) * static_cast<double>(kMillisecondsPerDay);
  if (std::isnan(span)) return 0;
  constexpr double kLimit = 1e15;  // about 31 000 years
  if (span > kLimit) span = kLimit;
  if (span < -kLimit) span = -kLimit;
  return std::llround(span);
}

// Whole days between two date-times, either order, the fraction dropped.
inline int64_t WholeDaysBetween(double a, double b) {
  int64_t span = MillisecondsBetween(a, b);
  return (span < 0 ? -span : span) / kMillisecondsPerDay;
}

}  // namespace store
