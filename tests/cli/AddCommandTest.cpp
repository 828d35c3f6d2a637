// SPDX-License-Identifier: MIT
// "plover-cli add" run as a program on a data folder, against a server inside the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/DataSession.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace {

using store::TTreeNodeExt;

constexpr const char* kFeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>ニュース</title>"
    "<link>http://example.jp/</link><item><title>一</title><link>http://example.jp/1</link></item></channel></rss>";

class AddCommand : public ::testing::Test {
 protected:
  AddCommand() {
    server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFeed, "application/rss+xml");
    });
    server.Routes().Get("/site/", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(
          "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" href=\"/feed.xml\"></head></html>",
          "text/html");
    });
    server.Routes().Get("/missing.xml",
                        [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    server.Start();
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadWrite));
    session.Tree().AddChild(session.Tree().RootNode(), text::J("グループ"), store::kKindGroup, nullptr);
    session.Store().SetModified();
    EXPECT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
  }

  testsupport::ProgramRun Cli(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"add"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    all.insert(all.end(), {"--data", dir.Path()});
    return testsupport::RunProgram(PLOVER_CLI, all);
  }

  // "caption<rdfurl" of each channel, in tree order, with its parent's caption before it.
  std::vector<std::string> Channels() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadOnly));
    std::vector<std::string> channels;
    for (TTreeNodeExt* node = session.Tree().RootNode(); node != nullptr; node = session.Tree().NextNode(node)) {
      if (store::IsChannelKind(node->Kind())) {
        channels.push_back(text::SjisToUtf8(node->Parent()->Caption() + "/" + node->Caption()) + "<" +
                           node->Data()->Site.rdfurl);
      }
    }
    return channels;
  }

  testsupport::TempDir dir;
  testsupport::LoopbackServer server;
};

TEST_F(AddCommand, RegistersAFeedAndThePageThatDeclaresOne) {
  testsupport::ProgramRun run = Cli({server.Url("/feed.xml"), "--group", "グループ"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "追加しました: ニュース (" + server.Url("/feed.xml") + ")\n");
  EXPECT_EQ(Channels(), std::vector<std::string>{"グループ/ニュース<" + server.Url("/feed.xml")});

  // The same feed again, by way of the page: the duplicate is declined without the option.
  run = Cli({server.Url("/site/")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "追加しませんでした: " + server.Url("/site/") + "\n");
  EXPECT_EQ(Channels().size(), 1u);

  run = Cli({server.Url("/site/"), "--allow-duplicates"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Channels().size(), 2u);
  EXPECT_EQ(Channels()[0], "ヘッドライン/ニュース<" + server.Url("/feed.xml"));

  // Several duplicates: the question before the last has three answers, and the command
  // line answers both kinds alike.
  run = Cli({server.Url("/feed.xml"), server.Url("/feed.xml")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Channels().size(), 2u);
  run = Cli({server.Url("/feed.xml"), server.Url("/feed.xml"), "--allow-duplicates"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Channels().size(), 4u);
}

TEST_F(AddCommand, ReportsWhatFailedAndKeepsTheRest) {
  const testsupport::ProgramRun run = Cli({server.Url("/missing.xml"), server.Url("/feed.xml")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "登録できませんでした: " + server.Url("/missing.xml") + " (" + "指定のURLは応答がありません。" +
                         ")\n追加しました: ニュース (" + server.Url("/feed.xml") + ")\n")
      << run.out;
  EXPECT_NE(run.err.find(server.Url("/missing.xml")), std::string::npos) << run.err;
  EXPECT_EQ(Channels().size(), 1u);

  EXPECT_EQ(Cli({"--group", "ない"}).status, 2);
  EXPECT_EQ(Cli({server.Url("/feed.xml"), "--group", "ない"}).status, 1);
}

}  // namespace
