// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/TreeObserver.h"

namespace store::testing {

// Records every notification as "Event:caption" (captions of removed parents as given).
class RecordingObserver : public TreeObserver {
 public:
  void NodeAdded(TTreeNodeExt* node) override { Record("Added", node); }
  void NodeRemoving(TTreeNodeExt* node) override {
    Record("Removing", node);
    removingWhileDeleting.push_back(node->Deleting());
  }
  void NodeRemoved(TTreeNodeExt* parent, size_t index) override {
    events.push_back("Removed:" + (parent ? parent->Caption() : std::string("-")) + "#" + std::to_string(index));
  }
  void NodeMoved(TTreeNodeExt* node, TTreeNodeExt*, size_t) override { Record("Moved", node); }
  void CaptionChanged(TTreeNodeExt* node) override { Record("Caption", node); }
  void KindChanged(TTreeNodeExt* node) override { Record("Kind", node); }
  void CountsChanged(TTreeNodeExt* node) override { Record("Counts", node); }
  void BoldChanged(TTreeNodeExt* node) override { Record("Bold", node); }
  void ExpandedChanged(TTreeNodeExt* node) override { Record("Expanded", node); }
  void BulkUpdateEnded() override { events.push_back("BulkEnded"); }

  size_t CountOf(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  std::vector<std::string> events;
  std::vector<bool> removingWhileDeleting;

 private:
  void Record(const char* what, TTreeNodeExt* node) { events.push_back(std::string(what) + ":" + node->Caption()); }
};

// A store with a small tree: RootNode > Outer (group) > Inner (group) > Feed (channel).
class TreeFixture : public ::testing::Test {
 protected:
  TreeFixture() {
    outer = Tree().AddChild(Tree().RootNode(), "Outer", kKindGroup);
    inner = Tree().AddChild(outer, "Inner", kKindGroup);
    feed = Tree().AddChild(inner, "Feed", kKindChannel, std::make_unique<TSiteList>());
    Tree().AddObserver(&observer);
  }

  TChannelTree& Tree() { return store.Tree(); }

  TSiteRecord Item(const std::string& title, uint8_t read = kStateUnread) {
    TSiteRecord record;
    record.title = title;
    record.link = "http://example.com/" + title;
    record.read = read;
    return record;
  }

  settings::Settings settings;
  ChannelStore store{settings};
  RecordingObserver observer;
  TTreeNodeExt* outer = nullptr;
  TTreeNodeExt* inner = nullptr;
  TTreeNodeExt* feed = nullptr;
};

}  // namespace store::testing
