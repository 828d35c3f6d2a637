// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "text/Cut.h"
#include "text/Literal.h"

namespace text {
namespace {

// "あ" is 0x82 0xA0; "表" is 0x95 0x5C, whose trail byte is the ASCII backslash.
const std::string kA = "\x82\xA0";
const std::string kHyou = "\x95\x5C";
const std::string kWideSpace = "\x81\x40";
const std::string kEmoji = "&#128512;";  // a character code page 932 cannot hold

TEST(TrimJ, RemovesSpacesTabsAndWideSpacesFromBothEndsOnly) {
  const std::string text = " \t" + kWideSpace + " " + kA + " \t" + kWideSpace + kA + kWideSpace + " \r\n";
  EXPECT_EQ(TrimJ(text), kA + " \t" + kWideSpace + kA);
  EXPECT_EQ(TrimLeftJ(text), kA + " \t" + kWideSpace + kA + kWideSpace + " \r\n");
  EXPECT_EQ(TrimRightJ(text), " \t" + kWideSpace + " " + kA + " \t" + kWideSpace + kA);
  EXPECT_EQ(TrimJ(kWideSpace + " \t" + kWideSpace), "");
  EXPECT_EQ(TrimJ(""), "");
}

TEST(TrimJ, RemovesControlBytesInAnyOrderWithWideSpaces) {
  EXPECT_EQ(TrimLeftJ(kWideSpace + "\t" + kWideSpace + "\nx"), "x");
  EXPECT_EQ(TrimRightJ("x\r\n" + kWideSpace + "\t"), "x");
  EXPECT_EQ(TrimJ("\x01\x1F x\x1F"), "x");
  EXPECT_EQ(TrimJ(std::string("\0a\0", 3)), "a");
}

TEST(TrimRightJ, KeepsATrailByteThatLooksLikeAWideSpace) {
  // 0x81 0x81 is one character ("＝"), followed by "@" (0x40): the last two bytes are
  // 0x81 0x40 but they are not a full-width space.
  const std::string text = "\x81\x81\x40";
  EXPECT_EQ(TrimRightJ(text), text);
  EXPECT_EQ(TrimRightJ(kHyou + " "), kHyou);
}

TEST(CharCount, CountsDoubleByteCharactersAndReferencesOnce) {
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount("abc"), 3u);
  EXPECT_EQ(CharCount(kA + "a" + kHyou), 3u);
  EXPECT_EQ(CharCount("a" + kEmoji + "b"), 3u);
  EXPECT_EQ(CharCount("&#;&#x41;&amp;"), 14u);  // no references: every byte counts
  EXPECT_EQ(CharCount("a\x82"), 2u);            // a lead byte at the end counts once
  EXPECT_EQ(CharCount("\x82" + kEmoji), 2u);    // a stray lead byte does not take the "&"
}

TEST(MidJ, CutsWholeCharacters) {
  const std::string text = "a" + kA + kEmoji + "b" + kHyou;
  EXPECT_EQ(MidJ(text, 1, 2), "a" + kA);
  EXPECT_EQ(MidJ(text, 2, 2), kA + kEmoji);
  EXPECT_EQ(MidJ(text, 3, 1), kEmoji);
  EXPECT_EQ(MidJ(text, 4, 100), "b" + kHyou);
  EXPECT_EQ(MidJ(text, 6, 1), "");
  EXPECT_EQ(MidJ(text, 0, 1), "a");
  EXPECT_EQ(MidJ(text, 2, 0), "");
  EXPECT_EQ(MidJ(text, 2, -1), "");
  EXPECT_EQ(MidJ("", 1, 1), "");
}

TEST(LeftBytes, NeverEndsInsideACharacter) {
  const std::string text = "a" + kA + kEmoji + "b";  // bytes: 1, 2, 9, 1
  const struct {
    long n;
    std::string expected;
  } cases[] = {
      {-1, ""},      {0, ""},       {1, "a"},       {2, "a"},
      {3, "a" + kA}, {4, "a" + kA}, {11, "a" + kA}, {12, "a" + kA + kEmoji},
      {13, text},    {100, text},
  };
  for (const auto& c : cases) EXPECT_EQ(LeftBytes(text, c.n), c.expected) << "n = " << c.n;
}

TEST(TruncateText, CutsToWholeCharactersAndAddsDots) {
  // 20 bytes of double-byte characters: at most 7 bytes fit before the dots, so 3
  // characters (6 bytes).
  const std::string twenty = J("あいうえおかきくけこ");
  ASSERT_EQ(twenty.size(), 20u);
  EXPECT_EQ(TruncateText(twenty, 10), J("あいう") + "...");
  EXPECT_EQ(TruncateText(twenty, 20), twenty);
  EXPECT_EQ(TruncateText("abc" + kWideSpace + " ", 100), "abc");
  EXPECT_EQ(TruncateText("ab cdefgh", 6), "ab...");  // the space before the dots goes
  EXPECT_EQ(TruncateText("abcdef", 3), "...");
  EXPECT_EQ(TruncateText("", 0), "");
  // A reference counts its real length and is never cut.
  EXPECT_EQ(TruncateText("ab" + kEmoji + "cdef", 12), "ab...");
  EXPECT_EQ(TruncateText("ab" + kEmoji + "cdef", 14), "ab" + kEmoji + "...");
}

TEST(CuttingProperty, EveryCutIsAPrefixOfWholeCharacters) {
  // Every cut of a mixed text ends on a character boundary, whatever the limit.
  const std::string text = J("日本語") + kEmoji + "x&#233;" + J("ｶﾀｶﾅ表") + "&#x41;" + kA;
  std::vector<size_t> boundaries{0};
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) boundaries.push_back(pos);
  boundaries.push_back(text.size());
  auto onBoundary = [&](size_t size) {
    return std::find(boundaries.begin(), boundaries.end(), size) != boundaries.end();
  };
  for (long n = 0; n <= static_cast<long>(text.size()) + 1; ++n) {
    const std::string left = LeftBytes(text, n);
    EXPECT_TRUE(onBoundary(left.size())) << n;
    EXPECT_LE(left.size(), static_cast<size_t>(n));
    EXPECT_EQ(text.compare(0, left.size(), left), 0);
    const std::string cut = TruncateText(text, n + 3);
    if (cut.size() < text.size()) {
      ASSERT_GE(cut.size(), 3u);
      EXPECT_TRUE(onBoundary(cut.size() - 3)) << n;
      EXPECT_LE(cut.size(), static_cast<size_t>(n + 3));
    }
  }
  std::string joined;
  for (long i = 1; i <= static_cast<long>(CharCount(text)); ++i) joined += MidJ(text, i, 1);
  EXPECT_EQ(joined, text);
  for (long first = 1; first <= 12; ++first) {
    const std::string piece = MidJ(text, first, 3);
    const size_t at = text.find(piece);
    EXPECT_TRUE(piece.empty() || (onBoundary(at) && onBoundary(at + piece.size()))) << first;
  }
}

TEST(FindJ, MatchesOnlyOnCharacterBoundaries) {
  // "あ" 0x82 0xA0 and "う" 0x82 0xA4: the pair 0xA0 0x82 straddles them.
  const std::string text = J("あう");
  EXPECT_EQ(FindJ(text, "\xA0\x82"), std::string::npos);
  EXPECT_EQ(FindJ(text, "\x82"), std::string::npos);  // half a character
  EXPECT_EQ(FindJ(text, J("う")), 2u);
  // "表" ends in 0x5C: a search for the backslash must not find its trail byte.
  EXPECT_EQ(FindJ(kHyou + "\\", "\\"), 2u);
  EXPECT_EQ(FindJ(kHyou, "\\"), std::string::npos);
  // "ア" is 0x83 0x41: its trail byte is no "A".
  EXPECT_EQ(FindJ(J("アA"), "A"), 2u);
  // Inside a reference nothing matches, the whole reference does.
  EXPECT_EQ(FindJ("x" + kEmoji, "128512"), std::string::npos);
  EXPECT_EQ(FindJ("x" + kEmoji, "&#1"), std::string::npos);
  EXPECT_EQ(FindJ("x" + kEmoji, kEmoji), 1u);
  // After a failed candidate the search goes on.
  EXPECT_EQ(FindJ(text + "\xA0\x82", "\xA0\x82"), 4u);
}

TEST(FindJ, StartsAtTheGivenByte) {
  EXPECT_EQ(FindJ("abcabc", "bc", 0), 1u);
  EXPECT_EQ(FindJ("abcabc", "bc", 2), 4u);
  EXPECT_EQ(FindJ("abcabc", "bc", 5), std::string::npos);
  EXPECT_EQ(FindJ("abc", "", 2), 2u);
  EXPECT_EQ(FindJ("abc", "", 4), std::string::npos);
  EXPECT_EQ(FindJ("", "a"), std::string::npos);
}

}  // namespace
}  // namespace text
