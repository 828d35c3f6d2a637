// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace formats {

// What a feed date text says, before it is checked against the calendar: the date and
// time as written and the zone they are written in.
struct DateText {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;  // a fraction of a second is dropped
  std::optional<int> zoneMinutes;        // east of UTC; none: local time
};

// Reads the forms feeds use: W3C-DTF / ISO 8601 ("2009", "2009-04-15",
// "2011-11-11T11:11:11.5678Z", "2012-05-06 07:08:09 +02:00"), RFC 822 / 2822 with or
// without the day name ("Sat,02 Jun 91 07:05 GMT+09:00", "3 October 2018 22:10:00 +0000")
// and the asctime-like forms ("Mon Apr 01 09:08:07 +0000 2013", "Wed Mar 06 2013
// 11:22:33 +0100"). `rfc822` picks the family tried first. None when the text is none of
// them.
std::optional<DateText> ReadDateText(std::string_view text, bool rfc822);

// The offset of a zone name, ignoring case: the names of RFC 822 (the military letters
// count as UTC, as RFC 2822 says) and common abbreviations; none for a name not known.
std::optional<int> ZoneNameMinutes(std::string_view name);

}  // namespace formats
