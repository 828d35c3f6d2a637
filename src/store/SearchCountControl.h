// SPDX-License-Identifier: MIT
#pragma once

namespace store {

class TTreeNodeExt;

// The background count of the saved searches reads the lists without locks, so every
// change to the lists or to the tree stops it first and restarts it afterwards. The saved
// searches implement this; the default bodies let a caller without saved searches pass a
// plain object.
class SearchCountControl {
 public:
  virtual ~SearchCountControl() = default;

  virtual void Stop() {}
  virtual void Restart() {}

  // A search item got a new caption, that is a new query: its counts and display are
  // refreshed a little later.
  virtual void SearchItemCaptionChanged(TTreeNodeExt* /*node*/) {}
};

}  // namespace store
