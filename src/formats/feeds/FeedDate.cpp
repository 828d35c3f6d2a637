// SPDX-License-Identifier: MIT
#include "formats/feeds/FeedDate.h"

#include <array>
#include <chrono>
#include <ctime>

#include "formats/feeds/private/DateText.h"
#include "store/DateTime.h"

namespace formats {
namespace {

constexpr long kSecondsPerDay = 86'400;
constexpr int64_t kUnixEpochSerial = 25'569;  // 1970-01-01 as days since 1899-12-30
constexpr int kUnknownZoneMinutes = 9 * 60;   // the machine's zone when it cannot be read

// Days from 1899-12-30 to a valid calendar date, or none.
std::optional<long> DaySerial(long year, long month, long day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{std::chrono::year{static_cast<int>(year)}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  return static_cast<long>((sys_days{date} - store::kDayZero).count());
}

bool ValidTime(long hour, long minute, long second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

// The date-time of a count of seconds since 1899-12-30 00:00, computed the way
// EncodeDateTime computes it, so that equal moments give equal values.
double SerialOfSeconds(int64_t seconds) {
  const int64_t days = store::FloorDiv(seconds, kSecondsPerDay);
  return static_cast<double>(days) + static_cast<double>(seconds - days * kSecondsPerDay) / kSecondsPerDay;
}

// The seconds since 1899-12-30 00:00 of what a date text says, on its own clock; none
// when the calendar date or the time does not exist. An hour of 24 (with nothing after
// it) is the midnight that ends the day.
std::optional<int64_t> WallSeconds(const DateText& read) {
  const std::optional<long> days = DaySerial(read.year, read.month, read.day);
  if (!days) return std::nullopt;
  const bool endOfDay = read.hour == 24 && read.minute == 0 && read.second == 0;
  // A leap second is not kept: the date-time counts 60 seconds to the minute.
  const int second = read.second == 60 ? 59 : read.second;
  if (!endOfDay && !ValidTime(read.hour, read.minute, second)) return std::nullopt;
  return static_cast<int64_t>(*days) * kSecondsPerDay + read.hour * 3600 + read.minute * 60 + second;
}

}  // namespace

std::optional<double> EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const std::optional<long> days = DaySerial(year, month, day);
  if (!days || !ValidTime(hour, minute, second) || millisecond < 0 || millisecond > 999) return std::nullopt;
  const double seconds = hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
  return static_cast<double>(*days) + seconds / kSecondsPerDay;
}

int ZoneRules::OffsetMinutesAt(int64_t utcSeconds) const {
  if (fixedMinutes_) return *fixedMinutes_;
  const auto instant = static_cast<std::time_t>(utcSeconds);
  std::tm local{};
  if (static_cast<int64_t>(instant) != utcSeconds || ::localtime_r(&instant, &local) == nullptr) {
    return kUnknownZoneMinutes;
  }
  const long minutes = local.tm_gmtoff / 60;
  return minutes >= -24 * 60 && minutes <= 24 * 60 ? static_cast<int>(minutes) : kUnknownZoneMinutes;
}

double ParseFeedDate(std::string_view text, bool rfc822, const ZoneRules& zone, UndatedDates& undated) {
  const std::optional<DateText> read = ReadDateText(text, rfc822);
  if (!read) return undated.NextUndatedDate();
  const std::optional<int64_t> wall = WallSeconds(*read);
  if (!wall) return undated.NextUndatedDate();
  if (!read->zoneMinutes) return SerialOfSeconds(*wall);  // local time already
  const int64_t utc = *wall - int64_t{*read->zoneMinutes} * 60;
  const int64_t unixSeconds = utc - kUnixEpochSerial * kSecondsPerDay;
  return SerialOfSeconds(utc + int64_t{zone.OffsetMinutesAt(unixSeconds)} * 60);
}

}  // namespace formats
