// SPDX-License-Identifier: MIT
// The one-time conversion of the older XML data file plover.def.
#include <string>

#include "platform/Files.h"
#include "store/datafile/FeedDataFile.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace store {
namespace {

constexpr auto kInformation = platform::MessageType::kInformation;
constexpr std::time_t kEvidenceAge = 24 * 60 * 60;

// Paths are UTF-8; the texts the user sees are code page 932.
std::string PathForMessage(const std::string& path) {
  const std::string converted = text::Utf8ToSjis(path);
  return converted.empty() ? path : converted;
}

std::string ConversionNotice(const std::string& folder) {
  std::string withoutSlash = folder;
  if (withoutSlash.size() > 1 && withoutSlash.back() == '/') withoutSlash.pop_back();
  const std::string quote = "\"";
  return text::J("【Ploverからのご案内】 どうか注意深くご覧ください！") + "\r\n\r\n" +
         text::J("新しいPloverのデータへの変換がおこなわれました。") + "\r\n" + text::J("前バージョンのデータは ") +
         quote + "plover.def" + quote + text::J(" から ") + quote + "plover.def.bak" + quote +
         text::J(" という名前に変更されて") + "\r\n" + PathForMessage(withoutSlash) +
         text::J(" にバックアップをおこないましたが") + "\r\n" +
         text::J("念のために登録されているサイトの一覧をOPML形式で ") + quote + PathForMessage(folder) +
         text::J("サイトデータ.opml") + quote + text::J(" に保存しました。") + "\r\n\r\n" +
         text::J("確認が完了したら [はい] を選択してください。");
}

}  // namespace

void FeedDataFile::ConvertLegacyFolder(const std::string& folder, bool expandRoot) {
  if (converter_ == nullptr) {
    // Without a reader for the old format a save would put an empty plover.dat beside the
    // user's old data, and the conversion would never run again.
    guard_.SetXmlParserMissing();
    return;
  }
  if (ConvertLegacyData(folder, expandRoot)) FinishConversion(folder);
  ConfirmConversion(folder);
}

void FeedDataFile::FinishConversion(const std::string& folder) {
  store_.SetModified();
  // The old files go only once the new data file holds their content and plover.def has
  // its .bak copy; otherwise they stay and the conversion runs again at the next start.
  if (SaveChannelTree(folder, false) != SaveResult::kSaved) return;
  if (!platform::CopyFileDurably(folder + "plover.def", folder + "plover.def.bak")) return;
  platform::RemoveIfPresent(folder + "plover.def");
  platform::RemoveIfPresent(folder + "plover.sub");
  platform::RemoveIfPresent(folder + "plover.sub.bak");
}

void FeedDataFile::ConfirmConversion(const std::string& folder) {
  const std::string opml = text::SjisToUtf8(converter_->ExportOpml(store_.Tree()));
  if (!opml.empty()) platform::WriteFileDurably(folder + "サイトデータ.opml", opml);
  const std::string notice = ConversionNotice(folder);
  // The notice repeats until the user confirms it; a host that cannot ask (a console
  // without a terminal answers No every time) must not keep the start waiting for ever.
  constexpr int kMostRepeats = 20;
  for (int i = 0; i < kMostRepeats; ++i) {
    dialogs_.Beep();
    if (dialogs_.AskYesNo(notice, platform::MessageType::kConfirmation, platform::DefaultAnswer::kNo)) break;
  }
}

void FeedDataFile::AnnounceLegacyVersion(double version) {
  if (version > 1.0) {
    dialogs_.ShowMessageBox(text::J("記録ファイルのバージョンがプログラムより新しいものです。") + "\r\n" +
                                text::J("できる範囲で読み込みますがファイルの内容が一部欠落する可能性があります。"),
                            kInformation);
    store_.SetModified();
  } else if (version < 1.0) {
    dialogs_.ShowMessageBox(text::J("古い形式の記録ファイルなので変換します。"), kInformation);
    store_.SetModified();
  }
}

bool FeedDataFile::ConvertLegacyData(const std::string& folderPath, bool expandRoot) {
  if (guard_.XmlParserMissing() || converter_ == nullptr) return false;
  const std::string folder = platform::WithSlash(folderPath);
  const std::string def = folder + "plover.def";
  // The replacement last used: 0 none, 1 plover.def.bak, 2 plover.sub, 3 plover.sub.bak.
  // It only ever moves on, so the attempts end.
  int stage = 0;
  for (bool first = true;; first = false) {
    if (const std::optional<double> version = converter_->OpenLegacyFile(def)) {
      AnnounceLegacyVersion(*version);
      TChannelTree& tree = store_.Tree();
      tree.LockTreePaint(true);
      converter_->BuildLegacyTree(store_, journal_);
      tree.LockTreePaint(false);
      if (expandRoot) tree.ExpandAncestors(tree.RootNode());
      return true;
    }
    if (first) CopyLegacyEvidence(folder);
    if (stage == 0 && first && platform::FileExists(folder + "plover.def.bak")) {
      if (!dialogs_.AskYesNo(
              text::J("前回に更新したFeedデータに問題が発見されました。(errorフォルダにデータバックアップしました)") +
                  "\r\n" +
                  text::J("１つ前のバックアップファイルを使用して再起動を試みる場合は[はい]を選択してください"),
              platform::MessageType::kConfirmation, platform::DefaultAnswer::kNo)) {
        guard_.SetXmlParserMissing();
        return false;
      }
      stage = 1;
      platform::CopyFileDurably(folder + "plover.def.bak", def);
    } else if (stage <= 1 && platform::FileExists(folder + "plover.sub")) {
      if (!dialogs_.AskYesNo(text::J("バックアップデータでも修復できませんでした。") + "\r\n" +
                                 text::J("登録サイトの情報だけを残して再起動を試みる場合は[はい]を選択してください"),
                             platform::MessageType::kConfirmation, platform::DefaultAnswer::kNo)) {
        guard_.SetXmlParserMissing();
        return false;
      }
      stage = 2;
      platform::CopyFileDurably(folder + "plover.sub", def);
    } else if (stage <= 2 && platform::FileExists(folder + "plover.sub.bak")) {
      stage = 3;
      platform::CopyFileDurably(folder + "plover.sub.bak", def);
    } else {
      dialogs_.ShowMessageBox(text::J("大変ご迷惑をお掛け致します・・・データの修復には失敗しました。") + "\r\n" +
                                  text::J("一部のサイトが壊れたRSS/Atomデータを配信した可能性があります。"),
                              kInformation);
      guard_.ClearXmlParserMissing();
      return true;
    }
  }
}

void FeedDataFile::CopyLegacyEvidence(const std::string& folder) {
  const std::string errorFolder = folder + "error/";
  if (!platform::CreateFolders(errorFolder)) return;
  for (const char* name : {"plover.def", "plover.sub", "plover.def.bak", "plover.sub.bak"}) {
    const std::string source = folder + name;
    const std::string copy = errorFolder + name;
    if (!platform::FileExists(source)) continue;
    const std::optional<std::time_t> copied = platform::ModificationTime(copy);
    // An evidence copy less than a day old is kept: it shows the first failure of the day.
    if (copied && Now() - *copied < kEvidenceAge) continue;
    platform::CopyFileDurably(source, copy);
  }
}

}  // namespace store
