// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "present/ListQuery.h"
#include "store/ChannelTree.h"
#include "store/TSiteRecord.h"

namespace present {

// What decides which items of a node become rows of the headline list.
struct RowFilters {
  bool viewMode = false;  // view mode also collects the page list
  bool showAll = false;   // "Show All": no read-state or date filter
  int readFilter = 0;
  int dateFilter = 0;
  double now = 0;          // the time the date filter counts ages from
  std::string keyword;     // the keyword box's text while it applies, else empty
  bool searchAll = false;  // SearchAll: a search item searches the whole tree
};

// The rows one build of the headline list collects, in the order of collection.
struct CollectedRows {
  std::vector<store::TSiteRecord*> rows;
  std::vector<store::TSiteRecord*> pageList;  // view mode only
  int32_t unread = 0;                         // unread rows
};

// Builds the rows of a tree node: a channel's items, a group's items from every channel
// below it, a search item's matches, or the error log's entries, through the keyword and
// the filters. Each collected item gets its ListIndex, the tie-break of the sort.
class HeadlineRowBuilder {
 public:
  HeadlineRowBuilder(const store::TChannelTree& tree, ListQuery& query) : tree_(tree), query_(query) {}

  // Fills `out`, whose vectors the caller has emptied: a list shown again reuses the room
  // its rows had, which matters with 100,000 of them.
  void Collect(store::TTreeNodeExt* node, const RowFilters& filters, CollectedRows& out);

 private:
  void CollectItems(store::TTreeNodeExt* node, bool recurse, bool applyQuery);
  void CollectItem(store::TSiteRecord& item, bool errorLogEntry, bool applyQuery);

  const store::TChannelTree& tree_;
  ListQuery& query_;
  // The build in progress.
  const RowFilters* filters_ = nullptr;
  const store::TTreeNodeExt* shownNode_ = nullptr;
  CollectedRows* out_ = nullptr;
  int32_t listIndex_ = 0;
};

}  // namespace present
