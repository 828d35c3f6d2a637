// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "store/ChannelStore.h"
#include "store/TSiteRecord.h"

namespace store {

class RecoveryJournal;
class TTreeNodeExt;

// The actions of the bulk state commands; the menu items carry them in their tag.
inline constexpr int kActionToRead = 1;
inline constexpr int kActionToUnread = 0;
inline constexpr int kActionProtect = 2;
inline constexpr int kActionUnprotect = -1;

// Whether a state change may take an item out of the protected state.
enum class Protection {
  kOverride,  // the new state replaces any, protected included
  kKeep,      // a protected item stays protected
};

// Told of every item state change, whoever makes it: the headline list keeps its own
// bookkeeping (read timer, redraw, unread rows) through it.
class ItemStateObserver {
 public:
  virtual ~ItemStateObserver() = default;

  // Every call of SetItemState, before anything changes and whether or not the item
  // changes; `item` may be nullptr.
  virtual void ItemStateRequested(const TSiteRecord* item, uint8_t state) = 0;

  // The item's state changed from `old` to the one it has now.
  virtual void ItemStateChanged(const TSiteRecord& item, uint8_t old) = 0;
};

// Everything an item's state change reaches besides the item: the store (totals and
// DataModified), the journal, and whoever observes the changes. The application owns one
// and hands it to everything that changes states, so that no state change can skip a part
// of it.
class ItemStateContext {
 public:
  explicit ItemStateContext(ChannelStore& channelStore, RecoveryJournal* recoveryJournal = nullptr)
      : store(channelStore), journal(recoveryJournal) {}
  ItemStateContext(const ItemStateContext&) = delete;
  ItemStateContext& operator=(const ItemStateContext&) = delete;

  void AddObserver(ItemStateObserver* observer);
  void RemoveObserver(ItemStateObserver* observer);

  void NotifyRequested(const TSiteRecord* item, uint8_t state) const;
  void NotifyChanged(const TSiteRecord& item, uint8_t old) const;

  ChannelStore& store;
  RecoveryJournal* journal;  // nullptr: the program runs without a journal

 private:
  std::vector<ItemStateObserver*> observers_;
};

// The one way an item's state changes after loading. Returns whether the item's state
// differed from `state`; with Protection::kKeep a protected item stays protected, though
// the result is still true. Totals, DataModified and the journal follow the change, and
// the observers hear of it.
bool SetItemState(ItemStateContext& context, TSiteRecord* item, uint8_t state, Protection protection);

// The state a bulk action gives an item in state `read`, or nothing when the action
// leaves it alone: to read takes unread items (and any unknown state above protected),
// to unread takes read items, protect takes all, unprotect makes protected items read.
std::optional<uint8_t> BulkTargetState(int action, uint8_t read);

// The state the action gives the one item of a single-row command: the action's own
// state even from protected; unprotect only turns a protected item read.
std::optional<uint8_t> DirectTargetState(int action, uint8_t read);

// The bulk rule on one item, through SetItemState. True when the item changed.
bool ApplyBulkAction(ItemStateContext& context, TSiteRecord* item, int action);

// The bulk rule on every item of every channel at or below `node` (groups recursively,
// search items and the error log contribute nothing). Returns how many items changed.
size_t ApplyBulkActionBelow(ItemStateContext& context, TTreeNodeExt* node, int action);

}  // namespace store
