// SPDX-License-Identifier: MIT
#include "fetch/UpdateRun.h"

#include <algorithm>
#include <ctime>

#include "fetch/StaleMemoFiles.h"
#include "fetch/UpdateTexts.h"
#include "store/DateTime.h"
#include "store/LocalClock.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

formats::FeedServices MakeFeedServices(const UpdateRunServices& services, formats::UpdateRunTotals& totals) {
  formats::FeedServices feed{services.Store, services.Settings, services.Dialogs, services.Xml};
  feed.Journal = services.Journal;
  // Every document of a run arrives from a worker; feed processing never fetches here.
  feed.Network = nullptr;
  feed.HtmlBuilder = services.Html;
  feed.Media.Queue = services.Media;
  feed.Media.PodhallInstalled = services.HandOver != nullptr && services.HandOver->PodhallInstalled();
  feed.Totals = &totals;
  feed.LocalZoneHours = services.LocalZoneHours;
  feed.Now = services.Now;
  return feed;
}

}  // namespace

UpdateRun::UpdateRun(UpdateRunServices services, UpdateRunView& view, UpdateRunHooks hooks)
    : services_(std::move(services)),
      view_(view),
      hooks_(std::move(hooks)),
      processor_(MakeFeedServices(services_, totals_)),
      waitTimer_(services_.Loop, kWaitIntervalMs, true, [this] { OnWaitTick(); }) {
  workers_ = std::make_unique<FetchWorkers>(services_.Loop, abortFlag_);
  services_.Store.Tree().AddObserver(this);
}

UpdateRun::~UpdateRun() {
  // Tasks this run posted may still wait in the loop; they find it gone.
  alive_.reset();
  services_.Store.Tree().RemoveObserver(this);
  // Still-running workers are given up by their owner; their results are dropped.
  workers_.reset();
}

double UpdateRun::Now() const {
  return services_.Now ? services_.Now() : store::LocalDayNumber(std::time(nullptr));
}

bool UpdateRun::CheckOffline(bool ask) {
  OfflineSwitch* offline = services_.Offline;
  if (offline == nullptr || !offline->IsOffline()) return false;
  if (ask && !services_.Dialogs.AskYesNo(OfflineQuestion(), platform::MessageType::kConfirmation, false)) {
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

void UpdateRun::SB_NewClick(RunSender sender) {
  // A click during a run stops it.
  if (running_ || RunningWorkerCount() > 0) {
    Cancel();
    return;
  }
  view_.EndLabelEdit();
  if (view_.UserInterfaceLocked() || view_.Closing()) return;
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
  runStart_ = Now();
  abortFlag_ = false;
  if (services_.FtpPreRun != nullptr && !services_.FtpPreRun->PreRun()) {
    if (services_.Settings.TrayRefreshMode == 3 && hooks_.PeriodicTimer) hooks_.PeriodicTimer(true);
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
  savedTitle_ = view_.Title();
  running_ = true;
  if (!background_) services_.Store.Tree().LockTreePaint(true);
  view_.HideProgress();
  savedStatus_ = view_.StatusText();
  totals_ = formats::UpdateRunTotals{};
  alertMatchCount_ = services_.Alerts != nullptr ? services_.Alerts->CompileAlertQueries() : -1;
  changed_ = false;
  keepList_ = false;
  firstHandled_ = false;
  errorCount_ = 0;
  lastSummary_.clear();
  view_.LockUserInterface(background_, !background_);
}

bool UpdateRun::PassConsiders(int kind) const {
  if (pass_ == 2) return kind == store::kKindError;
  return kind == store::kKindChannel || kind == store::kKindUpdating || kind == store::kKindError;
}

void UpdateRun::StartPass(int pass) {
  pass_ = pass;
  doneCount_ = 0;
  errorCount_ = 0;
  cursor_ = 0;
  visits_.clear();
  // The nodes of the pass are fixed now, in tree order; one deleted on the way is dropped
  // from the list (NodeRemoving), and channels added on the way wait for the next run.
  store::TChannelTree& tree = services_.Store.Tree();
  for (TTreeNodeExt* node = tree.RootNode(); node != nullptr; node = tree.NextNode(node)) visits_.push_back(node);
  totalCount_ = static_cast<int>(std::count_if(visits_.begin(), visits_.end(), [this](const TTreeNodeExt* node) {
    return node->Data() != nullptr && PassConsiders(node->Kind());
  }));
  view_.ShowProgress(0, totalCount_);
  phase_ = Phase::kVisiting;
  Continue();
}

size_t UpdateRun::ThreadLimit() const {
  if (!background_) return 1;
  const int limit =
      services_.ThreadLimitOverride > 0 ? services_.ThreadLimitOverride : services_.Settings.HttpThreadMax;
  return static_cast<size_t>(std::max(limit, 1));
}

bool UpdateRun::Due(const store::TSiteList& channel) const {
  if (channel.client == 0) return true;
  const int interval = channel.refresh != 0 ? channel.refresh : services_.Settings.TrayRefreshTime;
  const int64_t minutes = store::MillisecondsBetween(channel.client, runStart_) / 60'000;
  return minutes >= interval;
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
  while (cursor_ < visits_.size() && !cancelRequested_) {
    TTreeNodeExt* node = visits_[cursor_];
    if (node == nullptr) {
      ++cursor_;
      continue;
    }
    view_.ShowChecking(CheckingText(node->Caption()));
    store::TSiteList* channel = node->Data();
    if (channel == nullptr || !PassConsiders(node->Kind())) {
      ++cursor_;
      continue;
    }
    if (pass_ == 1 && timerStyle_ && !Due(*channel)) {
      ++doneCount_;
      view_.ShowProgress(doneCount_, totalCount_);
      ++cursor_;
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
    ++cursor_;
    StartWorker(node, false);
    WatchTimeouts();
  }
  phase_ = Phase::kWaiting;
}

void UpdateRun::FinishPass() {
  if (!cancelRequested_) RemoveStaleHtmlMemos(services_.DataFolder, std::time(nullptr));
  // A timer run tries the failed channels once more.
  if (!cancelRequested_ && pass_ == 1 && errorCount_ > 0 && timerStyle_) {
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
  if (settings.TrayRefreshMode >= 2 && view_.Minimised() && hooks_.SaveEverything) hooks_.SaveEverything();
  view_.SetStatusText(savedStatus_);
  lastSummary_ = RunSummaryText(totals_.NewItemCount, alertMatchCount_, errorCount_, cancelRequested_, keepList_);
  if (!lastSummary_.empty()) view_.ShowBalloon(hooks_.ProgramTitle, lastSummary_);
  cancelRequested_ = false;
  abortFlag_ = false;
  if (changed_) {
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
  const bool newItemsInTray = totals_.NewItemCount > 0 && view_.Minimised();
  view_.SetTrayPicture(newItemsInTray ? TrayPicture::kNewItems : TrayPicture::kRemembered);
  // A caption remembered while another run showed its own is no caption to go back to.
  view_.SetTitle(savedTitle_.empty() || savedTitle_ == UpdatingTitle() ? hooks_.ProgramTitle : savedTitle_);
  view_.SetTrayTip(TrayTipText(hooks_.ProgramTitle, settings.RefreshTime));
  view_.FinishProgress();
  view_.SetCursor(RunCursor::kNormal);
  if (settings.TrayRefreshMode == 3 && hooks_.PeriodicTimer) hooks_.PeriodicTimer(true);
  if (changed_ && hooks_.RestartSearchCount) hooks_.RestartSearchCount();
  if (hooks_.RunEnded) hooks_.RunEnded();
}

void UpdateRun::NodeRemoving(TTreeNodeExt* node) {
  std::replace(visits_.begin(), visits_.end(), node, static_cast<TTreeNodeExt*>(nullptr));
  for (auto& [id, job] : jobs_) {
    if (job.node == node) job.node = nullptr;
  }
  if (selectionNode_ == node) selectionNode_ = nullptr;
}

}  // namespace fetch
