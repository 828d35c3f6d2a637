// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

#include "store/ChannelStore.h"
#include "store/journal/ItemStateReplay.h"

namespace store {

// What parsing a memory image of a data file gave.
struct ParseOutcome {
  bool fatal = false;         // a record's depth was below 1 or above the deepest allowed
  bool hasHeader = false;     // the first line was a "[nnnnnn]" header
  int64_t expectedCount = 0;  // the header's count of node records
  int64_t createdNodes = 0;   // nodes created, placeholders included
  int64_t itemCount = 0;      // items added
  bool unterminated = false;  // the image ended inside a record, before its "*"
  bool hasItemTotal = false;  // the first record was the record of the item total
  int64_t expectedItems = 0;  // the item total it announced

  // Whether the attempt counts as a successful load: no fatal error and, when there was a
  // header, as many nodes as it announced; when the file announced its item total, as
  // many items too (a file cut at the end of an item record). Two damages the counts
  // cannot see are refused too, because the program never writes them: an image with
  // neither a header nor a single record (an empty or zero-filled file left by a crash),
  // and an image that ends inside a record (a file cut short).
  bool Accepted() const {
    if (fatal || unterminated) return false;
    if (hasItemTotal && expectedItems != itemCount) return false;
    if (hasHeader) return expectedCount == createdNodes;
    return createdNodes > 0;
  }
};

// Parses a data file held in memory and builds its nodes and items below RootNode of the
// store's tree, which the caller has emptied. The parse is tolerant: unknown keys and
// lines without ":" are skipped, records that cannot be placed are dropped, a missing
// parent depth gets placeholder groups "(問題のあるフォルダ)", records of unknown kinds are
// skipped wherever they stand. The item total is taken from the first record only, where
// the writer puts it; elsewhere such a record is skipped like an unknown one. Each loaded item is offered
// to `replay` (may be null); a changed state marks the store modified. Counts are summed
// per channel and added once, with the same totals as adding the items one by one.
ParseOutcome ParseChannelData(std::string_view image, ChannelStore& store, ItemStateReplay* replay);

}  // namespace store
