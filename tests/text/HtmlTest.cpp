// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "text/Html.h"
#include "text/Literal.h"

namespace text {
namespace {

TEST(HtmlUnescape, DecodesTheFiveEntitiesRepeatedly) {
  EXPECT_EQ(HtmlUnescape("A &amp; B", false), "A & B");
  EXPECT_EQ(HtmlUnescape("&amp;amp;", false), "&");
  EXPECT_EQ(HtmlUnescape("&amp;amp;amp;amp;", false), "&");
  EXPECT_EQ(HtmlUnescape("&amp;lt;b&amp;gt;", false), "<b>");
  EXPECT_EQ(HtmlUnescape("a&amp;&amp;b", false), "a&&b");
  EXPECT_EQ(HtmlUnescape("&quot;x&quot;&hellip;", false), "\"x\"\x81\x63");
  // Other references and other entities are left for the page to show.
  EXPECT_EQ(HtmlUnescape("&#169; &copy; &AMP; &lt", false), "&#169; &copy; &AMP; &lt");
  EXPECT_EQ(HtmlUnescape("no entities", false), "no entities");
}

TEST(HtmlUnescape, NbspBecomesASpaceOnlyWhenAskedAndInExactCase) {
  EXPECT_EQ(HtmlUnescape("a&nbsp;b", false), "a&nbsp;b");
  EXPECT_EQ(HtmlUnescape("a&nbsp;b&NBSP;", true), "a b&NBSP;");
  EXPECT_EQ(HtmlUnescape("a&amp;nbsp;b", true), "a b");
}

TEST(HtmlEscape, EscapesMarkupAndCanKeepReferences) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">&</a>", false), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
  EXPECT_EQ(HtmlEscape("&#12354;&nbsp;&NBSP;&copy;&#x41;", false),
            "&amp;#12354;&amp;nbsp;&amp;NBSP;&amp;copy;&amp;#x41;");
  EXPECT_EQ(HtmlEscape("&#12354;&nbsp;&NBSP;&copy;&#x41;&#12", true), "&#12354;&nbsp;&NBSP;&amp;copy;&amp;#x41;&#12");
}

TEST(StripTags, DropsTagsAndDecodesEntities) {
  EXPECT_EQ(StripTags("<p>a &amp; <b>b</b></p>", false), "a & b");
  EXPECT_EQ(StripTags("x&nbsp;<br/>y", false), "x y");
  // Without "<" nothing changes, entities included.
  EXPECT_EQ(StripTags(" a &amp; b ", true), " a &amp; b ");
  // An unclosed "<" stays with what follows it.
  EXPECT_EQ(StripTags("a<b>c<d", false), "ac<d");
  EXPECT_EQ(StripTags("a > b <i>c</i>", false), "a > b c");
  EXPECT_EQ(StripTags("\r\n <p>\r\n text \r\n</p> \n", true), "text");
  EXPECT_EQ(StripTags("\r\n <p>\t text\t</p>", true), "\t text\t");
  EXPECT_EQ(StripTags("<br> <br>", true), "");
}

TEST(LooksLikeHtml, RecognisesMarkup) {
  const struct {
    const char* text;
    bool html;
  } cases[] = {
      {"plain text", false},
      {"a < b and c > d", false},
      {"<b>bold</b>", true},
      {"line<BR>line", true},
      {"<P>para", true},
      {"x <span> y", true},
      {"<br />", true},
      {"<br clear=all>", false},
      {"<IMG SRC='a.png'>", true},
      {"<img alt=x>", false},
      {"<A HREF='x'>", true},
      {"<blockquote>q", true},
      {"<div class=x>", false},
      {"<em>", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeHtml(c.text), c.html) << c.text;
  // Words are looked for only where they are written: "ピ" is 0x83 0x73 ("s") and "ド" is
  // 0x83 0x68 ("h"), so neither "ピRC" nor "ドref" holds "src" or "href".
  EXPECT_FALSE(LooksLikeHtml("<img>" + J("ピ") + "RC"));
  EXPECT_FALSE(LooksLikeHtml("<a>" + J("ド") + "ref"));
  EXPECT_TRUE(LooksLikeHtml("<a>" + J("ド") + " href"));
}

TEST(RemoveBreaks, DeletesCrLfAndTab) {
  EXPECT_EQ(RemoveBreaks("a\r\nb\tc\n\rd"), "abcd");
  EXPECT_EQ(RemoveBreaks(""), "");
}

}  // namespace
}  // namespace text
