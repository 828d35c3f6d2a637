// SPDX-License-Identifier: MIT
#include "cli/OpenedFolder.h"

#include <unistd.h>

#include <string>

#include "cli/CommandError.h"
#include "cli/Output.h"
#include "platform/Files.h"
#include "text/Literal.h"

namespace cli {

OpenedFolder::OpenedFolder(const CommandContext& context, app::DataAccess access)
    : dialogs_(AnswersFor(context)), lock_(loop_, [] {
        // A later start of the desktop program asks this copy to come forward; a command
        // has no window, and it ends soon.
      }) {
  const std::string folder = DataFolderFor(context);
  if (!platform::FolderExists(folder)) {
    if (platform::FileExists(folder.substr(0, folder.size() - 1))) {
      throw CommandError(text::J("データフォルダではありません: ") + PathText(folder));
    }
    throw CommandError(text::J("データフォルダがありません: ") + PathText(folder) + "\n" +
                       text::J("(plover-cli init で作成できます)"));
  }
  if (access == app::DataAccess::kReadWrite) TakeLock(folder);
  session_ = std::make_unique<app::DataSession>(folder, loop_, dialogs_);
  CheckSettings(access);
  const bool writing = access == app::DataAccess::kReadWrite;
  // Without a terminal the repair question would be answered for the user, and the
  // states of the run that ended abnormally would be thrown away; "--yes" answers it.
  if (writing && session_->PreviousRunLeftJournal() && !::isatty(STDIN_FILENO) && !context.invocation.yes) {
    throw CommandError(text::J("前回、Ploverは正常な終了がおこなわれませんでした。") + "\n" +
                       text::J("修復するかどうかを選ぶため、端末から実行するか、先に Plover を起動してください。"));
  }
  if (!session_->Open(access)) CloseAndFail(text::J("データを読み込めませんでした: ") + PathText(folder));
  if (writing && session_->Guard().XmlParserMissing()) {
    CloseAndFail(text::J("データを保存できない状態のため中止しました: ") + PathText(folder));
  }
}

OpenedFolder::~OpenedFolder() {
  if (session_) session_->Close();
}

void OpenedFolder::TakeLock(const std::string& folder) {
  switch (lock_.Acquire(folder, kLockRetryMs)) {
    case platform::InstanceLock::Result::kAcquired:
      return;
    case platform::InstanceLock::Result::kAnotherCopyRuns:
      throw CommandError(text::J("データフォルダは Plover か別の plover-cli が使用中です。") + "\n" +
                         text::J("終了してからもう一度実行してください: ") + PathText(folder));
    case platform::InstanceLock::Result::kFailed:
      break;
  }
  throw CommandError(text::J("データフォルダをロックできませんでした: ") + PathText(folder));
}

void OpenedFolder::CheckSettings(app::DataAccess access) {
  if (session_->SettingsReadable()) return;
  const std::string ini = PathText(session_->IniFileName());
  if (access == app::DataAccess::kReadWrite) {
    throw CommandError(text::J("設定ファイルを読み込めないため、データを変更できません: ") + ini);
  }
  PrintLine(stderr, text::J("設定ファイルを読み込めないため、既定の設定で表示します: ") + ini);
}

void OpenedFolder::CloseAndFail(const std::string& message) {
  session_->Close();
  throw CommandError(message);
}

}  // namespace cli
