// SPDX-License-Identifier: MIT
// The Qt layer's tests share one application object, on the offscreen platform unless the
// caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/DesktopStart.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ui::PrepareWebEngine();  // as the program does
  QApplication application(argc, argv);
  ui::SpeakJapanese(application);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
