// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "formats/FeedTestSupport.h"
#include "formats/html/HtmlToFeed.h"
#include "formats/html/PageLinks.h"
#include "formats/html/PatternFeed.h"
#include "formats/html/private/LinkFeed.h"
#include "formats/html/private/TextLines.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats::testing {
namespace {

using text::J;

const std::string kPage = "http://host/dir/index.html";
const std::string kLinkHeader = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\"><channel>";
const std::string kPatternHeader =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xml:lang=\"ja\"><channel>";
const std::string kFooter = "</channel></rss>";

std::string LinkItem(const std::string& title, const std::string& link) {
  return "<item><title>" + title + "</title><link>" + link + "</link></item>";
}

std::string ChannelHead(const std::string& title, const std::string& link = kPage) {
  return "<title>" + title + "</title><link>" + link + "</link>";
}

// The builder over a temporary data folder, with pages answered from a table.
class HtmlToFeedTest : public ::testing::Test {
 protected:
  HtmlToFeedServices Services() {
    return {settings, exceptions, data.Path(),
            [this](const std::string& address, int timeoutSeconds) {
              requestedTimeout = timeoutSeconds;
              const auto page = pages.find(address);
              return page == pages.end() ? FetchResult::Failed(J("応答無し")) : page->second;
            },
            [this] { return aborted; }};
  }

  // The feed of one visit in link mode; the links are given as title, address pairs.
  std::string Visit(const std::vector<std::pair<std::string, std::string>>& links, const std::string& title = "Page") {
    std::vector<std::string> titles;
    std::vector<std::string> addresses;
    for (const auto& [linkTitle, address] : links) {
      titles.push_back(linkTitle);
      addresses.push_back(address);
    }
    std::string output;
    EXPECT_TRUE(builder.BuildFeedFromLinks(kPage, title, titles, output, addresses));
    return output;
  }

  std::string MemoPath() { return MemoFilePath(data.Path(), kPage); }
  std::string MemoText() { return testsupport::ReadFile(MemoPath()); }

  testsupport::TempDir data;
  settings::Settings settings = settings::DefaultSettings(0);
  HtmlExceptionList exceptions;
  std::map<std::string, FetchResult> pages;
  int requestedTimeout = 0;
  bool aborted = false;
  HtmlToFeed builder{Services()};
};

struct KeyCase {
  const char* name;
  const char* address;
  const char* key;
};

class MemoKeys : public ::testing::TestWithParam<KeyCase> {};

// Worked by hand: "http://a" leaves "://a" (n = 4): sum1 = 58 + 2*47 + 3*47 + 4*97 = 681,
// sum2 = (4+97) + (4+2*47) + (4+3*47) + (4+4*58) = 580, one letter: sum3 = 4*97 = 388.
// "http://abcd" leaves "://abcd" (n = 7), four letters, so the 1st, 2nd and 3rd letter
// lead the sums 2465, 1952 and 7*(97+98+99+100) = 2758.
TEST_P(MemoKeys, AreChecksumsOfTheAddress) {
  EXPECT_EQ(UrlFileKey(GetParam().address), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(HtmlToFeed, MemoKeys,
                         ::testing::Values(KeyCase{"FewLetters", "http://a", "h681y580a3884"},
                                           KeyCase{"Letters", "http://abcd", "a2465b1952c27587"},
                                           KeyCase{"ShorterThanTheScheme", "abc", "h0y0a00"}),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(HtmlToFeedTest, MemoFilesLiveInTheSystemFolder) {
  EXPECT_EQ(MemoFilePath("/data/", "http://a"), "/data/system/htmlrss/h681y580a3884.tmp");
  EXPECT_EQ(MemoFilePath("/data", "http://a"), "/data/system/htmlrss/h681y580a3884.tmp");
}

TEST_F(HtmlToFeedTest, OnlyLinksNewSinceTheLastVisitBecomeItems) {
  // First visit: no items, every link remembered, sorted without regard to case.
  const std::string first = Visit(
      {{"beta news", "http://host/b"}, {"Alpha news", "http://host/a"}, {"gamma news", "http://host/c"}}, "My & page");
  EXPECT_EQ(first, kLinkHeader + ChannelHead("My &amp; page") + kFooter);
  EXPECT_EQ(MemoText(), "Alpha news\thttp://host/a\r\nbeta news\thttp://host/b\r\ngamma news\thttp://host/c\r\n");

  // Second visit: one link is new, one is gone; the memo becomes the page's links.
  const std::string second = Visit(
      {{"beta news", "http://host/b"}, {"Delta <news>", "http://host/d?x=1&y=2"}, {"Alpha news", "http://host/a"}});
  EXPECT_EQ(second,
            kLinkHeader + ChannelHead("Page") + LinkItem("Delta &lt;news&gt;", "http://host/d?x=1&amp;y=2") + kFooter);
  EXPECT_EQ(MemoText(),
            "Alpha news\thttp://host/a\r\nbeta news\thttp://host/b\r\nDelta <news>\thttp://host/d?x=1&y=2\r\n");

  // Nothing new: an empty feed.
  EXPECT_EQ(Visit({{"Alpha news", "http://host/a"}}), kLinkHeader + ChannelHead("Page") + kFooter);
}

TEST_F(HtmlToFeedTest, LinksThatNeverBecomeItems) {
  Visit({{"Old story", "http://host/old"}});
  const std::vector<std::pair<std::string, std::string>> page = {
      {"Home", "http://host/home"},                             // short and single-byte
      {"12", "http://host/page2"},                              // short and single-byte
      {J("速報"), "http://host/flash"},                         // short but double-byte
      {"Mail us now", "MAILTO:someone@example.com"},            // built-in exception, any case
      {"Tweet this page", "https://Twitter.com/intent/tweet"},  // built-in exception
      {"OLD STORY", "http://host/old"},                         // remembered, ignoring case
      {"More", "http://host/story"},                            // same address, shorter title
      {"Read the full story", "http://host/story"},
      {"First title", "http://host/twice"},  // same address, same length: the first
      {"Other title", "http://host/twice"},
  };
  EXPECT_EQ(Visit(page), kLinkHeader + ChannelHead("Page") + LinkItem(J("速報"), "http://host/flash") +
                             LinkItem("Read the full story", "http://host/story") +
                             LinkItem("First title", "http://host/twice") + kFooter);
  // Every link of the page is remembered, the left-out ones too.
  EXPECT_EQ(SplitLines(MemoText()).size(), page.size());

  // Without the length rule short titles count; a list of the user's own replaces the
  // built-in fragments.
  settings.HtmlExceptLen = 0;
  exceptions = HtmlExceptionList({"", "/page"});
  EXPECT_EQ(Visit({{"Home", "http://host/home2"}, {"Mail", "mailto:other@example.com"}, {"Two", "http://host/page3"}}),
            kLinkHeader + ChannelHead("Page") + LinkItem("Home", "http://host/home2") +
                LinkItem("Mail", "mailto:other@example.com") + kFooter);
}

TEST_F(HtmlToFeedTest, NothingIsBuiltWhenCancelledOrBroken) {
  std::string output = "untouched";
  aborted = true;
  EXPECT_FALSE(builder.BuildFeedFromLinks(kPage, "Page", {"Some link"}, output, {"http://host/x"}));
  EXPECT_FALSE(testsupport::FileExists(MemoPath()));
  aborted = false;
  EXPECT_FALSE(builder.BuildFeedFromLinks(kPage, "Page", {"Some link"}, output, {}));
  EXPECT_EQ(output, "untouched");

  // A memo that cannot be written: "system" is a file.
  testsupport::TempDir blocked;
  testsupport::WriteFile(blocked / "system", "a file");
  HtmlToFeedServices services = Services();
  services.DataFolder = blocked.Path();
  HtmlToFeed elsewhere(services);
  EXPECT_FALSE(elsewhere.BuildFeedFromLinks(kPage, "Page", {"Some link"}, output, {"http://host/x"}));
  EXPECT_EQ(output, "untouched");
}

TEST_F(HtmlToFeedTest, APageWithoutLinksOnlyRenewsTheMemoDate) {
  Visit({{"Kept link", "http://host/kept"}});
  const std::string before = MemoText();
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 40);
  std::filesystem::last_write_time(MemoPath(), old);
  EXPECT_EQ(Visit({}), kLinkHeader + ChannelHead("Page") + kFooter);
  EXPECT_EQ(MemoText(), before);
  EXPECT_GT(std::filesystem::last_write_time(MemoPath()), old + std::chrono::hours(24 * 39));
}

TEST_F(HtmlToFeedTest, TheExceptionListFile) {
  EXPECT_EQ(HtmlExceptionList::Load(data.Path()).Fragments(),
            (std::vector<std::string>{"https://twitter.com/intent/", "mailto:"}));

  HtmlExceptionList saved;
  ASSERT_TRUE(saved.Save(data.Path(), {"ads.example", "  ", "", J("広告"), "/Track?"}));
  EXPECT_EQ(testsupport::ReadFile(HtmlExceptionList::FilePath(data.Path())),
            "ads.example\r\n" + J("広告") + "\r\n/Track?\r\n");
  EXPECT_EQ(saved.Fragments(), (std::vector<std::string>{"ads.example", J("広告"), "/Track?"}));
  EXPECT_FALSE(saved.ExcludesAddress("mailto:someone@example.com"));
  EXPECT_TRUE(saved.ExcludesAddress("http://host/TRACK?id=1"));
  // Pattern mode compares the link as it is with the lower-cased fragment.
  EXPECT_TRUE(saved.ExcludesLink("http://host/track?id=1"));
  EXPECT_FALSE(saved.ExcludesLink("http://host/TRACK?id=1"));

  testsupport::WriteFile(HtmlExceptionList::FilePath(data.Path()), "one\r\n\r\ntwo\nthree");
  EXPECT_EQ(HtmlExceptionList::Load(data.Path()).Fragments(), (std::vector<std::string>{"one", "", "two", "three"}));
}

class PageEncodings : public ::testing::TestWithParam<const char*> {};

TEST_P(PageEncodings, LinksComeOutInShiftJis) {
  const PageLinks links = ExtractPageLinks(ReadTestData(std::string("html/") + GetParam()), kPage);
  EXPECT_EQ(links.PageTitle, J("日本語のページ ①髙"));
  EXPECT_EQ(links.AnchorCount, 5u);
  EXPECT_EQ(links.LinkTitles, (std::vector<std::string>{J("新着：①髙橋さんの話"), J("このサイトについて"),
                                                        J("外部 & リンク"), J("メール"), "Home"}));
  EXPECT_EQ(links.LinkUrls, (std::vector<std::string>{"http://host/dir/news/1.html", "http://host/about.html",
                                                      "http://other.example/x?a=1&b=2", "mailto:webmaster@example.com",
                                                      "http://host/up.html"}));
}

INSTANTIATE_TEST_SUITE_P(HtmlToFeed, PageEncodings, ::testing::Values("shift_jis.html", "euc-jp.html", "utf-8.html"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find_first_of("-_."));
                         });

TEST(PageLinksTest, TitlesAndAddressesAsTheReaderSeesThem) {
  const std::string page =
      "\xEF\xBB\xBF<html><head><title>T</title><base href=\"/base/\"></head><body>"
      "<a href=\" rel.html \">\xE3\x80\x80 Relative\tlink \xE3\x80\x80</a>"
      "<a href=\"x.html\">&lt;b&gt;Shown &amp;amp; told&lt;/b&gt;&amp;nbsp;</a>"
      "<a href=\"y.html\"><img src=\"pic.png\"></a>"
      "<a href=\"\">No address</a>"
      "<a name=\"top\">No link</a>"
      "<a href=\"http://abs.example/\">Absolute</a>"
      "</body></html>";
  const PageLinks links = ExtractPageLinks(page, "http://host/dir/page.html");
  EXPECT_EQ(links.PageTitle, "T");
  EXPECT_EQ(links.AnchorCount, 4u);
  EXPECT_EQ(links.LinkTitles, (std::vector<std::string>{"Relative link", "Shown & told", "Absolute"}));
  EXPECT_EQ(links.LinkUrls,
            (std::vector<std::string>{"http://host/base/rel.html", "http://host/base/x.html", "http://abs.example/"}));
}

TEST(PageLinksTest, OnlyTheFirstBytesOfAPageAreRead) {
  std::string page = "<a href=1>one</a>";
  const size_t limit = page.size() + 10;
  page += std::string(100, ' ') + "<a href=2>two</a>";
  EXPECT_EQ(ExtractPageLinks(page, kPage, limit).LinkTitles, std::vector<std::string>{"one"});
  EXPECT_EQ(ExtractPageLinks(page, kPage).LinkTitles, (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(ExtractPageLinks("", kPage).LinkTitles.empty());
}

TEST_F(HtmlToFeedTest, LinkModeFetchesThePage) {
  pages[kPage] = FetchResult::Document(ReadTestData("html/shift_jis.html"), "a date");
  FetchResult result = builder.BuildFeedFromLinks(kPage, 42);
  EXPECT_EQ(requestedTimeout, 42);
  ASSERT_EQ(result.status, FetchResult::Status::kDocument);
  EXPECT_EQ(result.bytes, kLinkHeader + ChannelHead(J("日本語のページ ①髙")) + kFooter);
  EXPECT_EQ(SplitLines(MemoText()).size(), 5u);

  pages[kPage] = FetchResult::Document("<html><body>No links at all <a>here</a></body></html>");
  EXPECT_EQ(builder.BuildFeedFromLinks(kPage, 42).status, FetchResult::Status::kNotModified);
  pages.clear();
  result = builder.BuildFeedFromLinks(kPage, 42);
  EXPECT_EQ(result.status, FetchResult::Status::kFailed);
  EXPECT_EQ(result.message, J("応答無し"));
}

// Pattern mode, run directly.
class PatternTest : public HtmlToFeedTest {
 protected:
  // Runs the pattern; the document afterwards, or "failed" when it failed (the page must
  // then be unchanged).
  std::string Run(const std::string& pattern, const std::string& page) {
    std::string document = page;
    if (builder.BuildFeedFromPattern(kPage, pattern, document)) return document;
    EXPECT_EQ(document, page);
    return "failed";
  }
};

TEST_F(PatternTest, EveryPlaceholderFillsItsField) {
  const std::string page =
      "<html><head><title>Blog</title></head><body>\n"
      "<div><span>2024/06/01 12:34:56</span><h3><a href=\"e/1.html\">First &amp; entry</a></h3>"
      "<p class=\"by\">Taro</p><p class=\"cat\">News</p><div class=\"body\">\n  Line one\n  Line two\n</div></div>\n"
      "<div><span>2024/06/02 08:00:00</span><h3><a href=\"http://other/2\"> Second\n entry </a></h3>"
      "<p class=\"by\"></p><p class=\"cat\"></p><div class=\"body\"></div></div>\n"
      "</body></html>";
  const std::string pattern =
      "<span>({y}\\d+)/({m}\\d+)/({D}\\d+) ({h}\\d+):({n}\\d+):({s}\\d+)</span><h3><a href=\"({link}.*)\">"
      "({Title}.*)</a></h3><p class=\"by\">({creator}.*)</p><p class=\"cat\">({category}.*)</p>"
      "<div class=\"body\">({description}.*)</div>";
  EXPECT_EQ(Run(pattern, page), kPatternHeader + ChannelHead("Blog") +
                                    "<item><title>First &amp;amp; entry</title><link>http://host/dir/e/1.html</link>"
                                    "<dc:creator>Taro</dc:creator><category>News</category>"
                                    "<description>Line one\r\n  Line two</description></item>"
                                    "<item><title>Second entry</title><link>http://other/2</link></item>" +
                                    kFooter);
}

TEST_F(PatternTest, HeadingsWithoutLinks) {
  const std::string page = "<title>H</title><h2>One</h2><p>x</p><h2>Two</h2><h2>\r\n</h2><h2>Three</h2>";
  const std::string expected = kPatternHeader + ChannelHead("H") + "<item><title>One</title></item>" +
                               "<item><title>Two</title></item><item><title>Three</title></item>" + kFooter;
  EXPECT_EQ(Run("<h2>({title}.*?)</h2>", page), expected);
  // Plain quantifiers match as little as they can too.
  EXPECT_EQ(Run("<h2>({title}.*)</h2>", page), expected);
  // Only "(?-U)" in the pattern makes them greedy.
  EXPECT_EQ(Run("(?-U)<h2>({title}.*)</h2>", page),
            kPatternHeader + ChannelHead("H") +
                "<item><title>One&lt;/h2&gt;&lt;p&gt;x&lt;/p&gt;&lt;h2&gt;Two&lt;/h2&gt;"
                "&lt;h2&gt;&lt;/h2&gt;&lt;h2&gt;Three</title></item>" +
                kFooter);
}

TEST_F(PatternTest, FieldsAreTheGroupsThePlaceholdersOpen) {
  const std::string page = "<title>P</title><h3>skip|Kept</h3><h2>x|Second</h2>";
  // A plain group and a placeholder of no known name open groups of their own; the
  // fields still read their own groups.
  EXPECT_EQ(Run("<(h2|h3)>({note}.*?)\\|({title}.*?)</", page), kPatternHeader + ChannelHead("P") +
                                                                    "<item><title>Kept</title></item>" +
                                                                    "<item><title>Second</title></item>" + kFooter);
  // A name given twice takes the later group.
  EXPECT_EQ(Run("<h2>({title}.*?)\\|({title}.*?)</h2>", page),
            kPatternHeader + ChannelHead("P") + "<item><title>Second</title></item>" + kFooter);
  // A description alone is enough; matches with neither title nor description are no items.
  EXPECT_EQ(Run("<h[23]>({description}[a-z]*)\\|", page),
            kPatternHeader + ChannelHead("P") + "<item><title></title><description>skip</description></item>" +
                "<item><title></title><description>x</description></item>" + kFooter);
}

TEST_F(PatternTest, FailuresLeaveThePage) {
  const std::string page = "<title>P</title><a href=\"x\">X</a>";
  EXPECT_EQ(Run("<a href=\"({link}.*?)\">", page), "failed");
  EXPECT_EQ(Run("<a href=\"({link}.*?)\">({name}.*?)</a>", page), "failed");
  EXPECT_EQ(Run("<a href=\"({link}.*?)\">({title}(.*?)</a>", page), "failed");
  // A pattern that matches nothing leaves the page to the XML loader.
  EXPECT_EQ(Run("<b>({title}.*?)</b>", page), page);

  // A pattern whose backtracking explodes on the page fails instead of holding the program.
  const std::string longPage = "<title>P</title><p>" + std::string(100'000, 'a') + "!</p>";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run("<p>({title}(a+)+)$", longPage), "failed");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

struct TitleCase {
  const char* name;
  const char* page;
  const char* title;
};

class PageTitles : public ::testing::TestWithParam<TitleCase> {};

TEST_P(PageTitles, ComeFromTheTitleElement) {
  HtmlExceptionList exceptions;
  std::string document = std::string(GetParam().page) + "<h2>x</h2>";
  ASSERT_TRUE(BuildFeedFromPattern(kPage, "<h2>({title}.*?)</h2>", document, exceptions));
  EXPECT_EQ(document, kPatternHeader + ChannelHead(GetParam().title) + "<item><title>x</title></item>" + kFooter);
}

INSTANTIATE_TEST_SUITE_P(HtmlToFeed, PageTitles,
                         ::testing::Values(TitleCase{"Trimmed", "<title>\r\n  Page  title \r\n</title>", "Page  title"},
                                           TitleCase{"UpperCaseTags", "<TITLE>Upper</TITLE>", "Upper"},
                                           TitleCase{"MixedCaseTagsAreNotRead", "<Title>Mixed</Title>",
                                                     "http://host/dir/index.html"},
                                           TitleCase{"Missing", "<p>no title</p>", "http://host/dir/index.html"},
                                           TitleCase{"Escaped", "<title>A &amp; B</title>", "A &amp;amp; B"}),
                         [](const ::testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.name); });

class PatternEncodings : public ::testing::TestWithParam<const char*> {};

TEST_P(PatternEncodings, PagesAreMatchedAsText) {
  HtmlExceptionList exceptions;
  std::string document = ReadTestData(std::string("html/") + GetParam());
  // A pattern with Japanese text of its own, and a character whose second byte in
  // Shift_JIS is a backslash ("ソ" is 0x83 0x5C).
  ASSERT_TRUE(
      BuildFeedFromPattern(kPage, J("<li><a href=\"({link}.*?)\">({title}[^ソ]*?)</a></li>"), document, exceptions));
  EXPECT_EQ(document, kPatternHeader + ChannelHead(J("日本語のページ ①髙")) +
                          LinkItem(J("新着：①髙橋さんの話"), "http://host/dir/news/1.html") +
                          LinkItem(J("このサイトについて"), "http://host/about.html") +
                          LinkItem(J("外部 &amp;amp; リンク"), "http://other.example/x?a=1&amp;amp;b=2") +
                          LinkItem("Home", "http://host/dir/../up.html") + kFooter);
}

INSTANTIATE_TEST_SUITE_P(HtmlToFeed, PatternEncodings, ::testing::Values("shift_jis.html", "euc-jp.html", "utf-8.html"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find_first_of("-_."));
                         });

// The generated documents on their way through feed processing.
class HtmlChannels : public FeedFixture, public ::testing::Test {
 protected:
  HtmlChannels() : html(HtmlServices()), htmlProcessor(ProcessorServices()) {}

  HtmlToFeedServices HtmlServices() {
    return {settings, exceptions, data.Path(), [this](const std::string& address, int) {
              const auto page = pages.find(address);
              return page == pages.end() ? FetchResult::Failed(J("応答無し")) : page->second;
            }};
  }

  FeedServices ProcessorServices() {
    FeedServices services = Services();
    services.HtmlBuilder = &html;
    return services;
  }

  store::TTreeNodeExt* HtmlChannel(const std::string& regexpr = {}) {
    store::TTreeNodeExt* node = AddChannel(kPage);
    ChannelOf(node).htmlrss = 1;
    ChannelOf(node).regexpr = regexpr;
    return node;
  }

  uint8_t Fetch(store::TTreeNodeExt* node) {
    return htmlProcessor.ProcessFeedDocument(node, lastOutNode, std::nullopt, "", kFeedUpdate, false, {});
  }

  uint8_t Process(store::TTreeNodeExt* node, const std::string& page) {
    return htmlProcessor.ProcessFeedDocument(node, lastOutNode, page, kPage, kFeedUpdate, false, {});
  }

  testsupport::TempDir data;
  HtmlExceptionList exceptions;
  std::map<std::string, FetchResult> pages;
  HtmlToFeed html;
  FeedProcessor htmlProcessor;
};

TEST_F(HtmlChannels, LinkMode) {
  store::TTreeNodeExt* node = HtmlChannel();
  const std::string page = ReadTestData("html/euc-jp.html");
  pages[kPage] = FetchResult::Document(page);
  EXPECT_EQ(Fetch(node), kFeedUnchanged);
  EXPECT_EQ(ChannelOf(node).Site.title, J("日本語のページ ①髙"));
  EXPECT_EQ(ChannelOf(node).Count(), 0u);

  std::string changed = page;
  changed.insert(changed.find("</ul>"), "<li><a href=\"news/2.html\">Second story</a></li>\n");
  pages[kPage] = FetchResult::Document(changed);
  EXPECT_EQ(Fetch(node), kFeedNewItems);
  ASSERT_EQ(ChannelOf(node).Count(), 1u);
  EXPECT_EQ(ChannelOf(node).Items()[0]->title, "Second story");
  EXPECT_EQ(ChannelOf(node).Items()[0]->link, "http://host/dir/news/2.html");
  EXPECT_EQ(node->Kind(), store::kKindChannel);

  pages[kPage] = FetchResult::Document("<html><body>Nothing to follow</body></html>");
  EXPECT_EQ(Fetch(node), kFeedNoDocument);
  pages.clear();
  EXPECT_EQ(Fetch(node), kFeedFetchFailed);
  EXPECT_EQ(ChannelOf(node).Count(), 1u);
}

TEST_F(HtmlChannels, PatternMode) {
  store::TTreeNodeExt* node = HtmlChannel(J("<li><a href=\"({link}.*?)\">({title}.*?)</a></li>"));
  EXPECT_EQ(Process(node, ReadTestData("html/utf-8.html")), kFeedNewItems);
  EXPECT_EQ(ChannelOf(node).Site.title, J("日本語のページ ①髙"));
  ASSERT_EQ(ChannelOf(node).Count(), 4u);
  std::vector<std::string> titles;
  for (const auto& item : ChannelOf(node).Items()) titles.push_back(item->title);
  // The store keeps items oldest first, and the first item of a document is the newest.
  EXPECT_EQ(titles,
            (std::vector<std::string>{"Home", J("外部 & リンク"), J("このサイトについて"), J("新着：①髙橋さんの話")}));

  ChannelOf(node).regexpr = "<li><a href=\"({link}.*?)\">";
  EXPECT_EQ(Process(node, ReadTestData("html/utf-8.html")), kFeedNotAFeed);
  ChannelOf(node).regexpr = "<p>({title}(a+)+)$";
  EXPECT_EQ(Process(node, "<p>" + std::string(50'000, 'a') + "!</p>"), kFeedNotAFeed);
  EXPECT_EQ(ChannelOf(node).Count(), 4u);
}

}  // namespace
}  // namespace formats::testing
