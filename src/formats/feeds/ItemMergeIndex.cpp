// SPDX-License-Identifier: MIT
#include "formats/feeds/ItemMergeIndex.h"

#include <algorithm>
#include <cstdint>

#include "text/Compare.h"
#include "text/Cut.h"

namespace formats {
namespace {

using store::TSiteRecord;

char SmallLetter(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

size_t StoredKey(const TSiteRecord& item) {
  // The two hashes mixed so that swapping title and link does not give the same key.
  const size_t title = text::HashTextJ(item.title);
  return title ^ (LinkHash(item.link) + 0x9e3779b97f4a7c15ull + (title << 6) + (title >> 2));
}

size_t TitleKey(const TSiteRecord& item) {
  return text::HashTextJ(item.title);
}

}  // namespace

bool SameLink(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  size_t pos = 0;
  while (pos < a.size()) {
    const size_t length = text::CharLengthAt(a, pos);
    if (length == 1) {
      if (SmallLetter(a[pos]) != SmallLetter(b[pos])) return false;
    } else if (a.substr(pos, length) != b.substr(pos, length)) {
      return false;
    }
    pos += length;
  }
  return true;
}

size_t LinkHash(std::string_view link) {
  // Every byte SameLink compares exactly is hashed as it is, every byte it compares
  // without case is hashed small; making the bytes of a double-byte character small as
  // well keeps that promise.
  uint64_t hash = 14695981039346656037ull;
  for (const char c : link) hash = (hash ^ static_cast<unsigned char>(SmallLetter(c))) * 1099511628211ull;
  return static_cast<size_t>(hash);
}

void ItemMergeIndex::Reset() {
  stored_.clear();
  titles_.clear();
  storedBuilt_ = false;
  titlesBuilt_ = false;
}

const std::vector<TSiteRecord*>& ItemMergeIndex::StoredCandidates(const TSiteRecord& item,
                                                                  const store::TSiteList& channel, size_t storedCount) {
  if (!storedBuilt_) {
    const size_t count = std::min(storedCount, channel.Count());
    stored_.reserve(count);
    for (size_t i = 0; i < count; ++i) Insert(stored_, StoredKey(*channel.ItemAt(i)), channel.ItemAt(i));
    storedBuilt_ = true;
  }
  return Lookup(stored_, StoredKey(item));
}

const std::vector<TSiteRecord*>& ItemMergeIndex::TitleCandidates(const TSiteRecord& item,
                                                                 const store::TSiteList& channel) {
  if (!titlesBuilt_) {
    titles_.reserve(channel.Count());
    for (const auto& stored : channel.Items()) Insert(titles_, TitleKey(*stored), stored.get());
    titlesBuilt_ = true;
  }
  return Lookup(titles_, TitleKey(item));
}

void ItemMergeIndex::Added(TSiteRecord* item) {
  // Items added from the document are never stored versions; only the title index, which
  // covers the whole channel, learns of them.
  if (titlesBuilt_) Insert(titles_, TitleKey(*item), item);
}

void ItemMergeIndex::Removed(const TSiteRecord* item) {
  if (storedBuilt_) Erase(stored_, StoredKey(*item), item);
  if (titlesBuilt_) Erase(titles_, TitleKey(*item), item);
}

void ItemMergeIndex::Insert(Table& table, size_t key, TSiteRecord* item) {
  table[key].push_back(item);
}

void ItemMergeIndex::Erase(Table& table, size_t key, const TSiteRecord* item) {
  const auto found = table.find(key);
  if (found == table.end()) return;
  std::vector<TSiteRecord*>& items = found->second;
  // erase keeps the others in the order of the list.
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
  if (items.empty()) table.erase(found);
}

const std::vector<TSiteRecord*>& ItemMergeIndex::Lookup(const Table& table, size_t key) {
  static const std::vector<TSiteRecord*> kNone;
  const auto found = table.find(key);
  return found == table.end() ? kNone : found->second;
}

}  // namespace formats
