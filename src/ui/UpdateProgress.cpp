// SPDX-License-Identifier: MIT
#include "ui/UpdateProgress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "ui/ChannelTreePane.h"
#include "ui/HeadlineListView.h"
#include "ui/MainWindowFrame.h"
#include "ui/QtText.h"
#include "ui/TrayIcon.h"
#include "ui/WindowState.h"

namespace ui {

UpdateProgress::UpdateProgress(QStatusBar& bar, WindowState& state, MainWindowFrame& frame, TrayIcon& tray,
                               ChannelTreePane& tree, HeadlineListView& list)
    : QObject(&bar), bar_(bar), state_(state), frame_(frame), tray_(tray), tree_(tree), list_(list) {
  panel_ = new QLabel(&bar);
  progress_ = new QProgressBar(&bar);
  progress_->setMaximumWidth(160);
  progress_->hide();
  bar.addWidget(panel_, 1);
  bar.addPermanentWidget(progress_);
}

void UpdateProgress::ShowListStatus(const QString& panel, const QString& tip) {
  panel_->setText(panel);
  progress_->setToolTip(tip);
}

bool UpdateProgress::Minimised() const {
  return state_.Minimised();
}

bool UpdateProgress::Closing() const {
  return state_.Closing();
}

store::TTreeNodeExt* UpdateProgress::SelectedNode() const {
  return list_.SelectedNode();
}

void UpdateProgress::EndLabelEdit() {
  tree_.EndLabelEdit();
}

void UpdateProgress::HideProgress() {
  progress_->hide();
}

void UpdateProgress::ShowProgress(int done, int total) {
  progress_->setMaximum(total > 0 ? total : 1);
  progress_->setValue(done);
  progress_->show();
}

void UpdateProgress::FinishProgress() {
  progress_->setValue(progress_->maximum());
}

std::string UpdateProgress::StatusText() const {
  return FromQString(panel_->text());
}

void UpdateProgress::SetStatusText(const std::string& text) {
  panel_->setText(ToQString(text));
}

void UpdateProgress::ShowChecking(const std::string& text) {
  panel_->setText(ToQString(text));
}

std::string UpdateProgress::Title() const {
  return state_.Title();
}

void UpdateProgress::SetTitle(const std::string& title) {
  frame_.SetTitle(title);
}

void UpdateProgress::SetTrayPicture(fetch::TrayPicture picture) {
  tray_.SetPicture(picture);
}

void UpdateProgress::SetTrayTip(const std::string& tip) {
  tray_.SetTip(tip);
}

void UpdateProgress::ShowBalloon(const std::string& title, const std::string& text) {
  if (!tray_.ShowBalloon(title, text)) bar_.showMessage(ToQString(text), 10000);
}

void UpdateProgress::SetUpdateButtonCaption(const std::string& caption) {
  emit updateCaptionChanged(ToQString(caption));
}

void UpdateProgress::LockUserInterface(bool background, bool busy) {
  state_.SetUiLocked(true);
  emit locked(background, busy);
}

void UpdateProgress::UnlockUserInterface() {
  state_.SetUiLocked(false);
  emit unlocked();
}

void UpdateProgress::SetCursor(fetch::RunCursor cursor) {
  QGuiApplication::restoreOverrideCursor();
  if (cursor == fetch::RunCursor::kBackgroundBusy) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  if (cursor == fetch::RunCursor::kHourglass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void UpdateProgress::ScrollIntoView(store::TTreeNodeExt* node) {
  tree_.ScrollIntoView(node);
}

void UpdateProgress::ReloadItemList() {
  list_.ReloadList();
}

}  // namespace ui
