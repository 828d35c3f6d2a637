// SPDX-License-Identifier: MIT
#include "shell/PageRouter.h"

#include <optional>

#include "shell/PageAddress.h"

namespace shell {

namespace {

// Navigations that only carry on one already accepted: they stay in their view.
bool ContinuesNavigation(NavigationKind kind) {
  return kind == NavigationKind::kReload || kind == NavigationKind::kRedirect;
}

}  // namespace

bool PageRouter::OtherBrowserWanted() const {
  const int mode = ViewMode();
  return (mode == settings::kModeStandard && settings_.NormalNoAddin) ||
         (mode == settings::kModeList && settings_.ListNoAddin) ||
         (mode == settings::kModeView && settings_.EvwNoAddin) || (host_.CtrlHeld() && host_.ShiftHeld());
}

bool PageRouter::AddinRefusedFromSummary() const {
  const int mode = ViewMode();
  return (mode == settings::kModeStandard && settings_.NormalNoAddin) ||
         (mode == settings::kModeView && settings_.EvwNoAddin);
}

bool PageRouter::ShowsNeitherSummaryNorEmpty(ViewId view) const {
  if (list_.IndexOf(view) < 0) return false;
  const std::string location = view_.Location(view);
  return !IsSummaryAddress(location) && !IsEmptyLocation(location);
}

bool PageRouter::NeedsNewTab(ViewId view) const {
  const BrowserTab* tab = list_.Find(view);
  if (tab == nullptr || host_.ShiftHeld() || tab->Locked) return true;
  if (ViewMode() == settings::kModeBrowser) return false;
  const settings::TabBehaviour behaviour = behaviour_.TabBehaviour();
  if (behaviour == settings::TabBehaviour::kNewWithFocus || behaviour == settings::TabBehaviour::kNewInBackground)
    return list_.ShowsSummary(view);
  return behaviour == settings::TabBehaviour::kKeepSites && ShowsNeitherSummaryNorEmpty(view);
}

ActiveRoute PageRouter::RouteOfActiveView(ViewId view, NavigationKind kind, bool userInitiated) const {
  const BrowserTab& tab = *list_.Find(view);
  if (ViewMode() == settings::kModeBrowser || ContinuesNavigation(kind)) return ActiveRoute::kHere;
  if (tab.Locked) {
    // The user's navigations leave a locked tab for another; a page cannot move a locked
    // tab away from its page, nor open tabs by itself.
    return userInitiated || kind == NavigationKind::kTyped ? ActiveRoute::kElsewhere : ActiveRoute::kRefuse;
  }
  const settings::TabBehaviour behaviour = behaviour_.TabBehaviour();
  const bool leavesSummary = AddinRefusedFromSummary() || behaviour == settings::TabBehaviour::kNewWithFocus ||
                             behaviour == settings::TabBehaviour::kNewInBackground;
  return leavesSummary && list_.ShowsSummary(view) ? ActiveRoute::kElsewhere : ActiveRoute::kHere;
}

bool PageRouter::OpenPage(ViewId view, const std::string& address, int flags, bool focus) {
  if (list_.Closing() || !secureCheck_.Check(address, true)) return false;
  // The program's own addresses are commands: they never reach a view or another program.
  if (IsCommandAddress(address)) return pageCommands_.HandleInternalLink(address, view);
  if (OtherBrowserWanted()) return OpenElsewhere(address);
  if (ViewMode() == settings::kModeList) host_.LeaveListMode();
  ViewId target = list_.IndexOf(view) >= 0 ? view : kNoView;
  if (NeedsNewTab(target)) {
    target = list_.OpenTab(TabList::kLoadingCaption,
                           focus || behaviour_.TabBehaviour() != settings::TabBehaviour::kNewInBackground, false);
  }
  Navigate(target, address, flags);
  return true;
}

bool PageRouter::OpenTypedAddress(const std::string& address) {
  if (list_.Closing() || !secureCheck_.Check(address, true)) return false;
  if (IsCommandAddress(address)) return pageCommands_.HandleInternalLink(address, list_.ActiveView());
  if (ViewMode() == settings::kModeList) host_.LeaveListMode();
  // A locked tab keeps its page: the address opens in a tab of its own.
  const BrowserTab* tab = list_.Find(list_.ActiveView());
  const ViewId target =
      tab != nullptr && tab->Locked ? list_.OpenTab(TabList::kLoadingCaption, true, false) : list_.ActiveView();
  Navigate(target, address, 0);
  return true;
}

bool PageRouter::OpenElsewhere(const std::string& address) {
  if (const std::optional<std::string> copy = offlineCopies_.Find(address)) {
    return otherBrowser_.OpenOfflineCopy(*copy);
  }
  return otherBrowser_.Open(address);
}

void PageRouter::Navigate(ViewId view, const std::string& address, int flags) {
  const BrowserTab* tab = list_.Find(view);
  if (tab == nullptr) return;
  // Leaving a headline page for a site keeps the headline page out of the view's history.
  if (list_.ShowsSummary(view) && IsSummaryAddress(tab->TabAddress)) flags |= kNavNoHistory;
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
  if (view == list_.ActiveView()) view_.SetBusyAnimation(true);
}

}  // namespace shell
