// SPDX-License-Identifier: MIT
// Feeds found on the pages the tabs show: which addresses count, the order and limit of
// the list, and how the address bar shows what a tab found.
#include <gtest/gtest.h>

#include <algorithm>

#include "TabsFixture.h"
#include "shell/FeedDiscovery.h"
#include "text/Literal.h"

namespace shell::testing {
namespace {

fetch::PageLinkElement Declared(const std::string& type, const std::string& href) {
  return fetch::PageLinkElement{"link", "<link rel=\"alternate\" type=\"" + type + "\" href=\"" + href + "\">", href,
                                "alternate", type};
}

constexpr const char* kRss = "application/rss+xml";
constexpr const char* kAtom = "application/atom+xml";

TEST(FeedDiscoveryTest, TwentyFeedLinksFillFifteenEntriesWithSeparators) {
  LoadedPage page{"http://example.jp/news/index.html", {Declared(kRss, "rss.xml"), Declared(kRss, "/all.rdf")}, {}, {}};
  for (int i = 0; i < 20; ++i) page.anchorHrefs.push_back("http://example.jp/feeds/" + std::to_string(i) + ".rdf");
  std::vector<std::string> found;
  EXPECT_EQ(DiscoverFeeds(page, false, found, kFeedFoundNothing), kFeedFoundFeed);
  ASSERT_EQ(found.size(), kMaxFoundFeeds);
  EXPECT_EQ(found[0], "http://example.jp/news/rss.xml");
  EXPECT_EQ(found[1], "http://example.jp/all.rdf");
  EXPECT_EQ(found[2], "-");  // the anchors start a group of their own
  EXPECT_EQ(found[3], "http://example.jp/feeds/0.rdf");
  EXPECT_EQ(found.back(), "http://example.jp/feeds/11.rdf");
  // A second load (a frame) finds no room.
  EXPECT_EQ(DiscoverFeeds(page, false, found, kFeedFoundFeed), kFeedFoundFeed);
  EXPECT_EQ(found.size(), kMaxFoundFeeds);
}

TEST(FeedDiscoveryTest, OnlyPlainWebAddressesWithoutASecondAddressAreKept) {
  std::vector<std::string> found;
  const std::vector<std::string> refused = {
      "http://jump.example.jp/r?u=http://example.jp/rss.xml",
      "http://jump.example.jp/r?u=HTTPS%3A%2F%2Fexample.jp%2Frss.xml",
      "javascript:void('rss.xml')",
      "ftp://example.jp/index.rdf",
  };
  for (const std::string& address : refused) AddFoundFeed(found, address, true, false);
  EXPECT_TRUE(found.empty());
  AddFoundFeed(found, "FEED://example.jp/rss.xml", true, false);
  AddFoundFeed(found, "http://example.jp/rss.xml", true, false);  // the same feed once only
  AddFoundFeed(found, "https://example.jp/atom.xml", true, false);
  EXPECT_EQ(found, (std::vector<std::string>{"http://example.jp/rss.xml", "-", "https://example.jp/atom.xml"}));
}

TEST(FeedDiscoveryTest, AListNeverEndsWithASeparator) {
  std::vector<std::string> found;
  for (int i = 0; i < 14; ++i) AddFoundFeed(found, "http://example.jp/" + std::to_string(i) + ".rss", false, false);
  AddFoundFeed(found, "http://example.jp/next.rss", true, false);
  EXPECT_EQ(found.size(), 14u);
  EXPECT_EQ(found.back(), "http://example.jp/13.rss");
}

TEST(FeedDiscoveryTest, AtomFeedsComeFirstUnderAutoAtom) {
  LoadedPage page{"http://example.jp/blog/",
                  {Declared(kRss, "index.rdf"), Declared(kAtom, "atom.xml")},
                  {"", " http://base.example.jp/x/ "},
                  {"http://example.jp/blog/comments.rss", "http://example.jp/blog/comments-atom.xml"}};
  std::vector<std::string> withAtom;
  DiscoverFeeds(page, true, withAtom, kFeedFoundNothing);
  // The first Atom feed takes the first non-empty base element as the base of what follows.
  EXPECT_EQ(withAtom,
            (std::vector<std::string>{"http://example.jp/blog/comments-atom.xml", "http://base.example.jp/x/atom.xml",
                                      "http://example.jp/blog/index.rdf", "-", "http://example.jp/blog/comments.rss"}));
  std::vector<std::string> inOrder;
  DiscoverFeeds(page, false, inOrder, kFeedFoundNothing);
  EXPECT_EQ(inOrder, (std::vector<std::string>{"http://example.jp/blog/index.rdf", "http://base.example.jp/x/atom.xml",
                                               "-", "http://example.jp/blog/comments.rss",
                                               "http://example.jp/blog/comments-atom.xml"}));
}

TEST(FeedDiscoveryTest, APageThatIsAFeedIsTheOnlyFeedFound) {
  const std::pair<const char*, bool> cases[] = {
      {"http://example.jp/index.RDF", true},      {"http://example.jp/news.rss", true},
      {"http://example.jp/feed.atom", true},      {"http://example.jp/data/RSS20.xml", true},
      {"http://example.jp/atom/data.xml", false}, {"http://example.jp/sitemap.xml", false},
  };
  for (const auto& [address, isFeed] : cases) {
    LoadedPage page{address, {Declared(kRss, "/other.rdf")}, {}, {}};
    std::vector<std::string> found;
    const int state = DiscoverFeeds(page, true, found, kFeedFoundNothing);
    EXPECT_EQ(state, kFeedFoundFeed) << address;
    EXPECT_EQ(found.front(), isFeed ? std::string(address) : "http://example.jp/other.rdf") << address;
    EXPECT_EQ(found.size(), 1u) << address;
  }
  // A frame that is a feed, and a program page, add nothing.
  std::vector<std::string> found;
  LoadedPage frame{"http://example.jp/index.rdf", {}, {}, {}, false};
  EXPECT_EQ(DiscoverFeeds(frame, true, found, kFeedFoundNothing), kFeedFoundNothing);
  LoadedPage special{"http://example.jp/", {Declared(kRss, "a.rdf")}, {}, {"b.rss"}, true, true};
  EXPECT_EQ(DiscoverFeeds(special, true, found, kFeedFoundNothing), kFeedFoundNothing);
  EXPECT_TRUE(found.empty());
}

TEST(FeedDiscoveryTest, LinksThatOnlyLookLikeFeedsGiveTheLesserState) {
  LoadedPage page{
      "http://example.jp/",
      {{"link", "<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\">", "a.css", "stylesheet", "text/css"},
       {"link", "<link rel=alternate type=application/rss+xml href=\"  \">", "  ", "alternate", kRss}},
      {},
      {"http://example.jp/page.html", "feeds/index.rdf"}};
  std::vector<std::string> found;
  EXPECT_EQ(DiscoverFeeds(page, true, found, kFeedFoundNothing), kFeedFoundLinks);
  EXPECT_EQ(found, std::vector<std::string>{"http://example.jp/feeds/index.rdf"});
}

struct HrefCase {
  const char* name;
  const char* base;
  const char* href;
  const char* resolved;
};

class ResolveFeedHrefTest : public ::testing::TestWithParam<HrefCase> {};

TEST_P(ResolveFeedHrefTest, ResolvesAgainstThePage) {
  EXPECT_EQ(fetch::ResolveFeedHref(GetParam().base, GetParam().href), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Hrefs, ResolveFeedHrefTest,
    ::testing::Values(HrefCase{"Absolute", "http://example.jp/a/b.html", "https://other.jp/x.rdf",
                               "https://other.jp/x.rdf"},
                      HrefCase{"Relative", "http://example.jp/a/b.html", "rss/x.rdf", "http://example.jp/a/rss/x.rdf"},
                      HrefCase{"RelativeToFolder", "http://example.jp/a/", "x.rdf", "http://example.jp/a/x.rdf"},
                      HrefCase{"RootRelative", "http://example.jp/a/b.html?q=/c", "/x.rdf", "http://example.jp/x.rdf"},
                      HrefCase{"RootRelativeHostOnly", "http://example.jp", "/x.rdf", "http://example.jp/x.rdf"},
                      HrefCase{"RelativeHostOnly", "http://example.jp", "x.rdf", "http://example.jp/x.rdf"},
                      HrefCase{"Backslash", "http://example.jp/a\\b.html", "x.rdf", "http://example.jp/a/x.rdf"}),
    [](const ::testing::TestParamInfo<HrefCase>& info) { return std::string(info.param.name); });

TEST(FeedDiscoveryTest, TheAddressBarShowsEachState) {
  const std::string second = "\r\n" + text::J("発見したURLはツールバーの[追加]の入力ボックスに蓄積されます");
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundLinks).rgb, 0xE4FFDFu);
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundLinks).hint, text::J("FeedデータとおもわれるURLを発見しました") + second);
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundFeed).rgb, 0xFFFFBEu);
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundFeed).hint, text::J("Feedデータを発見しました") + second);
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundNothing).rgb, 0xFFFFFFu);
  EXPECT_EQ(FeedFoundAppearance(kFeedFoundNothing).hint,
            text::J("アドレスバー (Alt+D)\r\nメニューの[ファイル]で履歴のリセットが可能です"));
}

class TabFeedsTest : public TabsFixture {};

TEST_F(TabFeedsTest, TabsKeepTheirFeedsUntilTheyNavigate) {
  const std::vector<ViewId> views = StartWith({"http://example.jp/", "http://example.com/"});
  const size_t shownBefore = view.feedFound.size();
  tabs.PageLoaded(views[1], LoadedPage{"http://example.jp/", {Declared(kRss, "rss.xml")}, {}, {}});
  EXPECT_EQ(view.feedFound.size(), shownBefore) << "a background tab shows nothing";
  tabs.PageLoaded(views[2], LoadedPage{"http://example.com/", {}, {}, {"http://example.com/index.rdf"}});
  ASSERT_FALSE(view.feedFound.empty());
  EXPECT_EQ(view.feedFound.back().rgb, 0xE4FFDFu);
  EXPECT_TRUE(view.feedFound.back().feedIcon);
  EXPECT_EQ(tabs.ActiveFoundFeeds(), std::vector<std::string>{"http://example.com/index.rdf"});

  tabs.ActivateTab(1);
  EXPECT_EQ(view.feedFound.back().state, kFeedFoundFeed);
  EXPECT_EQ(view.feedFound.back().rgb, 0xFFFFBEu);
  EXPECT_EQ(tabs.FoundFeeds(views[1]), std::vector<std::string>{"http://example.jp/rss.xml"});

  // A navigation the program lets through empties the list and whitens the bar; a refused
  // one leaves both.
  settings.SecureMode = true;
  EXPECT_FALSE(Follow(views[1], "file:///etc/passwd", NavigationKind::kLinkClicked, false));
  EXPECT_EQ(tabs.FoundFeeds(views[1]).size(), 1u);
  EXPECT_TRUE(Follow(views[1], "http://example.jp/next.html"));
  EXPECT_TRUE(tabs.FoundFeeds(views[1]).empty());
  EXPECT_EQ(view.feedFound.back().state, kFeedFoundNothing);
  EXPECT_FALSE(view.feedFound.back().feedIcon);
  EXPECT_EQ(tabs.FoundFeeds(views[2]).size(), 1u);
  EXPECT_TRUE(tabs.FoundFeeds(ViewId{999}).empty());
}

}  // namespace
}  // namespace shell::testing
