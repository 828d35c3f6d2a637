// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace text {
namespace {

std::string CodeBytes(unsigned code) {
  std::string bytes;
  if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  return bytes;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    out += ' ';
  }
  return out;
}

struct ByteCase {
  const char* name;
  std::string input;
  std::string expected;
};

class EucToSjisTest : public testing::TestWithParam<ByteCase> {};

TEST_P(EucToSjisTest, Converts) {
  EXPECT_EQ(Hex(EucToSjis(GetParam().input)), Hex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EucToSjisTest,
    testing::Values(ByteCase{"Hiragana", "\xA4\xA2", "\x82\xA0"}, ByteCase{"HalfWidthKana", "\x8E\xB1", "\xB1"},
                    ByteCase{"AsciiCopied", "a<b>\n", "a<b>\n"},
                    ByteCase{"NecSpecialRow", "\xAD\xA1", "\x87\x40"},  // ①
                    // Rows the arithmetic cannot place: the user-defined area and JIS X 0212.
                    ByteCase{"UserDefinedArea", "\xF5\xA1", "\xF0\x40"},
                    ByteCase{"Jisx0212InCp932", "\x8F\xF3\xF3", "\xFA\x40"},  // ⅰ, an IBM extension
                    ByteCase{"Jisx0212Kanji", "\x8F\xB0\xA1", "&#19970;"},    // 丂 is kept as a reference
                    ByteCase{"Jisx0212Latin", "x\x8F\xA9\xA1y", "x&#198;y"},  // Æ
                    // A truncated or unknown sequence is read the way the plain rule reads it.
                    ByteCase{"LoneByteAtEnd", "a\xA4", "a\xA4"}, ByteCase{"KanaMarkAtEnd", "\x8E", "\x8E"},
                    ByteCase{"ShortJisx0212", "\x8F\xB0", "\x8F\xB0"},
                    ByteCase{"BadKanaTrail", "\x8E\x41", "\x8E\x41"}),
    [](const testing::TestParamInfo<ByteCase>& info) { return std::string(info.param.name); });

class SjisToEucTest : public testing::TestWithParam<ByteCase> {};

TEST_P(SjisToEucTest, Converts) {
  EXPECT_EQ(Hex(SjisToEuc(GetParam().input)), Hex(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SjisToEucTest,
    testing::Values(ByteCase{"Hiragana", "\x82\xA0", "\xA4\xA2"}, ByteCase{"HalfWidthKana", "\xB1", "\x8E\xB1"},
                    ByteCase{"AsciiCopied", "a b", "a b"}, ByteCase{"TrailBackslash", "\x95\x5C", "\xC9\xBD"},  // 表
                    ByteCase{"UserDefinedArea", "\xF0\x40", "\xF5\xA1"},
                    ByteCase{"IbmExtension", "\xFA\x40", "\x8F\xF3\xF3"}, ByteCase{"LeadAtEnd", "a\x82", "a\x82"},
                    ByteCase{"LeadWithoutTrail", "\x82\x20", "\x82\x20"},
                    ByteCase{"UndefinedSingles", "\x80\xA0\xFD", "\x80\xA0\xFD"}),
    [](const testing::TestParamInfo<ByteCase>& info) { return std::string(info.param.name); });

// Lead bytes whose characters also have another code: the NEC special row, the
// NEC-selected IBM extensions and the IBM extensions. Only these may come back as a
// different code after a round trip, and then as the same character.
bool IsDuplicateArea(unsigned code) {
  const unsigned lead = code >> 8;
  return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
}

TEST(Utf8RoundTrip, EveryCodeComesBack) {
  int defined = 0, duplicates = 0;
  for (unsigned code = 1; code < 65536; ++code) {
    if (code > 0xFF && (!platform::IsLeadByte(code >> 8) || (code & 0xFF) < 0x40)) continue;
    if (!platform::IsDefinedCp932(code)) continue;
    ++defined;
    const std::string sjis = CodeBytes(code);
    const std::string utf8 = SjisToUtf8(sjis);
    ASSERT_TRUE(platform::IsValidUtf8(utf8)) << std::hex << code;
    const std::string back = Utf8ToSjis(utf8);
    if (back == sjis) continue;
    ++duplicates;
    EXPECT_TRUE(IsDuplicateArea(code)) << std::hex << code;
    EXPECT_EQ(SjisToUtf8(back), utf8) << std::hex << code;
  }
  EXPECT_GT(defined, 9000);
  EXPECT_LT(duplicates, 400);
}

TEST(EucRoundTrip, EveryJisRowCodeComesBack) {
  int checked = 0;
  for (unsigned lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const unsigned code = lead << 8 | trail;
      if (trail == 0x7F || !platform::IsDefinedCp932(code)) continue;
      const std::string sjis = CodeBytes(code);
      const std::string euc = SjisToEuc(sjis);
      ASSERT_EQ(euc.size(), 2u) << std::hex << code;
      EXPECT_GE(static_cast<unsigned char>(euc[0]), 0xA1) << std::hex << code;
      EXPECT_GE(static_cast<unsigned char>(euc[1]), 0xA1) << std::hex << code;
      EXPECT_EQ(EucToSjis(euc), sjis) << std::hex << code;
      ++checked;
    }
  }
  EXPECT_GT(checked, 7000);
}

TEST(EucRoundTrip, ExtensionAreasGoThroughEucJpMs) {
  // The user-defined area comes back exactly; the IBM extensions come back as the same
  // character (possibly under its preferred code).
  for (unsigned code : {0xF040u, 0xF09Eu, 0xF9FCu, 0xFA40u, 0xFA5Bu, 0xFB40u, 0xFC4Bu}) {
    const std::string sjis = CodeBytes(code);
    const std::string euc = SjisToEuc(sjis);
    EXPECT_NE(euc, sjis) << std::hex << code;
    EXPECT_EQ(SjisToUtf8(EucToSjis(euc)), SjisToUtf8(sjis)) << std::hex << code;
  }
}

TEST(UrlEncode, EncodesAllButTheSafeBytes) {
  EXPECT_EQ(UrlEncode("\x82\xA0"
                      "a b~"),
            "%82%A0a+b%7E");
  EXPECT_EQ(UrlEncode("*-.09@AZ_az"), "*-.09@AZ_az");
  EXPECT_EQ(UrlEncode("/:?&=%\xB1"), "%2F%3A%3F%26%3D%25%B1");
  // The trail byte of "ア" (0x83 0x41) is "A", but it is part of the character.
  EXPECT_EQ(UrlEncode(J("ア")), "%83%41");
  EXPECT_EQ(UrlEncode("\x83 "), "%83+");  // a lead byte without a trail stands alone
  EXPECT_EQ(UrlEncode(std::string("\0", 1)), "%00");
}

TEST(Utf8ToSjis, KeepsWhatCodePage932CannotHoldAsReferences) {
  EXPECT_EQ(Utf8ToSjis("\xE3\x81\x82"), "\x82\xA0");         // あ
  EXPECT_EQ(Utf8ToSjis("caf\xC3\xA9"), "caf&#233;");         // é
  EXPECT_EQ(Utf8ToSjis("\xF0\x9F\x98\x80!"), "&#128512;!");  // 😀
  EXPECT_EQ(Utf8ToSjis("a\xE3\x80\x9C"
                       "b"),
            "a\x81\x60"
            "b");  // wave dash: repaired
  EXPECT_EQ(Utf8ToSjis("\xE2\x88\x92\xE2\x80\x93\xF0\x9F\x98\x80"), "\x81\x7C-&#128512;");
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis("caf\xC3\xA9 \xF0\x9F\x98\x80")), "caf\xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(Utf8ToSjis, MalformedUtf8GivesTheEmptyText) {
  for (const std::string_view bad :
       {"\xC3", "a\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\xE3\x80\x9C\xFF"}) {
    EXPECT_EQ(Utf8ToSjis(bad), "") << Hex(bad);
  }
  EXPECT_EQ(Utf8ToSjis(""), "");
}

TEST(SjisToUtf8, DecodesKeptReferencesOnly) {
  EXPECT_EQ(SjisToUtf8("\x82\xA0&#233;&#x41;&amp;"), "\xE3\x81\x82\xC3\xA9&#x41;&amp;");
  EXPECT_EQ(JapaneseToWide("\x82\xA0&#233;"), u"あ&#233;");
}

TEST(WideToJapanese, RepairsLookAlikesThenKeepsReferences) {
  EXPECT_EQ(WideToJapanese(u"abc\u3042"), "abc\x82\xA0");
  EXPECT_EQ(WideToJapanese(u"\u301C"), "\x81\x60");  // wave dash -> ～
  EXPECT_EQ(WideToJapanese(u"1\u22122\u20143"),
            "1\x81\x7C"
            "2\x81\x7C"
            "3");
  EXPECT_EQ(WideToJapanese(u"a\u2013b"), "a-b");
  EXPECT_EQ(WideToJapanese(u"\u301C\U0001F600\u00E9?"), "\x81\x60&#128512;&#233;?");
  EXPECT_EQ(WideToJapanese(u""), "");
}

struct CharsetCase {
  const char* name;
  std::string page;
  HtmlCharset expected;
};

class GuessHtmlCharsetTest : public testing::TestWithParam<CharsetCase> {};

TEST_P(GuessHtmlCharsetTest, PicksTheLabelMentionedLast) {
  EXPECT_EQ(GuessHtmlCharset(GetParam().page), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuessHtmlCharsetTest,
    testing::Values(CharsetCase{"NoLabel", "<html><body>x</body></html>", HtmlCharset::kShiftJis},
                    CharsetCase{"Euc", "<meta charset=EUC-JP>", HtmlCharset::kEucJp},
                    CharsetCase{"EucUnderscore", "charset=euc_jp", HtmlCharset::kEucJp},
                    CharsetCase{"EucThenUtf8", "charset=euc-jp ... written in utf-8", HtmlCharset::kUtf8},
                    CharsetCase{"Utf8ThenSjis", "charset=UTF-8 ... Shift_JIS", HtmlCharset::kShiftJis},
                    CharsetCase{"Utf8NoDash", "encoding utf8", HtmlCharset::kUtf8},
                    CharsetCase{"SjisThenEuc", "x-sjis then EUC-JP", HtmlCharset::kEucJp},
                    CharsetCase{"SjisOnly", "charset=shift-jis", HtmlCharset::kShiftJis}),
    [](const testing::TestParamInfo<CharsetCase>& info) { return std::string(info.param.name); });

TEST(ConvertHtmlPage, ConvertsByTheGuessedCharset) {
  EXPECT_EQ(ConvertHtmlPage("<meta charset=euc-jp>\xA4\xA2"), "<meta charset=euc-jp>\x82\xA0");
  EXPECT_EQ(ConvertHtmlPage("<meta charset=utf-8>\xE3\x81\x82"), "<meta charset=utf-8>\x82\xA0");
  // A page that says UTF-8 but is not stays as it is rather than becoming empty.
  EXPECT_EQ(ConvertHtmlPage("<meta charset=utf-8>\x82\xA0"), "<meta charset=utf-8>\x82\xA0");
  EXPECT_EQ(ConvertHtmlPage("<p>\x82\xA0</p>"), "<p>\x82\xA0</p>");
}

}  // namespace
}  // namespace text
