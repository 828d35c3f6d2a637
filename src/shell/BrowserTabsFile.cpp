// SPDX-License-Identifier: MIT
// Keeping the open tabs across program runs in plover.tab.
#include "platform/Files.h"
#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"
#include "shell/TabFile.h"

namespace shell {

namespace {

constexpr int kRestoreLocked = 1;
constexpr int kRestoreAll = 2;

}  // namespace

void BrowserTabs::SaveTabs() {
  // The old file goes first, so that no stale list comes back when nothing is kept.
  const std::string path = dataFolder_ + kTabFileName;
  platform::RemoveIfPresent(path);
  const int mode = settings_.RestoreTab;
  if (mode != kRestoreLocked && mode != kRestoreAll) return;
  std::vector<SavedTab> saved;
  for (const BrowserTab& tab : tabs_) {
    if (tab.PendingLoads > 0 || (mode == kRestoreLocked && !tab.Locked)) continue;
    const std::string location = view_.Location(tab.view);
    if (IsSummaryAddress(location) || IsEmptyLocation(location)) continue;
    saved.push_back({tab.Locked, location});
  }
  const std::string content = FormatTabFile(saved);
  // Failures are ignored: the tabs are a convenience, and the program is closing.
  if (!content.empty()) platform::WriteFileDurably(path, content);
}

void BrowserTabs::RestoreTabs() {
  if (settings_.RestoreTab == 0) return;
  const std::optional<std::string> content = platform::ReadWholeFile(dataFolder_ + kTabFileName);
  if (!content) return;
  // While restoring, every mode opens tabs at the end and in the background.
  struct Restoring {
    bool& flag;
    explicit Restoring(bool& f) : flag(f) { flag = true; }
    ~Restoring() { flag = false; }
  } restoring(restoring_);
  for (const SavedTab& saved : ParseTabFile(*content)) {
    const ViewId view = OpenTab(kLoadingCaption, false, false);
    const int index = IndexOf(view);
    // The first position is never locked again: it belongs to the start page.
    if (saved.locked && index > 0) ToggleTabLock(index);
    Navigate(view, saved.location, 0);
  }
}

}  // namespace shell
