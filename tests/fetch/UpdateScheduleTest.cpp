// SPDX-License-Identifier: MIT
// The rules of update runs that the clock drives, on the deterministic event loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateRunSupport.h"
#include "fetch/UpdateScheduler.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;
using text::J;

constexpr double kMinute = 1.0 / 1440;

class Scheduling : public ::testing::Test {
 protected:
  Scheduling() {
    world.settings.TrayRefreshMode = settings::TrayMode::kResidentPeriodic;
    SchedulerHooks hooks;
    hooks.StartRun = [this](RunSender sender) {
      started.push_back(sender);
      world.Run().SB_NewClick(sender);
    };
    hooks.RestartSearchCount = [this] { ++searchRestarts; };
    hooks.SaveEverything = [this] { ++saves; };
    hooks.Minimised = [this] { return world.view.minimised; };
    hooks.Now = [this] { return world.today; };
    scheduler = std::make_unique<UpdateScheduler>(loop, world.settings, hooks);
    periodic = [this](bool enable) { scheduler->SetPeriodicTimer(enable); };
  }

  // The run with its periodic-timer hook wired to the scheduler, as the main window does.
  UpdateRun& Run() {
    if (!world.run) {
      UpdateRunServices services{loop,      world.store, world.settings,   world.dialogs,
                                 world.xml, world.lock,  world.data.Path()};
      services.Keys = &world.keys;
      services.Now = [this] { return world.today; };
      services.Offline = &offline;
      services.FtpPreRun = &ftp;
      UpdateRunHooks hooks;
      hooks.PeriodicTimer = periodic;
      hooks.RunEnded = [this] { ++world.runsEnded; };
      world.run = std::make_unique<UpdateRun>(services, world.view, hooks);
    }
    return *world.run;
  }

  // A channel whose fetch can only fail: nobody listens on its port.
  TTreeNodeExt* Channel(const std::string& caption, double client, int refresh) {
    TTreeNodeExt* node = world.AddChannel(caption, "http://127.0.0.1:" + std::to_string(closedPort) + "/" + caption);
    node->Data()->client = client;
    node->Data()->refresh = refresh;
    return node;
  }

  class SwitchableOffline : public OfflineSwitch {
   public:
    bool IsOffline() const override { return offline; }
    bool GoOnline() override {
      offline = !canGoOnline;
      return !offline;
    }
    bool offline = false;
    bool canGoOnline = true;
  };
  class DecliningFtp : public FtpPreRunStep {
   public:
    bool PreRun() override { return !decline; }
    bool decline = false;
  };

  testsupport::ManualEventLoop loop;
  RunWorld world{loop};
  SwitchableOffline offline;
  DecliningFtp ftp;
  int closedPort = testsupport::ClosedPort();
  std::vector<RunSender> started;
  int searchRestarts = 0;
  int saves = 0;
  std::function<void(bool)> periodic;
  std::unique_ptr<UpdateScheduler> scheduler;
};

TEST_F(Scheduling, TimerRunFetchesOnlyDueChannels) {
  world.settings.TrayRefreshTime = 60;
  TTreeNodeExt* never = Channel("never", 0, 0);
  TTreeNodeExt* globalNotDue = Channel("global-59", world.today - 59 * kMinute, 0);
  TTreeNodeExt* globalDue = Channel("global-60", world.today - 60 * kMinute, 0);
  TTreeNodeExt* ownDue = Channel("own-15", world.today - 15 * kMinute, 15);
  TTreeNodeExt* ownNotDue = Channel("own-14", world.today - 14.5 * kMinute, 15);
  Run().SB_NewClick(RunSender::kTimer);
  ASSERT_TRUE(Run().Running());
  EXPECT_EQ(Run().TotalCount(), 5);
  EXPECT_EQ(Run().DoneCount(), 2);  // the two that are not due count as done
  EXPECT_EQ(Run().RunningWorkerCount(), 3u);
  for (TTreeNodeExt* due : {never, globalDue, ownDue}) {
    EXPECT_EQ(due->Kind(), store::kKindUpdating) << due->Caption();
    EXPECT_EQ(due->Data()->client, world.today) << due->Caption();
  }
  for (TTreeNodeExt* notDue : {globalNotDue, ownNotDue}) {
    EXPECT_EQ(notDue->Kind(), store::kKindChannel) << notDue->Caption();
    EXPECT_NE(notDue->Data()->client, world.today) << notDue->Caption();
  }
  EXPECT_EQ(world.view.title, J("更新中･･･"));
  EXPECT_EQ(world.settings.RefreshTime, world.today);
  // The cancel gives every fetch up at once; the run ends on the next turn of the loop.
  Run().SB_NewClick(RunSender::kTimer);
  loop.RunPending();
  EXPECT_FALSE(Run().Running());
  EXPECT_EQ(never->Kind(), store::kKindChannel);
  EXPECT_EQ(world.store.Tree().ErrorLogNode(), nullptr);
  EXPECT_EQ(world.view.title, "Plover");
}

TEST_F(Scheduling, TimerRunWithNothingDueLeavesNoTrace) {
  Channel("recent", world.today - 5 * kMinute, 0);
  world.settings.RefreshTime = 45000;
  Run().SB_NewClick(RunSender::kTimer);
  EXPECT_FALSE(Run().Running());
  EXPECT_EQ(world.runsEnded, 1);
  EXPECT_EQ(world.settings.RefreshTime, 45000);
  EXPECT_TRUE(world.view.balloons.empty());
  EXPECT_EQ(world.view.title, "Plover");
  EXPECT_FALSE(world.store.DataModified());
  // The periodic timer is back on after the run (TrayRefreshMode 3).
  EXPECT_TRUE(scheduler->PeriodicTimerEnabled());
}

TEST_F(Scheduling, IdleRuleHoldsThePeriodicRunWhileBrowsing) {
  scheduler->SetPeriodicTimer(true);
  scheduler->NoteActivity();
  loop.Advance(UpdateScheduler::kTimerIntervalMs);  // exactly five minutes of quiet: not more
  EXPECT_TRUE(started.empty());
  loop.Advance(60'000);
  scheduler->NoteActivity();
  loop.Advance(UpdateScheduler::kTimerIntervalMs - 60'000);  // a tick a minute after browsing
  EXPECT_TRUE(started.empty());
  loop.Advance(UpdateScheduler::kTimerIntervalMs);
  EXPECT_EQ(started, std::vector<RunSender>{RunSender::kTimer});
  // Minimised, the tick runs whatever the browsing did.
  world.view.minimised = true;
  scheduler->NoteActivity();
  loop.Advance(UpdateScheduler::kTimerIntervalMs);
  EXPECT_EQ(started.size(), 2u);
  EXPECT_EQ(world.runsEnded, 2);
  EXPECT_TRUE(scheduler->PeriodicTimerEnabled());
}

TEST_F(Scheduling, PeriodicTimerOnlyInModeThree) {
  world.settings.TrayRefreshMode = settings::TrayMode::kResident;
  scheduler->SetPeriodicTimer(true);
  EXPECT_FALSE(scheduler->PeriodicTimerEnabled());
  world.view.minimised = true;
  scheduler->Timer_KoushinTimer();
  EXPECT_TRUE(started.empty());
  Run().SB_NewClick(RunSender::kMenu);
  EXPECT_FALSE(scheduler->PeriodicTimerEnabled());
}

TEST_F(Scheduling, PowerEvents) {
  scheduler->SetPeriodicTimer(true);
  scheduler->PowerSuspend();
  EXPECT_FALSE(scheduler->PeriodicTimerEnabled());
  EXPECT_EQ(saves, 1);
  loop.Advance(1000);
  scheduler->PowerResume();
  EXPECT_TRUE(scheduler->PeriodicTimerEnabled());
  EXPECT_EQ(scheduler->LastActivityTick(), loop.TickMs());
  world.settings.TrayRefreshMode = settings::TrayMode::kResident;
  scheduler->PowerSuspend();
  scheduler->PowerResume();
  EXPECT_FALSE(scheduler->PeriodicTimerEnabled());
}

struct StartupCase {
  const char* name;
  bool logonStart;
  int mode;                    // TrayRefreshMode as plover.ini stores it
  double minutesSinceLastRun;  // < 0: never ran
  bool repair;
  const char* expected;  // "search", "menu" or "timer"
  bool saveAndEnd;
  bool timerEnabled;
};

class StartupDecisions : public Scheduling, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupDecisions, Decide) {
  const StartupCase& c = GetParam();
  world.settings.TrayRefreshMode = static_cast<settings::TrayMode>(c.mode);
  world.settings.RefreshTime = c.minutesSinceLastRun < 0 ? 0 : world.today - c.minutesSinceLastRun * kMinute;
  const StartupDecision decision = scheduler->DecideAtStartup(c.logonStart, c.repair);
  std::string what = "search";
  if (!started.empty()) what = started.front() == RunSender::kTimer ? "timer" : "menu";
  EXPECT_EQ(what, c.expected);
  EXPECT_EQ(searchRestarts, what == "search" ? 1 : 0);
  EXPECT_EQ(decision.RunStarted, what != "search");
  EXPECT_EQ(decision.SaveAndEnd, c.saveAndEnd);
  EXPECT_EQ(scheduler->PeriodicTimerEnabled(), c.timerEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateScheduler, StartupDecisions,
    ::testing::Values(StartupCase{"LogonModeOneFreshRun", true, 1, 5, false, "search", true, false},
                      StartupCase{"LogonModeOneFreshRunRepair", true, 1, 5, true, "menu", true, false},
                      StartupCase{"LogonModeZeroNeverRan", true, 0, -1, false, "timer", true, false},
                      StartupCase{"LogonModeTwoOldRun", true, 2, 20, false, "timer", false, false},
                      StartupCase{"ModeOneOldRun", false, 1, 15, false, "menu", false, false},
                      StartupCase{"ModeThreeOldRun", false, 3, 20, false, "timer", false, true},
                      StartupCase{"ModeThreeFreshRun", false, 3, 14, false, "search", false, true},
                      StartupCase{"ModeTwo", false, 2, 600, false, "search", false, false},
                      StartupCase{"ModeZeroRepair", false, 0, 1, true, "menu", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Scheduling, OfflineQuestionAndFtpStep) {
  offline.offline = true;
  world.dialogs.Answer(false);
  Run().SB_NewClick(RunSender::kUpdateButton);
  EXPECT_EQ(world.runsEnded, 0);
  ASSERT_EQ(world.dialogs.shown.size(), 1u);
  EXPECT_EQ(world.dialogs.shown[0].text, "Plover は現在オフライン状態です オンラインにしますか？");
  // From the menus the system is switched online without a question.
  Run().SB_NewClick(RunSender::kMenu);
  EXPECT_EQ(world.runsEnded, 1);
  EXPECT_EQ(world.dialogs.shown.size(), 1u);
  EXPECT_FALSE(offline.offline);
  // The FTP step declines: no run, and the periodic timer is back on.
  ftp.decline = true;
  scheduler->SetPeriodicTimer(false);
  Run().SB_NewClick(RunSender::kMenu);
  EXPECT_EQ(world.runsEnded, 1);
  EXPECT_TRUE(scheduler->PeriodicTimerEnabled());
}

// While the user interface is locked (a dialog or another long operation holds the window)
// neither a full run nor a selected update starts; once it is free the same command works.
TEST_F(Scheduling, NothingStartsWhileTheUserInterfaceIsLocked) {
  TTreeNodeExt* channel = Channel("never", 0, 0);
  world.lock.locked = true;
  Run().SB_NewClick(RunSender::kUpdateButton);
  EXPECT_FALSE(Run().Running());
  EXPECT_EQ(world.runsEnded, 0);
  EXPECT_EQ(Run().RunningWorkerCount(), 0u);
  EXPECT_FALSE(Run().UpdateSelection(SelectionMode::kStop, channel));
  EXPECT_EQ(channel->Kind(), store::kKindChannel);
  EXPECT_TRUE(world.dialogs.shown.empty());
  world.lock.locked = false;
  EXPECT_TRUE(Run().UpdateSelection(SelectionMode::kStop, channel));
  EXPECT_EQ(channel->Kind(), store::kKindStopped);
}

TEST_F(Scheduling, StopOnAGroupAsksAndStopsEveryChannel) {
  store::TChannelTree& tree = world.store.Tree();
  TTreeNodeExt* group = tree.AddChild(tree.RootNode(), "G", store::kKindGroup);
  TTreeNodeExt* a = world.AddChannel("a", "http://example.jp/a", group);
  TTreeNodeExt* b = world.AddChannel("b", "http://example.jp/b", group);
  tree.SetNodeKind(b, store::kKindError);
  b->Data()->gonecount = 4;
  b->Data()->gonedate = 45000;
  world.dialogs.Answer(false);
  EXPECT_FALSE(Run().UpdateSelection(SelectionMode::kStop, group));
  EXPECT_EQ(a->Kind(), store::kKindChannel);
  world.dialogs.Answer(true);
  EXPECT_TRUE(Run().UpdateSelection(SelectionMode::kStop, group));
  EXPECT_EQ(world.dialogs.shown.back().text, "選択されているグループ内の全てのチャンネルの購読を中止しますか？");
  EXPECT_EQ(a->Kind(), store::kKindStopped);
  EXPECT_EQ(b->Kind(), store::kKindStopped);
  EXPECT_EQ(b->Data()->gonecount, 0);
  EXPECT_EQ(b->Data()->gonedate, 0);
  EXPECT_TRUE(world.store.DataModified());
  EXPECT_FALSE(Run().Running());
  EXPECT_EQ(world.view.title, "Plover");
  // A single channel is stopped without a question; no fetch happens either way.
  tree.SetNodeKind(a, store::kKindChannel);
  EXPECT_TRUE(Run().UpdateSelection(SelectionMode::kStop, a));
  EXPECT_EQ(a->Kind(), store::kKindStopped);
  EXPECT_EQ(world.dialogs.shown.size(), 2u);
  EXPECT_EQ(Run().RunningWorkerCount(), 0u);
}

}  // namespace
}  // namespace fetch
