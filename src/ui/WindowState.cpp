// SPDX-License-Identifier: MIT
#include "ui/WindowState.h"

#include <QMainWindow>

namespace ui {

bool WindowState::Minimised() const {
  return window_.isMinimized() || !window_.isVisible();
}

}  // namespace ui
