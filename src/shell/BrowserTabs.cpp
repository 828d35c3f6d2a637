// SPDX-License-Identifier: MIT
#include "shell/BrowserTabs.h"

#include "platform/Files.h"

namespace shell {

BrowserTabs::BrowserTabs(BrowserTabsServices services)
    : behaviour_(services.settings, services.view),
      list_(services.settings, services.loop, services.view, behaviour_),
      secureCheck_(services.settings, services.dialogs),
      resets_(services.loop, services.view, list_),
      feeds_(services.settings, list_),
      router_(services, secureCheck_, list_, behaviour_),
      session_(services.settings, services.view, platform::WithSlash(services.dataFolder), list_, behaviour_, router_),
      events_(services, secureCheck_, list_, behaviour_, router_, feeds_, resets_) {}

void BrowserTabs::Shutdown() {
  // The waits end unanswered: the views they wait for are about to go.
  resets_.Cancel();
  list_.Shutdown();
}

}  // namespace shell
