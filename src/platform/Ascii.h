// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <string_view>

// Letter case of the ASCII letters only, for the names of protocols and files (header
// names, schemes, file extensions). Japanese text has its own comparison in the text layer.
namespace platform {

constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

constexpr bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithAsciiNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsAsciiNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace platform
