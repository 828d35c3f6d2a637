// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// The enclosures waiting to be handed to the media program. Each text is an address,
// optionally followed by a TAB and the title of the channel it came from. The application
// owns one queue for the whole run; the merge and the page commands add to it and the
// hand-over empties it once the entries are safely in the media program's list file.
class MediaQueue {
 public:
  // Puts `text` in front of the others, so the newest comes first. Line breaks cannot
  // stand in the one-line-per-entry list file and are removed; a text left empty is not
  // queued.
  void QueueMedia(std::string text);

  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }

  // The queued texts, newest first.
  const std::deque<std::string>& Entries() const { return entries_; }

  // Hands the queued texts over, newest first, and leaves the queue empty.
  std::vector<std::string> Take();

 private:
  std::deque<std::string> entries_;
};

// True when the file name at the end of the address's path has one of the media
// extensions (mp3, m4a, aac, au, wma, mpeg, mov), in any letter case. The query and the
// fragment are not part of the file name, and an address that ends with its host names no
// file.
bool IsMediaAddress(std::string_view address);

}  // namespace formats
