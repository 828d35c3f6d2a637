// SPDX-License-Identifier: MIT
#include "formats/feeds/FeedDate.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string>

#include "text/Cut.h"

namespace formats {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr long kSecondsPerDay = 86'400;

// `count` characters from position `first` (counted from 1); a first position below 1
// starts at the first character, one past the end gives nothing.
std::string_view Chars(std::string_view text, long first, long count) {
  if (first < 1) first = 1;
  if (count <= 0 || first > static_cast<long>(text.size())) return {};
  return text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(count));
}

// The character at a position counted from 1, or NUL outside the text.
char CharAt(std::string_view text, long pos) {
  return pos >= 1 && pos <= static_cast<long>(text.size()) ? text[static_cast<size_t>(pos - 1)] : '\0';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "Number of" a piece of a date: the piece as an integer when it is one (leading spaces
// and a sign allowed), otherwise the number its leading digits make; 0 when there are
// none. Both readings come to the number made by the digits before the first character
// that cannot continue it.
long NumberOf(std::string_view piece) {
  size_t pos = 0;
  while (pos < piece.size() && piece[pos] == ' ') ++pos;
  const bool negative = pos < piece.size() && piece[pos] == '-';
  if (pos < piece.size() && (piece[pos] == '-' || piece[pos] == '+')) ++pos;
  long value = 0;
  for (; pos < piece.size() && IsDigit(piece[pos]); ++pos) {
    if (value < 100'000'000) value = value * 10 + (piece[pos] - '0');
  }
  return negative ? -value : value;
}

long MonthNumber(std::string_view piece) {
  std::string name = text::TrimJ(piece);
  const std::string trimmed = name;
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  for (size_t i = 0; i < kMonthNames.size(); ++i) {
    if (name == kMonthNames[i]) return static_cast<long>(i + 1);
  }
  return NumberOf(trimmed);
}

bool MentionsJst(std::string_view text) {
  for (size_t pos = 0; pos + 3 <= text.size(); ++pos) {
    const auto upper = [&](size_t i) { return text[i] >= 'a' && text[i] <= 'z' ? text[i] - ('a' - 'A') : text[i]; };
    if (upper(pos) == 'J' && upper(pos + 1) == 'S' && upper(pos + 2) == 'T') return true;
  }
  return false;
}

// Days from 1899-12-30 to a valid calendar date, or none.
std::optional<long> DaySerial(long year, long month, long day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{std::chrono::year{static_cast<int>(year)}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  constexpr year_month_day kEpoch{std::chrono::year{1899}, std::chrono::month{12}, std::chrono::day{30}};
  return static_cast<long>((sys_days{date} - sys_days{kEpoch}).count());
}

bool ValidTime(long hour, long minute, long second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

// The parts a date text is read into; all start at 0.
struct DateParts {
  long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  long zoneHours = 0;   // the numeric offset the text carries
  long localShift = 0;  // the local zone, when the text is read as UTC
  long zoneLimit = 0;   // the length from which a text is taken to carry a zone
};

// The date of an RFC 822 text: "Sun, 08 Dec 2026 ..." read from after the comma and the
// character following it. Returns the shortened text the time is then read from, or none
// when there is no comma.
std::optional<std::string_view> ReadRfc822Date(std::string_view text, DateParts& parts) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::string_view rest = comma + 2 <= text.size() ? text.substr(comma + 2) : std::string_view();
  const long len = static_cast<long>(rest.size());
  parts.day = NumberOf(Chars(rest, 1, 2));
  parts.month = MonthNumber(Chars(rest, 3, 4));
  if (len >= 10 && (CharAt(rest, 9) == ' ' || CharAt(rest, 10) == ' ')) {
    parts.year = NumberOf(Chars(rest, 7, 3)) + 2000;  // a two-digit year
  } else {
    parts.year = NumberOf(Chars(rest, 7, 5));
  }
  if (!MentionsJst(rest)) parts.zoneLimit = 22;
  return rest;
}

void ReadIsoDate(std::string_view text, DateParts& parts) {
  const long len = static_cast<long>(text.size());
  if (len >= 1) parts.year = NumberOf(Chars(text, 1, 4));
  if (len >= 6) parts.month = NumberOf(Chars(text, 6, 2));
  if (len >= 8) parts.day = NumberOf(Chars(text, 9, 2));
  if (!MentionsJst(text)) parts.zoneLimit = 20;
}

// The time starts two characters before the first colon; the zone is the three
// characters before the last two ("+0900" gives "+09") or, when the third last is a
// colon, before the last five ("+09:00").
void ReadTimeAndZone(std::string_view text, int localZoneHours, DateParts& parts) {
  const long len = static_cast<long>(text.size());
  const size_t colon = text.find(':');
  long c = colon == std::string_view::npos ? 0 : static_cast<long>(colon) + 1;
  if (c > 0) c -= 2;
  if (c <= 0 || c > len) return;
  parts.hour = NumberOf(Chars(text, c, 2));
  if (parts.hour == 24) parts.hour = 0;  // midnight at the end of the day reads as its start
  parts.minute = NumberOf(Chars(text, c + 3, 2));
  parts.second = NumberOf(Chars(text, c + 6, 2));
  const std::string_view zone = CharAt(text, len - 2) == ':' ? Chars(text, len - 5, 3) : Chars(text, len - 4, 3);
  if (!zone.empty() && (zone[0] == '+' || zone[0] == '-')) parts.zoneHours = NumberOf(zone);
  if (parts.zoneLimit > 0 && len >= parts.zoneLimit) parts.localShift = localZoneHours;
}

}  // namespace

std::optional<double> EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const std::optional<long> days = DaySerial(year, month, day);
  if (!days || !ValidTime(hour, minute, second) || millisecond < 0 || millisecond > 999) return std::nullopt;
  const double seconds = hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
  return static_cast<double>(*days) + seconds / kSecondsPerDay;
}

int ZoneHoursFromOffset(long secondsEastOfUtc) {
  const long biasMinutes = -(secondsEastOfUtc / 60);
  long hours = (biasMinutes < 0 ? -biasMinutes : biasMinutes) / 60;
  if (biasMinutes > 0) hours = -hours;
  if (hours < -24 || hours > 24) return 9;
  return static_cast<int>(hours);
}

int LocalZoneHours() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || ::localtime_r(&now, &local) == nullptr) return 9;
  return ZoneHoursFromOffset(local.tm_gmtoff);
}

double ParseFeedDate(std::string_view text, bool rfc822, int localZoneHours, UndatedDates& undated) {
  if (text.empty()) return undated.NextUndatedDate();
  DateParts parts;
  std::string_view timeText = text;
  if (rfc822) {
    const std::optional<std::string_view> rest = ReadRfc822Date(text, parts);
    if (!rest) return undated.NextUndatedDate();
    timeText = *rest;
  } else {
    ReadIsoDate(text, parts);
  }
  ReadTimeAndZone(timeText, localZoneHours, parts);
  const std::optional<long> days = DaySerial(parts.year, parts.month, parts.day);
  if (!days || !ValidTime(parts.hour, parts.minute, parts.second)) return undated.NextUndatedDate();
  // The offsets move the time of day, possibly into the day before or after.
  const long seconds =
      parts.hour * 3600 + parts.minute * 60 + parts.second + (parts.localShift - parts.zoneHours) * 3600;
  return static_cast<double>(*days) + static_cast<double>(seconds) / kSecondsPerDay;
}

}  // namespace formats
