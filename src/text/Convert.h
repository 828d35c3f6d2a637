// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Conversions between the program's code page 932 text and the other encodings met on
// the web. A character that code page 932 cannot hold is kept as a decimal character
// reference "&#N;", never replaced by "?".
namespace text {

// EUC-JP to code page 932. Two-byte characters use the JIS row/cell arithmetic; where
// that gives no defined code (three-byte JIS X 0212 characters, the user-defined rows)
// the character is converted through EUC-JP-MS instead.
std::string EucToSjis(std::string_view euc);

// Code page 932 to EUC-JP, the inverse arithmetic; the extension areas without a JIS
// row (lead bytes 0xF0 and up) go through EUC-JP-MS.
std::string SjisToEuc(std::string_view sjis);

// %-encoding of a text for a URL: double-byte characters and every byte but
// "*-.0-9@A-Z_a-z" as %XX, a space as "+".
std::string UrlEncode(std::string_view text);

// UTF-8 to code page 932 with the same repair table as WideToJapanese; characters still
// without a code are kept as references. Malformed UTF-8 gives the empty string (callers
// use that as the validity test).
std::string Utf8ToSjis(std::string_view utf8);

// Code page 932 to UTF-8; kept character references become their characters again.
std::string SjisToUtf8(std::string_view sjis);

// UTF-16 to code page 932 with the repair table: when the plain conversion could not
// hold a character, the table's look-alikes (wave dash to full-width tilde, minus sign
// and em dash to full-width hyphen-minus, en dash to "-") are substituted first; what is
// still left over is kept as a character reference.
std::string WideToJapanese(std::u16string_view wide);

// Code page 932 to UTF-16, character references kept as text.
std::u16string JapaneseToWide(std::string_view sjis);

enum class HtmlCharset { kShiftJis, kEucJp, kUtf8 };

// Guesses the encoding of an HTML page from the labels it mentions ("shift_jis",
// "shift-jis", "sjis"; "euc-jp", "euc_jp"; "utf8", "utf-8"; any case): the group whose
// first mention lies furthest into the page wins; Shift_JIS when in doubt.
HtmlCharset GuessHtmlCharset(std::string_view page);

// The page converted to code page 932 by its guessed encoding (EucToSjis, Utf8ToSjis).
// A UTF-8 page that is not valid UTF-8 is left as it is.
std::string ConvertHtmlPage(std::string_view page);

}  // namespace text
