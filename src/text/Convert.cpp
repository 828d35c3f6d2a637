// SPDX-License-Identifier: MIT
#include "text/Convert.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "platform/CodePage.h"
#include "text/Cut.h"

namespace text {
namespace {

// JIS X 0208 row and cell to Shift_JIS, the standard arithmetic (bytes modulo 256). Rows
// outside 33..126 have no Shift_JIS form; the callers never pass one.
void JisToSjis(unsigned j1, unsigned j2, unsigned char& s1, unsigned char& s2) {
  s1 = static_cast<unsigned char>((j1 + 1) / 2 + (j1 <= 94 ? 112 : 176));
  if (j1 % 2 == 0) {
    s2 = static_cast<unsigned char>(j2 + 126);
  } else {
    s2 = static_cast<unsigned char>(j2 < 96 ? j2 + 31 : j2 + 32);
  }
}

// Shift_JIS to JIS X 0208 row and cell, the inverse arithmetic (bytes modulo 256).
void SjisToJis(unsigned s1, unsigned s2, unsigned char& j1, unsigned char& j2) {
  j1 = static_cast<unsigned char>(2 * s1 - 96 - (s1 < 160 ? 128 : 0) - (s2 < 159 ? 1 : 0));
  if (s2 <= 126) {
    j2 = static_cast<unsigned char>(s2 - 31);
  } else if (s2 > 158) {
    j2 = static_cast<unsigned char>(s2 - 126);
  } else {
    j2 = static_cast<unsigned char>(s2 - 32);
  }
}

bool IsEucByte(unsigned char c) {
  return c >= 0xA1 && c <= 0xFE;
}

// One two-byte EUC-JP character at `pos` (a byte 0xA1..0xFE and the byte after it). The
// row/cell arithmetic decides wherever it lands on a code that code page 932 defines.
// Elsewhere (the user-defined rows 85..94, rows without characters) EUC-JP-MS is asked,
// which knows the user-defined area and the extensions; when it knows nothing either,
// the arithmetic's bytes are kept as they are.
void AppendEucPair(std::string& out, std::string_view euc, size_t pos) {
  unsigned char s1, s2;
  JisToSjis(static_cast<unsigned char>(euc[pos] - 128), static_cast<unsigned char>(euc[pos + 1] - 128), s1, s2);
  if (!platform::IsDefinedCp932(static_cast<unsigned>(s1) << 8 | s2)) {
    const std::string viaIconv = platform::EucJpMsCharToCp932(euc.substr(pos, 2));
    if (!viaIconv.empty()) {
      out += viaIconv;
      return;
    }
  }
  out.push_back(static_cast<char>(s1));
  out.push_back(static_cast<char>(s2));
}

// The repair table: characters code page 932 cannot hold and the look-alikes that Windows
// text uses in their place. Every "from" character lacks a code, so offering the table to
// each character without a code gives what converting, finding a loss, applying the
// table to the whole text and converting again gives.
struct RepairPair {
  char32_t from;
  char32_t to;
};
constexpr std::array<RepairPair, 4> kRepairTable = {{
    {U'\u2212', U'\uFF0D'},  // minus sign -> full-width hyphen-minus
    {U'\u2014', U'\uFF0D'},  // em dash -> full-width hyphen-minus
    {U'\u301C', U'\uFF5E'},  // wave dash -> full-width tilde
    {U'\u2013', U'-'},       // en dash -> hyphen-minus
}};

char32_t RepairChar(char32_t ch) {
  for (const RepairPair& pair : kRepairTable) {
    if (pair.from == ch) return pair.to;
  }
  return ch;
}

// The first position (counted from 1) of any of the labels in the lower-cased page, the
// largest of them; 0 when none occurs.
size_t LabelScore(std::string_view lowered, std::initializer_list<std::string_view> labels) {
  size_t score = 0;
  for (const std::string_view label : labels) {
    const size_t at = lowered.find(label);
    if (at != std::string_view::npos) score = std::max(score, at + 1);
  }
  return score;
}

}  // namespace

std::string EucToSjis(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  size_t pos = 0;
  while (pos < euc.size()) {
    const auto c = static_cast<unsigned char>(euc[pos]);
    if (c == 0x8F && pos + 2 < euc.size() && IsEucByte(static_cast<unsigned char>(euc[pos + 1])) &&
        IsEucByte(static_cast<unsigned char>(euc[pos + 2]))) {
      // A three-byte JIS X 0212 character: code page 932 holds a few of them (the IBM
      // extensions); the rest come back as character references. If EUC-JP-MS does not
      // know the sequence, 0x8F is copied and the next two bytes read as a pair.
      const std::string viaIconv = platform::EucJpMsCharToCp932(euc.substr(pos, 3));
      if (!viaIconv.empty()) {
        out += viaIconv;
        pos += 3;
        continue;
      }
    }
    if (IsEucByte(c) && pos + 1 < euc.size()) {
      AppendEucPair(out, euc, pos);
      pos += 2;
    } else if (c == 0x8E && pos + 1 < euc.size() && euc[pos + 1] >= '\xA1' && euc[pos + 1] <= '\xDF') {
      out.push_back(euc[pos + 1]);
      pos += 2;
    } else {
      out.push_back(static_cast<char>(c));
      ++pos;
    }
  }
  return out;
}

std::string SjisToEuc(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  size_t pos = 0;
  while (pos < sjis.size()) {
    const auto c = static_cast<unsigned char>(sjis[pos]);
    if (platform::IsLeadByte(c) && pos + 1 < sjis.size() && IsTrailByte(static_cast<unsigned char>(sjis[pos + 1]))) {
      const auto trail = static_cast<unsigned char>(sjis[pos + 1]);
      if (c >= 0xF0) {
        // Lead bytes from 0xF0 on (the user-defined area and the IBM extensions) have no
        // JIS X 0208 row; EUC-JP-MS has places for them. Without one the bytes are copied.
        const std::string viaIconv = platform::Cp932CharToEucJpMs(sjis.substr(pos, 2));
        out += viaIconv.empty() ? std::string(sjis.substr(pos, 2)) : viaIconv;
      } else {
        unsigned char j1, j2;
        SjisToJis(c, trail, j1, j2);
        out.push_back(static_cast<char>(j1 + 128));
        out.push_back(static_cast<char>(j2 + 128));
      }
      pos += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      out.push_back('\x8E');
      out.push_back(static_cast<char>(c));
      ++pos;
    } else {
      out.push_back(static_cast<char>(c));
      ++pos;
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    // Both bytes of a double-byte character are encoded, even a trail byte that looks
    // like a letter.
    const bool doubleByte =
        platform::IsLeadByte(c) && pos + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[pos + 1]));
    const size_t length = doubleByte ? 2 : 1;
    for (size_t i = 0; i < length; ++i) {
      const auto b = static_cast<unsigned char>(text[pos + i]);
      const bool safe = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '*' ||
                        b == '-' || b == '.' || b == '@' || b == '_';
      if (!doubleByte && safe) {
        out.push_back(static_cast<char>(b));
      } else if (!doubleByte && b == ' ') {
        out.push_back('+');
      } else {
        out.push_back('%');
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0x0F]);
      }
    }
    pos += length;
  }
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  // The repair table applies to UTF-8 text as it does to the XML layer's text, so a wave
  // dash reads the same whichever way a page arrived.
  std::string out;
  platform::Utf8ToCp932(utf8, platform::Unmappable::kCharRef, out, RepairChar);
  return out;
}

std::string SjisToUtf8(std::string_view sjis) {
  return platform::Cp932ToUtf8(sjis, platform::CharRefs::kDecode);
}

std::string WideToJapanese(std::u16string_view wide) {
  // A character without a code gets its look-alike from the repair table; whatever still
  // has none is kept as a character reference instead of a "?" that would lose it.
  return platform::Utf16ToCp932(wide, platform::Unmappable::kCharRef, nullptr, RepairChar);
}

std::u16string JapaneseToWide(std::string_view sjis) {
  return platform::Cp932ToUtf16(sjis, platform::CharRefs::kKeep);
}

HtmlCharset GuessHtmlCharset(std::string_view page) {
  // The page's encoding is not known yet, so the labels are looked for byte by byte.
  std::string lowered(page);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  const size_t sjis = LabelScore(lowered, {"shift_jis", "shift-jis", "sjis"});
  const size_t euc = LabelScore(lowered, {"euc-jp", "euc_jp"});
  const size_t utf8 = LabelScore(lowered, {"utf8", "utf-8"});
  if (euc > sjis && euc > utf8) return HtmlCharset::kEucJp;
  if (utf8 > sjis && utf8 > euc) return HtmlCharset::kUtf8;
  return HtmlCharset::kShiftJis;
}

std::string ConvertHtmlPage(std::string_view page) {
  switch (GuessHtmlCharset(page)) {
    case HtmlCharset::kEucJp:
      return EucToSjis(page);
    case HtmlCharset::kUtf8: {
      std::string converted = Utf8ToSjis(page);
      if (converted.empty() && !page.empty()) return std::string(page);
      return converted;
    }
    case HtmlCharset::kShiftJis:
      break;
  }
  return std::string(page);
}

}  // namespace text
