// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "store/datafile/OutputFile.h"
#include "store/journal/ItemStateReplay.h"
#include "store/journal/ReplayMap.h"

namespace store {

// The journal of item-state changes since the last save, system/recovery.dat in the data
// folder. A clean end deletes it; finding it non-empty at the next start means the run
// before ended abnormally, and the recorded states are given back to the items while they
// are loaded and merged. Records reach the system at once (a crash of the program loses
// none); RecoveryTimer puts them on the disk every 2 seconds.
//
// Dropping the object without CloseJournal leaves the file where it is, as a crash would.
class RecoveryJournal : public ItemStateReplay {
 public:
  static constexpr int64_t kFlushIntervalMs = 2000;

  RecoveryJournal(platform::EventLoop& loop, const std::string& dataFolder);
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;

  // At start-up, before OpenJournal: true when the previous run ended abnormally and the
  // user agreed to repair. RepairUpdatePending is set then, and the recorded states are
  // kept for ReplayItemState when the journal is of this program's version.
  bool CheckPreviousRun(platform::Dialogs& dialogs);

  // Starts an empty journal (deleting any old one) and RecoveryTimer. Does nothing while
  // a journal is open; a journal that cannot be created means no recovery, nothing else.
  void OpenJournal();

  // The clean end: forgets the states to replay, stops the timer, closes and deletes the
  // journal.
  void CloseJournal();

  // Appends the record of an item's new state. `key` is the item's journal key; CR and LF
  // are removed from it. Without `flushNow` the timer flushes it within two seconds.
  void WriteJournal(std::string_view key, uint8_t state, bool flushNow);

  void FlushJournal();

  // Gives a loaded or merged item its recorded state and journals it again (the journal
  // was emptied when it was opened). True when that changed the item's state.
  bool ReplayItemState(TSiteRecord& item) override;

  bool IsOpen() const { return journal_.IsOpen(); }
  bool JournalFlushPending() const { return flushPending_; }
  bool RecoveryTimerEnabled() const { return recoveryTimer_.Enabled(); }

  // Set when the user agreed to repair: start-up then updates every channel.
  bool RepairUpdatePending() const { return repairUpdatePending_; }
  void ClearRepairUpdatePending() { repairUpdatePending_ = false; }

  // The states still waiting for their items, or null when there is nothing to replay.
  const ReplayMap* PendingReplay() const { return replayMap_.get(); }

  const std::string& JournalPath() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
  platform::Timer recoveryTimer_;
  OutputFile journal_;
  bool journalEmpty_ = true;
  bool flushPending_ = false;
  bool repairUpdatePending_ = false;
  std::unique_ptr<ReplayMap> replayMap_;
};

}  // namespace store
