// SPDX-License-Identifier: MIT
#include "app/private/Migration.h"

#include <sys/stat.h>

#include <string_view>

#include "platform/Files.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace app {
namespace {

constexpr char kCrLf[] = "\r\n";

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// A native path as it appears inside a message. A name that is not valid UTF-8 is shown
// with its bytes as they are rather than not at all.
std::string PathForMessage(const std::string& path) {
  std::string converted = text::Utf8ToSjis(path);
  return converted.empty() ? path : converted;
}

bool SameFolder(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string MoveQuestion(const std::string& source, bool destinationHasData) {
  std::string question = text::J("既にプログラムフォルダにデータが存在します。") + kCrLf +
                         text::J("Windows Vista以降のOSで使用するために Users フォルダにデータを移動します。") + kCrLf +
                         text::J("[はい]でデータの移動 [いいえ]でデータの移動はおこなわずにバックアップします。") +
                         kCrLf + text::J("バックアップ先 : ") + PathForMessage(source) + "backup";
  if (destinationHasData) {
    question += std::string(kCrLf) + kCrLf +
                text::J("【注意】 既に Users フォルダにデータが存在します [はい]を選択すると上書きされます。");
  }
  return question;
}

// The program's own files stay where they are; everything else named plover.* is data.
bool IsMovableDataFile(const std::string& name) {
  const std::string lower = AsciiLower(name);
  if (lower.rfind("plover.", 0) != 0) return false;
  return lower != "plover.exe" && lower != "plover.txt" && lower != "plover.drv";
}

bool MoveDataFiles(const std::string& source, const std::string& target) {
  bool ok = true;
  for (const std::string& name : platform::ListFiles(source)) {
    if (!IsMovableDataFile(name)) continue;
    // The source goes only after its copy is safely on disk.
    const bool moved = platform::CopyFileDurably(source + name, target + name) && platform::RemoveFile(source + name);
    ok = ok && moved;
  }
  return ok;
}

}  // namespace

bool MigrateDataFolder(const std::string& source, const std::string& destination, platform::Dialogs& dialogs) {
  if (!platform::FileExists(source + "plover.dat") || !platform::FileExists(source + "plover.drv")) return true;
  if (!platform::CreateFolders(destination)) return false;
  // Moving a folder onto itself would copy each file over itself and then delete it.
  if (SameFolder(source, destination)) return true;

  const bool destinationHasData = platform::FileExists(destination + "plover.dat");
  const bool move = dialogs.AskYesNo(MoveQuestion(source, destinationHasData), platform::MessageType::kConfirmation,
                                     platform::DefaultAnswer::kYes);
  const std::string target = move ? destination : source + "backup/";
  if (!dialogs.AskYesNo(text::J("本当によろしいですか？ [いいえ]でこの作業をスキップすることもできます。"),
                        platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return true;
  }
  if (!platform::CreateFolders(target)) return false;

  bool ok = true;
  if (platform::FolderExists(source + "system")) ok = platform::MoveFolder(source + "system", target + "system");
  return MoveDataFiles(source, target) && ok;
}

}  // namespace app
