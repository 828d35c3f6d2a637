// SPDX-License-Identifier: MIT
#include "cli/HeadlessList.h"

#include <ctime>

#include "store/LocalClock.h"

namespace cli {

HeadlessList::HeadlessList(OpenedFolder& folder, settings::Settings& settings, store::RecoveryJournal* journal)
    : states_(folder.Session().Store(), journal),
      editor_(states_, folder.Dialogs(), searchCount_, editHost_, unlocked_),
      query_(settings),
      list_(present::HeadlineServices{states_, editor_, settings, folder.Loop(), folder.Dialogs(), searchCount_,
                                      window_, window_, window_, query_, unlocked_,
                                      [] { return store::LocalDayNumber(std::time(nullptr)); }}) {}

present::HeadlineList& HeadlessList::Show(store::TTreeNodeExt* node) {
  list_.SetWindowReady(true);
  list_.SetStartupFinished(true);
  list_.SetStoreLoaded(true);
  list_.SelectNode(node);
  return list_;
}

}  // namespace cli
