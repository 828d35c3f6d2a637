// SPDX-License-Identifier: MIT
#include "store/journal/RecoveryJournal.h"

#include <sys/stat.h>

#include <exception>

#include "platform/Files.h"
#include "store/journal/JournalFormat.h"
#include "text/Literal.h"

namespace store {

RecoveryJournal::RecoveryJournal(platform::EventLoop& loop, const std::string& dataFolder)
    : folder_(platform::WithSlash(dataFolder)),
      path_(folder_ + "system/recovery.dat"),
      recoveryTimer_(loop, kFlushIntervalMs, platform::TimerKind::kRepeating, [this] {
        if (flushPending_) FlushJournal();
      }) {}

bool RecoveryJournal::CheckPreviousRun(platform::Dialogs& dialogs) {
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return false;
  const bool repair = dialogs.AskYesCancel(text::J("前回、Ploverは正常な終了がおこなわれませんでした。") + "\r\n" +
                                               text::J("データの更新と修復をおこないますか？"),
                                           platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes);
  if (!repair) return false;
  repairUpdatePending_ = true;
  replayMap_.reset();
  try {
    std::string image;
    // A journal that cannot be read is an abnormal end all the same, with nothing to
    // replay.
    if (platform::ReadWholeFileChecked(path_, image) == platform::ReadOutcome::kCannotRead) return true;
    if (std::optional<ReplayMap> map = ParseJournal(image)) replayMap_ = std::make_unique<ReplayMap>(std::move(*map));
    return true;
  } catch (const std::exception&) {
    replayMap_.reset();
    return false;
  }
}

void RecoveryJournal::OpenJournal() {
  if (journal_.IsOpen()) return;
  flushPending_ = false;
  recoveryTimer_.Start();
  platform::CreateFolders(folder_ + "system");
  platform::RemoveIfPresent(path_);
  journalEmpty_ = true;
  journal_.Create(path_);
}

void RecoveryJournal::CloseJournal() {
  if (!journal_.IsOpen()) return;
  replayMap_.reset();
  flushPending_ = false;
  recoveryTimer_.Stop();
  journal_.Close();
  platform::RemoveIfPresent(path_);
}

void RecoveryJournal::WriteJournal(std::string_view key, uint8_t state, bool flushNow) {
  if (!journal_.IsOpen()) return;
  std::string record;
  if (journalEmpty_) {
    record.append(kJournalVersion);
    record.append("\r\n");
  }
  record.append(std::to_string(state));
  record.append("\r\n");
  record.append(CleanJournalKey(key));
  record.append("\r\n");
  // One write per record, so a crash cuts at most the last record.
  if (journal_.Write(record)) journalEmpty_ = false;
  if (flushNow) {
    FlushJournal();
  } else {
    flushPending_ = true;
  }
}

void RecoveryJournal::FlushJournal() {
  if (!journal_.IsOpen()) return;
  flushPending_ = false;
  journal_.Sync();
}

bool RecoveryJournal::ReplayItemState(TSiteRecord& item) {
  if (!replayMap_ || item.Owner == nullptr) return false;
  const std::string key = JournalKey(item);
  const std::optional<uint8_t> state = replayMap_->Take(key);
  if (!state) return false;
  const bool changed = *state != item.read;
  item.read = *state;
  WriteJournal(key, *state, false);
  return changed;
}

}  // namespace store
