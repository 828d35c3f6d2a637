// SPDX-License-Identifier: MIT
#include "store/ChannelStore.h"

#include "store/DateTime.h"
#include "store/private/DuplicateKey.h"

namespace store {

ChannelStore::ChannelStore(const settings::Settings& settings) : settings_(settings), tree_(settings) {}

ChannelStore::~ChannelStore() {
  DiscardDupList();
}

void ChannelStore::RebuildDupList() {
  if (settings_.DupAction == 0) {
    DiscardDupList();
    return;
  }
  if (dupList_) return;
  // The key is fixed for the life of the list, so a change of the setting cannot leave the
  // list sorted by another order than the one it is searched with.
  const int dupAction = settings_.DupAction;
  auto list = std::make_unique<TSortList>([dupAction](const TSiteRecord& item, const TSiteRecord& key) {
    return CompareDuplicateKeys(item, key, dupAction);
  });
  tree_.CollectAllItems(tree_.RootNode(), *list);
  list->Sort();
  dupList_ = std::move(list);
}

bool ChannelStore::CheckDuplicate(TSiteRecord* item) {
  if (!dupList_ || item == nullptr) return false;
  return !dupList_->AddUnique(item);
}

TSiteRecord* ChannelStore::AddItemToChannel(TSiteList& list, const TSiteRecord& record) {
  return InsertItemToChannel(list, list.Count(), record);
}

TSiteRecord* ChannelStore::InsertItemToChannel(TSiteList& list, size_t index, const TSiteRecord& record) {
  TSiteRecord* item = list.InsertItem(index, record);
  if (item == nullptr) return nullptr;
  if (list.Node != nullptr) {
    tree_.AddItemCount(list.Node, 1);
    if (item->read == kStateUnread) tree_.AddUnreadCount(list.Node, 1);
  }
  SetModified();
  return item;
}

bool ChannelStore::DeleteItemFromChannel(TSiteList& list, size_t index) {
  TSiteRecord* item = list.ItemAt(index);
  if (item == nullptr) return false;
  tree_.NotifyItemRemoving(item);
  if (dupList_) dupList_->Remove(item);
  if (list.Node != nullptr) {
    tree_.AddItemCount(list.Node, -1);
    if (item->read == kStateUnread) tree_.AddUnreadCount(list.Node, -1);
  }
  list.DeleteItem(index);
  SetModified();
  return true;
}

void ChannelStore::ReleaseChannelData(TTreeNodeExt* node) {
  TSiteList* list = node != nullptr ? node->Data() : nullptr;
  if (list == nullptr || node == tree_.ErrorLogNode()) return;
  int items = 0, unread = 0;
  for (const auto& item : list->Items()) {
    ++items;
    if (item->read == kStateUnread) ++unread;
  }
  DiscardDupList();
  if (items != 0) tree_.AddItemCount(node, -items);
  if (unread != 0) tree_.AddUnreadCount(node, -unread);
  tree_.DetachData(node);
  SetModified();
}

void ChannelStore::AdjustCountsForStateChange(const TSiteRecord& item, uint8_t oldState, uint8_t newState) {
  if (item.Owner == nullptr || item.Owner->Node == nullptr) return;
  bool wasUnread = oldState == kStateUnread;
  bool isUnread = newState == kStateUnread;
  if (wasUnread && !isUnread) tree_.AddUnreadCount(item.Owner->Node, -1);
  if (!wasUnread && isUnread) tree_.AddUnreadCount(item.Owner->Node, 1);
}

bool ChannelStore::DeleteNode(TTreeNodeExt* node) {
  if (node == nullptr || node == tree_.RootNode() || node->Deleting()) return false;
  if (!node->IsSearchItem()) {
    tree_.AddItemCount(node, -node->ItemTotal());
    tree_.AddUnreadCount(node, -node->UnreadTotal());
  }
  DiscardDupList();
  tree_.DeleteNode(node);
  SetModified();
  return true;
}

bool ChannelStore::MoveNode(TTreeNodeExt* node, TTreeNodeExt* newParent, TTreeNodeExt* before) {
  if (node == nullptr || node->Deleting()) return false;
  const bool carriesTotals = !node->IsSearchItem();
  const int32_t itemTotal = node->ItemTotal();
  const int32_t unreadTotal = node->UnreadTotal();
  tree_.LockTreePaint(true);
  if (carriesTotals) {
    tree_.AddItemCount(node, -itemTotal);
    tree_.AddUnreadCount(node, -unreadTotal);
  }
  bool moved = tree_.MoveNode(node, newParent, before);
  // Added back whether or not the move happened: to the new ancestors, or to the old ones.
  if (carriesTotals) {
    tree_.AddItemCount(node, itemTotal);
    tree_.AddUnreadCount(node, unreadTotal);
  }
  tree_.LockTreePaint(false);
  if (moved) SetModified();
  return moved;
}

void ChannelStore::ClearUserTree() {
  DiscardDupList();
  tree_.ClearUserTree();
}

bool ChannelStore::ApplyGoneRule(TSiteList& list, int httpStatus, bool isResume, double now) {
  if (httpStatus == 200 || httpStatus == 304) {
    if (list.gonecount != 0) {
      list.gonecount = 0;
      list.gonedate = 0;
      SetModified();
    }
    return false;
  }
  if ((httpStatus != 404 && httpStatus != 410) || isResume) return false;
  // One count a day at most: a feed that is away for a few hours is not gone.
  if (list.gonecount != 0 && MillisecondsBetween(list.gonedate, now) < kMillisecondsPerDay) return false;
  SetModified();
  list.gonedate = now;
  ++list.gonecount;
  if (list.gonecount < kGoneLimit) return false;
  list.gonecount = 0;
  list.gonedate = 0;
  tree_.SetNodeKind(list.Node, kKindStopped);
  return true;
}

}  // namespace store
