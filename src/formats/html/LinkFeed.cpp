// SPDX-License-Identifier: MIT
#include "formats/html/private/LinkFeed.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <unordered_map>

#include "formats/html/private/TextLines.h"
#include "platform/Files.h"
#include "text/Compare.h"
#include "text/Cut.h"
#include "text/XmlText.h"

namespace formats {
namespace {

uint32_t Byte(char c) {
  return static_cast<unsigned char>(c);
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A list of lines kept sorted and free of duplicates under the program's case-insensitive
// order, as the memo file holds them.
class SortedLines {
 public:
  bool Holds(std::string_view line) const {
    const auto at = LowerBound(line);
    return at != lines_.end() && text::SameTextJ(*at, line);
  }

  // Takes lines in whatever order they come; of lines that differ only in case the first
  // stays.
  void Assign(std::vector<std::string> lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return text::CompareTextJ(a, b) < 0; });
    lines.erase(std::unique(lines.begin(), lines.end(),
                            [](const std::string& a, const std::string& b) { return text::SameTextJ(a, b); }),
                lines.end());
    lines_ = std::move(lines);
  }

  bool Empty() const { return lines_.empty(); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string>::const_iterator LowerBound(std::string_view line) const {
    return std::lower_bound(lines_.begin(), lines_.end(), line,
                            [](const std::string& a, std::string_view b) { return text::CompareTextJ(a, b) < 0; });
  }

  std::vector<std::string> lines_;
};

// A short title made only of single-byte characters ("Home", "12", "次へ" is not one) says
// nothing about the link: navigation, page numbers.
bool IsShortPlainTitle(std::string_view title, int htmlExceptLen) {
  if (htmlExceptLen <= 0 || title.size() > static_cast<size_t>(htmlExceptLen)) return false;
  for (size_t pos = 0; pos < title.size();) {
    const size_t length = text::CharLengthAt(title, pos);
    if (length > 1) return false;
    pos += length;
  }
  return true;
}

// Of the links of a page that share one address only one becomes an item: the one with
// the longest title, the first of them when several are as long. True for that one.
std::vector<bool> ChosenAmongSameAddress(const std::vector<std::string>& titles,
                                         const std::vector<std::string>& addresses) {
  std::unordered_map<std::string_view, size_t> best;
  for (size_t i = 0; i < addresses.size(); ++i) {
    const auto [at, added] = best.try_emplace(addresses[i], i);
    if (!added && titles[i].size() > titles[at->second].size()) at->second = i;
  }
  std::vector<bool> chosen(addresses.size(), false);
  for (const auto& [address, index] : best) chosen[index] = true;
  return chosen;
}

std::string Item(const std::string& title, const std::string& address) {
  return "<item><title>" + text::XmlEscape(title, false) + "</title><link>" + text::XmlEscape(address, false) +
         "</link></item>";
}

// Keeps a memo that did not change in content alive: its date says the channel is still
// visited, so the clean-up of stale memo files leaves it alone.
void TouchFile(const std::string& path) {
  std::error_code error;
  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now(), error);
}

}  // namespace

std::string UrlFileKey(std::string_view address) {
  // The scheme's first four characters ("http") say nothing about the page.
  const std::string_view rest = address.substr(std::min<size_t>(4, address.size()));
  const auto length = static_cast<uint32_t>(rest.size());
  uint32_t sum1 = 0;
  uint32_t sum2 = 0;
  uint32_t sum3 = 0;
  std::string letters;
  for (size_t i = 1; i <= rest.size(); ++i) {
    const char c = rest[i - 1];
    sum1 += static_cast<uint32_t>(i) * Byte(c);
    sum2 += length + static_cast<uint32_t>(i) * Byte(rest[rest.size() - i]);
    if (IsAsciiLetter(c)) {
      letters.push_back(c);
      sum3 += length * Byte(c);
    }
  }
  const std::string tail = std::to_string(static_cast<int32_t>(length));
  if (letters.size() < 4) {
    return "h" + std::to_string(sum1) + "y" + std::to_string(sum2) + "a" + std::to_string(sum3) + tail;
  }
  const size_t quarter = letters.size() / 4;
  return letters[quarter - 1] + std::to_string(sum1) + letters[2 * quarter - 1] + std::to_string(sum2) +
         letters[3 * quarter - 1] + std::to_string(sum3) + tail;
}

std::string MemoFilePath(const std::string& dataFolder, std::string_view address) {
  std::string folder = dataFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + "system/htmlrss/" + UrlFileKey(address) + ".tmp";
}

bool BuildFeedFromLinks(const LinkFeedContext& context, const std::string& address, const std::string& pageTitle,
                        const std::vector<std::string>& linkTitles, std::string& output,
                        const std::vector<std::string>& linkAddresses) {
  if (context.Aborted || linkTitles.size() != linkAddresses.size()) return false;
  std::string feed = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\"><channel><title>" +
                     text::XmlEscape(pageTitle, false) + "</title><link>" + text::XmlEscape(address, false) + "</link>";

  const std::string memoPath = MemoFilePath(context.DataFolder, address);
  std::optional<SortedLines> memo;
  if (platform::FileExists(memoPath)) {
    const std::optional<std::string> bytes = platform::ReadWholeFile(memoPath);
    if (!bytes) return false;
    memo.emplace();
    memo->Assign(SplitLines(*bytes));
  }

  std::vector<std::string> pageLines;
  pageLines.reserve(linkTitles.size());
  const std::vector<bool> chosen = ChosenAmongSameAddress(linkTitles, linkAddresses);
  for (size_t i = 0; i < linkTitles.size(); ++i) {
    const std::string& title = linkTitles[i];
    const std::string& link = linkAddresses[i];
    std::string line = title + "\t" + link;
    // On the first visit every link is only remembered.
    const bool isNew = memo && !IsShortPlainTitle(title, context.HtmlExceptLen) &&
                       !context.Exceptions.ExcludesAddress(link) && !memo->Holds(line) && chosen[i];
    if (isNew) feed += Item(title, link);
    pageLines.push_back(std::move(line));
  }

  SortedLines current;
  current.Assign(std::move(pageLines));
  if (current.Empty()) {
    TouchFile(memoPath);
  } else if (!platform::CreateFolders(platform::FolderOf(memoPath)) ||
             !platform::WriteFileDurably(memoPath, JoinLines(current.Lines()))) {
    return false;
  }
  feed += "</channel></rss>";
  output = std::move(feed);
  return true;
}

}  // namespace formats
