// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <string>

#include "platform/Dialogs.h"
#include "settings/Settings.h"
#include "shell/BrowserTabsHost.h"
#include "shell/BrowserTabsServices.h"
#include "shell/BrowserTabsView.h"
#include "shell/OfflineCopyLookup.h"
#include "shell/PageCommands.h"
#include "shell/PageRouter.h"
#include "shell/SecureAddressCheck.h"
#include "shell/SummaryReset.h"
#include "shell/TabBehaviourSetting.h"
#include "shell/TabFeeds.h"
#include "shell/TabList.h"

namespace shell {

// The views' events that ask for a decision: navigations, new windows and pages closing
// their window. A view waiting for its destruction, or any view once the program closes,
// gets nothing it asks for.
class ViewEvents {
 public:
  ViewEvents(const BrowserTabsServices& services, SecureAddressCheck& secureCheck, TabList& list,
             TabBehaviourSetting& behaviour, PageRouter& router, TabFeeds& feeds, SummaryReset& resets)
      : settings_(services.settings),
        dialogs_(services.dialogs),
        view_(services.view),
        host_(services.host),
        pageCommands_(services.pageCommands),
        offlineCopies_(services.offlineCopies),
        secureCheck_(secureCheck),
        list_(list),
        behaviour_(behaviour),
        router_(router),
        feeds_(feeds),
        resets_(resets) {}

  // Asked for every navigation of a view's main frame; returns whether it may go on.
  // `userInitiated` tells whether the user's own action (a click, a form sent, back or
  // forward) started it.
  bool BeforeNavigate(ViewId view, const std::string& address, NavigationKind kind, bool userInitiated);
  // Returns the view whose tab the new window becomes, or kNoView to refuse it.
  ViewId NewWindowRequested(ViewId view, const std::string& address, bool userInitiated);
  // A page asked to close its window. Requests arriving while one is handled (a question
  // lets events in) wait their turn.
  void WindowCloseRequested(ViewId view);

 private:
  void HandleWindowClose(ViewId view);

  const settings::Settings& settings_;
  platform::Dialogs& dialogs_;
  BrowserTabsView& view_;
  BrowserTabsHost& host_;
  PageCommands& pageCommands_;
  OfflineCopyLookup& offlineCopies_;
  SecureAddressCheck& secureCheck_;
  TabList& list_;
  TabBehaviourSetting& behaviour_;
  PageRouter& router_;
  TabFeeds& feeds_;
  SummaryReset& resets_;

  std::deque<ViewId> closeRequests_;
  bool handlingClose_ = false;
};

}  // namespace shell
