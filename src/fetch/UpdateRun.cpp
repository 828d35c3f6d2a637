// SPDX-License-Identifier: MIT
#include "fetch/UpdateRun.h"

#include <algorithm>
#include <ctime>

#include "fetch/UpdateTexts.h"
#include "fetch/private/StaleMemoFiles.h"
#include "text/Literal.h"

namespace fetch {

using store::TTreeNodeExt;

UpdateRun::UpdateRun(UpdateRunServices services, UpdateRunView& view, UpdateRunHooks hooks)
    : services_(std::move(services)),
      view_(view),
      hooks_(std::move(hooks)),
      progress_(view_),
      results_(services_, progress_),
      waitTimer_(services_.Loop, kWaitIntervalMs, platform::TimerKind::kRepeating, [this] { OnWaitTick(); }),
      fetches_(services_.Loop, abortFlag_,
               [this](const RunFetches::Job& job, FetchOutcome& outcome) { OnFetchFinished(job, outcome); }) {
  services_.Store.Tree().AddObserver(this);
}

UpdateRun::~UpdateRun() {
  // Tasks this run posted may still wait in the loop; they find it gone.
  alive_.reset();
  services_.Store.Tree().RemoveObserver(this);
  // The fetches still running are given up and their threads joined with `fetches_`.
}

bool UpdateRun::CheckOffline(bool ask) {
  OfflineSwitch* offline = services_.Offline;
  if (offline == nullptr || !offline->IsOffline()) return false;
  if (ask && !services_.Dialogs.AskYesNo(OfflineQuestion(), platform::MessageType::kConfirmation,
                                         platform::DefaultAnswer::kYes)) {
    return true;
  }
  offline->GoOnline();
  return offline->IsOffline();
}

void UpdateRun::Cancel() {
  if (!running_ && RunningWorkerCount() == 0) return;
  cancelRequested_ = true;
  abortFlag_ = true;
  CancelWorkers();
  PostContinue();
}

void UpdateRun::WatchTimeouts() {
  fetches_.WatchTimeouts(services_.Settings);
}

void UpdateRun::CancelWorkers() {
  fetches_.GiveUpAll();
}

void UpdateRun::SB_NewClick(RunSender sender) {
  // A click during a run stops it.
  if (running_ || RunningWorkerCount() > 0) {
    Cancel();
    return;
  }
  view_.EndLabelEdit();
  if (services_.Lock.UiLocked() || view_.Closing()) return;
  const bool button = sender == RunSender::kUpdateButton;
  if (CheckOffline(button)) return;
  if (hooks_.PeriodicTimer) hooks_.PeriodicTimer(false);
  view_.ClosePropertyPanel();
  const ModifierKeys* keys = services_.Keys;
  forceReload_ = button && keys != nullptr && keys->ShiftHeld();
  const bool background = !(button && keys != nullptr && keys->CtrlHeld());
  view_.SetCursor(background ? RunCursor::kBackgroundBusy : RunCursor::kHourglass);
  if (hooks_.StopSearchCount) hooks_.StopSearchCount();
  cancelRequested_ = false;
  runStart_ = services_.CurrentTime();
  abortFlag_ = false;
  if (services_.FtpPreRun != nullptr && !services_.FtpPreRun->PreRun()) {
    if (services_.Settings.TrayRefreshMode == settings::TrayMode::kResidentPeriodic && hooks_.PeriodicTimer)
      hooks_.PeriodicTimer(true);
    view_.SetCursor(RunCursor::kNormal);
    return;
  }
  selection_ = false;
  timerStyle_ = sender == RunSender::kTimer;
  BeginRunState(background);
  // A timer run while the window is visible leaves the list alone: the user may be reading.
  keepList_ = timerStyle_ && !view_.Minimised();
  services_.Store.RebuildDupList();
  waitTimer_.Start();
  StartPass(1);
}

void UpdateRun::BeginRunState(bool background) {
  background_ = background;
  progress_.KeepTitle(view_.Title());
  running_ = true;
  if (!background_) services_.Store.Tree().LockTreePaint(true);
  view_.HideProgress();
  progress_.KeepStatusText();
  results_.BeginRun();
  keepList_ = false;
  firstHandled_ = false;
  progress_.ClearSummary();
  view_.LockUserInterface(background_, !background_);
}

void UpdateRun::StartPass(int pass) {
  results_.ResetErrors();
  visits_.StartPass(services_.Store.Tree(), pass);
  progress_.Reset(visits_.CountConsidered());
  progress_.Show();
  phase_ = Phase::kVisiting;
  Continue();
}

size_t UpdateRun::ThreadLimit() const {
  if (!background_) return 1;
  const int limit =
      services_.ThreadLimitOverride > 0 ? services_.ThreadLimitOverride : services_.Settings.HttpThreadMax;
  return static_cast<size_t>(std::max(limit, 1));
}

void UpdateRun::PostContinue() {
  if (continuePosted_ || phase_ == Phase::kIdle) return;
  continuePosted_ = true;
  std::weak_ptr<bool> alive = alive_;
  services_.Loop.Post([this, alive] {
    if (alive.expired()) return;
    Continue();
  });
}

void UpdateRun::OnWaitTick() {
  WatchTimeouts();
  ShowWaiting();
  Continue();
}

void UpdateRun::OnFetchFinished(const RunFetches::Job& job, FetchOutcome& outcome) {
  results_.Complete(job, outcome, forceReload_, cancelRequested_);
  PostContinue();
}

void UpdateRun::ShowWaiting() {
  if (phase_ == Phase::kIdle || fetches_.RunningCount() == 0) return;
  const TTreeNodeExt* node = fetches_.FirstRunningNode();
  progress_.ShowChecking(node != nullptr ? node->Caption() : text::J("不明"));
}

void UpdateRun::Continue() {
  continuePosted_ = false;
  if (phase_ == Phase::kVisiting) {
    if (selection_) {
      VisitSelection();
    } else {
      VisitPass();
    }
  }
  if (phase_ == Phase::kWaiting && RunningWorkerCount() == 0) {
    if (selection_) {
      EndSelection();
    } else {
      FinishPass();
    }
  }
}

void UpdateRun::VisitPass() {
  store::TChannelTree& tree = services_.Store.Tree();
  const size_t limit = ThreadLimit();
  while (!visits_.AtEnd() && !cancelRequested_) {
    TTreeNodeExt* node = visits_.Current();
    if (node == nullptr) {
      visits_.Next();
      continue;
    }
    progress_.ShowChecking(node->Caption());
    store::TSiteList* channel = node->Data();
    if (channel == nullptr || !visits_.PassConsiders(node->Kind())) {
      visits_.Next();
      continue;
    }
    if (visits_.Pass() == 1 && timerStyle_ &&
        !ChannelVisits::Due(*channel, runStart_, services_.Settings.TrayRefreshTime)) {
      progress_.CountDone();
      visits_.Next();
      continue;
    }
    if (!firstHandled_) {
      firstHandled_ = true;
      services_.Settings.RefreshTime = runStart_;
      services_.Store.SetModified();
      view_.SetTitle(UpdatingTitle());
      view_.SetTrayTip(UpdatingTitle());
      view_.SetTrayPicture(TrayPicture::kAccess);
    }
    channel->client = runStart_;
    if (background_) view_.SetUpdateButtonCaption(StopCaption());
    // No free place: a completion or the wait timer comes back here.
    if (RunningWorkerCount() >= limit) return;
    tree.SetNodeKind(node, store::kKindUpdating);
    view_.RepaintTree();
    visits_.Next();
    fetches_.Start(node, false, services_.Settings, forceReload_);
    WatchTimeouts();
  }
  phase_ = Phase::kWaiting;
}

void UpdateRun::FinishPass() {
  if (!cancelRequested_) RemoveStaleHtmlMemos(services_.DataFolder, std::time(nullptr));
  // A timer run tries the failed channels once more.
  if (!cancelRequested_ && visits_.Pass() == 1 && results_.ErrorCount() > 0 && timerStyle_) {
    view_.HideProgress();
    StartPass(2);
    return;
  }
  EndFullRun();
}

void UpdateRun::EndFullRun() {
  phase_ = Phase::kIdle;
  waitTimer_.Stop();
  const settings::Settings& settings = services_.Settings;
  view_.UnlockUserInterface();
  view_.SetUpdateButtonCaption(UpdateCaption());
  if (!background_) services_.Store.Tree().LockTreePaint(false);
  view_.RepaintTree();
  if (settings::IsResident(settings.TrayRefreshMode) && view_.Minimised() && hooks_.SaveEverything)
    hooks_.SaveEverything();
  progress_.RestoreStatusText();
  progress_.Summarise(hooks_.ProgramTitle, results_.NewItemCount(), results_.AlertMatchCount(), results_.ErrorCount(),
                      cancelRequested_, keepList_);
  cancelRequested_ = false;
  abortFlag_ = false;
  if (results_.Changed()) {
    TTreeNodeExt* selected = view_.SelectedNode();
    if (settings.TreeOpen == 1 && selected != nullptr && !view_.Minimised()) view_.ScrollIntoView(selected);
    if (!keepList_) view_.ReloadItemList();
  }
  EndCommon();
}

void UpdateRun::EndCommon() {
  const settings::Settings& settings = services_.Settings;
  if (services_.HandOver != nullptr && services_.Media != nullptr) {
    services_.HandOver->HandOver(*services_.Media, settings);
  }
  running_ = false;
  const bool newItemsInTray = results_.NewItemCount() > 0 && view_.Minimised();
  view_.SetTrayPicture(newItemsInTray ? TrayPicture::kNewItems : TrayPicture::kRemembered);
  view_.SetTitle(progress_.TitleAfterRun(hooks_.ProgramTitle));
  view_.SetTrayTip(TrayTipText(hooks_.ProgramTitle, settings.RefreshTime));
  view_.FinishProgress();
  view_.SetCursor(RunCursor::kNormal);
  if (settings.TrayRefreshMode == settings::TrayMode::kResidentPeriodic && hooks_.PeriodicTimer)
    hooks_.PeriodicTimer(true);
  if (results_.Changed() && hooks_.RestartSearchCount) hooks_.RestartSearchCount();
  if (hooks_.RunEnded) hooks_.RunEnded();
}

void UpdateRun::NodeRemoving(TTreeNodeExt* node) {
  visits_.Forget(node);
  fetches_.Forget(node);
  if (selectionNode_ == node) selectionNode_ = nullptr;
}

}  // namespace fetch
