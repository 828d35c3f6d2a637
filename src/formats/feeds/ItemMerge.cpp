// SPDX-License-Identifier: MIT
#include "formats/feeds/ItemMerge.h"

#include <algorithm>
#include <vector>

#include "formats/feeds/FeedFields.h"
#include "formats/feeds/ItemMergeIndex.h"
#include "store/DateTime.h"
#include "store/ItemBounds.h"
#include "text/Compare.h"
#include "text/Cut.h"

namespace formats {
namespace {

using store::TSiteRecord;

// The four texts of an item are what a reader sees; a stored item whose texts are the
// same has not changed in any way that matters.
bool SameTexts(const TSiteRecord& a, const TSiteRecord& b) {
  return text::SameTextBreaks(a.desc, b.desc) && text::SameTextBreaks(a.de_cd, b.de_cd) &&
         text::SameTextBreaks(a.encoded, b.encoded) && text::SameTextBreaks(a.en_cd, b.en_cd);
}

void RecordSyncMarks(const TSiteRecord& item, FeedRun& run) {
  if (!run.SyncActive()) return;
  const SyncTopItem seen{item.title, item.link};
  for (SyncTopItem& slot : run.TopItems) {
    if (slot.Empty()) {
      slot = seen;
      break;
    }
  }
  if (run.SyncRecord && (run.SyncRecord->items[0] == seen || run.SyncRecord->items[1] == seen)) {
    run.SeenBySync = true;
  }
}

// An HTML channel has no stable identity for its items but their titles (and, for a
// pattern, their links); every item it holds counts, also those of this document.
bool KnownInHtmlChannel(const TSiteRecord& item, FeedRun& run) {
  const bool byLink = !run.Channel.regexpr.empty();
  for (const TSiteRecord* stored : run.Index.TitleCandidates(item, run.Channel)) {
    if (text::SameTextJ(stored->title, item.title) && (!byLink || SameLink(stored->link, item.link))) return true;
  }
  return false;
}

enum class Verdict { kAdd, kDrop };

// Compares the item with the stored items of a feed channel (those it held before this
// document), in the order of the list. Stored versions that the item replaces are noted
// in `replaced`, in that order.
Verdict CompareWithStored(const TSiteRecord& item, FeedRun& run, std::vector<TSiteRecord*>& replaced) {
  const store::TSiteList& channel = run.Channel;
  const bool knownByText = item.link.empty() && TitleMadeFromText(item);
  for (TSiteRecord* candidate : run.Index.StoredCandidates(item, channel, run.PreviousCount)) {
    const TSiteRecord& stored = *candidate;
    if (!SameLink(stored.link, item.link) || !text::SameTextJ(stored.title, item.title)) continue;
    // An item with neither a link nor a title of its own is known by its text: items whose
    // titles were cut from texts that begin alike are different items.
    if (knownByText && !SameTexts(stored, item)) continue;
    if (!channel.datecomp) {
      if (run.TitledCount > run.StopThreshold && SameTexts(stored, item)) run.Stop = true;
      return Verdict::kDrop;
    }
    const bool newerDate = stored.read != store::kStateProtected && !stored.pubdate.empty() && !item.pubdate.empty() &&
                           stored.pubdate != item.pubdate && item.modified >= stored.modified;
    if (!newerDate && SameTexts(stored, item)) return Verdict::kDrop;
    replaced.push_back(candidate);
  }
  return Verdict::kAdd;
}

bool TooOld(const TSiteRecord& item, const FeedRun& run) {
  return run.AgeLimit > 0 && !item.pubdate.empty() && store::WholeDaysBetween(item.modified, run.Now) >= run.AgeLimit;
}

// Highest position first, as the list holds them.
void RemoveReplaced(const std::vector<TSiteRecord*>& replaced, FeedRun& run) {
  for (auto item = replaced.rbegin(); item != replaced.rend(); ++item) {
    const long index = run.Channel.IndexOf(*item);
    if (index < 0) continue;
    run.Index.Removed(*item);
    if (run.Store.DeleteItemFromChannel(run.Channel, static_cast<size_t>(index))) --run.PreviousCount;
  }
}

void HandOverEnclosure(const TSiteRecord& item, FeedRun& run) {
  const std::string enclosure = text::TrimJ(item.enclose);
  if (enclosure.empty() || !run.Media.PodhallInstalled) return;
  if (run.Totals != nullptr) run.Totals->EnclosurePending = true;
  if (!run.Channel.encflag || run.Media.Queue == nullptr) return;
  const std::string& label = run.Channel.Site.title.empty() ? run.Header.title : run.Channel.Site.title;
  run.Media.Queue->QueueMedia(enclosure + "\t" + text::TrimJ(label));
}

// An item that another channel holds already arrives read, unless the channel wants to
// see every change of its items. Only an unread item is changed: a state the journal gave
// back (protected) stays.
void MarkCrossChannelDuplicate(TSiteRecord& added, FeedRun& run) {
  if (run.Settings.DupAction == 0 || run.Store.DupList() == nullptr) return;
  if (!run.Store.CheckDuplicate(&added) || run.Channel.datecomp || added.read != store::kStateUnread) return;
  added.read = store::kStateRead;
  run.Store.AdjustCountsForStateChange(added, store::kStateUnread, store::kStateRead);
}

TSiteRecord* Insert(const TSiteRecord& item, FeedRun& run) {
  TSiteRecord* added = run.Channel.Count() == run.PreviousCount
                           ? run.Store.AddItemToChannel(run.Channel, item)
                           : run.Store.InsertItemToChannel(run.Channel, run.PreviousCount, item);
  if (added != nullptr) run.Index.Added(added);
  return added;
}

}  // namespace

void StartFeedRun(FeedRun& run) {
  const store::TSiteList& channel = run.Channel;
  run.Undated.Reset(run.Now);
  run.Header = TSiteRecord();
  run.Header.modified = run.NextUndatedDate();
  run.PreviousCount = channel.Count();
  run.Index.Reset();
  run.ItemLimit = store::EffectiveItemLimit(channel, run.Settings);
  run.AgeLimit = store::EffectiveAgeLimit(channel, run.Settings);
  run.Filter = KeywordFilter(channel.keyword);
  // Once more than half of the items that can go (the unprotected ones) have been met
  // unchanged, the rest of the document is taken to be known as well.
  size_t unprotected = 0;
  for (const auto& item : channel.Items()) {
    if (item->read != store::kStateProtected) ++unprotected;
  }
  run.StopThreshold = unprotected / 2;
  run.TitledCount = 0;
  run.AddedCount = 0;
  run.Changed = run.NewUnread = run.Stop = false;
}

void MergeItem(TSiteRecord item, FeedRun& run) {
  ++run.TitledCount;
  RecordSyncMarks(item, run);
  std::vector<TSiteRecord*> replaced;
  if (run.Channel.htmlrss) {
    if (KnownInHtmlChannel(item, run)) return;
  } else if (CompareWithStored(item, run, replaced) == Verdict::kDrop) {
    return;
  }
  if (!run.Filter.Passes(item, run.Settings)) return;
  if (TooOld(item, run)) return;

  item.read = (run.SeenBySync || run.Channel.noread) ? store::kStateRead : store::kStateUnread;
  item.Owner = &run.Channel;
  RemoveReplaced(replaced, run);
  if (run.Journal != nullptr && run.Journal->ReplayItemState(item)) run.Store.SetModified();

  TSiteRecord* added = Insert(item, run);
  // Without memory for the item nothing was added, and nothing else changes.
  if (added == nullptr) return;
  HandOverEnclosure(*added, run);
  MarkCrossChannelDuplicate(*added, run);

  run.Changed = true;
  if (added->read == store::kStateUnread) {
    run.NewUnread = true;
    if (run.Totals != nullptr) ++run.Totals->NewItemCount;
  }
  ++run.AddedCount;
  if (run.ItemLimit > 0 && run.AddedCount >= static_cast<size_t>(run.ItemLimit)) run.Stop = true;
}

void SortItemsByDate(store::TSiteList& channel) {
  const auto earlier = [](const std::unique_ptr<TSiteRecord>& a, const std::unique_ptr<TSiteRecord>& b) {
    return a->modified < b->modified;
  };
  if (std::is_sorted(channel.Items().begin(), channel.Items().end(), earlier)) return;
  channel.SortItems([](const TSiteRecord& a, const TSiteRecord& b) { return a.modified < b.modified; });
}

void StoreSyncRecord(FeedRun& run) {
  if (!run.SyncActive() || run.TopItems[0].Empty()) return;
  SyncFeedRecord record;
  record.items = run.TopItems;
  if (record.items[1].Empty() && run.SyncRecord) record.items[1] = run.SyncRecord->items[0];
  record.modified = run.Now;
  record.feedrss = run.Header.rdfurl;
  record.feedurl = run.Header.link;
  record.feedtitle = run.Header.title;
  record.htmlrss = run.Channel.htmlrss;
  record.regexpr = run.Channel.regexpr;
  run.Sync->StoreFeed(run.SyncRecord ? run.SyncRecord->feedrss : run.Header.rdfurl, record);
}

}  // namespace formats
