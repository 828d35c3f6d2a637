// SPDX-License-Identifier: MIT
// The rules behind the main window wired together, without a window: a start that
// updates against a server on the loopback address, the headline list of the result, and
// the end that saves it.
#include <gtest/gtest.h>

#include <memory>

#include "app/MainController.h"
#include "platform/Files.h"
#include "present/HeadlineColumns.h"
#include "present/HeadlineFakes.h"
#include "search/SearchCount.h"
#include "settings/IniFile.h"
#include "shell/PageAddress.h"
#include "shell/TabsFakes.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace app {
namespace {

class QuietWindow : public MainWindowView {
 public:
  void SetTitle(const std::string&) override {}
  void ApplyStoredLayout() override {}
  void ShowWindow() override { shown = true; }
  void HideWindow() override {}
  void MinimiseToTray() override {}
  void ShowTrayIcon(bool) override {}
  void StopTrayAnimation() override {}
  void SelectRootNode() override { ++rootShown; }
  void StopViewTimers() override {}
  void CloseAllTabs() override {}
  void EndApplication() override { ended = true; }
  bool shown = false;
  bool ended = false;
  int rootShown = 0;
};

// The page scheme keeps the last page; the page commands' window knows nothing.
class KeptPage : public shell::SummaryPageServer {
 public:
  void ServeSummaryPage(const std::string& html) override { page = html; }
  std::string page;
};

class QuietCommandsHost : public shell::PageCommandsHost {
 public:
  bool ShiftHeld() const override { return false; }
  bool CtrlHeld() const override { return false; }
  bool AltHeld() const override { return false; }
  bool ActiveViewShowsSummary() const override { return true; }
  void SetPageImage(const std::string&, const std::string&, const std::string&) override {}
  void OpenOptionMenu(store::TSiteRecord&) override {}
  void OpenAddChannel(const std::string&) override {}
  std::vector<std::string> DiscoveredFeeds(shell::ViewId) const override { return {}; }
};

class RecordingModes : public ViewModeView {
 public:
  void ApplyViewMode(int oldMode, int newMode) override { calls.emplace_back(oldMode, newMode); }
  std::vector<std::pair<int, int>> calls;
};

// The window as the save-all sees it: the layout it writes is one marker key.
class MarkerLayout : public settings::SaveAllHost {
 public:
  std::vector<int> ListColumnWidths() override { return {}; }
  std::vector<std::string> AddressBoxItems() override { return {}; }
  std::vector<std::string> KeywordBoxItems() override { return {}; }
  std::optional<std::string> CurrentThemeName() override { return std::nullopt; }
  void WriteLayout(settings::IniFile& ini) override { ini.WriteInteger("Sz_RssMainForm", "szWidth", 640); }
  bool SaveCustomLists() override { return true; }
};

constexpr char kFeed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>ニュース</title>"
    "<link>http://example.jp/</link><item><title>一</title><link>http://example.jp/1</link></item>"
    "<item><title>二</title><link>http://example.jp/2</link></item></channel></rss>";

class MainControllerTest : public testing::Test {
 protected:
  MainControllerTest() {
    server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFeed, "application/rss+xml");
    });
    server.Start();
  }

  // A saved data folder with one channel on the test server; the program updates at start.
  void MakeFolder() {
    testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=1\r\n");
    DataSession earlier(dir.Path(), loop, dialogs);
    ASSERT_TRUE(earlier.Open(DataAccess::kReadWrite));
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = server.Url("/feed.xml");
    earlier.Tree().AddChild(earlier.Tree().RootNode(), "feed", store::kKindChannel, std::move(list));
    earlier.Store().SetModified();
    ASSERT_EQ(earlier.Save(false), store::SaveResult::kSaved);
    earlier.Close();
  }

  // Saved searches with these captions after the channel of MakeFolder. `crashed` leaves
  // the journal a run that did not end cleanly leaves.
  void AddSearchItems(const std::vector<std::string>& captions, bool crashed) {
    DataSession earlier(dir.Path(), loop, dialogs);
    ASSERT_TRUE(earlier.Open(DataAccess::kReadWrite));
    for (const std::string& caption : captions) {
      earlier.Tree().AddChild(earlier.Tree().RootNode(), caption, store::kKindSearch);
    }
    earlier.Store().SetModified();
    ASSERT_EQ(earlier.Save(false), store::SaveResult::kSaved);
    if (crashed) {
      earlier.Journal().WriteJournal("x", 1, true);
    } else {
      earlier.Close();
    }
  }

  // The program's start with the update of TrayRefreshMode 1, run to its end.
  void StartAndUpdate(MainController& controller) {
    controller.Start();
    loop.Advance(1);
    ASSERT_TRUE(controller.Run().Running());
    RunUntilIdle(controller);
  }

  // The unread count of a search item once the count has run: the debounce timer starts
  // it, and the loop then runs until the worker's result has reached the tree.
  int32_t CountedUnread(const store::TTreeNodeExt* search) {
    loop.Advance(search::SearchCount::kDebounceMs);
    loop.RunUntil([&] { return search->UnreadTotal() != 0; });
    return search->UnreadTotal();
  }

  // Runs the loop until the update run is over. The clock stands still meanwhile: the
  // run ends when its fetches' results arrive from the workers, never on a time-out of
  // the fake clock, however slow the machine.
  void RunUntilIdle(MainController& controller) {
    loop.RunUntil([&] { return !controller.Run().Running(); });
  }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  testsupport::LoopbackServer server;
  QuietWindow window;
  fetch::UpdateRunView runView;
  present::testing::FakeView headlines;
  shell::testing::FakeTabsView tabView;
  int tabsViewMode = 1;
  shell::testing::FakeHost tabsHost{tabsViewMode};
  KeptPage pageServer;
  QuietCommandsHost commandsHost;
  store::TreeEditHost treeHost;
  fetch::ModifierKeys keys;
  RecordingModes modes;
  MarkerLayout layout;
  testsupport::ManualUiLock lock;
  MainViews Views() { return Views(tabView); }
  // A second controller in one test needs views of its own for its tabs.
  MainViews Views(shell::testing::FakeTabsView& tabs) {
    return MainViews{window,       runView,  headlines, tabs,  tabsHost, pageServer,
                     commandsHost, treeHost, keys,      modes, layout,   lock};
  }
};

TEST_F(MainControllerTest, AStartUpdatesShowsTheHeadlinesAndTheEndSavesThem) {
  MakeFolder();
  StartupState startup;
  DataSession session(dir.Path(), loop, dialogs);
  MainController controller(loop, session, startup, Views());
  controller.Start();
  EXPECT_TRUE(window.shown);
  loop.Advance(1);  // the start-up timer: data, then the update of TrayRefreshMode 1
  ASSERT_TRUE(controller.Lifecycle().DataLoaded());
  ASSERT_TRUE(controller.Run().Running());
  RunUntilIdle(controller);
  EXPECT_EQ(server.Requests().size(), 1u);

  store::TTreeNodeExt* root = session.Tree().RootNode();
  EXPECT_EQ(root->UnreadTotal(), 2);
  controller.TreeSelectionChanged(root);
  EXPECT_EQ(controller.Headlines().RowCount(), 2u);
  EXPECT_EQ(headlines.rows, 2u);
  // The selected headline may have been read already (the read delay of the settings).
  const int32_t unread = root->UnreadTotal();

  EXPECT_TRUE(controller.CloseRequested());  // TrayRefreshMode 1 ends on close
  EXPECT_TRUE(window.ended);
  EXPECT_FALSE(testsupport::FileExists(dir / "system/recovery.dat"));
  DataSession next(dir.Path(), loop, dialogs);
  ASSERT_TRUE(next.Open(DataAccess::kReadOnly));
  EXPECT_EQ(next.Tree().RootNode()->ItemTotal(), 2);
  EXPECT_EQ(next.Tree().RootNode()->UnreadTotal(), unread);
  EXPECT_NE(next.Settings().RefreshTime, 0);  // the settings were saved with the run's time
}

TEST_F(MainControllerTest, AnUpdateRunReportsAlertsAndTheSearchItemsAreCounted) {
  MakeFolder();
  AddSearchItems({text::J("二 三"), text::J("!一")}, false);
  StartupState startup;
  DataSession session(dir.Path(), loop, dialogs);
  MainController controller(loop, session, startup, Views());
  StartAndUpdate(controller);
  EXPECT_NE(controller.Run().LastSummary().find(text::J("検索キーワードに一致する項目が 1 件ありました。")),
            std::string::npos);

  // The run changed items, so the saved searches are counted afresh on the worker.
  store::TTreeNodeExt* search = session.Tree().RootNode()->Child(1);
  ASSERT_TRUE(search->IsSearchItem());
  EXPECT_EQ(CountedUnread(search), 1);
  EXPECT_EQ(session.Tree().DisplayedCaption(search), text::J("二 三 (1)"));
  EXPECT_EQ(session.Tree().RootNode()->Child(2)->UnreadTotal(), 0);
  EXPECT_TRUE(controller.CloseRequested());
}

// A started controller on a folder holding two channels with an item each, no update at
// start.
class StartedControllerTest : public MainControllerTest {
 protected:
  StartedControllerTest() {
    controller.Start();
    loop.Advance(1);
    Channel("B channel", "older", 40000);
    Channel("A channel", "newer", 40001);
    controller.TreeSelectionChanged(session.Tree().RootNode());
  }

  void Channel(const std::string& caption, const std::string& title, double modified) {
    auto list = std::make_unique<store::TSiteList>();
    list->Site.title = caption;
    store::TTreeNodeExt* node =
        session.Tree().AddChild(session.Tree().RootNode(), caption, store::kKindChannel, std::move(list));
    store::TSiteRecord item;
    item.title = title;
    item.desc = "about " + title;
    item.link = "http://example.jp/" + title;
    item.modified = modified;
    session.Store().AddItemToChannel(*node->Data(), item);
  }

  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (size_t row = 0; row < controller.Headlines().RowCount(); ++row)
      titles.push_back(controller.Headlines().Item(row)->title);
    return titles;
  }

  // The settings file is read when the session is made.
  static bool WriteSettings(const testsupport::TempDir& folder) {
    testsupport::WriteFile(folder / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=0\r\nKidokuTime=-1\r\n");
    return true;
  }

  StartupState startup;
  bool settingsWritten = WriteSettings(dir);
  DataSession session{dir.Path(), loop, dialogs};
  MainController controller{loop, session, startup, Views()};
};

TEST_F(StartedControllerTest, AModeButtonSwitchesBetweenItsModeAndStandardAndReSortsTheList) {
  // Standard mode sorts by state, newest first; view mode groups by channel, oldest first.
  EXPECT_EQ(Titles(), (std::vector<std::string>{"newer", "older"}));
  controller.SwitchViewMode(kViewMode);
  EXPECT_EQ(session.Settings().FormViewMode, kViewMode);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"newer", "older"}));  // "A channel" first
  session.Settings().EvwSortUpDown = false;
  controller.SwitchViewMode(kListMode);
  controller.SwitchViewMode(kListMode);
  EXPECT_EQ(session.Settings().FormViewMode, kStandardMode);
  controller.SwitchViewMode(kBrowserMode);
  controller.SwitchViewMode(kViewMode);
  EXPECT_EQ(modes.calls, (std::vector<std::pair<int, int>>{{1, 4}, {4, 2}, {2, 1}, {1, 3}, {3, 4}}));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"older", "newer"}));  // view mode now descending
}

TEST_F(StartedControllerTest, ASelectedHeadlineIsServedAsTheSummaryOfTheActiveTab) {
  const size_t before = tabView.navigations.size();  // the first tab, the root's message
  controller.Headlines().SelectRow(0, true);
  EXPECT_NE(pageServer.page.find("about newer"), std::string::npos);
  ASSERT_EQ(tabView.navigations.size(), before + 1);
  EXPECT_EQ(tabView.navigations.back().address, shell::kSummaryAddress);
  EXPECT_EQ(tabView.navigations.back().view, controller.Tabs().ActiveView());
}

TEST_F(StartedControllerTest, TheFilterShortcutsCycleThroughTheChoicesOfTheCurrentMode) {
  settings::Settings& settings = session.Settings();
  std::vector<int> reads;
  std::vector<int> dates;
  settings.DateMode = 2;  // shown as "３日以内"
  for (int i = 0; i < 4; ++i) {
    controller.CycleReadFilter();
    reads.push_back(settings.MidokuOnly);
    controller.CycleDateFilter();
    dates.push_back(settings.DateMode);
  }
  EXPECT_EQ(reads, (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(dates, (std::vector<int>{7, 0, 1, 3}));
  EXPECT_EQ(controller.Headlines().RowCount(), 0u);  // built again: both items are years old
  controller.SwitchViewMode(kViewMode);
  const int viewModeFilter = settings.EvwMidokuOnly;
  controller.CycleReadFilter();
  EXPECT_EQ(settings.EvwMidokuOnly, (viewModeFilter + 1) % 4);
  EXPECT_EQ(settings.MidokuOnly, 0);
}

TEST_F(StartedControllerTest, ClosingWritesTheWindowLayoutAndAPendingResetPutsTheDefaultBack) {
  EXPECT_TRUE(controller.CloseRequested());
  settings::IniFile ini;
  ASSERT_TRUE(ini.Load(session.IniFileName()));
  EXPECT_EQ(ini.ReadInteger("Sz_RssMainForm", "szWidth", 0), 640);

  DataSession next(dir.Path(), loop, dialogs);
  ASSERT_TRUE(next.Open(DataAccess::kReadWrite));
  next.SettingsState().LayoutResetPending = true;
  shell::testing::FakeTabsView laterTabs;
  MainController again(loop, next, startup, Views(laterTabs));
  again.Start();
  loop.Advance(1);
  EXPECT_TRUE(again.CloseRequested());
  ASSERT_TRUE(ini.Load(next.IniFileName()));
  EXPECT_FALSE(ini.ValueExists("Sz_RssMainForm", "szWidth"));
  EXPECT_EQ(ini.ReadInteger("Sz_Evw_Toolbar_Mode", "Rev", 0), 2000);
}

TEST_F(StartedControllerTest, RepairReloadsTheNewestBackupAfterTwoConfirmations) {
  EXPECT_FALSE(controller.RepairAvailable());
  ASSERT_EQ(session.Save(false), store::SaveResult::kSaved);
  session.Store().SetModified();
  ASSERT_EQ(session.Save(true), store::SaveResult::kSaved);  // keeps the first file as today's backup
  ASSERT_TRUE(controller.RepairAvailable());
  Channel("C channel", "lost", 40002);

  dialogs.Answer(true);
  dialogs.Answer(false);
  controller.RepairFromBackups();
  EXPECT_EQ(session.Tree().RootNode()->ItemTotal(), 3);  // the second question said no

  dialogs.Answer(true);
  dialogs.Answer(true);
  const int shownBefore = window.rootShown;
  controller.RepairFromBackups();
  EXPECT_EQ(session.Tree().RootNode()->ItemTotal(), 2);
  EXPECT_GT(window.rootShown, shownBefore);
  EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
}

// The window's side of the registration dialog: each form records the address it was
// opened with and answers as the test says.
class RecordingRegistrationHost : public AddChannelHost {
 public:
  class Form : public InputFormView {
   public:
    Form(RecordingRegistrationHost& host) : host_(host) {}
    void SetTexts(const FormTexts&) override {}
    void SetTreeEntries(const std::vector<TreeEntry>&, int) override {}
    void SetAddressList(const std::vector<std::string>&) override {}
    void SetValues(const ChannelFormValues& values) override { values_ = values; }
    void SetAutoDownloadVisible(bool) override {}
    void SetDetailShown(bool) override {}
    bool ShowModal() override {
      host_.opened.push_back(values_.address);
      if (host_.answer.empty()) return false;
      values_.address = host_.answer;
      host_.answer.clear();
      return true;
    }
    ChannelFormValues Values() const override { return values_; }
    int SelectedTreeEntry() const override { return 0; }
    bool DetailShown() const override { return false; }

   private:
    RecordingRegistrationHost& host_;
    ChannelFormValues values_;
  };

  store::TTreeNodeExt* SelectedNode() const override { return selected; }
  std::unique_ptr<InputFormView> CreateInputForm() override { return std::make_unique<Form>(*this); }

  store::TTreeNodeExt* selected = nullptr;
  std::vector<std::string> opened;  // the address of each showing
  std::string answer;               // the next showing registers this address; empty: Cancel
};

TEST_F(StartedControllerTest, DropsOnTheTreeAndTheAddCommandOpenTheRegistrationDialog) {
  RecordingRegistrationHost host;
  controller.SetAddChannelHost(&host);
  store::TTreeNodeExt* root = session.Tree().RootNode();
  store::TTreeNodeExt* channel = root->FirstChild();
  host.selected = channel;
  testsupport::WriteFile(dir / "feed.url", "[InternetShortcut]\r\nURL=http://example.jp/rss.xml\r\n");

  EXPECT_FALSE(controller.DropOnTree(dir / "feed.url", true, channel));
  EXPECT_FALSE(controller.DropOnTree(std::string("http://example.jp/a.rdf\0junk", 28), false, channel));
  EXPECT_FALSE(controller.DropOnTree("http://example.jp/b.rdf", false, nullptr));  // not on the tree
  EXPECT_FALSE(controller.AddChannelCommand());  // no page offers a feed: an empty box
  EXPECT_EQ(host.opened, (std::vector<std::string>{"http://example.jp/rss.xml", "http://example.jp/a.rdf", ""}));

  // OK registers next to the selection, and the new channel is selected.
  host.answer = server.Url("/feed.xml");
  EXPECT_TRUE(controller.DropOnTree(server.Url("/feed.xml"), false, channel));
  store::TTreeNodeExt* added = root->FirstChild();
  ASSERT_NE(added, channel);
  ASSERT_NE(added->Data(), nullptr);
  EXPECT_EQ(added->Data()->Site.rdfurl, server.Url("/feed.xml"));
  EXPECT_EQ(headlines.treeSelection, added);
  EXPECT_EQ(added->ItemTotal(), 2);
}

// What a process killed now would leave: the data folder as the disk holds it, loaded by
// the next start with its journal check.
std::vector<std::string> CaptionsAfterCrash(const testsupport::TempDir& dir, testsupport::ManualEventLoop& loop,
                                            testsupport::ScriptedDialogs& dialogs) {
  const size_t shownBefore = dialogs.shown.size();
  DataSession next(dir.Path(), loop, dialogs);
  EXPECT_TRUE(next.Open(DataAccess::kReadWrite));
  EXPECT_EQ(dialogs.shown.size(), shownBefore);  // no repair question: nothing was lost
  std::vector<std::string> captions;
  store::TTreeNodeExt* root = next.Tree().RootNode();
  for (store::TTreeNodeExt* node = root->FirstChild(); node != nullptr; node = node->NextSibling()) {
    captions.push_back(node->Caption() + (node->Expanded() ? " +" : ""));
  }
  return captions;
}

TEST_F(StartedControllerTest, ChangesOfTheTreeReachTheDiskShortlyAfterwardsWithoutAnySavePoint) {
  ASSERT_EQ(session.Save(false), store::SaveResult::kSaved);
  RecordingRegistrationHost host;
  controller.SetAddChannelHost(&host);
  host.answer = server.Url("/feed.xml");
  ASSERT_TRUE(controller.DropOnTree(server.Url("/feed.xml"), false, session.Tree().RootNode()));
  // Not yet: a burst of changes is saved once, when it is over.
  loop.Advance(DataAutoSave::kDelayMs - 1);
  EXPECT_EQ(CaptionsAfterCrash(dir, loop, dialogs), (std::vector<std::string>{"B channel", "A channel"}));
  loop.Advance(1);
  EXPECT_EQ(CaptionsAfterCrash(dir, loop, dialogs),
            (std::vector<std::string>{text::J("ニュース"), "B channel", "A channel"}));

  // A deletion, a group and its opening, and a channel's settings from the property panel.
  store::TTreeNodeExt* root = session.Tree().RootNode();
  store::TTreeNodeExt* news = root->FirstChild();
  dialogs.Answer(true);
  ASSERT_TRUE(controller.Editor().DeleteNode(root->Child(2)));
  store::TTreeNodeExt* group = controller.Editor().CreateGroupNode(root, false);
  ASSERT_NE(group, nullptr);
  ASSERT_TRUE(controller.Editor().RenameNode(group, std::string("group")));
  ASSERT_TRUE(controller.Editor().MoveNode(news, group, store::DropPosition::kInto));
  session.Tree().SetExpanded(group, true);
  loop.Advance(DataAutoSave::kDelayMs);
  EXPECT_EQ(CaptionsAfterCrash(dir, loop, dialogs), (std::vector<std::string>{"group +", "B channel"}));

  ChannelFormValues values = *controller.Properties().Fill(nullptr, news);
  values.filter = "keep";
  dialogs.Answer(true);  // the notice that the values were applied
  ASSERT_TRUE(controller.Properties().ApplyChannelProperties(nullptr, news, values));
  loop.Advance(DataAutoSave::kDelayMs);
  DataSession next(dir.Path(), loop, dialogs);
  ASSERT_TRUE(next.Open(DataAccess::kReadOnly));
  EXPECT_EQ(next.Tree().RootNode()->FirstChild()->FirstChild()->Data()->keyword, "keep");
}

TEST_F(MainControllerTest, TheItemsOfAnUpdateRunReachTheDiskAndTheSearchItemsAreCountedAfterARepairedStart) {
  MakeFolder();
  AddSearchItems({text::J("一")}, true);
  dialogs.Answer(true);  // repair: the run at start stops the count that was due
  StartupState startup;
  DataSession session(dir.Path(), loop, dialogs);
  MainController controller(loop, session, startup, Views());
  StartAndUpdate(controller);
  loop.Advance(DataAutoSave::kDelayMs);
  {
    DataSession disk(dir.Path(), loop, dialogs);
    ASSERT_TRUE(disk.Open(DataAccess::kReadOnly));
    EXPECT_EQ(disk.Tree().RootNode()->ItemTotal(), 2);
  }
  store::TTreeNodeExt* search = session.Tree().RootNode()->Child(1);
  ASSERT_TRUE(search->IsSearchItem());
  EXPECT_EQ(CountedUnread(search), 1);
  EXPECT_TRUE(controller.CloseRequested());
}

}  // namespace
}  // namespace app
