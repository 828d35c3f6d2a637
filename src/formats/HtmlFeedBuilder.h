// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "formats/DocumentSource.h"

namespace formats {

// Turns an ordinary web page into an RSS 2.0 document for an HTML channel. Feed processing
// calls it; the HTML-to-feed layer implements it.
class HtmlFeedBuilder {
 public:
  virtual ~HtmlFeedBuilder() = default;

  // Link mode: fetches the page (within `timeoutSeconds`) and writes a feed of the links
  // that appeared since the last visit. kDocument with the feed; kNotModified when no feed
  // was built; kFailed when the page could not be fetched.
  virtual FetchResult BuildFeedFromLinks(const std::string& address, int timeoutSeconds) = 0;

  // Pattern mode: runs the pattern over the page in `document` and, when it matches,
  // replaces the page by the generated feed (a page it does not match is left as it is).
  // False when the pattern names neither a title nor a description field.
  virtual bool BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document) = 0;
};

}  // namespace formats
