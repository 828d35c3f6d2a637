// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "present/ListQuery.h"
#include "settings/Settings.h"
#include "store/ChannelTree.h"
#include "store/TSiteRecord.h"

namespace present {

// Finding the next unread headline: in the rows of the list, or in the tree after a node,
// under the list's filters. Reads the tree and the items, changes nothing but the query
// set it borrows.
class UnreadSeeker {
 public:
  UnreadSeeker(const store::TChannelTree& tree, const settings::Settings& settings, ListQuery& query)
      : tree_(tree), settings_(settings), query_(query) {}

  // The filters a qualifying item passes: the keyword box's text while it applies (else
  // empty), the read-state and date filters, and the time their ages count from.
  struct Filters {
    std::string keyword;
    int readFilter = 0;
    int dateFilter = 0;
    double now = 0;
  };

  // The next node of the user's tree after `from` (RootNode when `from` is outside it)
  // that holds an unread item passing the filters. Groups qualify only with SeekGroup;
  // search items never do. nullptr when none follows.
  store::TTreeNodeExt* NextUnreadNode(const store::TTreeNodeExt* from, const Filters& filters) const;

  // The next channel after `from` in the user's tree with at least one item.
  store::TTreeNodeExt* NextNodeWithItems(const store::TTreeNodeExt* from) const;

  // The next unread row after `from` (or from the start with -1), downwards or, with
  // `upward`, from the end towards the top. -1 when there is none.
  static int FindUnreadRow(const std::vector<store::TSiteRecord*>& rows, int from, bool upward);

 private:
  bool InUserTree(const store::TTreeNodeExt* node) const;
  bool ItemQualifies(const store::TSiteRecord& item, const Filters& filters) const;
  bool NodeQualifies(const store::TTreeNodeExt* node, const Filters& filters) const;
  store::TTreeNodeExt* NextInUserTree(const store::TTreeNodeExt* node, bool descend) const;

  const store::TChannelTree& tree_;
  const settings::Settings& settings_;
  ListQuery& query_;
};

}  // namespace present
