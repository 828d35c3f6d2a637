// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace shell {

// Longest text a tab shows before it is cut, in bytes.
inline constexpr long kTabCaptionBytes = 26;

// The text a tab shows: cut to 26 bytes (25 when the 26th byte begins a double-byte
// character) with "…" appended when longer, and every "&" doubled so that the tab shows
// it instead of taking it for an access key.
std::string PrepareTabCaption(std::string_view text);

// The caption that follows a document title: the summary address stays as it is (so the
// tab of the headline page reads alike whatever its page calls itself), any other title
// is prepared as above.
std::string CaptionForTitle(std::string_view title);

}  // namespace shell
