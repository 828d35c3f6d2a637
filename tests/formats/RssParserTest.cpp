// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/FeedTestSupport.h"
#include "formats/feeds/private/RssParser.h"
#include "formats/xml/XmlLoader.h"
#include "text/Literal.h"

namespace formats::testing {
namespace {

using store::TSiteRecord;
using text::J;

std::string Rss(const std::string& items) {
  return "<rss version=\"2.0\" xmlns:dc=\"urn:dc\" xmlns:content=\"urn:content\"><channel><title>C</title>" + items +
         "</channel></rss>";
}

class RssItems : public FeedFixture, public ::testing::Test {
 protected:
  // The channel's items after reading `items` inside an RSS 2.0 channel, in document
  // order (every item here is undated or dated in order).
  const store::TSiteList& Read(const std::string& items) {
    node_ = AddChannel();
    Update(node_, Rss(items));
    return ChannelOf(node_);
  }
  store::TTreeNodeExt* node_ = nullptr;
};

// One item, one field: the table of the element rules that decide it.
struct FieldCase {
  const char* name;
  const char* item;  // the children of one <item>, UTF-8
  std::string TSiteRecord::*field;
  const char* expected;  // UTF-8
};

class RssItemField : public RssItems, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(RssItemField, Reads) {
  const store::TSiteList& channel = Read(std::string("<item>") + GetParam().item + "</item>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->*GetParam().field, J(GetParam().expected));
}

constexpr const char* kLongDescription =
    "<description>あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン</description>";

INSTANTIATE_TEST_SUITE_P(
    Rss, RssItemField,
    ::testing::Values(
        FieldCase{"PermaLinkGuidIsLink", "<title>t</title><guid isPermaLink=\"TRUE\">u</guid>", &TSiteRecord::link,
                  "u"},
        FieldCase{"PlainGuidIsNoLink", "<title>t</title><guid>u</guid>", &TSiteRecord::link, ""},
        FieldCase{"GuidAfterLinkIgnored", "<title>t</title><link>l</link><guid isPermaLink=\"true\">u</guid>",
                  &TSiteRecord::link, "l"},
        FieldCase{"CategoryBeforeSubject", "<title>t</title><category>a</category><dc:subject>b</dc:subject>",
                  &TSiteRecord::category, "a"},
        FieldCase{"SubjectBeforeCategory", "<title>t</title><dc:subject>b</dc:subject><category>a</category>",
                  &TSiteRecord::category, "a"},
        FieldCase{"PubDateBeatsLaterLastBuildDate",
                  "<title>t</title><pubDate>Mon, 20 May 2024 03:00:00 GMT</pubDate>"
                  "<lastBuildDate>Tue, 21 May 2024 03:00:00 GMT</lastBuildDate>",
                  &TSiteRecord::pubdate, "Mon, 20 May 2024 03:00:00 GMT"},
        FieldCase{"PubDateReplacesEarlierLastBuildDate",
                  "<title>t</title><lastBuildDate>Tue, 21 May 2024 03:00:00 GMT</lastBuildDate>"
                  "<PUBDATE>Mon, 20 May 2024 03:00:00 GMT</PUBDATE>",
                  &TSiteRecord::pubdate, "Mon, 20 May 2024 03:00:00 GMT"},
        FieldCase{"MarkupInTitleStripped", "<title>&lt;b&gt;x&lt;/b&gt; &amp;amp; y </title>", &TSiteRecord::title,
                  "x & y"},
        FieldCase{"TitleFromLongDescription", kLongDescription, &TSiteRecord::title,
                  "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ..."},
        FieldCase{"TitleFromDescriptionMarkup", "<description><![CDATA[<p>Hello\r\n world</p>]]></description>",
                  &TSiteRecord::title, "Hello world"},
        FieldCase{"MediaEnclosureWinsOverEarlier",
                  "<title>t</title><enclosure url=\"a.jpg\"/><enclosure url=\"b.mp3\"/>", &TSiteRecord::enclose,
                  "b.mp3"},
        FieldCase{"FirstMediaEnclosureKept", "<title>t</title><enclosure url=\"a.mp3\"/><enclosure url=\"b.jpg\"/>",
                  &TSiteRecord::enclose, "a.mp3"},
        FieldCase{"EnclosureIsLinkWithoutLink", "<title>t</title><enclosure url=\"a.jpg\"/>", &TSiteRecord::link,
                  "a.jpg"},
        FieldCase{"ExtensionAfterColonIsNone", "<title>t</title><enclosure url=\"x.mp3:1\"/><enclosure url=\"y\"/>",
                  &TSiteRecord::enclose, "x.mp3:1"},
        FieldCase{"AuthorIsCreator", "<title>t</title><author>a@example.jp (A)</author>", &TSiteRecord::creator,
                  "a@example.jp (A)"},
        FieldCase{"CreatorBeatsLaterAuthor", "<title>t</title><dc:creator>c</dc:creator><author>a</author>",
                  &TSiteRecord::creator, "c"},
        FieldCase{"CreatorReplacesEarlierAuthor", "<title>t</title><author>a</author><dc:creator>c</dc:creator>",
                  &TSiteRecord::creator, "c"},
        FieldCase{"HtmlEntityInTitle", "<title>caf&eacute;&nbsp;&copy;</title>", &TSiteRecord::title,
                  "caf&#233;&#160;&#169;"},
        FieldCase{"EncodedNeedsSupportTagsTwo", "<title>t</title><content:encoded>&lt;p&gt;</content:encoded>",
                  &TSiteRecord::encoded, "<p>"}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST_F(RssItems, UntitledItemWithoutDescriptionIsDropped) {
  const store::TSiteList& channel = Read("<item><link>x</link></item><item><title>kept</title></item>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->title, "kept");
}

// An item may carry only its text: it is listed under a title cut from that text, whatever
// the SupportTags setting keeps of the text itself.
struct ThinCase {
  const char* name;
  int supportTags;
  const char* item;
  const char* title;
};

class RssThinItem : public RssItems, public ::testing::WithParamInterface<ThinCase> {};

TEST_P(RssThinItem, IsKeptWithATitleFromItsText) {
  settings.SupportTags = GetParam().supportTags;
  const store::TSiteList& channel = Read(std::string("<item>") + GetParam().item + "</item>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->title, J(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Rss, RssThinItem,
    ::testing::Values(
        ThinCase{"DescriptionOnly", 2, "<description>only text</description>", "only text"},
        ThinCase{"DescriptionOnlyNotKept", 0, "<description>only text</description>", "only text"},
        ThinCase{"CDataDescriptionNotKept", 0, "<description><![CDATA[<p>html</p>]]></description>", "html"},
        ThinCase{"EncodedOnly", 2, "<content:encoded>&lt;p&gt;body&lt;/p&gt;</content:encoded>", "body"},
        ThinCase{"EncodedOnlyNotKept", 1, "<content:encoded><![CDATA[<b>x</b>]]></content:encoded>", "x"}),
    [](const ::testing::TestParamInfo<ThinCase>& info) { return std::string(info.param.name); });

// Items without a link are known by their text: two whose descriptions begin alike are two
// items, and reading the same document again adds neither a second time.
TEST_F(RssItems, LinklessThinItemsAreKnownByTheirText) {
  const std::string common(80, 'a');
  const std::string items = "<item><description>" + common + "1</description></item><item><description>" + common +
                            "2</description></item><item><title>t</title><link>l</link></item>";
  node_ = AddChannel();
  Update(node_, Rss(items));
  ASSERT_EQ(ChannelOf(node_).Count(), 3u);
  size_t linkless = 0;
  for (const auto& item : ChannelOf(node_).Items()) {
    if (item->link.empty() && item->title == std::string(67, 'a') + "...") ++linkless;
  }
  EXPECT_EQ(linkless, 2u);
  Update(node_, Rss(items));
  EXPECT_EQ(ChannelOf(node_).Count(), 3u);
}

// An item without a link but with a title of its own is still known by its title: a
// changed text does not make it a second item.
TEST_F(RssItems, ALinklessItemWithItsOwnTitleIsKnownByItsTitle) {
  node_ = AddChannel();
  Update(node_, Rss("<item><title>own</title><description>first text</description></item>"));
  Update(node_, Rss("<item><title>own</title><description>second text</description></item>"));
  EXPECT_EQ(ChannelOf(node_).Count(), 1u);
}

TEST_F(RssItems, ManagingEditorIsTheChannelCreatorUnlessDcCreatorIs) {
  store::TTreeNodeExt* node = AddChannel();
  Update(node,
         "<rss version=\"2.0\"><channel><title>C</title><managingEditor>m@example.jp</managingEditor>"
         "<item><title>t</title></item></channel></rss>");
  EXPECT_EQ(ChannelOf(node).Site.creator, "m@example.jp");
  store::TTreeNodeExt* other = AddChannel("http://example.com/other.xml");
  Update(other,
         "<rss version=\"2.0\" xmlns:dc=\"urn:dc\"><channel><title>C</title>"
         "<managingEditor>m</managingEditor><dc:creator>d</dc:creator></channel></rss>");
  EXPECT_EQ(ChannelOf(other).Site.creator, "d");
}

TEST_F(RssItems, SupportTagsZeroKeepsOnlyTheChannelDescription) {
  settings.SupportTags = 0;
  store::TTreeNodeExt* node = AddChannel();
  Update(node,
         "<rss version=\"2.0\"><channel><title>C</title><description>channel text</description><item><title>t</title>"
         "<description>item text</description></item></channel></rss>");
  const store::TSiteList& channel = ChannelOf(node);
  EXPECT_EQ(channel.Site.desc, "channel text");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->desc, "");
}

TEST_F(RssItems, SupportTagsOneKeepsDescriptionButNotContent) {
  settings.SupportTags = 1;
  const store::TSiteList& channel =
      Read("<item><title>t</title><description>d</description><content:encoded>c</content:encoded></item>");
  ASSERT_EQ(channel.Count(), 1u);
  EXPECT_EQ(channel.ItemAt(0)->desc, "d");
  EXPECT_EQ(channel.ItemAt(0)->encoded, "");
}

TEST_F(RssItems, ChannelDateFollowsNewestItemAndImageDisappearsWhenGone) {
  store::TTreeNodeExt* node = AddChannel();
  Update(node,
         "<rss version=\"2.0\"><channel><title>C</title><pubDate>Mon, 20 May 2024 00:00:00 +0900</pubDate>"
         "<image><url>i.png</url></image>"
         "<item><title>a</title><pubDate>Wed, 22 May 2024 00:00:00 +0900</pubDate></item>"
         "<item><title>b</title><pubDate>Tue, 21 May 2024 00:00:00 +0900</pubDate></item></channel></rss>");
  EXPECT_EQ(ChannelOf(node).Site.modified, Day(2024, 5, 22));
  EXPECT_EQ(ChannelOf(node).Site.imgurl, "i.png");
  Update(node, "<rss version=\"2.0\"><channel><title>C</title></channel></rss>");
  EXPECT_EQ(ChannelOf(node).Site.imgurl, "");
  EXPECT_EQ(ChannelOf(node).Count(), 2u);
}

// The version a root gives, read straight from the parser.
struct VersionCase {
  const char* name;
  const char* document;
  int64_t version;
  size_t items;
};

class RssVersion : public FeedFixture, public ::testing::TestWithParam<VersionCase> {};

TEST_P(RssVersion, FromRoot) {
  store::TTreeNodeExt* node = AddChannel();
  XmlContext context;
  std::optional<TXMLList> list = LoadXmlList(context, GetParam().document);
  ASSERT_TRUE(list);
  FeedRun run(store, settings, ChannelOf(node));
  run.Now = TestNow();
  ParseRssDocument(*list, run);
  EXPECT_EQ(run.FeedVersion, GetParam().version);
  EXPECT_EQ(ChannelOf(node).Count(), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rss, RssVersion,
    ::testing::Values(
        VersionCase{"Rss20", "<rss version=\"2.0\"><channel><item><title>a</title></item></channel></rss>", 20000, 1},
        VersionCase{"RssWithoutVersion", "<rss><channel><item><title>a</title></item></channel></rss>", 9000, 1},
        VersionCase{"UnreadableVersionStillParses",
                    "<rss version=\"beta\"><channel><item><title>a</title></item></channel></rss>", 0, 1},
        VersionCase{"NegativeVersionReadsNothing",
                    "<rss version=\"-1\"><channel><item><title>a</title></item></channel></rss>", -10000, 0},
        VersionCase{"RdfRoot", "<rdf:RDF xmlns:rdf=\"urn:r\"><item><title>a</title></item></rdf:RDF>", 0, 1},
        VersionCase{"OtherRoot", "<html><channel><item><title>a</title></item></channel></html>", kNoFeedVersion, 0}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

TEST(FeedFields, VersionAndCommentNumbers) {
  EXPECT_EQ(ParseFeedVersion("0.91"), 9100);
  EXPECT_EQ(ParseFeedVersion("2.0b"), 20000);
  EXPECT_EQ(ParseFeedVersion("1.23456"), 12345);
  EXPECT_EQ(ParseFeedVersion(""), 0);

  EXPECT_EQ(ParseCommentCount("12 comments"), 12);
  EXPECT_EQ(ParseCommentCount("many"), 0);
  EXPECT_EQ(ParseCommentCount("70000"), 65535);
}

}  // namespace
}  // namespace formats::testing
