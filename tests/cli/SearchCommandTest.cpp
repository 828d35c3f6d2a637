// SPDX-License-Identifier: MIT
// plover-cli search: the items a saved search would list, from a data folder that is only
// read.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
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

// The channel "ニュース/朝刊" with three items and the channel "雑記" with one.
class SearchCommandTest : public ::testing::Test {
 protected:
  SearchCommandTest() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadWrite));
    store::TChannelTree& tree = session.Tree();
    store::TTreeNodeExt* group = tree.AddChild(tree.RootNode(), J("ニュース"), store::kKindGroup);
    store::TTreeNodeExt* morning = Channel(session, group, "朝刊");
    store::TTreeNodeExt* notes = Channel(session, tree.RootNode(), "雑記");
    Item(session, morning, "りんごの収穫", 45003, store::kStateUnread);
    Item(session, morning, "RSS入門", 45001, store::kStateRead);
    Item(session, morning, "天気", 45002, store::kStateUnread);
    Item(session, notes, "ﾘﾝｺﾞとみかん", 45000, store::kStateUnread);
    EXPECT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
    dataFile = testsupport::ReadFile(dir / "plover.dat");
  }

  static store::TTreeNodeExt* Channel(app::DataSession& session, store::TTreeNodeExt* parent, const char* caption) {
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = J(caption);
    data->Site.link = "http://example.jp/";
    return session.Tree().AddChild(parent, J(caption), store::kKindChannel, std::move(data));
  }

  static void Item(app::DataSession& session, store::TTreeNodeExt* channel, const char* title, double modified,
                   uint8_t read) {
    store::TSiteRecord item;
    item.title = J(title);
    item.link = "item" + std::to_string(static_cast<int>(modified)) + ".html";
    item.modified = modified;
    item.read = read;
    session.Store().AddItemToChannel(*channel->Data(), item);
  }

  ProgramRun Search(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "search");
    arguments.push_back("--data");
    arguments.push_back(dir.Path());
    return testsupport::RunProgram(PLOVER_CLI, arguments);
  }

  // Each output line split at its tabs.
  static std::vector<std::vector<std::string>> Rows(const std::string& out) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> fields;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
      rows.push_back(fields);
    }
    return rows;
  }

  static std::vector<std::string> Titles(const std::string& out) {
    std::vector<std::string> titles;
    for (const auto& row : Rows(out)) titles.push_back(row.empty() ? "" : row[0]);
    return titles;
  }

  testsupport::TempDir dir;
  std::string dataFile;
};

TEST_F(SearchCommandTest, ListsMatchesOfTheWholeTreeInTheListOrder) {
  const ProgramRun run = Search({"リンゴ rss"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto rows = Rows(run.out);
  ASSERT_EQ(rows.size(), 3u) << run.out;
  // The standard order: unread first, each newest first.
  EXPECT_EQ(Titles(run.out), (std::vector<std::string>{"りんごの収穫", "ﾘﾝｺﾞとみかん", "RSS入門"}));
  ASSERT_EQ(rows[0].size(), 4u);
  EXPECT_EQ(rows[0][1], "朝刊");
  EXPECT_FALSE(rows[0][2].empty());
  EXPECT_EQ(rows[0][3], "http://example.jp/item45003.html");
  EXPECT_EQ(rows[1][1], "雑記");
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.dat"), dataFile);
}

TEST_F(SearchCommandTest, QueryRulesAndTheUnreadOption) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {{"リンゴ", "--unread"}, {"りんごの収穫", "ﾘﾝｺﾞとみかん"}},
      {{"rss", "--unread"}, {}},
      {{"りんご*みかん"}, {"ﾘﾝｺﾞとみかん"}},
      {{"みかん*りんご"}, {}},
      {{"!天気"}, {}},
      {{"りんご !みかん"}, {"りんごの収穫"}},
      {{"!"}, {"りんごの収穫", "天気", "ﾘﾝｺﾞとみかん", "RSS入門"}},
  };
  for (const Case& c : cases) {
    const ProgramRun run = Search(c.arguments);
    ASSERT_EQ(run.status, 0) << c.arguments[0] << ": " << run.err;
    EXPECT_EQ(Titles(run.out), c.titles) << c.arguments[0];
  }
}

TEST_F(SearchCommandTest, AQueryIsRequired) {
  const ProgramRun run = Search({});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("検索する語句を指定してください。"), std::string::npos) << run.err;
}

}  // namespace
