// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fetch/FeedLinks.h"

namespace shell {

// The feeds a tab found on its page: at most this many entries, separators included.
inline constexpr size_t kMaxFoundFeeds = 15;
// The elements of each kind a page is searched in, from its start.
inline constexpr size_t kMaxDiscoveryElements = 200;
// The entry that separates the feeds of one page part from those of the next.
inline constexpr const char* kFoundFeedSeparator = "-";

// FeedFoundState: what the page of a tab offers.
inline constexpr int kFeedFoundNothing = 0;
inline constexpr int kFeedFoundLinks = 1;  // links whose addresses look like feeds
inline constexpr int kFeedFoundFeed = 2;   // a declared alternate feed, or the page is a feed itself

// A page (or frame) that finished loading, as the browser read it with a script.
struct LoadedPage {
  std::string address;
  std::vector<fetch::PageLinkElement> links;  // the "link" elements, in page order
  std::vector<std::string> baseHrefs;         // the href of each "base" element
  std::vector<std::string> anchorHrefs;       // the href of each "a" element
  bool topLevel = true;                       // false for a frame of the page
  bool specialView = false;                   // the tab shows one of the program's own pages
};

// Adds an address to a tab's list of found feeds: "feed:" addresses become HTTP ones,
// only http and https addresses that carry no second address (redirectors) are taken, an
// address already listed is not added again, and the list never grows beyond
// kMaxFoundFeeds. `atFront` puts it at the top; otherwise `startsGroup` puts a separator
// before it when the list holds entries already.
void AddFoundFeed(std::vector<std::string>& foundFeeds, const std::string& address, bool startsGroup, bool atFront);

// Looks through a loaded page for feeds, adding them to `foundFeeds`, and returns the
// tab's new FeedFoundState, starting from `state`. `autoAtom` puts Atom feeds first.
int DiscoverFeeds(const LoadedPage& page, bool autoAtom, std::vector<std::string>& foundFeeds, int state);

// How the address bar shows a FeedFoundState: its background colour (0xRRGGBB) and its
// hint (code page 932).
struct FeedFoundLook {
  uint32_t rgb = 0xFFFFFF;
  std::string hint;
};
FeedFoundLook FeedFoundAppearance(int state);

}  // namespace shell
