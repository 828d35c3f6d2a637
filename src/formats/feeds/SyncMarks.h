// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What feed processing asks of the FTP synchronisation list: the two newest items another
// computer saw of a feed (such items arrive read here), and the record of the feed as
// this computer saw it now. The synchronisation layer implements it; processing is given
// none while synchronisation is not configured.
namespace formats {

// An item as the synchronisation list remembers it.
struct SyncTopItem {
  std::string title;
  std::string link;

  bool Empty() const { return title.empty() && link.empty(); }
  bool operator==(const SyncTopItem&) const = default;
};

// One feed of the synchronisation list, with the fields of its record.
struct SyncFeedRecord {
  double modified = 0;    // when the record was written
  std::string feedtitle;  // the channel's title
  std::string feedurl;    // the channel's link (the site)
  std::string feedrss;    // the feed address: the record's identity
  uint8_t htmlrss = 0;
  std::string regexpr;
  std::array<SyncTopItem, 2> items;  // the two newest items seen, newest first
};

class SyncMarks {
 public:
  virtual ~SyncMarks() = default;

  // True while marks are read and records written: synchronisation is configured, the
  // list was loaded in this run and has not been switched off after a failure.
  virtual bool RecordsMarks() const = 0;

  // The record whose feed address equals `address`, ignoring case.
  virtual std::optional<SyncFeedRecord> FindFeed(std::string_view address) const = 0;

  // Replaces the record of `address` (ignoring case; there may be none) by `record`, put
  // at the front of the list, and marks the list changed.
  virtual void StoreFeed(std::string_view address, const SyncFeedRecord& record) = 0;
};

}  // namespace formats
