// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Escaping and clean-up of text going into or coming out of XML documents.
namespace text {

// Removes control characters and checks the text is well-formed code page 932. On a
// malformed sequence the whole result is the fixed message "不正な文字コードを除去しました".
std::string FilterInvalidChars(std::string_view text);

// The same, on a text that is then replaced by its filtered form without a copy.
void FilterInvalidCharsInPlace(std::string& text);

// True when a decimal character reference starts at byte `pos` (counted from 0): "&#",
// one or more digits, then ";" or the end of the text.
bool IsDecimalCharRef(std::string_view text, size_t pos);

// Escapes & < > (and, for attributes, the double quote). With keepCharRefs an "&" that
// starts a decimal character reference is left alone.
std::string XmlEscape(std::string_view text, bool keepCharRefs);
std::string XmlEscapeAttr(std::string_view text, bool keepCharRefs);

// Decodes &amp; &lt; &gt; (reverse: &gt; &lt; &amp;), each searched again from the start
// after every replacement.
std::string XmlUnescape(std::string_view text, bool reverse);

}  // namespace text
