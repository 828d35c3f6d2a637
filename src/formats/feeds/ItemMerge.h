// SPDX-License-Identifier: MIT
#pragma once

#include "formats/feeds/FeedRun.h"
#include "store/TSiteList.h"
#include "store/TSiteRecord.h"

// The one place where items of a fetched document meet the items a channel holds. Both
// feed readers hand every titled item here, in document order.
namespace formats {

// Prepares a run for a document: the synthetic dates start again at run.Now, the header
// starts empty with such a date, and the limits, the keyword filter and the counters are
// taken from the channel as it is now (a limit of 0 in the channel means the setting).
void StartFeedRun(FeedRun& run);

// Decides whether `item` is new, a changed version of a stored item, or known; applies
// the channel's keyword and age limit; adds it with its read state, keeps the tree's
// totals, and sets run.Stop when the rest of the document need not be read.
void MergeItem(store::TSiteRecord item, FeedRun& run);

// Orders the channel's items by date, oldest first. Items of equal date keep their order.
// The records themselves stay where they are in memory, so references to them (the
// duplicate list) stay good.
void SortItemsByDate(store::TSiteList& channel);

// Writes the feed's synchronisation record after a document was read, when marks are
// being recorded and the document had an item.
void StoreSyncRecord(FeedRun& run);

}  // namespace formats
