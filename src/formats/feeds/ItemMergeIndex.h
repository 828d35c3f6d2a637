// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/TSiteList.h"
#include "store/TSiteRecord.h"

namespace formats {

// Links are compared with their single-byte capitals made small; a trail byte that looks
// like a letter belongs to its double-byte character and is compared as it is.
bool SameLink(std::string_view a, std::string_view b);

// A hash that agrees with SameLink: links that are the same under it hash alike. It makes
// every ASCII capital small, also a trail byte that SameLink compares as it is; two such
// links only share a hash, which costs one comparison more and changes no answer.
size_t LinkHash(std::string_view link);

// The items of the channel a document is merged into, found by the keys the merge
// compares them by, so that a document of n items meets a channel of m items in about
// n + m steps instead of n × m. The index only narrows the search: it hands out the items
// whose keys hash like those of the fetched item, and the merge still compares each of
// them as before (titles with SameTextJ, links with SameLink). It lives for one document
// and is built from the channel the first time it is asked; the merge tells it about the
// items it adds and deletes meanwhile.
class ItemMergeIndex {
 public:
  // Forgets everything; the next question builds the index from the channel as it is then.
  void Reset();

  // The items among the first `storedCount` of `channel` (those it held before the
  // document) whose title and link hash like the item's, in the order of the list. The
  // answer stays valid until the index is told of an item added or removed.
  const std::vector<store::TSiteRecord*>& StoredCandidates(const store::TSiteRecord& item,
                                                           const store::TSiteList& channel, size_t storedCount);

  // Every item of the channel, those added from this document included, whose title
  // hashes like the item's, in no particular order. The answer stays valid until the
  // index is told of an item added or removed.
  const std::vector<store::TSiteRecord*>& TitleCandidates(const store::TSiteRecord& item,
                                                          const store::TSiteList& channel);

  // An item the merge has just added to the channel.
  void Added(store::TSiteRecord* item);

  // An item the merge is about to delete from the channel.
  void Removed(const store::TSiteRecord* item);

 private:
  using Table = std::unordered_map<size_t, std::vector<store::TSiteRecord*>>;

  static void Insert(Table& table, size_t key, store::TSiteRecord* item);
  static void Erase(Table& table, size_t key, const store::TSiteRecord* item);
  static const std::vector<store::TSiteRecord*>& Lookup(const Table& table, size_t key);

  Table stored_;  // by title and link: the items the channel held before the document
  Table titles_;  // by title: every item of the channel
  bool storedBuilt_ = false;
  bool titlesBuilt_ = false;
};

}  // namespace formats
