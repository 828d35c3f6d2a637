// SPDX-License-Identifier: MIT
#include "store/DateTime.h"

#include <chrono>
#include <cmath>

namespace store {

namespace {

// The Gregorian calendar repeats itself every 400 years, which are exactly this many days.
constexpr int64_t kDaysPer400Years = 146'097;

constexpr std::chrono::sys_days kDayZero{std::chrono::year{1899} / std::chrono::December / 30};

int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return value % divisor < 0 ? quotient - 1 : quotient;
}

}  // namespace

CivilDate CivilDateOfDay(int64_t dayNumber) {
  // std::chrono::year stops at 32767: the day is first moved into the 400 years that
  // start at day 0, and the whole cycles taken off are added back to the year.
  const int64_t cycles = FloorDiv(dayNumber, kDaysPer400Years);
  const int64_t dayOfCycle = dayNumber - cycles * kDaysPer400Years;
  const std::chrono::year_month_day date{kDayZero + std::chrono::days{dayOfCycle}};
  CivilDate civil;
  civil.year = static_cast<int>(date.year()) + cycles * 400;
  civil.month = static_cast<int>(static_cast<unsigned>(date.month()));
  civil.day = static_cast<int>(static_cast<unsigned>(date.day()));
  return civil;
}

CivilDateTime CivilDateTimeOf(double dateTime) {
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
