// SPDX-License-Identifier: MIT
// Loading plover.dat, with the fall-back to the daily backups.
#include <string>
#include <vector>

#include "platform/Files.h"
#include "store/LocalClock.h"
#include "store/datafile/BackupFiles.h"
#include "store/datafile/DataFileParser.h"
#include "store/datafile/FeedDataFile.h"
#include "store/datafile/private/FileImage.h"
#include "text/Literal.h"

namespace store {
namespace {

constexpr auto kInformation = platform::MessageType::kInformation;
constexpr auto kConfirmation = platform::MessageType::kConfirmation;

std::string ReadFailedText(platform::ReadOutcome outcome) {
  const std::string first = outcome == platform::ReadOutcome::kSizeDiffers
                                ? text::J("データを全て読み込むことができませんでした。")
                                : text::J("データがオープンできないため読み込みを中止しました。");
  return first + "\r\n" + text::J("プログラムを終了してパソコンの再起動後にもう一度お試し下さい。") + "\r\n" +
         text::J("(再起動後も改善しない場合は[ファイル]-[データ修復]をお試し下さい)");
}

}  // namespace

bool FeedDataFile::LoadChannelTree(const std::string& path, int firstAttempt, bool expandRoot) {
  const bool chosenFile = firstAttempt < 0;
  const std::string folder = chosenFile ? platform::FolderOf(path) : platform::WithSlash(path);
  const std::string mainFile = chosenFile ? path : folder + "plover.dat";
  // A repair from the backups (attempt 1 on) does not need the main file at all.
  if (firstAttempt != 1 && !platform::FileExists(mainFile)) {
    // No data yet: a first start, or the first start after the older XML format.
    if (!chosenFile && platform::FileExists(folder + "plover.def")) ConvertLegacyFolder(folder, expandRoot);
    return true;
  }
  std::vector<std::string> backups;
  if (!chosenFile) {
    // Newest first: the names carry the date, so the last name is the newest.
    const std::vector<std::string> names = ListBackupFiles(folder);
    for (auto name = names.rbegin(); name != names.rend(); ++name) backups.push_back(folder + *name);
  }
  if (!RunAttempts(mainFile, backups, firstAttempt)) return false;
  if (expandRoot) store_.Tree().ExpandAncestors(store_.Tree().RootNode());
  return true;
}

bool FeedDataFile::RunAttempts(const std::string& mainFile, const std::vector<std::string>& backups, int firstAttempt) {
  // Attempt 0 is the main file, attempts 1..n the backups; a chosen file is attempt -1 and
  // the only one.
  const int lastAttempt = firstAttempt < 0 ? -1 : static_cast<int>(backups.size());
  for (int attempt = firstAttempt; attempt <= lastAttempt; ++attempt) {
    const std::string& file = attempt <= 0 ? mainFile : backups[static_cast<size_t>(attempt - 1)];
    if (!platform::FileExists(file)) continue;
    store_.ClearUserTree();
    FileImage image;
    const platform::ReadOutcome read = image.Read(file);
    if (read != platform::ReadOutcome::kOk) {
      guard_.SetXmlParserMissing();
      dialogs_.ShowMessageBox(ReadFailedText(read), kInformation);
      return false;
    }
    TChannelTree& tree = store_.Tree();
    tree.LockTreePaint(true);
    const ParseOutcome parsed = ParseChannelData(image.Bytes(), store_, journal_);
    tree.LockTreePaint(false);
    if (parsed.Accepted()) return true;
    switch (AfterFailedAttempt(attempt, lastAttempt, file)) {
      case AttemptVerdict::kGoOn:
        continue;
      case AttemptVerdict::kFail:
        guard_.SetXmlParserMissing();
        return false;
    }
  }
  return true;
}

FeedDataFile::AttemptVerdict FeedDataFile::AfterFailedAttempt(int attempt, int lastAttempt, const std::string& file) {
  if (attempt == 0) {
    const bool yes = dialogs_.AskYesNo(text::J("前回に更新したデータに問題が発見されました") + "\r\n" +
                                           text::J("直近のバックアップファイルを使用してデータの修復を試みますか？"),
                                       kConfirmation, platform::DefaultAnswer::kYes);
    if (!yes) return AttemptVerdict::kFail;
    // From here on a save may replace the damaged file: it keeps a copy under another
    // name first, and without that copy nothing is saved in this run.
    if (!SetAside(file)) guard_.SetXmlParserMissing();
    store_.SetModified();
    return AttemptVerdict::kGoOn;
  }
  if (attempt == lastAttempt) {
    store_.ClearModified();
    dialogs_.ShowMessageBox(text::J("データの修復を試みましたが残念ながら失敗しました。") + "\r\n" +
                                text::J("ディスクに問題があるか破損したフィードデータを受信した可能性があります。"),
                            kInformation);
    return AttemptVerdict::kFail;
  }
  // The next backup is tried straight away; nothing waits here for the screen to settle.
  const bool yes = dialogs_.AskYesNo(text::J("バックアップファイルに問題が発見されました") + "\r\n" +
                                         text::J("次のバックアップファイルを使用してデータの修復を試みますか？"),
                                     kConfirmation, platform::DefaultAnswer::kYes);
  if (!yes) return AttemptVerdict::kFail;
  store_.SetModified();
  return AttemptVerdict::kGoOn;
}

bool FeedDataFile::SetAside(const std::string& file) {
  const std::string name = file + ".damaged-" + LocalDateTimeStamp(Now());
  if (platform::LinkOrCopyNew(file, name)) return true;
  // Two damaged loads within one second: the second copy gets a number.
  for (int number = 2; number <= 99; ++number) {
    const std::string numbered = name + "-" + std::to_string(number);
    if (!platform::NameExists(numbered)) return platform::LinkOrCopyNew(file, numbered);
  }
  return false;
}

}  // namespace store
