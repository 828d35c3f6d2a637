// SPDX-License-Identifier: MIT
#include "text/Cut.h"

#include "platform/CodePage.h"

namespace text {
namespace {

bool IsFullWidthSpaceAt(std::string_view text, size_t pos) {
  return pos + 1 < text.size() && static_cast<unsigned char>(text[pos]) == 0x81 &&
         static_cast<unsigned char>(text[pos + 1]) == 0x40;
}

// Byte length of the longest run of whole characters from the start that fits in
// `limit` bytes.
size_t WholeCharsWithin(std::string_view text, size_t limit) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = CharLengthAt(text, pos);
    if (pos + length > limit) break;
    pos += length;
  }
  return pos;
}

}  // namespace

// A lead byte pairs only with a byte that can follow it in code page 932. The bytes of a
// character reference ("&", "#", digits, ";") all lie below that range, so a stray lead
// byte never swallows the start of a reference, and the pairing agrees with how the
// converter reads the same bytes when the text is shown.
size_t CharLengthAt(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  const auto c = static_cast<unsigned char>(text[pos]);
  if (c == '&') {
    const size_t length = platform::CharRefLengthAt(text, pos);
    return length != 0 ? length : 1;
  }
  if (platform::IsLeadByte(c) && pos + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

// Trimming removes any mixture of white space from an end: the bytes up to 32 (space,
// TAB, line breaks, other control bytes) and the full-width space, in whatever order
// they come. (Removing the control bytes only before the first full-width space would
// leave a TAB behind in "　\t" and make the same blank title trim differently depending
// on how it was typed.)
std::string TrimLeftJ(std::string_view text) {
  // The start of the text is always a character boundary, so a full-width space can be
  // recognised there by its two bytes alone.
  size_t pos = 0;
  while (pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) <= 32) {
      ++pos;
    } else if (IsFullWidthSpaceAt(text, pos)) {
      pos += 2;
    } else {
      break;
    }
  }
  return std::string(text.substr(pos));
}

std::string TrimRightJ(std::string_view text) {
  // The bytes 0x81 0x40 at the end may be the trail byte of one character and "@", so the
  // trailing run of white space is found walking forward from the start.
  size_t runStart = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = CharLengthAt(text, pos);
    const bool isSpace =
        (length == 1 && static_cast<unsigned char>(text[pos]) <= 32) || (length == 2 && IsFullWidthSpaceAt(text, pos));
    pos += length;
    if (!isSpace) runStart = pos;
  }
  return std::string(text.substr(0, runStart));
}

std::string TrimJ(std::string_view text) {
  return TrimRightJ(TrimLeftJ(text));
}

size_t CharCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) ++count;
  return count;
}

std::string MidJ(std::string_view text, long first, long count) {
  if (count < 1 || text.empty()) return {};
  // A start before the first character starts at the first, as a plain copy does.
  long skip = first < 1 ? 0 : first - 1;
  size_t pos = 0;
  while (skip > 0 && pos < text.size()) {
    pos += CharLengthAt(text, pos);
    --skip;
  }
  const size_t start = pos;
  while (count > 0 && pos < text.size()) {
    pos += CharLengthAt(text, pos);
    --count;
  }
  return std::string(text.substr(start, pos - start));
}

std::string LeftBytes(std::string_view text, long n) {
  if (n <= 0) return {};
  const auto limit = static_cast<size_t>(n);
  if (limit >= text.size()) return std::string(text);
  return std::string(text.substr(0, WholeCharsWithin(text, limit)));
}

std::string TruncateText(std::string_view text, long maxBytes) {
  if (text.empty()) return {};
  if (maxBytes >= 0 && text.size() <= static_cast<size_t>(maxBytes)) return TrimRightJ(text);
  // Room for whole characters before the "..."; nothing fits when maxBytes is 3 or less.
  const size_t room = maxBytes > 3 ? static_cast<size_t>(maxBytes - 3) : 0;
  std::string out = TrimRightJ(text.substr(0, WholeCharsWithin(text, room)));
  out += "...";
  return out;
}

size_t FindJ(std::string_view text, std::string_view what, size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (what.empty()) return from;
  // `boundary` walks the character starts from the beginning of the text and never moves
  // back; a byte match counts only when it starts and ends on a character boundary.
  size_t boundary = 0;
  size_t candidate = text.find(what, from);
  while (candidate != std::string_view::npos) {
    while (boundary < candidate) boundary += CharLengthAt(text, boundary);
    if (boundary == candidate) {
      size_t end = candidate;
      while (end < candidate + what.size()) end += CharLengthAt(text, end);
      if (end == candidate + what.size()) return candidate;
    }
    candidate = text.find(what, candidate + 1);
  }
  return std::string_view::npos;
}

}  // namespace text
