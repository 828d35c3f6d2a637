// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "formats/feeds/FeedDate.h"

namespace formats {
namespace {

struct Moment {
  int year, month, day, hour, minute, second;
};

struct DateCase {
  const char* name;
  const char* text;
  bool rfc822;
  int zone;                        // the machine's offset from UTC, in hours
  std::optional<Moment> expected;  // none: a synthetic date
};

class ParseFeedDateCase : public testing::TestWithParam<DateCase> {};

constexpr double kProcessed = 46000.5;  // the moment the document is processed

TEST_P(ParseFeedDateCase, Reads) {
  const DateCase& c = GetParam();
  UndatedDates undated(kProcessed);
  const double date = ParseFeedDate(c.text, c.rfc822, c.zone, undated);
  if (c.expected) {
    const Moment& m = *c.expected;
    EXPECT_EQ(date, EncodeDateTime(m.year, m.month, m.day, m.hour, m.minute, m.second).value());
    EXPECT_EQ(undated.UndatedStep, 0) << "no synthetic date was used";
  } else {
    EXPECT_EQ(date, kProcessed);
    EXPECT_EQ(undated.UndatedStep, UndatedDates::kStep);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FeedDate, ParseFeedDateCase,
    testing::Values(
        DateCase{"Rfc822WithOffset", "Sun, 08 Dec 2026 10:00:00 +0900", true, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822Gmt", "Sun, 08 Dec 2026 01:00:00 GMT", true, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822JstIsLocal", "Sun, 8 Dec 26 10:00:00 JST", true, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822JstIsLocalAnywhere", "Sun, 8 Dec 26 10:00:00 JST", true, -5, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822WithoutDayNameUnreadable", "08 Dec 2026 10:00:00 +0900", true, 9, std::nullopt},
        DateCase{"Rfc822OneDigitDayNegativeOffset", "Mon, 1 Jan 2007 00:00:00 -0500", true, 9,
                 Moment{2007, 1, 1, 14, 0, 0}},
        DateCase{"Rfc822ShortIsLocal", "Sun, 08 Dec 2026 10:00", true, 0, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822AtUtcPlus5", "Sun, 08 Dec 2026 10:00:00 +0900", true, 5, Moment{2026, 12, 8, 6, 0, 0}},
        DateCase{"Rfc822BadMonth", "Sun, 08 Foo 2026 10:00:00 +0900", true, 9, std::nullopt},
        DateCase{"Rfc822NumericMonth", "Sun, 08 12  2026 10:00:00 +0900", true, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"Rfc822CommaAtTheEnd", "Sun,", true, 9, std::nullopt},
        DateCase{"IsoUtc", "2026-12-08T01:00:00Z", false, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoWithOffset", "2026-12-08T10:00:00+09:00", false, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoOffsetMinutesIgnored", "2026-12-08T10:00:00+09:30", false, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoAtUtc", "2026-12-08T10:00:00+09:00", false, 0, Moment{2026, 12, 8, 1, 0, 0}},
        DateCase{"IsoIntoThePreviousDay", "2026-12-08T03:00:00Z", false, -5, Moment{2026, 12, 7, 22, 0, 0}},
        DateCase{"IsoFractionOfASecond", "2026-12-08T01:00:00.123Z", false, 9, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoDateAloneIsLocal", "2026-12-08", false, 9, Moment{2026, 12, 8, 0, 0, 0}},
        DateCase{"IsoWithoutZoneIsLocal", "2026-12-08T10:00:00", false, -5, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoJstIsLocal", "2026-12-08T10:00:00 jst", false, 0, Moment{2026, 12, 8, 10, 0, 0}},
        DateCase{"IsoHour24IsMidnightOfTheSameDay", "2026-12-08T24:00:00", false, 9, Moment{2026, 12, 8, 0, 0, 0}},
        DateCase{"IsoBadMonth", "2026-13-01T00:00:00Z", false, 9, std::nullopt},
        DateCase{"IsoBadHour", "2026-12-08T25:00:00", false, 9, std::nullopt},
        DateCase{"IsoFebruary29OfACommonYear", "2026-02-29", false, 9, std::nullopt},
        // Reading goes by position: a month "1-" is read as the number its digits make, and
        // without seconds the seconds are read from the offset's hours.
        DateCase{"IsoNumberOfLeadingDigits", "2026-1-08", false, 9, Moment{2026, 1, 8, 0, 0, 0}},
        DateCase{"IsoWithoutSeconds", "2026-12-08T10:00+09:00", false, 9, Moment{2026, 12, 8, 10, 0, 9}},
        DateCase{"Empty", "", false, 9, std::nullopt}, DateCase{"EmptyRfc822", "", true, 9, std::nullopt},
        DateCase{"Garbage", "::::", false, 9, std::nullopt}),
    [](const testing::TestParamInfo<DateCase>& info) { return std::string(info.param.name); });

TEST(FeedDate, UndatedItemsGetStrictlyDecreasingDates) {
  UndatedDates undated(kProcessed);
  const double first = ParseFeedDate("", false, 9, undated);
  const double second = ParseFeedDate("no date", true, 9, undated);
  EXPECT_EQ(first, kProcessed);
  EXPECT_EQ(second, kProcessed - 1e-9);
  EXPECT_GT(first, second);
  EXPECT_EQ(undated.NextUndatedDate(), kProcessed - 2e-9);

  undated.Reset(kProcessed + 1);
  EXPECT_EQ(undated.NextUndatedDate(), kProcessed + 1);
}

TEST(FeedDate, ZoneHoursFromOffset) {
  const std::pair<long, int> cases[] = {{9 * 3600, 9},          {0, 0},          {5 * 3600 + 1800, 5}, {-5 * 3600, -5},
                                        {-3 * 3600 - 1800, -3}, {14 * 3600, 14}, {25 * 3600, 9},       {-25 * 3600, 9}};
  for (const auto& [offset, hours] : cases) EXPECT_EQ(ZoneHoursFromOffset(offset), hours) << offset;
}

TEST(FeedDate, LocalZoneHoursFollowsTheSystemZone) {
  const char* saved = std::getenv("TZ");
  const std::string savedTz = saved != nullptr ? saved : "";
  for (const auto& [tz, hours] :
       {std::pair{"JST-9", 9}, std::pair{"UTC0", 0}, std::pair{"EST5", -5}, std::pair{"IST-5:30", 5}}) {
    setenv("TZ", tz, 1);
    tzset();
    EXPECT_EQ(LocalZoneHours(), hours) << tz;
  }
  if (saved != nullptr) {
    setenv("TZ", savedTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
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
