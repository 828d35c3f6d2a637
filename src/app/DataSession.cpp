// SPDX-License-Identifier: MIT
#include "app/DataSession.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "app/DataFolder.h"
#include "platform/Files.h"
#include "settings/SettingsStore.h"
#include "store/LocalClock.h"
#include "store/WebArchives.h"

namespace app {

DataSession::DataSession(const std::string& dataFolder, platform::EventLoop& loop, platform::Dialogs& dialogs,
                         std::time_t startTime)
    : folder_(WithTrailingSlash(dataFolder)),
      dialogs_(dialogs),
      settings_(settings::DefaultSettings(static_cast<int32_t>(store::PackedFileDateTime(startTime)))),
      store_(settings_),
      counter_(store::RecoveryCounter::FromStartTime(startTime)),
      journal_(loop, folder_),
      converter_(xml_, dialogs),
      dataFile_(store_, guard_, dialogs, counter_) {
  // The folder holds credentials and everything the user reads: it is the user's alone.
  MakeDataFolderPrivate(folder_, dialogs);
  settingsReadable_ = settings::LoadSettings(IniFileName(), settings_, settingsState_, &dialogs);
  // The program does not save the data of a run whose settings it could not read.
  if (!settingsReadable_) guard_.SetXmlParserMissing();
  dataFile_.SetLegacyConverter(&converter_);
}

bool DataSession::PreviousRunLeftJournal() const {
  std::error_code error;
  const std::filesystem::path path(journal_.JournalPath());
  return std::filesystem::is_regular_file(path, error) && std::filesystem::file_size(path, error) > 0 && !error;
}

bool DataSession::Open(DataAccess access) {
  access_ = access;
  open_ = true;
  if (access == DataAccess::kReadOnly) return OpenForReading();
  // The start-up order: the journal left by a crash is read before the new one replaces
  // it, and the load replays its states onto the items.
  journal_.CheckPreviousRun(dialogs_);
  journal_.OpenJournal();
  dataFile_.SetJournal(&journal_);
  return Loaded(dataFile_.LoadChannelTree(folder_, 0, true));
}

bool DataSession::Loaded(bool loaded) {
  // Whatever a failed load left in the tree is shown too: it is checked all the same.
  CheckWebArchives();
  return loaded;
}

void DataSession::CheckWebArchives() {
  store::DropLostWebArchives(store_, folder_);
}

bool DataSession::OpenForReading() {
  // Whatever happens below, nothing of this session reaches the disk.
  guard_.SetXmlParserMissing();
  if (!platform::FileExists(folder_ + "plover.dat") && platform::FileExists(folder_ + "plover.def")) {
    // The conversion belongs to the copy that may write; a look at the folder reads the
    // older file as it is.
    if (!converter_.OpenLegacyFile(folder_ + "plover.def")) return false;
    store::TChannelTree& tree = store_.Tree();
    tree.LockTreePaint(true);
    converter_.BuildLegacyTree(store_, nullptr);
    tree.LockTreePaint(false);
    return Loaded(true);
  }
  return Loaded(dataFile_.LoadChannelTree(folder_, 0, true));
}

store::SaveResult DataSession::Save(bool makeBackup) {
  if (!open_ || access_ != DataAccess::kReadWrite) return store::SaveResult::kBlocked;
  const store::SaveResult result = dataFile_.SaveChannelTree(folder_, makeBackup);
  if (result == store::SaveResult::kSaved) {
    journal_.CloseJournal();
    journal_.OpenJournal();
  }
  return result;
}

void DataSession::Close() {
  if (!open_) return;
  open_ = false;
  // Changes that no completed save holds (the save failed, was blocked, or never ran) live
  // only in the journal: it stays for the next start, as after a crash, which then offers
  // to bring the item states back.
  if (store_.DataModified() && journal_.IsOpen()) {
    journal_.FlushJournal();
    return;
  }
  journal_.CloseJournal();
}

}  // namespace app
