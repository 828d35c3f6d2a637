// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "formats/feeds/DocumentSource.h"
#include "formats/html/HtmlExceptionList.h"
#include "formats/html/HtmlFeedBuilder.h"
#include "settings/Settings.h"

namespace formats {

// Fetches the page of an HTML channel in link mode, within the given number of seconds.
using PageFetch = std::function<FetchResult(const std::string& address, int timeoutSeconds)>;

// What the HTML-to-feed layer works with, handed in by the application.
struct HtmlToFeedServices {
  const settings::Settings& Settings;  // HtmlExceptLen, read at every call
  const HtmlExceptionList& Exceptions;
  std::string DataFolder;         // holds "system/htmlrss"
  PageFetch FetchPage;            // empty: only local files can be read
  std::function<bool()> Aborted;  // the update run is being cancelled; empty: never
};

// The program's HTML-to-feed layer: link mode with its memo files, pattern mode with its
// regular expressions.
class HtmlToFeed : public HtmlFeedBuilder {
 public:
  explicit HtmlToFeed(HtmlToFeedServices services) : services_(std::move(services)) {}

  FetchResult BuildFeedFromLinks(const std::string& address, int timeoutSeconds) override;
  bool BuildFeedFromLinks(const std::string& address, const std::string& pageTitle,
                          const std::vector<std::string>& linkTitles, std::string& output,
                          const std::vector<std::string>& linkAddresses) override;
  bool BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document) override;

 private:
  FetchResult FetchPage(const std::string& address, int timeoutSeconds);

  HtmlToFeedServices services_;
  LocalFileSource localFiles_;
};

}  // namespace formats
