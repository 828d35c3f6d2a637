// SPDX-License-Identifier: MIT
// Filling a template: every placeholder, the exact anchors, secure mode, the translation
// links, descriptions and the page control.
#include <gtest/gtest.h>

#include <string>

#include "PageTestSupport.h"
#include "present/PageFill.h"
#include "store/TSiteList.h"
#include "text/Literal.h"

namespace present {
namespace {

using testing::CountOf;
using testing::M;
using text::J;

// 2006-01-05 09:07 as days since 1899-12-30.
constexpr double kJan5 = 38722 + (9 * 60 + 7) / 1440.0;

const char* const kEveryPlaceholder[] = {"ANCHOR_CHANNEL_TITLE", "ANCHOR_CHANNEL_TREE_TITLE",
                                         "ANCHOR_IMAGE",         "CHANNEL_LINK",
                                         "CHANNEL_TITLE",        "CHANNEL_TREE_TITLE",
                                         "CHANNEL_FEED",         "CHANNEL_CREATOR",
                                         "CHANNEL_CATEGORY",     "CHANNEL_DESCRIPTION",
                                         "IMAGE_TITLE",          "IMAGE_URL",
                                         "IMAGE_LINK",           "ANCHOR_ITEM_TITLE",
                                         "ANCHOR_ITEM_COMMENTS", "ANCHOR_ITEM_ENCLOSURE",
                                         "ANCHOR_ITEM_CHECK",    "ANCHOR_ITEM_OPTION",
                                         "ANCHOR_PAGE_CONTROL",  "ITEM_DATE",
                                         "ITEM_DATEJ",           "ITEM_LINK",
                                         "ITEM_TITLE",           "ITEM_CREATOR",
                                         "ITEM_CATEGORY",        "ITEM_COMMENTURL",
                                         "ITEM_COMMENTNUM",      "ITEM_ENCLOSURE",
                                         "ITEM_DESCRIPTION",     "ITEM_DIVLINE",
                                         "PROGRAM_PATH",         "SYSTEM_PATH",
                                         "STYLES_PATH"};

class PageFillTest : public ::testing::Test {
 protected:
  PageFillTest() {
    locations = {"file:///opt/plover/", "file:///home/u/.local/share/plover/system/",
                 "file:///home/u/.local/share/plover/system/styles/"};
    context.locations = &locations;
    context.maxDescription = 512;
    store::TSiteRecord& site = channel.Site;
    site.title = J("技術 & 科学");
    site.link = "http://example.jp/news/";
    site.rdfurl = "http://example.jp/news/rss.xml";
    site.creator = J("編集部");
    site.category = J("技術");
    site.desc = J("毎日の<b>ニュース</b>です");
    site.imgurl = "http://example.jp/logo.png";
    site.imgtitle = J("ロゴ");
    site.imglink = "http://example.jp/";
    item.title = J("記事 <1>");
    item.link = "2006/01/05/a.html";
    item.desc = J("本文 & 続き");
    item.modified = kJan5;
    item.creator = J("山田");
    item.category = J("科学");
    item.commurl = "comments/a";
    item.commnum = 3;
    item.enclose = "media/a.mp3";
    item.read = store::kStateProtected;
    item.mht = "a.mht";
    item.Owner = &channel;
  }

  std::string Fill(const std::string& templateText, int index = kIndexNone, bool noCheck = false) {
    std::string text = M(templateText);
    FillInputs inputs;
    inputs.item = &item;
    inputs.channel = &channel.Site;
    inputs.treeCaption = caption;
    inputs.translate = translate;
    FillPlaceholders(text, index, noCheck, inputs, context);
    return text;
  }

  PageLocations locations;
  FillContext context;
  store::TSiteList channel;
  store::TSiteRecord item;
  std::string caption = J("ニュース");
  bool translate = false;
};

TEST_F(PageFillTest, EveryPlaceholderOfAViewModeEntry) {
  context.podhallInstalled = true;
  context.control = {30, 0, 0, 12, false, true};
  std::string templateText;
  for (const char* name : kEveryPlaceholder) templateText.append(name).append("=$").append(name).append("$\r\n");
  testing::ExpectGoldenPage(Fill(templateText, 3), "fill_every_placeholder.txt");
}

TEST_F(PageFillTest, ExactAnchors) {
  EXPECT_EQ(Fill("$ANCHOR_ITEM_TITLE$"),
            "<a class=\"anchor_item_title\" href=\"http://example.jp/news/2006/01/05/a.html\">" + J("記事 &lt;1&gt;") +
                "</a>");
  EXPECT_EQ(Fill("$ANCHOR_CHANNEL_TITLE$"),
            "<a class=\"anchor_channel_title\" href=\"http://example.jp/news/\">" + J("技術 &amp; 科学") + "</a>");
  EXPECT_EQ(Fill("$ANCHOR_ITEM_CHECK$", 7),
            "<a class=\"anchor_item_check_protect\" href=\"varnholt:hrfeed_check#7\"><img name=\"rec7\" "
            "class=\"anchor_item_check_protect\" src=\"file:///home/u/.local/share/plover/system/mht_p.gif\" alt=\"" +
                J("購読状況") + "\" border=\"0\"></a>");
  EXPECT_EQ(Fill("$ANCHOR_ITEM_OPTION$", 7),
            "<a href=\"varnholt:hrfeed_option#7\" title=\"" + J("外部ツール") + "\">(Option)</a>");
  EXPECT_EQ(Fill("$ANCHOR_ITEM_ENCLOSURE$"),
            "<a class=\"anchor_item_enclosure\" href=\"http://example.jp/news/media/a.mp3\"><img "
            "src=\"file:///home/u/.local/share/plover/system/podhall.gif\" alt=\"" +
                J("メディア再生") + "\" border=\"0\"></a>");
  // Outside a page list, and for error log entries, there is no icon, option or control.
  EXPECT_EQ(Fill("[$ANCHOR_ITEM_CHECK$$ANCHOR_ITEM_OPTION$$ANCHOR_PAGE_CONTROL$]", kIndexNone), "[]");
  EXPECT_EQ(Fill("[$ANCHOR_ITEM_CHECK$$ANCHOR_ITEM_OPTION$]", 4, true), "[]");
  EXPECT_EQ(Fill("$ITEM_DIVLINE$ $ITEM_DIVLINE$", 5) + Fill("$ITEM_DIVLINE$", 4) + Fill("$ITEM_DIVLINE$", kIndexSingle),
            "1 100");
}

TEST_F(PageFillTest, ReadStateIconFollowsTheState) {
  item.mht.clear();
  const struct {
    uint8_t read;
    const char* cssClass;
    const char* image;
  } cases[] = {{store::kStateUnread, "anchor_item_check_unread", "flag_u.gif"},
               {store::kStateRead, "anchor_item_check_read", "flag_r.gif"},
               {store::kStateProtected, "anchor_item_check_protect", "flag_p.gif"}};
  for (const auto& c : cases) {
    item.read = c.read;
    const std::string anchor = Fill("$ANCHOR_ITEM_CHECK$", 0);
    EXPECT_EQ(CountOf(anchor, c.cssClass), 2u) << anchor;
    EXPECT_NE(anchor.find(std::string("system/") + c.image + "\""), std::string::npos) << anchor;
  }
}

TEST_F(PageFillTest, CommentsAnchorByCountAndAddress) {
  const struct {
    uint16_t count;
    const char* address;
    bool secure;
    const char* expected;
  } cases[] = {
      {3, "c.html", false, "<a class=\"anchor_item_comments\" href=\"http://example.jp/news/c.html\">comments (3)</a>"},
      {3, "", false, "comments (3)"},
      {3, "javascript:x()", true, "comments (3)"},
      {0, "c.html", false, "<a class=\"anchor_item_comments\" href=\"http://example.jp/news/c.html\">comment</a>"},
      {0, "", false, ""},
      {0, "javascript:x()", true, ""},
  };
  for (const auto& c : cases) {
    item.commnum = c.count;
    item.commurl = c.address;
    context.secureMode = c.secure;
    EXPECT_EQ(Fill("$ANCHOR_ITEM_COMMENTS$"), c.expected) << c.count << " " << c.address;
  }
}

TEST_F(PageFillTest, ChannelImageWithAndWithoutLink) {
  EXPECT_EQ(Fill("$ANCHOR_IMAGE$"),
            "<a class=\"anchor_image\" href=\"http://example.jp/\"><img class=\"anchor_image\" "
            "src=\"http://example.jp/logo.png\" alt=\"" +
                J("ロゴ") + "\" border=\"0\"></a>");
  channel.Site.imglink.clear();
  channel.Site.imgtitle.clear();
  EXPECT_EQ(Fill("$ANCHOR_IMAGE$"), "<img class=\"anchor_image\" src=\"http://example.jp/logo.png\"  border=\"0\">");
  channel.Site.imgurl.clear();
  EXPECT_EQ(Fill("$ANCHOR_IMAGE$"), "");
}

TEST_F(PageFillTest, SecureModeBlocksAJavascriptLink) {
  context.secureMode = true;
  item.link = "javascript:alert(1)";
  const std::string notice = J("<font size=\"-1\">(セキュアモードによりアドレスを遮断)</font>");
  EXPECT_EQ(Fill("$ANCHOR_ITEM_TITLE$"), J("記事 &lt;1&gt;") + "<br>" + notice);
  channel.Site.link = "JavaScript:void(0)";
  EXPECT_EQ(Fill("$ANCHOR_CHANNEL_TREE_TITLE$"), caption + notice);
  channel.Site.imgurl = "file:///etc/passwd";
  EXPECT_EQ(Fill("$ANCHOR_IMAGE$"), "");
  // Outside secure mode the same link is an ordinary anchor.
  context.secureMode = false;
  EXPECT_EQ(Fill("$ANCHOR_ITEM_TITLE$"),
            "<a class=\"anchor_item_title\" href=\"javascript:alert(1)\">" + J("記事 &lt;1&gt;") + "</a>");
}

TEST(SecureMode, AllowsOnlyTheWebSchemes) {
  for (const char* allowed : {"", "   ", "http://a/", "HTTPS://a/", "ftp://a/", "feed:http://a/", "Enclosure:x"}) {
    EXPECT_TRUE(SecureModeAllows(allowed)) << allowed;
  }
  for (const char* refused : {"javascript:alert(1)", "file:///etc/passwd", " http://a/", "/local", "mailto:a@b"}) {
    EXPECT_FALSE(SecureModeAllows(refused)) << refused;
  }
  EXPECT_EQ(SecureModeRefusal("file:///x"),
            J("セキュアモードでは \"http:\" \"https:\" \"ftp:\" \"feed:\" から始まるアドレスしか開きません。\r\n\r\n> "
              "file:///x"));
}

TEST_F(PageFillTest, TranslatedChannelTranslatesEveryLinkButEnclosures) {
  translate = true;
  const std::string prefix = "http://www.excite.co.jp/world/english/web/?wb_lp=ENJA&wb_url=";
  EXPECT_EQ(Fill("$CHANNEL_LINK$"), prefix + "http://example.jp/news/");
  EXPECT_EQ(Fill("$IMAGE_LINK$"), prefix + "http://example.jp/");
  EXPECT_EQ(Fill("$ITEM_LINK$"), prefix + "http://example.jp/news/2006/01/05/a.html");
  EXPECT_NE(Fill("$ANCHOR_ITEM_TITLE$").find("href=\"" + prefix + "http://example.jp/news/2006/"), std::string::npos);
  EXPECT_NE(Fill("$ANCHOR_CHANNEL_TITLE$").find("href=\"" + prefix + "http://example.jp/news/\""), std::string::npos);
  EXPECT_NE(Fill("$ANCHOR_IMAGE$").find("href=\"" + prefix + "http://example.jp/\""), std::string::npos);
  EXPECT_NE(Fill("$ANCHOR_ITEM_COMMENTS$").find("href=\"" + prefix + "http://example.jp/news/comments/a\""),
            std::string::npos);
  EXPECT_EQ(CountOf(Fill("$ANCHOR_ITEM_ENCLOSURE$$ITEM_ENCLOSURE$"), prefix), 0u);
  // A blank address stays blank, and the program's own addresses are not for the service.
  channel.Site.imglink = " ";
  EXPECT_EQ(Fill("$IMAGE_LINK$"), " ");
  item.link = "varnholt:blank";
  EXPECT_EQ(Fill("$ITEM_LINK$"), "varnholt:blank");
}

TEST_F(PageFillTest, RelativeImageResolvedAgainstXmlBase) {
  item.xmlbase = "http://base.example/dir/page.html";
  item.desc.clear();
  item.de_cd =
      "<p><img src=\"img/a.png\"> <IMG SRC='/b.png'> <img src=img/c.png> <img src=\"http://cdn/d.png\"> "
      "<img src=\"data:image/png;base64,AA\"> <a href=\"#top\">t</a> <a title=\"x\" href=\"../e.html\">e</a></p>";
  EXPECT_EQ(
      Fill("$ITEM_DESCRIPTION$"),
      "<p><img src=\"http://base.example/dir/img/a.png\"> <IMG SRC='http://base.example/b.png'> <img "
      "src=img/c.png> <img src=\"http://cdn/d.png\"> <img src=\"data:image/png;base64,AA\"> <a href=\"#top\">t</a> "
      "<a title=\"x\" href=\"http://base.example/dir/../e.html\">e</a></p>");
  // Without xmlbase the item's own address is the base.
  item.xmlbase.clear();
  EXPECT_NE(Fill("$ITEM_DESCRIPTION$").find("src=\"http://example.jp/news/2006/01/05/img/a.png\""), std::string::npos);
}

TEST_F(PageFillTest, DescriptionPartsAndCutting) {
  std::string plain;
  for (int i = 0; i < 600; ++i) plain += J("あ");
  item.desc = plain;
  const std::string cut = Fill("$ITEM_DESCRIPTION$");
  EXPECT_EQ(cut, plain.substr(0, 1024) + J(" … 続く"));
  context.maxDescription = 0;
  EXPECT_EQ(Fill("$ITEM_DESCRIPTION$"), plain);
  context.maxDescription = 512;
  item.desc = "<p>" + plain + "</p>";
  EXPECT_EQ(Fill("$ITEM_DESCRIPTION$"), item.desc);
  // A cut never leaves half an entity of the escaping.
  item.desc = std::string(509, 'x') + "&b";
  EXPECT_EQ(Fill("$ITEM_DESCRIPTION$"), std::string(509, 'x') + J(" … 続く"));
  // The content form takes the place of the description; both parts follow one another.
  item.en_cd = "<b>cd</b>";
  item.encoded = "a<b";
  EXPECT_EQ(Fill("$ITEM_DESCRIPTION$"), "<b>cd</b>a&lt;b");
  // The channel description prefers its content, then the markup forms.
  EXPECT_EQ(Fill("$CHANNEL_DESCRIPTION$"), channel.Site.desc);
  channel.Site.de_cd = "de";
  channel.Site.desc.clear();
  EXPECT_EQ(Fill("$CHANNEL_DESCRIPTION$"), "de");
  channel.Site.en_cd = "en";
  EXPECT_EQ(Fill("$CHANNEL_DESCRIPTION$"), "en");
  channel.Site.encoded = "a&b";
  EXPECT_EQ(Fill("$CHANNEL_DESCRIPTION$"), "a&amp;b");
}

TEST_F(PageFillTest, Dates) {
  EXPECT_EQ(Fill("$ITEM_DATE$|$ITEM_DATEJ$"), "2006/1/5 9:07|" + J("2006年1月5日 9時7分"));
  item.modified = 38722 + (23 * 60 + 59) / 1440.0 + 59.9 / 86400;
  EXPECT_EQ(Fill("$ITEM_DATE$"), "2006/1/5 23:59");
  item.modified = 0;
  EXPECT_EQ(Fill("[$ITEM_DATE$$ITEM_DATEJ$]"), "[]");
  EXPECT_EQ(FormatItemDate(1.5), "1899/12/31 12:00");
  EXPECT_EQ(FormatItemDate(-1.25), "1899/12/28 18:00");
}

TEST_F(PageFillTest, UnknownPlaceholdersAndDollarSigns) {
  EXPECT_EQ(Fill("$5 for $ITEM_CREATOR$, $UNKNOWN$ $ITEM_COMMENTNUM$"), M("$5 for ") + J("山田") + M(", $UNKNOWN$ 3"));
  // A value that holds markers is not filled again: no text of a feed is a placeholder.
  item.title = M("$ITEM_LINK$");
  EXPECT_EQ(Fill("$ITEM_TITLE$"), M("$ITEM_LINK$"));
  // Quotes in an address cannot open attributes of their own.
  item.link = "http://a/\"onmouseover=\"x";
  EXPECT_EQ(Fill("$ITEM_LINK$"), "http://a/&quot;onmouseover=&quot;x");
}

TEST(PageItemAddress, ResolvesRelativeKeepsSchemes) {
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", "c.html"), "http://a.jp/b/c.html");
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", "/c.html"), "http://a.jp/c.html");
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", "https://x/"), "https://x/");
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", "mailto:a@b"), "mailto:a@b");
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", "varnholt:blank"), "varnholt:blank");
  EXPECT_EQ(PageItemAddress("http://a.jp/b/", ""), "");
}

struct ControlCase {
  const char* name;
  PageControlState state;
  const char* numbers;
  const char* previous;  // "" when plain text
  const char* next;      // the next control
};

class PageControlCases : public ::testing::TestWithParam<ControlCase> {};

TEST_P(PageControlCases, Reads) {
  const ControlCase& c = GetParam();
  const std::string control = PageControl(c.state);
  const std::string previousLink = "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_previous\" title=\"" +
                                   J("前のページ (左矢印キー)") + "\">Previous Page</a>";
  const std::string nextLink = "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_next\" title=\"" +
                               J("次のページ (右矢印キー/Ctrl+J)") + "\">Next Page</a>";
  const std::string unreadLink = "<a class=\"anchor_page_control\" href=\"varnholt:hrfeed_next\" title=\"" +
                                 J("次の未読のチャンネルに進む (右矢印キー/Ctrl+J)") + "\">Next Unread</a>";
  const std::string next = std::string(c.next) == "link"     ? nextLink
                           : std::string(c.next) == "unread" ? unreadLink
                                                             : c.next;
  const std::string expected =
      "<div class=\"anchor_page_control\">" + (std::string(c.previous) == "link" ? previousLink : "Previous Page") +
      " (" + c.numbers + ") " + next + " | <a class=\"anchor_page_control\" href=\"varnholt:hrfeed_showall\" title=\"" +
      J("全て表示") + "\">Show All</a></div>";
  EXPECT_EQ(control, expected);
}

INSTANTIATE_TEST_SUITE_P(
    ThirtyItems, PageControlCases,
    ::testing::Values(ControlCase{"Page1", {30, 0, 0, 12, false, true}, "1/3", "", "link"},
                      ControlCase{"Page2", {30, 0, 12, 12, false, true}, "2/3", "link", "link"},
                      ControlCase{"Page3UnreadOnly", {30, 0, 24, 12, false, true}, "3/3", "link", "unread"},
                      ControlCase{"Page3AllStates", {30, 0, 24, 12, false, false}, "3/3", "link", "Next Page"},
                      ControlCase{"Page3ShowAll", {30, 0, 24, 12, true, true}, "3/3", "link", "Next Page"},
                      // Twelve carried-over entries of the node before, then 30 of this one.
                      ControlCase{"CarriedOver", {42, 12, 0, 12, false, true}, "0/3", "", "link"},
                      ControlCase{"FirstOwnPage", {42, 12, 12, 12, false, true}, "1/3", "link", "link"},
                      ControlCase{"EmptyList", {0, 0, 0, 12, false, false}, "1/1", "", "Next Page"}),
    [](const ::testing::TestParamInfo<ControlCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace present
