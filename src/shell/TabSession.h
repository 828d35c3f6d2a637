// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

#include "settings/Settings.h"
#include "shell/BrowserTabsView.h"
#include "shell/PageRouter.h"
#include "shell/TabBehaviourSetting.h"
#include "shell/TabList.h"

namespace shell {

// Keeping the open tabs across program runs in plover.tab in the data folder; RestoreTab
// says which tabs are kept (none, the locked ones, all).
class TabSession {
 public:
  static constexpr const char* kTabFileName = "plover.tab";

  // `dataFolder` ends with a slash.
  TabSession(const settings::Settings& settings, const BrowserTabsView& view, std::string dataFolder, TabList& list,
             TabBehaviourSetting& behaviour, PageRouter& router)
      : settings_(settings),
        view_(view),
        dataFolder_(std::move(dataFolder)),
        list_(list),
        behaviour_(behaviour),
        router_(router) {}

  void SaveTabs();
  void RestoreTabs();

 private:
  const settings::Settings& settings_;
  const BrowserTabsView& view_;
  std::string dataFolder_;
  TabList& list_;
  TabBehaviourSetting& behaviour_;
  PageRouter& router_;
};

}  // namespace shell
