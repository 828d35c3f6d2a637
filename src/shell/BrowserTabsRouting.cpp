// SPDX-License-Identifier: MIT
// Where a requested page opens: this tab, a new tab or the other browser.
#include <utility>

#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"

namespace shell {

int BrowserTabs::TabBehaviour() const {
  // While tabs are restored every mode opens them in the background.
  if (restoring_) return kTabsNewInBackground;
  const auto known = [](int value) { return value >= kTabsNormal && value <= kTabsKeepSites ? value : kTabsNormal; };
  switch (ViewMode()) {
    case settings::kModeBrowser:
      return known(settings_.BrwTabLock);
    case settings::kModeView:
      // The paged view knows only the two ways of opening sites in a new tab.
      return settings_.EvwTabLock == kTabsNewInBackground ? kTabsNewInBackground : kTabsNewWithFocus;
    default:
      return known(settings_.TabLock);
  }
}

void BrowserTabs::SetTabBehaviour(int behaviour) {
  if (behaviour < kTabsNormal || behaviour > kTabsKeepSites) return;
  switch (ViewMode()) {
    case settings::kModeBrowser:
      settings_.BrwTabLock = behaviour;
      break;
    case settings::kModeView:
      settings_.EvwTabLock = behaviour;
      break;
    default:
      settings_.TabLock = behaviour;
      break;
  }
  view_.ShowTabBehaviour(TabBehaviour());
}

bool BrowserTabs::OtherBrowserWanted() const {
  const int mode = ViewMode();
  return (mode == settings::kModeStandard && settings_.NormalNoAddin) ||
         (mode == settings::kModeList && settings_.ListNoAddin) ||
         (mode == settings::kModeView && settings_.EvwNoAddin) || (host_.CtrlHeld() && host_.ShiftHeld());
}

bool BrowserTabs::AddinRefusedFromSummary() const {
  const int mode = ViewMode();
  return (mode == settings::kModeStandard && settings_.NormalNoAddin) ||
         (mode == settings::kModeView && settings_.EvwNoAddin);
}

bool BrowserTabs::NeedsNewTab(ViewId view) const {
  const int index = IndexOf(view);
  if (index < 0 || host_.ShiftHeld() || tabs_[static_cast<size_t>(index)].Locked) return true;
  if (ViewMode() == settings::kModeBrowser) return false;
  const int behaviour = TabBehaviour();
  if (behaviour == kTabsNewWithFocus || behaviour == kTabsNewInBackground) return ShowsSummary(view);
  return behaviour == kTabsKeepSites && ShowsNeitherSummaryNorEmpty(view);
}

bool BrowserTabs::OpenPage(ViewId view, const std::string& address, int flags, bool focus) {
  if (closing_ || !secureCheck_.Check(address, true)) return false;
  // The program's own addresses are commands: they never reach a view or another program.
  if (IsCommandAddress(address)) return pageCommands_.HandleInternalLink(address, view);
  if (OtherBrowserWanted()) return OpenElsewhere(address);
  if (ViewMode() == settings::kModeList) host_.LeaveListMode();
  ViewId target = IndexOf(view) >= 0 ? view : kNoView;
  if (NeedsNewTab(target)) target = OpenTab(kLoadingCaption, focus || TabBehaviour() != kTabsNewInBackground, false);
  Navigate(target, address, flags);
  return true;
}

bool BrowserTabs::OpenTypedAddress(const std::string& address) {
  if (closing_ || !secureCheck_.Check(address, true)) return false;
  if (IsCommandAddress(address)) return pageCommands_.HandleInternalLink(address, active_);
  if (ViewMode() == settings::kModeList) host_.LeaveListMode();
  // A locked tab keeps its page: the address opens in a tab of its own.
  const BrowserTab* tab = Find(active_);
  const ViewId target = tab != nullptr && tab->Locked ? OpenTab(kLoadingCaption, true, false) : active_;
  Navigate(target, address, 0);
  return true;
}

bool BrowserTabs::OpenElsewhere(const std::string& address) {
  if (const std::optional<std::string> copy = offlineCopies_.Find(address)) {
    return otherBrowser_.OpenOfflineCopy(*copy);
  }
  return otherBrowser_.Open(address);
}

void BrowserTabs::Navigate(ViewId view, const std::string& address, int flags) {
  const BrowserTab* tab = Find(view);
  if (tab == nullptr) return;
  // Leaving a headline page for a site keeps the headline page out of the view's history.
  if (ShowsSummary(view) && IsSummaryAddress(tab->TabAddress)) flags |= kNavNoHistory;
  const std::string target = address.empty() ? settings_.HomePage : address;
  if (target.empty()) {
    view_.SetNavigateStatus(" GoHome");
    view_.Navigate(view, std::string(kBlankAddress), flags);
    return;
  }
  if (IsCommandAddress(target)) {
    pageCommands_.HandleInternalLink(target, view);
    return;
  }
  view_.SetNavigateStatus(" Navigate : " + target);
  view_.Navigate(view, target, flags);
  if (view == active_) view_.SetBusyAnimation(true);
}

void BrowserTabs::ResetToBlank(ViewId view, bool wait, std::function<void(bool shown)> done) {
  if (IndexOf(view) < 0) {
    if (done) done(false);
    return;
  }
  view_.Stop(view);
  view_.Navigate(view, std::string(kSummaryAddress), 0);
  if (!wait) {
    if (done) done(ShowsSummary(view));
    return;
  }
  const uint64_t key = nextResetKey_++;
  ResetWait& entry = resetWaits_[key];
  entry = ResetWait{view, kResetMaxSteps, std::move(done)};
  entry.timer = loop_.StartTimer(kResetStepMs, false, [this, key] { LookForSummary(key); });
}

void BrowserTabs::LookForSummary(uint64_t key) {
  const auto it = resetWaits_.find(key);
  if (it == resetWaits_.end()) return;
  ResetWait& wait = it->second;
  --wait.looksLeft;
  const bool shown = ShowsSummary(wait.view);
  if (shown || wait.looksLeft <= 0 || IndexOf(wait.view) < 0) {
    std::function<void(bool)> done = std::move(wait.done);
    resetWaits_.erase(it);
    if (done) done(shown);
    return;
  }
  wait.timer = loop_.StartTimer(kResetStepMs, false, [this, key] { LookForSummary(key); });
}

}  // namespace shell
