// SPDX-License-Identifier: MIT
// "plover-cli parse" given a web address: the built program fetches it from a server
// inside the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/LoopbackServer.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace fetch {
namespace {

using CliRun = testsupport::ProgramRun;

CliRun RunCli(const std::vector<std::string>& arguments) {
  return testsupport::RunProgram(PLOVER_CLI, arguments);
}

TEST(CliFetchTest, ParseFetchesAWebAddress) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>取得したフィード</title>"
        "<item><title>一つ目</title><link>a.html</link></item></channel></rss>",
        "application/rss+xml");
  });
  server.Routes().Get("/gone", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  server.Start();

  const CliRun run = RunCli({"parse", server.Url("/feed.xml")});
  ASSERT_EQ(run.status, 0) << run.err;
  // The address is also the channel's address, and relative links are read against it.
  EXPECT_EQ(run.out.rfind("{\"result\":4,\"channel\":{\"rdfurl\":\"" + server.Url("/feed.xml") + "\"", 0), 0u)
      << run.out;
  EXPECT_NE(run.out.find("\"title\":\"取得したフィード\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("{\"title\":\"一つ目\""), std::string::npos) << run.out;
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "Plover [w] (https://plover.example.org/)");

  const CliRun gone = RunCli({"parse", server.Url("/gone")});
  EXPECT_EQ(gone.status, 1);
  EXPECT_EQ(gone.out, "");
  EXPECT_EQ(gone.err, "文書を取得できませんでした: " + server.Url("/gone") + " (HTTP 404)\n");

  const int closedPort = testsupport::ClosedPort();
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(closedPort) + "/feed.xml";
  const CliRun refused = RunCli({"parse", unreachable});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "文書を取得できませんでした: " + unreachable + " (URLを開くことができませんでした。)\n");
}

}  // namespace
}  // namespace fetch
