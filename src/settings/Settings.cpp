// SPDX-License-Identifier: MIT
#include "settings/Settings.h"

#include <algorithm>

namespace settings {

std::array<std::string, kHistoryMax> DefaultAddressHistory() {
  std::array<std::string, kHistoryMax> history;
  history[0] = "https://www.google.co.jp/";
  history[1] = "https://www.yahoo.co.jp/";
  history[2] = "https://b.hatena.ne.jp/";
  return history;
}

int32_t DosPackedDateTime(int year, int month, int day, int hour, int minute, int second) {
  uint32_t packed =
      static_cast<uint32_t>(std::clamp(year - 1980, 0, 127)) << 25 |
      static_cast<uint32_t>(std::clamp(month, 1, 12)) << 21 | static_cast<uint32_t>(std::clamp(day, 1, 31)) << 16 |
      static_cast<uint32_t>(std::clamp(hour, 0, 23)) << 11 | static_cast<uint32_t>(std::clamp(minute, 0, 59)) << 5 |
      static_cast<uint32_t>(std::clamp(second, 0, 59) / 2);
  // The file holds the 32 bits as a signed decimal number, so dates from 2044 on are
  // negative there.
  return static_cast<int32_t>(packed);
}

Settings DefaultSettings(int32_t nowDosDateTime) {
  Settings settings;
  settings.MhtSaveRun = nowDosDateTime;
  return settings;
}

}  // namespace settings
