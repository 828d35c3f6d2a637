// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Double-byte-aware measuring, cutting and trimming of code page 932 text. A lead byte and
// its trail byte are one character, and so is a decimal character reference "&#N;" (it
// stands for a character code page 932 cannot hold): nothing here cuts inside either.
namespace text {

// Length in bytes of the character starting at byte `pos` (1, 2, or the length of a
// character reference). A lead byte at the very end counts as 1.
size_t CharLengthAt(std::string_view text, size_t pos);

// Trimming: first bytes up to 32 from that end, then ASCII and full-width spaces.
std::string TrimLeftJ(std::string_view text);
std::string TrimRightJ(std::string_view text);
std::string TrimJ(std::string_view text);

// Number of characters.
size_t CharCount(std::string_view text);

// `count` characters starting at character `first` (counted from 1).
std::string MidJ(std::string_view text, long first, long count);

// The first `n` bytes, one byte less (or the whole reference less) where byte `n` would
// fall inside a character.
std::string LeftBytes(std::string_view text, long n);

// The text cut to at most `maxBytes` bytes with "..." at the end, trailing spaces trimmed.
std::string TruncateText(std::string_view text, long maxBytes);

// Position of `what` in `text` at or after byte `from`, matching only at character
// boundaries; std::string::npos when absent. An empty `what` is found at `from`.
size_t FindJ(std::string_view text, std::string_view what, size_t from = 0);

}  // namespace text
