// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace store {

// The settings of a channel that the user chooses when registering it or in the property
// panel, as opposed to what the program records about the channel by itself (the fetch
// dates, the recovery number). Every channel carries one, and a registration is made with
// one; they are always copied as a whole, so that a new setting is one more member here
// and nowhere else.
struct ChannelOptions {
  uint16_t itemmax = 0;   // keep at most this many items; 0 = the ItemMax setting
  uint16_t datemax = 0;   // drop items older than this many days; 0 = the DateMax setting
  int32_t refresh = 0;    // own update interval in minutes; 0 = the global interval
  uint8_t noread = 0;     // new items arrive already read
  uint8_t datecomp = 0;   // replace stored items whose date or content changed
  std::string keyword;    // only items matching this filter are taken from the feed
  std::string authorize;  // HTTP credentials in scrambled form; empty = none
  uint8_t htmlrss = 0;    // an HTML page turned into a feed
  std::string regexpr;    // the extraction pattern of an HTML channel
  uint8_t encflag = 0;    // hand the enclosures of new items to the media program
  uint8_t entojp = 0;     // browse the channel's pages through the translation service
  uint8_t linkop = 0;     // opening an item shows the linked page instead of the summary
  std::string clone;      // Bloglines channels: the feed's own address

  // The options part of a record that carries more (a channel, a registration record).
  ChannelOptions& Options() { return *this; }
  const ChannelOptions& Options() const { return *this; }

  bool operator==(const ChannelOptions&) const = default;
};

}  // namespace store
