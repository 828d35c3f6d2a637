// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "store/ChannelOptions.h"

namespace formats {

// The settings a new channel is registered with, filled by the registration dialog; an
// update run passes it empty. The options are those the channel takes as a whole.
struct TDefParamType : store::ChannelOptions {
  int32_t Present = 0;        // non-zero: the options are applied to the channel
  uint8_t OverrideTitle = 0;  // non-zero: the channel takes `title` and `link` below, not the feed's
  std::string title;
  std::string link;
};

}  // namespace formats
