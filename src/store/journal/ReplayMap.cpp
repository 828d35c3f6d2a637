// SPDX-License-Identifier: MIT
#include "store/journal/ReplayMap.h"

namespace store {

void ReplayMap::Set(std::string key, uint8_t state) {
  auto found = entries_.find(std::string_view(key));
  if (found != entries_.end()) {
    found->second = state;
  } else {
    entries_.emplace(std::move(key), state);
  }
}

std::optional<uint8_t> ReplayMap::Find(std::string_view key) const {
  auto found = entries_.find(key);
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

std::optional<uint8_t> ReplayMap::Take(std::string_view key) {
  auto found = entries_.find(key);
  if (found == entries_.end()) return std::nullopt;
  const uint8_t state = found->second;
  entries_.erase(found);
  return state;
}

}  // namespace store
