// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/ChannelOptions.h"
#include "store/TSiteRecord.h"

namespace store {

class TTreeNodeExt;

// A channel: its own header, its options and attributes, and the list of its items,
// oldest first. The list owns its items; removing an entry destroys the record. These
// list operations do not touch the tree's counts: callers that add or remove items one
// by one use the helpers of ChannelStore, and the loader adds all of a channel's items
// and counts once.
class TSiteList : public ChannelOptions {
 public:
  TSiteList() = default;
  TSiteList(const TSiteList&) = delete;
  TSiteList& operator=(const TSiteList&) = delete;

  // Copies `record` into a new item appended at the end and sets its Owner. Returns the new
  // record, or nullptr (list unchanged) when it could not be made.
  TSiteRecord* AddItem(const TSiteRecord& record);

  // The same for a record the caller gives up: it is moved in instead of copied (the
  // loader's way of adding a hundred thousand items quickly). On failure `record` is left
  // as it was.
  TSiteRecord* AddItem(TSiteRecord&& record);

  // The same, inserted at `index` (0..Count()); nullptr for any other index.
  TSiteRecord* InsertItem(size_t index, const TSiteRecord& record);

  // Copies the item at `index` into `out`; false (and `out` unchanged) out of range.
  bool GetItem(size_t index, TSiteRecord& out) const;

  // The owned record itself, for changes in place; nullptr out of range.
  TSiteRecord* ItemAt(size_t index) const;

  // Removes and destroys the item at `index`; false out of range.
  bool DeleteItem(size_t index);

  // Removes the item at `index` and hands it to the caller, who then owns it; nullptr out
  // of range. The record's Owner still names this list.
  std::unique_ptr<TSiteRecord> ExtractItem(size_t index);

  // Destroys every item.
  void Clear() { items_.clear(); }

  size_t Count() const { return items_.size(); }

  // The position of an item of this list, or -1 when it is not in it.
  long IndexOf(const TSiteRecord* item) const;

  const std::vector<std::unique_ptr<TSiteRecord>>& Items() const { return items_; }

  // Reorders the items by `less` (a strict weak order on records), keeping equal items in
  // their order and every record at its address.
  template <typename Less>
  void SortItems(Less less) {
    std::stable_sort(
        items_.begin(), items_.end(),
        [&less](const std::unique_ptr<TSiteRecord>& a, const std::unique_ptr<TSiteRecord>& b) { return less(*a, *b); });
  }

  TSiteRecord Site;              // the channel's own header
  TTreeNodeExt* Node = nullptr;  // the tree node that owns this list

  // What the program records about the channel; the user's settings are its ChannelOptions.
  std::string server;     // Last-Modified of the last fetch, sent back as If-Modified-Since
  uint8_t gonecount = 0;  // 404 or 410 answers counted in a row, at most one a day
  double gonedate = 0;    // when gonecount was last raised; 0 = never
  double client = 0;      // when an update run last handled the channel; 0 = never
  // An address of the site the credentials were given for, kept when the channel moved to
  // another site; they go only there until the user confirms them. Empty: the feed's own.
  std::string authsite;
  int32_t recovery = 0;  // the channel's number in the recovery journal; 0 = none yet

 private:
  std::vector<std::unique_ptr<TSiteRecord>> items_;
};

// Whether the channel's credentials may go with a fetch of `address`: always, unless the
// channel moved away from the site they were given for (authsite), and then only there.
bool CredentialsGoTo(const TSiteList& channel, const std::string& address);

// The channel moved from `oldAddress` to `newAddress` for good. Credentials given for
// another site are held for that site (true: they were held just now); back on that site
// they are the channel's own again.
bool HoldCredentialsOnMove(TSiteList& channel, const std::string& oldAddress, const std::string& newAddress);

}  // namespace store
