// SPDX-License-Identifier: MIT
// The Qt layer's tests share one application object, on the offscreen platform unless the
// caller chose another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>

#include "ui/PageScheme.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  ui::RegisterPageScheme();
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
