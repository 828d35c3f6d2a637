// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <string>

#include "fetch/UpdateRunView.h"

class QLabel;
class QProgressBar;
class QStatusBar;

namespace ui {

class ChannelTreePane;
class HeadlineListView;
class MainWindowFrame;
class TrayIcon;
class WindowState;

// The update run's view of the main window: the status bar's text and progress bar, the
// busy cursor and the lock of the user interface. What a run asks of the tree, the
// headline list, the caption and the tray goes to those views; the lock is kept in the
// window's state and announced, so that the commands, the list and the panes follow it.
class UpdateProgress : public QObject, public fetch::UpdateRunView {
  Q_OBJECT

 public:
  UpdateProgress(QStatusBar& bar, WindowState& state, MainWindowFrame& frame, TrayIcon& tray, ChannelTreePane& tree,
                 HeadlineListView& list);

  // The headline list's status: the first panel and the progress bar's tip.
  void ShowListStatus(const QString& panel, const QString& tip);

  // fetch::UpdateRunView
  bool Minimised() const override;
  bool Closing() const override;
  store::TTreeNodeExt* SelectedNode() const override;
  void EndLabelEdit() override;
  void HideProgress() override;
  void ShowProgress(int done, int total) override;
  void FinishProgress() override;
  std::string StatusText() const override;
  void SetStatusText(const std::string& text) override;
  void ShowChecking(const std::string& text) override;
  std::string Title() const override;
  void SetTitle(const std::string& title) override;
  void SetTrayPicture(fetch::TrayPicture picture) override;
  void SetTrayTip(const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void SetUpdateButtonCaption(const std::string& caption) override;
  void LockUserInterface(bool background, bool busy) override;
  void UnlockUserInterface() override;
  void SetCursor(fetch::RunCursor cursor) override;
  void ScrollIntoView(store::TTreeNodeExt* node) override;
  void ReloadItemList() override;

 signals:
  // An update run took the user interface (`background`: the update button stays usable
  // to stop it; `busy`: the panes wait as well) or gave it back.
  void locked(bool background, bool busy);
  void unlocked();
  void updateCaptionChanged(const QString& caption);

 private:
  QStatusBar& bar_;
  WindowState& state_;
  MainWindowFrame& frame_;
  TrayIcon& tray_;
  ChannelTreePane& tree_;
  HeadlineListView& list_;
  QLabel* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace ui
