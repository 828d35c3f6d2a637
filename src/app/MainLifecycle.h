// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

#include "app/DataSession.h"
#include "app/MainWindowView.h"
#include "app/Startup.h"
#include "platform/EventLoop.h"

namespace app {

// The parts of the program the lifecycle calls at its moments. Each may be left empty
// while the part it belongs to does not exist.
struct LifecycleHooks {
  std::function<void()> LoadCustomLists;       // after the settings: custom lists, theme
  std::function<void()> LoadExceptionList;     // the address exceptions of HTML channels
  std::function<void()> OpenConnections;       // the HTTP and FTP sessions
  std::function<void()> ReplaceSearchEngines;  // "/update" answered with Yes
  std::function<void()> DataLoaded;            // the channel data was loaded at start
  std::function<void()> StartupFinished;       // the start-up sequence is over
  std::function<void()> RestoreTabs;           // the browser tabs of the last run
  std::function<void()> OfferDefaultList;      // first start: the built-in subscription list
  // Whether to update right after the start (and, in TrayRefreshMode 3, the start of the
  // periodic timer); true when an update run was started.
  std::function<bool()> StartupUpdateDecision;
  std::function<void()> SaveAllSettings;
  std::function<void()> CancelFetches;
  std::function<void()> SaveTabs;
  std::function<void()> FtpSyncSave;  // uploads the synchronisation list when it changed
  std::function<void()> PurgeOfflineCopies;
  std::function<void()> ApplyLeaveRule;  // the leave rule for the node shown now
  std::function<void()> SaveFavouritesOrder;
  std::function<void()> EmptyOfflineQueues;
  std::function<void()> StopSearchCount;
  std::function<void()> MarkListClosing;  // the headline list stops building
  // Whether the window is minimised or in the notification area. The window answers this
  // once, for the update run as well; without an answer the window counts as shown.
  std::function<bool()> Minimised;
};

// The order in which the program's state comes to life and goes away around the main
// window: creation, the first show, the start-up timer, the save routine at each of its
// moments, closing into the notification area or ending, and the power events. An error
// while the window is created or first shown blocks every later save, so that a
// half-started program cannot damage the stored data.
class MainLifecycle {
 public:
  static constexpr int64_t kStartTimerMs = 1;

  MainLifecycle(platform::EventLoop& loop, DataSession& session, const StartupState& startup, MainWindowView& view,
                LifecycleHooks hooks);
  MainLifecycle(const MainLifecycle&) = delete;
  MainLifecycle& operator=(const MainLifecycle&) = delete;

  // Window events.
  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  // After FormCloseQuery: true when the window really closes (the program ends), false
  // when it only went into the notification area.
  bool FormClose();
  void FormDestroy() { Shutdown(); }

  void LoadDataAtStart(bool startTimer);
  void SaveEverything(bool closing, bool hideFirst, bool makeBackup);
  void Mn_TrayEndClick();
  void Shutdown();

  // An update run ended. A log-on start without residence saves and ends after the run
  // its start-up decision started.
  void UpdateRunEnded();

  bool DataLoaded() const { return dataLoaded_; }
  bool SettingsReady() const { return settingsReady_; }
  bool StartupRunning() const { return startupRunning_; }
  bool TreeReady() const { return treeReady_; }
  bool ShuttingDown() const { return shuttingDown_; }
  bool HideInsteadOfClose() const { return hideInsteadOfClose_; }
  size_t InitialNodeCount() const { return initialNodeCount_; }

 private:
  void Timer_StartTimer();
  void EndQuietLogonStart();
  // A log-on start in the modes that do not stay resident: load, update, save and end
  // without ever showing the window.
  bool QuietLogonStart() const;
  settings::TrayMode TrayRefreshMode() const;
  bool Minimised() const;
  size_t NodeCount() const;
  // Runs one of the start-up sequences; an error sets the save lock and tells the user
  // which sequence failed.
  void Guarded(const char* which, const std::function<void()>& body);
  static void Call(const std::function<void()>& hook);
  static void CallIgnoringErrors(const std::function<void()>& hook);

  DataSession& session_;
  const StartupState& startup_;
  MainWindowView& view_;
  LifecycleHooks hooks_;
  platform::Timer startTimer_;

  bool dataLoaded_ = false;
  bool settingsReady_ = false;
  bool startupRunning_ = false;
  bool treeReady_ = false;
  bool shuttingDown_ = false;
  bool hideInsteadOfClose_ = false;
  bool shown_ = false;
  bool shutDown_ = false;
  bool quietEndPending_ = false;
  size_t initialNodeCount_ = 0;
};

}  // namespace app
