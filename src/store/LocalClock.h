// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// The local-time forms the data files use: the day number of a moment, the packed
// date-time that seeds the recovery numbers, and the date stamps in backup file names.
namespace store {

// The moment as days since 1899-12-30 00:00 local time, the fraction being the time of day.
double LocalDayNumber(std::time_t moment);

// The moment in the 32-bit packed file date-time form: seconds / 2 in bits 0-4, minutes in
// 5-10, hours in 11-15, day in 16-20, month in 21-24 and years since 1980 in 25-31. Years
// outside 1980..2107 are clamped to that range.
uint32_t PackedFileDateTime(std::time_t moment);

// "yyyymmdd" of the moment's local date.
std::string LocalDateStamp(std::time_t moment);

// "yyyymmdd-hhmmss" of the moment in local time.
std::string LocalDateTimeStamp(std::time_t moment);

}  // namespace store
