// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace formats {

// The address fragments whose links never become items of an HTML channel: share
// buttons, mail links and whatever the user adds. The list lives in
// "system/htmlrss/plover.except" of the data folder, one fragment per line (code page
// 932, CR LF); without that file the two built-in fragments apply. Empty fragments are
// kept as lines but never match.
class HtmlExceptionList {
 public:
  // The built-in fragments: the share-and-follow address prefix of the most common
  // social-network buttons on Japanese pages, and mail links.
  static constexpr std::string_view kSocialNetworkPrefix = "https://twitter.com/intent/";
  static constexpr std::string_view kMailPrefix = "mailto:";

  // The built-in list.
  HtmlExceptionList();
  explicit HtmlExceptionList(std::vector<std::string> fragments);

  // The list of the data folder's file, or the built-in list when there is none. A file
  // that exists but cannot be read gives the built-in list too.
  static HtmlExceptionList Load(const std::string& dataFolder);

  // The settings dialog's save: lines that are empty once trimmed on the right go, the
  // folder is created when missing, the file written and this list replaced by it. False
  // (and the list unchanged) when the file could not be written.
  bool Save(const std::string& dataFolder, const std::vector<std::string>& lines);

  const std::vector<std::string>& Fragments() const { return fragments_; }

  // Whether the address, lower-cased, holds a lower-cased fragment (the link mode's test).
  bool ExcludesAddress(std::string_view address) const;

  // Whether the link as it is holds a lower-cased fragment (the pattern mode's test).
  bool ExcludesLink(std::string_view link) const;

  static std::string FilePath(const std::string& dataFolder);

 private:
  bool Holds(std::string_view text) const;

  std::vector<std::string> fragments_;
  std::vector<std::string> lowered_;
};

// The text with its single-byte capitals made small; the trail bytes of double-byte
// characters stay as they are.
std::string LowerSingleByteLetters(std::string_view text);

}  // namespace formats
