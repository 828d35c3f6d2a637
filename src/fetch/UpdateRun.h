// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fetch/FetchWorkers.h"
#include "fetch/FtpPreRunStep.h"
#include "fetch/KeywordAlerts.h"
#include "fetch/ModifierKeys.h"
#include "fetch/OfflineSwitch.h"
#include "fetch/UpdateRunView.h"
#include "formats/FeedProcessor.h"
#include "formats/MediaHandOver.h"
#include "platform/EventLoop.h"
#include "store/TreeObserver.h"

namespace fetch {

// Who started a full run.
enum class RunSender {
  kUpdateButton,  // the toolbar button: asks before going online, honours Shift and Ctrl
  kMenu,          // the menus, the tray menu, the start-up's full run
  kTimer,         // no sender: the periodic timer or the start-up; checks which channels are due
};

// What a selected update does with the channels under its node.
enum class SelectionMode {
  kUpdate = 0,  // fetch every channel that is not stopped
  kStop = 1,    // stop every subscription
  kResume = 2,  // fetch the stopped channels again; a success resumes them
};

// Everything a run works with, owned by the application.
struct UpdateRunServices {
  platform::EventLoop& Loop;
  store::ChannelStore& Store;
  settings::Settings& Settings;  // the run writes RefreshTime (its LastRunTime)
  platform::Dialogs& Dialogs;
  formats::XmlContext& Xml;
  std::string DataFolder;                      // with a trailing "/"
  store::ItemStateReplay* Journal = nullptr;   // none: no recovery replay
  formats::HtmlFeedBuilder* Html = nullptr;    // none: HTML channels yield nothing
  formats::MediaQueue* Media = nullptr;        // none: enclosures are not queued
  formats::MediaHandOver* HandOver = nullptr;  // none: nothing is handed to Podhall
  OfflineSwitch* Offline = nullptr;            // none: always online
  FtpPreRunStep* FtpPreRun = nullptr;          // none: every run goes ahead
  KeywordAlerts* Alerts = nullptr;             // none: no alerts
  ModifierKeys* Keys = nullptr;                // none: no key held
  int LocalZoneHours = 9;
  // Runs at most this many fetches at once instead of HttpThreadMax; 0: the setting.
  int ThreadLimitOverride = 0;
  std::function<double()> Now;  // local date-time; empty: the system clock
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
  bool Changed() const { return changed_; }
  bool Background() const { return background_; }
  int DoneCount() const { return doneCount_; }
  int TotalCount() const { return totalCount_; }
  int ErrorCount() const { return errorCount_; }
  int NewItemCount() const { return totals_.NewItemCount; }
  int AlertMatchCount() const { return alertMatchCount_; }
  bool LastSelectionSucceeded() const { return selectionSucceeded_; }
  size_t RunningWorkerCount() const { return workers_ ? workers_->RunningCount() : 0; }
  // The summary text of the latest run (empty when it had nothing to say).
  const std::string& LastSummary() const { return lastSummary_; }

  // Answers whether the system stays offline (true: do not run). With `ask`, the user is
  // asked before the system is switched online.
  bool CheckOffline(bool ask);

 private:
  struct Job {
    store::TTreeNodeExt* node;  // nullptr once the node was deleted
    bool resubscribe;
    bool linkMode;    // an HTML channel read from its links: the feed is built on completion
    std::string url;  // the address the worker was given
  };
  enum class Phase { kIdle, kVisiting, kWaiting };

  // Starting and ending (UpdateRun.cpp).
  bool Prepare(bool ask);
  void BeginRunState(bool background);
  void StartPass(int pass);
  void OnWaitTick();
  void PostContinue();
  void Continue();
  void VisitPass();
  void FinishPass();
  void EndFullRun();
  void EndCommon();
  bool Due(const store::TSiteList& channel) const;
  bool PassConsiders(int kind) const;
  size_t ThreadLimit() const;
  double Now() const;

  // Fetching (UpdateRunFetch.cpp).
  void StartWorker(store::TTreeNodeExt* node, bool resubscribe);
  void OnWorkerDone(FetchWorkers::WorkerId id, FetchOutcome outcome);
  void GiveUpWorker(FetchWorkers::WorkerId id, const std::string& cause);
  void CompleteFetch(const Job& job, FetchOutcome& outcome);
  void ProcessDocument(store::TTreeNodeExt* node, FetchOutcome& outcome, const Job& job, int& newState);
  void MoveChannel(store::TSiteList& channel, const std::string& movedTo);
  void CountFailure(store::TTreeNodeExt* node, int kind, bool resubscribe, int& newState, const std::string& address,
                    const std::string& cause);
  void TestNewItems(store::TTreeNodeExt* node, size_t firstNew);
  void ShowWaiting();

  // Selected update (UpdateSelection.cpp).
  void CollectSelection(SelectionMode mode, store::TTreeNodeExt* node);
  void StopSubscriptions(store::TTreeNodeExt* node);
  void VisitSelection();
  void EndSelection();

  // TreeObserver: a node deleted during a run is forgotten.
  void NodeRemoving(store::TTreeNodeExt* node) override;

  UpdateRunServices services_;
  UpdateRunView& view_;
  UpdateRunHooks hooks_;
  formats::UpdateRunTotals totals_;
  formats::FeedProcessor processor_;
  std::atomic<bool> abortFlag_{false};
  std::unique_ptr<FetchWorkers> workers_;
  std::map<FetchWorkers::WorkerId, Job> jobs_;
  platform::Timer waitTimer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  // The run state.
  bool running_ = false;
  bool cancelRequested_ = false;
  bool forceReload_ = false;
  bool background_ = true;
  bool timerStyle_ = false;
  bool keepList_ = false;
  bool changed_ = false;
  bool firstHandled_ = false;
  bool selection_ = false;
  bool selectionSucceeded_ = false;
  bool continuePosted_ = false;
  SelectionMode selectionMode_ = SelectionMode::kUpdate;
  store::TTreeNodeExt* selectionNode_ = nullptr;
  Phase phase_ = Phase::kIdle;
  int pass_ = 0;
  int doneCount_ = 0;
  int totalCount_ = 0;
  int errorCount_ = 0;
  int alertMatchCount_ = -1;
  double runStart_ = 0;
  std::vector<store::TTreeNodeExt*> visits_;  // the nodes of the pass, in tree order
  size_t cursor_ = 0;
  std::string savedTitle_;
  std::string savedStatus_;
  std::string lastSummary_;
};

}  // namespace fetch
