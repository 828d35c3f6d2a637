// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "store/datafile/BackupFiles.h"

namespace store::testing {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using text::J;

// A stand-in for the XML reader: a "legacy file" is "version=<n>" followed by lines
// "channel:<caption>"; anything else is a file that does not load.
class SmallConverter : public LegacyConverter {
 public:
  std::optional<double> OpenLegacyFile(const std::string& path) override {
    content_ = ReadFile(path);
    opened.push_back(content_);
    if (content_.rfind("version=", 0) != 0) return std::nullopt;
    return std::stod(content_.substr(8));
  }
  void BuildLegacyTree(ChannelStore& store, ItemStateReplay*) override {
    std::istringstream lines(content_);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("channel:", 0) == 0) AddChannel(store, store.Tree().RootNode(), line.substr(8), 1, 1);
    }
  }
  std::string ExportOpml(const TChannelTree& tree) override {
    std::string opml = J("<opml>見出し");
    for (size_t i = 0; i < tree.RootNode()->ChildCount(); ++i) opml += tree.RootNode()->Child(i)->Caption();
    return opml + "</opml>";
  }
  std::vector<std::string> opened;

 private:
  std::string content_;
};

const std::string kBackupQuestion =
    "前回に更新したFeedデータに問題が発見されました。(errorフォルダにデータバックアップしました)\r\n"
    "１つ前のバックアップファイルを使用して再起動を試みる場合は[はい]を選択してください";
const std::string kSubQuestion =
    "バックアップデータでも修復できませんでした。\r\n登録サイトの情報だけを残して再起動を試みる場合は[はい]"
    "を選択してください";
const std::string kGaveUp =
    "大変ご迷惑をお掛け致します・・・データの修復には失敗しました。\r\n"
    "一部のサイトが壊れたRSS/Atomデータを配信した可能性があります。";

class LegacyTest : public ::testing::Test {
 protected:
  LegacyTest() { run.dataFile.SetLegacyConverter(&converter); }

  std::string Notice() {
    std::string folder = dir.Path();
    folder.pop_back();
    return "【Ploverからのご案内】 "
           "どうか注意深くご覧ください！\r\n\r\n新しいPloverのデータへの変換がおこなわれました。\r\n"
           "前バージョンのデータは \"plover.def\" から \"plover.def.bak\" という名前に変更されて\r\n" +
           folder + " にバックアップをおこないましたが\r\n念のために登録されているサイトの一覧をOPML形式で \"" +
           dir.Path() + "サイトデータ.opml\" に保存しました。\r\n\r\n確認が完了したら [はい] を選択してください。";
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& shown : run.dialogs.shown) texts.push_back(shown.text);
    return texts;
  }

  testsupport::TempDir dir;
  ProgramRun run{dir.Path()};
  SmallConverter converter;
};

TEST_F(LegacyTest, ConvertsOnceSavesAndAsksUntilConfirmed) {
  WriteFile(dir / "plover.def", "version=1.00\nchannel:Alpha\n");
  WriteFile(dir / "plover.sub", "version=1.00\n");
  WriteFile(dir / "plover.sub.bak", "version=1.00\n");
  run.dialogs.Answer(false);  // the notice comes back until it is confirmed
  run.dialogs.Answer(true);
  EXPECT_TRUE(run.Load());

  EXPECT_EQ(Texts(), (std::vector<std::string>{Notice(), Notice()}));
  EXPECT_TRUE(run.dialogs.shown[0].defaultNo);
  EXPECT_EQ(run.dialogs.shown[0].type, platform::MessageType::kConfirmation);
  EXPECT_EQ(run.dialogs.beeps, 2);
  EXPECT_NE(ReadFile(dir / "plover.dat").find("dispname:Alpha\r\n"), std::string::npos);
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_EQ(ReadFile(dir / "plover.def.bak"), "version=1.00\nchannel:Alpha\n");
  EXPECT_FALSE(FileExists(dir / "plover.def"));
  EXPECT_FALSE(FileExists(dir / "plover.sub"));
  EXPECT_FALSE(FileExists(dir / "plover.sub.bak"));
  EXPECT_EQ(ReadFile(dir / "サイトデータ.opml"), "<opml>見出しAlpha</opml>");  // UTF-8
  EXPECT_TRUE(ListBackupFiles(dir.Path()).empty());                            // no backup taken
}

TEST_F(LegacyTest, OtherVersionsAreAnnounced) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1.50",
       "記録ファイルのバージョンがプログラムより新しいものです。\r\n"
       "できる範囲で読み込みますがファイルの内容が一部欠落する可能性があります。"},
      {"0.90", "古い形式の記録ファイルなので変換します。"},
  };
  for (const auto& [version, message] : cases) {
    run.store.ClearUserTree();
    run.dialogs.shown.clear();
    WriteFile(dir / "plover.def", "version=" + version + "\nchannel:A\n");
    EXPECT_TRUE(run.dataFile.ConvertLegacyData(dir.Path(), false));
    EXPECT_EQ(Texts(), std::vector<std::string>{message});
    EXPECT_TRUE(run.store.DataModified());
    run.store.ClearModified();
  }
}

TEST_F(LegacyTest, FallsBackThroughTheReplacementFilesInOrder) {
  run.dataFile.SetClock([] { return std::time(nullptr); });
  WriteFile(dir / "plover.def", "broken def");
  WriteFile(dir / "plover.def.bak", "broken def.bak");
  WriteFile(dir / "plover.sub", "broken sub");
  WriteFile(dir / "plover.sub.bak", "version=1.00\nchannel:FromSubBak\n");
  run.dialogs.Answer(true);
  run.dialogs.Answer(true);
  EXPECT_TRUE(run.dataFile.ConvertLegacyData(dir.Path(), false));
  EXPECT_EQ(Texts(), (std::vector<std::string>{kBackupQuestion, kSubQuestion}));
  EXPECT_EQ(converter.opened, (std::vector<std::string>{"broken def", "broken def.bak", "broken sub",
                                                        "version=1.00\nchannel:FromSubBak\n"}));
  EXPECT_EQ(run.Root()->Child(0)->Caption(), "FromSubBak");
  // The files as they were at the first failure are kept as evidence.
  EXPECT_EQ(ReadFile(dir / "error/plover.def"), "broken def");
  EXPECT_EQ(ReadFile(dir / "error/plover.sub"), "broken sub");
  EXPECT_EQ(ReadFile(dir / "error/plover.def.bak"), "broken def.bak");
}

TEST_F(LegacyTest, EvidenceLessThanADayOldIsKept) {
  run.dataFile.SetClock([] { return std::time(nullptr); });
  WriteFile(dir / "plover.def", "broken again");
  WriteFile(dir / "plover.sub", "broken again");
  WriteFile(dir / "error/plover.def", "first failure of the day");
  WriteFile(dir / "error/plover.sub", "two days old");
  const std::time_t old = std::time(nullptr) - 2 * 86400;
  const utimbuf times{old, old};
  ASSERT_EQ(::utime((dir / "error/plover.sub").c_str(), &times), 0);
  run.dialogs.Answer(true);  // try plover.sub
  EXPECT_TRUE(run.dataFile.ConvertLegacyData(dir.Path(), false));
  EXPECT_EQ(Texts(), (std::vector<std::string>{kSubQuestion, kGaveUp}));
  EXPECT_FALSE(run.guard.XmlParserMissing());  // the program starts with what it has
  EXPECT_EQ(ReadFile(dir / "error/plover.def"), "first failure of the day");
  EXPECT_EQ(ReadFile(dir / "error/plover.sub"), "broken again");
}

TEST_F(LegacyTest, DecliningTheBackupBlocksSavingAndKeepsTheFiles) {
  WriteFile(dir / "plover.def", "broken");
  WriteFile(dir / "plover.def.bak", "version=1.00\nchannel:Old\n");
  run.dialogs.Answer(false);  // no to the backup
  run.dialogs.Answer(true);   // the notice
  EXPECT_TRUE(run.Load());
  EXPECT_TRUE(run.guard.XmlParserMissing());
  EXPECT_EQ(Texts(), (std::vector<std::string>{kBackupQuestion, Notice()}));
  EXPECT_EQ(ReadFile(dir / "plover.def"), "broken");
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
  EXPECT_FALSE(run.dataFile.ConvertLegacyData(dir.Path(), false));  // refused at once now
}

// The old files go only after the new data file holds their content.
TEST_F(LegacyTest, AFailedSaveKeepsTheOldFilesForTheNextStart) {
  WriteFile(dir / "plover.def", "version=1.00\nchannel:A\n");
  WriteFile(dir / "plover.tmp/blocker", "a folder where the temporary file goes");
  run.dialogs.Answer(true);
  EXPECT_TRUE(run.Load());
  EXPECT_EQ(ReadFile(dir / "plover.def"), "version=1.00\nchannel:A\n");
  EXPECT_FALSE(FileExists(dir / "plover.def.bak"));
  EXPECT_TRUE(run.store.DataModified());
}

TEST_F(LegacyTest, WithoutAConverterTheOldDataIsLeftAloneAndNothingIsSaved) {
  run.dataFile.SetLegacyConverter(nullptr);
  WriteFile(dir / "plover.def", "version=1.00\nchannel:A\n");
  EXPECT_TRUE(run.Load());
  EXPECT_TRUE(run.guard.XmlParserMissing());
  run.store.SetModified();
  EXPECT_EQ(run.Save(), SaveResult::kBlocked);
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
  EXPECT_TRUE(run.dialogs.shown.empty());
}

}  // namespace
}  // namespace store::testing
