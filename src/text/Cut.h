// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Double-byte-aware measuring, cutting and trimming of code page 932 text. A lead byte and
// its trail byte are one character, and so is a decimal character reference "&#N;" (it
// stands for a character code page 932 cannot hold): nothing here cuts inside either.
// A lead byte followed by a byte that cannot be a trail byte (below 0x40, 0x7F, 0xFD and
// up) counts as a character of its own, as the converters read it; so a stray lead byte
// never swallows the "&" of a reference.
namespace text {

// Whether a byte can follow a lead byte in code page 932 (0x40..0xFC except 0x7F). A lead
// byte pairs only with such a byte; the bytes of a character reference all lie below.
constexpr bool IsTrailByte(unsigned char c) {
  return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Length in bytes of the character starting at byte `pos` (1, 2, or the length of a
// character reference). A lead byte at the very end counts as 1.
size_t CharLengthAt(std::string_view text, size_t pos);

// Trimming: removes from that end every byte up to 32 (spaces, TABs, line breaks, control
// bytes) and every full-width space, in any mixture.
std::string TrimLeftJ(std::string_view text);
std::string TrimRightJ(std::string_view text);
std::string TrimJ(std::string_view text);

// Number of characters.
size_t CharCount(std::string_view text);

// `count` characters starting at character `first` (counted from 1; a `first` below 1
// starts at the first character). Empty when count < 1.
std::string MidJ(std::string_view text, long first, long count);

// The first `n` bytes, one byte less (or the whole reference less) where byte `n` would
// fall inside a character.
std::string LeftBytes(std::string_view text, long n);

// The text with TrimRightJ applied when it fits in `maxBytes` bytes; otherwise the whole
// characters that fit in maxBytes - 3 bytes, right-trimmed, and "...". A reference counts
// its real length. With maxBytes 3 or less a text that does not fit becomes "...".
std::string TruncateText(std::string_view text, long maxBytes);

// Position of `what` in `text` at or after byte `from`, matching only at character
// boundaries; std::string::npos when absent. An empty `what` is found at `from`.
size_t FindJ(std::string_view text, std::string_view what, size_t from = 0);

}  // namespace text
