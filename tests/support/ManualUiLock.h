// SPDX-License-Identifier: MIT
#pragma once

#include "platform/UiLock.h"

namespace testsupport {

// The lock of the user interface as a test sets it: free until the test holds it.
class ManualUiLock : public platform::UiLock {
 public:
  bool UiLocked() const override { return locked; }

  bool locked = false;
};

}  // namespace testsupport
