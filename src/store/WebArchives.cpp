// SPDX-License-Identifier: MIT
#include "store/WebArchives.h"

#include "platform/Files.h"
#include "store/TTreeNodeExt.h"
#include "text/Convert.h"

namespace store {

size_t DropLostWebArchives(ChannelStore& store, const std::string& dataFolder) {
  const std::string archiveFolder = platform::WithSlash(dataFolder) + "system/mhtml/";
  size_t dropped = 0;
  const TChannelTree& tree = store.Tree();
  for (size_t i = 0; i < tree.TopLevelCount(); ++i) {
    TChannelTree::ForEachNode(tree.TopLevelNode(i), [&](TTreeNodeExt* node) {
      if (node->Data() == nullptr) return;
      for (const auto& item : node->Data()->Items()) {
        if (item->mht.empty() || platform::FileExists(archiveFolder + text::SjisToUtf8(item->mht))) continue;
        item->mht.clear();
        ++dropped;
      }
    });
  }
  if (dropped > 0) store.SetModified();
  return dropped;
}

}  // namespace store
