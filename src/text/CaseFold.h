// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace text {

// Upper-case mapping of one character, for the characters code page 932 has in both
// cases: ASCII, full-width Latin, Greek, Cyrillic and the small Roman numerals.
char32_t UpperCaseChar(char32_t ch);

// The upper-cased code of a code page 932 code (a single byte, or lead << 8 | trail),
// from a table built once.
uint16_t UpperCaseCode(unsigned code);

}  // namespace text
