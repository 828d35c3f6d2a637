// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
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

// A date of the proleptic Gregorian calendar. The year is wide: a date-time read from a
// file may lie far beyond the years a calendar library supports.
struct CivilDate {
  int64_t year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
};

// A date-time taken apart to the minute.
struct CivilDateTime {
  CivilDate date;
  int hour = 0;
  int minute = 0;
};

// Day 0 of the date-times. What follows is inline: the headline list formats a date for
// every row it draws.
inline constexpr std::chrono::sys_days kDayZero{std::chrono::year{1899} / std::chrono::December / 30};

// Division rounded toward minus infinity, so that times before day 0 still fall into the day
// they belong to.
inline int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return value % divisor < 0 ? quotient - 1 : quotient;
}

namespace detail {

// The Gregorian calendar repeats itself every 400 years, which are exactly this many days.
constexpr int64_t kDaysPer400Years = 146'097;

}  // namespace detail

// The date of a day number, day 0 being 1899-12-30. Every int64_t day number has one.
inline CivilDate CivilDateOfDay(int64_t dayNumber) {
  // std::chrono::year stops at 32767: the day is first moved into the 400 years that
  // start at day 0, and the whole cycles taken off are added back to the year.
  // The remainder is taken directly: cycles times the cycle's length can lie beyond int64_t
  // for the smallest day numbers.
  const int64_t cycles = FloorDiv(dayNumber, detail::kDaysPer400Years);
  int64_t dayOfCycle = dayNumber % detail::kDaysPer400Years;
  if (dayOfCycle < 0) dayOfCycle += detail::kDaysPer400Years;
  const std::chrono::year_month_day date{kDayZero + std::chrono::days{dayOfCycle}};
  CivilDate civil;
  civil.year = static_cast<int>(date.year()) + cycles * 400;
  civil.month = static_cast<int>(static_cast<unsigned>(date.month()));
  civil.day = static_cast<int>(static_cast<unsigned>(date.day()));
  return civil;
}

// The date and time of a date-time, rounded to whole milliseconds first, so that 10:00
// stored as 9:59:59.9999 reads 10:00; the time before midnight of day 0 belongs to day
// -1. The caller bounds the value: llround of a value beyond int64_t milliseconds is not
// a date.
inline CivilDateTime CivilDateTimeOf(double dateTime) {
  const int64_t ms = std::llround(dateTime * static_cast<double>(kMillisecondsPerDay));
  // Truncating division and then one step back: the floor taken directly could
  // overflow for the smallest values.
  int64_t days = ms / kMillisecondsPerDay;
  int64_t msOfDay = ms % kMillisecondsPerDay;
  if (msOfDay < 0) {
    msOfDay += kMillisecondsPerDay;
    --days;
  }
  const int64_t minutes = msOfDay / 60'000;
  CivilDateTime civil;
  civil.date = CivilDateOfDay(days);
  civil.hour = static_cast<int>(minutes / 60);
  civil.minute = static_cast<int>(minutes % 60);
  return civil;
}

}  // namespace store
