// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace store {

class TSiteList;

// The states an item can be in; `read` holds one of them.
inline constexpr uint8_t kStateUnread = 0;     // 未読
inline constexpr uint8_t kStateRead = 1;       // 既読
inline constexpr uint8_t kStateProtected = 2;  // 保護: never pruned, only the user deletes it

// One item of a channel, and also a channel's own header (`TSiteList::Site`), where only
// the channel-level fields are used. The field names are the keys of the data file;
// `ListIndex`, `Owner` and `StatusEntry` live in memory only. Date-times are days since
// 1899-12-30 in local time.
struct TSiteRecord {
  std::string rdfurl;    // channel header only: the feed address
  std::string imgurl;    // channel header only: the feed image's address
  std::string imgtitle;  // channel header only: the feed image's title
  std::string imglink;   // channel header only: the feed image's link
  std::string title;
  std::string desc;     // the description as text
  std::string de_cd;    // the description in its CDATA or markup form
  std::string encoded;  // the full content as text
  std::string en_cd;    // the full content in its CDATA or markup form
  std::string link;
  double modified = 0;  // the item's date; used for sorting, age rules and display
  std::string creator;
  std::string category;
  std::string pubdate;  // the date text of the feed; empty when the feed gave none
  std::string xmlbase;
  std::string commurl;
  uint16_t commnum = 0;
  std::string enclose;
  uint8_t read = kStateUnread;
  int32_t ListIndex = 0;  // running number of the headline list, its last sort tie-break
  std::string mht;        // file name of the saved web archive in system/mhtml; empty = none
  // The channel the item belongs to, set when a list adds it. An error log entry points at
  // the failing channel's list while it lives in the error log's own list.
  TSiteList* Owner = nullptr;
  uint8_t StatusEntry = 0;  // 1 only for error log entries
};

}  // namespace store
