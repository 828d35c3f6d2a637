// SPDX-License-Identifier: MIT
#include "store/ItemStates.h"

#include <algorithm>

#include "store/TTreeNodeExt.h"
#include "store/journal/JournalFormat.h"
#include "store/journal/RecoveryJournal.h"

namespace store {

void ItemStateContext::AddObserver(ItemStateObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
}

void ItemStateContext::RemoveObserver(ItemStateObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ItemStateContext::NotifyRequested(const TSiteRecord* item, uint8_t state) const {
  for (ItemStateObserver* observer : observers_) observer->ItemStateRequested(item, state);
}

void ItemStateContext::NotifyChanged(const TSiteRecord& item, uint8_t old) const {
  for (ItemStateObserver* observer : observers_) observer->ItemStateChanged(item, old);
}

bool SetItemState(ItemStateContext& context, TSiteRecord* item, uint8_t state, Protection protection) {
  context.NotifyRequested(item, state);
  if (item == nullptr || item->read == state) return false;
  if (protection == Protection::kKeep && item->read == kStateProtected) return true;
  context.store.SetModified();
  const uint8_t old = item->read;
  item->read = state;
  context.NotifyChanged(*item, old);
  // An error log entry points at the failing channel without being one of its items:
  // its state must not move that channel's totals, nor reach the journal as its item.
  if (item->StatusEntry != 0) return true;
  context.store.AdjustCountsForStateChange(*item, old, state);
  if (context.journal != nullptr) context.journal->WriteJournal(JournalKey(*item), state, false);
  return true;
}

std::optional<uint8_t> BulkTargetState(int action, uint8_t read) {
  switch (action) {
    case kActionToRead:
      if (read == kStateUnread || read > kStateProtected) return kStateRead;
      return std::nullopt;
    case kActionToUnread:
      if (read == kStateRead) return kStateUnread;
      return std::nullopt;
    case kActionProtect:
      return kStateProtected;
    case kActionUnprotect:
      if (read == kStateProtected) return kStateRead;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<uint8_t> DirectTargetState(int action, uint8_t read) {
  switch (action) {
    case kActionToRead:
      return kStateRead;
    case kActionToUnread:
      return kStateUnread;
    case kActionProtect:
      return kStateProtected;
    case kActionUnprotect:
      if (read == kStateProtected) return kStateRead;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

bool ApplyBulkAction(ItemStateContext& context, TSiteRecord* item, int action) {
  if (item == nullptr) return false;
  std::optional<uint8_t> target = BulkTargetState(action, item->read);
  return target.has_value() && SetItemState(context, item, *target, Protection::kOverride);
}

size_t ApplyBulkActionBelow(ItemStateContext& context, TTreeNodeExt* node, int action) {
  if (node == nullptr) return 0;
  size_t changed = 0;
  if (IsChannelKind(node->Kind()) && node->Data() != nullptr) {
    for (const auto& item : node->Data()->Items()) changed += ApplyBulkAction(context, item.get(), action) ? 1 : 0;
  }
  for (size_t i = 0; i < node->ChildCount(); ++i) changed += ApplyBulkActionBelow(context, node->Child(i), action);
  return changed;
}

}  // namespace store
