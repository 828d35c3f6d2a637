// SPDX-License-Identifier: MIT
// plover-cli run as a program on temporary data folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/DataSession.h"
#include "platform/InstanceLock.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/BackupFiles.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/RefusedFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace {

using store::TTreeNodeExt;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using text::J;

using CliRun = testsupport::ProgramRun;

CliRun RunCli(const std::vector<std::string>& arguments) {
  return testsupport::RunProgram(PLOVER_CLI, arguments);
}

// The head every export begins with, in the order the program writes it.
const std::string kExportHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<opml version=\"1.1\">\r\n  <head>\r\n"
    "    <title>Plover OPMLリスト</title>\r\n    <ownername>varnholt</ownername>\r\n"
    "    <owneremail>plover@example.org</owneremail>\r\n  </head>\r\n  <body>\r\n";

const std::string kSmallOpml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.1\">\n<head><title>購読リスト</title></head>\n"
    "<body>\n<outline text=\"ニュース\">\n"
    "<outline text=\"朝刊 &amp; 夕刊\" type=\"rss\" xmlUrl=\"http://example.jp/news.xml\" "
    "htmlUrl=\"http://example.jp/\"/>\n"
    "</outline>\n<outline text=\"技術\" xmlUrl=\"http://example.jp/tech.xml\"/>\n</body>\n</opml>\n";

// The channel data of a folder, loaded the way the program loads it.
struct LoadedFolder {
  explicit LoadedFolder(const std::string& folder) { loaded = dataFile.LoadChannelTree(folder, 0, false); }
  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  settings::Settings settings;
  store::ChannelStore store{settings};
  store::DataGuard guard;
  testsupport::ScriptedDialogs dialogs;
  store::RecoveryCounter counter{1};
  store::FeedDataFile dataFile{store, guard, dialogs, counter};
  bool loaded = false;
};

class CliTest : public ::testing::Test {
 protected:
  std::string Data() const { return dir.Path(); }

  // Imports the small list into the data folder.
  void ImportSmallList() {
    WriteFile(dir / "list.opml", kSmallOpml);
    const CliRun run = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2 件のチャンネルを追加しました (グループ「購読リスト」)\n");
  }

  testsupport::TempDir dir;
};

TEST_F(CliTest, ImportAddsTheListAsAGroupAndSavesIt) {
  ImportSmallList();
  LoadedFolder folder(Data());
  ASSERT_TRUE(folder.loaded);
  ASSERT_EQ(folder.Root()->ChildCount(), 1u);
  TTreeNodeExt* list = folder.Root()->Child(0);
  EXPECT_EQ(list->Caption(), J("購読リスト"));
  EXPECT_EQ(list->Kind(), store::kKindGroup);
  ASSERT_EQ(list->ChildCount(), 2u);
  TTreeNodeExt* news = list->Child(0)->Child(0);
  ASSERT_NE(news, nullptr);
  EXPECT_EQ(news->Caption(), J("朝刊 & 夕刊"));
  EXPECT_EQ(news->Kind(), store::kKindStopped);
  EXPECT_EQ(news->Data()->Site.rdfurl, "http://example.jp/news.xml");
  EXPECT_EQ(news->Data()->Site.link, "http://example.jp/");
  EXPECT_EQ(list->Child(1)->Data()->Site.rdfurl, "http://example.jp/tech.xml");
  // A clean end: no journal is left, and the settings file is not the command's to write.
  EXPECT_FALSE(FileExists(dir / "system/recovery.dat"));
  EXPECT_FALSE(FileExists(dir / "plover.ini"));

  // A second import goes below the group the path names, and the save keeps a backup.
  const CliRun again = RunCli({"import-opml", dir / "list.opml", "--into", "購読リスト/ニュース", "--data", Data()});
  ASSERT_EQ(again.status, 0) << again.err;
  LoadedFolder reloaded(Data());
  TTreeNodeExt* target = reloaded.Root()->Child(0)->Child(0);
  ASSERT_EQ(target->ChildCount(), 2u);
  EXPECT_EQ(target->Child(0)->Caption(), J("購読リスト"));
  EXPECT_EQ(target->Child(1)->Caption(), J("朝刊 & 夕刊"));
  EXPECT_EQ(store::ListBackupFiles(Data()).size(), 1u);
}

TEST_F(CliTest, ExportWritesTheTreeOrOneNodeAsOpml) {
  ImportSmallList();
  const std::string newsLine =
      "<outline text=\"朝刊 &amp; 夕刊\" title=\"朝刊 &amp; 夕刊\" type=\"rss\" version=\"RSS\" "
      "htmlUrl=\"http://example.jp/\" xmlUrl=\"http://example.jp/news.xml\"/>\r\n";

  const CliRun whole = RunCli({"export-opml", "--data", Data()});
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.out, kExportHead +
                           "    <outline text=\"購読リスト\">\r\n      <outline text=\"ニュース\">\r\n        " +
                           newsLine +
                           "      </outline>\r\n      <outline text=\"技術\" title=\"技術\" type=\"rss\" "
                           "version=\"RSS\" htmlUrl=\"\" xmlUrl=\"http://example.jp/tech.xml\"/>\r\n"
                           "    </outline>\r\n  </body>\r\n</opml>");

  const std::string output = dir / "news.opml";
  const CliRun node = RunCli({"export-opml", "/購読リスト/ニュース", "--output", output, "--data", Data()});
  ASSERT_EQ(node.status, 0) << node.err;
  EXPECT_EQ(node.out, "OPMLファイルを保存しました: " + output + "\n");
  EXPECT_EQ(ReadFile(output), kExportHead + "    " + newsLine + "  </body>\r\n</opml>");
}

TEST_F(CliTest, ListShowsTheDisplayedCaptionsWithTheirCounts) {
  {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(Data(), loop, dialogs);
    ASSERT_TRUE(session.Open(app::DataAccess::kReadWrite));
    store::TChannelTree& tree = session.Tree();
    TTreeNodeExt* group = tree.AddChild(tree.RootNode(), J("ニュース"), store::kKindGroup);
    TTreeNodeExt* channel = tree.AddChild(group, J("朝刊"), store::kKindChannel, std::make_unique<store::TSiteList>());
    for (int i = 0; i < 3; ++i) {
      store::TSiteRecord item;
      item.title = "item" + std::to_string(i);
      item.read = i == 0 ? store::kStateRead : store::kStateUnread;
      session.Store().AddItemToChannel(*channel->Data(), item);
    }
    tree.AddChild(tree.RootNode(), J("地震"), store::kKindSearch);
    ASSERT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
  }
  const CliRun run = RunCli({"list", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "ヘッドライン (2/3)\n  ニュース (2/3)\n    朝刊 (2/3)\n  地震\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, ErrorsAreReportedInJapaneseWithTheirExitStatus) {
  WriteFile(dir / "feed.xml", "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel/></rss>");
  WriteFile(dir / "broken.opml", "<opml><body>");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string errStart;  // the message the standard error stream begins with
  };
  const std::vector<Case> cases = {
      {{"import-opml", dir / "missing.opml", "--data", Data()}, 1, "ファイルがありません: " + dir / "missing.opml\n"},
      {{"import-opml", dir / "feed.xml", "--data", Data()}, 1, "OPMLファイルではありません: " + dir / "feed.xml\n"},
      {{"import-opml", dir / "broken.opml", "--data", Data()},
       1,
       "XMLとして読み込めませんでした: " + dir / "broken.opml ("},
      {{"list", "--data", dir / "nowhere"},
       1,
       "データフォルダがありません: " + dir / "nowhere/\n(plover-cli init で作成できます)\n"},
      {{"export-opml", "ない", "--data", Data()}, 1, "ノードが見つかりません: ない\n"},
      {{"import-opml", dir / "feed.xml", "--into", "ない", "--data", Data()}, 1, "ノードが見つかりません: ない\n"},
      {{"list", "--bogus", "--data", Data()}, 2, "不明なオプションです: --bogus\n\n使い方: plover-cli list"},
      {{"export-opml", "a", "b", "--data", Data()}, 2, "余分な引数があります: b\n"},
      {{"import-opml", "--data", Data()}, 2, "OPMLファイルを指定してください。\n"},
      {{"export-opml", "--output"}, 2, "--output には値を指定してください。\n"},
      {{"frob"}, 2, "不明なコマンドです: frob\n\n使い方: plover-cli [--data フォルダ]"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.errStart;
    EXPECT_TRUE(run.err.starts_with(c.errStart)) << run.err;
  }
  // None of the failures left data behind.
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
}

TEST_F(CliTest, EveryCommandExplainsItself) {
  for (const char* command : {"data-folder", "init", "list", "import-opml", "export-opml"}) {
    const CliRun run = RunCli({command, "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with(std::string("使い方: plover-cli ") + command + " ")) << run.out;
  }
  const CliRun general = RunCli({"--help"});
  EXPECT_EQ(general.status, 0);
  EXPECT_NE(general.out.find("  import-opml     OPMLファイルのチャンネルをデータに追加します\n"), std::string::npos);
}

// While another copy holds the folder, commands that change the data refuse; reading
// still works.
TEST_F(CliTest, ChangingCommandsRefuseAFolderInUse) {
  WriteFile(dir / "list.opml", kSmallOpml);
  testsupport::ManualEventLoop loop;
  {
    platform::InstanceLock lock(loop, [] {});
    ASSERT_EQ(lock.Acquire(Data(), 0), platform::InstanceLock::Result::kAcquired);
    const CliRun refused = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "データフォルダは Plover か別の plover-cli が使用中です。\n終了してからもう一度実行してください: " +
                  Data() + "\n");
    EXPECT_FALSE(FileExists(dir / "plover.dat"));
    EXPECT_EQ(RunCli({"list", "--data", Data()}).status, 0);
  }
  loop.RunPending();
  const CliRun after = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
  EXPECT_EQ(after.status, 0) << after.err;
}

// The journal of a run that ended abnormally is only for a user who can answer the repair
// question: without a terminal a changing command leaves it alone, and reading never
// touches it.
TEST_F(CliTest, AJournalLeftByACrashNeedsAnAnswer) {
  WriteFile(dir / "list.opml", kSmallOpml);
  const std::string journal = "0.10\r\n1\r\n1\tA\thttp://example.jp/a\r\n";
  WriteFile(dir / "system/recovery.dat", journal);
  const CliRun refused = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.err.starts_with("前回、Ploverは正常な終了がおこなわれませんでした。\n")) << refused.err;
  EXPECT_EQ(RunCli({"list", "--data", Data()}).status, 0);
  EXPECT_EQ(ReadFile(dir / "system/recovery.dat"), journal);
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
}

// list tells on the standard error, in one line, that the journal of a run that ended
// abnormally waits for the next start; the journal of a copy at work is no such thing.
TEST_F(CliTest, ListSaysWhenAJournalWaitsForTheNextStart) {
  const std::string waiting =
      "前回正常に終了しなかったため、復旧用のジャーナルが次回の起動を待っています "
      "(一覧は保存済みのデータです)。\n";
  const CliRun clean = RunCli({"list", "--data", Data()});
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.err, "");
  WriteFile(dir / "system/recovery.dat", "0.10\r\n1\r\n1\tA\thttp://example.jp/a\r\n");
  const CliRun left = RunCli({"list", "--data", Data()});
  EXPECT_EQ(left.status, 0);
  EXPECT_EQ(left.out, "ヘッドライン\n");
  EXPECT_EQ(left.err, waiting);
  testsupport::ManualEventLoop loop;
  platform::InstanceLock lock(loop, [] {});
  ASSERT_EQ(lock.Acquire(Data(), 0), platform::InstanceLock::Result::kAcquired);
  const CliRun atWork = RunCli({"list", "--data", Data()});
  EXPECT_EQ(atWork.status, 0);
  EXPECT_EQ(atWork.err, "");
}

// A folder that still holds only the older data file is converted by the first command
// that may write; the notice that asks until it is confirmed is printed once.
TEST_F(CliTest, TheOlderDataFileIsConvertedByAChangingCommand) {
  WriteFile(dir / "list.opml", kSmallOpml);
  WriteFile(dir / "plover.def",
            J("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><data><plover><version>1.00</version></plover>"
              "<item><flag>1</flag><dispname>古いチャンネル</dispname><rdfurl>http://example.jp/old.xml</rdfurl>"
              "</item></data>"));
  const CliRun run = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string notice = "確認が完了したら [はい] を選択してください。\n";
  const size_t first = run.err.find(notice);
  ASSERT_NE(first, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(notice, first + 1), std::string::npos) << run.err;

  EXPECT_FALSE(FileExists(dir / "plover.def"));
  EXPECT_TRUE(FileExists(dir / "plover.def.bak"));
  LoadedFolder folder(Data());
  ASSERT_EQ(folder.Root()->ChildCount(), 2u);
  EXPECT_EQ(folder.Root()->Child(0)->Caption(), J("購読リスト"));
  EXPECT_EQ(folder.Root()->Child(1)->Caption(), J("古いチャンネル"));
}

// A settings file that is there but cannot be read keeps changing commands away.
TEST_F(CliTest, UnreadableSettingsBlockChanges) {
  WriteFile(dir / "list.opml", kSmallOpml);
  std::filesystem::create_directory(dir / "plover.ini");
  const CliRun refused = RunCli({"import-opml", dir / "list.opml", "--data", Data()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "設定ファイルを読み込めないため、データを変更できません: " + Data() + "plover.ini\n");
  const CliRun listed = RunCli({"list", "--data", Data()});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "ヘッドライン\n");
  EXPECT_FALSE(FileExists(dir / "plover.dat"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "plover.ini"));
}

// parse reads a document as the update of a new channel and prints what became of it.
// Items without a date text are never dropped by age, so the output does not depend on
// the day the test runs.
TEST(CliParseTest, PrintsTheChannelAndItsItemsAsJson) {
  testsupport::TempDir dir;
  WriteFile(dir / "feed.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>日本語 \U0001F600</title>"
            "<link>http://example.jp/</link><item><title>一つ目 \"引用\"</title><link>a.html</link>"
            "<description>x&#10;y</description></item></channel></rss>");
  const CliRun run = RunCli({"parse", dir / "feed.xml", "--url", "http://example.jp/feed/rss"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.rfind("{\"result\":4,\"channel\":{\"rdfurl\":\"http://example.jp/feed/rss\"", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\"title\":\"日本語 \U0001F600\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("{\"title\":\"一つ目 \\\"引用\\\"\",\"link\":\"a.html\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"desc\":\"x\\u000ay\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"read\":0}]}"), std::string::npos) << run.out;
}

// Without --all the default keep limits drop an item dated long ago (a date in 2001 is
// older than 60 days on any day the test runs); with --all it is listed.
TEST(CliParseTest, AllListsItemsTheKeepLimitsWouldDrop) {
  testsupport::TempDir dir;
  WriteFile(dir / "old.xml",
            "<rss version=\"2.0\"><channel><title>c</title>"
            "<item><title>old</title><pubDate>Mon, 01 Jan 2001 00:00:00 GMT</pubDate></item>"
            "<item><title>undated</title></item></channel></rss>");
  const CliRun limited = RunCli({"parse", dir / "old.xml"});
  ASSERT_EQ(limited.status, 0) << limited.err;
  EXPECT_EQ(limited.out.find("\"title\":\"old\""), std::string::npos) << limited.out;
  EXPECT_NE(limited.out.find("\"title\":\"undated\""), std::string::npos) << limited.out;
  const CliRun all = RunCli({"parse", dir / "old.xml", "--all"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_NE(all.out.find("\"title\":\"old\""), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\"title\":\"undated\""), std::string::npos) << all.out;
}

TEST(CliParseTest, FailuresExitWithTheirMeaning) {
  testsupport::TempDir dir;
  WriteFile(dir / "page.html", "<html><body/></html>");
  WriteFile(dir / "broken.xml", "<rss><channel>");
  const CliRun page = RunCli({"parse", dir / "page.html"});
  EXPECT_EQ(page.status, 1);
  EXPECT_EQ(page.out.rfind("{\"result\":9,", 0), 0u) << page.out;
  EXPECT_EQ(page.err, "フィードではありません\n");
  const CliRun broken = RunCli({"parse", dir / "broken.xml"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.err.rfind("XMLとして読み込めませんでした (1行目: ", 0), 0u) << broken.err;
  // An HTML entity the document does not declare reads as its character; any other
  // undeclared entity still fails the document with the parser's reason.
  WriteFile(dir / "html-entity.xml",
            "<rss version=\"2.0\"><channel><title>c</title><item><title>caf&eacute;</title>"
            "</item></channel></rss>");
  const CliRun htmlEntity = RunCli({"parse", dir / "html-entity.xml"});
  EXPECT_EQ(htmlEntity.status, 0) << htmlEntity.err;
  EXPECT_NE(htmlEntity.out.find("\"title\":\"caf\u00e9\""), std::string::npos) << htmlEntity.out;
  WriteFile(dir / "unknown-entity.xml", "<rss version=\"2.0\"><channel><title>&bogus;</title></channel></rss>");
  const CliRun unknown = RunCli({"parse", dir / "unknown-entity.xml"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "XMLとして読み込めませんでした (1行目: Entity 'bogus' not defined)\n");
  const CliRun missing = RunCli({"parse", dir / "none.xml"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "ファイルを読み込めませんでした: " + dir / "none.xml" + "\n");
  EXPECT_EQ(RunCli({"parse"}).status, 2);
}

// parse reads regular files of a feed's size only: a device or a link to one, a folder, a
// pipe or a file over the ceiling ends the command at once, with the reason on a second
// line. An OPML list to import is held to the same rule.
class CliParseRefusesTest : public testing::TestWithParam<testsupport::RefusedFile> {};

TEST_P(CliParseRefusesTest, EndsWithTheReason) {
  testsupport::TempDir dir;
  const std::string path = GetParam().make(dir);
  const CliRun run = RunCli({"parse", path});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "ファイルを読み込めませんでした: " + path + "\n" + GetParam().cause + "\n");

  const CliRun import = RunCli({"import-opml", path, "--data", dir / "data"});
  EXPECT_EQ(import.status, 1);
  EXPECT_EQ(import.out, "");
}

INSTANTIATE_TEST_SUITE_P(Files, CliParseRefusesTest, testing::ValuesIn(testsupport::RefusedFiles()),
                         [](const testing::TestParamInfo<testsupport::RefusedFile>& info) { return info.param.name; });

}  // namespace
