// SPDX-License-Identifier: MIT
#include "shell/ViewEvents.h"

#include <optional>

#include "shell/PageAddress.h"
#include "text/Literal.h"

namespace shell {

namespace {

constexpr const char* kNewWindowQuestion =
    "ブラウザから新しいウィンドウが要求されましたが[セキュリティモード]で実行中の為\r\n"
    "意図しないウィンドウの場合は遮断[キャンセル]を推奨します。\r\n\r\n"
    "表示する場合は[はい] 遮断する場合は[キャンセル]を選択してください。";

}  // namespace

bool ViewEvents::BeforeNavigate(ViewId view, const std::string& address, NavigationKind kind, bool userInitiated) {
  // A view waiting for its destruction shows nothing more.
  if (list_.Closing() || list_.IndexOf(view) < 0) return false;
  if (IsSummaryAddress(address)) {
    // The headline pages are the program's own and are always rendered in place.
    BrowserTab& tab = *list_.Find(view);
    if (tab.PendingLoads > 0) --tab.PendingLoads;
    tab.TabAddress = address;
    feeds_.ForgetFoundFeeds(view);
    return true;
  }
  // What the program loads itself passed the filter already; what a page starts passes it
  // here, and the user hears why a click did nothing.
  if (kind != NavigationKind::kTyped && !secureCheck_.Check(address, userInitiated)) return false;
  if (!IsWebArchiveAddress(address)) {
    if (const std::optional<std::string> copy = offlineCopies_.Find(address)) {
      router_.Navigate(view, *copy, 0);
      return false;
    }
  }
  if (BrowserTab* tab = list_.Find(view); tab != nullptr && tab->PendingLoads > 0) --tab->PendingLoads;
  if (pageCommands_.HandleInternalLink(address, view) || IsCommandAddress(address)) return false;
  BrowserTab* tab = list_.Find(view);
  if (tab == nullptr) return false;
  tab->TabAddress = address;
  // A tab in the background shows what it is given.
  if (view != list_.ActiveView()) {
    feeds_.ForgetFoundFeeds(view);
    return true;
  }
  if (!host_.TreeHasFocus()) pageCommands_.LinkOpened(address);
  if (list_.IndexOf(view) < 0) return false;
  switch (router_.RouteOfActiveView(view, kind, userInitiated)) {
    case ActiveRoute::kRefuse:
      return false;
    case ActiveRoute::kElsewhere:
      router_.OpenPage(kNoView, address, 0, false);
      return false;
    case ActiveRoute::kHere:
      break;
  }
  view_.ApplySecurityOptions(view);
  feeds_.ForgetFoundFeeds(view);
  return true;
}

ViewId ViewEvents::NewWindowRequested(ViewId view, const std::string& address, bool userInitiated) {
  if (list_.Closing() || list_.IndexOf(view) < 0) return kNoView;
  // Pop-up blocking: a page may ask for a window only when the user asked the page.
  if (!userInitiated && settings_.PopupBlock) return kNoView;
  if (settings_.SecureMode && !dialogs_.AskYesCancel(text::J(kNewWindowQuestion), platform::MessageType::kConfirmation,
                                                     platform::DefaultAnswer::kNo)) {
    return kNoView;
  }
  // The question may have let other events in; the requesting tab may be gone.
  if (list_.IndexOf(view) < 0) return kNoView;
  if (router_.AddinRefusedFromSummary() && !host_.ShiftHeld() && list_.ShowsSummary(view)) {
    router_.OpenPage(kNoView, address, 0, false);
    return kNoView;
  }
  if (pageCommands_.HandleInternalLink(address, view) || IsCommandAddress(address)) return kNoView;
  if (!secureCheck_.Check(address, true)) return kNoView;
  if (host_.CtrlHeld() && host_.ShiftHeld()) {
    router_.OpenElsewhere(address);
    return kNoView;
  }
  return list_.OpenTab(TabList::kLoadingCaption, behaviour_.TabBehaviour() != settings::TabBehaviour::kNewInBackground,
                       false);
}

void ViewEvents::WindowCloseRequested(ViewId view) {
  // While the program closes, the windows go anyway.
  if (list_.Closing()) return;
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

void ViewEvents::HandleWindowClose(ViewId view) {
  const int index = list_.IndexOf(view);
  // A locked tab keeps its page whatever the page asks.
  if (index < 0 || list_.TabAt(static_cast<size_t>(index)).Locked) return;
  if (list_.TabCount() == 1) {
    resets_.ResetToBlank(view, false);
  } else {
    // The page's tab closes as the user would close it; when it is the active one, its
    // neighbour takes over.
    list_.CloseTab(index);
  }
}

}  // namespace shell
