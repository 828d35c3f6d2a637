// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "fetch/ChannelVisits.h"
#include "fetch/FetchWorkers.h"
#include "fetch/RunFetches.h"
#include "fetch/RunProgress.h"
#include "fetch/RunResults.h"
#include "fetch/UpdateRunServices.h"
#include "fetch/UpdateRunView.h"
#include "platform/EventLoop.h"
#include "store/TreeObserver.h"

namespace fetch {

// Who started a full run.
enum class RunSender {
  kUpdateButton,  // the toolbar button: asks before going online, honours Shift and Ctrl
  kMenu,          // the menus, the tray menu, the start-up's full run
  kTimer,         // no sender: the periodic timer or the start-up; checks which channels are due
};

// What the owner does at the run's ends.
struct UpdateRunHooks {
  // The save of a full run that ends while the program sits minimised in the tray
  // (TrayRefreshMode 2 or 3): settings, channel data without backup, tabs, FTP list.
  std::function<void()> SaveEverything;
  std::function<void()> StopSearchCount;     // before a run: the search count must stop
  std::function<void()> RestartSearchCount;  // after a run that changed something
  std::function<void(bool)> PeriodicTimer;   // stops (false) and re-enables (true) Timer_Koushin
  std::function<void()> RunEnded;            // the run is over and Running() is false
  std::string ProgramTitle = "Plover";
};

// The update run: it walks the channel tree, fetches every channel that is due on fetch
// workers (at most HttpThreadMax at a time), hands each document to feed processing, logs
// the failures, stops channels that are gone, and ends with a summary. It is a state
// machine on the event loop: nothing here sleeps or pumps messages, and every step runs
// on the main thread. While workers run, a 30 ms timer watches their time-outs.
//
// "Synchronous" runs (Ctrl on the update button) fetch through the same workers, one
// channel at a time, while the view is told to hold the whole window.
//
// The run itself is the sequence of a full or selected run, from its start to its end.
// It composes the parts that do the work: ChannelVisits (which channels, in which order),
// RunFetches (the workers and their time-outs), RunResults (what a fetch does to its
// channel, and the counts) and RunProgress (what the window shows meanwhile).
class UpdateRun : private store::TreeObserver {
 public:
  static constexpr int64_t kWaitIntervalMs = 30;

  UpdateRun(UpdateRunServices services, UpdateRunView& view, UpdateRunHooks hooks = {});
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;
  ~UpdateRun() override;

  // A full run. During a run, a second call is a cancel request.
  void SB_NewClick(RunSender sender);

  // A selected update of the channels under `node`. Stopping is done at once; updating
  // and resuming start a run that ends later (RunEnded), after which
  // LastSelectionSucceeded() tells whether every channel was fetched. False when nothing
  // was started: no node, the user declined, the window is busy or offline.
  bool UpdateSelection(SelectionMode mode, store::TTreeNodeExt* node);

  // The cancel request of a second click: every running fetch is given up.
  void Cancel();

  // The given-up and time-out handling, exposed for the owner's own timers.
  void WatchTimeouts();
  void CancelWorkers();

  bool Running() const { return running_; }
  bool CancelRequested() const { return cancelRequested_; }
  bool ForceReload() const { return forceReload_; }
  bool KeepList() const { return keepList_; }
  bool Changed() const { return results_.Changed(); }
  bool Background() const { return background_; }
  int DoneCount() const { return progress_.Done(); }
  int TotalCount() const { return progress_.Total(); }
  int ErrorCount() const { return results_.ErrorCount(); }
  int NewItemCount() const { return results_.NewItemCount(); }
  int AlertMatchCount() const { return results_.AlertMatchCount(); }
  bool LastSelectionSucceeded() const { return selectionSucceeded_; }
  size_t RunningWorkerCount() const { return fetches_.RunningCount(); }
  // The summary text of the latest run (empty when it had nothing to say).
  const std::string& LastSummary() const { return progress_.LastSummary(); }

  // Answers whether the system stays offline (true: do not run). With `ask`, the user is
  // asked before the system is switched online.
  bool CheckOffline(bool ask);

 private:
  enum class Phase { kIdle, kVisiting, kWaiting };

  // A full run (UpdateRun.cpp).
  void BeginRunState(bool background);
  void StartPass(int pass);
  void OnWaitTick();
  void PostContinue();
  void Continue();
  void VisitPass();
  void FinishPass();
  void EndFullRun();
  void EndCommon();
  size_t ThreadLimit() const;
  void OnFetchFinished(const RunFetches::Job& job, FetchOutcome& outcome);
  void ShowWaiting();

  // A selected update (UpdateSelection.cpp).
  void StopSubscriptions(store::TTreeNodeExt* node);
  void VisitSelection();
  void EndSelection();

  // TreeObserver: a node deleted during a run is forgotten.
  void NodeRemoving(store::TTreeNodeExt* node) override;

  UpdateRunServices services_;
  UpdateRunView& view_;
  UpdateRunHooks hooks_;
  RunProgress progress_;
  RunResults results_;
  ChannelVisits visits_;
  std::atomic<bool> abortFlag_{false};
  platform::Timer waitTimer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  // The run state.
  bool running_ = false;
  bool cancelRequested_ = false;
  bool forceReload_ = false;
  bool background_ = true;
  bool timerStyle_ = false;
  bool keepList_ = false;
  bool firstHandled_ = false;
  bool selection_ = false;
  bool selectionSucceeded_ = false;
  bool continuePosted_ = false;
  SelectionMode selectionMode_ = SelectionMode::kUpdate;
  store::TTreeNodeExt* selectionNode_ = nullptr;
  Phase phase_ = Phase::kIdle;
  double runStart_ = 0;
  // Last, so that it goes first: the workers' threads are joined before anything they
  // report to is gone.
  RunFetches fetches_;
};

}  // namespace fetch
