// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Comparing and folding code page 932 text the way the program's lists and searches need.
namespace text {

// Case-insensitive comparison with one fixed, documented order: both texts are compared
// character by character after upper-casing (ASCII, full-width Latin, Greek, Cyrillic and
// the small Roman numerals), as the unsigned byte sequences of the upper-cased text. It
// does not depend on the user's locale, so sorted lists stay valid across runs and
// machines. Returns -1, 0 or 1.
int CompareTextJ(std::string_view a, std::string_view b);

// Equality under CompareTextJ.
bool SameTextJ(std::string_view a, std::string_view b);

// A hash that agrees with SameTextJ: texts that are the same under it hash alike, so a
// table keyed by it finds every text SameTextJ would find.
size_t HashTextJ(std::string_view text);

// Identical, or equal under CompareTextJ once both are trimmed with TrimJ.
bool SameTextTrimmed(std::string_view a, std::string_view b);

// Equal under CompareTextJ after deleting TABs and turning CR LF and LF into CR.
bool SameTextBreaks(std::string_view a, std::string_view b);

// The search form of a text: upper case, full-width letters, digits, punctuation and
// spaces made half-width, hiragana made katakana and katakana made half-width (voiced
// kana become the kana and a separate voicing mark). Queries and item texts are both
// folded, so matching ignores case, width and the hiragana/katakana distinction.
std::string FoldForSearch(std::string_view text);

}  // namespace text
