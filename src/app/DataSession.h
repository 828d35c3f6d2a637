// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <string>

#include "formats/LegacyDataConverter.h"
#include "formats/xml/XmlContext.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "store/journal/RecoveryJournal.h"

namespace app {

// How a session uses its data folder.
enum class DataAccess {
  // The one copy working on the folder (it holds the folder's single-instance lock): the
  // journal of the previous run is checked and a new one kept, the data may be saved.
  kReadWrite,
  // A look at the folder while another copy may be working on it: neither the journal
  // nor any data file is touched, nothing is converted and nothing can be saved.
  kReadOnly,
};

// The life of a data folder without any window, as both front ends need it: the settings,
// the channel store with its save lock, the recovery counter and journal, the XML state,
// and plover.dat with the reader of the older XML format. Open loads the data the way the
// program does at start-up, Save is the channel-data part of the save routine, and Close
// is the clean end.
//
// A session dropped without Close leaves the journal where it is, as a crash would, so the
// next start offers the repair.
class DataSession {
 public:
  // Reads the settings of `dataFolder` at once. `startTime` seeds the recovery numbers and
  // the settings' date defaults.
  DataSession(const std::string& dataFolder, platform::EventLoop& loop, platform::Dialogs& dialogs,
              std::time_t startTime = std::time(nullptr));
  DataSession(const DataSession&) = delete;
  DataSession& operator=(const DataSession&) = delete;

  // False when plover.ini exists but could not be read. The settings then hold their
  // defaults, the file is never written, and no channel data is saved in this session:
  // what a save keeps of each channel depends on the user's settings.
  bool SettingsReadable() const { return settingsReadable_; }

  // True when the journal of a run that did not end cleanly is waiting: opening the
  // folder for writing will ask whether to repair.
  bool PreviousRunLeftJournal() const;

  // Loads the channel data. For writing: the previous run is checked, the journal opened
  // and plover.dat loaded (converting the older format when only that exists), with the
  // fall-back to the backups. For reading: plover.dat (or, when it does not exist yet,
  // plover.def as it is) is loaded and nothing is written. False when the data could not
  // be loaded; saving is then blocked.
  bool Open(DataAccess access);

  // Writes the channel data when it changed. Only a completed save restarts the journal:
  // until then the journal still holds the states the data file lacks.
  store::SaveResult Save(bool makeBackup);

  // The clean end: closes and deletes the journal. The data is not saved here: when it
  // changed since the last completed save, the journal is kept for the next start.
  void Close();

  // Forgets the web archives whose files are gone (see store::DropLostWebArchives): after
  // every load of the channel data, the repairs' included, before any list is shown.
  void CheckWebArchives();

  bool IsOpen() const { return open_; }
  const std::string& DataFolder() const { return folder_; }
  std::string IniFileName() const { return folder_ + "plover.ini"; }
  settings::Settings& Settings() { return settings_; }
  const settings::SettingsState& SettingsState() const { return settingsState_; }
  settings::SettingsState& SettingsState() { return settingsState_; }
  store::ChannelStore& Store() { return store_; }
  store::TChannelTree& Tree() { return store_.Tree(); }
  store::DataGuard& Guard() { return guard_; }
  store::RecoveryJournal& Journal() { return journal_; }
  store::FeedDataFile& DataFile() { return dataFile_; }
  formats::XmlContext& Xml() { return xml_; }
  platform::Dialogs& Dialogs() { return dialogs_; }

 private:
  bool OpenForReading();
  // Checks the web archives of what a load left in the tree and passes on its result.
  bool Loaded(bool loaded);

  std::string folder_;
  platform::Dialogs& dialogs_;
  settings::Settings settings_;
  settings::SettingsState settingsState_;
  bool settingsReadable_ = true;
  store::ChannelStore store_;
  store::DataGuard guard_;
  store::RecoveryCounter counter_;
  store::RecoveryJournal journal_;
  formats::XmlContext xml_;
  formats::LegacyDataConverter converter_;
  store::FeedDataFile dataFile_;
  DataAccess access_ = DataAccess::kReadOnly;
  bool open_ = false;
};

}  // namespace app
