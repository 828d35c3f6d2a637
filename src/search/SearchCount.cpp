// SPDX-License-Identifier: MIT
#include "search/SearchCount.h"

#include <sched.h>

#include <unordered_map>

#include "store/ChannelTree.h"
#include "store/TTreeNodeExt.h"

namespace search {
namespace {

// The count is background work: it gets the processor only when nothing else wants it.
void LowerThreadPriority() {
  sched_param param{};
  param.sched_priority = 0;
  (void)sched_setscheduler(0, SCHED_IDLE, &param);
}

}  // namespace

SearchCount::SearchCount(platform::EventLoop& loop, store::TChannelTree& tree, const settings::Settings& settings)
    : loop_(loop),
      tree_(tree),
      settings_(settings),
      timer_(loop, kDebounceMs, platform::TimerKind::kOnce, [this] { TimerFired(); }),
      captionTimer_(loop, kCaptionRefreshMs, platform::TimerKind::kOnce,
                    [this] {
                      captionTimer_.Stop();
                      store::TTreeNodeExt* node = captionNode_;
                      captionNode_ = nullptr;
                      if (node != nullptr && captionRefresh_) captionRefresh_(node);
                    }),
      anchor_(std::make_shared<SearchCount*>(this)) {
  tree_.AddObserver(this);
}

SearchCount::~SearchCount() {
  tree_.RemoveObserver(this);
  liveGeneration_.store(++generation_);
  if (worker_.joinable()) worker_.join();
  // Results the worker posted before it ended find nobody.
  *anchor_ = nullptr;
}

void SearchCount::Restart() {
  interrupted_ = false;
  if (tree_.SearchItemCount() > 0) timer_.Start();
}

void SearchCount::Stop() {
  // A count that was due is owed as much as one under way: both come back once the
  // change that stopped them is over.
  if (timer_.Enabled()) interrupted_ = true;
  timer_.Stop();
  if (runState_ != kCounting) return;
  interrupted_ = true;
  Cancel();
}

void SearchCount::SearchItemCaptionChanged(store::TTreeNodeExt* node) {
  captionNode_ = node;
  captionTimer_.Start();
}

void SearchCount::Cancel() {
  liveGeneration_.store(++generation_);
  builder_.reset();
  // Without a worker the count ends here; a worker reports its end, whatever it did.
  runState_ = workerRunning_ ? kStopRequested : kIdle;
}

void SearchCount::TimerFired() {
  timer_.Stop();
  if (shuttingDown_ || tree_.SearchItemCount() <= 0) return;
  if (runState_ != kIdle) {
    // A count is still running: it is told to end and a fresh one follows.
    Cancel();
    timer_.Start();
    return;
  }
  BeginCount();
}

void SearchCount::ChangedWhileCounting() {
  if (runState_ != kCounting) return;
  // The snapshot in progress may point at what is going away, and a finished count would
  // be out of date: drop it and count again a little later.
  Cancel();
  if (!shuttingDown_ && tree_.SearchItemCount() > 0) timer_.Start();
}

void SearchCount::NodeRemoving(store::TTreeNodeExt* node) {
  if (node == captionNode_) {
    captionTimer_.Stop();
    captionNode_ = nullptr;
  }
  ChangedWhileCounting();
}

void SearchCount::PostToSelf(std::function<void(SearchCount&)> call) {
  std::shared_ptr<SearchCount*> anchor = anchor_;
  loop_.Post([anchor, call = std::move(call)] {
    if (*anchor != nullptr) call(**anchor);
  });
}

void SearchCount::BeginCount() {
  runState_ = kCounting;
  ++figures_.countsStarted;
  liveGeneration_.store(++generation_);
  builder_.reset();
  SnapshotSlice(generation_);
}

void SearchCount::SnapshotSlice(uint64_t generation) {
  if (generation != generation_ || runState_ != kCounting) return;
  const auto start = std::chrono::steady_clock::now();
  if (!builder_) builder_ = std::make_unique<SnapshotBuilder>(tree_, settings_);
  const bool done = builder_->CopySome(sliceBudget_);
  const auto spent = std::chrono::steady_clock::now() - start;
  ++figures_.slices;
  if (spent > figures_.longestSlice) figures_.longestSlice = spent;
  if (!done) {
    PostToSelf([generation](SearchCount& self) { self.SnapshotSlice(generation); });
    return;
  }
  SearchSnapshot snapshot = builder_->Take();
  builder_.reset();
  StartWorker(std::move(snapshot));
}

void SearchCount::StartWorker(SearchSnapshot snapshot) {
  // The previous worker has reported its end already (the state was idle), so it is
  // leaving or gone.
  if (worker_.joinable()) worker_.join();
  searchNodes_.clear();
  for (const SnapshotSearch& search : snapshot.searches) searchNodes_.push_back(search.node);
  const uint64_t generation = generation_;
  workerRunning_ = true;
  worker_ = std::thread(
      [this, generation, anchor = anchor_, shared = std::make_shared<const SearchSnapshot>(std::move(snapshot))] {
        LowerThreadPriority();
        std::optional<std::vector<SearchResult>> results = CountMatches(*shared, liveGeneration_, generation);
        loop_.Post([anchor, generation, results = std::move(results)]() mutable {
          if (*anchor != nullptr) (*anchor)->CountEnded(generation, std::move(results));
        });
      });
}

void SearchCount::CountEnded(uint64_t generation, std::optional<std::vector<SearchResult>> results) {
  workerRunning_ = false;
  if (runState_ != kIdle) runState_ = kIdle;
  if (!results || generation != generation_) return;
  StoreResults(*results);
}

void SearchCount::StoreResults(const std::vector<SearchResult>& results) {
  std::unordered_map<const store::TTreeNodeExt*, SearchResult> byNode;
  for (size_t i = 0; i < results.size() && i < searchNodes_.size(); ++i) byNode[searchNodes_[i]] = results[i];
  StoreBelow(tree_.RootNode(), byNode);
  ++figures_.countsStored;
}

// Walks the tree as the count's own order goes: with the highlight-only display, a search
// item with unread matches is enough to draw attention, so the search items after it under
// the same parent keep what they had.
void SearchCount::StoreBelow(store::TTreeNodeExt* node,
                             const std::unordered_map<const store::TTreeNodeExt*, SearchResult>& results) {
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    store::TTreeNodeExt* child = node->Child(i);
    if (!child->IsSearchItem()) {
      if (child->HasChildren()) StoreBelow(child, results);
      continue;
    }
    auto found = results.find(child);
    if (found == results.end()) continue;
    const SearchResult& result = found->second;
    if (result.itemTotal != child->ItemTotal() || result.unreadTotal != child->UnreadTotal()) {
      tree_.SetSearchItemCounts(child, result.itemTotal, result.unreadTotal);
    }
    if (settings_.SearchThread == settings::SearchDisplay::kHighlight && result.unreadTotal > 0) break;
  }
}

}  // namespace search
