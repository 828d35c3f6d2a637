// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// How much of a page link extraction reads. A browser engine stops loading a page when
// the page-load time runs out and reads what it has by then; here the page arrives whole,
// so the bound is on its bytes instead: the links of the first 2 MiB count, the rest of
// the page is left unread. That also bounds the parser's time and memory on a hostile
// page.
inline constexpr size_t kPageLoadLimitBytes = 2u << 20;

// The links of a page for an HTML channel without a pattern.
struct PageLinks {
  std::string PageTitle;                // code page 932
  std::vector<std::string> LinkTitles;  // the text of each usable link, code page 932
  std::vector<std::string> LinkUrls;    // its absolute address, same index as LinkTitles
  size_t AnchorCount = 0;               // link elements on the page ("a" with an href), usable or not
};

// Reads the page's title and links. The encoding is that of the page's charset labels
// (a UTF-8 byte-order mark wins). A link's title is its visible text, cleaned of any
// markup it still holds, of line breaks and TABs, and trimmed; its address is its href
// made absolute against the page's base element, or else against `address`. Links
// without title or address are left out. Any bytes give a result; only the first
// `limit` bytes are read.
PageLinks ExtractPageLinks(std::string_view page, const std::string& address, size_t limit = kPageLoadLimitBytes);

}  // namespace formats
