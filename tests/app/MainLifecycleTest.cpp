// SPDX-License-Identifier: MIT
// The main window's lifecycle without a window: the order of the start, the save moments,
// closing in each resident mode, log-on starts and the save lock after a failed start.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainLifecycle.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

// A window that records what it is asked to do, in one log with the hooks.
class RecordingView : public MainWindowView {
 public:
  explicit RecordingView(std::vector<std::string>& log) : log_(log) {}
  void SetTitle(const std::string& title) override { log_.push_back("title " + title); }
  void ApplyStoredLayout() override { log_.push_back("layout"); }
  void ShowWindow() override { log_.push_back("show"); }
  void HideWindow() override { log_.push_back("hide"); }
  void MinimiseToTray() override {
    minimised = true;
    log_.push_back("minimise");
  }
  void ShowTrayIcon(bool shown) override { log_.push_back(shown ? "tray on" : "tray off"); }
  void StopTrayAnimation() override {}
  void SelectRootNode() override { log_.push_back("select root"); }
  void StopViewTimers() override {}
  void CloseAllTabs() override { log_.push_back("close tabs"); }
  void EndApplication() override { log_.push_back("end"); }

  bool minimised = false;

 private:
  std::vector<std::string>& log_;
};

class MainLifecycleTest : public testing::Test {
 protected:
  // Starts the program on the test's data folder, which holds a saved plover.dat:
  // session, window, hooks, FormCreate.
  void Start(int trayRefreshMode, bool atLogon = false) {
    if (!FileExists(dir / "plover.dat")) {
      DataSession earlier(dir.Path(), loop, dialogs);
      earlier.Open(DataAccess::kReadWrite);
      earlier.Store().SetModified();
      earlier.Save(false);
      earlier.Close();
    }
    WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTrayRefreshMode=" + std::to_string(trayRefreshMode) + "\r\n");
    session = std::make_unique<DataSession>(dir.Path(), loop, dialogs);
    startup.StartedAtLogon = atLogon;
    startup.DataFolder = dir.Path() + "/";
    lifecycle = std::make_unique<MainLifecycle>(loop, *session, startup, view, Hooks());
    lifecycle->FormCreate();
  }

  LifecycleHooks Hooks() {
    const auto record = [this](const char* name) { return [this, name] { log.push_back(name); }; };
    LifecycleHooks hooks;
    hooks.RestoreTabs = [this] {
      log.push_back("restore tabs");
      if (failRestoringTabs) throw std::runtime_error("tabs");
    };
    hooks.OfferDefaultList = record("offer default list");
    hooks.StartupUpdateDecision = [this] {
      log.push_back("update decision");
      return startsRun;
    };
    hooks.SaveAllSettings = record("save settings");
    hooks.SaveTabs = record("save tabs");
    hooks.ApplyLeaveRule = record("leave rule");
    hooks.Minimised = [this] { return view.minimised; };
    return hooks;
  }

  // A change to the channel data, so that the next save writes plover.dat.
  void ChangeData() {
    session->Tree().AddChild(session->Tree().RootNode(), "group", store::kKindGroup);
    session->Store().SetModified();
  }

  bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  size_t Position(const std::string& entry) const {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }
  size_t BackupCount() const {
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      if (entry.path().filename().string().starts_with("feed")) ++count;
    }
    return count;
  }

  testsupport::TempDir dir;
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  StartupState startup;
  std::vector<std::string> log;
  RecordingView view{log};
  std::unique_ptr<DataSession> session;
  std::unique_ptr<MainLifecycle> lifecycle;
  bool failRestoringTabs = false;
  bool startsRun = false;  // whether the start-up decision starts an update run
};

TEST_F(MainLifecycleTest, AStartShowsTheWindowThenLoadsAndDecidesOnTheUpdate) {
  Start(2);
  EXPECT_TRUE(lifecycle->SettingsReady());
  EXPECT_TRUE(lifecycle->StartupRunning());
  EXPECT_FALSE(lifecycle->DataLoaded());  // the data comes with the start-up timer
  EXPECT_EQ(log, (std::vector<std::string>{"title Plover", "layout", "restore tabs", "show"}));

  loop.Advance(MainLifecycle::kStartTimerMs);
  EXPECT_TRUE(lifecycle->DataLoaded());
  EXPECT_TRUE(lifecycle->TreeReady());
  EXPECT_FALSE(lifecycle->StartupRunning());
  EXPECT_TRUE(session->Journal().IsOpen());
  EXPECT_EQ(std::vector<std::string>(log.begin() + 4, log.end()),
            (std::vector<std::string>{"select root", "tray on", "update decision"}));
  EXPECT_EQ(lifecycle->InitialNodeCount(), 1u);
}

TEST_F(MainLifecycleTest, AnEmptyTreeWithTheBuiltInListIsOfferedIt) {
  WriteFile(dir / "system/default.opml", "<opml/>");
  Start(0);
  loop.Advance(1);
  EXPECT_TRUE(Logged("offer default list"));
  EXPECT_LT(Position("offer default list"), Position("select root"));
}

TEST_F(MainLifecycleTest, ClosingInTheResidentModesHidesFirstAndEndsOnTheSecondClose) {
  Start(2);
  loop.Advance(1);
  ChangeData();
  log.clear();

  lifecycle->FormCloseQuery();
  EXPECT_TRUE(lifecycle->HideInsteadOfClose());
  EXPECT_FALSE(lifecycle->FormClose());  // only gone into the notification area
  EXPECT_EQ(log, (std::vector<std::string>{"minimise", "save settings", "save tabs"}));
  EXPECT_EQ(BackupCount(), 1u);  // the close saves with a backup
  EXPECT_FALSE(session->Store().DataModified());

  log.clear();
  lifecycle->FormCloseQuery();  // a close while minimised
  EXPECT_TRUE(lifecycle->FormClose());
  EXPECT_EQ(log.front(), "leave rule");
  EXPECT_EQ(log.back(), "end");
  EXPECT_TRUE(lifecycle->ShuttingDown());
  EXPECT_FALSE(FileExists(dir / "system/recovery.dat"));  // a clean end
}

TEST_F(MainLifecycleTest, ClosingWithoutResidenceHidesTheWindowBeforeSaving) {
  for (const int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    log.clear();
    Start(mode);
    loop.Advance(1);
    log.clear();
    lifecycle->FormCloseQuery();
    EXPECT_TRUE(lifecycle->FormClose());
    EXPECT_EQ(log, (std::vector<std::string>{"leave rule", "hide", "save settings", "save tabs", "tray off",
                                             "close tabs", "end"}));
  }
}

TEST_F(MainLifecycleTest, TheTrayMenusEndSavesWithABackupAndEnds) {
  Start(3);
  loop.Advance(1);
  ChangeData();
  log.clear();
  lifecycle->Mn_TrayEndClick();
  EXPECT_EQ(log, (std::vector<std::string>{"leave rule", "hide", "save settings", "save tabs", "tray off", "close tabs",
                                           "end"}));
  EXPECT_EQ(BackupCount(), 1u);
  lifecycle->FormDestroy();  // the window's destruction ends nothing twice
  EXPECT_EQ(log.back(), "end");
  EXPECT_EQ(std::count(log.begin(), log.end(), "end"), 1);
}

TEST_F(MainLifecycleTest, AQuietLogonStartLoadsSavesAndEndsWithoutAWindow) {
  Start(1, true);
  EXPECT_TRUE(lifecycle->DataLoaded());  // loaded while the window is created
  EXPECT_FALSE(lifecycle->SettingsReady());
  ChangeData();
  loop.Advance(1);
  EXPECT_FALSE(Logged("show"));
  EXPECT_FALSE(Logged("tray on"));
  EXPECT_FALSE(Logged("save settings"));  // this path does not run the save routine
  EXPECT_TRUE(Logged("update decision"));
  EXPECT_EQ(log.back(), "end");
  EXPECT_EQ(BackupCount(), 1u);
}

TEST_F(MainLifecycleTest, AQuietLogonStartEndsOnlyAfterTheRunItStarted) {
  startsRun = true;
  Start(0, true);
  loop.Advance(1);
  EXPECT_FALSE(Logged("end"));  // the run is still fetching
  ChangeData();
  lifecycle->UpdateRunEnded();
  EXPECT_EQ(log.back(), "end");
  EXPECT_EQ(BackupCount(), 1u);
  EXPECT_FALSE(session->Store().DataModified());
}

TEST_F(MainLifecycleTest, AResidentLogonStartGoesStraightIntoTheNotificationArea) {
  Start(2, true);
  loop.Advance(1);
  EXPECT_FALSE(Logged("show"));
  EXPECT_TRUE(Logged("minimise"));
  EXPECT_TRUE(Logged("tray on"));
  EXPECT_FALSE(Logged("end"));
}

TEST_F(MainLifecycleTest, AFailedFirstShowLeavesEveryFileAlone) {
  WriteFile(dir / "plover.dat", "stored data");
  failRestoringTabs = true;
  Start(0);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "プログラムの初期化中にエラーが発生しました。(Show)\r\n"
            "データは保存されませんので速やかにプログラムを終了してください。");
  EXPECT_TRUE(session->Guard().XmlParserMissing());
  const std::string ini = ReadFile(dir / "plover.ini");
  ChangeData();
  lifecycle->FormCloseQuery();
  EXPECT_TRUE(lifecycle->FormClose());
  EXPECT_FALSE(Logged("save settings"));
  EXPECT_FALSE(Logged("save tabs"));
  EXPECT_EQ(ReadFile(dir / "plover.dat"), "stored data");
  EXPECT_EQ(ReadFile(dir / "plover.ini"), ini);
}

}  // namespace
}  // namespace app
