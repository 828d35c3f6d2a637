// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

// Dates of feeds: RFC 822 dates (pubDate, lastBuildDate) and W3C/ISO 8601 dates (dc:date,
// the Atom dates), read by position the way the feeds of Japanese sites write them, into
// local date-times (days since 1899-12-30, the fraction being the time of day). Reading
// never fails: a date that cannot be read becomes a synthetic date that keeps the order of
// undated items.
namespace formats {

// The synthetic dates of one document: each is a little earlier than the one before, all
// just before the moment the document was processed, so undated items keep their order
// and sort below dated items of the same moment.
struct UndatedDates {
  static constexpr double kStep = 1e-9;  // days, about 86 microseconds

  explicit UndatedDates(double now = 0) { Reset(now); }

  // Starts again from `now` (local date-time); done for every document processed.
  void Reset(double now) {
    UndatedBase = now;
    UndatedStep = 0;
  }

  // UndatedBase - UndatedStep, then the step grows by kStep.
  double NextUndatedDate() {
    const double date = UndatedBase - UndatedStep;
    UndatedStep += kStep;
    return date;
  }

  double UndatedBase = 0;
  double UndatedStep = 0;
};

// The date-time of a calendar date and time of day, or none when any part is out of range
// (year 1..9999, a real day of the month, 0..23, 0..59, 0..59, 0..999). Before
// 1899-12-30 the value is negative and the time of day still adds to it.
std::optional<double> EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                     int millisecond = 0);

// The whole hours of a UTC offset given in seconds east of UTC, truncated towards zero
// (UTC+5:30 gives 5, UTC-3:30 gives -3); 9 when beyond a day.
int ZoneHoursFromOffset(long secondsEastOfUtc);

// The machine's offset from UTC now, in whole hours as above; 9 when it cannot be read.
int LocalZoneHours();

// Reads a feed date. `rfc822` is true for pubDate and lastBuildDate, false for dc:date and
// the Atom dates. A date long enough to carry a zone, and not marked JST, is taken as UTC
// (less any numeric offset it carries) and moved into the local zone `localZoneHours`;
// shorter dates and JST dates are local already. An empty or unreadable text yields
// `undated.NextUndatedDate()`.
double ParseFeedDate(std::string_view text, bool rfc822, int localZoneHours, UndatedDates& undated);

}  // namespace formats
