// SPDX-License-Identifier: MIT
// The limits an update run keeps with every server and file: credentials stay with their
// origin, a whole fetch has a deadline, a time-out of 0 still ends, local documents are
// bounded, and each failure says in the error log what happened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateRunNetworkFixture.h"
#include "UpdateRunSupport.h"
#include "fetch/UpdateTexts.h"
#include "settings/Credentials.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "support/RefusedFiles.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;
using text::J;

// "user:pass" in Base64.
constexpr const char* kUserPass = "Basic dXNlcjpwYXNz";

const store::TSiteList& ErrorLog(const store::TChannelTree& tree) {
  return *tree.ErrorLogNode()->Data();
}

std::vector<std::string> AuthorizationsSeen(const testsupport::LoopbackServer& server, const std::string& path) {
  std::vector<std::string> seen;
  for (const testsupport::SeenRequest& request : server.Requests()) {
    if (request.target == path) seen.push_back(request.Header("Authorization"));
  }
  return seen;
}

// A channel with credentials that moves for good to another site follows it there without
// them, and the move does not take them along for later runs; a move on its own site keeps
// them.
TEST_F(UpdateRunNetwork, APermanentMoveToAnotherSiteLeavesTheCredentialsBehind) {
  testsupport::LoopbackServer other;  // another port is another origin
  other.Routes().Get("/moved.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(RssDocument("Moved", 2), "application/rss+xml");
  });
  other.Start();
  server.Routes().Get("/moving.xml", [&other](const httplib::Request&, httplib::Response& response) {
    response.status = 301;
    response.set_header("Location", other.Url("/moved.xml"));
  });
  server.Routes().Get("/staying.xml", [this](const httplib::Request&, httplib::Response& response) {
    response.status = 301;
    response.set_header("Location", server.Url("/stayed.xml"));
  });
  server.Routes().Get("/stayed.xml", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Authorization") != kUserPass) {
      response.status = 401;
      return;
    }
    response.set_content(RssDocument("Stayed", 1), "application/rss+xml");
  });
  server.Start();
  world.settings.HttpThreadMax = 1;
  TTreeNodeExt* moving = Channel("/moving.xml");
  TTreeNodeExt* staying = Channel("/staying.xml");
  const std::string stored = settings::StoreCredential({"user", "pass"});
  Data(moving).authorize = stored;
  Data(staying).authorize = stored;

  FullRun();
  EXPECT_EQ(AuthorizationsSeen(server, "/moving.xml"), std::vector<std::string>{kUserPass});
  EXPECT_EQ(AuthorizationsSeen(other, "/moved.xml"), std::vector<std::string>{"<none>"});
  EXPECT_EQ(Data(moving).Site.rdfurl, other.Url("/moved.xml"));
  EXPECT_EQ(Data(moving).Count(), 2u);
  // Kept, but held for the site they were given for.
  EXPECT_EQ(Data(moving).authorize, stored);
  EXPECT_EQ(Data(moving).authsite, server.Url("/moving.xml"));
  EXPECT_EQ(Data(staying).Site.rdfurl, server.Url("/stayed.xml"));
  EXPECT_EQ(Data(staying).authorize, stored);
  EXPECT_EQ(Data(staying).authsite, "");
  EXPECT_EQ(Data(staying).Count(), 1u);
  // The log tells which channel's credentials are held, and where it went.
  ASSERT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{CredentialsWithheldTitle() + " - Moved"});
  const store::TSiteRecord& entry = *ErrorLog(world.store.Tree()).Items()[0];
  EXPECT_EQ(entry.link, other.Url("/moved.xml"));
  EXPECT_EQ(entry.desc, CredentialsWithheldDetail(server.Url("/moving.xml"), other.Url("/moved.xml")));
  EXPECT_EQ(entry.Owner, moving->Data());
  EXPECT_EQ(world.Run().ErrorCount(), 0);

  FullRun();
  EXPECT_EQ(AuthorizationsSeen(other, "/moved.xml"), (std::vector<std::string>{"<none>", "<none>"}));
  EXPECT_EQ(AuthorizationsSeen(server, "/stayed.xml"), (std::vector<std::string>{kUserPass, kUserPass}));
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()).size(), 1u);  // said once

  // The user confirms them for the new site (the property panel clears the hold).
  Data(moving).authsite.clear();
  FullRun();
  EXPECT_EQ(AuthorizationsSeen(other, "/moved.xml"), (std::vector<std::string>{"<none>", "<none>", kUserPass}));
}

struct FailingChannel {
  std::string address;
  std::string cause;
};

// Every failed fetch says what happened under its title, and keeps the address.
TEST_F(UpdateRunNetwork, EachFailureSaysWhatHappened) {
  server.Routes().Get("/missing.xml",
                      [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  server.Routes().Get("/broken.xml",
                      [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
  server.Routes().Get("/loop.xml", [this](const httplib::Request&, httplib::Response& response) {
    response.status = 302;
    response.set_header("Location", server.Url("/loop.xml"));
  });
  server.Start();
  std::vector<FailingChannel> channels{
      {server.Url("/missing.xml"), "404 Not Found"},
      {server.Url("/broken.xml"), "500 Internal Server Error"},
      {server.Url("/loop.xml"), "too many redirects"},
  };
  // Every kind of local file that is no document, as a file address.
  testsupport::TempDir files;
  for (const testsupport::RefusedFile& refused : testsupport::RefusedFiles()) {
    channels.push_back({"file://" + refused.make(files), refused.cause});
  }
  for (const FailingChannel& channel : channels) world.AddChannel(channel.address, channel.address);
  world.settings.HttpThreadMax = 1;  // the log in the order of the tree

  FullRun();
  const store::TSiteList& log = ErrorLog(world.store.Tree());
  ASSERT_EQ(log.Count(), channels.size());
  for (size_t i = 0; i < channels.size(); ++i) {
    EXPECT_EQ(log.Items()[i]->title, J("応答無し - ") + channels[i].address);
    EXPECT_EQ(log.Items()[i]->link, channels[i].address);
    EXPECT_EQ(log.Items()[i]->desc, channels[i].cause) << channels[i].address;
  }
}

// However steadily a server trickles, a fetch ends at the total time limit; an HTTPTimeout
// of 0 does not take that away.
TEST_F(UpdateRunNetwork, ATricklingServerEndsAtTheTotalTimeLimit) {
  server.ServeTrickle("/trickle.xml");
  server.Start();
  world.settings.HTTPTimeout = 0;
  world.settings.HTTPTotalTimeout = 1;
  TTreeNodeExt* node = Channel("/trickle.xml");
  FullRun();
  EXPECT_EQ(node->Kind(), store::kKindError);
  ASSERT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{J("応答無し - /trickle.xml")});
  EXPECT_EQ(ErrorLog(world.store.Tree()).Items()[0]->desc, "time limit 1 s exceeded");
}

// The run's watch on the deterministic loop: a time-out of 0 or below is the default wait
// of 60 seconds, never no limit at all.
class TimeoutWatch : public testing::TestWithParam<int> {
 protected:
  testsupport::ManualEventLoop loop;
  testsupport::LoopbackServer server;
  RunWorld world{loop};
};

TEST_P(TimeoutWatch, GivesUpAfterTheDefaultWait) {
  server.Routes().Get("/silent.xml", [this](const httplib::Request&, httplib::Response& response) {
    server.Hold(30000);
    response.status = 404;
  });
  server.Start();
  world.settings.HTTPTimeout = GetParam();
  TTreeNodeExt* node = world.AddChannel("silent", server.Url("/silent.xml"));
  world.Run().SB_NewClick(RunSender::kMenu);
  // The worker announces its request before it sends it: once the server has it, the
  // announcement waits in the loop.
  server.WaitForRequests(1);
  loop.RunPending();
  loop.Advance(60000);
  EXPECT_TRUE(world.Run().Running());
  loop.Advance(100);
  loop.RunUntil([&] { return !world.Run().Running(); });
  EXPECT_EQ(node->Kind(), store::kKindError);
  ASSERT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{J("応答無し - silent")});
  EXPECT_EQ(ErrorLog(world.store.Tree()).Items()[0]->desc, "no answer within 60 s");
}

// A run that goes while a request hangs on a server that never answers aborts the
// transfer and joins its worker on the way: when it is gone, so are the thread and the
// connection, and nothing it left in the loop reaches anything.
TEST(UpdateRunShutdown, ARunDestroyedDuringAStuckRequestLeavesNoThread) {
  testsupport::ManualEventLoop loop;
  testsupport::SilentServer server;
  RunWorld world{loop};
  world.AddChannel("silent", server.Url("/silent.xml"));
  world.Run().SB_NewClick(RunSender::kMenu);
  EXPECT_NE(server.TakeRequest().find("GET /silent.xml "), std::string::npos);
  const size_t threadsWhileStuck = testsupport::ProcessThreadCount();
  EXPECT_EQ(world.Run().RunningWorkerCount(), 1u);
  EXPECT_FALSE(server.ClientClosed());

  world.run.reset();
  EXPECT_EQ(testsupport::ProcessThreadCount(), threadsWhileStuck - 1);
  EXPECT_TRUE(server.ClientClosed());
  loop.RunPending();
  EXPECT_EQ(world.runsEnded, 0);
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Settings, TimeoutWatch, testing::Values(0, -5), [](const testing::TestParamInfo<int>& info) {
  return info.param == 0 ? std::string("Zero") : std::string("Negative");
});

}  // namespace
}  // namespace fetch
