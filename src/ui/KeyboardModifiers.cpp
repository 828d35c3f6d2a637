// SPDX-License-Identifier: MIT
#include "ui/KeyboardModifiers.h"

#include <QGuiApplication>

namespace ui {

bool KeyboardModifiers::ShiftHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool KeyboardModifiers::CtrlHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

}  // namespace ui
