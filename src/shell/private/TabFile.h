// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The format of plover.tab, the tabs kept for the next start: one line per tab, in tab
// order, holding the lock as "0" or "1", a TAB and the tab's address; CR LF line ends,
// no header, code page 932 like every text of the program.
namespace shell {

struct SavedTab {
  bool locked = false;
  std::string location;
  bool operator==(const SavedTab&) const = default;
};

// The file's bytes. A location holding a line break cannot be written as a line and is
// left out.
std::string FormatTabFile(const std::vector<SavedTab>& tabs);

// The tabs of a file. Lines end with CR LF or LF alone. A line without a TAB, or whose
// location is blank, is skipped; the location is trimmed. The lock reads as a whole
// number (anything but 0 locks) or as "true"; anything else leaves the tab unlocked.
std::vector<SavedTab> ParseTabFile(std::string_view content);

}  // namespace shell
