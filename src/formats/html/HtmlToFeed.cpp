// SPDX-License-Identifier: MIT
#include "formats/html/HtmlToFeed.h"

#include "formats/html/PageLinks.h"
#include "formats/html/PatternFeed.h"
#include "formats/html/private/LinkFeed.h"
#include "text/Literal.h"

namespace formats {

FetchResult HtmlToFeed::FetchPage(const std::string& address, int timeoutSeconds) {
  if (IsLocalFileAddress(address)) return localFiles_.FetchDocument(FetchRequest{address});
  if (!services_.FetchPage) return FetchResult::Failed(text::J("URLを開くことができませんでした。"));
  return services_.FetchPage(address, timeoutSeconds);
}

FetchResult HtmlToFeed::BuildFeedFromLinks(const std::string& address, int timeoutSeconds) {
  FetchResult page = FetchPage(address, timeoutSeconds);
  if (page.status != FetchResult::Status::kDocument) return page;
  const PageLinks links = ExtractPageLinks(page.bytes, address);
  // A page without a usable link gives nothing to read, as a page that did not change.
  if (links.LinkTitles.empty()) return FetchResult::NotModified();
  std::string feed;
  if (!BuildFeedFromLinks(address, links.PageTitle, links.LinkTitles, feed, links.LinkUrls)) {
    return FetchResult::NotModified();
  }
  return FetchResult::Document(std::move(feed));
}

bool HtmlToFeed::BuildFeedFromLinks(const std::string& address, const std::string& pageTitle,
                                    const std::vector<std::string>& linkTitles, std::string& output,
                                    const std::vector<std::string>& linkAddresses) {
  const LinkFeedContext context{services_.DataFolder, services_.Exceptions, services_.Settings.HtmlExceptLen,
                                services_.Aborted && services_.Aborted()};
  return formats::BuildFeedFromLinks(context, address, pageTitle, linkTitles, output, linkAddresses);
}

bool HtmlToFeed::BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document) {
  return formats::BuildFeedFromPattern(address, pattern, document, services_.Exceptions);
}

}  // namespace formats
