// SPDX-License-Identifier: MIT
#include "store/journal/DataRepair.h"

#include "platform/Files.h"
#include "store/datafile/BackupFiles.h"
#include "text/Literal.h"

namespace store {
namespace {

// The common start of both commands: the data in memory is given up (so it is not saved),
// the tree is emptied, and the journal starts again for the data about to be loaded.
void GiveUpCurrentData(RepairContext& context) {
  context.store.ClearModified();
  context.host.StopSearchCount();
  context.store.ClearUserTree();
  context.host.ShowRoot();
  context.journal.CloseJournal();
  context.journal.OpenJournal();
}

}  // namespace

bool RepairMenuOpened(const std::string& dataFolder) {
  return !ListBackupFiles(dataFolder).empty();
}

bool RepairFromBackups(RepairContext& context) {
  constexpr auto kConfirmation = platform::MessageType::kConfirmation;
  if (!context.dialogs.AskYesNo(text::J("バックアップファイルを使用してデータの修復を実行しますか？") + "\r\n" +
                                    text::J("(現在読み込まれているデータは破棄されますのでご注意ください)"),
                                kConfirmation, platform::DefaultAnswer::kYes)) {
    return false;
  }
  if (!context.dialogs.AskYesNo(text::J("本当に実行してもよろしいですか？"), kConfirmation,
                                platform::DefaultAnswer::kYes)) {
    return false;
  }
  GiveUpCurrentData(context);
  const bool loaded = context.dataFile.LoadChannelTree(platform::WithSlash(context.dataFolder), 1, true);
  context.host.ShowRoot();
  return loaded;
}

bool RepairFromChosenBackup(RepairContext& context) {
  const std::optional<std::string> chosen = context.dialogs.ChooseOpenFile(text::J("バックアップファイルの選択"),
                                                                           "Backup files (feed*.bak.dat)|feed*.bak.dat",
                                                                           platform::WithSlash(context.dataFolder));
  if (!chosen || chosen->empty()) return false;
  GiveUpCurrentData(context);
  const bool loaded = context.dataFile.LoadChannelTree(*chosen, -1, true);
  context.host.ShowRoot();
  return loaded;
}

}  // namespace store
