// SPDX-License-Identifier: MIT
#include "store/LocalClock.h"

#include <chrono>
#include <cstdio>

namespace store {
namespace {

std::tm LocalParts(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  return local;
}

}  // namespace

double LocalDayNumber(std::time_t moment) {
  const std::tm local = LocalParts(moment);
  using namespace std::chrono;
  const year_month_day date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                            day{static_cast<unsigned>(local.tm_mday)}};
  constexpr year_month_day kEpoch{year{1899}, month{12}, day{30}};
  const double days = static_cast<double>((sys_days{date} - sys_days{kEpoch}).count());
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return days + static_cast<double>(seconds) / 86400.0;
}

uint32_t PackedFileDateTime(std::time_t moment) {
  const std::tm local = LocalParts(moment);
  int years = local.tm_year + 1900 - 1980;
  if (years < 0) years = 0;
  if (years > 127) years = 127;
  const auto part = [](int value) { return static_cast<uint32_t>(value); };
  return part(years) << 25 | part(local.tm_mon + 1) << 21 | part(local.tm_mday) << 16 | part(local.tm_hour) << 11 |
         part(local.tm_min) << 5 | part(local.tm_sec / 2);
}

std::string LocalDateStamp(std::time_t moment) {
  const std::tm local = LocalParts(moment);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return text;
}

std::string LocalDateTimeStamp(std::time_t moment) {
  const std::tm local = LocalParts(moment);
  char text[48];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace store
