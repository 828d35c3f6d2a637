// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "settings/Settings.h"
#include "shell/BrowserTabsHost.h"
#include "shell/BrowserTabsServices.h"
#include "shell/BrowserTabsView.h"
#include "shell/OfflineCopyLookup.h"
#include "shell/OtherBrowser.h"
#include "shell/PageCommands.h"
#include "shell/SecureAddressCheck.h"
#include "shell/TabBehaviourSetting.h"
#include "shell/TabList.h"

namespace shell {

// Where the active view's own navigation goes: on in the view, to a new tab (or the other
// browser) through OpenPage, or nowhere.
enum class ActiveRoute { kHere, kElsewhere, kRefuse };

// The rules that decide where a page opens: in the same tab, in a new tab or in the other
// browser, following the view mode, the tab behaviour, the tab's lock and the keys held.
class PageRouter {
 public:
  PageRouter(const BrowserTabsServices& services, SecureAddressCheck& secureCheck, TabList& list,
             TabBehaviourSetting& behaviour)
      : settings_(services.settings),
        view_(services.view),
        host_(services.host),
        pageCommands_(services.pageCommands),
        offlineCopies_(services.offlineCopies),
        otherBrowser_(services.otherBrowser),
        secureCheck_(secureCheck),
        list_(list),
        behaviour_(behaviour) {}

  // The one entry for showing an address. `view` may be kNoView. True when the address
  // was accepted (shown in a tab or handed to the other browser).
  bool OpenPage(ViewId view, const std::string& address, int flags, bool focus);
  // An address typed into the address box: it passes the secure-mode filter and goes to
  // the active tab, whatever the tab behaviour says. False when it was refused.
  bool OpenTypedAddress(const std::string& address);
  void Navigate(ViewId view, const std::string& address, int flags);
  // Hands the address (or the offline copy kept of it) to the other browser.
  bool OpenElsewhere(const std::string& address);

  // Where a navigation that the active view `view` is about to start goes.
  ActiveRoute RouteOfActiveView(ViewId view, NavigationKind kind, bool userInitiated) const;
  // Whether the view mode keeps the summary's links out of the program's own browser.
  bool AddinRefusedFromSummary() const;

 private:
  int ViewMode() const { return settings_.FormViewMode; }
  bool OtherBrowserWanted() const;
  bool NeedsNewTab(ViewId view) const;
  bool ShowsNeitherSummaryNorEmpty(ViewId view) const;

  const settings::Settings& settings_;
  BrowserTabsView& view_;
  BrowserTabsHost& host_;
  PageCommands& pageCommands_;
  OfflineCopyLookup& offlineCopies_;
  OtherBrowser& otherBrowser_;
  SecureAddressCheck& secureCheck_;
  TabList& list_;
  TabBehaviourSetting& behaviour_;
};

}  // namespace shell
