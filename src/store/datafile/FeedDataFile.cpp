// SPDX-License-Identifier: MIT
#include "store/datafile/FeedDataFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/Files.h"
#include "store/LocalClock.h"
#include "store/datafile/BackupFiles.h"
#include "store/datafile/ByteSink.h"
#include "store/datafile/DataFileFormat.h"
#include "store/datafile/DataFileWriter.h"
#include "store/datafile/OutputFile.h"
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

// A full disk is no fault of any feed: it is said for what it is, without naming the
// channel the writer had reached.
bool IsDiskFull(int error) {
  return error == ENOSPC || error == EDQUOT;
}

std::string DiskFullText(const std::string& folder) {
  const std::optional<uint64_t> free = platform::FreeBytes(folder);
  return text::J("データが正しく保存できませんでした ディスクの空き容量が足りません。") + "\r\n" +
         "disk full: " + (free ? std::to_string(*free) : std::string("?")) + " bytes free";
}

std::string TooDeepText(const WriteOutcome& outcome) {
  return text::J("フォルダの階層が深すぎるためデータを保存できませんでした (") + std::to_string(datafile::kMaxDepth) +
         text::J(" 階層まで)。") + "\r\n" + text::J("フォルダ : ") + outcome.tooDeepGroup + "\r\n" +
         text::J("このフォルダの中身を浅い階層へ移動してください。");
}

std::string FolderSyncFailedText() {
  return text::J("データの保存を完了できませんでした。") + "\r\n" +
         text::J("データフォルダへの書き込みをディスクに確定できませんでした (ディスクに問題がある可能性があります)。");
}

}  // namespace

FeedDataFile::FeedDataFile(ChannelStore& store, DataGuard& guard, platform::Dialogs& dialogs, RecoveryCounter& counter)
    : store_(store),
      guard_(guard),
      dialogs_(dialogs),
      counter_(counter),
      clock_([] { return std::time(nullptr); }),
      folderSync_(platform::SyncFolder) {}

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
    // The free space is taken while the unfinished file still holds its share of it.
    const std::string text = outcome.tooDeep                 ? TooDeepText(outcome)
                             : IsDiskFull(file.FirstError()) ? DiskFullText(base)
                                                             : WriteErrorText(outcome);
    platform::RemoveIfPresent(temporary);
    return FailSave(text);
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
  // Until the folder is on the disk, a power cut may bring the old name back: the save is
  // not complete, and the changes stay to be saved again.
  if (!folderSync_(base)) return FailSave(FolderSyncFailedText());
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
