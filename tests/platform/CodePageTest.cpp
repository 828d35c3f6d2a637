// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "platform/CodePage.h"

namespace platform {
namespace {

std::string Sjis(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

// Every defined code decodes to one character that encodes back to a code decoding to
// the same character; where several codes share a character, only the one Windows writes
// comes back, and it is the one ranked first.
TEST(CodePage, EveryCodeRoundTrips) {
  int singles = 0, doubles = 0, duplicates = 0;
  for (unsigned code = 1; code < 65536; ++code) {
    if (code > 0xFF && !IsLeadByte(static_cast<unsigned char>(code >> 8))) continue;
    if (code > 0xFF && (code & 0xFF) < 0x40) continue;
    const char16_t ch = DecodeCp932(code);
    if (ch == 0) continue;
    (code > 0xFF ? doubles : singles)++;
    const unsigned back = EncodeCp932(ch);
    ASSERT_NE(back, 0u) << std::hex << code;
    EXPECT_EQ(DecodeCp932(back), ch) << std::hex << code;
    if (back != code) ++duplicates;
    std::string bytes = code > 0xFF ? Sjis({int(code >> 8), int(code & 0xFF)}) : Sjis({int(code)});
    const std::u16string wide = Cp932ToUtf16(bytes);
    ASSERT_EQ(wide.size(), 1u) << std::hex << code;
    EXPECT_EQ(wide[0], ch);
    bool lossy = true;
    const std::string again = Utf16ToCp932(wide, Unmappable::kQuestionMark, &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(DecodeCp932(again.size() == 2 ? (unsigned char)again[0] << 8 | (unsigned char)again[1]
                                            : (unsigned char)again[0]),
              ch);
  }
  // 127 ASCII (byte 0 apart), 63 half-width katakana and the five Windows extras.
  EXPECT_EQ(singles, 127 + 63 + 5);
  // JIS X 0208, NEC row 13, both IBM extension areas and the user-defined area.
  EXPECT_EQ(doubles, 9604);
  EXPECT_EQ(duplicates, 398);
}

struct EncodeCase {
  const char* name;
  char32_t ch;
  unsigned code;  // 0: no code
};

class EncodeAsWindows : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeAsWindows, WritesTheWindowsCode) {
  EXPECT_EQ(EncodeCp932(GetParam().ch), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeAsWindows,
    testing::Values(EncodeCase{"Backslash", 0x5C, 0x5C}, EncodeCase{"Tilde", 0x7E, 0x7E},
                    EncodeCase{"NearlyEqualRow2", 0x2252, 0x81E0}, EncodeCase{"BecauseRow2", 0x2235, 0x81E6},
                    EncodeCase{"NotSignRow2", 0xFFE2, 0x81CA}, EncodeCase{"RomanOneNec", 0x2160, 0x8754},
                    EncodeCase{"NumeroNec", 0x2116, 0x8782}, EncodeCase{"KabushikiNec", 0x3231, 0x878A},
                    EncodeCase{"SmallRomanIbm", 0x2170, 0xFA40}, EncodeCase{"KanjiIbm", 0x7E8A, 0xFA5C},
                    EncodeCase{"FullwidthQuoteIbm", 0xFF02, 0xFA57}, EncodeCase{"FullwidthTilde", 0xFF5E, 0x8160},
                    EncodeCase{"FullwidthMinus", 0xFF0D, 0x817C}, EncodeCase{"HorizontalBar", 0x2015, 0x815C},
                    EncodeCase{"PrivateUse", 0xE000, 0xF040}, EncodeCase{"HalfwidthKatakanaA", 0xFF71, 0xB1},
                    EncodeCase{"Circled1", 0x2460, 0x8740}, EncodeCase{"Taka", 0x9AD9, 0xFBFC},
                    // Windows has no exact code for these; iconv's one-way guesses are not taken.
                    EncodeCase{"Yen", 0xA5, 0}, EncodeCase{"WaveDash", 0x301C, 0}, EncodeCase{"EmDash", 0x2014, 0},
                    EncodeCase{"MinusSign", 0x2212, 0}, EncodeCase{"EAcute", 0xE9, 0}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.name); });

TEST(CodePage, SingleBytesDecodeAsWindows) {
  EXPECT_EQ(Cp932ToUtf16(Sjis({0x80, 0xA0, 0xFD, 0xFE, 0xFF})), u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(Cp932ToUtf16(Sjis({0x5C, 0x7E, 0xA1, 0xDF})), u"\\~\uFF61\uFF9F");
}

TEST(CodePage, BadSequencesDecodeToMiddleDot) {
  // Undefined code, lead byte before a byte that cannot trail, lead byte at the end.
  EXPECT_EQ(Cp932ToUtf16(Sjis({0x85, 0x40})), u"\u30FB");
  EXPECT_EQ(Cp932ToUtf16(Sjis({0x82, 0x0A, 'a'})), u"\u30FB\na");
  EXPECT_EQ(Cp932ToUtf16(Sjis({'a', 0x82})), u"a\u30FB");
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarksOrReferences) {
  const std::u16string text = u"a\u00E9\U0001F600\u3042";
  bool lossy = false;
  EXPECT_EQ(Utf16ToCp932(text, Unmappable::kQuestionMark, &lossy), "a??" + Sjis({0x82, 0xA0}));
  EXPECT_TRUE(lossy);
  EXPECT_EQ(Utf16ToCp932(text, Unmappable::kCharRef), "a&#233;&#128512;" + Sjis({0x82, 0xA0}));
  // A lone surrogate is no character: it is kept as the replacement character, and a
  // reference to a surrogate found in stored text stays plain text.
  EXPECT_EQ(Utf16ToCp932(std::u16string(1, char16_t(0xD800)), Unmappable::kCharRef), "&#65533;");
  EXPECT_EQ(Cp932ToUtf8("&#55296;", CharRefs::kDecode), "&#55296;");
}

TEST(CodePage, RepairIsOfferedOnlyCharactersWithoutACode) {
  // Long runs of ASCII and Japanese around the repaired character, so every path of the
  // encoder (eight ASCII bytes at once, the three-byte fast path, the general path) runs.
  const auto repair = [](char32_t ch) -> char32_t { return ch == 0x301C ? 0xFF5E : ch == 0xE9 ? 0x1F600 : ch; };
  std::string out;
  ASSERT_TRUE(Utf8ToCp932("abcdefghij\u3042\u301C\u00E9\u00E0xyz", Unmappable::kCharRef, out, repair));
  EXPECT_EQ(out, "abcdefghij" + Sjis({0x82, 0xA0, 0x81, 0x60}) + "&#233;&#224;xyz");
  EXPECT_EQ(Utf16ToCp932(u"\u301C\u3042", Unmappable::kQuestionMark, nullptr, repair), Sjis({0x81, 0x60, 0x82, 0xA0}));
  // References longer than their input never overrun the output.
  std::string emoji;
  for (int i = 0; i < 1000; ++i) emoji += "\U0001F600\u00E9";
  ASSERT_TRUE(Utf8ToCp932(emoji, Unmappable::kCharRef, out));
  EXPECT_EQ(out.size(), 1000u * (9 + 6));
}

TEST(CodePage, ReferencesDecodeBackForDisplay) {
  const std::string stored = "a&#233;&#128512;&#x41;&#;" + Sjis({0x82, 0xA0});
  EXPECT_EQ(Cp932ToUtf8(stored, CharRefs::kDecode), "a\u00E9\U0001F600&#x41;&#;\u3042");
  EXPECT_EQ(Cp932ToUtf8(stored), "a&#233;&#128512;&#x41;&#;\u3042");
  EXPECT_EQ(Cp932ToUtf16(stored, CharRefs::kDecode), u"a\u00E9\U0001F600&#x41;&#;\u3042");
}

TEST(CodePage, Utf8ConversionRejectsMalformedInput) {
  std::string out = "x";
  EXPECT_TRUE(Utf8ToCp932("abc\u3042\u00E9", Unmappable::kCharRef, out));
  EXPECT_EQ(out, "abc" + Sjis({0x82, 0xA0}) + "&#233;");
  for (const char* bad : {"\xC0\xAF", "\xE3\x81", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "abc\xFF"}) {
    EXPECT_FALSE(Utf8ToCp932(bad, Unmappable::kCharRef, out)) << bad;
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(IsValidUtf8(bad));
  }
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80 plain"));
}

TEST(CodePage, Utf8AndUtf16) {
  EXPECT_EQ(Utf16ToUtf8(u"a\u3042\U0001F600"), "a\u3042\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\u3042\U0001F600"), u"a\u3042\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"), u"a\uFFFD");
}

TEST(CodePage, CharRefLength) {
  char32_t value = 0;
  EXPECT_EQ(CharRefLengthAt("x&#12354;y", 1, &value), 8u);
  EXPECT_EQ(value, 0x3042u);
  EXPECT_EQ(CharRefLengthAt("&#1114111;", 0), 10u);
  EXPECT_EQ(CharRefLengthAt("&#1114112;", 0), 0u);
  EXPECT_EQ(CharRefLengthAt("&#12345678;", 0), 0u);
  EXPECT_EQ(CharRefLengthAt("&#12354", 0), 0u);
  EXPECT_EQ(CharRefLengthAt("&#;", 0), 0u);
}

TEST(CodePage, EucJpMsCharacters) {
  // JIS X 0212 through the three-byte form, and a NEC-selected IBM kanji.
  EXPECT_EQ(EucJpMsCharToCp932("\x8F\xF3\xF3"), Sjis({0xFA, 0x40}));
  EXPECT_EQ(Cp932CharToEucJpMs(Sjis({0x82, 0xA0})), "\xA4\xA2");
  EXPECT_EQ(EucJpMsCharToCp932("\xA4\xA2"), Sjis({0x82, 0xA0}));
  EXPECT_EQ(EucJpMsCharToCp932("\xA4"), "");
}

}  // namespace
}  // namespace platform
