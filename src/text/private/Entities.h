// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace text {

// Replaces every occurrence of the entity "&name;" by `replacement`, with the result of
// searching the text again from its start after every single replacement, so that
// "&amp;amp;" becomes "&" when the entity is "&amp;" and the replacement "&". It takes one
// pass: a new occurrence can only appear where an "&" was just written. The replacement is
// either "&" or a text that does not begin with "&" and holds none of the entity's other
// characters (the callers' replacements "<", ">", the double quote, the ellipsis and the
// space all qualify), so no other replacement can make a new occurrence.
std::string ReplaceEntity(std::string_view text, std::string_view entity, std::string_view replacement);

}  // namespace text
