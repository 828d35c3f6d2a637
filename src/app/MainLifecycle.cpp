// SPDX-License-Identifier: MIT
#include "app/MainLifecycle.h"

#include <exception>

#include "platform/Files.h"
#include "store/ChannelTree.h"
#include "text/Literal.h"

namespace app {
namespace {

std::string InitialisationError(const char* which) {
  return text::J("プログラムの初期化中にエラーが発生しました。") + which + "\r\n" +
         text::J("データは保存されませんので速やかにプログラムを終了してください。");
}

std::string UpdateQuestion() {
  return text::J("アップデートを行った場合に検索エンジンリストや翻訳が追加/修正/整理されている場合があります。") +
         "\r\n" + text::J("(検索精度や技術的な問題により削除されている場合もありますのでご了承下さい)") + "\r\n" +
         text::J("最新の情報を読み込みますか？");
}

std::string InstallAdminNotice() {
  return text::J("インストール直後は Windows Vista の管理者権限で動作しています。") + "\r\n" +
         text::J("この権限ではドラッグ＆ドロップなどの操作ができませんので") + "\r\n" +
         text::J("Plover を再起動させることをお勧めいたします。");
}

}  // namespace

MainLifecycle::MainLifecycle(platform::EventLoop& loop, DataSession& session, const StartupState& startup,
                             MainWindowView& view, LifecycleHooks hooks)
    : session_(session),
      startup_(startup),
      view_(view),
      hooks_(std::move(hooks)),
      startTimer_(loop, kStartTimerMs, platform::TimerKind::kOnce, [this] { Timer_StartTimer(); }) {}

void MainLifecycle::Call(const std::function<void()>& hook) {
  if (hook) hook();
}

void MainLifecycle::CallIgnoringErrors(const std::function<void()>& hook) {
  try {
    Call(hook);
  } catch (const std::exception&) {
    // The save routine goes on with its other parts.
  }
}

void MainLifecycle::Guarded(const char* which, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception&) {
    session_.Guard().SetXmlParserMissing();
    session_.Dialogs().ShowMessageBox(InitialisationError(which), platform::MessageType::kInformation);
  }
}

settings::TrayMode MainLifecycle::TrayRefreshMode() const {
  return session_.Settings().TrayRefreshMode;
}

bool MainLifecycle::Minimised() const {
  return hooks_.Minimised && hooks_.Minimised();
}

bool MainLifecycle::QuietLogonStart() const {
  return startup_.StartedAtLogon && !settings::IsResident(TrayRefreshMode());
}

size_t MainLifecycle::NodeCount() const {
  const store::TChannelTree& tree = session_.Store().Tree();
  size_t count = 0;
  for (size_t i = 0; i < tree.TopLevelCount(); ++i) {
    store::TChannelTree::ForEachNode(tree.TopLevelNode(i), [&count](store::TTreeNodeExt*) { ++count; });
  }
  return count;
}

void MainLifecycle::FormCreate() {
  Guarded("(Create)", [this] {
    // The recovery numbers were seeded and the settings read when the session was made;
    // a display-mode switch overrides the stored view mode for this run.
    settings::Settings& settings = session_.Settings();
    if (startup_.ViewMode != 0) settings.FormViewMode = startup_.ViewMode;
    view_.SetTitle(settings.ProgramTitle);
    startupRunning_ = true;
    Call(hooks_.LoadCustomLists);
    Call(hooks_.LoadExceptionList);
    Call(hooks_.OpenConnections);
    initialNodeCount_ = NodeCount();
  });
  if (QuietLogonStart()) {
    LoadDataAtStart(true);
  } else {
    FormShow();
  }
}

void MainLifecycle::FormShow() {
  if (shown_) return;
  shown_ = true;
  if (QuietLogonStart()) return;
  Guarded("(Show)", [this] {
    settingsReady_ = true;
    view_.ApplyStoredLayout();
    if (startup_.Switches.Update && session_.Dialogs().AskYesNo(UpdateQuestion(), platform::MessageType::kConfirmation,
                                                                platform::DefaultAnswer::kYes)) {
      Call(hooks_.ReplaceSearchEngines);
    }
    Call(hooks_.RestoreTabs);
    if (!startup_.StartedAtLogon) view_.ShowWindow();
    startTimer_.Start();
  });
}

void MainLifecycle::LoadDataAtStart(bool startTimer) {
  dataLoaded_ = true;
  store::TChannelTree& tree = session_.Store().Tree();
  tree.LockTreePaint(true);
  session_.Open(DataAccess::kReadWrite);
  treeReady_ = true;
  tree.LockTreePaint(false);
  Call(hooks_.DataLoaded);
  if (startTimer) startTimer_.Start();
}

void MainLifecycle::Timer_StartTimer() {
  startTimer_.Stop();
  if (!dataLoaded_) LoadDataAtStart(false);
  if (startup_.StartedAtLogon && settings::IsResident(TrayRefreshMode())) view_.MinimiseToTray();
  const bool firstStart = !session_.Guard().XmlParserMissing() && NodeCount() <= initialNodeCount_ &&
                          platform::FileExists(session_.DataFolder() + "system/default.opml");
  if (firstStart) Call(hooks_.OfferDefaultList);
  startupRunning_ = false;
  Call(hooks_.StartupFinished);
  view_.SelectRootNode();
  if (!QuietLogonStart()) view_.ShowTrayIcon(true);
  const bool runStarted = hooks_.StartupUpdateDecision && hooks_.StartupUpdateDecision();
  if (QuietLogonStart()) {
    // Loaded, updated (or not, by the decision), saved with a backup, ended: the window
    // never appears. A run that was started ends first.
    if (runStarted) {
      quietEndPending_ = true;
    } else {
      EndQuietLogonStart();
    }
    return;
  }
  if (startup_.InstallAdminMode) {
    session_.Dialogs().ShowMessageBox(InstallAdminNotice(), platform::MessageType::kInformation);
  }
}

void MainLifecycle::UpdateRunEnded() {
  if (!quietEndPending_) return;
  quietEndPending_ = false;
  EndQuietLogonStart();
}

void MainLifecycle::EndQuietLogonStart() {
  // The save routine does not run on this path: the channel data alone, with a backup.
  if (dataLoaded_) session_.Save(true);
  Shutdown();
}

void MainLifecycle::SaveEverything(bool closing, bool hideFirst, bool makeBackup) {
  if (!settingsReady_ || session_.Guard().XmlParserMissing()) return;
  if (hideFirst || (closing && !settings::IsResident(TrayRefreshMode()))) view_.HideWindow();
  Call(hooks_.SaveAllSettings);
  CallIgnoringErrors(hooks_.CancelFetches);
  if (dataLoaded_) session_.Save(makeBackup);
  CallIgnoringErrors(hooks_.SaveTabs);
  Call(hooks_.FtpSyncSave);
  Call(hooks_.PurgeOfflineCopies);
}

void MainLifecycle::FormCloseQuery() {
  view_.StopTrayAnimation();
  if (!settings::IsResident(TrayRefreshMode()) || Minimised()) {
    Call(hooks_.ApplyLeaveRule);
  } else {
    hideInsteadOfClose_ = true;
    view_.MinimiseToTray();
  }
  SaveEverything(true, false, true);
}

bool MainLifecycle::FormClose() {
  Call(hooks_.SaveFavouritesOrder);
  const bool resident = settings::IsResident(TrayRefreshMode()) && !Minimised();
  if (!session_.Guard().XmlParserMissing() && (hideInsteadOfClose_ || resident)) {
    if (!Minimised()) view_.MinimiseToTray();
    hideInsteadOfClose_ = false;
    return false;
  }
  Shutdown();
  return true;
}

void MainLifecycle::Mn_TrayEndClick() {
  Call(hooks_.ApplyLeaveRule);
  shuttingDown_ = true;
  SaveEverything(false, true, true);
  Shutdown();
}

void MainLifecycle::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  CallIgnoringErrors(hooks_.MarkListClosing);
  CallIgnoringErrors(hooks_.EmptyOfflineQueues);
  CallIgnoringErrors(hooks_.CancelFetches);
  shuttingDown_ = true;
  view_.ShowTrayIcon(false);
  view_.StopViewTimers();
  startTimer_.Stop();
  view_.CloseAllTabs();
  CallIgnoringErrors(hooks_.StopSearchCount);
  // The journal goes with a clean end; it stays when changes were not saved.
  session_.Close();
  view_.EndApplication();
}

}  // namespace app
