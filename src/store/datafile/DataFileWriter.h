// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"
#include "store/ChannelTree.h"
#include "store/datafile/ByteSink.h"
#include "store/datafile/DataFileFields.h"
#include "store/journal/RecoveryCounter.h"

namespace store {

// What writing the records of a tree gave.
struct WriteOutcome {
  uint64_t nodeCount = 0;  // node records written (groups, channels, search items)
  uint64_t itemCount = 0;  // item records written
  bool failed = false;     // a node could not be written, or the sink refused bytes
  // The tree is deeper than a loader reads: nothing was written at all. `tooDeepGroup` is
  // the caption of the first group whose children stand too deep.
  bool tooDeep = false;
  std::string tooDeepGroup;
  // The channel being written when the first failure happened (the last channel begun
  // before it), for the message that names it.
  std::string channelTitle;
  std::string channelLink;
};

// Writes the user's tree in the data file's form: the header placeholder "[000000]", the
// record of the number of items that follow, then the records of RootNode's children in
// pre-order, a group's children after it and a channel's items (those the bounding rule
// keeps at `now`) after the channel, all at the channel's depth. Channels without a
// recovery number get one from the counter on the way. A failure inside one node is noted
// and the walk goes on with the next node. The caller puts the real count into the header
// afterwards (it has the same length). A tree with a node deeper than datafile::kMaxDepth
// is not written at all: its file could never be loaded again.
class DataFileWriter {
 public:
  DataFileWriter(const settings::Settings& settings, double now, RecoveryCounter& counter, ByteSink& sink);
  DataFileWriter(const DataFileWriter&) = delete;
  DataFileWriter& operator=(const DataFileWriter&) = delete;

  WriteOutcome WriteTree(const TChannelTree& tree);

 private:
  void Survey(const TTreeNodeExt* node, int depth, uint64_t& items);
  void WriteItemTotal(uint64_t items);
  void WriteNode(const TTreeNodeExt* node, int depth);
  void WriteGroup(const TTreeNodeExt* node, int depth);
  void WriteSearchItem(const TTreeNodeExt* node, int depth);
  void WriteChannel(const TTreeNodeExt* node, int depth);
  void WriteChannelField(const datafile::ChannelField& field, const TSiteList& list);
  void WriteItem(const TSiteRecord& item, int depth);
  void Flag(int depth, int kind);
  void Text(std::string_view key, std::string_view value);
  void Number(std::string_view key, int64_t value);
  void Day(std::string_view key, double value);
  void EndRecord();
  void FlushIfFull();
  void Flush();

  const settings::Settings& settings_;
  double now_;
  RecoveryCounter& counter_;
  ByteSink& sink_;
  std::string buffer_;
  WriteOutcome outcome_;
};

// The whole file for a tree, header count included, in memory.
std::string SerializeChannelTree(const TChannelTree& tree, const settings::Settings& settings, double now,
                                 RecoveryCounter& counter);

}  // namespace store
