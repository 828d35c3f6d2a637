// SPDX-License-Identifier: MIT
#include "shell/TabList.h"

#include <utility>

#include "shell/FeedDiscovery.h"
#include "shell/PageAddress.h"
#include "shell/private/TabCaption.h"

namespace shell {

TabList::TabList(const settings::Settings& settings, platform::EventLoop& loop, BrowserTabsView& view,
                 TabBehaviourSetting& behaviour)
    : settings_(settings),
      view_(view),
      behaviour_(behaviour),
      deleteTimer_(loop, kDeleteListDelayMs, platform::TimerKind::kOnce, [this] { DestroyDeleteList(); }) {}

void TabList::Start() {
  ApplySettings();
  const ViewId first = OpenTab("", true, false);
  view_.Navigate(first, std::string(kSummaryAddress), 0);
}

void TabList::Shutdown() {
  closing_ = true;
  deleteTimer_.Stop();
  DestroyDeleteList();
  // Every view goes before the window does: the engine's profile must outlive its pages.
  std::vector<BrowserTab> tabs = std::exchange(tabs_, {});
  active_ = kNoView;
  for (const BrowserTab& tab : tabs) {
    view_.DetachView(tab.view);
    view_.DestroyView(tab.view);
  }
}

void TabList::ApplySettings() {
  view_.SetTabRowMultiLine(settings_.MultiLineTab);
  behaviour_.Show();
  for (const BrowserTab& tab : tabs_) view_.ApplySecurityOptions(tab.view);
  UpdateTabRow();
}

int TabList::IndexOf(ViewId view) const {
  if (view == kNoView) return -1;
  for (size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i].view == view) return static_cast<int>(i);
  }
  return -1;
}

BrowserTab* TabList::Find(ViewId view) {
  const int index = IndexOf(view);
  return index < 0 ? nullptr : &tabs_[static_cast<size_t>(index)];
}

const BrowserTab* TabList::Find(ViewId view) const {
  const int index = IndexOf(view);
  return index < 0 ? nullptr : &tabs_[static_cast<size_t>(index)];
}

bool TabList::ShowsSummary(ViewId view) const {
  return IndexOf(view) >= 0 && IsSummaryAddress(view_.Location(view));
}

ViewId TabList::OpenTab(const std::string& caption, bool focus, bool atFront) {
  const ViewId view = nextView_++;
  BrowserTab tab;
  tab.view = view;
  tab.caption = PrepareTabCaption(caption.empty() ? std::string(kSummaryAddress) : caption);
  const int position = InsertPosition(atFront);
  tabs_.insert(tabs_.begin() + position, tab);
  Renumber();
  view_.CreateView(view);
  view_.InsertTab(position, view, tab.caption);
  // The first tab always becomes the active one: there must be a view to show.
  if (focus || behaviour_.TabBehaviour() != settings::TabBehaviour::kNewInBackground || active_ == kNoView) {
    SetActive(position);
  } else {
    view_.SetActiveTab(ActiveIndex());
    UpdateWindowState();
  }
  UpdateTabRow();
  view_.ApplySecurityOptions(view);
  return view;
}

int TabList::InsertPosition(bool atFront) const {
  const int count = static_cast<int>(tabs_.size());
  if (atFront) return 0;
  const int active = ActiveIndex();
  if (settings_.TabAdd || behaviour_.Restoring() || active < 0) return count;
  return active + 1;
}

void TabList::CloseTab(int index) {
  const int count = static_cast<int>(tabs_.size());
  if (count < 2 || index < 0 || index >= count || tabs_[static_cast<size_t>(index)].Locked) return;
  const ViewId closed = tabs_[static_cast<size_t>(index)].view;
  const bool wasActive = closed == active_;
  // The tab that takes over, as an index of the list without the closed tab: the left
  // neighbour when the last tab closes or TabDelLeft asks for it, else the right one.
  const bool toLeft = index == count - 1 || (settings_.TabDelLeft && index > 0);
  const int next = toLeft ? index - 1 : index;
  RemoveTabAt(index);
  Detach(closed);
  if (wasActive) {
    SetActive(next);
    view_.FocusView(active_);
  } else {
    view_.SetActiveTab(ActiveIndex());
  }
  UpdateTabRow();
}

void TabList::CloseOtherTabs(OtherTabs which) {
  const int active = ActiveIndex();
  if (tabs_.size() < 2 || active < 0) return;
  for (int i = static_cast<int>(tabs_.size()) - 1; i >= 0; --i) {
    const BrowserTab& tab = tabs_[static_cast<size_t>(i)];
    if (i == active || tab.Locked) continue;
    if ((which == OtherTabs::kRight && i < active) || (which == OtherTabs::kLeft && i > active)) continue;
    const ViewId closed = tab.view;
    RemoveTabAt(i);
    Detach(closed);
  }
  view_.SetActiveTab(ActiveIndex());
  UpdateTabRow();
}

void TabList::ToggleTabLock(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  BrowserTab& tab = tabs_[static_cast<size_t>(index)];
  tab.Locked = !tab.Locked;
  view_.SetTabLocked(index, tab.Locked);
  UpdateTabRow();
  if (tab.view == active_) UpdateWindowState();
}

void TabList::ActivateTab(int index) {
  if (index >= 0 && index < static_cast<int>(tabs_.size())) SetActive(index);
}

void TabList::CycleTab(int direction) {
  const int count = static_cast<int>(tabs_.size());
  if (count == 0) return;
  const int active = ActiveIndex();
  SetActive(direction == 0 ? (active + 1) % count : (active + count - 1) % count);
}

void TabList::MoveTab(int from, int to) {
  const int count = static_cast<int>(tabs_.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  BrowserTab moved = std::move(tabs_[static_cast<size_t>(from)]);
  tabs_.erase(tabs_.begin() + from);
  tabs_.insert(tabs_.begin() + to, std::move(moved));
  Renumber();
  view_.MoveTab(from, to);
  view_.SetActiveTab(ActiveIndex());
}

void TabList::TabClicked(int index, TabClick click, bool shift, bool ctrl) {
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  const bool onActive = index == ActiveIndex();
  if (click == TabClick::kLeft && shift && onActive) {
    CloseOtherTabs(OtherTabs::kRight);
  } else if (click == TabClick::kMiddle || (click == TabClick::kLeft && ctrl)) {
    CloseTab(index);
  } else if (click == TabClick::kLeftDouble) {
    ToggleTabLock(index);
  } else {
    // A right click activates the tab before its context menu opens.
    ActivateTab(index);
  }
}

void TabList::SetPendingLoads(ViewId view, int32_t count) {
  if (BrowserTab* tab = Find(view)) tab->PendingLoads = count;
}

void TabList::TitleChanged(ViewId view, const std::string& title) {
  const int index = IndexOf(view);
  if (index < 0) return;
  BrowserTab& tab = tabs_[static_cast<size_t>(index)];
  tab.title = title;
  const std::string caption = CaptionForTitle(title);
  if (caption != tab.caption) {
    tab.caption = caption;
    view_.SetTabCaption(index, caption);
  }
  if (view == active_) UpdateWindowState();
}

void TabList::CommandStateChanged(ViewId view, bool canGoBack, bool canGoForward) {
  BrowserTab* tab = Find(view);
  if (tab == nullptr) return;
  tab->CanGoBack = canGoBack;
  tab->CanGoForward = canGoForward;
  if (view == active_) UpdateWindowState();
}

void TabList::LoadStarted(ViewId view) {
  if (view != kNoView && view == active_) view_.SetBusyAnimation(true);
}

void TabList::LoadFinished(ViewId view) {
  if (view == kNoView || view != active_) return;
  view_.SetBusyAnimation(false);
  UpdateWindowState();
}

void TabList::RemoveTabAt(int index) {
  tabs_.erase(tabs_.begin() + index);
  view_.RemoveTab(index);
  Renumber();
}

void TabList::Detach(ViewId view) {
  view_.DetachView(view);
  deleteList_.push_back(view);
  deleteTimer_.Start();
}

void TabList::DestroyDeleteList() {
  const std::vector<ViewId> views = std::exchange(deleteList_, {});
  for (auto it = views.rbegin(); it != views.rend(); ++it) view_.DestroyView(*it);
}

void TabList::Renumber() {
  for (size_t i = 0; i < tabs_.size(); ++i) tabs_[i].Tag = static_cast<int32_t>(i);
}

void TabList::UpdateTabRow() {
  view_.SetTabRowVisible(tabs_.size() >= 2 || (tabs_.size() == 1 && tabs_.front().Locked));
}

void TabList::SetActive(int index) {
  active_ = tabs_[static_cast<size_t>(index)].view;
  view_.ShowView(active_);
  view_.SetActiveTab(index);
  UpdateWindowState();
  ShowFeedFound();
}

void TabList::UpdateWindowState() {
  const BrowserTab* tab = Find(active_);
  if (tab == nullptr) return;
  const bool summary = ShowsSummary(active_);
  const std::string& program = settings_.ProgramTitle;
  view_.SetWindowCaption(summary ? program : tab->title + " - [" + program + "]");
  // The generated page's address means nothing to the user: the box stays empty for it.
  view_.SetAddressText(summary ? std::string() : view_.Location(active_));
  view_.SetNavigationEnabled(tab->CanGoBack && !tab->Locked, tab->CanGoForward && !tab->Locked, !tab->Locked);
  view_.ResetProgress();
}

void TabList::ShowFeedFound() {
  const BrowserTab* tab = Find(active_);
  if (tab == nullptr) return;
  const FeedFoundLook look = FeedFoundAppearance(tab->FeedFoundState);
  view_.ShowFeedFound(tab->FeedFoundState, look.rgb, look.hint, !tab->FoundFeeds.empty());
}

}  // namespace shell
