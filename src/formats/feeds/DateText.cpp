// SPDX-License-Identifier: MIT
#include "formats/feeds/private/DateText.h"

#include <array>
#include <string>

namespace formats {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {"january",   "february", "march",    "april",
                                                          "may",       "june",     "july",     "august",
                                                          "september", "october",  "november", "december"};
constexpr std::array<std::string_view, 7> kDayNames = {"monday", "tuesday",  "wednesday", "thursday",
                                                       "friday", "saturday", "sunday"};

struct ZoneName {
  std::string_view name;
  int minutes;
};

// RFC 822's own names first, then abbreviations common in feeds. Ambiguous ones (IST,
// AST in Arabia) are left out and so count as UTC, like any other name not known.
constexpr ZoneName kZoneNames[] = {
    {"ut", 0},     {"gmt", 0},     {"utc", 0},     {"z", 0},      {"est", -300}, {"edt", -240}, {"cst", -360},
    {"cdt", -300}, {"mst", -420},  {"mdt", -360},  {"pst", -480}, {"pdt", -420}, {"jst", 540},  {"kst", 540},
    {"hkt", 480},  {"sgt", 480},   {"pht", 480},   {"awst", 480}, {"ict", 420},  {"wib", 420},  {"acst", 570},
    {"acdt", 630}, {"aest", 600},  {"aedt", 660},  {"nzst", 720}, {"nzdt", 780}, {"wet", 0},    {"west", 60},
    {"bst", 60},   {"cet", 60},    {"cest", 120},  {"met", 60},   {"mest", 120}, {"eet", 120},  {"eest", 180},
    {"msk", 180},  {"akst", -540}, {"akdt", -480}, {"hst", -600}, {"ast", -240}, {"adt", -180}, {"nst", -210},
    {"ndt", -150},
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return lower;
}

// A word names an entry when it is at least three letters long and begins the entry's
// full name: "Dec", "Sept" and "October", "Tue" and "Thurs".
template <size_t N>
int NameIndex(std::string_view word, const std::array<std::string_view, N>& names) {
  if (word.size() < 3) return -1;
  const std::string lower = Lower(word);
  for (size_t i = 0; i < N; ++i) {
    if (names[i].substr(0, lower.size()) == lower) return static_cast<int>(i);
  }
  return -1;
}

// A position in the text being read.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  void Skip(size_t count = 1) { pos_ += count; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  void SkipSpaces() {
    while (Peek() == ' ' || Peek() == '\t') ++pos_;
  }

  // A run of digits, its length in `width` when asked; none without a digit.
  std::optional<int> Number(size_t* width = nullptr) {
    const size_t start = pos_;
    long value = 0;
    while (IsDigit(Peek())) {
      if (value < 100'000'000) value = value * 10 + (Peek() - '0');
      ++pos_;
    }
    if (width != nullptr) *width = pos_ - start;
    return pos_ > start ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
  }

  std::string_view Word() {
    const size_t start = pos_;
    while (IsLetter(Peek())) ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// "hh:mm", "hh:mm:ss" and either with a fraction of a second, which is dropped.
bool ReadTime(Cursor& in, DateText& date) {
  const std::optional<int> hour = in.Number();
  if (!hour || !in.Take(':')) return false;
  const std::optional<int> minute = in.Number();
  if (!minute) return false;
  date.hour = *hour;
  date.minute = *minute;
  if (in.Take(':')) {
    const std::optional<int> second = in.Number();
    if (!second) return false;
    date.second = *second;
    if ((in.Peek() == '.' || in.Peek() == ',') && IsDigit(in.Peek(1))) {
      in.Skip();
      in.Number();
    }
  }
  return true;
}

// A numeric offset after its sign: "+0900", "+09:00", "+09", "-330" (h mm).
std::optional<int> ReadOffset(Cursor& in) {
  const int sign = in.Peek() == '-' ? -1 : 1;
  in.Skip();
  size_t width = 0;
  const std::optional<int> first = in.Number(&width);
  if (!first) return std::nullopt;
  int hours = *first;
  int minutes = 0;
  if (width > 2) {
    if (width > 4) return std::nullopt;
    hours = *first / 100;
    minutes = *first % 100;
  } else if (in.Peek() == ':' && IsDigit(in.Peek(1))) {
    in.Skip();
    minutes = in.Number().value_or(0);
  }
  if (hours > 23 || minutes > 59) return std::nullopt;
  return sign * (hours * 60 + minutes);
}

// The zone after a W3C time: "Z", an offset, or a name ("JST"); none at the end.
bool ReadIsoZone(Cursor& in, DateText& date) {
  in.SkipSpaces();
  if (in.AtEnd()) return true;
  if (in.Peek() == '+' || in.Peek() == '-') {
    date.zoneMinutes = ReadOffset(in);
    return date.zoneMinutes.has_value();
  }
  const std::string_view name = in.Word();
  if (name.empty()) return false;
  date.zoneMinutes = ZoneNameMinutes(name).value_or(0);
  return true;
}

// "YYYY[-MM[-DD[(T|space)hh:mm[:ss[.f]][zone]]]]". A date without a time is a period
// that begins at midnight UTC; a time without a zone is local.
std::optional<DateText> ReadIso(std::string_view text) {
  Cursor in(text);
  DateText date;
  size_t width = 0;
  const std::optional<int> year = in.Number(&width);
  if (!year || width != 4) return std::nullopt;
  date.year = *year;
  date.month = date.day = 1;
  date.zoneMinutes = 0;
  if (in.AtEnd()) return date;
  if (!in.Take('-')) return std::nullopt;
  const std::optional<int> month = in.Number(&width);
  if (!month || width > 2) return std::nullopt;
  date.month = *month;
  if (in.AtEnd()) return date;
  if (!in.Take('-')) return std::nullopt;
  const std::optional<int> day = in.Number(&width);
  if (!day || width > 2) return std::nullopt;
  date.day = *day;
  if (in.AtEnd()) return date;
  if (in.Peek() != 'T' && in.Peek() != 't' && in.Peek() != ' ') return std::nullopt;
  in.Skip();
  in.SkipSpaces();
  date.zoneMinutes.reset();
  if (!ReadTime(in, date) || !ReadIsoZone(in, date) || !in.AtEnd()) return std::nullopt;
  return date;
}

// The free-order reading of RFC 822 and its relatives, gathering the pieces as they come.
struct Pieces {
  DateText date;
  bool haveDay = false, haveMonth = false, haveYear = false, haveTime = false;
  std::optional<int> offset, named;  // a numeric offset and a zone name

  // A number that is not a time: a year when it is long or large, else the day, then a
  // numeric month, then a short year.
  bool Number(int value, size_t width) {
    if ((width >= 3 || value > 31) && !haveYear) return Year(value, width);
    if (!haveDay) {
      date.day = value;
      return haveDay = true;
    }
    if (!haveMonth) {
      date.month = value;
      return haveMonth = true;
    }
    return !haveYear && Year(value, width);
  }

  // Two digits are a year of 2000–2049 or 1950–1999, three digits count from 1900 (RFC 2822).
  bool Year(int value, size_t width) {
    if (width <= 2) value += value < 50 ? 2000 : 1900;
    if (width == 3) value += 1900;
    date.year = value;
    return haveYear = true;
  }

  // A word: a day name (ignored), a month, or a zone name; an unknown name after the
  // time is a zone that counts as UTC.
  bool Word(std::string_view word) {
    if (NameIndex(word, kDayNames) >= 0 && !haveTime) return true;
    const int month = NameIndex(word, kMonthNames);
    if (month >= 0 && !haveMonth) {
      date.month = month + 1;
      return haveMonth = true;
    }
    if (named) return false;
    const std::optional<int> minutes = ZoneNameMinutes(word);
    if (!minutes && !haveTime) return false;
    named = minutes.value_or(0);
    return true;
  }
};

// Reads one piece at the cursor into `pieces`; false when the piece cannot belong to a date.
bool ReadPiece(Cursor& in, Pieces& pieces) {
  const char c = in.Peek();
  if (c == ' ' || c == '\t' || c == ',' || c == '.' || c == '\r' || c == '\n') {
    in.Skip();
    return true;
  }
  if (c == '(') {  // a comment, such as "(PST)" after an offset
    while (!in.AtEnd() && !in.Take(')')) in.Skip();
    return true;
  }
  if ((c == '+' || c == '-') && IsDigit(in.Peek(1))) {
    // Before the time a sign only separates ("08-Dec-2026"); after it, it is an offset.
    if (!pieces.haveTime) {
      in.Skip();
      return true;
    }
    if (pieces.offset) return false;
    pieces.offset = ReadOffset(in);
    return pieces.offset.has_value();
  }
  if (c == '-' || c == '/') {
    in.Skip();
    return true;
  }
  if (IsLetter(c)) {
    const std::string_view word = in.Word();
    const bool glued = in.Peek() == '+' || in.Peek() == '-';  // "GMT+09:00"
    if (!pieces.Word(word)) return false;
    if (glued && pieces.named && IsDigit(in.Peek(1)) && !pieces.offset) {
      const std::optional<int> offset = ReadOffset(in);
      if (!offset) return false;
      pieces.offset = *pieces.named + *offset;
    }
    return true;
  }
  if (!IsDigit(c)) return false;
  size_t width = 0;
  for (size_t ahead = 0; IsDigit(in.Peek(ahead)); ++ahead) width = ahead + 1;
  if (in.Peek(width) == ':') {
    if (pieces.haveTime) return false;
    pieces.haveTime = true;
    return ReadTime(in, pieces.date);
  }
  return pieces.Number(in.Number().value_or(0), width);
}

std::optional<DateText> ReadTextual(std::string_view text) {
  Cursor in(text);
  Pieces pieces;
  while (!in.AtEnd()) {
    if (!ReadPiece(in, pieces)) return std::nullopt;
  }
  if (!pieces.haveDay || !pieces.haveMonth || !pieces.haveYear) return std::nullopt;
  DateText date = pieces.date;
  // A numeric offset wins over a name beside it ("-0800 (PST)", "+0900 JST").
  date.zoneMinutes = pieces.offset ? pieces.offset : pieces.named;
  return date;
}

// A W3C date begins with a four-digit year and a dash, or is a year alone.
bool LooksIso(std::string_view text) {
  for (size_t i = 0; i < 4; ++i) {
    if (i >= text.size() || !IsDigit(text[i])) return false;
  }
  return text.size() == 4 || text[4] == '-';
}

std::string_view Trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<int> ZoneNameMinutes(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower.size() == 1 && lower != "j") return 0;  // the military letters
  for (const ZoneName& zone : kZoneNames) {
    if (zone.name == lower) return zone.minutes;
  }
  return std::nullopt;
}

std::optional<DateText> ReadDateText(std::string_view text, bool rfc822) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  // The families cannot be mistaken for each other: a textual date never begins with a
  // four-digit year and a dash. The order only saves a failed attempt.
  if (!rfc822 || LooksIso(text)) {
    if (std::optional<DateText> date = ReadIso(text)) return date;
  }
  if (LooksIso(text)) return std::nullopt;
  return ReadTextual(text);
}

}  // namespace formats
