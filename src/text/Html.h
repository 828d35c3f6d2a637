// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// HTML entity handling and markup clean-up on code page 932 text.
namespace text {

// Decodes &amp; &lt; &gt; &quot; &hellip; (each searched again from the start after every
// replacement) and, with nbspToSpace, &nbsp; as a space. Other references stay.
std::string HtmlUnescape(std::string_view text, bool nbspToSpace);

// Escapes & < > and the double quote. With keepRefs, an "&" that starts a decimal
// character reference or "&nbsp;" (any case) is left alone.
std::string HtmlEscape(std::string_view text, bool keepRefs);

// Drops every "<...>" and decodes entities; with trimBreaks also strips CR, LF and spaces
// from both ends.
std::string StripTags(std::string_view text, bool trimBreaks);

// Whether a text looks like markup rather than plain text.
bool LooksLikeHtml(std::string_view text);

// Deletes every CR, LF and TAB.
std::string RemoveBreaks(std::string_view text);

}  // namespace text
