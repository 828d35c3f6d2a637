// SPDX-License-Identifier: MIT
#include "present/HeadlineRowBuilder.h"

#include "present/HeadlineColumns.h"
#include "store/TSiteList.h"
#include "store/TTreeNodeExt.h"

namespace present {

void HeadlineRowBuilder::Collect(store::TTreeNodeExt* node, const RowFilters& filters, CollectedRows& out) {
  filters_ = &filters;
  shownNode_ = node;
  out_ = &out;
  listIndex_ = 0;
  query_.Clear();
  if (!node->IsSearchItem()) {
    if (!filters.keyword.empty()) query_.Parse(filters.keyword);
    CollectItems(node, !store::IsChannelKind(node->Kind()), true);
  } else {
    query_.Parse(node->Caption());
    CollectItems(filters.searchAll ? tree_.RootNode() : node->Parent(), true, false);
  }
  query_.Clear();
  filters_ = nullptr;
  shownNode_ = nullptr;
  out_ = nullptr;
}

void HeadlineRowBuilder::CollectItems(store::TTreeNodeExt* node, bool recurse, bool applyQuery) {
  if (node == nullptr) return;
  if (store::TSiteList* list = node->Data()) {
    const bool errorLog = node == tree_.ErrorLogNode();
    for (const auto& item : list->Items()) CollectItem(*item, errorLog, applyQuery);
    return;
  }
  if (!recurse) return;
  for (size_t i = 0; i < node->ChildCount(); ++i) CollectItems(node->Child(i), true, applyQuery);
}

void HeadlineRowBuilder::CollectItem(store::TSiteRecord& item, bool errorLogEntry, bool applyQuery) {
  const RowFilters& filters = *filters_;
  item.ListIndex = ++listIndex_;
  if (errorLogEntry) {
    out_->rows.push_back(&item);
    if (filters.viewMode) out_->pageList.push_back(&item);
    return;
  }
  const bool queryApplies = !query_.Empty();
  if (queryApplies && !query_.Matches(item)) return;
  // A keyword typed into the box shows every match whatever its state or age; a search
  // item's own query still goes through the list's filters.
  if (!filters.showAll && !(applyQuery && queryApplies)) {
    if (!ReadFilterPasses(filters.readFilter, item.read)) return;
    if (!DateFilterPasses(filters.dateFilter, item.modified, filters.now)) return;
  }
  if (filters.viewMode && (filters.showAll || (applyQuery && queryApplies) || shownNode_ != tree_.RootNode())) {
    out_->pageList.push_back(&item);
  }
  out_->rows.push_back(&item);
  if (item.read == store::kStateUnread) ++out_->unread;
}

}  // namespace present
