// SPDX-License-Identifier: MIT
#include "store/ChannelTree.h"

#include <algorithm>

#include "store/BloglinesAddress.h"
#include "store/TSortList.h"
#include "store/TreeObserver.h"
#include "text/Literal.h"

namespace store {

namespace {

// Totals are 32-bit like the stored counters; the sum wraps instead of overflowing.
int32_t AddTotal(int32_t total, int32_t delta) {
  return static_cast<int32_t>(static_cast<int64_t>(total) + static_cast<int64_t>(delta));
}

bool ShowsItemCounts(int kind) {
  return kind == kKindGroup || IsChannelKind(kind);
}

}  // namespace

int BloglinesImageIndex(int kind, bool isBloglinesItemAddress, bool bloglinesClone) {
  if (!isBloglinesItemAddress) return kind;
  switch (kind) {
    case kKindStopped:
      return 12;
    case kKindUpdating:
      return bloglinesClone ? 16 : 13;
    case kKindError:
      return bloglinesClone ? 17 : 14;
    default:
      return bloglinesClone ? 15 : 11;
  }
}

TChannelTree::TChannelTree(const settings::Settings& settings) : settings_(settings) {
  topLevel_.push_back(std::unique_ptr<TTreeNodeExt>(new TTreeNodeExt(text::J("ヘッドライン"), kKindGroup)));
}

TChannelTree::~TChannelTree() {
  // Observers are told nothing more; the nodes simply go with the tree.
  observers_.clear();
}

TTreeNodeExt* TChannelTree::TopLevelNode(size_t index) const {
  return index < topLevel_.size() ? topLevel_[index].get() : nullptr;
}

TTreeNodeExt* TChannelTree::EnsureErrorLogNode() {
  if (errorLog_ != nullptr) return errorLog_;
  auto node = std::unique_ptr<TTreeNodeExt>(new TTreeNodeExt(text::J("エラーログ"), kKindErrorLog));
  node->imageIndex_ = node->selectedIndex_ = kKindErrorLog;
  node->data_ = std::make_unique<TSiteList>();
  node->data_->Node = node.get();
  errorLog_ = node.get();
  topLevel_.push_back(std::move(node));
  Notify([this](TreeObserver& o) { o.NodeAdded(errorLog_); });
  return errorLog_;
}

void TChannelTree::AddObserver(TreeObserver* observer) {
  if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void TChannelTree::RemoveObserver(TreeObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <typename Call>
void TChannelTree::Notify(Call call) {
  // A copy, so an observer may unregister itself while it is being told.
  std::vector<TreeObserver*> observers = observers_;
  for (TreeObserver* observer : observers) call(*observer);
}

TTreeNodeExt* TChannelTree::LinkNew(TTreeNodeExt* parent, size_t index, std::string caption, int kind,
                                    std::unique_ptr<TSiteList> data) {
  auto owned = std::unique_ptr<TTreeNodeExt>(new TTreeNodeExt(std::move(caption), kind));
  TTreeNodeExt* node = owned.get();
  node->data_ = std::move(data);
  if (node->data_) node->data_->Node = node;
  node->imageIndex_ = node->selectedIndex_ = ImageFor(node);
  node->parent_ = parent;
  parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(owned));
  if (kind == kKindSearch) ++searchItemCount_;
  Notify([node](TreeObserver& o) { o.NodeAdded(node); });
  return node;
}

TTreeNodeExt* TChannelTree::AddChild(TTreeNodeExt* parent, std::string caption, int kind,
                                     std::unique_ptr<TSiteList> data) {
  if (parent == nullptr || parent->deleting_) return nullptr;
  return LinkNew(parent, parent->children_.size(), std::move(caption), kind, std::move(data));
}

TTreeNodeExt* TChannelTree::AddChildFirst(TTreeNodeExt* parent, std::string caption, int kind,
                                          std::unique_ptr<TSiteList> data) {
  if (parent == nullptr || parent->deleting_) return nullptr;
  return LinkNew(parent, 0, std::move(caption), kind, std::move(data));
}

TTreeNodeExt* TChannelTree::InsertBefore(TTreeNodeExt* sibling, std::string caption, int kind,
                                         std::unique_ptr<TSiteList> data) {
  if (sibling == nullptr || sibling->deleting_ || sibling->parent_ == nullptr) return nullptr;
  size_t index = static_cast<size_t>(sibling->IndexInParent());
  return LinkNew(sibling->parent_, index, std::move(caption), kind, std::move(data));
}

bool TChannelTree::MoveNode(TTreeNodeExt* node, TTreeNodeExt* newParent, TTreeNodeExt* before) {
  if (node == nullptr || newParent == nullptr || node->parent_ == nullptr) return false;
  if (node->deleting_ || newParent->deleting_ || newParent->IsSameOrBelow(node)) return false;
  if (before != nullptr && before->parent_ != newParent) return false;
  // Nothing crosses between the user's tree and the error log.
  if (TopLevelAncestor(node) != TopLevelAncestor(newParent)) return false;
  if (before == node) return true;
  TTreeNodeExt* oldParent = node->parent_;
  size_t oldIndex = static_cast<size_t>(node->IndexInParent());
  std::unique_ptr<TTreeNodeExt> owned = std::move(oldParent->children_[oldIndex]);
  oldParent->children_.erase(oldParent->children_.begin() + static_cast<std::ptrdiff_t>(oldIndex));
  size_t newIndex = before != nullptr ? static_cast<size_t>(before->IndexInParent()) : newParent->children_.size();
  newParent->children_.insert(newParent->children_.begin() + static_cast<std::ptrdiff_t>(newIndex), std::move(owned));
  node->parent_ = newParent;
  Notify([&](TreeObserver& o) { o.NodeMoved(node, oldParent, oldIndex); });
  return true;
}

void TChannelTree::ForgetErrorLogOwners(const TSiteList* list) {
  if (errorLog_ == nullptr || errorLog_->deleting_ || errorLog_->data_.get() == list) return;
  for (const auto& entry : errorLog_->data_->Items()) {
    if (entry->Owner == list) entry->Owner = nullptr;
  }
}

std::unique_ptr<TSiteList> TChannelTree::DetachData(TTreeNodeExt* node) {
  if (node == nullptr || !node->data_ || node == errorLog_) return nullptr;
  Notify([node](TreeObserver& o) { o.DataReleasing(node); });
  ForgetErrorLogOwners(node->data_.get());
  node->data_->Node = nullptr;
  return std::move(node->data_);
}

void TChannelTree::NotifyItemRemoving(const TSiteRecord* item) {
  Notify([item](TreeObserver& o) { o.ItemRemoving(item); });
}

bool TChannelTree::DeleteNode(TTreeNodeExt* node) {
  if (node == nullptr || node == RootNode() || node->deleting_) return false;
  ForEachNode(node, [](TTreeNodeExt* n) { n->deleting_ = true; });
  ForEachNode(node, [this](TTreeNodeExt* n) { Notify([n](TreeObserver& o) { o.NodeRemoving(n); }); });
  ForEachNode(node, [this](TTreeNodeExt* n) {
    if (n->kind_ == kKindSearch) --searchItemCount_;
    if (n->data_) ForgetErrorLogOwners(n->data_.get());
  });
  TTreeNodeExt* parent = node->parent_;
  auto& siblings = parent != nullptr ? parent->children_ : topLevel_;
  auto found = std::find_if(siblings.begin(), siblings.end(), [node](const auto& n) { return n.get() == node; });
  size_t index = static_cast<size_t>(found - siblings.begin());
  std::unique_ptr<TTreeNodeExt> owned = std::move(*found);
  siblings.erase(found);
  if (node == errorLog_) errorLog_ = nullptr;
  owned.reset();
  Notify([parent, index](TreeObserver& o) { o.NodeRemoved(parent, index); });
  return true;
}

void TChannelTree::ClearUserTree() {
  TTreeNodeExt* root = RootNode();
  LockTreePaint(true);
  while (root->HasChildren()) DeleteNode(root->LastChild());
  root->itemTotal_ = 0;
  root->unreadTotal_ = 0;
  SetNodeBold(root, false);
  LockTreePaint(false);
}

void TChannelTree::SetCaption(TTreeNodeExt* node, std::string caption) {
  if (node == nullptr || node->caption_ == caption) return;
  node->caption_ = std::move(caption);
  Notify([node](TreeObserver& o) { o.CaptionChanged(node); });
}

void TChannelTree::SetExpanded(TTreeNodeExt* node, bool expanded) {
  if (node == nullptr || node->expanded_ == expanded) return;
  node->expanded_ = expanded;
  Notify([node](TreeObserver& o) { o.ExpandedChanged(node); });
}

void TChannelTree::ExpandIfMarked(TTreeNodeExt* parent) {
  if (parent == nullptr || parent->stateIndex_ == -1) return;
  parent->stateIndex_ = -1;
  SetExpanded(parent, true);
}

void TChannelTree::AddItemCount(TTreeNodeExt* node, int32_t delta) {
  for (TTreeNodeExt* n = node; n != nullptr; n = n->parent_) {
    n->itemTotal_ = AddTotal(n->itemTotal_, delta);
    if (paintLock_ == 0) Notify([n](TreeObserver& o) { o.CountsChanged(n); });
  }
}

void TChannelTree::AddUnreadCount(TTreeNodeExt* node, int32_t delta) {
  for (TTreeNodeExt* n = node; n != nullptr; n = n->parent_) {
    n->unreadTotal_ = AddTotal(n->unreadTotal_, delta);
    SetNodeBold(n, UnreadBold(n));
    if (paintLock_ == 0) Notify([n](TreeObserver& o) { o.CountsChanged(n); });
  }
}

void TChannelTree::SetNodeBold(TTreeNodeExt* node, bool bold) {
  if (node == nullptr || node->bold_ == bold) return;
  node->bold_ = bold;
  Notify([node](TreeObserver& o) { o.BoldChanged(node); });
}

int TChannelTree::ImageFor(const TTreeNodeExt* node) const {
  if (!node->data_) return node->kind_;
  bool isItemAddress = IsBloglinesItemAddress(node->data_->Site.rdfurl, settings_.BloglinesSync);
  return BloglinesImageIndex(node->kind_, isItemAddress, settings_.BloglinesClone);
}

void TChannelTree::SetNodeKind(TTreeNodeExt* node, int kind) {
  if (node == nullptr || node->deleting_) return;
  bool changed = false;
  if (kind != kKindKeepCurrent && kind != node->kind_) {
    if (node->kind_ == kKindSearch) --searchItemCount_;
    if (kind == kKindSearch) ++searchItemCount_;
    node->kind_ = kind;
    changed = true;
  }
  int image = ImageFor(node);
  if (image != node->imageIndex_ || image != node->selectedIndex_) {
    node->imageIndex_ = node->selectedIndex_ = image;
    changed = true;
  }
  if (changed) Notify([node](TreeObserver& o) { o.KindChanged(node); });
}

void TChannelTree::SetSearchItemCounts(TTreeNodeExt* node, int32_t itemTotal, int32_t unreadTotal) {
  if (node == nullptr || node->deleting_ || node->kind_ != kKindSearch) return;
  node->itemTotal_ = itemTotal;
  node->unreadTotal_ = unreadTotal;
  AddUnreadCount(node, 0);
}

bool TChannelTree::UnreadBold(const TTreeNodeExt* node) const {
  return node->unreadTotal_ > 0 &&
         (settings_.TreeBold || settings_.SearchThread == settings::SearchDisplay::kHighlight);
}

bool TChannelTree::RefreshedBold(const TTreeNodeExt* node) const {
  if (node->IsSearchItem()) return UnreadBold(node);
  return node->unreadTotal_ > 0 && settings_.TreeBold;
}

void TChannelTree::RefreshTreeBold(TTreeNodeExt* node) {
  ForEachNode(node, [this](TTreeNodeExt* n) { SetNodeBold(n, RefreshedBold(n)); });
}

void TChannelTree::ExpandAncestors(TTreeNodeExt* node) {
  for (TTreeNodeExt* n = node; n != nullptr; n = n->parent_) {
    if (n->HasChildren() && !n->expanded_) SetExpanded(n, true);
  }
}

void TChannelTree::LockTreePaint(bool lock) {
  if (lock) {
    ++paintLock_;
  } else if (paintLock_ > 0) {
    if (--paintLock_ == 0) Notify([](TreeObserver& o) { o.BulkUpdateEnded(); });
  }
}

void TChannelTree::CollectAllItems(const TTreeNodeExt* node, TSortList& list) const {
  if (node == nullptr) return;
  if (IsChannelKind(node->kind_) && node->data_) {
    for (const auto& item : node->data_->Items()) list.Add(item.get());
  }
  for (const auto& child : node->children_) CollectAllItems(child.get(), list);
}

TTreeNodeExt* TChannelTree::TopLevelAncestor(TTreeNodeExt* node) {
  while (node != nullptr && node->parent_ != nullptr) node = node->parent_;
  return node;
}

std::string TChannelTree::DisplayedCaption(const TTreeNodeExt* node) const {
  if (node == nullptr) return std::string();
  if (captionEditing_) return node->caption_;
  std::string unread = std::to_string(node->unreadTotal_);
  std::string total = std::to_string(node->itemTotal_);
  if (ShowsItemCounts(node->kind_)) {
    return node->itemTotal_ > 0 ? node->caption_ + " (" + unread + "/" + total + ")" : node->caption_;
  }
  if (node->kind_ == kKindSearch) {
    if (settings_.SearchThread == settings::SearchDisplay::kUnreadCount && node->unreadTotal_ > 0)
      return node->caption_ + " (" + unread + ")";
    if (settings_.SearchThread == settings::SearchDisplay::kAllCounts && node->itemTotal_ > 0)
      return node->caption_ + " (" + unread + "/" + total + ")";
  }
  return node->caption_;
}

TTreeNodeExt* TChannelTree::NextNode(const TTreeNodeExt* node) const {
  if (node == nullptr) return nullptr;
  if (node->HasChildren()) return node->FirstChild();
  for (const TTreeNodeExt* n = node; n != nullptr; n = n->parent_) {
    if (n->parent_ != nullptr) {
      if (TTreeNodeExt* sibling = n->NextSibling()) return sibling;
      continue;
    }
    auto found = std::find_if(topLevel_.begin(), topLevel_.end(), [n](const auto& top) { return top.get() == n; });
    if (found == topLevel_.end() || ++found == topLevel_.end()) return nullptr;
    return found->get();
  }
  return nullptr;
}

void TChannelTree::ForEachNode(TTreeNodeExt* node, const std::function<void(TTreeNodeExt*)>& visit) {
  if (node == nullptr) return;
  visit(node);
  for (const auto& child : node->children_) ForEachNode(child.get(), visit);
}

}  // namespace store
