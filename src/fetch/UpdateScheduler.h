// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

#include "fetch/UpdateRun.h"
#include "platform/EventLoop.h"
#include "settings/Settings.h"

namespace fetch {

// What the scheduler asks of the main window.
struct SchedulerHooks {
  std::function<void(RunSender)> StartRun;   // a full run (SB_NewClick)
  std::function<void()> RestartSearchCount;  // the start-up's alternative to a run
  std::function<void()> SaveEverything;      // the save when the system suspends
  std::function<bool()> Minimised;           // the main window sits in the tray
  std::function<double()> Now;               // local date-time; empty: the system clock
};

// What the start-up decision did.
struct StartupDecision {
  bool RunStarted = false;  // a full run was started
  // A log-on start in TrayRefreshMode 0 or 1: the program saves and ends, once the run it
  // started (if any) has ended.
  bool SaveAndEnd = false;
};

// When update runs start by themselves: the periodic timer Timer_Koushin with its idle
// rule, the suspend and resume of the system, and the decision at start-up. The timer
// only offers a run every five minutes; which channels are due is the run's own check.
// Browsing activity postpones the timer's run until five minutes of quiet have passed,
// unless the window is minimised.
class UpdateScheduler {
 public:
  static constexpr int64_t kTimerIntervalMs = 300'000;
  static constexpr int64_t kIdleMs = 300'000;
  // A start-up within this many minutes of the last run does not update again.
  static constexpr int kFreshRunMinutes = 15;

  UpdateScheduler(platform::EventLoop& loop, const settings::Settings& settings, SchedulerHooks hooks);
  UpdateScheduler(const UpdateScheduler&) = delete;
  UpdateScheduler& operator=(const UpdateScheduler&) = delete;

  // The timer's tick.
  void Timer_KoushinTimer();

  // Browsing activity in the embedded browser, the start-up, a resume, the settings dialog
  // closing: the idle time starts again.
  void NoteActivity();
  int64_t LastActivityTick() const { return lastActivityTick_; }

  // Stops the timer, or enables it when TrayRefreshMode is 3 (it stays off otherwise).
  // The update run calls this at its start and end.
  void SetPeriodicTimer(bool enable);
  bool PeriodicTimerEnabled() const { return koushinTimer_.Enabled(); }

  // The system is about to suspend or stand by, or has resumed.
  void PowerSuspend();
  void PowerResume();

  // Taken once, when the window is up. `startedAtLogon`: the start came with "/startup";
  // `repairUpdatePending`: the previous run ended abnormally and the user chose repair.
  StartupDecision DecideAtStartup(bool startedAtLogon, bool repairUpdatePending);

 private:
  double Now() const;

  platform::EventLoop& loop_;
  const settings::Settings& settings_;
  SchedulerHooks hooks_;
  platform::Timer koushinTimer_;
  int64_t lastActivityTick_ = 0;
};

}  // namespace fetch
