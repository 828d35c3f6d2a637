// SPDX-License-Identifier: MIT
#include "app/MainController.h"

#include "app/DataFolder.h"
#include "app/DefaultListOffer.h"
#include "formats/FeedDate.h"
#include "settings/SettingsStore.h"
#include "store/LocalClock.h"

namespace app {
namespace {

double LocalNow() {
  return store::LocalDayNumber(std::time(nullptr));
}

}  // namespace

MainController::MainController(platform::EventLoop& loop, DataSession& session, const StartupState& startup,
                               MainViews views)
    : session_(session),
      startup_(startup),
      views_(views),
      states_(session.Store(), &session.Journal()),
      editor_(states_, session.Dialogs(), searchCount_, views.TreeHost),
      query_(session.Settings()),
      list_(present::HeadlineServices{states_, editor_, session.Settings(), loop, session.Dialogs(), searchCount_,
                                      views.Headlines, views.Pages, views.Opener, query_, session.DataFolder(),
                                      LocalNow}),
      html_(formats::HtmlToFeedServices{session.Settings(), exceptions_, session.DataFolder(), {}, {}}),
      launcher_(platform::MakeProcessLauncher()),
      handOver_(formats::MediaHandOver::kProgramFilesFolder, AppDataFolder(ProcessEnvironment()), *launcher_),
      run_(MakeRunServices(loop), views.Run, MakeRunHooks()),
      scheduler_(loop, session.Settings(), MakeSchedulerHooks()),
      lifecycle_(loop, session, startup, views.Window, MakeLifecycleHooks()) {}

MainController::~MainController() = default;

fetch::UpdateRunServices MainController::MakeRunServices(platform::EventLoop& loop) {
  fetch::UpdateRunServices services{loop,           session_.Store(),     session_.Settings(), session_.Dialogs(),
                                    session_.Xml(), session_.DataFolder()};
  services.Journal = &session_.Journal();
  services.Html = &html_;
  services.Media = &media_;
  services.HandOver = &handOver_;
  services.Keys = &views_.Keys;
  services.LocalZoneHours = formats::LocalZoneHours();
  return services;
}

fetch::UpdateRunHooks MainController::MakeRunHooks() {
  fetch::UpdateRunHooks hooks;
  hooks.SaveEverything = [this] { lifecycle_.SaveEverything(false, false, false); };
  hooks.StopSearchCount = [this] { searchCount_.Stop(); };
  hooks.RestartSearchCount = [this] { searchCount_.Restart(); };
  hooks.PeriodicTimer = [this](bool enable) { scheduler_.SetPeriodicTimer(enable); };
  hooks.RunEnded = [this] { lifecycle_.UpdateRunEnded(); };
  hooks.ProgramTitle = session_.Settings().ProgramTitle;
  return hooks;
}

fetch::SchedulerHooks MainController::MakeSchedulerHooks() {
  fetch::SchedulerHooks hooks;
  hooks.StartRun = [this](fetch::RunSender sender) { run_.SB_NewClick(sender); };
  hooks.RestartSearchCount = [this] { searchCount_.Restart(); };
  hooks.SaveEverything = [this] { lifecycle_.SaveEverything(false, false, false); };
  hooks.Minimised = [this] { return views_.Window.IsMinimised(); };
  return hooks;
}

LifecycleHooks MainController::MakeLifecycleHooks() {
  LifecycleHooks hooks;
  hooks.LoadExceptionList = [this] { exceptions_ = formats::HtmlExceptionList::Load(session_.DataFolder()); };
  hooks.DataLoaded = [this] { list_.SetStoreLoaded(true); };
  hooks.StartupFinished = [this] { list_.SetStartupFinished(true); };
  hooks.OfferDefaultList = [this] { OfferDefaultList(session_); };
  hooks.StartupUpdateDecision = [this] {
    return scheduler_.DecideAtStartup(startup_.StartedAtLogon, session_.Journal().RepairUpdatePending()).RunStarted;
  };
  hooks.SaveAllSettings = [this] {
    settings::SaveSettings(session_.IniFileName(), session_.Settings(), session_.SettingsState());
  };
  hooks.CancelFetches = [this] { run_.Cancel(); };
  hooks.ApplyLeaveRule = [this] { list_.LeaveNode(nullptr); };
  hooks.MarkListClosing = [this] { list_.SetShuttingDown(true); };
  hooks.StopSearchCount = [this] { searchCount_.Stop(); };
  return hooks;
}

void MainController::Start() {
  lifecycle_.FormCreate();
  list_.SetWindowReady(true);
}

void MainController::UpdateSelection(fetch::SelectionMode mode) {
  run_.UpdateSelection(mode, list_.SelectedNode());
}

void MainController::TreeSelectionChanged(store::TTreeNodeExt* node) {
  list_.SelectNode(node);
}

bool MainController::CloseRequested() {
  lifecycle_.FormCloseQuery();
  return lifecycle_.FormClose();
}

}  // namespace app
