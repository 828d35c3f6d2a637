// SPDX-License-Identifier: MIT
// plover-cli render: the page the window would show, printed from a data folder that is
// only read.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/DataSession.h"
#include "store/ChannelStore.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace {

using testsupport::ProgramRun;
using text::J;

ProgramRun RunCli(const std::vector<std::string>& arguments) {
  return testsupport::RunProgram(PLOVER_CLI, arguments);
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// A data folder with the channel "ニュース/朝刊" of three unread items, newest first in
// the standard order, and an empty group "空".
class RenderCommandTest : public ::testing::Test {
 protected:
  RenderCommandTest() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadWrite));
    store::TChannelTree& tree = session.Tree();
    store::TTreeNodeExt* group = tree.AddChild(tree.RootNode(), J("ニュース"), store::kKindGroup);
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = J("朝刊の配信");
    data->Site.link = "http://example.jp/";
    store::TTreeNodeExt* channel = tree.AddChild(group, J("朝刊"), store::kKindChannel, std::move(data));
    for (int i = 0; i < 3; ++i) {
      store::TSiteRecord item;
      item.title = J("記事") + std::to_string(i);
      item.link = "a" + std::to_string(i) + ".html";
      item.desc = J("本文") + std::to_string(i);
      item.modified = 45000 + i;
      session.Store().AddItemToChannel(*channel->Data(), item);
    }
    tree.AddChild(tree.RootNode(), J("空"), store::kKindGroup);
    EXPECT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
    dataFile = testsupport::ReadFile(dir / "plover.dat");
  }

  ProgramRun Render(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "render");
    arguments.push_back("--data");
    arguments.push_back(dir.Path());
    return RunCli(arguments);
  }

  testsupport::TempDir dir;
  std::string dataFile;
};

TEST_F(RenderCommandTest, SelectedItemAsAUtf8Document) {
  const ProgramRun run = Render({"ニュース/朝刊"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find("<html>\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n<title>概要</title>\r\n<style>\r\n*, "
                         "*::before, *::after { box-sizing: border-box }\r\nbody {"),
            0u)
      << run.out;
  // The default order puts the newest item first, and that is the one selected.
  EXPECT_NE(run.out.find("<a class=\"anchor_item_title\" href=\"http://example.jp/a2.html\">記事2</a>"),
            std::string::npos);
  EXPECT_NE(run.out.find("本文2"), std::string::npos);
  EXPECT_NE(run.out.find("div.title { background-color: #ffffff"), std::string::npos);  // "Simple"

  const ProgramRun second = Render({"ニュース/朝刊", "--item", "3", "--style", "Classic"});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_NE(second.out.find(">記事0</a>"), std::string::npos);
  EXPECT_NE(second.out.find("div.title { background-color: #aaaaaa"), std::string::npos);
}

TEST_F(RenderCommandTest, ViewModePageLeavesTheDataAsItWas) {
  const ProgramRun run = Render({"/ニュース", "--view-mode"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(CountOf(run.out, "<div class=\"items\">"), 3u);
  EXPECT_EQ(CountOf(run.out, " (1/1) "), 2u);
  EXPECT_EQ(CountOf(run.out, "flag_u.gif"), 3u);  // shown as they were: unread
  // Showing the page made the items read in memory only.
  const ProgramRun again = Render({"/ニュース", "--view-mode", "--item", "3"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(CountOf(again.out, "flag_u.gif"), 3u);
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.dat"), dataFile);
  EXPECT_FALSE(testsupport::FileExists(dir / "plover.ini"));
}

TEST_F(RenderCommandTest, ViewModeItemOnALaterPage) {
  const std::string ini = "[Ev_Main]\r\nEvwSeekMax=2\r\n";
  testsupport::WriteFile(dir / "plover.ini", ini);
  const ProgramRun run = Render({"ニュース", "--view-mode", "--item", "3"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(CountOf(run.out, " (2/2) "), 2u);
  EXPECT_EQ(CountOf(run.out, "<div class=\"items\">"), 1u);
  EXPECT_NE(run.out.find(">記事2</a>"), std::string::npos);  // oldest first: the third is the newest
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.ini"), ini);
}

TEST_F(RenderCommandTest, MessagesAndErrors) {
  const ProgramRun empty = Render({"空"});
  ASSERT_EQ(empty.status, 0) << empty.err;
  EXPECT_NE(empty.out.find(">表示できる記事はありません</a>"), std::string::npos);

  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string err;
  } cases[] = {
      {{"ない"}, 1, "ノードが見つかりません: ない\n"},
      {{"ニュース/朝刊", "--item", "4"}, 1, "記事がありません: 4\n"},
      {{"ニュース", "--view-mode", "--item", "4"}, 1, "記事がありません: 4\n"},
      {{"ニュース/朝刊", "--item", "x"}, 2, "記事の番号が正しくありません: x\n"},
      {{}, 2, "ノードのパスを指定してください。\n"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Render(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
