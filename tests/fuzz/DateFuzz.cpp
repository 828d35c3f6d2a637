// SPDX-License-Identifier: MIT
// Reads arbitrary text as a feed date in both families; the first byte picks the local
// zone, in quarter hours, so offsets on either side of UTC and off the hour are covered.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/feeds/FeedDate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const formats::ZoneRules zone = formats::ZoneRules::Fixed((static_cast<int>(data[0] % 97) - 48) * 15);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  formats::UndatedDates undated(46000.5);
  (void)formats::ParseFeedDate(text, true, zone, undated);
  (void)formats::ParseFeedDate(text, false, zone, undated);
  return 0;
}
