// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/html/HtmlExceptionList.h"

// The link mode of HTML channels: every link of a page is a candidate item, and a memo
// file per channel remembers the links seen at the last visit, so that only links that
// appeared since then become items.
namespace formats {

// The memo file's name for a page address (without folder and ".tmp"): a checksum key
// that holds only ASCII letters and digits.
std::string UrlFileKey(std::string_view address);

// The memo file of a page: "system/htmlrss/<key>.tmp" in the data folder. Its lines are
// the links of the page at the last visit, each title + TAB + address, sorted by
// text::CompareTextJ (code page 932, CR LF).
std::string MemoFilePath(const std::string& dataFolder, std::string_view address);

// What link mode works with besides the links.
struct LinkFeedContext {
  std::string DataFolder;
  const HtmlExceptionList& Exceptions;
  int HtmlExceptLen = 5;  // short titles without double-byte characters are left out; 0 = keep them
  bool Aborted = false;   // the update run is being cancelled: nothing is built
};

// Writes into `output` an RSS 2.0 document (Shift_JIS) holding the page's links that are
// not in the memo file, and saves the page's links as the new memo. On the first visit
// (no memo file yet) the document has no items. `linkTitles` and `linkAddresses` are
// parallel, in page order. False (and `output` untouched) when nothing was built: the
// run is being cancelled, the lists differ in length, or a file could not be read or
// written.
bool BuildFeedFromLinks(const LinkFeedContext& context, const std::string& address, const std::string& pageTitle,
                        const std::vector<std::string>& linkTitles, std::string& output,
                        const std::vector<std::string>& linkAddresses);

}  // namespace formats
