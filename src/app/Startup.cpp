// SPDX-License-Identifier: MIT
#include "app/Startup.h"

#include <chrono>

#include "app/DataFolder.h"
#include "app/Resources.h"
#include "app/private/Migration.h"
#include "text/Literal.h"

namespace app {

bool CheckColourDepth(int bitsPerPixel, platform::Dialogs& dialogs) {
  if (bitsPerPixel > 8) return true;
  dialogs.ShowMessageBox(text::J("コントロールパネルの[画面]の[設定]タブで画面色を") + "\r\n" +
                             text::J("High Color(16ビット)以上に設定してください。"),
                         platform::MessageType::kInformation);
  return false;
}

double LocalDateSerial(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  using namespace std::chrono;
  const year_month_day date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                            day{static_cast<unsigned>(local.tm_mday)}};
  constexpr year_month_day kEpoch{year{1899}, month{12}, day{30}};
  return static_cast<double>((sys_days{date} - sys_days{kEpoch}).count());
}

Startup::Startup(platform::EventLoop& loop, platform::Dialogs& dialogs, Callbacks callbacks)
    : dialogs_(dialogs), lock_(loop, std::move(callbacks.onComeForward)), pause_(loop, std::move(callbacks.onReady)) {}

StartupOutcome Startup::Run(const StartupInputs& inputs) {
  state_.ProgramFolder = WithTrailingSlash(inputs.ProgramFolder);
  state_.Switches = ParseCommandLine(inputs.Arguments);
  state_.IsVistaOrLater = true;
  state_.InstallAdminMode = state_.Switches.NoInstallAdmin;
  state_.Today = LocalDateSerial(inputs.Now);

  FindDataFolder(inputs);
  ExtractResources(state_.ProgramFolder, state_.DataFolder, state_.Switches.Update, dialogs_);

  state_.StartedAtLogon = state_.Switches.Startup;
  state_.ViewMode = state_.Switches.ViewMode;
  state_.Settings = settings::LoadStartupSettings(state_.IniFileName);

  switch (lock_.Acquire(state_.DataFolder, inputs.LockRetryMs)) {
    case platform::InstanceLock::Result::kAcquired:
      break;
    case platform::InstanceLock::Result::kAnotherCopyRuns:
      return StartupOutcome::kAnotherCopyRuns;
    case platform::InstanceLock::Result::kFailed:
      return StartupOutcome::kLockFailed;
  }

  const bool pause = state_.StartedAtLogon && state_.Settings.Pausetime >= 1;
  pause_.Start(pause ? int64_t{state_.Settings.Pausetime} * 1000 : 0);
  return StartupOutcome::kGoOn;
}

void Startup::Terminate() {
  terminated_ = true;
  pause_.Cancel();
}

void Startup::FindDataFolder(const StartupInputs& inputs) {
  const CommandLine& switches = state_.Switches;
  const DataFolderLocation location =
      ResolveDataFolder(state_.ProgramFolder, switches.NoInstall ? 2 : 1, inputs.AppDataFolder);
  state_.DataFolder = location.DataFolder;
  state_.IniFileName = location.IniFileName;
  // A failed move changes nothing here: the program goes on with the chosen folder.
  if (switches.NoInstallAdmin) MigrateDataFolder(state_.ProgramFolder, state_.DataFolder, dialogs_);
}

}  // namespace app
