// SPDX-License-Identifier: MIT
#include "fetch/FeedLinks.h"

#include "platform/Ascii.h"
#include "platform/HtmlDocument.h"
#include "store/TSiteList.h"
#include "text/Convert.h"
#include "text/Cut.h"

namespace fetch {

std::string LowerAddress(std::string_view address) {
  std::string lower(address);
  for (char& c : lower) c = platform::AsciiLower(c);
  return lower;
}

std::string LastSegmentLower(std::string_view address) {
  const size_t slash = address.find_last_of("/\\");
  return LowerAddress(slash == std::string_view::npos ? address : address.substr(slash + 1));
}

bool LooksLikeFeedAddress(std::string_view address) {
  const size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string extension = LowerAddress(address.substr(dot));
  if (extension == ".rdf" || extension == ".rss" || extension == ".atom") return true;
  if (extension != ".xml") return false;
  const std::string segment = LastSegmentLower(address);
  return segment.find("rss") != std::string::npos || segment.find("atom") != std::string::npos;
}

std::string ResolveFeedHref(std::string_view base, std::string_view href) {
  if (href.find(":/") != std::string_view::npos) return std::string(href);
  const size_t scheme = base.find("://");
  const size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
  if (!href.empty() && href.front() == '/') {
    const size_t slash = base.find('/', hostStart);
    return std::string(base.substr(0, slash)) + std::string(href);
  }
  const size_t last = base.find_last_of("/\\");
  const bool hasPath = last != std::string_view::npos && last >= hostStart;
  const std::string_view folder = hasPath ? base.substr(0, last) : base;
  return std::string(folder) + "/" + std::string(href);
}

std::vector<std::string> FindFeedLinks(const std::vector<PageLinkElement>& links) {
  std::vector<std::string> feeds;
  for (const PageLinkElement& link : links) {
    const std::string href = text::TrimJ(link.href);
    if (href.empty() || !platform::EqualsAsciiNoCase(text::TrimJ(link.rel), "alternate")) continue;
    const std::string type = text::TrimJ(link.type);
    if (platform::EqualsAsciiNoCase(type, "application/rss+xml") ||
        platform::EqualsAsciiNoCase(type, "application/atom+xml")) {
      feeds.push_back(href);
    }
  }
  return feeds;
}

std::vector<PageLinkElement> ReadPageLinkElements(std::string_view page) {
  // A browser drops a tag that the end of the page cuts off, where the parser would make
  // an element of it; and a page cut at the load limit must not give a link with half
  // its address.
  const size_t lastOpen = page.rfind('<');
  if (lastOpen != std::string_view::npos && page.find('>', lastOpen) == std::string_view::npos) {
    page = page.substr(0, lastOpen);
  }
  std::vector<PageLinkElement> links;
  for (const platform::HtmlLinkElement& link : platform::HtmlDocument::ParseDeclared(page).LinkElements()) {
    links.push_back({"link", text::Utf8ToSjis(link.markup), text::Utf8ToSjis(link.href), text::Utf8ToSjis(link.rel),
                     text::Utf8ToSjis(link.type)});
  }
  return links;
}

std::string FindChannelByAddress(const store::TTreeNodeExt* node, std::string_view lowerAddress) {
  if (node == nullptr) return {};
  for (size_t index = 0; index < node->ChildCount(); ++index) {
    const store::TTreeNodeExt* child = node->Child(index);
    if (store::IsChannelKind(child->Kind())) {
      if (child->Data() != nullptr && LowerAddress(child->Data()->Site.rdfurl) == lowerAddress) return child->Caption();
    } else if (child->Kind() == store::kKindGroup) {
      std::string found = FindChannelByAddress(child, lowerAddress);
      if (!found.empty()) return found;
    }
  }
  return {};
}

}  // namespace fetch
