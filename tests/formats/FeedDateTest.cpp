// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <tuple>

#include "formats/feeds/FeedDate.h"

namespace formats {
namespace {

struct Moment {
  int year, month, day, hour, minute, second;
};

// Sets the machine's zone for the life of the object and puts the previous one back.
class ScopedZone {
 public:
  explicit ScopedZone(const char* tz) {
    const char* saved = std::getenv("TZ");
    if (saved != nullptr) saved_ = saved;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~ScopedZone() {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedZone(const ScopedZone&) = delete;
  ScopedZone& operator=(const ScopedZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

// The date-time of a moment moved by some minutes, worked out with the calendar of
// <chrono> rather than with the code under test.
double Shifted(const Moment& m, int minutes) {
  using namespace std::chrono;
  const sys_days day = year_month_day{year{m.year}, month{static_cast<unsigned>(m.month)},
                                      std::chrono::day{static_cast<unsigned>(m.day)}};
  const sys_seconds moment = day + hours{m.hour} + std::chrono::minutes{m.minute + minutes} + seconds{m.second};
  const sys_days shiftedDay = floor<days>(moment);
  const year_month_day date{shiftedDay};
  const hh_mm_ss time{moment - shiftedDay};
  return EncodeDateTime(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                        static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
                        static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()))
      .value();
}

constexpr double kProcessed = 46000.5;  // the moment the document is processed

enum class Clock { kUtc, kLocal };  // what the expected moment is given in

struct DateCase {
  const char* name;
  const char* text;
  bool rfc822;
  std::optional<Moment> expected;  // none: a synthetic date
  Clock clock = Clock::kUtc;       // kLocal: a wall-clock time that no zone moves
};

struct MachineZone {
  const char* tz;
  int minutes;  // its offset from UTC, the same all year
};

class ParseFeedDateCase : public testing::TestWithParam<std::tuple<DateCase, MachineZone>> {};

TEST_P(ParseFeedDateCase, Reads) {
  const auto& [c, machine] = GetParam();
  const ScopedZone zone(machine.tz);
  UndatedDates undated(kProcessed);
  const double date = ParseFeedDate(c.text, c.rfc822, ZoneRules::Machine(), undated);
  if (c.expected) {
    EXPECT_EQ(date, Shifted(*c.expected, c.clock == Clock::kUtc ? machine.minutes : 0));
    EXPECT_EQ(undated.UndatedStep, 0) << "no synthetic date was used";
  } else {
    EXPECT_EQ(date, kProcessed);
    EXPECT_EQ(undated.UndatedStep, UndatedDates::kStep);
  }
}

// A named zone or an offset of 8:30 UTC on 10 March 2015 in several writings.
constexpr Moment kMarch10(int hour, int minute, int day = 10) {
  return Moment{2015, 3, day, hour, minute, 0};
}

const DateCase kDateCases[] = {
    // RFC 822 and its relatives.
    {"Rfc822WithOffset", "Sun, 08 Dec 2026 10:00:00 +0900", true, Moment{2026, 12, 8, 1, 0, 0}},
    {"Rfc822Gmt", "Sun, 08 Dec 2026 01:00:00 GMT", true, Moment{2026, 12, 8, 1, 0, 0}},
    {"Rfc822JstIsNineHoursEast", "Sun, 8 Dec 26 10:00:00 JST", true, Moment{2026, 12, 8, 1, 0, 0}},
    {"Rfc822OneDigitDayNegativeOffset", "Mon, 1 Jan 2007 00:00:00 -0500", true, Moment{2007, 1, 1, 5, 0, 0}},
    {"Rfc822WithoutZoneIsLocal", "Sun, 08 Dec 2026 10:00", true, Moment{2026, 12, 8, 10, 0, 0}, Clock::kLocal},
    {"Rfc822NumericMonth", "Sun, 08 12  2026 10:00:00 +0900", true, Moment{2026, 12, 8, 1, 0, 0}},
    {"Rfc822BadMonth", "Sun, 08 Foo 2026 10:00:00 +0900", true, std::nullopt},
    {"Rfc822CommaAtTheEnd", "Sun,", true, std::nullopt},
    {"Rfc822OffsetBeyondADay", "Sun, 08 Dec 2026 10:00:00 +2500", true, std::nullopt},
    {"Est", "Tue, 10 Mar 2015 08:30:00 EST", true, kMarch10(13, 30)},
    {"Edt", "Tue, 10 Mar 2015 08:30:00 EDT", true, kMarch10(12, 30)},
    {"Cdt", "Tue, 10 Mar 2015 08:30:00 cdt", true, kMarch10(13, 30)},
    {"Mst", "Tue, 10 Mar 2015 08:30:00 MST", true, kMarch10(15, 30)},
    {"Pst", "Tue, 10 Mar 2015 08:30:00 PST", true, kMarch10(16, 30)},
    {"Ut", "Tue, 10 Mar 2015 08:30:00 UT", true, kMarch10(8, 30)},
    {"MilitaryLetterIsUtc", "Tue, 10 Mar 2015 08:30:00 A", true, kMarch10(8, 30)},
    {"Cest", "Tue, 10 Mar 2015 08:30:00 CEST", true, kMarch10(6, 30)},
    {"Bst", "Tue, 10 Mar 2015 08:30:00 BST", true, kMarch10(7, 30)},
    {"Kst", "Tue, 10 Mar 2015 08:30:00 KST", true, kMarch10(23, 30, 9)},
    {"Aedt", "Tue, 10 Mar 2015 08:30:00 AEDT", true, kMarch10(21, 30, 9)},
    {"Hkt", "Tue, 10 Mar 2015 08:30:00 HKT", true, kMarch10(0, 30)},
    {"UnknownNameIsUtc", "Tue, 10 Mar 2015 08:30:00 XYZ", true, kMarch10(8, 30)},
    {"OffsetWithMinutes", "Tue, 10 Mar 2015 08:30:00 +0530", true, kMarch10(3, 0)},
    {"NegativeOffsetWithMinutes", "Tue, 10 Mar 2015 08:30:00 -0330", true, kMarch10(12, 0)},
    {"OffsetWithColon", "Tue, 10 Mar 2015 08:30:00 +05:45", true, kMarch10(2, 45)},
    {"OffsetWinsOverComment", "Tue, 10 Mar 2015 08:30:00 -0800 (PST)", true, kMarch10(16, 30)},
    {"WithoutDayName", "14 Feb 2011 09:00:00 GMT", true, Moment{2011, 2, 14, 9, 0, 0}},
    {"FullMonthName", "3 October 2018 22:10:00 +0000", true, Moment{2018, 10, 3, 22, 10, 0}},
    {"NoSpaceAfterComma", "Sat,02 Mar 2024 07:05:09 -0000", true, Moment{2024, 3, 2, 7, 5, 9}},
    {"TwoDigitYearOfLastCentury", "Sat, 02 Jun 91 07:05 GMT", true, Moment{1991, 6, 2, 7, 5, 0}},
    {"TwoDigitYearOfThisCentury", "Sun, 02 Jun 24 07:05:00 GMT", true, Moment{2024, 6, 2, 7, 5, 0}},
    {"GmtWithOffset", "Sat, 02 Mar 2024 07:05:09 GMT+09:00", true, Moment{2024, 3, 1, 22, 5, 9}},
    {"Utc", "Sat, 02 Mar 2024 07:05:09 UTC", true, Moment{2024, 3, 2, 7, 5, 9}},
    {"ScriptDate", "Wed Mar 06 2013 11:22:33 +0100", true, Moment{2013, 3, 6, 10, 22, 33}},
    {"ScriptDateWithNames", "Wed Mar 06 2013 11:22:33 GMT+0100 (CET)", true, Moment{2013, 3, 6, 10, 22, 33}},
    {"AsctimeWithOffset", "Mon Apr 01 09:08:07 +0000 2013", true, Moment{2013, 4, 1, 9, 8, 7}},
    {"IsoInPubDate", "2012-05-06 07:08:09 +02:00", true, Moment{2012, 5, 6, 5, 8, 9}},
    // W3C-DTF / ISO 8601.
    {"IsoUtc", "2026-12-08T01:00:00Z", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"IsoWithOffset", "2026-12-08T10:00:00+09:00", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"IsoOffsetMinutes", "2026-12-08T10:00:00+09:30", false, Moment{2026, 12, 8, 0, 30, 0}},
    {"IsoIntoThePreviousDay", "2026-12-08T03:00:00-05:00", false, Moment{2026, 12, 8, 8, 0, 0}},
    {"IsoFractionOfASecond", "2026-12-08T01:00:00.123Z", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"IsoLongFraction", "2011-11-11T11:11:11.5678Z", false, Moment{2011, 11, 11, 11, 11, 11}},
    {"IsoWithSpace", "2012-05-06 07:08:09 +02:00", false, Moment{2012, 5, 6, 5, 8, 9}},
    {"IsoYear", "2009", false, Moment{2009, 1, 1, 0, 0, 0}},
    {"IsoYearMonth", "2009-04", false, Moment{2009, 4, 1, 0, 0, 0}},
    {"IsoDateIsUtcMidnight", "2009-04-15", false, Moment{2009, 4, 15, 0, 0, 0}},
    {"IsoWithoutZoneIsLocal", "2026-12-08T10:00:00", false, Moment{2026, 12, 8, 10, 0, 0}, Clock::kLocal},
    {"IsoJst", "2026-12-08T10:00:00 jst", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"IsoHour24IsTheNextMidnight", "2026-12-08T24:00:00", false, Moment{2026, 12, 9, 0, 0, 0}, Clock::kLocal},
    {"IsoHour24WithZone", "2026-12-31T24:00:00Z", false, Moment{2027, 1, 1, 0, 0, 0}},
    {"IsoHour24AndAMinute", "2026-12-08T24:01:00Z", false, std::nullopt},
    {"IsoBadMonth", "2026-13-01T00:00:00Z", false, std::nullopt},
    {"IsoBadHour", "2026-12-08T25:00:00", false, std::nullopt},
    {"IsoFebruary29OfACommonYear", "2026-02-29", false, std::nullopt},
    {"IsoOneDigitMonth", "2026-1-08", false, Moment{2026, 1, 8, 0, 0, 0}},
    {"IsoWithoutSeconds", "2026-12-08T10:00+09:00", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"IsoTrailingText", "2026-12-08T10:00:00Z and more", false, std::nullopt},
    {"RfcInDcDate", "Sun, 08 Dec 2026 01:00:00 GMT", false, Moment{2026, 12, 8, 1, 0, 0}},
    {"Empty", "", false, std::nullopt},
    {"EmptyRfc822", "", true, std::nullopt},
    {"Garbage", "::::", false, std::nullopt},
    {"Words", "no date", true, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(FeedDate, ParseFeedDateCase,
                         testing::Combine(testing::ValuesIn(kDateCases),
                                          testing::Values(MachineZone{"UTC", 0}, MachineZone{"Asia/Tokyo", 540},
                                                          MachineZone{"Asia/Kolkata", 330})),
                         [](const auto& info) {
                           std::string zone = std::get<1>(info.param).tz;
                           zone.erase(0, zone.find('/') + 1);
                           return std::string(std::get<0>(info.param).name) + "_" + zone;
                         });

TEST(FeedDate, UndatedItemsGetStrictlyDecreasingDates) {
  UndatedDates undated(kProcessed);
  const ZoneRules zone = ZoneRules::Fixed(540);
  const double first = ParseFeedDate("", false, zone, undated);
  const double second = ParseFeedDate("no date", true, zone, undated);
  EXPECT_EQ(first, kProcessed);
  EXPECT_EQ(second, kProcessed - 1e-9);
  EXPECT_GT(first, second);
  EXPECT_EQ(undated.NextUndatedDate(), kProcessed - 2e-9);

  undated.Reset(kProcessed + 1);
  EXPECT_EQ(undated.NextUndatedDate(), kProcessed + 1);
}

// The machine's offset keeps its minutes and is that of the instant asked about.
TEST(FeedDate, MachineZoneFollowsTheSystemZone) {
  constexpr int64_t kWinter = 1'421'323'200;  // 2015-01-15 12:00 UTC
  constexpr int64_t kSummer = 1'435'752'000;  // 2015-07-01 12:00 UTC
  const std::tuple<const char*, int, int> cases[] = {{"JST-9", 540, 540},
                                                     {"UTC0", 0, 0},
                                                     {"EST5", -300, -300},
                                                     {"IST-5:30", 330, 330},
                                                     {"Asia/Kathmandu", 345, 345},
                                                     {"America/New_York", -300, -240},
                                                     {"Australia/Adelaide", 630, 570}};
  for (const auto& [tz, winter, summer] : cases) {
    const ScopedZone zone(tz);
    EXPECT_EQ(ZoneRules::Machine().OffsetMinutesAt(kWinter), winter) << tz;
    EXPECT_EQ(ZoneRules::Machine().OffsetMinutesAt(kSummer), summer) << tz;
  }
}

// Dates of summer and of winter each move by the offset in force on their own day.
TEST(FeedDate, DaylightSavingOfTheDatesOwnDay) {
  const ScopedZone zone("America/New_York");
  UndatedDates undated(kProcessed);
  EXPECT_EQ(ParseFeedDate("2015-07-01T12:00:00Z", false, ZoneRules::Machine(), undated),
            EncodeDateTime(2015, 7, 1, 8, 0, 0).value());
  EXPECT_EQ(ParseFeedDate("Thu, 15 Jan 2015 12:00:00 GMT", true, ZoneRules::Machine(), undated),
            EncodeDateTime(2015, 1, 15, 7, 0, 0).value());
  // Local times are not moved, whatever the season.
  EXPECT_EQ(ParseFeedDate("2015-07-01T12:00:00", false, ZoneRules::Machine(), undated),
            EncodeDateTime(2015, 7, 1, 12, 0, 0).value());
}

TEST(FeedDate, FixedZoneIgnoresTheMachine) {
  const ScopedZone zone("America/New_York");
  UndatedDates undated(kProcessed);
  EXPECT_EQ(ParseFeedDate("2015-07-01T12:00:00Z", false, ZoneRules::Fixed(-210), undated),
            EncodeDateTime(2015, 7, 1, 8, 30, 0).value());
  EXPECT_EQ(ParseFeedDate("Wed, 01 Jul 2015 12:00:00 GMT", true, ZoneRules::Fixed(330), undated),
            EncodeDateTime(2015, 7, 1, 17, 30, 0).value());
}

TEST(FeedDate, EncodeDateTime) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeDateTime(1900, 1, 1, 0, 0, 0), 2.0);
  EXPECT_EQ(EncodeDateTime(2026, 12, 8, 18, 0, 0), 46364.75);
  EXPECT_EQ(EncodeDateTime(2024, 2, 29, 0, 0, 0, 500), 45351 + 0.5 / 86400);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 12, 0, 0), -0.5);
  for (const Moment& bad : {Moment{2026, 2, 29, 0, 0, 0}, Moment{2026, 4, 31, 0, 0, 0}, Moment{0, 1, 1, 0, 0, 0},
                            Moment{10000, 1, 1, 0, 0, 0}, Moment{2026, 0, 1, 0, 0, 0}, Moment{2026, 1, 1, 24, 0, 0},
                            Moment{2026, 1, 1, 0, 60, 0}, Moment{2026, 1, 1, 0, 0, 60}, Moment{2026, 1, 1, -1, 0, 0}}) {
    EXPECT_FALSE(EncodeDateTime(bad.year, bad.month, bad.day, bad.hour, bad.minute, bad.second)) << bad.year;
  }
  EXPECT_FALSE(EncodeDateTime(2026, 1, 1, 0, 0, 0, 1000));
}

}  // namespace
}  // namespace formats
