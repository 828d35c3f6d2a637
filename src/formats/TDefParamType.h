// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace formats {

// The settings a new channel is registered with, filled by the registration dialog; an
// update run passes it empty. The fields mean what the channel fields of the same names
// mean.
struct TDefParamType {
  int32_t Present = 0;  // non-zero: the values below are applied to the channel
  uint16_t itemmax = 0;
  uint16_t datemax = 0;
  int32_t refresh = 0;
  uint8_t noread = 0;
  uint8_t datecomp = 0;
  std::string keyword;
  std::string authorize;  // scrambled, as the channel keeps it
  uint8_t htmlrss = 0;
  std::string regexpr;
  uint8_t encflag = 0;
  uint8_t entojp = 0;
  uint8_t linkop = 0;
  uint8_t OverrideTitle = 0;  // non-zero: the channel takes `title` and `link` below, not the feed's
  std::string title;
  std::string link;
  std::string clone;
};

}  // namespace formats
