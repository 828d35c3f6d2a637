// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "platform/HtmlCleaner.h"

namespace platform {
namespace {

constexpr std::array<std::string_view, 3> kAlways = {"style", "link", "meta"};
constexpr std::array<std::string_view, 7> kEverything = {"style",  "link",   "meta", "iframe",
                                                         "script", "object", "embed"};

std::string Clean(std::string_view body, std::span<const std::string_view> tags = kEverything) {
  const std::optional<std::string> cleaned = CleanHtmlBody(body, tags);
  EXPECT_TRUE(cleaned.has_value());
  return cleaned.value_or("(none)");
}

struct CleanCase {
  const char* name;
  const char* body;
  const char* expected;
};

class HtmlCleanerCases : public ::testing::TestWithParam<CleanCase> {};

TEST_P(HtmlCleanerCases, WritesTheBodyBack) {
  EXPECT_EQ(Clean(GetParam().body), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, HtmlCleanerCases,
    ::testing::Values(
        CleanCase{"RemovesSheetsAndMetaKeepsTheRest",
                  "text <b>bold</b> <style>p{}</style><meta charset=x><LINK rel=x><p>para<div>x</div>",
                  "text <b>bold</b> <p>para</p><div>x</div>"},
        CleanCase{"RemovesTheElementWithItsContent",
                  "<object><embed src=x><p>fallback</p></object><iframe src=y>"
                  "</iframe><script>document.write('<b>')</script>kept",
                  "kept"},
        CleanCase{"KeepsWhitespaceAndLineBreaks", "<div>\r\n<a href=\"a\">A</a> <a href=\"b\">B</a>\r\n</div>",
                  "<div>\r\n<a href=\"a\">A</a> <a href=\"b\">B</a>\r\n</div>"},
        CleanCase{"AttributeQuotesCannotOpenAttributes", "<a href='x\" onclick=\"y'>t</a>",
                  "<a href=\"x&quot; onclick=&quot;y\">t</a>"},
        CleanCase{"EscapedTextStaysText", "&lt;script&gt;alert(1)&lt;/script&gt; &amp;",
                  "&lt;script&gt;alert(1)&lt;/script&gt; &amp;"},
        // A browser ends a comment at "--!>"; the markup that follows must not come back.
        CleanCase{"CommentsLeftOut", "a<!-- note -->b<!-- --!><script>alert(1)</script> -->c", "ab --&gt;c"},
        // A browser reads the inside of noscript as raw text; an attribute must not end it.
        CleanCase{"AngleBracketsInAttributesEscaped", "<noscript><p title=\"</noscript><img src=x onerror=y>\">x</p>",
                  "<noscript><p title=\"&lt;/noscript&gt;&lt;img src=x onerror=y&gt;\">x</p></noscript>"},
        CleanCase{"VoidElementsWithoutEndTags", "<input checked><br/><hr><img src=a.png>",
                  "<input checked=\"checked\"><br><hr><img src=\"a.png\">"},
        // A description that was a page of its own must not end the page around it.
        CleanCase{"DocumentTagsOfADescriptionIgnored", "a<html><body>b</body></html>c</BODY >d</html>e<div>f</div>",
                  "abcde<div>f</div>"},
        CleanCase{"ControlCharactersDropped", "a\x01MARK\x01 b\x7f", "aMARK b\x7f"},
        CleanCase{"JapaneseAndReferencesRoundTrip", "\x93\xfa\x96\x7b\x8c\xea &#128512; &nbsp;&copy;",
                  "\x93\xfa\x96\x7b\x8c\xea &#128512; &#160;&#169;"},
        CleanCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<CleanCase>& info) { return std::string(info.param.name); });

TEST(HtmlCleaner, NulByteInTheMiddleDoesNotEndTheBody) {
  const std::string body("a\0<b>b</b>", 10);
  EXPECT_EQ(Clean(body), "a&#65533;<b>b</b>");
}

TEST(HtmlCleaner, RemovesOnlyTheNamedElements) {
  EXPECT_EQ(Clean("<script>x()</script><iframe src=a></iframe><embed src=b><style>p{}</style>", kAlways),
            "<script>x()</script><iframe src=\"a\"></iframe><embed src=\"b\">");
}

TEST(HtmlCleaner, DeepNestingKeepsEverythingAfterIt) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += "<div>";
  body += "deep";
  for (int i = 0; i < 5000; ++i) body += "</span>";
  body += "<p>after</p>";
  const std::string cleaned = Clean(body);
  EXPECT_NE(cleaned.find("deep"), std::string::npos);
  EXPECT_NE(cleaned.find("<p>after</p>"), std::string::npos);
  // Every element that opens also ends.
  size_t opened = 0, closed = 0;
  for (size_t at = cleaned.find("<div>"); at != std::string::npos; at = cleaned.find("<div>", at + 1)) ++opened;
  for (size_t at = cleaned.find("</div>"); at != std::string::npos; at = cleaned.find("</div>", at + 1)) ++closed;
  EXPECT_EQ(opened, 5000u);
  EXPECT_EQ(closed, opened);
}

}  // namespace
}  // namespace platform
