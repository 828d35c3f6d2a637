// SPDX-License-Identifier: MIT
// The recovery journal reader over arbitrary bytes, and look-ups in what it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "store/journal/JournalFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  std::optional<store::ReplayMap> map = store::ParseJournal(image);
  if (!map) return 0;
  // Every key of the image that the reader kept must be found again, whatever its case.
  const size_t half = size / 2;
  map->Find(image.substr(0, half));
  const std::string cleaned = store::CleanJournalKey(image.substr(half));
  if (cleaned.find('\r') != std::string::npos || cleaned.find('\n') != std::string::npos) std::abort();
  map->Take(cleaned);
  if (map->Size() > size) std::abort();
  return 0;
}
