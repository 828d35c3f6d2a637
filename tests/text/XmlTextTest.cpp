// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "text/Literal.h"
#include "text/XmlText.h"

namespace text {
namespace {

using namespace std::string_literals;

TEST(FilterInvalidChars, DropsControlCharacters) {
  EXPECT_EQ(FilterInvalidChars("a\x01\x08\x0B\x0C\x0E\x1F\x7F"
                               "b\t\r\n"),
            "ab\t\r\n");
  EXPECT_EQ(FilterInvalidChars("a\0b"s), "ab");
  EXPECT_EQ(FilterInvalidChars(J("日本語ｶﾅ") + "&#128512;"), J("日本語ｶﾅ") + "&#128512;");
  // A dropped control byte between a lead and a trail byte does not break the character.
  EXPECT_EQ(FilterInvalidChars("\x82\x01\xA0"), "\x82\xA0");
  // A lead byte at the very end stays.
  EXPECT_EQ(FilterInvalidChars("ab\x82"), "ab\x82");
  EXPECT_EQ(FilterInvalidChars(""), "");
}

TEST(FilterInvalidChars, MalformedTextBecomesTheMessage) {
  const std::string message = J("不正な文字コードを除去しました");
  for (const std::string& bad : {"x\x85\n"s, "\x82\t"s, "a\x80"s, "\xA0"s, "\xFD"s, "\xFE"s, "abc\xFF"s}) {
    EXPECT_EQ(FilterInvalidChars(bad), message);
  }
}

TEST(IsDecimalCharRef, NeedsDigitsAndASemicolonOrTheEnd) {
  const struct {
    const char* text;
    size_t pos;
    bool expected;
  } cases[] = {
      {"&#12354;", 0, true}, {"x&#65;y", 1, true}, {"&#65", 0, true},    {"&#;", 0, false},
      {"&#x41;", 0, false},  {"&#65x;", 0, false}, {"&#", 0, false},     {"&", 0, false},
      {"&#65;", 1, false},   {"&#65;", 5, false},  {"&#65;", 99, false}, {"", 0, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDecimalCharRef(c.text, c.pos), c.expected) << c.text << " @" << c.pos;
}

TEST(XmlEscape, EscapesOnceAndCanKeepReferences) {
  EXPECT_EQ(XmlEscape("&#12354;", true), "&#12354;");
  EXPECT_EQ(XmlEscape("&#12354;", false), "&amp;#12354;");
  EXPECT_EQ(XmlEscape("a<b>&amp;\"", false), "a&lt;b&gt;&amp;amp;\"");
  EXPECT_EQ(XmlEscape("&#x41;&#65&lt;&#65", true), "&amp;#x41;&amp;#65&amp;lt;&#65");
  EXPECT_EQ(XmlEscapeAttr("\"<&#1;>\"", true), "&quot;&lt;&#1;&gt;&quot;");
  EXPECT_EQ(XmlEscapeAttr("\"", false), "&quot;");
}

TEST(XmlUnescape, OrderDecidesWhatNestedEntitiesBecome) {
  EXPECT_EQ(XmlUnescape("&amp;lt;", false), "<");
  EXPECT_EQ(XmlUnescape("&amp;lt;", true), "&lt;");
  EXPECT_EQ(XmlUnescape("&amp;amp;", true), "&");
  EXPECT_EQ(XmlUnescape("a &lt;b&gt; &quot;", false), "a <b> &quot;");
  EXPECT_EQ(XmlUnescape("&lt;&amp;gt;", true), "<&gt;");
  EXPECT_EQ(XmlUnescape("plain", true), "plain");
  // Escaping and then unescaping gives back a text without entities of its own.
  const std::string text = "a<b>&&#65;\"" + J("表");
  EXPECT_EQ(XmlUnescape(XmlEscape(text, false), false), text);
}

}  // namespace
}  // namespace text
