// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/EventLoop.h"

namespace platform {

// Makes sure only one copy of the program works on a data folder. The first copy holds an
// exclusive lock on a file in the folder and listens on a local socket named after the
// user and the folder; a later start finds the lock taken, asks the running copy through
// the socket to come to the front, and is told to end. The request reaches the running
// copy's main thread through its event loop.
class InstanceLock {
 public:
  enum class Result {
    kAcquired,         // this process is the one copy; requests now reach the callback
    kAnotherCopyRuns,  // the running copy was asked to come forward; this one should end
    kFailed,           // the lock is held but nobody answered in time, or no lock was possible
  };

  static constexpr int64_t kDefaultRetryMs = 10000;
  static constexpr int64_t kAcknowledgeWaitMs = 2000;

  // `onComeForward` runs on the event loop's thread each time a later start asks.
  InstanceLock(EventLoop& loop, std::function<void()> onComeForward);
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Takes the lock for `dataFolder` (created when missing). When the lock is held by a
  // copy that does not answer (it may be starting or ending), tries again for up to
  // `retryMs` before giving up. Blocks while it tries. Releases any lock held before.
  Result Acquire(const std::string& dataFolder, int64_t retryMs = kDefaultRetryMs);

  bool Held() const { return lockFd_ >= 0; }

  // Whether a running copy holds the lock of `dataFolder` now. Asks nothing of that copy
  // and takes nothing: a reader that only looks uses it to tell a copy at work from one
  // that ended abnormally.
  static bool HeldElsewhere(const std::string& dataFolder);

  // Stops listening and releases the lock.
  void Release();

 private:
  void Listen();
  void Serve(int connection);

  EventLoop& loop_;
  std::shared_ptr<const std::function<void()>> onComeForward_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread listener_;
};

}  // namespace platform
