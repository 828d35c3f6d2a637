// SPDX-License-Identifier: MIT
#include "shell/TabSession.h"

#include <optional>
#include <vector>

#include "platform/Files.h"
#include "shell/PageAddress.h"
#include "shell/private/TabFile.h"

namespace shell {

namespace {

constexpr int kRestoreLocked = 1;
constexpr int kRestoreAll = 2;

}  // namespace

void TabSession::SaveTabs() {
  // The old file goes first, so that no stale list comes back when nothing is kept.
  const std::string path = dataFolder_ + kTabFileName;
  platform::RemoveIfPresent(path);
  const int mode = settings_.RestoreTab;
  if (mode != kRestoreLocked && mode != kRestoreAll) return;
  std::vector<SavedTab> saved;
  for (size_t index = 0; index < list_.TabCount(); ++index) {
    const BrowserTab& tab = list_.TabAt(index);
    if (tab.PendingLoads > 0 || (mode == kRestoreLocked && !tab.Locked)) continue;
    const std::string location = view_.Location(tab.view);
    if (IsSummaryAddress(location) || IsEmptyLocation(location)) continue;
    saved.push_back({tab.Locked, location});
  }
  const std::string content = FormatTabFile(saved);
  // Failures are ignored: the tabs are a convenience, and the program is closing.
  if (!content.empty()) platform::WriteFileDurably(path, content);
}

void TabSession::RestoreTabs() {
  if (settings_.RestoreTab == 0) return;
  const std::optional<std::string> content = platform::ReadWholeFile(dataFolder_ + kTabFileName);
  if (!content) return;
  // While restoring, every mode opens tabs at the end and in the background.
  struct Restoring {
    TabBehaviourSetting& behaviour;
    explicit Restoring(TabBehaviourSetting& b) : behaviour(b) { behaviour.SetRestoring(true); }
    ~Restoring() { behaviour.SetRestoring(false); }
  } restoring(behaviour_);
  for (const SavedTab& saved : ParseTabFile(*content)) {
    const ViewId view = list_.OpenTab(TabList::kLoadingCaption, false, false);
    const int index = list_.IndexOf(view);
    // The first position is never locked again: it belongs to the start page.
    if (saved.locked && index > 0) list_.ToggleTabLock(index);
    router_.Navigate(view, saved.location, 0);
  }
}

}  // namespace shell
