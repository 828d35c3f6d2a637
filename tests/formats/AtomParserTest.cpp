// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/FeedTestSupport.h"
#include "formats/feeds/AtomParser.h"
#include "text/Literal.h"

namespace formats::testing {
namespace {

using store::TSiteRecord;
using text::J;

class AtomEntries : public FeedFixture, public ::testing::Test {
 protected:
  const store::TSiteList& Read(const std::string& feed) {
    store::TTreeNodeExt* node = AddChannel();
    result_ = Update(node, feed);
    return ChannelOf(node);
  }
  uint8_t result_ = 0;
};

std::string Atom10(const std::string& entries) {
  return "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>F</title>" + entries + "</feed>";
}

struct EntryCase {
  const char* name;
  const char* entry;  // the children of one <entry>
  std::string TSiteRecord::*field;
  const char* expected;
};

class AtomEntryField : public AtomEntries, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(AtomEntryField, Reads) {
  const store::TSiteList& channel = Read(Atom10(std::string("<entry>") + GetParam().entry + "</entry>"));
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->*GetParam().field, J(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Atom, AtomEntryField,
    ::testing::Values(
        EntryCase{"HtmlContentIsMarkup", "<title>t</title><content type=\"html\">&lt;p&gt;Hi&lt;/p&gt;</content>",
                  &TSiteRecord::en_cd, "<p>Hi</p>"},
        EntryCase{"HtmlContentGivesNoDesc", "<title>t</title><content type=\"html\">&lt;p&gt;Hi&lt;/p&gt;</content>",
                  &TSiteRecord::desc, ""},
        EntryCase{"XhtmlContentIsTheDiv",
                  "<title>t</title><content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">a<br/>b</div>"
                  "</content>",
                  &TSiteRecord::en_cd, "<div xmlns=\"http://www.w3.org/1999/xhtml\">a<br/>b</div>"},
        EntryCase{"CDataHtmlContentIsRead", "<title>t</title><content type=\"html\"><![CDATA[<i>c</i>]]></content>",
                  &TSiteRecord::en_cd, "<i>c</i>"},
        EntryCase{"TextContentIsDesc", "<title>t</title><content type=\"text\">a &amp;lt; b</content>",
                  &TSiteRecord::desc, "a < b"},
        EntryCase{"PlainTitle", "<title>Plain</title>", &TSiteRecord::title, "Plain"},
        EntryCase{"HtmlTitle", "<title type=\"html\">&lt;b&gt;Bold&lt;/b&gt; &amp;amp; more</title>",
                  &TSiteRecord::title, "Bold & more"},
        EntryCase{"LanguageOnlyTitleFallsBackToDescription",
                  "<title xml:lang=\"en\">Text</title><summary>From summary</summary>", &TSiteRecord::title,
                  "From summary"},
        EntryCase{"AlternateAfterSelf",
                  "<title>t</title><link rel=\"self\" href=\"a\"/><link rel=\"alternate\" href=\"b\"/>",
                  &TSiteRecord::link, "b"},
        EntryCase{"SelfOnly", "<title>t</title><link rel=\"self\" href=\"a\"/>", &TSiteRecord::link, "a"},
        EntryCase{"EnclosureLink", "<title>t</title><link rel=\"enclosure\" href=\"x.mp3\"/>", &TSiteRecord::enclose,
                  "x.mp3"},
        EntryCase{"EnclosureBecomesLink", "<title>t</title><link rel=\"enclosure\" href=\"x.mp3\"/>",
                  &TSiteRecord::link, "x.mp3"},
        EntryCase{"PublishedBeforeUpdated",
                  "<title>t</title><updated>2024-05-02T00:00:00Z</updated><published>2024-05-01T00:00:00Z</published>",
                  &TSiteRecord::pubdate, "2024-05-01T00:00:00Z"},
        EntryCase{"IssuedBeforeModified",
                  "<title>t</title><modified>2024-05-02T00:00:00Z</modified><issued>2024-05-01T00:00:00Z</issued>",
                  &TSiteRecord::pubdate, "2024-05-01T00:00:00Z"},
        EntryCase{"PublishedWithoutUpdated", "<title>t</title><published>2024-05-01T00:00:00Z</published>",
                  &TSiteRecord::pubdate, "2024-05-01T00:00:00Z"},
        EntryCase{"IssuedWithoutModified", "<title>t</title><issued>2024-05-01T00:00:00Z</issued>",
                  &TSiteRecord::pubdate, "2024-05-01T00:00:00Z"},
        EntryCase{"CreatedWithoutModified", "<title>t</title><created>2024-05-01T00:00:00Z</created>",
                  &TSiteRecord::pubdate, "2024-05-01T00:00:00Z"},
        EntryCase{"HtmlContentOnlyGivesTitle", "<content type=\"html\">&lt;p&gt;Hi&lt;/p&gt;</content>",
                  &TSiteRecord::title, "Hi"},
        EntryCase{"TextContentOnlyGivesTitle", "<content>plain</content>", &TSiteRecord::title, "plain"},
        EntryCase{"HtmlSummaryOnlyGivesTitle", "<summary type=\"html\">&lt;i&gt;S&lt;/i&gt;</summary>",
                  &TSiteRecord::title, "S"},
        EntryCase{"TextSummaryOnlyGivesTitle", "<summary>plain summary</summary>", &TSiteRecord::title,
                  "plain summary"},
        EntryCase{"CategoryTerm", "<title>t</title><category term=\"a&amp;b\"/><dc:subject>s</dc:subject>",
                  &TSiteRecord::category, "a&b"}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST_F(AtomEntries, Atom03EscapedContent) {
  const store::TSiteList& channel = Read(
      "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><title>F</title><entry><title>t</title>"
      "<content mode=\"escaped\" type=\"text/html\">&lt;b&gt;x&lt;/b&gt;</content></entry></feed>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->en_cd, "<b>x</b>");
}

TEST_F(AtomEntries, Atom02TextHtmlIsMarkup) {
  const store::TSiteList& channel = Read(
      "<feed version=\"0.2\"><title>F</title><entry><title>t</title>"
      "<content type=\"text/html\"><p>x</p></content></entry></feed>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->en_cd, "<p>x</p>");
}

TEST_F(AtomEntries, FeedWithoutVersionParsesAndFeedBaseResolvesLinks) {
  const store::TSiteList& channel = Read(
      "<feed xml:base=\"http://host/a/\"><title>F</title><link href=\"/top.html\"/>"
      "<entry><title>1</title><link href=\"b.html\"/></entry>"
      "<entry><title>2</title><link href=\"/c.html\"/></entry>"
      "<entry xml:base=\"sub/\"><title>3</title><link href=\"d.html\"/></entry></feed>");
  EXPECT_EQ(result_, kFeedNewItems);
  EXPECT_EQ(channel.Site.link, "http://host/top.html");
  ASSERT_EQ(channel.Count(), 3u);
  // Undated entries sort oldest first, the last entry of the document first.
  EXPECT_EQ(channel.ItemAt(2)->link, "http://host/a/b.html");
  EXPECT_EQ(channel.ItemAt(1)->link, "http://host/c.html");
  EXPECT_EQ(channel.ItemAt(0)->link, "http://host/a/sub/d.html");
}

TEST_F(AtomEntries, MultipartAlternativeTakesItsParts) {
  const store::TSiteList& channel = Read(
      "<feed version=\"0.3\"><title>F</title><entry><title>t</title><content type=\"multipart/alternative\">"
      "<content type=\"text/plain\">plain</content><content type=\"text/html\" mode=\"escaped\">&lt;b&gt;m&lt;/b&gt;"
      "</content></content></entry></feed>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->desc, "plain");
  EXPECT_EQ(channel.ItemAt(0)->en_cd, "<b>m</b>");
}

// An entry with only content is listed even when the texts are not kept, and a second
// read of the same feed adds nothing.
TEST_F(AtomEntries, ContentOnlyEntryWithoutTextsKeptOnce) {
  settings.SupportTags = 0;
  store::TTreeNodeExt* node = AddChannel();
  const std::string feed = Atom10("<entry><content type=\"html\">&lt;p&gt;Body&lt;/p&gt;</content></entry>");
  Update(node, feed);
  ASSERT_EQ(ChannelOf(node).Count(), 1u);
  EXPECT_EQ(ChannelOf(node).ItemAt(0)->title, "Body");
  Update(node, feed);
  EXPECT_EQ(ChannelOf(node).Count(), 1u);
}

TEST_F(AtomEntries, SupportTagsZeroDropsBaseAndTexts) {
  settings.SupportTags = 0;
  const store::TSiteList& channel =
      Read(Atom10("<entry><title>t</title><content type=\"html\" xml:base=\"http://b/\">&lt;p&gt;</content></entry>"));
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->en_cd, "");
  EXPECT_EQ(channel.ItemAt(0)->xmlbase, "");
}

struct ResolveCase {
  const char* base;
  const char* address;
  const char* expected;
};

class Resolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(Resolve, Address) {
  EXPECT_EQ(ResolveAddress(GetParam().base, GetParam().address), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Atom, Resolve,
                         ::testing::Values(ResolveCase{"http://host/a/", "b.html", "http://host/a/b.html"},
                                           ResolveCase{"http://host/a/", "/c.html", "http://host/c.html"},
                                           ResolveCase{"http://host", "/c.html", "http://host/c.html"},
                                           ResolveCase{"http://host", "c.html", "http://host/c.html"},
                                           ResolveCase{"http://host/a/x.xml", "../d", "http://host/a/../d"},
                                           ResolveCase{"http://host/a/", "https://other/", "https://other/"},
                                           ResolveCase{"https://host/a/", "//cdn/x", "https://cdn/x"},
                                           ResolveCase{"/home/u/feed.xml", "/c.html", "/home/u/c.html"},
                                           ResolveCase{"http://host/a/", "", "http://host/a/"}));

TEST(AtomRawMarkup, Test) {
  auto element = [](const char* name, std::vector<std::pair<const char*, const char*>> attributes) {
    TXMLItemType record;
    record.Name = name;
    if (!attributes.empty()) record.Attributes = std::make_unique<TXMLList>();
    for (const auto& [attributeName, value] : attributes) {
      auto attribute = std::make_unique<TXMLItemType>();
      attribute->Kind = kXmlAttribute;
      attribute->Name = attributeName;
      attribute->Text = value;
      record.Attributes->push_back(std::move(attribute));
    }
    return record;
  };
  EXPECT_TRUE(AtomRawMarkupTest(element("content", {{"type", "XHTML"}}), 0));
  EXPECT_TRUE(AtomRawMarkupTest(element("Summary", {{"type", "html"}}), 0));
  EXPECT_TRUE(AtomRawMarkupTest(element("tagline", {{"mode", "xml"}, {"type", "text"}}), 3000));
  EXPECT_FALSE(AtomRawMarkupTest(element("content", {{"mode", "escaped"}, {"type", "html"}}), 3000));
  EXPECT_FALSE(AtomRawMarkupTest(element("content", {{"type", "text/html"}}), 3000));
  EXPECT_TRUE(AtomRawMarkupTest(element("content", {{"type", "text/html"}}), kAtom02Version));
  EXPECT_FALSE(AtomRawMarkupTest(element("subtitle", {{"type", "html"}}), 0));
  EXPECT_FALSE(AtomRawMarkupTest(element("title", {}), 0));
}

}  // namespace
}  // namespace formats::testing
