// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "formats/feeds/DocumentSource.h"

namespace formats {

// Turns an ordinary web page into an RSS 2.0 document for an HTML channel. Feed processing
// and the completion of a worker's link extraction call it; the HTML-to-feed layer
// implements it.
class HtmlFeedBuilder {
 public:
  virtual ~HtmlFeedBuilder() = default;

  // Link mode: fetches the page (within `timeoutSeconds`) and writes a feed of the links
  // that appeared since the last visit. kDocument with the feed; kNotModified when no feed
  // was built (the page has no usable link, or the run is being cancelled); kFailed when
  // the page could not be fetched.
  virtual FetchResult BuildFeedFromLinks(const std::string& address, int timeoutSeconds) = 0;

  // Link mode with the links a worker collected from the page (parallel lists in page
  // order): writes the feed into `output`. False when nothing was built.
  virtual bool BuildFeedFromLinks(const std::string& address, const std::string& pageTitle,
                                  const std::vector<std::string>& linkTitles, std::string& output,
                                  const std::vector<std::string>& linkAddresses) = 0;

  // Pattern mode: runs the pattern over the page in `document` and, when it matches,
  // replaces the page by the generated feed (a page it does not match is left as it is).
  // False when the pattern names neither a title nor a description field, does not
  // compile, or its search ran past the engine's bounds.
  virtual bool BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document) = 0;
};

}  // namespace formats
