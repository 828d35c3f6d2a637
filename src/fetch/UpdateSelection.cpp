// SPDX-License-Identifier: MIT
// The selected update: the channels under one node are updated, stopped or resumed.
#include "fetch/UpdateRun.h"
#include "fetch/UpdateTexts.h"

namespace fetch {

using store::TTreeNodeExt;

bool UpdateRun::UpdateSelection(SelectionMode mode, TTreeNodeExt* node) {
  view_.EndLabelEdit();
  if (running_ || RunningWorkerCount() > 0 || services_.Lock.UiLocked() || view_.Closing()) return false;
  if (CheckOffline(true)) return false;
  view_.ClosePropertyPanel();
  const ModifierKeys* keys = services_.Keys;
  const bool shift = keys != nullptr && keys->ShiftHeld();
  const bool background = !(keys != nullptr && keys->CtrlHeld());
  if (node == nullptr) return false;
  if (mode != SelectionMode::kUpdate && node->Kind() == store::kKindGroup &&
      !services_.Dialogs.AskYesNo(GroupSubscriptionQuestion(mode == SelectionMode::kStop),
                                  platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
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
  progress_.KeepTitle(title);
  visits_.StartSelection(node);
  progress_.Reset(visits_.CountSelected(mode));
  if (background_) view_.SetUpdateButtonCaption(StopCaption());
  if (mode != SelectionMode::kStop) services_.Store.RebuildDupList();
  progress_.Show();
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

void UpdateRun::StopSubscriptions(TTreeNodeExt* node) {
  store::ChannelStore& store = services_.Store;
  store::TChannelTree::ForEachNode(node, [&store](TTreeNodeExt* visited) {
    store::TSiteList* channel = visited->Data();
    if (channel == nullptr || !ChannelVisits::Fetchable(visited->Kind())) return;
    store.SetModified();
    store.Tree().SetNodeKind(visited, store::kKindStopped);
    channel->gonedate = 0;
    channel->gonecount = 0;
  });
}

void UpdateRun::VisitSelection() {
  store::TChannelTree& tree = services_.Store.Tree();
  const size_t limit = ThreadLimit();
  while (!visits_.AtEnd() && !cancelRequested_) {
    TTreeNodeExt* node = visits_.Current();
    store::TSiteList* channel = node != nullptr ? node->Data() : nullptr;
    const int kind = node != nullptr ? node->Kind() : store::kKindGroup;
    const bool resume = selectionMode_ == SelectionMode::kResume && kind == store::kKindStopped;
    const bool update = selectionMode_ == SelectionMode::kUpdate && ChannelVisits::Fetchable(kind);
    if (channel == nullptr || (!resume && !update)) {
      visits_.Next();
      continue;
    }
    // No free place: a completion or the wait timer comes back here.
    if (RunningWorkerCount() >= limit) return;
    services_.Store.SetModified();
    progress_.ShowChecking(node->Caption());
    channel->client = services_.CurrentTime();
    tree.SetNodeKind(node, store::kKindUpdating);
    view_.RepaintTree();
    if (resume) {
      channel->gonedate = 0;
      channel->gonecount = 0;
    }
    visits_.Next();
    fetches_.Start(node, resume, services_.Settings, forceReload_);
  }
  phase_ = Phase::kWaiting;
}

void UpdateRun::EndSelection() {
  phase_ = Phase::kIdle;
  waitTimer_.Stop();
  const settings::Settings& settings = services_.Settings;
  progress_.Summarise(hooks_.ProgramTitle, results_.NewItemCount(), results_.AlertMatchCount(), results_.ErrorCount(),
                      cancelRequested_, false);
  cancelRequested_ = false;
  abortFlag_ = false;
  view_.SetUpdateButtonCaption(UpdateCaption());
  view_.UnlockUserInterface();
  if (!background_) services_.Store.Tree().LockTreePaint(false);
  view_.RepaintTree();
  progress_.RestoreStatusText();
  TTreeNodeExt* node = selectionNode_;
  const bool changed = results_.Changed();
  if (node != nullptr && node == view_.SelectedNode()) {
    if (settings.TreeOpen == 1 && (changed || results_.ErrorCount() > 0)) {
      services_.Store.Tree().ExpandAncestors(node);
      view_.ScrollIntoView(node);
    }
    if (changed) view_.ReloadItemList();
  }
  selectionSucceeded_ = results_.ErrorCount() == 0;
  selectionNode_ = nullptr;
  EndCommon();
}

}  // namespace fetch
