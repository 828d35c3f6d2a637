// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/HtmlDocument.h"

namespace platform {
namespace {

std::vector<std::string> Texts(const HtmlDocument& document) {
  std::vector<std::string> texts;
  for (const HtmlAnchor& anchor : document.Anchors()) texts.push_back(anchor.text);
  return texts;
}

std::vector<std::string> Hrefs(const HtmlDocument& document) {
  std::vector<std::string> hrefs;
  for (const HtmlAnchor& anchor : document.Anchors()) hrefs.push_back(anchor.href);
  return hrefs;
}

TEST(HtmlDocument, TitleAndAnchorsAsAReaderSeesThem) {
  const HtmlDocument document = HtmlDocument::Parse(
      "<html><head><TITLE>\n  My   &amp; \xE3\x81\x82<br>page\n</TITLE>"
      "<base href='http://base/'><base href='http://second/'></head><body>"
      "<a href='one.html'>  Plain\n   text  </a>"
      "<A HREF=\"two.html\"><b>Bold</b> and <i>italic</i></A>"
      "<a href=three.html>line<br>break&nbsp;and&lt;b&gt;</a>"
      "<a href=four.html>before<script>var x = '<a>';</script><style>a{}</style>after</a>"
      "<a name=anchor>no link</a>"
      "<a href=''><img src=x alt=picture></a>"
      "</body></html>");
  EXPECT_EQ(document.Title(), "My & \xE3\x81\x82 page");
  EXPECT_EQ(document.BaseHref(), "http://base/");
  EXPECT_EQ(Texts(document), (std::vector<std::string>{" Plain text ", "Bold and italic", "line\nbreak and<b>",
                                                       "beforeafter", "no link", ""}));
  EXPECT_EQ(Hrefs(document), (std::vector<std::string>{"one.html", "two.html", "three.html", "four.html", "", ""}));
}

TEST(HtmlDocument, BrokenMarkupIsRepaired) {
  const HtmlDocument document = HtmlDocument::Parse(
      "</a><p><a href=1>one<a href=2>two</p><table><tr><td><a href=3>three</table></div></a>"
      "<a href=\"4\" href=\"5\">four</a><a href=6>six");
  EXPECT_EQ(Texts(document), (std::vector<std::string>{"one", "two", "three", "four", "six"}));
  EXPECT_EQ(Hrefs(document), (std::vector<std::string>{"1", "2", "3", "4", "6"}));
  EXPECT_EQ(document.Title(), "");
  EXPECT_EQ(document.BaseHref(), "");
}

TEST(HtmlDocument, BadBytesDoNotEndThePage) {
  const std::string page = std::string("<title>a\xFF") + '\0' + "b</title><a href=x>c" + '\0' + "d</a><a href=y>e</a>";
  const HtmlDocument document = HtmlDocument::Parse(page);
  EXPECT_EQ(document.Title(),
            "a\xEF\xBF\xBD\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Texts(document), (std::vector<std::string>{"c\xEF\xBF\xBD"
                                                       "d",
                                                       "e"}));
}

TEST(HtmlDocument, TheDeclaredCharsetIsIgnored) {
  // The caller converted the page to UTF-8 already; the label it kept must not make the
  // parser read the bytes a second time as Shift_JIS.
  const HtmlDocument document = HtmlDocument::Parse(
      "<html><head><meta http-equiv='Content-Type' content='text/html; charset=Shift_JIS'>"
      "<meta charset='euc-jp'><title>\xE6\x97\xA5\xE6\x9C\xAC</title></head>"
      "<body><a href=x>\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88</a></body></html>");
  EXPECT_EQ(document.Title(), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(Texts(document), std::vector<std::string>{"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"});
}

TEST(HtmlDocument, EmptyAndHostilePagesGiveWhatTheyHold) {
  EXPECT_TRUE(HtmlDocument::Parse("").Anchors().empty());
  EXPECT_TRUE(HtmlDocument::Parse("just text, no markup").Anchors().empty());

  // Nesting far deeper than any page: walking and freeing the tree must not recurse.
  std::string deep;
  for (int i = 0; i < 200'000; ++i) deep += "<div><span>";
  deep += "<a href=deep>bottom</a>";
  const HtmlDocument nested = HtmlDocument::Parse(deep);
  EXPECT_EQ(Texts(nested), std::vector<std::string>{"bottom"});

  // A link in every one of many elements left open: the page is read in pieces, and
  // every link is found.
  std::string unclosed;
  for (int i = 0; i < 5'000; ++i) {
    unclosed += "<font color=red><a href=" + std::to_string(i) + ">" + std::to_string(i) + "</a>";
  }
  const std::vector<HtmlAnchor> anchors = HtmlDocument::Parse(unclosed).Anchors();
  ASSERT_EQ(anchors.size(), 5'000u);
  for (size_t i = 0; i < anchors.size(); ++i) {
    ASSERT_EQ(anchors[i].href, std::to_string(i));
    ASSERT_EQ(anchors[i].text, std::to_string(i));
  }

  HtmlDocument moved = HtmlDocument::Parse("<a href=m>moved</a>");
  HtmlDocument target = std::move(moved);
  EXPECT_EQ(Texts(target), std::vector<std::string>{"moved"});
  target = HtmlDocument::Parse("<title>again</title>");
  EXPECT_EQ(target.Title(), "again");
}

TEST(HtmlDocument, BodyMarkupKeepsWhatTheBodyHolds) {
  const HtmlDocument document = HtmlDocument::Parse(
      "<html><head><title>t</title><style>a > b { color: red }</style></head><BODY>\r\n"
      "<A HREF=\"$CHANNEL_FEED$\" title='say \"hi\"' class=x>[rss] a&amp;b &lt;c&gt; \xE2\x98\x85</a><BR>\r\n"
      "<!-- note --><td data-empty><input type=checkbox checked disabled><div></div><p>open"
      "<script>if (a < b && c) {}</script><img src=\"$ANCHOR$ x.png\">"
      "</body></html>");
  EXPECT_EQ(document.BodyMarkup(),
            "\r\n<a href=\"$CHANNEL_FEED$\" title=\"say &quot;hi&quot;\" class=\"x\">[rss] a&amp;b &lt;c&gt; "
            "\xE2\x98\x85</a><br>\r\n<!-- note --><td data-empty><input type=\"checkbox\" checked=\"checked\" "
            "disabled=\"disabled\"><div></div><p>open<script>if (a < b && c) {}</script>"
            "<img src=\"$ANCHOR$ x.png\"></p></td>");
  EXPECT_EQ(document.FirstStyleSheet(), "a > b { color: red }");
}

// Markup written back is read again by a browser: an attribute value cannot end an
// element that reads its content raw, and void elements get no stray end tags.
TEST(HtmlDocument, BodyMarkupEscapesAngleBracketsInAttributesAndEndsNoVoidElement) {
  const HtmlDocument document = HtmlDocument::Parse(
      "<body><noscript><p title=\"</noscript><img src=x>\">x</p></noscript>a<wbr>b<embed src=e>c</body>");
  EXPECT_EQ(document.BodyMarkup(),
            "<noscript><p title=\"&lt;/noscript&gt;&lt;img src=x&gt;\">x</p></noscript>a<wbr>b<embed src=\"e\">c");
}

TEST(HtmlDocument, BodyMarkupAndStyleSheetOfPagesWithout) {
  const HtmlDocument plain = HtmlDocument::Parse("<p>text</p><style>p{}</style><style>q{}</style>");
  EXPECT_EQ(plain.BodyMarkup(), "<p>text</p><style>p{}</style><style>q{}</style>");
  EXPECT_EQ(plain.FirstStyleSheet(), "p{}");
  const HtmlDocument empty = HtmlDocument::Parse("");
  EXPECT_EQ(empty.BodyMarkup(), "");
  EXPECT_EQ(empty.FirstStyleSheet(), "");
  EXPECT_EQ(HtmlDocument::Parse("<html><head><title>only</title></head></html>").BodyMarkup(), "");

  // A page cut into pieces gives the bodies of all of them, in page order.
  std::string unclosed;
  for (int i = 0; i < 300; ++i) unclosed += "<b>" + std::to_string(i % 10);
  const std::string markup = HtmlDocument::Parse(unclosed).BodyMarkup();
  size_t digits = 0;
  for (const char c : markup) digits += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
  EXPECT_EQ(digits, 300u);
  EXPECT_EQ(markup.substr(0, 8), "<b>0<b>1");
}

// A link counts wherever the parser puts it, head or body; one inside a comment or a
// script is text, not an element.
TEST(HtmlDocument, LinkElementsInHeadAndBody) {
  const HtmlDocument document = HtmlDocument::Parse(
      "<html><head><title>t</title>"
      "<!-- <link rel=\"alternate\" type=\"application/rss+xml\" href=\"/old.xml\"> -->"
      "<LINK REL=\"Alternate\" TYPE=\"application/RSS+xml\" HREF=\"/feed?a=1&amp;b=&lt;2&gt;&#x3042;\" "
      "title='say \"hi\"'>"
      "<script>document.write('<link rel=alternate href=script.xml>');</script></head>"
      "<body><p>text<link rel=stylesheet href=body.css></p><linker href=no><link></body></html>");
  const std::vector<HtmlLinkElement> links = document.LinkElements();
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].href, "/feed?a=1&b=<2>\xE3\x81\x82");
  EXPECT_EQ(links[0].rel, "Alternate");
  EXPECT_EQ(links[0].type, "application/RSS+xml");
  EXPECT_EQ(links[0].markup,
            "<link rel=\"Alternate\" type=\"application/RSS+xml\" href=\"/feed?a=1&amp;b=&lt;2&gt;\xE3\x81\x82\" "
            "title=\"say &quot;hi&quot;\">");
  EXPECT_EQ(links[1].href, "body.css");
  EXPECT_EQ(links[1].rel, "stylesheet");
  EXPECT_EQ(links[1].type, "");
  EXPECT_EQ(links[1].markup, "<link rel=\"stylesheet\" href=\"body.css\">");
  EXPECT_EQ(links[2].markup, "<link>");
  EXPECT_EQ(links[2].href, "");
}

TEST(HtmlDocument, LinkElementsOfEveryPieceOfACutPage) {
  EXPECT_TRUE(HtmlDocument::Parse("").LinkElements().empty());
  std::string unclosed = "<link rel=first href=1>";
  for (int i = 0; i < 300; ++i) unclosed += "<div>";
  unclosed += "<link rel=last href=2>";
  const std::vector<HtmlLinkElement> links = HtmlDocument::Parse(unclosed).LinkElements();
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].rel + links[1].rel, "firstlast");
}

// One way a file names its character set, and the title it must give.
struct CharsetCase {
  const char* name;
  std::string bytes;
  const char* title;  // UTF-8
};

class DeclaredCharset : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(DeclaredCharset, IsRead) {
  EXPECT_EQ(HtmlDocument::ParseDeclared(GetParam().bytes).Title(), GetParam().title);
}

// "日本①" in each encoding; ① has no plain Shift_JIS or EUC-JP code, only the Microsoft ones.
const std::string kSjis = "\x93\xFA\x96\x7B\x87\x40";
const std::string kEuc = "\xC6\xFC\xCB\xDC\xAD\xA1";
const std::string kUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x91\xA0";
const char* const kTitle = "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x91\xA0";

std::string Page(const std::string& head, const std::string& title) {
  return "<html><head>" + head + "<title>" + title + "</title></head><body></body></html>";
}

INSTANTIATE_TEST_SUITE_P(
    HtmlDocument, DeclaredCharset,
    ::testing::Values(
        CharsetCase{"MetaCharsetShiftJis", Page("<meta charset=\"Shift_JIS\">", kSjis), kTitle},
        CharsetCase{"HttpEquivShiftJis",
                    Page("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; Charset = x-sjis\">", kSjis), kTitle},
        CharsetCase{"HttpEquivEucJp", Page("<meta http-equiv=Content-Type content='text/html;charset=EUC-JP'>", kEuc),
                    kTitle},
        CharsetCase{"FirstLabelWins", Page("<meta charset=euc-jp><meta charset=shift_jis>", kEuc), kTitle},
        CharsetCase{"Latin1", Page("<meta charset=iso-8859-1>", "caf\xE9"), "caf\xC3\xA9"},
        CharsetCase{"Iso2022Jp", Page("<meta charset=iso-2022-jp>", "\x1B$BF|K\\\x1B(B"), "\xE6\x97\xA5\xE6\x9C\xAC"},
        CharsetCase{"Utf8Label", Page("<meta charset=utf-8>", kUtf8 + "\x93"),
                    "\xE6\x97\xA5\xE6\x9C\xAC\xE2\x91\xA0\xEF\xBF\xBD"},
        CharsetCase{"Utf16LabelMeansUtf8", Page("<meta charset=utf-16>", kUtf8), kTitle},
        CharsetCase{"NoLabelUtf8", Page("", kUtf8), kTitle},
        CharsetCase{"NoLabelNotUtf8IsShiftJis", Page("", kSjis), kTitle},
        CharsetCase{"UnknownLabel", Page("<meta charset=no-such-charset>", kUtf8), kTitle},
        CharsetCase{"UnknownLabelNotUtf8", Page("<meta charset=no-such-charset>", kSjis), kTitle},
        CharsetCase{"Utf8Bom", "\xEF\xBB\xBF" + Page("<meta charset=shift_jis>", kUtf8), kTitle},
        CharsetCase{"Utf16LeBom",
                    std::string("\xFF\xFE<\0t\0i\0t\0l\0e\0>\0\xE5\x65\x2C\x67<\0/\0t\0i\0t\0l\0e\0>\0", 36),
                    "\xE6\x97\xA5\xE6\x9C\xAC"},
        CharsetCase{"BadBytesInTheLabelledCharset", Page("<meta charset=euc-jp>", "\xC6\xFC\xFF"),
                    "\xE6\x97\xA5\xEF\xBF\xBD"}),
    [](const ::testing::TestParamInfo<CharsetCase>& info) { return std::string(info.param.name); });

struct ResolveCase {
  const char* name;
  const char* base;
  const char* reference;
  const char* expected;
};

class Resolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(Resolve, AsABrowserDoes) {
  EXPECT_EQ(ResolveUri(GetParam().base, GetParam().reference), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    HtmlDocument, Resolve,
    ::testing::Values(
        ResolveCase{"RelativePath", "http://host/dir/index.html", "news/1.html", "http://host/dir/news/1.html"},
        ResolveCase{"ParentSegments", "http://host/a/b/c.html", "../../x/./y.html", "http://host/x/y.html"},
        ResolveCase{"TooManyParents", "http://host/a/b", "../../../x", "http://host/x"},
        ResolveCase{"RootPath", "http://host/dir/page", "/top.html", "http://host/top.html"},
        ResolveCase{"NetworkPath", "https://host/dir/", "//other/x", "https://other/x"},
        ResolveCase{"QueryOnly", "http://host/dir/index.html?a=1", "?q=2", "http://host/dir/index.html?q=2"},
        ResolveCase{"FragmentOnly", "http://host/dir/index.html", "#top", "http://host/dir/index.html#top"},
        ResolveCase{"HostWithoutPath", "http://host", "a.html", "http://host/a.html"},
        ResolveCase{"Absolute", "http://host/dir/", "  https://other/Path?x=1  ", "https://other/Path?x=1"},
        ResolveCase{"OtherSchemesStay", "http://host/dir/", "mailto:someone@example.com", "mailto:someone@example.com"},
        ResolveCase{"BlanksAndLineBreaks", "http://host/dir/", "a b\r\n/c\td.html", "http://host/dir/a%20b/cd.html"},
        ResolveCase{"NonAscii", "http://host/dir/", "\xE6\x97\xA5.html", "http://host/dir/%E6%97%A5.html"},
        ResolveCase{"UnsafeCharacters", "http://host/dir/", "a|b{c}", "http://host/dir/a%7Cb%7Bc%7D"},
        ResolveCase{"StrayPercentAndHash", "http://host/dir/", "100%/x%41#a#b", "http://host/dir/100%25/x%41#a%23b"},
        ResolveCase{"EscapesStayEscaped", "http://host/dir/", "a%2Fb%3Fc?q=%26", "http://host/dir/a%2Fb%3Fc?q=%26"},
        ResolveCase{"EmptyReferenceDropsTheFragment", "http://host/d/p?q#f", "", "http://host/d/p?q"},
        ResolveCase{"BaseWithBlank", "http://host/my dir/", "x", "http://host/my%20dir/x"},
        ResolveCase{"Ipv6Host", "http://[::1]/a/", "b", "http://[::1]/a/b"},
        ResolveCase{"LocalPath", "/home/user/page.html", "next.html", "/home/user/next.html"},
        ResolveCase{"NoBase", "", "next.html", "next.html"}),
    [](const ::testing::TestParamInfo<ResolveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform
