// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Takes elements out of the body of a generated page before it is shown: the markup is
// read the way a browser reads a body (repairing what is broken), every element whose
// name is in `removedTags` (lower case) goes with everything inside it, and the rest is
// written out again. Code page 932 in and out; characters it cannot hold come back as
// character references.
//
// What is written is plain, balanced markup: text and attribute values escaped again,
// comments left out (browsers and the parser disagree about where some of them end),
// attributes with names no browser would read dropped. So no text of the page can turn
// into an element in the browser that was not one here, and a removed element cannot
// come back. Nothing when the parser could not be set up.
std::optional<std::string> CleanHtmlBody(std::string_view cp932Body, std::span<const std::string_view> removedTags);

}  // namespace platform
