// SPDX-License-Identifier: MIT
#include "text/Compare.h"

#include "platform/CodePage.h"
#include "text/CaseFold.h"

namespace text {
namespace {

// The comparison key of the character at `pos`: its upper-cased code with the first byte
// in the high half, so that keys order like the byte sequences they stand for (the first
// byte of a character decides its length). Advances `pos`.
unsigned NextKey(std::string_view s, size_t& pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) {
    ++pos;
    return static_cast<unsigned>(c >= 'a' && c <= 'z' ? c - 0x20 : c) << 8;
  }
  if (platform::IsLeadByte(c) && pos + 1 < s.size()) {
    const unsigned code = c << 8 | static_cast<unsigned char>(s[pos + 1]);
    pos += 2;
    return UpperCaseCode(code);
  }
  ++pos;
  return static_cast<unsigned>(c) << 8;
}

}  // namespace

int CompareTextJ(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned ka = NextKey(a, i);
    const unsigned kb = NextKey(b, j);
    if (ka != kb) return ka < kb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameTextJ(std::string_view a, std::string_view b) { return CompareTextJ(a, b) == 0; }

}  // namespace text
