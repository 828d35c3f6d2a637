// SPDX-License-Identifier: MIT
// The selected update: the channels under one node are updated, stopped or resumed.
#include "fetch/UpdateRun.h"
#include "fetch/UpdateTexts.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

bool Fetchable(int kind) {
  return kind == store::kKindChannel || kind == store::kKindUpdating || kind == store::kKindError;
}

}  // namespace

bool UpdateRun::UpdateSelection(SelectionMode mode, TTreeNodeExt* node) {
  view_.EndLabelEdit();
  if (running_ || RunningWorkerCount() > 0 || view_.UserInterfaceLocked() || view_.Closing()) return false;
  if (CheckOffline(true)) return false;
  view_.ClosePropertyPanel();
  const ModifierKeys* keys = services_.Keys;
  const bool shift = keys != nullptr && keys->ShiftHeld();
  const bool background = !(keys != nullptr && keys->CtrlHeld());
  if (node == nullptr) return false;
  if (mode != SelectionMode::kUpdate && node->Kind() == store::kKindGroup &&
      !services_.Dialogs.AskYesNo(GroupSubscriptionQuestion(mode == SelectionMode::kStop),
                                  platform::MessageType::kConfirmation, false)) {
    return false;
  }
  if (hooks_.StopSearchCount) hooks_.StopSearchCount();
  const std::string title = view_.Title();
  view_.SetTitle(UpdatingTitle());
  view_.SetCursor(background ? RunCursor::kBackgroundBusy : RunCursor::kHourglass);
  if (services_.FtpPreRun != nullptr && !services_.FtpPreRun->PreRun()) {
    // Nothing ran: the window looks as it did.
    view_.SetTitle(title);
    view_.SetCursor(RunCursor::kNormal);
    return false;
  }
  forceReload_ = shift;
  selection_ = true;
  selectionMode_ = mode;
  selectionNode_ = node;
  timerStyle_ = false;
  cancelRequested_ = false;
  abortFlag_ = false;
  BeginRunState(background);
  savedTitle_ = title;
  CollectSelection(mode, node);
  if (background_) view_.SetUpdateButtonCaption(StopCaption());
  if (mode != SelectionMode::kStop) services_.Store.RebuildDupList();
  view_.ShowProgress(0, totalCount_);
  if (mode == SelectionMode::kStop) {
    StopSubscriptions(node);
    phase_ = Phase::kWaiting;
    EndSelection();
    return true;
  }
  phase_ = Phase::kVisiting;
  waitTimer_.Start();
  Continue();
  return true;
}

void UpdateRun::CollectSelection(SelectionMode mode, TTreeNodeExt* node) {
  pass_ = 1;
  doneCount_ = 0;
  cursor_ = 0;
  visits_.clear();
  store::TChannelTree::ForEachNode(node, [this](TTreeNodeExt* visited) { visits_.push_back(visited); });
  totalCount_ = 0;
  for (const TTreeNodeExt* visited : visits_) {
    const int kind = visited->Kind();
    if (visited->Data() == nullptr) continue;
    if ((mode == SelectionMode::kUpdate && Fetchable(kind)) ||
        (mode == SelectionMode::kResume && kind == store::kKindStopped)) {
      ++totalCount_;
    }
  }
}

void UpdateRun::StopSubscriptions(TTreeNodeExt* node) {
  store::ChannelStore& store = services_.Store;
  store::TChannelTree::ForEachNode(node, [&store](TTreeNodeExt* visited) {
    store::TSiteList* channel = visited->Data();
    if (channel == nullptr || !Fetchable(visited->Kind())) return;
    store.SetModified();
    store.Tree().SetNodeKind(visited, store::kKindStopped);
    channel->gonedate = 0;
    channel->gonecount = 0;
  });
}

void UpdateRun::VisitSelection() {
  store::TChannelTree& tree = services_.Store.Tree();
  const size_t limit = ThreadLimit();
  while (cursor_ < visits_.size() && !cancelRequested_) {
    TTreeNodeExt* node = visits_[cursor_];
    store::TSiteList* channel = node != nullptr ? node->Data() : nullptr;
    const int kind = node != nullptr ? node->Kind() : store::kKindGroup;
    const bool resume = selectionMode_ == SelectionMode::kResume && kind == store::kKindStopped;
    const bool update = selectionMode_ == SelectionMode::kUpdate && Fetchable(kind);
    if (channel == nullptr || (!resume && !update)) {
      ++cursor_;
      continue;
    }
    // No free place: a completion or the wait timer comes back here.
    if (RunningWorkerCount() >= limit) return;
    services_.Store.SetModified();
    view_.ShowChecking(CheckingText(node->Caption()));
    channel->client = Now();
    tree.SetNodeKind(node, store::kKindUpdating);
    view_.RepaintTree();
    if (resume) {
      channel->gonedate = 0;
      channel->gonecount = 0;
    }
    ++cursor_;
    StartWorker(node, resume);
  }
  phase_ = Phase::kWaiting;
}

void UpdateRun::EndSelection() {
  phase_ = Phase::kIdle;
  waitTimer_.Stop();
  const settings::Settings& settings = services_.Settings;
  lastSummary_ = RunSummaryText(totals_.NewItemCount, alertMatchCount_, errorCount_, cancelRequested_, false);
  if (!lastSummary_.empty()) view_.ShowBalloon(hooks_.ProgramTitle, lastSummary_);
  cancelRequested_ = false;
  abortFlag_ = false;
  view_.SetUpdateButtonCaption(UpdateCaption());
  view_.UnlockUserInterface();
  if (!background_) services_.Store.Tree().LockTreePaint(false);
  view_.RepaintTree();
  view_.SetStatusText(savedStatus_);
  TTreeNodeExt* node = selectionNode_;
  if (node != nullptr && node == view_.SelectedNode()) {
    if (settings.TreeOpen == 1 && (changed_ || errorCount_ > 0)) {
      services_.Store.Tree().ExpandAncestors(node);
      view_.ScrollIntoView(node);
    }
    if (changed_) view_.ReloadItemList();
  }
  selectionSucceeded_ = errorCount_ == 0;
  selectionNode_ = nullptr;
  EndCommon();
}

}  // namespace fetch
