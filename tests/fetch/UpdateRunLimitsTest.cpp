// SPDX-License-Identifier: MIT
// The limits an update run keeps with every server and file: credentials stay with their
// origin, a whole fetch has a deadline, a time-out of 0 still ends, local documents are
// bounded, and each failure says in the error log what happened.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "UpdateRunNetworkFixture.h"
#include "UpdateRunSupport.h"
#include "fetch/UpdateTexts.h"
#include "settings/Credentials.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
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
  // A file announcing more than the ceiling; sparse, so it takes no room on the disk.
  const std::string huge = world.data.Path() + "huge.xml";
  testsupport::WriteFile(huge, "<rss>");
  std::filesystem::resize_file(huge, 64u * 1024 * 1024 + 1);
  const std::vector<FailingChannel> channels{
      {server.Url("/missing.xml"), "404 Not Found"},   {server.Url("/broken.xml"), "500 Internal Server Error"},
      {server.Url("/loop.xml"), "too many redirects"}, {"file:///dev/zero", "not a regular file"},
      {world.data.Path(), "not a regular file"},       {huge, "size limit 64 MiB exceeded"},
  };
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
  server.Routes().Get("/trickle.xml", [this](const httplib::Request&, httplib::Response& response) {
    // A byte every 0.2 s; after 100 of them (20 s) the document ends, so that a fetch
    // without a limit ends too.
    response.set_chunked_content_provider("application/rss+xml",
                                          [this, sent = 0](size_t, httplib::DataSink& sink) mutable {
                                            if (sent++ == 100) {
                                              sink.done();
                                              return true;
                                            }
                                            server.Hold(200);
                                            return sink.write(" ", 1);
                                          });
  });
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
  // Runs the loop's posted tasks until `done` holds, giving the worker's thread time.
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      loop.RunPending();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

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
  ASSERT_TRUE(RunUntil([&] { return server.Requests().size() == 1; }));
  loop.RunPending();
  loop.Advance(60000);
  EXPECT_TRUE(world.Run().Running());
  loop.Advance(100);
  ASSERT_TRUE(RunUntil([&] { return !world.Run().Running(); }));
  EXPECT_EQ(node->Kind(), store::kKindError);
  ASSERT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{J("応答無し - silent")});
  EXPECT_EQ(ErrorLog(world.store.Tree()).Items()[0]->desc, "no answer within 60 s");
}

INSTANTIATE_TEST_SUITE_P(Settings, TimeoutWatch, testing::Values(0, -5), [](const testing::TestParamInfo<int>& info) {
  return info.param == 0 ? std::string("Zero") : std::string("Negative");
});

}  // namespace
}  // namespace fetch
