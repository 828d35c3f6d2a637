// SPDX-License-Identifier: MIT
#include "store/FeedDataFile.h"

#include <cstdio>

#include "platform/Files.h"
#include "store/BackupFiles.h"
#include "store/ByteSink.h"
#include "store/DataFileFormat.h"
#include "store/DataFileWriter.h"
#include "store/LocalClock.h"
#include "store/OutputFile.h"
#include "text/Literal.h"

namespace store {
namespace {

// Hands the writer's bytes straight to the file.
class FileSink : public ByteSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  bool Write(std::string_view bytes) override { return file_.Write(bytes); }

 private:
  OutputFile& file_;
};

std::string WriteErrorText(const WriteOutcome& outcome) {
  return text::J("サイト名 : ") + outcome.channelTitle + "\r\n" + text::J("URL : ") + outcome.channelLink + "\r\n\r\n" +
         text::J(
             "データが正しく保存できませんでした ディスクに問題があるか破損したFeedデータを受信した可能性があります。");
}

}  // namespace

FeedDataFile::FeedDataFile(ChannelStore& store, DataGuard& guard, platform::Dialogs& dialogs, RecoveryCounter& counter)
    : store_(store), guard_(guard), dialogs_(dialogs), counter_(counter), clock_([] { return std::time(nullptr); }) {}

SaveResult FeedDataFile::SaveChannelTree(const std::string& folder, bool makeBackup) {
  if (!store_.DataModified()) return SaveResult::kNotNeeded;
  if (guard_.XmlParserMissing()) return SaveResult::kBlocked;
  const std::string base = platform::WithSlash(folder);
  const std::string temporary = base + "plover.tmp";
  const std::string dataFile = base + "plover.dat";
  const std::string openFailed = text::J("データがオープンできません 書き込みの権限が無い可能性があります。");

  // A plover.tmp left by an earlier save that did not finish is never loaded; it goes now.
  if (!platform::RemoveIfPresent(temporary)) return FailSave(openFailed);
  OutputFile file;
  if (!file.Create(temporary)) return FailSave(openFailed);
  FileSink sink(file);
  DataFileWriter writer(store_.Settings(), LocalDayNumber(Now()), counter_, sink);
  const WriteOutcome outcome = writer.WriteTree(store_.Tree());
  bool written = !outcome.failed && file.WriteAt(0, datafile::HeaderText(outcome.nodeCount)) && file.Sync();
  written = file.Close() && written;
  if (!written) {
    platform::RemoveIfPresent(temporary);
    return FailSave(WriteErrorText(outcome));
  }

  if (makeBackup && platform::FileExists(dataFile)) {
    // The backup is a second name of the current file, taken before the new file replaces
    // it; a backup of the same date that exists already is kept.
    if (const auto lastWrite = platform::ModificationTime(dataFile)) {
      platform::LinkOrCopyNew(dataFile, base + BackupFileName(*lastWrite));
    }
    PruneBackupFiles(base);
  }
  // rename replaces plover.dat in one step: a crash leaves either the old or the new file.
  if (std::rename(temporary.c_str(), dataFile.c_str()) != 0) {
    platform::RemoveIfPresent(temporary);
    return FailSave(openFailed);
  }
  platform::SyncFolder(base);
  store_.ClearModified();
  return SaveResult::kSaved;
}

SaveResult FeedDataFile::FailSave(const std::string& text) {
  // The data stays modified: the changes are still only in memory, and the next save
  // point must try again instead of finding nothing to do.
  dialogs_.ShowMessageBox(text, platform::MessageType::kInformation);
  return SaveResult::kFailed;
}

}  // namespace store
