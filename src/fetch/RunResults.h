// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

#include "fetch/FetchWorkers.h"
#include "fetch/RunFetches.h"
#include "fetch/RunProgress.h"
#include "fetch/UpdateRunServices.h"
#include "formats/feeds/FeedProcessor.h"

namespace fetch {

// What the fetches of an update run do to the channels: each result goes through feed
// processing into its channel, a failure into the error log, and the run's counts (new
// items, alert matches, failures, whether anything changed) follow. Main thread only.
class RunResults {
 public:
  // `services` and `progress` must outlive this.
  RunResults(const UpdateRunServices& services, RunProgress& progress);
  RunResults(const RunResults&) = delete;
  RunResults& operator=(const RunResults&) = delete;

  // A new run: no new item, no change and no failure yet; the alert queries are compiled
  // afresh.
  void BeginRun();
  // A new pass counts its failures afresh.
  void ResetErrors() { errorCount_ = 0; }

  // Takes the result of one fetch into its channel (a deleted channel takes nothing) and
  // sets the channel's state. `forceReload`: the run reloads unconditionally (Shift);
  // `cancelled`: failures are the cancel's, not the channel's.
  void Complete(const RunFetches::Job& job, FetchOutcome& outcome, bool forceReload, bool cancelled);

  bool Changed() const { return changed_; }
  int ErrorCount() const { return errorCount_; }
  int NewItemCount() const { return totals_.NewItemCount; }
  // -1 when no alert query was compiled.
  int AlertMatchCount() const { return alertMatchCount_; }

 private:
  void ProcessDocument(store::TTreeNodeExt* node, FetchOutcome& outcome, const RunFetches::Job& job, bool forceReload,
                       bool cancelled, int& newState);
  void MoveChannel(store::TSiteList& channel, const std::string& movedTo);
  void CountFailure(store::TTreeNodeExt* node, int kind, bool resubscribe, int& newState, const std::string& address,
                    const std::string& cause);
  void TestNewItems(store::TTreeNodeExt* node, size_t firstNew);

  const UpdateRunServices& services_;
  RunProgress& progress_;
  formats::UpdateRunTotals totals_;
  formats::FeedProcessor processor_;
  bool changed_ = false;
  int errorCount_ = 0;
  int alertMatchCount_ = -1;
};

}  // namespace fetch
