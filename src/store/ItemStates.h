// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

#include "store/ChannelStore.h"
#include "store/TSiteRecord.h"

namespace platform {
class Timer;
}

namespace store {

class RecoveryJournal;
class TTreeNodeExt;

// The actions of the bulk state commands; the menu items carry them in their tag.
inline constexpr int kActionToRead = 1;
inline constexpr int kActionToUnread = 0;
inline constexpr int kActionProtect = 2;
inline constexpr int kActionUnprotect = -1;

// Everything an item's state change reaches besides the item: the store (totals and
// DataModified), the journal, and the headline list's own bookkeeping. The application
// owns one and hands it to the headline list and the tree editor, so that no state
// change can skip a part of it.
struct ItemStateContext {
  explicit ItemStateContext(ChannelStore& channelStore, RecoveryJournal* recoveryJournal = nullptr)
      : store(channelStore), journal(recoveryJournal) {}

  ChannelStore& store;
  RecoveryJournal* journal;  // nullptr: the program runs without a journal

  // The read timer of the headline list: any explicit state change makes it moot.
  platform::Timer* readTimer = nullptr;

  // Set on every state change attempt: the headline list redraws on its next refresh.
  bool listChanged = false;

  // Unread rows of the headline list, kept up to date by every state change.
  int32_t ListUnreadCount = 0;

  // The node the headline list showed last, for the rule that marks a node's items read
  // when the user leaves it.
  TTreeNodeExt* LastShownNode = nullptr;
};

// The one way an item's state changes after loading. Returns whether the item's state
// differed from `state`; with `keepProtected` a protected item stays protected, though the
// result is still true. Totals, DataModified and the journal follow the change.
bool SetItemState(ItemStateContext& context, TSiteRecord* item, uint8_t state, bool keepProtected);

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
