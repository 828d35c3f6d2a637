// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/UiLock.h"

class QMainWindow;

namespace ui {

// The main window's own state that several of its views are asked about: whether it is
// minimised, closing or ending, whether an update run holds it, and the caption the
// program gave it. Each of these questions has its one answer here; the views that
// implement the controllers' interfaces read it from here, and the controllers are given
// the lock itself.
class WindowState : public platform::UiLock {
 public:
  explicit WindowState(const QMainWindow& window) : window_(window) {}

  // Minimised, or hidden in the notification area.
  bool Minimised() const;

  // Set while an update run holds the user interface.
  bool UiLocked() const override { return uiLocked_; }
  void SetUiLocked(bool locked) { uiLocked_ = locked; }

  // Set while the window's close button is being handled.
  bool Closing() const { return closing_; }
  void SetClosing(bool closing) { closing_ = closing; }

  // Set once the program has ended its event loop: a close then goes through unasked.
  bool Ending() const { return ending_; }
  void SetEnding() { ending_ = true; }

  // The caption the program set, without the passing captions of the pages.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

 private:
  const QMainWindow& window_;
  bool uiLocked_ = false;
  bool closing_ = false;
  bool ending_ = false;
  std::string title_;
};

}  // namespace ui
