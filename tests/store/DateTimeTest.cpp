// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

#include "store/DateTime.h"

namespace store {
namespace {

struct DayCase {
  const char* name;
  int64_t dayNumber;
  int64_t year;
  int month;
  int day;
};

class CivilDateOfDayTest : public ::testing::TestWithParam<DayCase> {};

TEST_P(CivilDateOfDayTest, GivesTheCalendarDate) {
  const DayCase& c = GetParam();
  const CivilDate date = CivilDateOfDay(c.dayNumber);
  EXPECT_EQ(std::tie(date.year, date.month, date.day), std::tie(c.year, c.month, c.day)) << c.dayNumber;
}

// Day 0 is 1899-12-30; 1900 and 2100 are no leap years, 1600 and 2000 are.
INSTANTIATE_TEST_SUITE_P(
    EdgeDays, CivilDateOfDayTest,
    ::testing::Values(DayCase{"FirstDayOfYearOne", -693593, 1, 1, 1}, DayCase{"LeapDay1600", -109512, 1600, 2, 29},
                      DayCase{"DayBeforeDayZero", -1, 1899, 12, 29}, DayCase{"DayZero", 0, 1899, 12, 30},
                      DayCase{"LastDayOf1899", 1, 1899, 12, 31}, DayCase{"FirstDayOf1900", 2, 1900, 1, 1},
                      DayCase{"LastDayOfFebruary1900", 60, 1900, 2, 28}, DayCase{"FirstDayOfMarch1900", 61, 1900, 3, 1},
                      DayCase{"UnixEpoch", 25569, 1970, 1, 1}, DayCase{"LastDayOf1999", 36525, 1999, 12, 31},
                      DayCase{"LeapDay2000", 36585, 2000, 2, 29}, DayCase{"FirstDayOfMarch2000", 36586, 2000, 3, 1},
                      DayCase{"LastDayOf2000", 36891, 2000, 12, 31},
                      DayCase{"LastDayOfFebruary2100", 73109, 2100, 2, 28},
                      DayCase{"FirstDayOfMarch2100", 73110, 2100, 3, 1},
                      DayCase{"LastDayOf9999", 2958465, 9999, 12, 31},
                      // Beyond the years of std::chrono: 100 and -100 cycles of
                      // 400 years (146 097 days each) from 2000-02-29.
                      DayCase{"LeapDayOfYear42000", 36585 + 100 * int64_t{146097}, 42000, 2, 29},
                      DayCase{"LeapDayOfYearMinus38000", 36585 - 100 * int64_t{146097}, -38000, 2, 29}),
    [](const ::testing::TestParamInfo<DayCase>& info) { return std::string(info.param.name); });

bool IsLeapYear(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Walks day by day over more than one whole 400-year cycle on either side of day 0, each
// date checked against the one before it by the leap-year rule alone.
TEST(CivilDateOfDay, EveryDayFollowsTheDayBefore) {
  CivilDate previous = CivilDateOfDay(-146097 - 1);
  for (int64_t dayNumber = -146097; dayNumber <= 2 * 146097; ++dayNumber) {
    const CivilDate date = CivilDateOfDay(dayNumber);
    CivilDate expected = previous;
    if (++expected.day > DaysInMonth(expected.year, expected.month)) {
      expected.day = 1;
      if (++expected.month > 12) {
        expected.month = 1;
        ++expected.year;
      }
    }
    ASSERT_EQ(std::tie(date.year, date.month, date.day), std::tie(expected.year, expected.month, expected.day))
        << dayNumber;
    previous = date;
  }
}

TEST(CivilDateOfDay, TheWholeRangeOfDayNumbersHasDates) {
  for (int64_t dayNumber : {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()}) {
    const CivilDate date = CivilDateOfDay(dayNumber);
    EXPECT_GE(date.month, 1);
    EXPECT_LE(date.month, 12);
    EXPECT_GE(date.day, 1);
    EXPECT_LE(date.day, DaysInMonth(date.year, date.month));
  }
}

struct DateTimeCase {
  const char* name;
  double dateTime;
  int64_t year;
  int month;
  int day;
  int hour;
  int minute;
};

class CivilDateTimeOfTest : public ::testing::TestWithParam<DateTimeCase> {};

TEST_P(CivilDateTimeOfTest, GivesDateHourAndMinute) {
  const DateTimeCase& c = GetParam();
  const CivilDateTime parts = CivilDateTimeOf(c.dateTime);
  EXPECT_EQ(std::tie(parts.date.year, parts.date.month, parts.date.day, parts.hour, parts.minute),
            std::tie(c.year, c.month, c.day, c.hour, c.minute));
}

INSTANTIATE_TEST_SUITE_P(
    Times, CivilDateTimeOfTest,
    ::testing::Values(DateTimeCase{"Midnight", 0.0, 1899, 12, 30, 0, 0}, DateTimeCase{"Noon", 1.5, 1899, 12, 31, 12, 0},
                      // Before day 0 the fraction still counts forward from midnight.
                      DateTimeCase{"NegativeFraction", -1.25, 1899, 12, 28, 18, 0},
                      DateTimeCase{"MillisecondBeforeDayZero", -1.0 / 86'400'000, 1899, 12, 29, 23, 59},
                      // 10:00 stored a rounding error short of it is 10:00.
                      DateTimeCase{"RoundedToTheMillisecond", 45657 + 10.0 / 24 - 1e-9, 2024, 12, 31, 10, 0},
                      DateTimeCase{"LastMinuteOfLeapDay", 36585 + 1439.0 / 1440, 2000, 2, 29, 23, 59}),
    [](const ::testing::TestParamInfo<DateTimeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace store
