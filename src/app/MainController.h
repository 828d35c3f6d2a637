// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include "app/AddChannelDialog.h"
#include "app/ChannelProperties.h"
#include "app/ChannelRegistrar.h"
#include "app/DataAutoSave.h"
#include "app/DataSession.h"
#include "app/KeywordBox.h"
#include "app/MainLifecycle.h"
#include "app/MainWindowView.h"
#include "app/Startup.h"
#include "app/UpdateAssembly.h"
#include "app/ViewModes.h"
#include "fetch/ModifierKeys.h"
#include "fetch/UpdateRun.h"
#include "fetch/UpdateRunView.h"
#include "fetch/UpdateScheduler.h"
#include "platform/EventLoop.h"
#include "platform/UiLock.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "present/Styles.h"
#include "present/SummaryPages.h"
#include "search/SearchCount.h"
#include "settings/SaveAllHost.h"
#include "shell/BrowserTabs.h"
#include "shell/HeadlinePageCommands.h"
#include "shell/NoOfflineCopies.h"
#include "shell/OtherBrowser.h"
#include "shell/SummaryDisplay.h"
#include "store/ItemStates.h"
#include "store/SearchCountControl.h"
#include "store/TreeEditor.h"
#include "store/journal/DataRepair.h"

namespace app {

// The window's parts as the controllers see them. The desktop program implements them
// with its widgets; tests record what they are asked.
struct MainViews {
  MainWindowView& Window;
  fetch::UpdateRunView& Run;
  present::HeadlineView& Headlines;
  shell::BrowserTabsView& Tabs;
  shell::BrowserTabsHost& TabsHost;
  shell::SummaryPageServer& PageServer;
  shell::PageCommandsHost& Commands;
  store::TreeEditHost& TreeHost;
  fetch::ModifierKeys& Keys;
  ViewModeView& Modes;
  settings::SaveAllHost& Layout;
  // Held while an update run or a dialog has the window: the tree editor, the headline
  // list, the update run and the registration dialog all ask this one lock.
  const platform::UiLock& Lock;
};

// The rules the window's widgets work with. The controller hands them to the window once,
// when it has made them: each widget keeps the references it uses for as long as the
// controller lives, instead of reaching through the controller for them.
struct MainParts {
  present::HeadlineList& Headlines;
  shell::BrowserTabs& Tabs;
  present::PageDisplay& Display;
  present::Styles& Styles;
  store::TreeEditor& Editor;
  KeywordBox& Keywords;
  ChannelProperties& Properties;
};

// The rules behind the main window, wired together: the data session, the main window's
// lifecycle, the update run and its scheduling, the headline list, the item states and
// the tree editor. The window only forwards the user's actions here and shows what the
// parts tell it through its views.
class MainController {
 public:
  // `partsMade` is called at the end of the construction with the controller and its
  // parts, so that the window can give its widgets what they work with.
  using PartsMade = std::function<void(MainController& controller, const MainParts& parts)>;
  MainController(platform::EventLoop& loop, DataSession& session, const StartupState& startup, MainViews views,
                 const PartsMade& partsMade = {});
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;
  ~MainController();

  // The window was created: the lifecycle takes over (first show, start-up timer, data).
  void Start();

  // The update button and the menus ("更新", "全て更新"): a full run, or the cancel of the
  // one in progress.
  void UpdateAll(fetch::RunSender sender) { update_.Run().SB_NewClick(sender); }
  // The selected update, stop and resume of the channels under the selected node.
  void UpdateSelection(fetch::SelectionMode mode);

  // The tree's selection moved: the leave rule, then the new node's headlines.
  void TreeSelectionChanged(store::TTreeNodeExt* node);

  // The window's close button: true when the program ends, false when the window only went
  // into the notification area.
  bool CloseRequested();
  // "終了(&X)" of the notification area's menu, or the end of the desktop session.
  void EndProgram() { lifecycle_.Mn_TrayEndClick(); }

  // The mode buttons: list, browser or view mode on, or back to standard mode.
  void SwitchViewMode(int requested);

  // The summary page once more, e.g. with another style: the current view-mode page, the
  // selected headline, or the selected node's message.
  void RenderSummaryAgain();

  // The filter shortcuts: the read-state and date filters move to their next choice,
  // from the last back to the first.
  void CycleReadFilter();
  void CycleDateFilter();

  // The submenu "データの修復(&B)": whether its commands may run, and the two commands.
  bool RepairAvailable() const;
  void RepairFromBackups();
  void RepairFromChosenBackup();

  void PowerSuspend() { scheduler_.PowerSuspend(); }
  void PowerResume() { scheduler_.PowerResume(); }
  // Browsing in the embedded browser postpones the periodic update.
  void BrowsingActivity() { scheduler_.NoteActivity(); }

  // The parts as tests look at them; the window is handed what it needs at construction.
  MainLifecycle& Lifecycle() { return lifecycle_; }
  fetch::UpdateRun& Run() { return update_.Run(); }
  present::HeadlineList& Headlines() { return list_; }
  shell::BrowserTabs& Tabs() { return tabs_; }
  store::TreeEditor& Editor() { return editor_; }
  ChannelProperties& Properties() { return properties_; }

  // Registering channels. The window supplies the registration form and the rest of what
  // the dialog needs of it; without it no dialog opens.
  void SetAddChannelHost(AddChannelHost* host) { addChannelHost_ = host; }
  // The dialog for an address (a "feed:" link, a feed the page announced): registered
  // under the root. True when a channel was registered.
  bool AddChannel(const std::string& address);
  // The add command: the dialog with the first feed the active tab found, registering
  // next to the selected node.
  bool AddChannelCommand();
  // Text or a file dropped on the tree over `node`: the dialog with that address. Only
  // drops on the user's tree count. `file` is a file name; an Internet shortcut gives the
  // address it points to.
  bool DropOnTree(const std::string& dropped, bool file, store::TTreeNodeExt* node);

 private:
  LifecycleHooks MakeLifecycleHooks();
  fetch::UpdateRunHooks MakeRunHooks();
  fetch::SchedulerHooks MakeSchedulerHooks();
  store::RepairContext MakeRepairContext();
  present::PageServices MakePageServices();
  shell::PageCommandServices MakeCommandServices();
  bool RunAddChannelDialog(const std::string& address, store::TTreeNodeExt* node);

  // What registration shows goes to the window's parts.
  class RegistrationWindow : public fetch::RegistrationView {
   public:
    explicit RegistrationWindow(MainController& owner) : owner_(owner) {}
    store::TTreeNodeExt* SelectedNode() const override { return owner_.views_.Run.SelectedNode(); }
    void SelectNode(store::TTreeNodeExt* node) override { owner_.views_.Headlines.SelectTreeNode(node); }
    void ReloadItemList() override { owner_.views_.Run.ReloadItemList(); }
    void SetCursor(fetch::RunCursor cursor) override { owner_.views_.Run.SetCursor(cursor); }
    void ShowBalloon(const std::string& title, const std::string& text) override {
      owner_.views_.Run.ShowBalloon(title, text);
    }

   private:
    MainController& owner_;
  };

  // Fetches with the HTTP settings as they are at the moment of the fetch (the settings
  // are loaded after the controller is made).
  class CurrentSettingsWeb : public formats::DocumentSource {
   public:
    explicit CurrentSettingsWeb(settings::Settings& settings) : settings_(settings) {}
    formats::FetchResult FetchDocument(const formats::FetchRequest& request) override;

   private:
    settings::Settings& settings_;
  };

  // The repair commands' window: the search count stops, the root is shown.
  class RepairWindow : public store::RepairHost {
   public:
    explicit RepairWindow(MainController& owner) : owner_(owner) {}
    void StopSearchCount() override { owner_.searchCount_.Stop(); }
    void ShowRoot() override {
      // The repair has loaded other data: its web archives are checked before it is shown.
      owner_.session_.CheckWebArchives();
      owner_.views_.Window.SelectRootNode();
      // The loaded data is counted afresh whether or not the root was shown already.
      owner_.searchCount_.Restart();
    }

   private:
    MainController& owner_;
  };

  DataSession& session_;
  const StartupState& startup_;
  MainViews views_;
  store::ItemStateContext states_;
  search::SearchCount searchCount_;
  store::TreeEditor editor_;
  present::KeywordListQuery query_;
  CurrentSettingsWeb web_;
  present::Styles styles_;
  shell::SummaryDisplay display_;
  present::SummaryPages pages_;
  present::HeadlineList list_;
  KeywordBox keywordBox_{session_.Settings(), list_};
  // The update run and the parts it shares with the page commands and registration.
  UpdateAssembly update_;
  shell::HeadlinePageCommands commands_;
  shell::OtherBrowser otherBrowser_;
  shell::NoOfflineCopies offlineCopies_;
  shell::BrowserTabs tabs_;
  fetch::UpdateScheduler scheduler_;
  DataAutoSave autoSave_;
  MainLifecycle lifecycle_;
  RepairWindow repairWindow_{*this};
  RegistrationWindow registrationWindow_{*this};
  ChannelRegistrar registrar_{session_, RegistrarParts{session_.Dialogs(), web_, registrationWindow_, &update_.Html(),
                                                       &update_.Media(), &update_.HandOver()}};
  ChannelProperties properties_{session_.Settings(), session_.Store(), session_.Dialogs(), session_.Xml(), web_};
  AddChannelHost* addChannelHost_ = nullptr;
};

}  // namespace app
