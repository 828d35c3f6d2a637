// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "text/Compare.h"

namespace store {

// The item states recorded in the journal of a run that ended abnormally, by journal key.
// Keys are compared without regard to letter case (text::CompareTextJ), so an item whose
// title changed only in case still gets its state back.
class ReplayMap {
 public:
  // Records the state of a key; a later record of the same key wins.
  void Set(std::string key, uint8_t state);

  std::optional<uint8_t> Find(std::string_view key) const;

  // Removes the key's entry and returns its state; nothing when the key is absent.
  std::optional<uint8_t> Take(std::string_view key);

  size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

 private:
  struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return text::CompareTextJ(a, b) < 0; }
  };
  std::map<std::string, uint8_t, CaseInsensitiveLess> entries_;
};

}  // namespace store
