// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/LogonPause.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/InstanceLock.h"
#include "settings/StartupSettings.h"

namespace app {

// The screen must show at least 16-bit colour. With fewer bits per pixel the user is told
// so and the result is false: the program ends.
bool CheckColourDepth(int bitsPerPixel, platform::Dialogs& dialogs);

// The local date of a moment, as days since 1899-12-30 (the program's date-time form,
// with no time of day).
double LocalDateSerial(std::time_t moment);

// What the start-up has found out, fixed for the rest of the run.
struct StartupState {
  std::string ProgramFolder;  // with a trailing "/"
  std::string DataFolder;     // with a trailing "/"
  std::string IniFileName;
  CommandLine Switches;
  bool StartedAtLogon = false;    // the main window is not shown at start
  bool InstallAdminMode = false;  // started with "/noinstalladmin"
  bool IsVistaOrLater = true;     // the newer ways of the platform always apply here
  int ViewMode = 0;               // the display mode asked for on the command line, or 0
  settings::StartupSettings Settings;
  double Today = 0;  // the date of the start
};

// What the caller knows about the process.
struct StartupInputs {
  std::string ProgramFolder;
  std::vector<std::string> Arguments;  // without the program's own path
  std::string AppDataFolder;
  std::time_t Now = 0;
  int64_t LockRetryMs = platform::InstanceLock::kDefaultRetryMs;
};

enum class StartupOutcome {
  kGoOn,             // this is the one copy: wait for the ready callback
  kAnotherCopyRuns,  // the running copy was asked to come forward: end quietly
  kLockFailed,       // the single-instance lock could not be had: end quietly
};

// The start-up sequence shared by the desktop program and plover-cli, from the command
// line up to the moment the main window may be made. It owns the single-instance lock for
// the life of the program.
class Startup {
 public:
  struct Callbacks {
    std::function<void()> onReady;        // the main window may be made now (called once)
    std::function<void()> onComeForward;  // a later start asks this copy to come forward
  };

  Startup(platform::EventLoop& loop, platform::Dialogs& dialogs, Callbacks callbacks);

  // Runs the sequence: switches, data folder (with the move of old data), built-in
  // files, start-up settings, single instance, and the pause after a log-on start. The
  // ready callback follows from the event loop when the outcome is kGoOn.
  StartupOutcome Run(const StartupInputs& inputs);

  // The program was told to end: the ready callback will not come.
  void Terminate();
  bool Terminated() const { return terminated_; }

  const StartupState& State() const { return state_; }

 private:
  void FindDataFolder(const StartupInputs& inputs);

  platform::Dialogs& dialogs_;
  StartupState state_;
  platform::InstanceLock lock_;
  LogonPause pause_;
  bool terminated_ = false;
};

}  // namespace app
