// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>

#include "app/DataSession.h"
#include "cli/Commands.h"
#include "cli/ConsoleDialogs.h"
#include "platform/InstanceLock.h"
#include "platform/PlainEventLoop.h"

namespace cli {

// The data folder as a command works on it. A command that changes the data first takes
// the folder's single-instance lock, so that it never works beside the desktop program or
// another plover-cli on the same data; a command that only reads does without. Every
// failure to get there is a CommandError with the message to print.
class OpenedFolder {
 public:
  // How long a lock whose holder does not answer (it may be starting or ending) is tried.
  static constexpr int64_t kLockRetryMs = 2000;

  OpenedFolder(const CommandContext& context, app::DataAccess access);
  OpenedFolder(const OpenedFolder&) = delete;
  OpenedFolder& operator=(const OpenedFolder&) = delete;
  // The clean end of the session: its journal goes.
  ~OpenedFolder();

  app::DataSession& Session() { return *session_; }
  ConsoleDialogs& Dialogs() { return dialogs_; }
  // The loop the session's timers run on (the journal's flush among them).
  platform::PlainEventLoop& Loop() { return loop_; }

 private:
  void TakeLock(const std::string& folder);
  void CheckSettings(app::DataAccess access);
  [[noreturn]] void CloseAndFail(const std::string& message);

  platform::PlainEventLoop loop_;
  ConsoleDialogs dialogs_;
  platform::InstanceLock lock_;
  // Declared after the lock, so the session ends before the lock is let go.
  std::unique_ptr<app::DataSession> session_;
};

}  // namespace cli
