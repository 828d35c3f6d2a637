// SPDX-License-Identifier: MIT
#include <array>
#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "text/CaseFold.h"
#include "text/Compare.h"
#include "text/Cut.h"

// FoldForSearch: the one normalisation that queries and item texts both go through, so that
// a search ignores case, character width and the hiragana/katakana distinction. It gives
// what LCMapString with upper case, half-width and katakana gives on code page 932 text,
// from a table of our own:
//
//   a-z                          A-Z
//   U+FF01..U+FF5E (full-width)  U+0021..U+007E, then upper-cased (Ａ ａ -> A, ！ -> !)
//   U+3000 (full-width space)    space
//   U+201C U+201D (“ ”)          "      (a quoted query typed with full-width quotes
//   U+2018 U+2019 (‘ ’)          '       still reads as quoted)
//   Greek, Cyrillic, ⅰ..ⅹ        upper case (UpperCaseChar); in character references also
//                                the accented Latin letters of U+00E0..U+017E, Cyrillic
//                                U+0450..U+045F and the accented Greek letters
//   hiragana U+3041..U+3096      katakana (+0x60); ゝ ゞ -> ヽ ヾ
//   katakana                     half-width katakana where one exists: voiced and
//                                semi-voiced kana become the kana and ﾞ or ﾟ (ガ -> ｶﾞ,
//                                パ -> ﾊﾟ, ヴ -> ｳﾞ, ヷ -> ﾜﾞ, ヺ -> ｦﾞ), small kana their
//                                small half-width forms; ヮ ヰ ヱ ヵ ヶ ヸ ヹ ヽ ヾ have no
//                                half-width form and stay full-width katakana
//   ー ・ 「 」 、 。 ゛ ゜         ｰ ･ ｢ ｣ ､ ｡ ﾞ ﾟ
//
// Every other character stays, and so does any character whose folded form code page 932
// cannot hold. A kept character reference "&#N;" is folded through the same mapping and
// written as a reference again when its folded form still has no code.

namespace text {
namespace {

// Half-width forms of the katakana U+30A1..U+30FC, in code order; empty where none exists.
constexpr const char16_t* kHalfWidthKatakana[] = {
    u"ｧ",  u"ｱ",  u"ｨ", u"ｲ",  u"ｩ",  u"ｳ",  u"ｪ",  u"ｴ",  u"ｫ",  u"ｵ",   // ァ..オ
    u"ｶ",  u"ｶﾞ", u"ｷ", u"ｷﾞ", u"ｸ",  u"ｸﾞ", u"ｹ",  u"ｹﾞ", u"ｺ",  u"ｺﾞ",  // カ..ゴ
    u"ｻ",  u"ｻﾞ", u"ｼ", u"ｼﾞ", u"ｽ",  u"ｽﾞ", u"ｾ",  u"ｾﾞ", u"ｿ",  u"ｿﾞ",  // サ..ゾ
    u"ﾀ",  u"ﾀﾞ", u"ﾁ", u"ﾁﾞ", u"ｯ",  u"ﾂ",  u"ﾂﾞ", u"ﾃ",  u"ﾃﾞ", u"ﾄ",   // タ..ト
    u"ﾄﾞ", u"ﾅ",  u"ﾆ", u"ﾇ",  u"ﾈ",  u"ﾉ",  u"ﾊ",  u"ﾊﾞ", u"ﾊﾟ", u"ﾋ",   // ド..ヒ
    u"ﾋﾞ", u"ﾋﾟ", u"ﾌ", u"ﾌﾞ", u"ﾌﾟ", u"ﾍ",  u"ﾍﾞ", u"ﾍﾟ", u"ﾎ",  u"ﾎﾞ",  // ビ..ボ
    u"ﾎﾟ", u"ﾏ",  u"ﾐ", u"ﾑ",  u"ﾒ",  u"ﾓ",  u"ｬ",  u"ﾔ",  u"ｭ",  u"ﾕ",   // ポ..ユ
    u"ｮ",  u"ﾖ",  u"ﾗ", u"ﾘ",  u"ﾙ",  u"ﾚ",  u"ﾛ",  u"",   u"ﾜ",  u"",    // ョ..ヰ
    u"",   u"ｦ",  u"ﾝ", u"ｳﾞ", u"",   u"",   u"ﾜﾞ", u"",   u"",   u"ｦﾞ",  // ヱ..ヺ
    u"･",  u"ｰ",                                                          // ・ ー
};
static_assert(std::size(kHalfWidthKatakana) == 0x30FC - 0x30A1 + 1);

// Upper case beyond UpperCaseChar for letters that reach the text only as character
// references: Latin-1 and Latin Extended-A, the rest of Cyrillic, accented Greek.
char32_t UpperCaseWide(char32_t ch) {
  const char32_t upper = UpperCaseChar(ch);
  if (upper != ch) return upper;
  if (ch >= 0x00E0 && ch <= 0x00FE && ch != 0x00F7) return ch - 0x20;
  if (ch == 0x00FF) return 0x0178;
  // Latin Extended-A pairs an upper-case letter with the lower-case one after it; the
  // parity flips at U+0139 and again at U+014A and U+0179. ı ĸ ſ have no partner here.
  const bool oddLower =
      (ch >= 0x0100 && ch <= 0x012F) || (ch >= 0x0132 && ch <= 0x0137) || (ch >= 0x014A && ch <= 0x0177);
  const bool evenLower = (ch >= 0x0139 && ch <= 0x0148) || (ch >= 0x0179 && ch <= 0x017E);
  if ((oddLower && ch % 2 == 1) || (evenLower && ch % 2 == 0)) return ch - 1;
  if (ch >= 0x0450 && ch <= 0x045F) return ch - 0x50;
  if (ch == 0x03AC) return 0x0386;
  if (ch >= 0x03AD && ch <= 0x03AF) return ch - 0x25;
  if (ch == 0x03CA || ch == 0x03CB) return ch - 0x20;
  if (ch == 0x03CC) return 0x038C;
  if (ch == 0x03CD || ch == 0x03CE) return ch - 0x3F;
  return ch;
}

// The punctuation of the kana block with half-width forms outside the katakana run.
char32_t HalfWidthPunctuation(char32_t ch) {
  switch (ch) {
    case 0x3001:
      return 0xFF64;  // 、
    case 0x3002:
      return 0xFF61;  // 。
    case 0x300C:
      return 0xFF62;  // 「
    case 0x300D:
      return 0xFF63;  // 」
    case 0x309B:
      return 0xFF9E;  // ゛
    case 0x309C:
      return 0xFF9F;  // ゜
    default:
      return 0;
  }
}

// The folded form of one character: one or two characters, written to `out`.
size_t FoldChar(char32_t ch, char32_t out[2]) {
  if (ch >= 0xFF01 && ch <= 0xFF5E) {
    ch -= 0xFEE0;
  } else if (ch == 0x3000) {
    ch = U' ';
  } else if (ch == 0x201C || ch == 0x201D) {
    ch = U'"';
  } else if (ch == 0x2018 || ch == 0x2019) {
    ch = U'\'';
  }
  ch = UpperCaseWide(ch);
  if (ch >= 0x3041 && ch <= 0x3096) ch += 0x60;
  if (ch == 0x309D || ch == 0x309E) ch += 0x60;
  if (const char32_t half = HalfWidthPunctuation(ch)) {
    out[0] = half;
    return 1;
  }
  if (ch >= 0x30A1 && ch <= 0x30FC) {
    const char16_t* half = kHalfWidthKatakana[ch - 0x30A1];
    if (half[0] != 0) {
      out[0] = half[0];
      if (half[1] == 0) return 1;
      out[1] = half[1];
      return 2;
    }
  }
  out[0] = ch;
  return 1;
}

void AppendCode(std::string& out, unsigned code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

void AppendCharRef(std::string& out, char32_t ch) {
  out += "&#";
  out += std::to_string(static_cast<unsigned long>(ch));
  out += ';';
}

// The folded bytes of every double-byte code, built once: each folds to at most two
// bytes, so the text can be folded in place of a per-character mapping.
struct FoldTable {
  struct Entry {
    uint8_t size;
    char bytes[2];
  };
  std::array<Entry, 65536> entries;

  FoldTable() {
    for (unsigned code = 0; code < entries.size(); ++code) {
      entries[code] = Entry{2, {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}};
      if (code < 0x8100) continue;
      const char16_t ch = platform::DecodeCp932(code);
      if (ch == 0) continue;
      char32_t folded[2];
      const size_t count = FoldChar(ch, folded);
      if (count == 1 && folded[0] == ch) continue;
      std::string bytes;
      bool encodable = true;
      for (size_t i = 0; i < count && encodable; ++i) {
        const unsigned foldedCode = platform::EncodeCp932(folded[i]);
        encodable = foldedCode != 0;
        AppendCode(bytes, foldedCode);
      }
      if (!encodable || bytes.size() > 2) continue;
      entries[code].size = static_cast<uint8_t>(bytes.size());
      for (size_t i = 0; i < bytes.size(); ++i) entries[code].bytes[i] = bytes[i];
    }
  }
};

const FoldTable& Table() {
  static const FoldTable table;
  return table;
}

// The folded form of the character a reference stands for, or empty when it folds to
// itself.
std::string FoldCharRef(char32_t value) {
  char32_t folded[2];
  const size_t count = FoldChar(value, folded);
  if (count == 1 && folded[0] == value) return {};
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    const unsigned code = platform::EncodeCp932(folded[i]);
    if (code != 0 || folded[i] == 0) {
      AppendCode(out, code);
    } else {
      AppendCharRef(out, folded[i]);
    }
  }
  return out;
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
  const FoldTable& table = Table();
  // Folding never makes a character longer except, rarely, a reference whose number gains
  // a digit; `out` grows for those, so the writes below stay within its size.
  std::string out(text.size(), '\0');
  size_t written = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
      char32_t value = 0;
      const size_t refLength = c == '&' ? platform::CharRefLengthAt(text, pos, &value) : 0;
      if (refLength != 0) {
        std::string folded = FoldCharRef(value);
        if (folded.empty()) folded = text.substr(pos, refLength);
        if (folded.size() > refLength) out.resize(out.size() + folded.size() - refLength);
        folded.copy(&out[written], folded.size());
        written += folded.size();
        pos += refLength;
        continue;
      }
      out[written++] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
      ++pos;
      continue;
    }
    if (platform::IsLeadByte(c) && pos + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
      const auto& entry = table.entries[c << 8 | static_cast<unsigned char>(text[pos + 1])];
      out[written] = entry.bytes[0];
      if (entry.size == 2) out[written + 1] = entry.bytes[1];
      written += entry.size;
      pos += 2;
      continue;
    }
    // Half-width katakana and the other single bytes are already in their folded form.
    out[written++] = static_cast<char>(c);
    ++pos;
  }
  out.resize(written);
  return out;
}

}  // namespace text
