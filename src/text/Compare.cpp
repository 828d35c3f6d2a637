// SPDX-License-Identifier: MIT
#include "text/Compare.h"

#include <cstdint>

#include "platform/CodePage.h"
#include "text/CaseFold.h"
#include "text/Cut.h"

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
  if (platform::IsLeadByte(c) && pos + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(s[pos + 1]))) {
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

bool SameTextJ(std::string_view a, std::string_view b) {
  return CompareTextJ(a, b) == 0;
}

size_t HashTextJ(std::string_view text) {
  // FNV-1a over the comparison keys: texts with the same keys are the same texts to
  // CompareTextJ, and they hash alike.
  uint64_t hash = 14695981039346656037ull;
  size_t pos = 0;
  while (pos < text.size()) {
    const unsigned key = NextKey(text, pos);
    hash = (hash ^ (key >> 8)) * 1099511628211ull;
    hash = (hash ^ (key & 0xFF)) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool SameTextTrimmed(std::string_view a, std::string_view b) {
  if (a == b) return true;
  return SameTextJ(TrimJ(a), TrimJ(b));
}

namespace {

// The text with TABs deleted and then every CR LF and every other LF turned into a CR.
// TAB, CR and LF lie below the trail-byte range, so working on bytes splits no character.
std::string NormaliseBreaks(std::string_view text) {
  std::string noTabs;
  noTabs.reserve(text.size());
  for (const char c : text) {
    if (c != '\t') noTabs.push_back(c);
  }
  std::string out;
  out.reserve(noTabs.size());
  for (size_t i = 0; i < noTabs.size(); ++i) {
    if (noTabs[i] == '\r' && i + 1 < noTabs.size() && noTabs[i + 1] == '\n') ++i;
    out.push_back(noTabs[i] == '\n' ? '\r' : noTabs[i]);
  }
  return out;
}

}  // namespace

bool SameTextBreaks(std::string_view a, std::string_view b) {
  return SameTextJ(NormaliseBreaks(a), NormaliseBreaks(b));
}

}  // namespace text
