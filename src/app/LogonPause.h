// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/EventLoop.h"

namespace app {

// The wait before the main window is made after a start at log-on, so that the desktop
// can settle first. A 200 ms timer checks how long the wait has lasted; when the pause
// is over the ready callback runs once, and when the program is told to end first it
// never runs.
class LogonPause {
 public:
  static constexpr int64_t kCheckIntervalMs = 200;

  LogonPause(platform::EventLoop& loop, std::function<void()> onReady);
  LogonPause(const LogonPause&) = delete;
  LogonPause& operator=(const LogonPause&) = delete;

  // Starts the wait of `pauseMs`. Without a wait (0 or less) the callback is posted to
  // run next on the loop.
  void Start(int64_t pauseMs);

  // The program was told to end: the callback will not run.
  void Cancel();

  bool Waiting() const { return timer_.Enabled(); }
  bool Finished() const { return finished_; }

 private:
  void Check();
  void Finish();

  platform::EventLoop& loop_;
  std::function<void()> onReady_;
  platform::Timer timer_;
  int64_t startedMs_ = 0;
  int64_t pauseMs_ = 0;
  bool cancelled_ = false;
  bool finished_ = false;
  // Expires with this object, so that a posted callback outliving it does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace app
