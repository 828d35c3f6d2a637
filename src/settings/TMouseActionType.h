// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace settings {

// One mouse-gesture binding: a gesture (a sequence of the arrows "←", "→", "↑" and "↓"
// in code page 932) and the index of the command it runs, 0 to 29.
struct TMouseActionType {
  std::string Gesture;
  int Command = 0;

  bool operator==(const TMouseActionType&) const = default;
};

// The eight bindings a new installation starts with: back, forward, up one folder, close
// the active tab, browser mode, the other browser, page lock, and copying title and
// address.
std::vector<TMouseActionType> BuiltInMouseActions();

}  // namespace settings
