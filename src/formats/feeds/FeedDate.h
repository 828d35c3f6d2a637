// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Dates of feeds: RFC 822 dates (pubDate, lastBuildDate) with their common variants, and
// W3C/ISO 8601 dates (dc:date, the Atom dates), read into local date-times (days since
// 1899-12-30, the fraction being the time of day). Reading never fails: a date that cannot
// be read becomes a synthetic date that keeps the order of undated items.
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

// The zone local date-times are kept in. Normally the machine's own time-zone rules,
// asked for the offset in force at each instant, so that a summer date and a winter date
// each get their own offset and a zone half an hour off the hour keeps its minutes; a
// fixed offset serves where results must not depend on the machine.
class ZoneRules {
 public:
  static ZoneRules Machine() { return ZoneRules(std::nullopt); }
  static ZoneRules Fixed(int minutesEastOfUtc) { return ZoneRules(minutesEastOfUtc); }

  // Minutes east of UTC in force at an instant given in seconds since 1970-01-01 UTC. The
  // machine's rules give nine hours when the platform cannot answer.
  int OffsetMinutesAt(int64_t utcSeconds) const;

 private:
  explicit ZoneRules(std::optional<int> fixedMinutes) : fixedMinutes_(fixedMinutes) {}
  std::optional<int> fixedMinutes_;
};

// Reads a feed date into a local date-time of `zone`. `rfc822` is true for pubDate and
// lastBuildDate, false for dc:date and the Atom dates; it only decides which family is
// tried first, since feeds often put one family where the other belongs. A date with a
// zone (a numeric offset or a zone name) is an instant and is moved into `zone`; a date
// and time without any zone is taken as local already; a W3C date without a time ("2009",
// "2009-04", "2009-04-15") is the first instant of that period in UTC. An empty or
// unreadable text yields `undated.NextUndatedDate()`.
double ParseFeedDate(std::string_view text, bool rfc822, const ZoneRules& zone, UndatedDates& undated);

}  // namespace formats
