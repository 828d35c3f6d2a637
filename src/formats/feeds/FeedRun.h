// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/feeds/FeedDate.h"
#include "formats/feeds/FeedFields.h"
#include "formats/feeds/ItemMergeIndex.h"
#include "formats/feeds/KeywordFilter.h"
#include "formats/feeds/SyncMarks.h"
#include "formats/media/MediaQueue.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/TSiteList.h"
#include "store/journal/ItemStateReplay.h"

namespace formats {

// What an update run gathers over all the documents it processes.
struct UpdateRunTotals {
  int NewItemCount = 0;           // new unread items, for the run's summary
  bool EnclosurePending = false;  // some new item has an enclosure for the media program
};

// The hand-off of enclosures to the media program: whether the program is installed, and
// the queue that new items' enclosures join.
struct MediaHandOff {
  bool PodhallInstalled = false;
  MediaQueue* Queue = nullptr;  // none: nothing is queued
};

// The state of reading one document into one channel: the parsers fill the header and
// hand items to MergeItem, which decides against the channel's stored items and tells the
// parsers when the rest of the document can be skipped. Lives for one call of feed
// processing.
class FeedRun {
 public:
  FeedRun(store::ChannelStore& store, const settings::Settings& settings, store::TSiteList& channel)
      : Store(store), Settings(settings), Channel(channel) {}
  FeedRun(const FeedRun&) = delete;
  FeedRun& operator=(const FeedRun&) = delete;

  // Collaborators.
  store::ChannelStore& Store;
  const settings::Settings& Settings;
  store::TSiteList& Channel;
  store::ItemStateReplay* Journal = nullptr;  // none: no replay
  SyncMarks* Sync = nullptr;                  // none: synchronisation not configured
  MediaHandOff Media;
  UpdateRunTotals* Totals = nullptr;               // none: nobody counts
  ZoneRules LocalZone = ZoneRules::Fixed(9 * 60);  // the zone dates are read into; callers give the machine's
  double Now = 0;                                  // local date-time of this run
  UndatedDates Undated;

  // The channel header being built from the document.
  store::TSiteRecord Header;
  int64_t FeedVersion = kNoFeedVersion;

  size_t PreviousCount = 0;  // stored items before this document (less those replaced)
  size_t StopThreshold = 0;  // known items to read before an unchanged one may stop the parse
  size_t TitledCount = 0;    // titled items met in this document
  size_t AddedCount = 0;     // items added from this document
  int ItemLimit = 0;         // stop after adding this many; 0 = no limit
  int AgeLimit = 0;          // drop dated items this many days old; 0 = no limit
  KeywordFilter Filter;
  ItemMergeIndex Index;  // the channel's items by the keys the merge compares

  bool Changed = false;    // the item list changed
  bool NewUnread = false;  // an unread item was added
  bool Stop = false;       // the parsers read no further

  // Synchronisation marks: the two first items of this document, whether one of them was
  // seen on another computer, and the feed's stored record.
  bool SeenBySync = false;
  std::array<SyncTopItem, 2> TopItems;
  std::optional<SyncFeedRecord> SyncRecord;

  // Whether marks are read and written in this run.
  bool SyncActive() const {
    return Sync != nullptr && Settings.FTPSync && !Settings.FTPServerName.empty() && Sync->RecordsMarks();
  }

  double NextUndatedDate() { return Undated.NextUndatedDate(); }
  double ParseDate(std::string_view text, bool rfc822) { return ParseFeedDate(text, rfc822, LocalZone, Undated); }
};

}  // namespace formats
