// SPDX-License-Identifier: MIT
// "feed:" links on pages name feeds by their HTTP address in several spellings.
#include <gtest/gtest.h>

#include "fetch/FeedAddress.h"
#include "text/Literal.h"

namespace fetch {
namespace {

TEST(FeedAddressTest, FeedAddressesBecomeHttpAddresses) {
  const std::pair<const char*, const char*> cases[] = {
      {"feed://example.jp/rss.xml", "http://example.jp/rss.xml"},
      {"FEED://Example.jp/rss.xml", "http://Example.jp/rss.xml"},
      {"feed:example.jp/rss.xml", "http://example.jp/rss.xml"},
      {"feed:http://example.jp/rss.xml", "http://example.jp/rss.xml"},
      {"feed:https://example.jp/a.rdf", "https://example.jp/a.rdf"},
      {"feed:///example.jp/rss.xml", "http://example.jp/rss.xml"},
      {"  feed://example.jp/  ", "http://example.jp/"},
      {"http://example.jp/feed", "http://example.jp/feed"},
      {"feed://localhost/rss", "rss"},  // no dot and no scheme: the pieces before a "/" go
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(NormalizeFeedUrl(input), expected) << input;
  EXPECT_EQ(NormalizeFeedUrl(text::J("　feed://example.jp/x　")), "http://example.jp/x");
}

}  // namespace
}  // namespace fetch
