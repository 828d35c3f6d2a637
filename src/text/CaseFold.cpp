// SPDX-License-Identifier: MIT
#include "text/CaseFold.h"

#include <array>

#include "platform/CodePage.h"

namespace text {
namespace {

struct UpperTable {
  std::array<uint16_t, 65536> codes;
  UpperTable() {
    for (unsigned code = 0; code < codes.size(); ++code) {
      codes[code] = static_cast<uint16_t>(code);
      const char16_t ch = code == 0 ? 0 : platform::DecodeCp932(code);
      if (ch == 0) continue;
      const char32_t upper = UpperCaseChar(ch);
      if (upper == ch) continue;
      if (const unsigned upperCode = platform::EncodeCp932(upper)) codes[code] = static_cast<uint16_t>(upperCode);
    }
  }
};

}  // namespace

char32_t UpperCaseChar(char32_t ch) {
  if (ch >= U'a' && ch <= U'z') return ch - 0x20;
  if (ch >= 0xFF41 && ch <= 0xFF5A) return ch - 0x20;                  // full-width Latin
  if (ch >= 0x03B1 && ch <= 0x03C9 && ch != 0x03C2) return ch - 0x20;  // Greek
  if (ch >= 0x0430 && ch <= 0x044F) return ch - 0x20;                  // Cyrillic
  if (ch == 0x0451) return 0x0401;                                     // Cyrillic io
  if (ch >= 0x2170 && ch <= 0x2179) return ch - 0x10;                  // small Roman numerals
  return ch;
}

uint16_t UpperCaseCode(unsigned code) {
  static const UpperTable table;
  return code < 65536 ? table.codes[code] : static_cast<uint16_t>(code);
}

}  // namespace text
