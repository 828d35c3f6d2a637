// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "fetch/FetchWorkers.h"
#include "platform/EventLoop.h"
#include "settings/Settings.h"
#include "store/TTreeNodeExt.h"

namespace fetch {

// The fetches of an update run: a worker for each channel with the request its settings
// make, the channel each worker belongs to, the watch on their time-outs, and the
// give-ups. Every fetch ends in exactly one call of `finished` on the main thread: with
// the worker's result, or with a failure when the fetch was given up.
class RunFetches {
 public:
  // What the run remembers of a fetch it started.
  struct Job {
    store::TTreeNodeExt* node;  // nullptr once the node was deleted
    bool resubscribe;
    bool linkMode;    // an HTML channel read from its links: the feed is built on completion
    std::string url;  // the address the worker was given
  };
  using Finished = std::function<void(const Job& job, FetchOutcome& outcome)>;

  // `cancel` is the run's cancel flag; it and `loop` must outlive this.
  RunFetches(platform::EventLoop& loop, const std::atomic<bool>& cancel, Finished finished);

  // Starts the fetch of the node's channel; `forceReload` leaves out the conditional date.
  void Start(store::TTreeNodeExt* node, bool resubscribe, const settings::Settings& settings, bool forceReload);

  // Gives up every fetch whose latest request has waited longer than the time-out of the
  // settings (HTTPTimeout), the latest started first.
  void WatchTimeouts(const settings::Settings& settings);
  // Gives up every running fetch, the latest started first, as failures without a cause.
  void GiveUpAll();

  size_t RunningCount() const { return workers_.RunningCount(); }
  // The node of the earliest running fetch; nullptr when its node was deleted.
  store::TTreeNodeExt* FirstRunningNode() const;

  // A node that is being deleted: its fetch goes on, its result updates nothing.
  void Forget(store::TTreeNodeExt* node);

 private:
  void GiveUp(FetchWorkers::WorkerId id, const std::string& cause);

  platform::EventLoop& loop_;
  Finished finished_;
  std::map<FetchWorkers::WorkerId, Job> jobs_;
  // Last, so that it goes first: its threads are joined before the jobs they belong to.
  FetchWorkers workers_;
};

}  // namespace fetch
