// SPDX-License-Identifier: MIT
#include "store/TreeEditor.h"

#include <algorithm>
#include <vector>

#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace store {

namespace {

const std::string kCrLf = "\r\n";

}  // namespace

DropPosition DropPositionAt(int kind, bool isTopLevel, bool hasChildren, int y, int rowHeight) {
  // The top-level row stands for the whole tree: a drop on it goes in front of the first
  // child, which is the same as into it. An empty tree offers no place to drop.
  if (isTopLevel) return hasChildren ? DropPosition::kInto : DropPosition::kNone;
  if (rowHeight <= 0) return DropPosition::kNone;
  if (kind == kKindGroup) {
    // Thirds as whole pixels: the upper third ends before height / 3, the lower one
    // starts at 2 * height / 3, so a 3-pixel row has one pixel per position.
    if (y * 3 < rowHeight) return DropPosition::kBefore;
    if (y * 3 >= rowHeight * 2) return DropPosition::kAfter;
    return DropPosition::kInto;
  }
  return y * 2 < rowHeight ? DropPosition::kBefore : DropPosition::kAfter;
}

TreeEditor::TreeEditor(ItemStateContext& states, platform::Dialogs& dialogs, SearchCountControl& searchCount,
                       TreeEditHost& host, const platform::UiLock& lock)
    : store_(states.store), dialogs_(dialogs), searchCount_(searchCount), host_(host), lock_(lock) {}

bool TreeEditor::InUserTree(const TTreeNodeExt* node) const {
  return node != nullptr && !node->Deleting() && node->IsSameOrBelow(store_.Tree().RootNode());
}

TTreeNodeExt* TreeEditor::CreateGroupNode(TTreeNodeExt* selected, bool searchItem) {
  if (!InUserTree(selected)) return nullptr;
  searchCount_.Stop();
  store_.SetModified();
  const int kind = searchItem ? kKindSearch : kKindGroup;
  std::string caption = text::J(searchItem ? "新しい検索項目" : "新しいグループ");
  TChannelTree& tree = store_.Tree();
  TTreeNodeExt* node = selected->Kind() == kKindGroup ? tree.AddChildFirst(selected, std::move(caption), kind)
                                                      : tree.InsertBefore(selected, std::move(caption), kind);
  searchCount_.Restart();
  if (node == nullptr) return nullptr;
  host_.SelectNode(node);
  if (BeginRename(node)) host_.StartCaptionEdit(node);
  return node;
}

bool TreeEditor::CanRename(const TTreeNodeExt* node) const {
  return InUserTree(node) && node != store_.Tree().RootNode() && !lock_.UiLocked();
}

bool TreeEditor::BeginRename(TTreeNodeExt* node) {
  if (!CanRename(node)) return false;
  store_.Tree().SetCaptionEditing(true);
  return true;
}

bool TreeEditor::RenameNode(TTreeNodeExt* node, const std::optional<std::string>& caption) {
  store_.Tree().SetCaptionEditing(false);
  bool changed = false;
  if (caption.has_value() && node != nullptr && !node->Deleting() && *caption != node->Caption()) {
    store_.SetModified();
    store_.Tree().SetCaption(node, *caption);
    if (node->IsSearchItem()) searchCount_.SearchItemCaptionChanged(node);
    changed = true;
  }
  searchCount_.Restart();
  return changed;
}

bool TreeEditor::CanDelete(const TTreeNodeExt* node) const {
  if (node == nullptr || node->Deleting()) return false;
  if (node == store_.Tree().ErrorLogNode()) return true;
  return InUserTree(node) && node->Level() >= 1;
}

bool TreeEditor::DeleteNode(TTreeNodeExt* node) {
  if (!CanDelete(node)) return false;
  const bool errorLog = node == store_.Tree().ErrorLogNode();
  if (store_.Settings().DialogQues) {
    const std::string question = errorLog ? text::J("ステータス項目を全て削除しますか？")
                                          : text::J("選択されているチャンネルリストの項目を削除しますか？") + kCrLf +
                                                text::J("(［保護］が含まれる場合でも全て削除します)");
    if (!dialogs_.AskYesCancel(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
      return false;
    }
  }
  store_.SetModified();
  searchCount_.Stop();
  // The store takes the node's totals off its ancestors (a search item's counts are its
  // own) and discards the duplicate list before the items go.
  store_.DeleteNode(node);
  if (!errorLog) host_.RebuildBloglinesList();
  searchCount_.Restart();
  host_.FocusTree();
  return true;
}

bool TreeEditor::CanDrop(const TTreeNodeExt* node, const TTreeNodeExt* target) const {
  if (!InUserTree(node) || !InUserTree(target) || node->Level() < 1) return false;
  return !target->IsSameOrBelow(node);
}

void TreeEditor::PlaceNode(TTreeNodeExt* node, TTreeNodeExt* target, DropPosition position) {
  TChannelTree& tree = store_.Tree();
  switch (position) {
    case DropPosition::kBefore:
      tree.MoveNode(node, target->Parent(), target);
      break;
    case DropPosition::kAfter:
      tree.MoveNode(node, target->Parent(), target->NextSibling());
      break;
    case DropPosition::kInto:
      tree.MoveNode(node, target, target->FirstChild());
      break;
    case DropPosition::kNone:
      break;
  }
}

bool TreeEditor::MoveNode(TTreeNodeExt* node, TTreeNodeExt* target, DropPosition position) {
  if (lock_.UiLocked() || position == DropPosition::kNone || !CanDrop(node, target)) return false;
  // Before and after need the target's parent; the top-level row takes drops only into it.
  if (position != DropPosition::kInto && target->Parent() == nullptr) return false;
  TChannelTree& tree = store_.Tree();
  store_.SetModified();
  searchCount_.Stop();
  host_.SuspendLeaveRule(true);
  tree.LockTreePaint(true);
  const bool carriesTotals = !node->IsSearchItem();
  const int32_t itemTotal = node->ItemTotal();
  const int32_t unreadTotal = node->UnreadTotal();
  if (carriesTotals) {
    tree.AddItemCount(node, -itemTotal);
    tree.AddUnreadCount(node, -unreadTotal);
  }
  const TTreeNodeExt* oldParent = node->Parent();
  const bool targetExpanded = target->Expanded();
  PlaceNode(node, target, position);
  // With TreeOpen 1 groups open when something is moved into them; otherwise the target
  // keeps the state it had.
  if (store_.Settings().TreeOpen == 1) {
    tree.ExpandAncestors(node->Parent());
  } else {
    tree.SetExpanded(target, targetExpanded);
  }
  if (carriesTotals) {
    tree.AddItemCount(node, itemTotal);
    tree.AddUnreadCount(node, unreadTotal);
    tree.RefreshTreeBold(node);
  } else {
    tree.SetNodeBold(node, tree.RefreshedBold(node));
    if (node->Parent() != oldParent) host_.RebuildSelectedList();
  }
  tree.LockTreePaint(false);
  host_.SuspendLeaveRule(false);
  searchCount_.Restart();
  return true;
}

void TreeEditor::SortChildren(TTreeNodeExt* node) {
  std::vector<TTreeNodeExt*> children;
  children.reserve(node->ChildCount());
  for (size_t i = 0; i < node->ChildCount(); ++i) children.push_back(node->Child(i));
  // Plain byte order of the code page 932 captions: case-sensitive, the same on every
  // machine, and equal captions keep their order.
  std::stable_sort(children.begin(), children.end(),
                   [](const TTreeNodeExt* a, const TTreeNodeExt* b) { return a->Caption() < b->Caption(); });
  for (size_t i = 0; i < children.size(); ++i) {
    if (node->Child(i) != children[i]) store_.Tree().MoveNode(children[i], node, node->Child(i));
  }
  for (TTreeNodeExt* child : children) SortChildren(child);
}

bool TreeEditor::SortGroup(TTreeNodeExt* node) {
  if (!InUserTree(node)) return false;
  const std::string question =
      text::J("選択されているグループの中を名前でソートしますか？") + kCrLf + text::J("(ソート結果は保存されます)");
  if (!dialogs_.AskYesCancel(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return false;
  }
  searchCount_.Stop();
  store_.Tree().LockTreePaint(true);
  SortChildren(node);
  store_.Tree().LockTreePaint(false);
  store_.SetModified();
  searchCount_.Restart();
  return true;
}

}  // namespace store
