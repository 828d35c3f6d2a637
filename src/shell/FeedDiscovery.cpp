// SPDX-License-Identifier: MIT
#include "shell/FeedDiscovery.h"

#include <algorithm>
#include <string_view>

#include "fetch/FeedAddress.h"
#include "platform/Ascii.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace shell {
namespace {

// An address that carries another one after its own scheme is a redirector or a
// bookmarking service, not the feed itself.
bool CarriesSecondAddress(std::string_view address) {
  if (address.size() <= 7) return false;
  const std::string rest = fetch::LowerAddress(address.substr(7));
  for (std::string_view scheme : {"http:", "https:", "http%3a", "https%3a"}) {
    if (rest.find(scheme) != std::string::npos) return true;
  }
  return false;
}

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// The base of relative feed addresses after the first declared Atom feed: the first
// non-empty "base" element's href, else the one used so far.
std::string BaseOfPage(const LoadedPage& page, const std::string& current) {
  const size_t count = std::min(page.baseHrefs.size(), kMaxDiscoveryElements);
  for (size_t index = 0; index < count; ++index) {
    std::string href = text::TrimJ(page.baseHrefs[index]);
    if (!href.empty()) return href;
  }
  return current;
}

// The declared alternate feeds of the page's "link" elements.
int DiscoverDeclared(const LoadedPage& page, bool autoAtom, std::vector<std::string>& foundFeeds, std::string& base,
                     int state) {
  bool first = true;
  bool baseRead = false;
  const size_t count = std::min(page.links.size(), kMaxDiscoveryElements);
  for (size_t index = 0; index < count; ++index) {
    const fetch::PageLinkElement& link = page.links[index];
    const std::string href = text::TrimJ(link.href);
    if (!platform::EqualsAsciiNoCase(link.tag, "link") || href.empty()) continue;
    const std::string markup = fetch::LowerAddress(link.markup);
    if (!Contains(markup, "rel") || !Contains(markup, "alternate") || !Contains(markup, "type")) continue;
    bool atFront = false;
    if (Contains(markup, "application/rss+xml")) {
      atFront = false;
    } else if (Contains(markup, "application/atom+xml")) {
      if (!baseRead) base = BaseOfPage(page, base);
      baseRead = true;
      atFront = autoAtom;
    } else {
      continue;
    }
    state = kFeedFoundFeed;
    AddFoundFeed(foundFeeds, fetch::ResolveFeedHref(base, href), first, atFront);
    first = false;
  }
  return state;
}

}  // namespace

void AddFoundFeed(std::vector<std::string>& foundFeeds, const std::string& address, bool startsGroup, bool atFront) {
  if (foundFeeds.size() >= kMaxFoundFeeds) return;
  const std::string feed = fetch::NormalizeFeedUrl(address);
  const bool web = platform::StartsWithAsciiNoCase(feed, "http:") || platform::StartsWithAsciiNoCase(feed, "https:");
  if (!web || CarriesSecondAddress(feed)) return;
  if (std::find(foundFeeds.begin(), foundFeeds.end(), feed) != foundFeeds.end()) return;
  if (atFront && !foundFeeds.empty()) {
    foundFeeds.insert(foundFeeds.begin(), feed);
    return;
  }
  if (startsGroup && !foundFeeds.empty()) {
    // A separator with no room left for its feed would end the list with nothing.
    if (foundFeeds.size() + 2 > kMaxFoundFeeds) return;
    foundFeeds.emplace_back(kFoundFeedSeparator);
  }
  foundFeeds.push_back(feed);
}

int DiscoverFeeds(const LoadedPage& page, bool autoAtom, std::vector<std::string>& foundFeeds, int state) {
  if (page.specialView) return state;
  if (fetch::LooksLikeFeedAddress(page.address)) {
    // The page is a feed itself; a frame that is one does not make the page one.
    if (!page.topLevel) return state;
    AddFoundFeed(foundFeeds, page.address, true, false);
    return kFeedFoundFeed;
  }
  std::string base = page.address;
  state = DiscoverDeclared(page, autoAtom, foundFeeds, base, state);
  bool first = true;
  const size_t count = std::min(page.anchorHrefs.size(), kMaxDiscoveryElements);
  for (size_t index = 0; index < count; ++index) {
    const std::string href = text::TrimJ(page.anchorHrefs[index]);
    if (href.empty() || !fetch::LooksLikeFeedAddress(href)) continue;
    if (state == kFeedFoundNothing) state = kFeedFoundLinks;
    const bool atom = Contains(fetch::LastSegmentLower(href), "atom");
    AddFoundFeed(foundFeeds, fetch::ResolveFeedHref(base, href), first, autoAtom && atom);
    first = false;
  }
  return state;
}

FeedFoundLook FeedFoundAppearance(int state) {
  const std::string collected = "\r\n" + text::J("発見したURLはツールバーの[追加]の入力ボックスに蓄積されます");
  switch (state) {
    case kFeedFoundLinks:
      return {0xE4FFDF, text::J("FeedデータとおもわれるURLを発見しました") + collected};
    case kFeedFoundFeed:
      return {0xFFFFBE, text::J("Feedデータを発見しました") + collected};
    default:
      return {0xFFFFFF,
              text::J("アドレスバー (Alt+D)") + "\r\n" + text::J("メニューの[ファイル]で履歴のリセットが可能です")};
  }
}

}  // namespace shell
