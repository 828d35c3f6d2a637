// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "settings/Settings.h"
#include "shell/BrowserTabsHost.h"
#include "shell/BrowserTabsView.h"
#include "shell/OfflineCopyLookup.h"
#include "shell/OtherBrowser.h"
#include "shell/PageCommands.h"

namespace shell {

// Everything the tab list works with. The application owns each of them.
struct BrowserTabsServices {
  settings::Settings& settings;
  platform::EventLoop& loop;
  platform::Dialogs& dialogs;
  BrowserTabsView& view;
  BrowserTabsHost& host;
  PageCommands& pageCommands;
  OfflineCopyLookup& offlineCopies;
  OtherBrowser& otherBrowser;
  std::string dataFolder;  // where plover.tab lives
};

}  // namespace shell
