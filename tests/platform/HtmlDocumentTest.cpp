// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

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
