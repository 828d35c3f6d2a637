// SPDX-License-Identifier: MIT
#pragma once

namespace platform {

// Notes an interrupt from the terminal (Ctrl+C, SIGINT) or a polite end (SIGTERM, or
// SIGHUP when the terminal or the session goes away), so
// that a long command can stop its work in order and still save, instead of being killed
// in the middle. The first signal only sets the flag; the default action comes back with
// it, so a second one ends the process at once. Only one watch may exist at a time.
class InterruptWatch {
 public:
  InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
  // Puts the previous signal actions back.
  ~InterruptWatch();

  bool Interrupted() const;
};

}  // namespace platform
