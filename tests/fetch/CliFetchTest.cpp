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
  // The second line says what the server answered.
  EXPECT_EQ(gone.err, "文書を取得できませんでした: " + server.Url("/gone") + " (HTTP 404)\n404 Not Found\n");

  const int closedPort = testsupport::ClosedPort();
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(closedPort) + "/feed.xml";
  const CliRun refused = RunCli({"parse", unreachable});
  EXPECT_EQ(refused.status, 1);
  // Without an answer, the second line is the network library's own account.
  const std::string first = "文書を取得できませんでした: " + unreachable + " (URLを開くことができませんでした。)\n";
  EXPECT_TRUE(refused.err.starts_with(first)) << refused.err;
  EXPECT_GT(refused.err.size(), first.size() + 1) << refused.err;
  EXPECT_EQ(refused.err.find('\n', first.size()), refused.err.size() - 1) << refused.err;
}

// A password written into the address goes to the server as authorization, and nowhere
// else: not into the channel's address, not into a message.
TEST(CliFetchTest, ParseSendsAPasswordInTheAddressOnlyToTheServer) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/private.xml", [](const httplib::Request& request, httplib::Response& response) {
    // "user:s3cr3t" in Base64.
    if (request.get_header_value("Authorization") != "Basic dXNlcjpzM2NyM3Q=") {
      response.status = 401;
      return;
    }
    response.set_content(
        "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>T</title>"
        "<item><title>a</title><link>http://example.jp/a</link></item></channel></rss>",
        "application/rss+xml");
  });
  server.Start();
  const std::string address = server.Url("/private.xml");
  const CliRun run = RunCli({"parse", "http://user:s3cr3t@" + address.substr(7)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("{\"result\":4,\"channel\":{\"rdfurl\":\"" + address + "\"", 0), 0u) << run.out;
  const CliRun missing = RunCli({"parse", "http://user:s3cr3t@" + server.Url("/none.xml").substr(7)});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "文書を取得できませんでした: " + server.Url("/none.xml") + " (HTTP 404)\n404 Not Found\n");
  for (const std::string& output : {run.out, run.err, missing.out, missing.err}) {
    EXPECT_EQ(output.find("s3cr3t"), std::string::npos) << output;
  }
}

}  // namespace
}  // namespace fetch
