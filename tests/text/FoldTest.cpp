// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/CodePage.h"
#include "text/Compare.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace text {
namespace {

std::string Utf8Of(char32_t ch) {
  std::string out;
  platform::AppendUtf8(out, ch);
  return out;
}

std::vector<std::string> Words(const std::string& spaced) {
  std::vector<std::string> words;
  std::istringstream in(spaced);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Folds each character of `chars` and compares it with the matching word of `expected`
// (UTF-8, words separated by spaces).
void ExpectEachFolds(std::u32string_view chars, const std::string& expected) {
  const std::vector<std::string> words = Words(expected);
  ASSERT_EQ(words.size(), chars.size());
  for (size_t i = 0; i < chars.size(); ++i) {
    const std::string utf8 = Utf8Of(chars[i]);
    EXPECT_EQ(SjisToUtf8(FoldForSearch(J(utf8))), words[i]) << utf8;
  }
}

TEST(FoldForSearch, EveryHiraganaBecomesHalfWidthKatakana) {
  ExpectEachFolds(
      U"ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねの"
      U"はばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをんゝゞ",
      "ｧ ｱ ｨ ｲ ｩ ｳ ｪ ｴ ｫ ｵ ｶ ｶﾞ ｷ ｷﾞ ｸ ｸﾞ ｹ ｹﾞ ｺ ｺﾞ ｻ ｻﾞ ｼ ｼﾞ ｽ ｽﾞ ｾ ｾﾞ ｿ ｿﾞ ﾀ ﾀﾞ ﾁ ﾁﾞ ｯ ﾂ ﾂﾞ ﾃ ﾃﾞ ﾄ ﾄﾞ "
      "ﾅ ﾆ ﾇ ﾈ ﾉ ﾊ ﾊﾞ ﾊﾟ ﾋ ﾋﾞ ﾋﾟ ﾌ ﾌﾞ ﾌﾟ ﾍ ﾍﾞ ﾍﾟ ﾎ ﾎﾞ ﾎﾟ ﾏ ﾐ ﾑ ﾒ ﾓ ｬ ﾔ ｭ ﾕ ｮ ﾖ ﾗ ﾘ ﾙ ﾚ ﾛ ヮ ﾜ ヰ ヱ ｦ ﾝ ヽ ヾ");
}

TEST(FoldForSearch, EveryKatakanaBecomesHalfWidthWhereItCan) {
  ExpectEachFolds(
      U"ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノ"
      U"ハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶ・ーヽヾ",
      "ｧ ｱ ｨ ｲ ｩ ｳ ｪ ｴ ｫ ｵ ｶ ｶﾞ ｷ ｷﾞ ｸ ｸﾞ ｹ ｹﾞ ｺ ｺﾞ ｻ ｻﾞ ｼ ｼﾞ ｽ ｽﾞ ｾ ｾﾞ ｿ ｿﾞ ﾀ ﾀﾞ ﾁ ﾁﾞ ｯ ﾂ ﾂﾞ ﾃ ﾃﾞ ﾄ ﾄﾞ "
      "ﾅ ﾆ ﾇ ﾈ ﾉ ﾊ ﾊﾞ ﾊﾟ ﾋ ﾋﾞ ﾋﾟ ﾌ ﾌﾞ ﾌﾟ ﾍ ﾍﾞ ﾍﾟ ﾎ ﾎﾞ ﾎﾟ ﾏ ﾐ ﾑ ﾒ ﾓ ｬ ﾔ ｭ ﾕ ｮ ﾖ ﾗ ﾘ ﾙ ﾚ ﾛ ヮ ﾜ ヰ ヱ ｦ ﾝ ｳﾞ ヵ ヶ "
      "･ ｰ ヽ ヾ");
}

TEST(FoldForSearch, KanaPunctuationAndHalfWidthKanaFold) {
  ExpectEachFolds(U"、。「」゛゜ｱｶﾞﾟ", "､ ｡ ｢ ｣ ﾞ ﾟ ｱ ｶ ﾞ ﾟ");
}

TEST(FoldForSearch, EveryFullWidthAsciiCharacterBecomesAscii) {
  for (char32_t ch = 0xFF01; ch <= 0xFF5E; ++ch) {
    char ascii = static_cast<char>(ch - 0xFEE0);
    if (ascii >= 'a' && ascii <= 'z') ascii = static_cast<char>(ascii - 0x20);
    EXPECT_EQ(FoldForSearch(J(Utf8Of(ch))), std::string(1, ascii)) << Utf8Of(ch);
  }
}

TEST(FoldForSearch, UpperCasesAndNarrowsOtherText) {
  EXPECT_EQ(FoldForSearch("News, abc-XYZ 123!"), "NEWS, ABC-XYZ 123!");
  EXPECT_EQ(FoldForSearch(J("　“ｑｕｏｔｅ” ‘ｘ’")), " \"QUOTE\" 'X'");
  EXPECT_EQ(FoldForSearch(J("αβω ёжя ⅰⅹ")), J("ΑΒΩ ЁЖЯ ⅠⅩ"));
  // Kanji, symbols and the full-width yen sign (whose half-width form code page 932
  // cannot hold) stay as they are.
  EXPECT_EQ(FoldForSearch(J("漢字※￥①")), J("漢字※￥①"));
}

TEST(FoldForSearch, SpellingsOfOneWordFoldAlike) {
  const std::string folded = FoldForSearch(J("ニュース"));
  EXPECT_EQ(folded, J("ﾆｭｰｽ"));
  EXPECT_EQ(FoldForSearch(J("にゅーす")), folded);
  EXPECT_EQ(FoldForSearch(J("ﾆｭｰｽ")), folded);
  EXPECT_EQ(FoldForSearch(J("ガイド")), FoldForSearch(J("ｶﾞｲﾄﾞ")));
  EXPECT_EQ(FoldForSearch(J("Ｐｌｏｖｅｒ")), FoldForSearch("PLOVER"));
}

TEST(FoldForSearch, ReferencesFoldThroughTheSameMapping) {
  EXPECT_EQ(FoldForSearch("caf&#233;"), "CAF&#201;");                 // é -> É, still no code
  EXPECT_EQ(FoldForSearch("&#12436;&#12535;&#12437;"), J("ｳﾞﾜﾞヵ"));  // ゔ ヷ ゕ
  EXPECT_EQ(FoldForSearch("&#128512;&#0233;"), "&#128512;&#201;");
  EXPECT_EQ(FoldForSearch("&#x61;&#;&#97"), "&#X61;&#;&#97");      // not references
  EXPECT_EQ(FoldForSearch("&#1105;&#1104;"), J("Ё") + "&#1024;");  // ё has a code, ѐ has not
}

TEST(FoldForSearch, EveryCodeFoldsToDefinedCodesAndFoldingTwiceChangesNothing) {
  for (unsigned code = 0x8140; code < 0x10000; ++code) {
    if (!platform::IsDefinedCp932(code)) continue;
    const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    const std::string folded = FoldForSearch(bytes);
    ASSERT_LE(folded.size(), 2u) << std::hex << code;
    if (folded.size() == 2 && platform::IsLeadByte(static_cast<unsigned char>(folded[0]))) {
      EXPECT_TRUE(
          platform::IsDefinedCp932(static_cast<unsigned char>(folded[0]) << 8 | static_cast<unsigned char>(folded[1])))
          << std::hex << code;
    }
    EXPECT_EQ(FoldForSearch(folded), folded) << std::hex << code;
  }
}

TEST(FoldForSearch, KeepsBytesThatAreNoCharacter) {
  EXPECT_EQ(FoldForSearch("a\x82"), "A\x82");
  EXPECT_EQ(FoldForSearch("\x82 b\x80\xFF"), "\x82 B\x80\xFF");
  EXPECT_EQ(FoldForSearch(std::string("a\0b", 3)), std::string("A\0B", 3));
  EXPECT_EQ(FoldForSearch(""), "");
}

TEST(SameTextTrimmed, IgnoresOuterSpacesAndCase) {
  EXPECT_TRUE(SameTextTrimmed("abc", "abc"));
  EXPECT_TRUE(SameTextTrimmed(J(" \tＡbc　"), J("ａBC")));
  EXPECT_FALSE(SameTextTrimmed("a b", "ab"));
  EXPECT_FALSE(SameTextTrimmed(J("あ"), J("ア")));
}

TEST(SameTextBreaks, IgnoresLineBreakStyleTabsAndCase) {
  EXPECT_TRUE(SameTextBreaks("Line1\r\nline2", "line1\nLINE2"));
  EXPECT_TRUE(SameTextBreaks("a\tb\r", "ab\n"));
  EXPECT_TRUE(SameTextBreaks("a\r\t\nb", "a\rb"));  // the TAB goes first, then CR LF is one break
  EXPECT_TRUE(SameTextBreaks("a\r\n\nb", "a\r\rb"));
  EXPECT_FALSE(SameTextBreaks("a\r\nb", "a\r\n\r\nb"));
  EXPECT_FALSE(SameTextBreaks("a b", "ab"));
}

}  // namespace
}  // namespace text
