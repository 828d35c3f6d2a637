// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/EventLoop.h"
#include "search/SearchSnapshot.h"
#include "settings/Settings.h"
#include "store/SearchCountControl.h"
#include "store/TreeObserver.h"

namespace store {
class TChannelTree;
}

namespace search {

// The counts the tree shows beside the saved searches. A change to the lists or the tree
// restarts a 500 ms timer (Timer_Thread), so a burst of changes leads to one count. The
// count copies what it reads on the main thread, in short slices driven by the event loop,
// then matches on a worker thread that touches nothing shared; the results come back as a
// posted task tagged with the count's generation and are stored only when no stop or change
// came in between, and only for the search items whose counts changed.
class SearchCount : public store::SearchCountControl, private store::TreeObserver {
 public:
  static constexpr int64_t kDebounceMs = 500;
  static constexpr int64_t kCaptionRefreshMs = 50;
  // The longest stretch one snapshot slice may hold the main thread.
  static constexpr std::chrono::milliseconds kSliceBudget{8};

  // SearchRunState values.
  static constexpr int kIdle = 0;
  static constexpr int kCounting = 1;
  static constexpr int kStopRequested = -1;

  SearchCount(platform::EventLoop& loop, store::TChannelTree& tree, const settings::Settings& settings);
  SearchCount(const SearchCount&) = delete;
  SearchCount& operator=(const SearchCount&) = delete;
  // Cancels a running count and waits for its thread, which stops within a few items.
  ~SearchCount() override;

  // RestartSearchCount: clears the interrupted mark and, when the tree has search items,
  // restarts the timer.
  void Restart() override;
  // StopSearchCount: stops the timer and cancels a running count (setting the interrupted
  // mark). It does not wait: the worker shares nothing with the main thread.
  void Stop() override;
  // A search item got a new caption: `CaptionRefresh` is called 50 ms later (Timer_Tree),
  // unless the node went away.
  void SearchItemCaptionChanged(store::TTreeNodeExt* node) override;

  void SetCaptionRefresh(std::function<void(store::TTreeNodeExt*)> refresh) { captionRefresh_ = std::move(refresh); }
  // The program is closing: the timer starts no more counts.
  void SetShuttingDown(bool shuttingDown) { shuttingDown_ = shuttingDown; }

  // 0 idle, 1 counting (snapshot or matching), -1 stopped and waiting for the worker to end.
  int SearchRunState() const { return runState_; }
  // Set when a stop cancelled a running count or one that was due; cleared by Restart.
  bool Interrupted() const { return interrupted_; }
  bool TimerActive() const { return timer_.Enabled(); }
  // How long one snapshot slice may run; kSliceBudget unless a test wants tiny slices.
  void SetSliceBudget(std::chrono::steady_clock::duration budget) { sliceBudget_ = budget; }

  // Figures of the work done so far, for the benchmark and for tests.
  struct Figures {
    int countsStarted = 0;
    int countsStored = 0;  // counts whose results reached the tree
    int slices = 0;
    std::chrono::steady_clock::duration longestSlice{};
  };
  const Figures& Stats() const { return figures_; }

 private:
  void TimerFired();
  void BeginCount();
  void SnapshotSlice(uint64_t generation);
  void StartWorker(SearchSnapshot snapshot);
  void CountEnded(uint64_t generation, std::optional<std::vector<SearchResult>> results);
  void StoreResults(const std::vector<SearchResult>& results);
  void StoreBelow(store::TTreeNodeExt* node,
                  const std::unordered_map<const store::TTreeNodeExt*, SearchResult>& results);
  void Cancel();
  void ChangedWhileCounting();
  void PostToSelf(std::function<void(SearchCount&)> call);

  void NodeAdded(store::TTreeNodeExt*) override { ChangedWhileCounting(); }
  void NodeRemoving(store::TTreeNodeExt* node) override;
  void NodeMoved(store::TTreeNodeExt*, store::TTreeNodeExt*, size_t) override { ChangedWhileCounting(); }
  void ItemRemoving(const store::TSiteRecord*) override { ChangedWhileCounting(); }
  void DataReleasing(store::TTreeNodeExt*) override { ChangedWhileCounting(); }

  platform::EventLoop& loop_;
  store::TChannelTree& tree_;
  const settings::Settings& settings_;
  platform::Timer timer_;         // Timer_Thread
  platform::Timer captionTimer_;  // Timer_Tree
  store::TTreeNodeExt* captionNode_ = nullptr;
  std::function<void(store::TTreeNodeExt*)> captionRefresh_;

  int runState_ = kIdle;
  bool interrupted_ = false;
  bool shuttingDown_ = false;
  uint64_t generation_ = 0;                  // main thread's count number
  std::atomic<uint64_t> liveGeneration_{0};  // the same, for the worker to compare against
  std::chrono::steady_clock::duration sliceBudget_ = kSliceBudget;
  std::unique_ptr<SnapshotBuilder> builder_;             // while the snapshot is being taken
  std::vector<const store::TTreeNodeExt*> searchNodes_;  // the counted search items, parallel to the results
  std::thread worker_;
  bool workerRunning_ = false;  // a worker was started and has not reported its end
  // Posted tasks reach this object through the anchor; it is cleared when the object goes.
  std::shared_ptr<SearchCount*> anchor_;
  Figures figures_;
};

}  // namespace search
