// SPDX-License-Identifier: MIT
#include "formats/html/HtmlExceptionList.h"

#include <optional>
#include <utility>

#include "formats/html/private/TextLines.h"
#include "platform/Files.h"
#include "text/Cut.h"

namespace formats {

std::string LowerSingleByteLetters(std::string_view text) {
  std::string out(text);
  for (size_t pos = 0; pos < out.size();) {
    const size_t length = text::CharLengthAt(out, pos);
    if (length == 1 && out[pos] >= 'A' && out[pos] <= 'Z') out[pos] = static_cast<char>(out[pos] - 'A' + 'a');
    pos += length;
  }
  return out;
}

HtmlExceptionList::HtmlExceptionList()
    : HtmlExceptionList(std::vector<std::string>{std::string(kSocialNetworkPrefix), std::string(kMailPrefix)}) {}

HtmlExceptionList::HtmlExceptionList(std::vector<std::string> fragments) : fragments_(std::move(fragments)) {
  lowered_.reserve(fragments_.size());
  for (const std::string& fragment : fragments_) lowered_.push_back(LowerSingleByteLetters(fragment));
}

std::string HtmlExceptionList::FilePath(const std::string& dataFolder) {
  std::string folder = dataFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + "system/htmlrss/plover.except";
}

HtmlExceptionList HtmlExceptionList::Load(const std::string& dataFolder) {
  const std::string path = FilePath(dataFolder);
  if (!platform::FileExists(path)) return HtmlExceptionList();
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return HtmlExceptionList();
  return HtmlExceptionList(SplitLines(*bytes));
}

bool HtmlExceptionList::Save(const std::string& dataFolder, const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (!text::TrimRightJ(line).empty()) kept.push_back(line);
  }
  const std::string path = FilePath(dataFolder);
  if (!platform::CreateFolders(platform::FolderOf(path))) return false;
  if (!platform::WriteFileDurably(path, JoinLines(kept))) return false;
  *this = HtmlExceptionList(std::move(kept));
  return true;
}

bool HtmlExceptionList::Holds(std::string_view text) const {
  for (const std::string& fragment : lowered_) {
    if (!fragment.empty() && text::FindJ(text, fragment) != std::string_view::npos) return true;
  }
  return false;
}

bool HtmlExceptionList::ExcludesAddress(std::string_view address) const {
  return Holds(LowerSingleByteLetters(address));
}

bool HtmlExceptionList::ExcludesLink(std::string_view link) const {
  return Holds(link);
}

}  // namespace formats
