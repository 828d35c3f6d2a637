// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/TTreeNodeExt.h"

namespace fetch {

// One "link" element of a page, as the browser or the page reader saw it.
struct PageLinkElement {
  std::string tag;     // the element name ("link")
  std::string markup;  // the element's own markup, as the browser or the parser gives it back
  std::string href;
  std::string rel;
  std::string type;
};

// The address text in lower case (ASCII letters only; double-byte characters stay).
std::string LowerAddress(std::string_view address);

// Whether an address looks like a feed by its name: the extension (from the last ".")
// is ".rdf", ".rss" or ".atom", or ".xml" when the last path segment names "rss" or
// "atom".
bool LooksLikeFeedAddress(std::string_view address);

// The last path segment of an address (after its last "/" or "\"), in lower case.
std::string LastSegmentLower(std::string_view address);

// An href made absolute the simple way pages announce feeds: one holding ":/" stays as
// it is; one starting with "/" goes after the scheme and host of `base`; any other goes,
// after a "/", after the base cut before its last "/" or "\". A base whose only "/" are
// those of its "://" (an address without a path) is taken whole.
std::string ResolveFeedHref(std::string_view base, std::string_view href);

// The declared alternate feeds of a page, in page order: the hrefs of the link elements
// with rel "alternate" and type "application/rss+xml" or "application/atom+xml" (letter
// case ignored), as written.
std::vector<std::string> FindFeedLinks(const std::vector<PageLinkElement>& links);

// The "link" elements of a page's bytes, read as a browser reads the page in the
// character set it names (Shift_JIS when it names none and is no UTF-8): none from
// comments, scripts or style sheets, attribute values with their character references
// read, and none from a tag that the end of the bytes cuts off. The texts come in code
// page 932. Never fails.
std::vector<PageLinkElement> ReadPageLinkElements(std::string_view page);

// The display name of the first channel under `node` (recursing into groups) whose feed
// address in lower case equals `lowerAddress`; empty when there is none.
std::string FindChannelByAddress(const store::TTreeNodeExt* node, std::string_view lowerAddress);

}  // namespace fetch
