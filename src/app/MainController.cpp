// SPDX-License-Identifier: MIT
#include "app/MainController.h"

#include "app/private/DefaultListOffer.h"
#include "app/private/EmbeddedFiles.h"
#include "fetch/HttpDocumentSource.h"
#include "platform/Ascii.h"
#include "present/HeadlineColumns.h"
#include "settings/SaveAll.h"
#include "store/LocalClock.h"
#include "store/journal/DataRepair.h"

namespace app {
namespace {

// Where the desktop serves the program's own pages and the files of system/.
const std::string kPageAddress = "plover://page/";

// The folders where a program named without a folder is looked for.
std::string SearchPath() {
  const char* path = std::getenv("PATH");
  return path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
}

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
                               MainViews views, const PartsMade& partsMade)
    : session_(session),
      startup_(startup),
      views_(views),
      states_(session.Store(), &session.Journal()),
      searchCount_(loop, session.Store().Tree(), session.Settings()),
      editor_(states_, session.Dialogs(), searchCount_, views.TreeHost, views.Lock),
      query_(session.Settings()),
      web_(session.Settings()),
      styles_(session.Settings(), session.Dialogs(), web_, startup.ProgramFolder, session.DataFolder(),
              [this] { RenderSummaryAgain(); }),
      display_(tabs_, views.PageServer),
      pages_(MakePageServices()),
      list_(present::HeadlineServices{states_, editor_, session.Settings(), loop, session.Dialogs(), searchCount_,
                                      views.Headlines, pages_, tabs_, query_, views.Lock, LocalNow}),
      update_(loop, session, UpdateFrontEnd{views.Run, views.Keys, session.Dialogs(), views.Lock, MakeRunHooks()}),
      commands_(MakeCommandServices()),
      otherBrowser_(update_.Launcher(), SearchPath()),
      tabs_(shell::BrowserTabsServices{session.Settings(), loop, session.Dialogs(), views.Tabs, views.TabsHost,
                                       commands_, offlineCopies_, otherBrowser_, session.DataFolder()}),
      scheduler_(loop, session.Settings(), MakeSchedulerHooks()),
      autoSave_(loop, session, [this] { return update_.Run().Running(); }),
      lifecycle_(loop, session, startup, views.Window, MakeLifecycleHooks()) {
  if (partsMade) partsMade(*this, MainParts{list_, tabs_, display_, styles_, editor_, keywordBox_, properties_});
}

MainController::~MainController() = default;

present::PageServices MainController::MakePageServices() {
  // The pages reach the program's images and styles through the desktop's page scheme.
  styles_.SetPaths(
      present::StylePaths{kPageAddress + "program/", kPageAddress + "system/", kPageAddress + "system/styles/"});
  const present::StylePaths& paths = styles_.Paths();
  present::PageServices services{session_.Settings(),
                                 styles_,
                                 display_,
                                 tabs_,
                                 states_,
                                 searchCount_,
                                 session_.Dialogs(),
                                 present::PageLocations{paths.ProgramPath, paths.SystemPath, paths.StylesPath}};
  services.podhallInstalled = [this] { return update_.HandOver().PodhallInstalled(); };
  return services;
}

shell::PageCommandServices MainController::MakeCommandServices() {
  shell::PageCommandServices services{session_.Settings(), session_.Dialogs(), states_,        list_, pages_, display_,
                                      update_.Media(),     update_.HandOver(), views_.Commands};
  services.installStyle = [this](const std::string& address, bool shiftHeld) {
    return styles_.InstallStyleFromWeb(address, shiftHeld);
  };
  services.systemUrl = styles_.Paths().SystemPath;
  return services;
}

formats::FetchResult MainController::CurrentSettingsWeb::FetchDocument(const formats::FetchRequest& request) {
  fetch::HttpDocumentSource network(fetch::HttpSettings::FromSettings(settings_, fetch::AgentKind::kMain));
  return network.FetchDocument(request);
}

bool MainController::RunAddChannelDialog(const std::string& address, store::TTreeNodeExt* node) {
  if (addChannelHost_ == nullptr) return false;
  AddChannelServices services{session_.Settings(), session_.Store(), session_.Dialogs(), registrar_.Registration(),
                              searchCount_,        *addChannelHost_, views_.Lock};
  services.CheckOffline = [this](bool ask) { return update_.Run().CheckOffline(ask); };
  services.PeriodicTimer = [this](bool enable) { scheduler_.SetPeriodicTimer(enable); };
  services.FoundFeeds = [this] { return tabs_.ActiveFoundFeeds(); };
  services.PodhallInstalled = [this] { return update_.HandOver().PodhallInstalled(); };
  return AddChannelDialog(services).Run(address, node, false, false);
}

bool MainController::AddChannel(const std::string& address) {
  return RunAddChannelDialog(address, nullptr);
}

bool MainController::AddChannelCommand() {
  std::string first;
  for (const std::string& feed : tabs_.ActiveFoundFeeds()) {
    if (feed != shell::kFoundFeedSeparator) {
      first = feed;
      break;
    }
  }
  return RunAddChannelDialog(first, views_.Run.SelectedNode());
}

bool MainController::DropOnTree(const std::string& dropped, bool file, store::TTreeNodeExt* node) {
  store::TTreeNodeExt* root = session_.Tree().RootNode();
  if (node == nullptr || !node->IsSameOrBelow(root)) return false;
  std::string address = dropped.substr(0, dropped.find('\0'));
  if (file && platform::EndsWithAsciiNoCase(address, ".url")) {
    if (std::optional<std::string> target = ReadInternetShortcut(address)) address = *target;
  }
  if (!RunAddChannelDialog(address, views_.Run.SelectedNode())) return false;
  list_.ShowNode(list_.SelectedNode(), true);
  return true;
}

void MainController::RenderSummaryAgain() {
  if (session_.Settings().FormViewMode == kViewMode) {
    pages_.RenderViewPage(list_.Page());
    return;
  }
  const int row = list_.FocusedRow();
  if (row >= 0 && list_.SelectedCount() == 1) {
    pages_.RenderSummaryPage(*list_.Item(static_cast<size_t>(row)));
  } else {
    pages_.RenderMessagePage(list_.SelectedNode());
  }
}

fetch::UpdateRunHooks MainController::MakeRunHooks() {
  fetch::UpdateRunHooks hooks;
  hooks.SaveEverything = [this] { lifecycle_.SaveEverything(false, false, false); };
  hooks.StopSearchCount = [this] { searchCount_.Stop(); };
  hooks.RestartSearchCount = [this] { searchCount_.Restart(); };
  hooks.PeriodicTimer = [this](bool enable) { scheduler_.SetPeriodicTimer(enable); };
  hooks.RunEnded = [this] {
    // A count the run stopped is owed a fresh one even when the run changed nothing.
    if (searchCount_.Interrupted()) searchCount_.Restart();
    autoSave_.RunEnded();
    // The run put back the status text it found; the tree may have changed since.
    list_.StatusText();
    lifecycle_.UpdateRunEnded();
  };
  return hooks;
}

fetch::SchedulerHooks MainController::MakeSchedulerHooks() {
  fetch::SchedulerHooks hooks;
  hooks.StartRun = [this](fetch::RunSender sender) { update_.Run().SB_NewClick(sender); };
  hooks.RestartSearchCount = [this] { searchCount_.Restart(); };
  hooks.SaveEverything = [this] { lifecycle_.SaveEverything(false, false, false); };
  hooks.Minimised = [this] { return views_.Run.Minimised(); };
  return hooks;
}

LifecycleHooks MainController::MakeLifecycleHooks() {
  LifecycleHooks hooks;
  hooks.LoadExceptionList = [this] { update_.LoadExceptionList(); };
  hooks.DataLoaded = [this] {
    list_.SetStoreLoaded(true);
    autoSave_.Arm();
    // The saved searches are counted for the data just loaded (the start-up selection
    // may come before anything else restarts the count).
    searchCount_.Restart();
  };
  hooks.StartupFinished = [this] { list_.SetStartupFinished(true); };
  hooks.OfferDefaultList = [this] {
    if (OfferDefaultList(session_)) searchCount_.Restart();
  };
  hooks.StartupUpdateDecision = [this] {
    return scheduler_.DecideAtStartup(startup_.StartedAtLogon, session_.Journal().RepairUpdatePending()).RunStarted;
  };
  hooks.SaveAllSettings = [this] {
    settings::SaveAllSettings(session_.IniFileName(), session_.Settings(), session_.SettingsState(), views_.Layout,
                              session_.Dialogs(), DefaultLayoutText());
  };
  hooks.CancelFetches = [this] { update_.Run().Cancel(); };
  hooks.ApplyLeaveRule = [this] { list_.LeaveNode(nullptr); };
  hooks.RestoreTabs = [this] { tabs_.RestoreTabs(); };
  hooks.SaveTabs = [this] { tabs_.SaveTabs(); };
  hooks.MarkListClosing = [this] {
    autoSave_.Disarm();
    list_.SetShuttingDown(true);
    searchCount_.SetShuttingDown(true);
  };
  hooks.StopSearchCount = [this] { searchCount_.Stop(); };
  hooks.Minimised = [this] { return views_.Run.Minimised(); };
  return hooks;
}

void MainController::Start() {
  pages_.SetHeadlineList(&list_);
  properties_.SetAppliedHook([this] { autoSave_.NoteChange(); });
  properties_.SetMediaProgramCheck([this] { return update_.HandOver().PodhallInstalled(); });
  // A search item with a new caption is listed again when it is the one shown.
  searchCount_.SetCaptionRefresh([this](store::TTreeNodeExt* node) {
    if (list_.SelectedNode() == node) list_.ShowNode(node, false);
  });
  // The first tab, on the summary, exists before the window's life begins.
  tabs_.Start();
  lifecycle_.FormCreate();
  keywordBox_.LoadHistory();
  // The settings are loaded now: the tab row and the views follow them.
  tabs_.ApplySettings();
  list_.SetWindowReady(true);
}

void MainController::UpdateSelection(fetch::SelectionMode mode) {
  update_.Run().UpdateSelection(mode, list_.SelectedNode());
}

void MainController::TreeSelectionChanged(store::TTreeNodeExt* node) {
  list_.SelectNode(node);
}

void MainController::SwitchViewMode(int requested) {
  int& mode = session_.Settings().FormViewMode;
  const int oldMode = mode;
  const int newMode = static_cast<int>(ToggledViewMode(settings::ViewModeOf(oldMode), settings::ViewModeOf(requested)));
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
  return !update_.Run().Running() && store::RepairMenuOpened(session_.DataFolder());
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
