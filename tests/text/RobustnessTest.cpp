// SPDX-License-Identifier: MIT
// Every routine takes any bytes: invalid Shift_JIS, lone lead bytes at the end, NUL bytes,
// broken references. Run under the sanitizers, these tests catch any read past the end.
#include <gtest/gtest.h>

#include <random>

#include "text/Compare.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Html.h"
#include "text/XmlText.h"

namespace text {
namespace {

// Random texts built from pieces that stress the byte rules.
std::string RandomText(std::mt19937& random) {
  static const std::string kPieces[] = {"a",
                                        "&",
                                        "&#",
                                        "&#1",
                                        "&#128512;",
                                        "&#12354",
                                        "&amp;",
                                        "&amp",
                                        "&nbsp;",
                                        "<",
                                        ">",
                                        "<p>",
                                        "\"",
                                        " ",
                                        "\t",
                                        "\r\n",
                                        "\x81\x40",
                                        "\x82",
                                        "\x82\xA0",
                                        "\x95\x5C",
                                        "\x8F",
                                        "\x8E",
                                        "\xA4",
                                        "\xFA\x40",
                                        "\xF0",
                                        "\xFF",
                                        std::string(1, '\0'),
                                        "\xE3",
                                        "\xE3\x80\x9C",
                                        "\x80",
                                        "\xE2\x88",
                                        "\xC3\xA9",
                                        "&#99999999;",
                                        "&#x41;",
                                        "0123"};
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(0, 12);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text;
  for (int i = count(random); i > 0; --i) {
    text += kPieces[piece(random)];
    if (i % 3 == 0) text.push_back(static_cast<char>(byte(random)));
  }
  return text;
}

bool IsBoundary(std::string_view text, size_t at) {
  size_t pos = 0;
  while (pos < at) pos += CharLengthAt(text, pos);
  return pos == at;
}

TEST(Robustness, EveryRoutineTakesAnyBytes) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 4000; ++round) {
    const std::string text = RandomText(random);
    const std::string other = RandomText(random);
    const long n = static_cast<long>(round % 17) - 2;
    // Results are checked for the properties that hold for every input.
    EXPECT_LE(TrimJ(text).size(), text.size());
    EXPECT_LE(CharCount(text), text.size());
    EXPECT_LE(MidJ(text, n, 3).size(), text.size());
    EXPECT_LE(LeftBytes(text, n).size(), static_cast<size_t>(std::max(n, 0L)));
    EXPECT_EQ(TruncateText(text, 1000), TrimRightJ(text));
    const std::string what = other.substr(0, 2);
    if (const size_t at = FindJ(text, what); at != std::string::npos) {
      EXPECT_EQ(text.compare(at, what.size(), what), 0);
      EXPECT_TRUE(IsBoundary(text, at) && IsBoundary(text, at + what.size()));
    }
    EXPECT_TRUE(SameTextTrimmed(text, text));
    EXPECT_TRUE(SameTextBreaks(text, text));
    EXPECT_EQ(FoldForSearch(FoldForSearch(text)), FoldForSearch(text));
    EXPECT_LE(HtmlUnescape(text, true).size(), text.size());
    EXPECT_LE(StripTags(text, true).size(), text.size());
    EXPECT_GE(HtmlEscape(text, true).size(), text.size());
    LooksLikeHtml(text);
    EXPECT_LE(RemoveBreaks(text).size(), text.size());
    EXPECT_GE(UrlEncode(text).size(), text.size());
    EucToSjis(text);
    SjisToEuc(text);
    Utf8ToSjis(text);
    EXPECT_EQ(SjisToUtf8(text).empty(), text.empty());
    ConvertHtmlPage(text);
    JapaneseToWide(text);
    FilterInvalidChars(text);
    EXPECT_LE(XmlUnescape(text, round % 2 == 0).size(), text.size());
    EXPECT_GE(XmlEscapeAttr(text, true).size(), text.size());
    for (size_t pos = 0; pos <= text.size() + 1; ++pos) IsDecimalCharRef(text, pos);
  }
}

}  // namespace
}  // namespace text
