// SPDX-License-Identifier: MIT
// The events of the views: navigations, new windows, pages closing their window, titles
// and loading.
#include <optional>

#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"
#include "shell/TabCaption.h"
#include "text/Literal.h"

namespace shell {

namespace {

constexpr const char* kNewWindowQuestion =
    "ブラウザから新しいウィンドウが要求されましたが[セキュリティモード]で実行中の為\r\n"
    "意図しないウィンドウの場合は遮断[キャンセル]を推奨します。\r\n\r\n"
    "表示する場合は[はい] 遮断する場合は[キャンセル]を選択してください。";

// Navigations that only carry on one already accepted: they stay in their view.
bool ContinuesNavigation(NavigationKind kind) {
  return kind == NavigationKind::kReload || kind == NavigationKind::kRedirect;
}

}  // namespace

bool BrowserTabs::BeforeNavigate(ViewId view, const std::string& address, NavigationKind kind, bool userInitiated) {
  // A view waiting for its destruction shows nothing more.
  if (closing_ || IndexOf(view) < 0) return false;
  if (IsSummaryAddress(address)) {
    // The headline pages are the program's own and are always rendered in place.
    BrowserTab& tab = *Find(view);
    if (tab.PendingLoads > 0) --tab.PendingLoads;
    tab.TabAddress = address;
    ForgetFoundFeeds(view);
    return true;
  }
  // What the program loads itself passed the filter already; what a page starts passes it
  // here, and the user hears why a click did nothing.
  if (kind != NavigationKind::kTyped && !secureCheck_.Check(address, userInitiated)) return false;
  if (!IsWebArchiveAddress(address)) {
    if (const std::optional<std::string> copy = offlineCopies_.Find(address)) {
      Navigate(view, *copy, 0);
      return false;
    }
  }
  if (BrowserTab* tab = Find(view); tab != nullptr && tab->PendingLoads > 0) --tab->PendingLoads;
  if (pageCommands_.HandleInternalLink(address, view) || IsCommandAddress(address)) return false;
  BrowserTab* tab = Find(view);
  if (tab == nullptr) return false;
  tab->TabAddress = address;
  // A tab in the background shows what it is given.
  if (view != active_) {
    ForgetFoundFeeds(view);
    return true;
  }
  if (!host_.TreeHasFocus()) pageCommands_.LinkOpened(address);
  if (IndexOf(view) < 0) return false;
  switch (RouteOfActiveView(view, kind, userInitiated)) {
    case ActiveRoute::kRefuse:
      return false;
    case ActiveRoute::kElsewhere:
      OpenPage(kNoView, address, 0, false);
      return false;
    case ActiveRoute::kHere:
      break;
  }
  view_.ApplySecurityOptions(view);
  ForgetFoundFeeds(view);
  return true;
}

BrowserTabs::ActiveRoute BrowserTabs::RouteOfActiveView(ViewId view, NavigationKind kind, bool userInitiated) {
  const BrowserTab& tab = *Find(view);
  if (ViewMode() == settings::kModeBrowser || ContinuesNavigation(kind)) return ActiveRoute::kHere;
  if (tab.Locked) {
    // The user's navigations leave a locked tab for another; a page cannot move a locked
    // tab away from its page, nor open tabs by itself.
    return userInitiated || kind == NavigationKind::kTyped ? ActiveRoute::kElsewhere : ActiveRoute::kRefuse;
  }
  const int behaviour = TabBehaviour();
  const bool leavesSummary =
      AddinRefusedFromSummary() || behaviour == kTabsNewWithFocus || behaviour == kTabsNewInBackground;
  return leavesSummary && ShowsSummary(view) ? ActiveRoute::kElsewhere : ActiveRoute::kHere;
}

ViewId BrowserTabs::NewWindowRequested(ViewId view, const std::string& address, bool userInitiated) {
  if (closing_ || IndexOf(view) < 0) return kNoView;
  // Pop-up blocking: a page may ask for a window only when the user asked the page.
  if (!userInitiated && settings_.PopupBlock) return kNoView;
  if (settings_.SecureMode &&
      !dialogs_.AskYesCancel(text::J(kNewWindowQuestion), platform::MessageType::kConfirmation, true)) {
    return kNoView;
  }
  // The question may have let other events in; the requesting tab may be gone.
  if (IndexOf(view) < 0) return kNoView;
  if (AddinRefusedFromSummary() && !host_.ShiftHeld() && ShowsSummary(view)) {
    OpenPage(kNoView, address, 0, false);
    return kNoView;
  }
  if (pageCommands_.HandleInternalLink(address, view) || IsCommandAddress(address)) return kNoView;
  if (!secureCheck_.Check(address, true)) return kNoView;
  if (host_.CtrlHeld() && host_.ShiftHeld()) {
    OpenElsewhere(address);
    return kNoView;
  }
  return OpenTab(kLoadingCaption, TabBehaviour() != kTabsNewInBackground, false);
}

void BrowserTabs::WindowCloseRequested(ViewId view) {
  // While the program closes, the windows go anyway.
  if (closing_) return;
  closeRequests_.push_back(view);
  if (handlingClose_) return;
  handlingClose_ = true;
  while (!closeRequests_.empty()) {
    const ViewId next = closeRequests_.front();
    closeRequests_.pop_front();
    HandleWindowClose(next);
  }
  handlingClose_ = false;
}

void BrowserTabs::HandleWindowClose(ViewId view) {
  const int index = IndexOf(view);
  // A locked tab keeps its page whatever the page asks.
  if (index < 0 || tabs_[static_cast<size_t>(index)].Locked) return;
  if (tabs_.size() == 1) {
    ResetToBlank(view, false);
  } else if (view == active_) {
    CloseTab(index);
  } else {
    RemoveTabAt(index);
    Detach(view);
    view_.SetActiveTab(ActiveIndex());
    UpdateTabRow();
  }
}

void BrowserTabs::TitleChanged(ViewId view, const std::string& title) {
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

void BrowserTabs::CommandStateChanged(ViewId view, bool canGoBack, bool canGoForward) {
  BrowserTab* tab = Find(view);
  if (tab == nullptr) return;
  tab->CanGoBack = canGoBack;
  tab->CanGoForward = canGoForward;
  if (view == active_) UpdateWindowState();
}

void BrowserTabs::LoadStarted(ViewId view) {
  if (view != kNoView && view == active_) view_.SetBusyAnimation(true);
}

void BrowserTabs::LoadFinished(ViewId view) {
  if (view == kNoView || view != active_) return;
  view_.SetBusyAnimation(false);
  UpdateWindowState();
}

}  // namespace shell
