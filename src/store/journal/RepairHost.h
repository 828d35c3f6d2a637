// SPDX-License-Identifier: MIT
#pragma once

namespace store {

// What the repair commands need from the main window.
class RepairHost {
 public:
  virtual ~RepairHost() = default;

  // Stops the background count of the saved searches before the tree changes.
  virtual void StopSearchCount() = 0;

  // Selects RootNode and shows its headline list.
  virtual void ShowRoot() = 0;
};

}  // namespace store
