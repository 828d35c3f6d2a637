// SPDX-License-Identifier: MIT
#include "app/MainController.h"

#include "app/DataFolder.h"
#include "app/DefaultListOffer.h"
#include "app/EmbeddedFiles.h"
#include "formats/FeedDate.h"
#include "present/HeadlineColumns.h"
#include "settings/SaveAll.h"
#include "store/DataRepair.h"
#include "store/LocalClock.h"

namespace app {
namespace {

double LocalNow() {
  return store::LocalDayNumber(std::time(nullptr));
}

// The built-in screen layout that a layout reset puts back.
std::string_view DefaultLayoutText() {
  const EmbeddedFile* file = FindEmbeddedFile("plover.ini");
  return file != nullptr ? file->Bytes() : std::string_view();
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
    settings::SaveAllSettings(session_.IniFileName(), session_.Settings(), session_.SettingsState(), views_.Layout,
                              session_.Dialogs(), DefaultLayoutText());
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

void MainController::SwitchViewMode(int requested) {
  int& mode = session_.Settings().FormViewMode;
  const int oldMode = mode;
  const int newMode = ToggledViewMode(oldMode, requested);
  if (newMode == oldMode) return;
  mode = newMode;
  views_.Modes.ApplyViewMode(oldMode, newMode);
  list_.ShowNode(list_.SelectedNode(), true);
}

void MainController::CycleReadFilter() {
  list_.SetReadFilter((list_.ReadFilter() + 1) % (present::kReadFilterProtected + 1));
}

void MainController::CycleDateFilter() {
  const int choices = static_cast<int>(present::kDateFilterDays.size());
  list_.SetDateFilterIndex((present::DateFilterIndex(list_.DateFilter()) + 1) % choices);
}

store::RepairContext MainController::MakeRepairContext() {
  return store::RepairContext{session_.DataFolder(), session_.Dialogs(), session_.Store(),
                              session_.DataFile(),   session_.Journal(), repairWindow_};
}

bool MainController::RepairAvailable() const {
  return !run_.Running() && store::RepairMenuOpened(session_.DataFolder());
}

void MainController::RepairFromBackups() {
  store::RepairContext context = MakeRepairContext();
  store::RepairFromBackups(context);
}

void MainController::RepairFromChosenBackup() {
  store::RepairContext context = MakeRepairContext();
  store::RepairFromChosenBackup(context);
}

bool MainController::CloseRequested() {
  lifecycle_.FormCloseQuery();
  return lifecycle_.FormClose();
}

}  // namespace app
