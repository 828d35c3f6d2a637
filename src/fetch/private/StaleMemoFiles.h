// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <string>

namespace fetch {

// How old a memo file of an HTML channel may grow before a run removes it.
inline constexpr int kStaleMemoDays = 30;

// Removes the memo files of HTML channels ("*.tmp" in system/htmlrss of the data folder,
// files only) whose date lies more than 30 whole days before `now`: their channels have
// not been visited for a month, or no longer exist. Returns how many went; failures are
// ignored.
int RemoveStaleHtmlMemos(const std::string& dataFolder, std::time_t now);

}  // namespace fetch
