// SPDX-License-Identifier: MIT
#include "store/journal/JournalFormat.h"

#include "store/TSiteList.h"
#include "store/datafile/DataFileFormat.h"

namespace store {
namespace {

// Splits text into lines ending at CR LF, CR or LF, as a text file is read line by line;
// an empty line is a line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) {
      line = text_.substr(pos_);
      pos_ = text_.size();
      return true;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

std::string CleanJournalKey(std::string_view key) {
  std::string clean;
  clean.reserve(key.size());
  for (const char c : key) {
    if (c != '\r' && c != '\n') clean.push_back(c);
  }
  return clean;
}

std::string JournalKey(const TSiteRecord& item) {
  const uint32_t recovery = item.Owner != nullptr ? static_cast<uint32_t>(item.Owner->recovery) : 0;
  std::string key = std::to_string(recovery);
  key.push_back('\t');
  key.append(item.title);
  key.push_back('\t');
  key.append(item.link);
  return CleanJournalKey(key);
}

std::optional<ReplayMap> ParseJournal(std::string_view image) {
  LineReader reader(image);
  std::string_view line;
  if (!reader.Next(line) || line != kJournalVersion) return std::nullopt;
  ReplayMap map;
  std::string_view stateLine;
  while (reader.Next(stateLine)) {
    std::string_view key;
    if (!reader.Next(key)) break;
    const int64_t state = datafile::ParseTolerantInt(stateLine);
    // The journal only ever holds the three states; anything else is damage, and giving
    // it to an item would leave the item in no state at all.
    if (state < kStateUnread || state > kStateProtected) continue;
    map.Set(std::string(key), static_cast<uint8_t>(state));
  }
  return map;
}

}  // namespace store
