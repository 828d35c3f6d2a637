// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace store {
class TTreeNodeExt;
}

namespace fetch {

// The pictures the notification-area icon shows around an update run.
enum class TrayPicture {
  kRemembered,  // the picture it had before the run
  kAccess,      // a run is fetching
  kNewItems,    // the run brought new items while the window was minimised
};

// The mouse cursor over the window while a run works.
enum class RunCursor {
  kNormal,
  kBackgroundBusy,  // the run fetches in the background; the window stays usable
  kHourglass,       // the run holds the window (one channel after another)
};

// What an update run shows and asks of the main window. The desktop program implements
// it with its widgets and tray icon; plover-cli prints progress and the summary. Every
// text is code page 932 and used exactly as given. The defaults do nothing and describe
// a visible, idle window, so a view overrides only what it has.
class UpdateRunView {
 public:
  virtual ~UpdateRunView() = default;

  // The window's own state, read by the run.
  virtual bool Minimised() const { return false; }
  virtual bool Closing() const { return false; }
  // The node selected in the tree, or nullptr.
  virtual store::TTreeNodeExt* SelectedNode() const { return nullptr; }

  // Preparations before a run: an edit of a tree caption in progress is ended, an open
  // channel-property panel is closed (closing it applies it).
  virtual void EndLabelEdit() {}
  virtual void ClosePropertyPanel() {}

  // Progress: channels handled of channels to handle; Finish fills the bar.
  virtual void HideProgress() {}
  virtual void ShowProgress(int /*done*/, int /*total*/) {}
  virtual void FinishProgress() {}

  // The first panel of the status bar. The run keeps the text it found and gives it back.
  virtual std::string StatusText() const { return {}; }
  virtual void SetStatusText(const std::string& /*text*/) {}
  // The channel being checked, shown while the run visits the tree or waits for a fetch.
  virtual void ShowChecking(const std::string& /*text*/) {}

  // The application title (and the window caption); the run keeps the one it found.
  virtual std::string Title() const { return {}; }
  virtual void SetTitle(const std::string& /*title*/) {}

  virtual void SetTrayPicture(TrayPicture /*picture*/) {}
  virtual void SetTrayTip(const std::string& /*tip*/) {}
  // The summary of a run, as an information balloon headed by `title`.
  virtual void ShowBalloon(const std::string& /*title*/, const std::string& /*text*/) {}

  // The update button's caption: "停止" while a background run may be stopped with it,
  // "更新" otherwise.
  virtual void SetUpdateButtonCaption(const std::string& /*caption*/) {}

  // The lock of the user interface during a run. In background mode the update button
  // stays usable (it stops the run); `busy` is set when the run holds the window while it
  // fetches one channel after another: the tree, the main panel and the address box are
  // disabled as well, and nothing but waiting is possible.
  virtual void LockUserInterface(bool /*background*/, bool /*busy*/) {}
  virtual void UnlockUserInterface() {}

  virtual void SetCursor(RunCursor /*cursor*/) {}

  // The tree and the headline list after a run changed something.
  virtual void RepaintTree() {}
  virtual void ScrollIntoView(store::TTreeNodeExt* /*node*/) {}
  virtual void ReloadItemList() {}
};

}  // namespace fetch
