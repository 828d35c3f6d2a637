// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/TSiteRecord.h"
#include "store/journal/ReplayMap.h"

// The recovery journal system/recovery.dat: code page 932 text with CR LF line ends, the
// version line "0.10", then two lines per state change: the new state (0 unread, 1 read,
// 2 protected) and the item's journal key.
namespace store {

inline constexpr std::string_view kJournalVersion = "0.10";

// The key as the journal holds it: CR and LF removed, so a title with a line break cannot
// split a record and shift every record after it.
std::string CleanJournalKey(std::string_view key);

// The journal key of an item: its channel's recovery number as an unsigned decimal, TAB,
// title, TAB, link, cleaned as above. An item without a channel counts as channel 0.
std::string JournalKey(const TSiteRecord& item);

// Reads a journal image into the states to replay. Nothing when the first line is not
// the version this program writes (then nothing is replayed). Records whose state is not
// one of the three states, and a state line without its key line at the end, are
// skipped.
std::optional<ReplayMap> ParseJournal(std::string_view image);

}  // namespace store
