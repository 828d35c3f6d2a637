// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "store/ChannelStore.h"
#include "store/journal/ItemStateReplay.h"

namespace store {

// Reads the older XML data file (plover.def and its siblings) for the one-time conversion.
// The store cannot read XML itself; the formats layer implements this and the
// application hands it to FeedDataFile.
class LegacyConverter {
 public:
  virtual ~LegacyConverter() = default;

  // Loads the file at `path` as an XML document, with the XML layer's repair of control
  // bytes and its one retry. Returns the format version from the root's plover/version
  // element (0 when there is none), or nothing when no document resulted.
  virtual std::optional<double> OpenLegacyFile(const std::string& path) = 0;

  // Builds the groups, channels, search items and items of the document opened last
  // below RootNode, counting the items into the totals and offering each one to `replay`
  // (may be null) as the data file loader does.
  virtual void BuildLegacyTree(ChannelStore& store, ItemStateReplay* replay) = 0;

  // The OPML export of the tree, as code page 932 text ("" when there is nothing).
  virtual std::string ExportOpml(const TChannelTree& tree) = 0;
};

}  // namespace store
