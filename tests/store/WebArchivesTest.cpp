// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "store/ChannelStore.h"
#include "store/TTreeNodeExt.h"
#include "store/WebArchives.h"
#include "support/TempDir.h"

namespace store {
namespace {

TSiteRecord* AddItem(ChannelStore& store, TTreeNodeExt* channel, const std::string& mht) {
  TSiteRecord record;
  record.title = mht;
  record.mht = mht;
  return store.AddItemToChannel(*channel->Data(), record);
}

TEST(WebArchives, OnlyTheItemsWhoseFileIsGoneLoseTheirArchive) {
  testsupport::TempDir folder;
  settings::Settings settings;
  ChannelStore store{settings};
  TChannelTree& tree = store.Tree();
  TTreeNodeExt* group = tree.AddChild(tree.RootNode(), "Group", kKindGroup);
  TTreeNodeExt* feed = tree.AddChild(group, "Feed", kKindChannel, std::make_unique<TSiteList>());
  TSiteRecord* kept = AddItem(store, feed, "kept.mht");
  TSiteRecord* lost = AddItem(store, feed, "lost.mht");
  TSiteRecord* none = AddItem(store, feed, "");
  testsupport::WriteFile(folder / "system/mhtml/kept.mht", "archive");
  store.ClearModified();

  EXPECT_EQ(DropLostWebArchives(store, folder.Path()), 1u);
  EXPECT_EQ(kept->mht, "kept.mht");
  EXPECT_EQ(lost->mht, "");
  EXPECT_EQ(none->mht, "");
  EXPECT_TRUE(store.DataModified());

  store.ClearModified();
  EXPECT_EQ(DropLostWebArchives(store, folder.Path()), 0u);
  EXPECT_FALSE(store.DataModified()) << "nothing left to drop, nothing changed";
}

}  // namespace
}  // namespace store
