// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/LegacyConverter.h"
#include "store/journal/ItemStateReplay.h"
#include "store/journal/RecoveryCounter.h"

namespace store {

// What a save did.
enum class SaveResult {
  kNotNeeded,  // nothing had changed since the last save
  kBlocked,    // saving is locked for this run (DataGuard)
  kSaved,      // plover.dat now holds the tree
  kFailed,     // the user was told; plover.dat is as it was and the data stays modified
};

// The data file plover.dat of a data folder: saving the tree through plover.tmp with the
// daily backups, loading it with the fall-back to the backups and the user's consent, and
// the one-time conversion of the older XML data file. Every question and message goes
// through the dialogs; the application owns one of these for the run.
class FeedDataFile {
 public:
  FeedDataFile(ChannelStore& store, DataGuard& guard, platform::Dialogs& dialogs, RecoveryCounter& counter);
  FeedDataFile(const FeedDataFile&) = delete;
  FeedDataFile& operator=(const FeedDataFile&) = delete;

  // The journal whose recorded states loaded items receive; null for none.
  void SetJournal(ItemStateReplay* journal) { journal_ = journal; }

  // The reader of the older XML data file; without one such a file is left alone and
  // nothing is saved in this run, so its data cannot be lost under a new plover.dat.
  void SetLegacyConverter(LegacyConverter* converter) { converter_ = converter; }

  // The clock for the bounding rule, the backup and set-aside names and the age of the
  // evidence copies (the system clock unless a test sets another).
  void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

  // How the data folder is flushed once plover.dat has its new name (platform::SyncFolder
  // unless a test stands in for a disk that fails there).
  void SetFolderSync(std::function<bool(const std::string& folder)> sync) { folderSync_ = std::move(sync); }

  // Writes the tree to plover.dat in `folder` when the data is modified and saving is
  // not blocked. The file is written as plover.tmp, flushed, and renamed over plover.dat,
  // so there is never a moment without a complete plover.dat. With `makeBackup` the
  // previous plover.dat keeps a second name feed<its date>.bak.dat (the first backup of a
  // date is kept) and the backups are pruned to the newest seven. The save has failed
  // when the folder cannot be flushed after the rename, and when the tree is deeper than
  // the loader reads (nothing is written then). A failed save tells the user and leaves
  // the data modified, so the next save point tries again.
  SaveResult SaveChannelTree(const std::string& folder, bool makeBackup);

  // Replaces the user's tree with a data file. `path` is the data folder (`firstAttempt`
  // 0: plover.dat, then the backups; 1: the backups only) or a file (`firstAttempt` -1).
  // A damaged file leads to the backups, newest first, each with the user's consent. False
  // when loading failed and the user chose not to go on; saving is then blocked.
  bool LoadChannelTree(const std::string& path, int firstAttempt, bool expandRoot);

  // Loads plover.def of `folder` through the converter, falling back to its siblings.
  bool ConvertLegacyData(const std::string& folder, bool expandRoot);

 private:
  enum class AttemptVerdict { kGoOn, kFail };
  bool RunAttempts(const std::string& mainFile, const std::vector<std::string>& backups, int firstAttempt);
  AttemptVerdict AfterFailedAttempt(int attempt, int lastAttempt, const std::string& file);
  bool SetAside(const std::string& file);
  void ConvertLegacyFolder(const std::string& folder, bool expandRoot);
  void FinishConversion(const std::string& folder);
  void ConfirmConversion(const std::string& folder);
  void CopyLegacyEvidence(const std::string& folder);
  void AnnounceLegacyVersion(double version);
  SaveResult FailSave(const std::string& text);
  std::time_t Now() const { return clock_(); }

  ChannelStore& store_;
  DataGuard& guard_;
  platform::Dialogs& dialogs_;
  RecoveryCounter& counter_;
  ItemStateReplay* journal_ = nullptr;
  LegacyConverter* converter_ = nullptr;
  std::function<std::time_t()> clock_;
  std::function<bool(const std::string&)> folderSync_;
};

}  // namespace store
