// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

#include "app/DataSession.h"
#include "platform/EventLoop.h"
#include "store/TreeObserver.h"

namespace app {

// Puts the channel data on disk a short, fixed time after the tree or a channel's settings
// changed, and after an update run that changed anything. The journal brings back read
// states after a crash, but not an added channel, an import or a deletion; without this
// they would wait for the next save point of the window's life, however long that is.
// The save is the ordinary atomic save of the data file, without a backup, made from the
// event loop; it writes nothing when nothing changed since the last save.
class DataAutoSave : private store::TreeObserver {
 public:
  static constexpr int64_t kDelayMs = 3000;

  // `busy` tells when a save has to wait: an update run in progress saves at its end.
  DataAutoSave(platform::EventLoop& loop, DataSession& session, std::function<bool()> busy);
  DataAutoSave(const DataAutoSave&) = delete;
  DataAutoSave& operator=(const DataAutoSave&) = delete;
  ~DataAutoSave() override;

  // From the end of the start-up load on, changes are followed; before it the tree is
  // being filled from the file and nothing needs saving. Disarm at the program's end.
  void Arm();
  void Disarm();

  // A change the tree does not report, such as a channel's settings from the property
  // panel: marks the data changed and saves after the delay.
  void NoteChange();

  // An update run ended: when it changed anything, save after the delay.
  void RunEnded();

  bool Pending() const { return timer_.Enabled(); }

 private:
  void Schedule();
  void SaveNow();

  // The structure of the tree: nodes added, removed, moved, renamed, turned into groups,
  // stopped or resumed. Counts and item changes come with update runs and read states.
  void NodeAdded(store::TTreeNodeExt*) override { Schedule(); }
  void NodeRemoved(store::TTreeNodeExt*, size_t) override { Schedule(); }
  void NodeMoved(store::TTreeNodeExt*, store::TTreeNodeExt*, size_t) override { Schedule(); }
  void DataReleasing(store::TTreeNodeExt*) override { Schedule(); }
  void CaptionChanged(store::TTreeNodeExt*) override { Schedule(); }
  void KindChanged(store::TTreeNodeExt*) override { Schedule(); }
  // An opened or closed group is kept in the data file, but opening one changes no data,
  // so nothing else would mark it for saving.
  void ExpandedChanged(store::TTreeNodeExt*) override;

  DataSession& session_;
  std::function<bool()> busy_;
  platform::Timer timer_;
  bool armed_ = false;
};

}  // namespace app
