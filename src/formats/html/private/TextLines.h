// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace formats {

// The lines of a text: CR, LF and CR LF each end a line; a last line without a break
// counts, an empty text has none.
std::vector<std::string> SplitLines(std::string_view text);

// The lines, each followed by CR LF, as the program's text files hold them.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace formats
