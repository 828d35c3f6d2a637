// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Dialogs.h"
#include "store/ChannelStore.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryJournal.h"
#include "store/journal/RepairHost.h"

// The two commands of the submenu "データの修復(&B)" that reload the tree from the daily
// backups of plover.dat.
namespace store {

// What the repair commands work with; the main window passes its own.
struct RepairContext {
  std::string dataFolder;
  platform::Dialogs& dialogs;
  ChannelStore& store;
  FeedDataFile& dataFile;
  RecoveryJournal& journal;
  RepairHost& host;
};

// When the submenu opens: whether "データファイルを選択(&S)..." and "自動で修復(&A)..." are
// enabled, i.e. whether the data folder holds at least one backup.
bool RepairMenuOpened(const std::string& dataFolder);

// "自動で修復(&A)...": after two confirmations, gives up the data in memory and loads the
// backups, newest first. False when the user declined or the load failed.
bool RepairFromBackups(RepairContext& context);

// "データファイルを選択(&S)...": loads one backup file the user picks. False when the user
// cancelled or the load failed.
bool RepairFromChosenBackup(RepairContext& context);

}  // namespace store
