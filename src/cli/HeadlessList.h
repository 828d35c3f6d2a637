// SPDX-License-Identifier: MIT
#pragma once

#include "cli/NeverLocked.h"
#include "cli/OpenedFolder.h"
#include "cli/QuietHeadlineView.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "settings/Settings.h"
#include "store/ItemStates.h"
#include "store/SearchCountControl.h"
#include "store/TreeEditor.h"

namespace cli {

// The headline list as the window builds it, over an opened data folder and without a
// window: it draws nothing and opens no page. Commands that read a node's rows or change
// their states use it. `settings` must outlive it; with `journal`, every state change is
// written there first, as in the window.
class HeadlessList {
 public:
  HeadlessList(OpenedFolder& folder, settings::Settings& settings, store::RecoveryJournal* journal);
  HeadlessList(const HeadlessList&) = delete;
  HeadlessList& operator=(const HeadlessList&) = delete;

  // Shows `node` the way the started window shows a node the user selects.
  present::HeadlineList& Show(store::TTreeNodeExt* node);

 private:
  store::ItemStateContext states_;
  store::SearchCountControl searchCount_;
  store::TreeEditHost editHost_;
  NeverLocked unlocked_;
  store::TreeEditor editor_;
  SilentList window_;
  present::KeywordListQuery query_;
  present::HeadlineList list_;
};

}  // namespace cli
