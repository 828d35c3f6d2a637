// SPDX-License-Identifier: MIT
#include "fetch/UpdateScheduler.h"

#include <ctime>

#include "store/DateTime.h"
#include "store/LocalClock.h"

namespace fetch {

UpdateScheduler::UpdateScheduler(platform::EventLoop& loop, const settings::Settings& settings, SchedulerHooks hooks)
    : loop_(loop),
      settings_(settings),
      hooks_(std::move(hooks)),
      koushinTimer_(loop, kTimerIntervalMs, platform::TimerKind::kRepeating, [this] { Timer_KoushinTimer(); }),
      lastActivityTick_(loop.TickMs()) {}

double UpdateScheduler::Now() const {
  return hooks_.Now ? hooks_.Now() : store::LocalDayNumber(std::time(nullptr));
}

void UpdateScheduler::Timer_KoushinTimer() {
  const int64_t now = loop_.TickMs();
  // A tick counter that wrapped around starts the idle time afresh.
  if (now < lastActivityTick_) lastActivityTick_ = 0;
  if (settings_.TrayRefreshMode != settings::TrayMode::kResidentPeriodic) return;
  const bool minimised = hooks_.Minimised && hooks_.Minimised();
  if ((minimised || now - lastActivityTick_ > kIdleMs) && hooks_.StartRun) hooks_.StartRun(RunSender::kTimer);
}

void UpdateScheduler::NoteActivity() {
  lastActivityTick_ = loop_.TickMs();
}

void UpdateScheduler::SetPeriodicTimer(bool enable) {
  if (enable && settings_.TrayRefreshMode == settings::TrayMode::kResidentPeriodic) {
    // A running timer keeps its rhythm; starting it again would push the next tick away.
    if (!koushinTimer_.Enabled()) koushinTimer_.Start();
  } else if (!enable) {
    koushinTimer_.Stop();
  }
}

void UpdateScheduler::PowerSuspend() {
  koushinTimer_.Stop();
  if (hooks_.SaveEverything) hooks_.SaveEverything();
}

void UpdateScheduler::PowerResume() {
  if (settings_.TrayRefreshMode != settings::TrayMode::kResidentPeriodic) return;
  NoteActivity();
  koushinTimer_.Start();
}

StartupDecision UpdateScheduler::DecideAtStartup(bool startedAtLogon, bool repairUpdatePending) {
  StartupDecision decision;
  using settings::TrayMode;
  const TrayMode mode = settings_.TrayRefreshMode;
  const auto start = [&](RunSender sender) {
    if (hooks_.StartRun) hooks_.StartRun(sender);
    decision.RunStarted = true;
  };
  const auto fullRunOrSearch = [&] {
    if (repairUpdatePending) {
      start(RunSender::kMenu);
    } else if (hooks_.RestartSearchCount) {
      hooks_.RestartSearchCount();
    }
  };
  if (startedAtLogon || mode == TrayMode::kAtStart || mode == TrayMode::kResidentPeriodic) {
    const int64_t minutes = store::MillisecondsBetween(settings_.RefreshTime, Now()) / 60'000;
    if (settings_.RefreshTime != 0 && minutes < kFreshRunMinutes) {
      fullRunOrSearch();
    } else {
      start(startedAtLogon || mode == TrayMode::kResidentPeriodic ? RunSender::kTimer : RunSender::kMenu);
    }
  } else {
    fullRunOrSearch();
  }
  if (startedAtLogon && (mode == TrayMode::kNone || mode == TrayMode::kAtStart)) {
    decision.SaveAndEnd = true;
  } else if (mode == TrayMode::kResidentPeriodic) {
    NoteActivity();
    SetPeriodicTimer(true);
  }
  return decision;
}

}  // namespace fetch
