// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace fetch {

// NormalizeFeedUrl: a "feed:" address as the HTTP address it stands for. "feed://host/x"
// and "feed:host/x" become "http://host/x", "feed:http://host/x" gives "http://host/x";
// any other text comes back trimmed and otherwise unchanged.
std::string NormalizeFeedUrl(std::string_view text);

}  // namespace fetch
