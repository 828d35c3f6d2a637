// SPDX-License-Identifier: MIT
// "plover-cli mark": item states changed as the headline list's commands change them, then
// saved; the journal keeps the changes a failed save could not.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/DataSession.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace {

using store::kStateProtected;
using store::kStateRead;
using store::kStateUnread;
using testsupport::ProgramRun;
using text::J;

// The states of the channel's items as a word of one letter each (u unread, r read, p
// protected), in the order 一 二 三 of their titles.
using States = std::string;

// "ニュース/朝刊" holds 一 (unread, newest), 二 (protected) and 三 (read, oldest); the saved
// search "一 三" lists two of them. The list's standard order puts the unread item first,
// then the read one, then the protected one: rows 1 2 3 are 一 三 二.
class MarkCommandTest : public ::testing::Test {
 protected:
  MarkCommandTest() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadWrite));
    store::TChannelTree& tree = session.Tree();
    store::TTreeNodeExt* group = tree.AddChild(tree.RootNode(), J("ニュース"), store::kKindGroup);
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = J("朝刊");
    store::TTreeNodeExt* channel = tree.AddChild(group, J("朝刊"), store::kKindChannel, std::move(data));
    Item(session, channel, "一", 45003, kStateUnread);
    Item(session, channel, "二", 45002, kStateProtected);
    Item(session, channel, "三", 45001, kStateRead);
    tree.AddChild(tree.RootNode(), J("一 三"), store::kKindSearch);
    EXPECT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
    dataFile = testsupport::ReadFile(dir / "plover.dat");
  }

  static void Item(app::DataSession& session, store::TTreeNodeExt* channel, const char* title, double modified,
                   uint8_t read) {
    store::TSiteRecord item;
    item.title = J(title);
    item.link = "http://example.jp/" + std::to_string(static_cast<int>(modified));
    item.modified = modified;
    item.read = read;
    session.Store().AddItemToChannel(*channel->Data(), item);
  }

  ProgramRun Mark(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "mark");
    arguments.insert(arguments.end(), {"--data", dir.Path()});
    return testsupport::RunProgram(PLOVER_CLI, arguments);
  }

  // The states as plover.dat holds them now.
  States Saved() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadOnly));
    States states = "???";
    const store::TTreeNodeExt* channel = session.Tree().RootNode()->Child(0)->Child(0);
    for (const auto& item : channel->Data()->Items()) {
      const size_t at = item->title == J("一") ? 0 : item->title == J("二") ? 1 : 2;
      states[at] = item->read == kStateUnread ? 'u' : item->read == kStateRead ? 'r' : 'p';
    }
    return states;
  }

  testsupport::TempDir dir;
  std::string dataFile;
};

struct MarkCase {
  const char* name;
  std::vector<std::string> arguments;
  int changed;
  States after;  // before: "upr"
};

class MarkStates : public MarkCommandTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(MarkStates, ChangesAndSavesTheStates) {
  const MarkCase& c = GetParam();
  const ProgramRun run = Mark(c.arguments);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::to_string(c.changed) + " 件の記事の状態を変更しました\n");
  EXPECT_EQ(Saved(), c.after);
  // A clean end: the saved data holds every change, and no journal is left.
  EXPECT_FALSE(testsupport::FileExists(dir / "system/recovery.dat"));
}

const MarkCase kMarkCases[] = {
    // One item: its state whatever it was; unprotect only takes a protected item.
    {"ReadOne", {"read", "ニュース/朝刊", "--item", "1"}, 1, "rpr"},
    {"ReadAProtectedOne", {"read", "ニュース/朝刊", "--item", "3"}, 1, "urr"},
    {"UnreadOne", {"unread", "ニュース/朝刊", "--item", "2"}, 1, "upu"},
    {"ProtectOne", {"protect", "ニュース/朝刊", "--item", "1"}, 1, "ppr"},
    {"UnprotectOne", {"unprotect", "ニュース/朝刊", "--item", "3"}, 1, "urr"},
    {"UnprotectOneThatIsNotProtected", {"unprotect", "ニュース/朝刊", "--item", "1"}, 0, "upr"},
    // All items: the bulk rule leaves protected items protected.
    {"ReadAll", {"read", "ニュース/朝刊"}, 1, "rpr"},
    {"UnreadAll", {"unread", "/ニュース/朝刊"}, 1, "upu"},
    {"ProtectAll", {"protect", "ニュース/朝刊"}, 2, "ppp"},
    {"UnprotectAll", {"unprotect", "ニュース/朝刊"}, 1, "urr"},
    // A saved search: the items it lists, numbered as its list shows them.
    {"ProtectAllOfASearch", {"protect", "一 三"}, 2, "ppp"},
    {"UnreadOneOfASearch", {"unread", "一 三", "--item", "2"}, 1, "upu"},
};

INSTANTIATE_TEST_SUITE_P(Mark, MarkStates, ::testing::ValuesIn(kMarkCases),
                         [](const ::testing::TestParamInfo<MarkCase>& info) { return info.param.name; });

struct MarkErrorCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string err;  // how the standard error begins
};

class MarkErrors : public MarkCommandTest, public ::testing::WithParamInterface<MarkErrorCase> {};

TEST_P(MarkErrors, SayWhatIsWrongAndChangeNothing) {
  const MarkErrorCase& c = GetParam();
  const ProgramRun run = Mark(c.arguments);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.dat"), dataFile);
  EXPECT_FALSE(testsupport::FileExists(dir / "system/recovery.dat"));
}

const MarkErrorCase kMarkErrorCases[] = {
    {"NoSuchNode", {"read", "ニュース/夕刊"}, 1, "ノードが見つかりません: ニュース/夕刊\n"},
    {"AGroup", {"read", "ニュース"}, 1, "チャンネルか検索項目ではありません: ニュース\n"},
    {"NoSuchItem", {"read", "ニュース/朝刊", "--item", "4"}, 1, "記事がありません: 4\n"},
    {"ItemZero", {"read", "ニュース/朝刊", "--item", "0"}, 2, "記事の番号が正しくありません: 0\n"},
    {"ItemNotANumber", {"read", "ニュース/朝刊", "--item", "x"}, 2, "記事の番号が正しくありません: x\n"},
    {"UnknownState", {"seen", "ニュース/朝刊"}, 2, "状態は read、unread、protect、unprotect のどれかです: seen\n"},
    {"NoPath", {"read"}, 2, "状態とノードのパスを指定してください。\n"},
};

INSTANTIATE_TEST_SUITE_P(Mark, MarkErrors, ::testing::ValuesIn(kMarkErrorCases),
                         [](const ::testing::TestParamInfo<MarkErrorCase>& info) { return info.param.name; });

// The state changes reach the journal as they are made: when the save fails they are
// still there for the next start, which offers to bring them back.
TEST_F(MarkCommandTest, AFailedSaveLeavesTheChangesInTheJournal) {
  // A folder where the save's temporary file should go makes the save fail.
  std::filesystem::create_directories(dir / "plover.tmp/blocked");
  const ProgramRun failed = Mark({"read", "ニュース/朝刊", "--item", "1"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("データを保存できませんでした: "), std::string::npos) << failed.err;
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.dat"), dataFile);
  const std::string journal = testsupport::ReadFile(dir / "system/recovery.dat");
  const std::string record = "\r\n1\r\n";
  ASSERT_EQ(journal.substr(0, 4), "0.10") << journal;
  const size_t at = journal.find(record);
  ASSERT_NE(at, std::string::npos) << journal;
  // The key ends with the item's title and link; the channel's recovery number comes first.
  const std::string key =
      journal.substr(at + record.size(), journal.find("\r\n", at + record.size()) - at - record.size());
  EXPECT_TRUE(key.ends_with("\t" + J("一") + "\thttp://example.jp/45003")) << key;

  // Without a terminal the repair question is not answered for the user; --yes answers it,
  // and the replayed state is saved with the next change.
  std::filesystem::remove_all(dir / "plover.tmp");
  const ProgramRun refused = Mark({"unprotect", "ニュース/朝刊"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("前回、Ploverは正常な終了がおこなわれませんでした。"), std::string::npos) << refused.err;
  const ProgramRun repaired = Mark({"unprotect", "ニュース/朝刊", "--yes"});
  ASSERT_EQ(repaired.status, 0) << repaired.err;
  EXPECT_EQ(Saved(), "rrr");
  EXPECT_FALSE(testsupport::FileExists(dir / "system/recovery.dat"));
}

}  // namespace
